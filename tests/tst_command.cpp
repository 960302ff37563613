// The command line: the real program run as a command, against a window (in this process, where
// its preview and labels can be looked at) and on its own, with the simulated line library and
// without a display server. What the display received is read from that library's log.
#include "command/channel.h"
#include "fakes.h"
#include "mainwindow/commandserver.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <csignal>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace command;

namespace {

const QString A = QStringLiteral("11101110"), B = QStringLiteral("00111110");

struct Result
{
    int code = -1;
    QString out, err;
    bool signalled = false;
};

Result finish(QProcess *p)
{
    if (!QTest::qWaitFor([p] { return p->state() == QProcess::NotRunning; }, 30000))
        p->kill();
    Result r{p->exitCode(), QString::fromUtf8(p->readAllStandardOutput()),
        QString::fromUtf8(p->readAllStandardError()), p->exitStatus() == QProcess::CrashExit};
    delete p;
    return r;
}

// The patterns the display received, eight bits each, from the simulated library's log.
QStringList sent(const QString &log)
{
    QStringList patterns;
    QString bits;
    for (const QByteArray &line : readFile(log).split('\n')) {
        const QList<QByteArray> field = line.split(' ');
        if (field.size() == 3 && field[1] == "TXD")
            bits.prepend(QChar(u'0' + field[2].toInt())); // character 8 goes first
        if (bits.size() == PatternLength)
            patterns << std::exchange(bits, QString());
    }
    return patterns;
}

Request showA()
{
    Request r;
    r.verb = Verb::Show;
    r.character = QStringLiteral("A");
    return r;
}

} // namespace

class TestCommand : public QObject
{
    Q_OBJECT

    QTemporaryDir program, runtime;
    std::unique_ptr<Form1> form;
    std::unique_ptr<CommandServer> server;

    QString log() const { return program.filePath(QStringLiteral("lines.log")); }

    // The program's command, as from a terminal with no display server.
    QProcess *start(const QStringList &arguments, const QByteArray &input = {})
    {
        auto *p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(name));
        p->setProcessEnvironment(env);
        p->start(program.filePath(QStringLiteral("pravlon")), arguments);
        p->write(input);
        p->closeWriteChannel();
        return p;
    }
    Result run(const QStringList &arguments, const QByteArray &input = {})
    {
        return finish(start(arguments, input));
    }

    // The window of the program's installation, taking commands as the program's own does.
    void openWindow()
    {
        Environment env;
        env.programDirectory = program.path();
        env.lines = std::make_shared<ModuleLineLibrary>(program.path());
        env.messages = std::make_shared<RecordingMessageSink>();
        env.random = std::make_shared<ScriptedRandom>();
        env.beep = [] {};
        env.startProgram = [](const QString &, const QStringList &) { return false; };
        form = std::make_unique<Form1>(env);
        server = std::make_unique<CommandServer>(*form, env.lines);
        QVERIFY(server->listen(program.path()));
        form->Form_Load();
        server->setReady();
    }
    QString shownByWindow(const char *what)
    {
        if (QLatin1String(what) == QLatin1String("preview")) {
            QString lit;
            for (char segment : QByteArray("ABCDEFGH"))
                lit += control(form.get(), QStringLiteral("Image") + segment)->isHidden() ? u'0'
                                                                                          : u'1';
            return lit;
        }
        return textOf(form.get(), what);
    }

    // Each command of the table, in order, through the window or on its own: its exit code, what
    // the display received last, what it printed, and, with a window, the page in front and that
    // the preview and the pattern label agree with the display.
    void script(bool window)
    {
        struct Step
        {
            QStringList arguments;
            QByteArray input;
            int code;
            QStringList lastSent;
            int page;
            QString out; // [window|alone]
        };
        const QString a = A, comma = QStringLiteral("00100000");
        const Step steps[] = {
            {{"show", "a"}, {}, Done, {A}, 0, {}},
            {{"show", "+"}, {}, Done, {"10010000"}, 0, {}},
            {{"show", "--pattern", "10110111"}, {}, Done, {"10110111"}, 1, {}},
            // A single play ends by sending its first character once more.
            {{"play", "--wait", "--ms", "1", "ab"}, {}, Done, {A, B, A}, 2, {}},
            // Standard input: a line break is two characters that keep the pattern; the final
            // one only ends the line.
            {{"play", "--ms", "1", "--wait", "-"}, "a\n,\n", Done, {a, a, a, comma, a}, 2, {}},
            {{"port", "COM3"}, {}, Done, {}, 2, {}},
            {{"status"}, {}, Done, {}, 2,
                "port: COM3\nvzor: 11101110\npřehrávání: zastaveno|okno: neběží"},
            {{"stop"}, {}, Done, {}, 2, {}},
            {{"ports"}, {}, Done, {}, 2, "COM3\t|COM5\t"},
        };
        for (const Step &step : steps) {
            const QStringList before = sent(log());
            const Result r = run(step.arguments, step.input);
            const QString what = step.arguments.join(u' ');
            QVERIFY2(r.code == step.code, qPrintable(what + u':' + r.err));
            const QStringList now = sent(log()).mid(before.size());
            QVERIFY2(now.mid(now.size() - step.lastSent.size()) == step.lastSent,
                qPrintable(what + u':' + now.join(u' ')));
            QVERIFY2(r.out.contains(step.out.section(u'|', window ? 0 : 1, window ? 0 : 1)),
                qPrintable(what + u':' + r.out));
            if (!window)
                continue;
            QCOMPARE(control<QTabWidget>(form.get(), "SSTab1")->currentIndex(), step.page);
            const QString shown = sent(log()).value(sent(log()).size() - 1);
            QCOMPARE(shownByWindow("preview"), shown);
            QCOMPARE(shownByWindow("Label1"), shown);
        }
        if (!window)
            return;
        QCOMPARE(
            control<QPlainTextEdit>(form.get(), "Text1")->toPlainText(), QStringLiteral("a\n,"));
        // The editor keeps the pattern it was given: its digit, its segments' buttons.
        QString digit, buttons;
        for (int i = 0; i < PatternLength; ++i) {
            digit += control(form.get(), QStringLiteral("Image%11").replace("%1", QChar(u'A' + i)))
                         ->isHidden()
                ? u'0'
                : u'1';
            buttons += control<QAbstractButton>(form.get(), QStringLiteral("Image%1").arg(i + 3))
                           ->isChecked()
                ? u'1'
                : u'0';
        }
        QCOMPARE(digit + u' ' + buttons, QStringLiteral("10110111 10110111"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::copy(QStringLiteral(PRAVLON_PROGRAM), program.filePath("pravlon")));
        QVERIFY(QFile::copy(SIM_LIBRARY_DIR "/librscom.so", program.filePath("librscom.so")));
        QVERIFY(QFile::copy(ShippedDataFile, program.filePath("Data.ini")));
        QFile::setPermissions(program.filePath("Data.ini"), QFile::ReadOwner | QFile::WriteOwner);
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        qputenv("PRAVLON_SIM_LOG", QFile::encodeName(log()));
        qputenv("PRAVLON_SIM_PORTS", "13");
    }
    void cleanup()
    {
        server.reset();
        form.reset();
    }

    void throughTheWindow()
    {
        openWindow();
        script(true);
    }
    void onItsOwn() { script(false); }

    // A play with --wait waits while other commands are answered, and ends with a stop; two
    // commands at once are both done, one after the other, and the window shows the later.
    void twoAtOnce()
    {
        openWindow();
        QProcess *waiting = start({"play", "--wait", "--loop", "--ms", "1", "ab"});
        QTRY_VERIFY(control<QAbstractButton>(form.get(), "Check3")->isChecked());
        QVERIFY(run({"status"}).out.contains(QStringLiteral("přehrávání: hraje")));
        QCOMPARE(waiting->state(), QProcess::Running);
        QCOMPARE(run({"stop"}).code, Done);
        QCOMPARE(finish(waiting).code, Done);

        QProcess *first = start({"show", "A"});
        QProcess *second = start({"show", "B"});
        QCOMPARE(finish(first).code + finish(second).code, Done);
        const QStringList received = sent(log());
        QVERIFY(QSet<QString>({received.last(), received.value(received.size() - 2)})
            == QSet<QString>({A, B}));
        QCOMPARE(shownByWindow("Label1"), received.last());
    }

    // The window closes with a play waiting and a command on its way: the play's command is
    // told, the command is refused, and nothing follows the window's last character.
    void whileClosing()
    {
        openWindow();
        // Slow enough that the player sends nothing while the test runs.
        QProcess *waiting = start({"play", "--wait", "--ms", "5000", "ab"});
        QTRY_VERIFY(control<QAbstractButton>(form.get(), "Check3")->isChecked());
        QLocalSocket late;
        late.connectToServer(socketName(program.path()));
        QVERIFY(late.waitForConnected(1000));
        QTRY_COMPARE(server->findChildren<QLocalSocket *>().size(), 2);
        form->close();
        late.write(encode(showA()));
        QTRY_VERIFY(late.canReadLine());
        const std::optional<ReplyLine> refused = decodeReply(late.readLine().chopped(1));
        QVERIFY(refused && refused->reply.code == Failed);
        const Result ended = finish(waiting);
        QVERIFY2(ended.code == Failed && ended.err.contains(QStringLiteral("zavřením")),
            qPrintable(ended.err));
        QCOMPARE(sent(log()).mid(sent(log()).size() - 2), QStringList(2, "11111111"));
    }

    // A socket left behind by a window that crashed: a command runs on its own, and the next
    // window takes the name over.
    void leftBehind()
    {
        const QByteArray name = QFile::encodeName(socketName(program.path()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        ::close(fd);
        QCOMPARE(run({"show", "A"}).code, Done);
        openWindow();
        QCOMPARE(run({"status"}).out.section(u'\n', 0, 0), QStringLiteral("okno: běží"));
    }

    // A window that takes the connection and never answers.
    void windowNotAnswering()
    {
        QLocalServer silent;
        QVERIFY(silent.listen(runtime.filePath(QStringLiteral("silent"))));
        const std::optional<Reply> r = askWindow(silent.fullServerName(), Request(), 100);
        QVERIFY(r && r->code == Failed && r->err.contains(QStringLiteral("neodpovídá")));
    }

    // Ctrl+C and SIGTERM stop a play on its own between two characters; the process ends by the
    // signal, so that a shell sees it.
    void interrupted_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl+C") << SIGINT;
        QTest::newRow("SIGTERM") << SIGTERM;
    }
    void interrupted()
    {
        QFETCH(int, signal);
        const int before = int(sent(log()).size());
        QProcess *playing = start({"play", "--loop", "--ms", "1", "ab"});
        QTRY_VERIFY(sent(log()).size() >= before + 3);
        ::kill(pid_t(playing->processId()), signal);
        QVERIFY(finish(playing).signalled);
        const QByteArray lines = readFile(log());
        QCOMPARE(lines.count(" TXD ") % PatternLength, 0);
        QVERIFY(lines.endsWith(" DTR 0\n"));
    }

    // Wrong use from the command line and unsound requests written straight to the window's
    // socket are refused with their exit code and change nothing.
    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments"); // empty: `raw` goes to the socket
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<int>("code");
        const auto cli = [](const char *row, QStringList arguments, int code) {
            QTest::newRow(row) << arguments << QByteArray() << code;
        };
        const auto socket = [](const char *row, QByteArray raw, int code) {
            QTest::newRow(row) << QStringList() << raw << code;
        };
        cli("unknown command", {"blink"}, Usage);
        cli("character outside the table", {"show", "ů"}, BadCharacter);
        cli("two characters", {"show", "AB"}, BadCharacter);
        cli("pattern of seven", {"show", "--pattern", "1011011"}, BadCharacter);
        cli("pattern of nine", {"show", "--pattern", "101101101"}, BadCharacter);
        cli("--ms 0", {"play", "--ms", "0", "x"}, Usage);
        cli("--ms 5001", {"play", "--ms", "5001", "x"}, Usage);
        cli("option of another command", {"stop", "--loop"}, Usage);
        socket("unknown command",
            R"({"v":1,"cmd":"blink"})"
            "\n",
            Usage);
        socket("character outside the table",
            R"({"v":1,"cmd":"show","char":"ů"})"
            "\n",
            BadCharacter);
        socket("pattern of seven",
            R"({"v":1,"cmd":"pattern","pattern":"1011011"})"
            "\n",
            BadCharacter);
        socket("--ms 0",
            R"({"v":1,"cmd":"play","text":"x","ms":0,"loop":false,"wait":false})"
            "\n",
            Usage);
        socket("a field of its own",
            R"({"v":1,"cmd":"status","path":"/etc/passwd"})"
            "\n",
            Usage);
        socket("not JSON", "show A\n", Usage);
        socket("oversized", QByteArray(MaxRequestBytes + 4096, 'x'), Usage);
    }
    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, raw);
        QFETCH(int, code);
        openWindow();
        control<QAbstractButton>(form.get(), "Commanda5")->click();
        const QByteArray before = readFile(log());
        Reply reply;
        if (!arguments.isEmpty()) {
            const Result r = run(arguments);
            reply = {r.code, r.out, r.err};
        } else {
            QLocalSocket socket;
            socket.connectToServer(socketName(program.path()));
            QVERIFY(socket.waitForConnected(1000));
            socket.write(raw);
            QTRY_VERIFY(socket.canReadLine());
            const std::optional<ReplyLine> line = decodeReply(socket.readLine().chopped(1));
            QVERIFY(line);
            reply = line->reply;
        }
        QVERIFY2(reply.code == code && !reply.err.isEmpty(), qPrintable(reply.err));
        QCOMPARE(readFile(log()), before);
        QCOMPARE(shownByWindow("Label1"), QStringLiteral("01100110"));
    }

    // Another user cannot reach the window: here root, which passes the socket's permissions,
    // is turned away by the window of an unprivileged user.
    void anotherUser()
    {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (::geteuid() != 0 || setpriv.isEmpty())
            QSKIP("needs root and setpriv to start a window as another user");
        QTemporaryDir other;
        const QString rt = other.filePath(QStringLiteral("rt"));
        QDir().mkpath(rt);
        for (const char *file : {"pravlon", "librscom.so", "Data.ini"})
            QFile::copy(program.filePath(file), other.filePath(file));
        writeFile(other.filePath("lines.log"), {});
        QFile::setPermissions(other.filePath("Data.ini"), QFile::ReadOwner | QFile::ReadOther);
        for (const QString &path : {other.path(), rt, other.filePath("lines.log")})
            QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        ::chmod(QFile::encodeName(rt).constData(), 0700);
        QProcess window;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", rt);
        env.insert("HOME", other.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("PRAVLON_SIM_LOG", other.filePath("lines.log"));
        window.setProcessEnvironment(env);
        window.start(setpriv,
            {"--reuid=65534", "--regid=65534", "--clear-groups", other.filePath("pravlon")});
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(rt).entryList(QDir::System).isEmpty(), 20000);
        QLocalSocket socket;
        socket.connectToServer(rt + u'/' + QDir(rt).entryList(QDir::System).first());
        QVERIFY(socket.waitForConnected(1000));
        socket.write(encode(showA()));
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QVERIFY(socket.readAll().isEmpty());
        QVERIFY(!readFile(other.filePath("lines.log")).contains("TXD"));
        window.kill();
        window.waitForFinished();
    }
};

QTEST_MAIN(TestCommand)
#include "tst_command.moc"
