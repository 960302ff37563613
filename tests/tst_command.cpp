// The command line: the real program run as a command, against a window (in this process, where
// its pages and labels can be looked at) and on its own, with the simulated line library and
// without a display server. What the display received is read from that library's log. Exit
// codes are written as numbers, as a shell sees them: 0 done, 1 the window failed, 2 wrong use,
// 3 no usable port, 4 no usable line library, 5 a character outside the table, 6 no display,
// 7 a window older than the command.
#include "command/channel.h"
#include "command/commandline.h"
#include "command/commands.h"
#include "fakes.h"
#include "mainwindow/commandserver.h"
#include "windows/wiringtestwindow.h"
#include "wiringtest/wiringtest.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace command;

namespace {

const QString A = QStringLiteral("11101110"), B = QStringLiteral("00111110"),
              Comma = QStringLiteral("00100000");

// The user's runtime directory, where the window's socket goes: the test's own, set before the
// application looks for one.
const QTemporaryDir runtime;
[[maybe_unused]] const bool runtimeSet
    = qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));

// The command's exit code and what it printed; code -1 when it ended by a signal, -2 when it
// did not end.
Reply finish(QProcess *p)
{
    const bool ended = QTest::qWaitFor([p] { return p->state() == QProcess::NotRunning; }, 30000);
    if (!ended)
        p->kill();
    const Reply r{!ended                             ? -2
            : p->exitStatus() == QProcess::CrashExit ? -1
                                                     : p->exitCode(),
        QString::fromUtf8(p->readAllStandardOutput()),
        QString::fromUtf8(p->readAllStandardError())};
    delete p;
    return r;
}

// The patterns the display received, eight bits each, from the simulated library's log.
QStringList sent(const QString &log)
{
    QStringList patterns;
    QString bits;
    for (const QByteArray &line : readFile(log).split('\n')) {
        if (line.contains(" TXD "))
            bits.prepend(QLatin1Char(line.back())); // character 8 goes first
        if (bits.size() == PatternLength)
            patterns << std::exchange(bits, QString());
    }
    return patterns;
}

// The window's answer to a request line written straight to its socket; code -1 when none came.
Reply answer(QLocalSocket &socket, const QByteArray &request)
{
    socket.write(request + '\n');
    (void)QTest::qWaitFor([&] { return socket.canReadLine(); }, 5000);
    const std::optional<ReplyLine> line = decodeReply(socket.readLine());
    return line ? line->reply : failure(-1, QStringLiteral("no answer"));
}

const QByteArray ShowA = R"({"v":1,"cmd":"show","char":"A"})";

// COM1 and COM3 open; the others cannot, each for a reason of its own.
const QByteArray PortStates = "2=denied:dialout,4=busy:minicom,5=nodtr";

// A command line that a row of the command table takes: its selecting option and its argument,
// each with a sound value.
QStringList example(const Command &c)
{
    static const std::array<const char *, 4> words{nullptr, "a", "ab", "COM1"}; // per Argument
    QStringList arguments{QLatin1String(c.name)};
    if (c.selector)
        arguments << QStringLiteral("--") + QLatin1String(c.selector) << QStringLiteral("10110111");
    if (const char *word = words.at(size_t(c.argument)))
        arguments << QLatin1String(word);
    return arguments;
}

// A command's key in a line that names it: its name, and an option that selects it ("show
// --pattern 10110110"), but no other ("play [--ms N] TEXT").
QString keyOf(const QString &line)
{
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    return words.value(0)
        + (words.value(1).startsWith(QLatin1String("--")) ? u' ' + words[1] : QString());
}

} // namespace

class TestCommand : public QObject
{
    Q_OBJECT

    TestProgram program; // its directory holds the program, the simulated library and Data.ini
    std::unique_ptr<Form1> form; // with its command server

    QString path(const char *file) const { return program.dir.filePath(QLatin1String(file)); }
    QString log() const { return path("lines.log"); }

    // The program's command, as from a terminal with no display server (see initTestCase), with
    // "a", a line break, "," and a line break on its standard input, which only `play -` reads;
    // or the parts given, written with a pause between, and the input ended unless told not to.
    QProcess *start(const QStringList &arguments, const QString &directory = {},
        const QStringList &environment = {}, const QByteArrayList &input = {"a\n,\n"},
        bool end = true)
    {
        auto *p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &variable : environment)
            env.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
        p->setProcessEnvironment(env);
        p->start(QDir(directory.isEmpty() ? program.dir.path() : directory).filePath("pravlon"),
            arguments);
        for (const QByteArray &part : input) {
            if (&part != &input.first())
                QTest::qWait(300);
            p->write(part);
        }
        if (end)
            p->closeWriteChannel();
        return p;
    }
    Reply run(const QStringList &arguments, const QString &directory = {},
        const QStringList &environment = {})
    {
        return finish(start(arguments, directory, environment));
    }

    // The window of the program's installation, taking commands as the program's own does.
    void openWindow() { openWindow(program); }
    void openWindow(TestProgram &installation)
    {
        Environment env = installation.environment();
        env.lines = std::make_shared<ModuleLineLibrary>(installation.dir.path());
        form = installation.start(true, env);
        auto *server = new CommandServer(*form, env.lines, form.get());
        QVERIFY(server->listen(installation.dir.path()));
        server->setReady();
    }
    bool connectToWindow(QLocalSocket &socket)
    {
        socket.connectToServer(socketName(program.dir.path()));
        return socket.waitForConnected(1000);
    }

    // Each command in turn, through the window and on its own: its exit code, the patterns the
    // display received last (none at all for a refused command), what it printed and, with the
    // window, the page in front and the pattern label. A command line not quite right is refused
    // before anything is sent; text from standard input plays as if typed into the box, whatever
    // its line ends, read to its end through the writer's pauses. An input longer than a text may
    // be is refused as soon as it is, even while its writer goes on: a refused command's input is
    // left open.
    void commands(bool window)
    {
        if (window)
            openWindow();
        struct Step
        {
            QStringList arguments;
            int code;
            Page page; // in front of the window afterwards
            QStringList lastSent = {};
            QByteArrayList input = {}; // on standard input, written with a pause between
            QString out = {}; // on standard output: through the window|on its own
            QString states = {}; // the last field of each line out: through the window|on its own
            bool unplugged = false; // every port fails from now on, COM3 unplugged
        };
        using enum Page;
        const QStringList play{"play", "--ms", "1", "--wait", "-"}, aComma{A, A, A, Comma, A};
        const Step steps[] = {
            {{"show", "a"}, 0, Buttons, {A}},
            // No usable port (3), the reason told.
            {{"show", "--port", "COM2", "a"}, 3, Buttons},
            // Refused before anything is sent: wrong use (2), a character or pattern outside the
            // table (5).
            {{"blink"}, 2, Buttons},
            {{"show", "ů"}, 5, Buttons}, // outside the table
            {{"show", "AB"}, 5, Buttons},
            {{"show", "--pattern", "1011011"}, 5, Buttons},
            {{"show", "--pattern", "101101101"}, 5, Buttons},
            {{"play", "--ms", "0", "x"}, 2, Buttons},
            {{"play", "--ms", "5001", "x"}, 2, Buttons},
            {{"stop", "--loop"}, 2, Buttons},
            {{"show", "--pattern", "10110110\n"}, 5, Buttons}, // a line break
            {{"show", "--pattern", "10110112"}, 5, Buttons},
            {{"show"}, 2, Buttons}, // no character
            {{"play", "--ms", "1x", "a"}, 2, Buttons},
            {{"port", "COM6"}, 2, Buttons},
            {{"show", "--port", "COM0", "a"}, 2, Buttons},
            {{"status", "now"}, 2, Buttons}, // a word too many
            {{"play", QString(65537, u'a')}, 2, Buttons}, // a text too long
            {{"show", "+"}, 0, Buttons, {"10010000"}},
            {{"show", "--pattern", "10110111"}, 0, Editor, {"10110111"}},
            // A single play ends by sending its first character once more.
            {{"play", "--wait", "--ms", "1", "--port", "COM3", "ab"}, 0, Player, {A, B, A}},
            // Standard input: a line break is two characters that keep the pattern; the final
            // one only ends the line.
            {play, 0, Player, aComma, {"a\r\n,\r\n"}},
            {play, 0, Player, aComma, {"a\r,\r"}},
            {play, 0, Player, aComma, {"a\n,"}}, // no final line end
            {play, 0, Player, {A, A, A, A}, {"a\n\n"}}, // two final line ends
            {play, 0, Player, {A, B, A}, {"a", "b"}}, // a pause
            {play, 2, Player, {},
                {QByteArray(300 << 10, 'a'), QByteArray(1 << 20, 'a')}}, // not ended
            {{"play", "--wait", "--ms", "1", "--", "-5"}, 0, Player, // a text that begins with -
                {"00000010", "10110110", "00000010"}},
            {play, 0, Player, aComma, {"a\n,\n"}}, // the status below tells its last pattern
            {{"status"}, 0, Player, {}, {},
                "okno: běží\trunning\nport: COM3\tCOM3\topen\nvzor: 11101110\t11101110\n"
                "přehrávání: zastaveno\tstopped\n"
                "|okno: neběží\tnone\nport: COM1\tCOM1\tready\nvzor: neznámý\tunknown\n"
                "přehrávání: zastaveno\tstopped\n"},
            {{"port", "COM1"}, 0, Player},
            {{"stop"}, 0, Player},
            // The reason, then the state word in a field of its own.
            {{"ports"}, 0, Player, {}, {},
                "COM1\t/dev/simUSB0\tFT232R USB UART\tPort je otevřen.\topen"
                "|COM3\t/dev/simUSB2\tFT232R USB UART\tPort lze vybrat.\tready",
                "open denied ready busy nodtr|ready denied ready busy nodtr"},
            // A port that fails when it is picked says why, through the window as on its own.
            {{"port", "COM3"}, 3, Player, {}, {}, {}, {}, true},
        };
        const auto plugBack = qScopeGuard([] {
            qunsetenv("PRAVLON_SIM_UNPLUGGED");
            qputenv("PRAVLON_SIM_PORTINFO", PortStates);
        });
        // Every step runs; the failures are told together.
        QStringList failures;
        for (const Step &step : steps) {
            if (step.unplugged) {
                qputenv("PRAVLON_SIM_UNPLUGGED", "1");
                qputenv("PRAVLON_SIM_PORTINFO", PortStates + ",3=gone");
            }
            const qsizetype before = sent(log()).size();
            const Reply r = finish(start(step.arguments, {}, {}, step.input, step.code == Done));
            const QStringList now = sent(log()).mid(before);
            const QString what
                = (step.arguments.join(u' ') + u'<' + step.input.join(u'|')).left(60) + u':';
            if (r.code != step.code || (r.code && r.err.isEmpty()))
                failures << what + QStringLiteral("code %1, %2").arg(r.code).arg(r.err);
            if (now.mid(now.size() - step.lastSent.size()) != step.lastSent
                || (r.code && !now.isEmpty()))
                failures << what + QStringLiteral("sent ") + now.join(u' ');
            if (!r.out.contains(step.out.section(u'|', !window, !window)))
                failures << what + QStringLiteral("printed ") + r.out;
            // The last field of each line.
            const QString states
                = QString(r.out).remove(QRegularExpression("(?m)^.*\t")).simplified();
            if (!step.states.isEmpty() && states != step.states.section(u'|', !window, !window))
                failures << what + QStringLiteral("state words ") + states;
            // A refused port says why: its line's reason, after its own name.
            if (r.code == NoPort && !r.err.contains(step.unplugged ? "odpojen" : "skupině dialout"))
                failures << what + QStringLiteral("no reason: ") + r.err;
            const QRegularExpression port("COM\\d");
            if (r.code == NoPort
                && port.match(r.err).captured() != step.arguments.filter(port).value(0))
                failures << what + QStringLiteral("another port named first: ") + r.err;
            if (window
                && control<QTabWidget>(form.get(), "SSTab1")->currentIndex() != int(step.page))
                failures << what + QStringLiteral("another page in front");
            if (window && textOf(form.get(), "Label1") != sent(log()).last())
                failures << what + QStringLiteral("pattern label ") + textOf(form.get(), "Label1");
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
        // The window's editor keeps the pattern it was given, on its segments' buttons.
        for (int i = 0; window && i < PatternLength; ++i) {
            const auto *segment
                = control<QAbstractButton>(form.get(), QString("Image%1").arg(i + 3));
            QCOMPARE(segment->isChecked(), QStringLiteral("10110111")[i] == u'1');
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::copy(QStringLiteral(PRAVLON_PROGRAM), path("pravlon")));
        QVERIFY(QFile::copy(SIM_LIBRARY_DIR "/librscom.so", path("librscom.so")));
        // The first user character with its decimal point lit, which the first page leaves off.
        writeFile(path("Data.ini"),
            readFile(ShippedDataFile).replace("B1Data=10010000", "B1Data=10010001"));
        qputenv("PRAVLON_SIM_LOG", QFile::encodeName(log()));
        qputenv("PRAVLON_SIM_PORTS", "13");
        qputenv("PRAVLON_SIM_PORTINFO", PortStates);
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            qunsetenv(name); // for the commands; this process has its platform
    }
    void cleanup() { form.reset(); }

    void throughTheWindow() { commands(true); }
    void onItsOwn() { commands(false); }

    // Every row of the command table: its example parses to its verb and crosses the socket
    // unchanged; an option that is not the row's is refused as wrong use (2).
    void everyCommand()
    {
        QStringList failures;
        for (const Command &c : Commands) {
            const QString what = example(c).join(u' ') + QStringLiteral(": ");
            const CommandLine line = parseCommandLine(example(c));
            const QByteArray wire = encode(line.request).chopped(1);
            const auto back = decodeRequest(wire);
            if (line.kind != CommandLine::Run || line.request.verb != c.verb
                || !std::holds_alternative<Request>(back)
                || std::get<Request>(back) != line.request)
                failures << what + QStringLiteral("parsed or sent wrong: ") + QString(wire);
            for (const auto &[bit, option] : {std::pair{MsOption, "--ms=1"}, {LoopOption, "--loop"},
                     {WaitOption, "--wait"}, {PortOption, "--port=COM1"}}) {
                if (!(c.options & bit)
                    && parseCommandLine(example(c) << QLatin1String(option)).wrong.code != Usage)
                    failures << what + QLatin1String(option) + QStringLiteral(" not refused");
            }
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(u'\n')));
    }

    // --help, the man page (its synopsis and its COMMANDS) and the README's table list the
    // commands of the table, no more and no fewer; --help and the man page every exit code.
    void documented()
    {
        QStringList keys;
        for (const Command &c : Commands)
            keys << keyOf(QLatin1String(c.usage));
        keys.sort();
        const QString all = keys.join(QStringLiteral(", "));
        const auto listed = [](const QString &text, const char *line) {
            QStringList found;
            const QRegularExpression named(
                QLatin1String(line), QRegularExpression::MultilineOption);
            for (auto m = named.globalMatch(text); m.hasNext();)
                found << keyOf(m.next().captured(1).remove(u'"'));
            found.sort();
            return found.join(QStringLiteral(", "));
        };
        const QString man = QString::fromUtf8(readFile(PRAVLON_SOURCE_DIR "/packaging/pravlon.1"))
                                .replace(QStringLiteral("\\-"), QStringLiteral("-"));
        const auto section = [&](const char *title) {
            return man.section(QLatin1String(title), 1).section(QStringLiteral(".SH"), 0, 0);
        };
        const QString readme = QString::fromUtf8(readFile(PRAVLON_SOURCE_DIR "/README.md"));
        QCOMPARE(listed(helpText(), "^  pravlon (\\S.*)$"), all);
        QCOMPARE(listed(section(".SH SYNOPSIS"), "^\\.B pravlon ([a-z].*)$"), all);
        QCOMPARE(listed(section(".SH COMMANDS"), "^\\.TP\n\\.BI? (.*)$"), all);
        QCOMPARE(listed(readme, "^\\| `pravlon ([^`]*)` \\|"), all);
        for (int code :
            {Done, Failed, Usage, NoPort, NoLibrary, BadCharacter, NoDisplay, OldWindow}) {
            const QRegularExpression inHelp(QStringLiteral("\\b%1 ").arg(code));
            QVERIFY2(helpText().section(QStringLiteral("Návratové kódy:"), 1).contains(inHelp)
                    && section(".SH EXIT STATUS").contains(QStringLiteral(".B %1\n").arg(code)),
                qPrintable(QString::number(code)));
        }
        QVERIFY(helpText().contains(QRegularExpression("\\b6 [^,]*grafické.*\\b7 [^,]*starší")));
    }

    // A line library that is missing or lacks a function the transfer needs: the window says
    // "ERROR 03" at start-up, naming the file and the function, and sends nothing; a command exits
    // 4 with the same reason, once and in Czech alone, through that window as on its own; the
    // window still takes a command that sends nothing.
    void withoutLibrary_data()
    {
        QTest::addColumn<QString>("lacking");
        QTest::newRow("missing") << QString();
        for (const char *function : {"OPENCOM", "DTR", "TXD"})
            QTest::newRow(function) << QString(function);
    }
    void withoutLibrary()
    {
        QFETCH(QString, lacking);
        TestProgram installation;
        const auto file = [&](const char *name) { return installation.dir.filePath(name); };
        QVERIFY(QFile::copy(path("pravlon"), file("pravlon"))
            && QFile::copy(path("Data.ini"), file("Data.ini")));
        if (!lacking.isEmpty())
            QVERIFY(QFile::copy(
                LACKING_LIBRARY_DIR "/" + lacking + "/librscom.so", file("librscom.so")));
        const QString reason = lacking.isEmpty() ? "soubor tam není" : "nemá funkci " + lacking;
        const QByteArray before = readFile(log());
        for (bool window : {false, true}) {
            if (window) {
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(reason));
                UrlCatcher catcher;
                openWindow(installation);
                QCOMPARE(installation.messages->titles, QStringList{"ERROR 03"});
                QVERIFY2(installation.messages->shown[0].details.contains(reason),
                    qPrintable(installation.messages->shown[0].details));
            }
            const Reply r = run({"show", "A"}, installation.dir.path());
            QVERIFY2(r.code == NoLibrary && !r.err.contains("line library")
                    && (window
                        || (r.err.count(reason) == 1
                            && r.err.contains(lacking.isEmpty() ? "Nenalezen" : "nelze použít"))),
                qPrintable(r.err));
            QVERIFY(!window || run({"stop"}, installation.dir.path()).code == Done); // sends not
        }
        form.reset();
        QCOMPARE(readFile(log()), before); // not even the closing window's last character
    }

    // `pravlon` alone where no graphical session can be reached: one Czech line pointing at the
    // commands and its own exit code, not Qt's abort.
    void noDisplay()
    {
        for (const QStringList &environment :
            {QStringList(), {"DISPLAY=:97"}, {"WAYLAND_DISPLAY=nowhere-0"}}) {
            const Reply r = run({}, {}, environment);
            QVERIFY2(r.code == NoDisplay
                    && r.err.startsWith("pravlon: Nenalezeno grafické prostředí")
                    && r.err.count(u'\n') == 2 && r.err.contains("pravlon --help"),
                qPrintable(environment.join(' ') + r.err));
        }
    }

    // A play with --wait waits while other commands are answered, and ends with a stop. The
    // window closes with a play waiting and a command on its way: the play's command is told, the
    // command is refused, and nothing follows the window's last character.
    void waitingPlay()
    {
        openWindow();
        QProcess *waiting = start({"play", "--wait", "--loop", "--ms", "1", "ab"});
        QTRY_VERIFY(control<QAbstractButton>(form.get(), "Check3")->isChecked());
        QVERIFY(run({"status"}).out.contains(QStringLiteral("přehrávání: hraje")));
        QCOMPARE(waiting->state(), QProcess::Running);
        QCOMPARE(run({"stop"}).code, 0);
        QCOMPARE(finish(waiting).code, 0);

        // Slow enough that the player sends nothing while the test runs.
        waiting = start({"play", "--wait", "--ms", "5000", "ab"});
        QTRY_VERIFY(control<QAbstractButton>(form.get(), "Check3")->isChecked());
        QLocalSocket late;
        QVERIFY(connectToWindow(late));
        QTRY_COMPARE(form->findChildren<QLocalSocket *>().size(), 2);
        form->close();
        QCOMPARE(answer(late, ShowA).code, 1);
        const Reply ended = finish(waiting);
        QVERIFY2(ended.code == 1 && ended.err.contains(QStringLiteral("zavřením")),
            qPrintable(ended.err));
        QCOMPARE(sent(log()).mid(sent(log()).size() - 2), QStringList(2, "11111111"));
    }

    // A socket left behind by a window that crashed: a command runs on its own, and the next
    // window takes the name over. A window that takes the connection and never answers: the
    // command gives up.
    void windowGoneOrHung()
    {
        sockaddr_un address{AF_UNIX, {}};
        const QByteArray name = QFile::encodeName(socketName(program.dir.path()));
        std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        ::close(fd);
        QCOMPARE(run({"show", "A"}).code, 0);
        openWindow();
        QVERIFY(run({"status"}).out.startsWith(QStringLiteral("okno: běží")));

        QLocalServer silent;
        QVERIFY(silent.listen(runtime.filePath(QStringLiteral("silent"))));
        const std::optional<Reply> r = askWindow(silent.fullServerName(), Request(), 100);
        QVERIFY(r && r->code == 1 && r->err.contains(QStringLiteral("neodpovídá")));
    }

    // `pravlon test` asks about each step in the terminal and prints the diagnosis, through the
    // window (which shows the steps, is gone once the diagnosis is there, and shows its pattern
    // again) and on its own. An answer it cannot read is asked again; answers that run out end
    // it unfinished, and the window's test with it.
    void wiringTest_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("steps"); // sent
        QTest::newRow("answered") << "x\n" + QByteArray("n\n").repeated(10) << 0 << 10;
        QTest::newRow("answers run out") << QByteArray("p\nbe\n") << 1 << 3;
    }
    void wiringTest()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, steps);
        QStringList expected;
        for (int i = 0; i < steps; ++i)
            expected << wiringtest::steps()[i].pattern;
        const QString dark = QStringLiteral("Nesvítí nic\n")
            + wiringtest::diagnose(QList<std::optional<QString>>(10, BlankPattern))[0].text + u'\n';
        for (const bool window : {false, true}) {
            if (window)
                openWindow();
            const qsizetype before = sent(log()).size();
            const Reply r = finish(start({"test"}, {}, {}, {input}));
            QTEST(r.code, "code");
            QVERIFY2(
                r.out.startsWith(QStringLiteral("Krok 1 z 10: Vše zhasnuto")), qPrintable(r.out));
            QVERIFY2(r.code ? !r.err.isEmpty()
                            : r.out.contains(wiringtest::TerminalHint) && r.out.endsWith(dark),
                qPrintable(r.out + r.err));
            const QStringList now = sent(log()).mid(before);
            // Through the window, the page switch to the editor before and the pattern of before.
            QVERIFY2(now.join(u' ').contains(expected.join(u' '))
                    && now.size() == steps + (window ? 2 : 0),
                qPrintable(now.join(u' ')));
            if (window) {
                QTRY_VERIFY(!form->wiringTestRunning());
                QCOMPARE(sent(log()).last(), BlankPattern); // the first page's, before the test
                QCOMPARE(textOf(form.get(), "Label1"), BlankPattern);
            }
            QCOMPARE(run({"test", "--port", "COM2"}).code, int(NoPort)); // it does not open
        }
    }

    // The conversation on the socket: a question per step, an answer line each; the window only
    // shows meanwhile, and its test goes when the command does. While it runs, a command that
    // would send or change the port is refused and sends nothing; status is answered.
    void conversation()
    {
        openWindow();
        QLocalSocket socket;
        QVERIFY(connectToWindow(socket));
        QVERIFY(answer(socket, R"({"v":3,"cmd":"test"})").out.startsWith("Krok 1 z 10"));
        WiringTestWindow *test = form->wiringTest();
        QVERIFY(test);
        QTest::keyClick(test, Qt::Key_N);
        QCOMPARE(test->session().current(), 0);
        QVERIFY(answer(socket, "abc?").out.startsWith(wiringtest::TerminalHint));
        QVERIFY(answer(socket, "p").out.startsWith("Krok 2 z 10"));
        QVERIFY(!control<QPushButton>(test, "Back")->isEnabled()); // the terminal answers
        const qsizetype before = sent(log()).size();
        for (const QStringList &refused :
            QList<QStringList>{{"show", "A"}, {"play", "ab"}, {"port", "COM3"}, {"test"}}) {
            const Reply r = run(refused);
            QVERIFY2(r.code == 1 && r.err.contains(QStringLiteral("Běží test zapojení")),
                qPrintable(refused.join(' ') + r.err));
        }
        QCOMPARE(sent(log()).size(), before);
        QCOMPARE(run({"status"}).code, 0);
        socket.disconnectFromServer();
        QTRY_VERIFY(!form->wiringTestRunning());
    }

    // Without a session's runtime directory the socket is in the temporary directory's folder;
    // another user who made that folder first does not leave the window deaf: it listens in the
    // user's home, and the command finds it there.
    void socketPlaceTakenFirst()
    {
        const QTemporaryDir elsewhere;
        const QByteArray tmp = QFile::encodeName(elsewhere.filePath("tmp"));
        const QByteArray home = QFile::encodeName(elsewhere.filePath("home"));
        const QByteArray realHome = qgetenv("HOME");
        const auto back = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
            qunsetenv("TMPDIR");
            qputenv("HOME", realHome);
        });
        qputenv("XDG_RUNTIME_DIR", "not-absolute"); // unusable, and no /run/user looked at
        qputenv("TMPDIR", tmp);
        qputenv("HOME", home);
        QVERIFY(QDir().mkpath(QFile::decodeName(home)) && QDir().mkpath(QFile::decodeName(tmp)));
        QVERIFY(socketName(program.dir.path()).startsWith(QFile::decodeName(tmp))); // still free
        // Taken first: a folder open to everyone, as another user would leave it.
        const QByteArray squatted = tmp + "/pravlon-" + QByteArray::number(::geteuid());
        QVERIFY(QDir().mkpath(QFile::decodeName(squatted)) && ::chmod(squatted, 0777) == 0);
        QVERIFY(socketName(program.dir.path()).startsWith(QFile::decodeName(home)));
        openWindow();
        QVERIFY(run({"status"}).out.startsWith(QStringLiteral("okno: běží")));
    }

    // A thousand connections that never send a request, from a program of the same user, do
    // not use up the window's descriptors: the window still answers.
    void manyIdleConnections()
    {
        openWindow();
        rlimit saved{};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &saved) == 0);
        rlimit low = saved;
        low.rlim_cur = 512; // the window's limit, lower than the connections
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &low) == 0);
        const auto back = qScopeGuard([&] { ::setrlimit(RLIMIT_NOFILE, &saved); });
        const QByteArray name = QFile::encodeName(socketName(program.dir.path()));
        const pid_t flood = ::fork();
        if (flood == 0) {
            rlimit many{4096, 4096};
            ::setrlimit(RLIMIT_NOFILE, &many);
            sockaddr_un address{AF_UNIX, {}};
            std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
            // Each connection waits a moment for the window to take it; a window that takes no
            // more ends the flood. Stopped, the flood keeps its connections open.
            const timeval moment{0, 300 * 1000};
            for (int i = 0, failed = 0; i < 1000 && failed < 3; ++i) {
                const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
                ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &moment, sizeof moment);
                failed
                    += ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0;
            }
            ::raise(SIGSTOP);
            _exit(0);
        }
        const auto stop = qScopeGuard([flood] {
            ::kill(flood, SIGKILL);
            ::waitpid(flood, nullptr, 0);
        });
        QVERIFY(QTest::qWaitFor(
            [flood] { return ::waitpid(flood, nullptr, WNOHANG | WUNTRACED) == flood; }, 30000));
        QTest::qWait(100); // the last connections taken
        QVERIFY(run({"status"}).out.startsWith(QStringLiteral("okno: běží")));
    }

    // Ctrl+C and SIGTERM stop a play on its own between two characters; the process ends by the
    // signal, so that a shell sees it.
    void interrupted()
    {
        for (const int signal : {SIGINT, SIGTERM}) {
            const qsizetype before = sent(log()).size();
            QProcess *playing = start({"play", "--loop", "--ms", "1", "ab"});
            QTRY_VERIFY(sent(log()).size() >= before + 3);
            ::kill(pid_t(playing->processId()), signal);
            QCOMPARE(finish(playing).code, -1);
            const QByteArray lines = readFile(log());
            QCOMPARE(lines.count(" TXD ") % PatternLength, 0);
            QVERIFY(lines.endsWith(" DTR 0\n"));
        }
    }

    // Unsound requests written straight to the window's socket are refused with their exit
    // code and a reason, and change nothing.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("code");
        QTest::newRow("unknown command") << QByteArray(R"({"v":1,"cmd":"blink"})") << 2;
        QTest::newRow("outside the table") << QByteArray(R"({"v":1,"cmd":"show","char":"ů"})") << 5;
        QTest::newRow("a field of its own") << QByteArray(R"({"v":1,"cmd":"stop","x":1})") << 2;
        QTest::newRow("not JSON") << QByteArray("show A") << 2;
        QTest::newRow("oversized") << QByteArray(MaxRequestBytes + 4096, 'x') << 2;
        QTest::newRow("no version") << QByteArray(R"({"cmd":"stop"})") << 2;
        // A command of a later version than the window's: not a malformed request.
        QTest::newRow("a later command") << QByteArray(R"({"v":99,"cmd":"blink"})") << 7;
        QTest::newRow("a later field") << QByteArray(R"({"v":99,"cmd":"stop","x":1})") << 7;
    }
    void refused()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, code);
        openWindow();
        const QByteArray before = readFile(log());
        QLocalSocket socket;
        QVERIFY(connectToWindow(socket));
        const Reply reply = answer(socket, request);
        QVERIFY2(reply.code == code && !reply.err.isEmpty(), qPrintable(reply.err));
        QCOMPARE(readFile(log()), before);
    }

    // A window from before replies carried a version refuses a request of a later version as
    // of another program (1): the command tells it for an older window (7). A refusal of a
    // request of its own version keeps its code.
    void olderWindow()
    {
        const QByteArray refusal = R"({"code":1,"err":"Okno programu je jiné verze."})";
        QCOMPARE(decodeReply(refusal, 2)->reply.code, OldWindow);
        QCOMPARE(decodeReply(refusal, 1)->reply.code, Failed);
    }

    // The window answers its own user alone: here it is another user for a moment, and turns
    // away a command of root, which the socket's permissions let through.
    void anotherUser()
    {
        if (::geteuid() != 0)
            QSKIP("needs root, to be another user for a moment");
        openWindow();
        const QByteArray before = readFile(log());
        QLocalSocket socket;
        QVERIFY(connectToWindow(socket)); // as root
        {
            const auto back = qScopeGuard([] { QVERIFY(::seteuid(0) == 0); });
            QCOMPARE(::seteuid(65534), 0); // the window takes the connection as nobody
            socket.write(ShowA + '\n');
            QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        }
        QCOMPARE(readFile(log()), before);
    }

    // The last of each range is taken: COM5, the letter Z, a text of the longest length; on its
    // own, a command tries every port up to the last. An unknown option is named as typed.
    void edgesOfTheCommandLine()
    {
        for (const char *option : {"-x", "--xy"})
            QVERIFY(
                parseCommandLine({"play", option, "T"}).wrong.err.contains(QString(" ") + option));
        for (const QStringList &arguments : {QStringList{"port", "COM5"},
                 {"show", "--port", "com5", "Z"}, {"show", "z"}, {"play", QString(65536, u'a')}}) {
            const CommandLine line = parseCommandLine(arguments);
            QVERIFY2(
                line.kind == CommandLine::Run && !check(line.request), qPrintable(arguments[1]));
        }
        QCOMPARE(finish(start({"show", "a"}, {}, {"PRAVLON_SIM_PORTS=5"})).code, Done);
    }
};

QTEST_MAIN(TestCommand)
#include "tst_command.moc"
