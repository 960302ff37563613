// Showing a pattern: the bits on the lines, what the wired display then lights, the
// decimal-point rule, the loader of the line library and the port choice.
#include "display/portselection.h"
#include "fakes.h"
#include "sources/characterbuttons.h"
#include "sources/textplayer.h"
#include "ui/widgets.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The simulated module's calls since the last look, one "OPEN 1", "DTR 0", ... each.
struct SimLog
{
    QFile file;
    explicit SimLog(const QString &path)
        : file(path)
    {
        qputenv("PRAVLON_SIM_LOG", QFile::encodeName(path));
        file.open(QIODevice::ReadWrite);
    }
    ~SimLog() { qunsetenv("PRAVLON_SIM_LOG"); }
    QStringList calls()
    {
        QStringList c;
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                c << QString::fromLatin1(line.mid(line.indexOf(' ') + 1));
        }
        return c;
    }
};

} // namespace

class TestDisplay : public QObject
{
    Q_OBJECT
private slots:
    // The calls made, the display lit; a position without a digit or a failing line ends the
    // transfer there.
    void transfer_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("missing");
        QTest::addColumn<bool>("done");
        QTest::addColumn<int>("calls");
        QTest::newRow("segments a and d") << "10010000" << false << true << 24;
        QTest::newRow("another") << "01101101" << false << true << 24;
        QTest::newRow("no digit at 5") << "1001x000" << false << false << 10;
        QTest::newRow("short") << "1001" << false << false << 1;
        QTest::newRow("library missing") << "00000000" << true << false << 0;
    }

    void transfer()
    {
        QFETCH(QString, pattern);
        QFETCH(int, calls);
        FakeLineLibrary lines;
        lines.openPort = 1;
        QFETCH(bool, missing);
        lines.missing = missing;
        QTEST(transferPattern(lines, pattern), "done");
        QCOMPARE(lines.calls.size(), calls);
        if (calls == 24) {
            // Character 8 first, each bit as DTR 1, TXD, DTR 0.
            QCOMPARE(
                lines.calls.mid(0, 3), QStringList({"DTR 1", "TXD " + pattern.right(1), "DTR 0"}));
            std::reverse(pattern.begin(), pattern.end());
            QCOMPARE(lines.txdBits(), pattern);
            std::reverse(pattern.begin(), pattern.end());
            QCOMPARE(lines.shown(), pattern);
        } else if (calls > 0) {
            QCOMPARE(lines.calls.last(), QStringLiteral("DTR 1"));
        }
    }

    // The decimal point follows Check1 on the first page only; a broken pattern shows its
    // ones and leaves Label1 with the last pattern that went out.
    void showCharacter_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("point");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("sent");
        QTest::newRow("first page, point on") << 0 << true << "10010010"
                                              << "10010011";
        QTest::newRow("first page, point off") << 0 << false << "11111111"
                                               << "11111110";
        QTest::newRow("editor, point on") << 1 << true << "00000000"
                                          << "00000000";
        QTest::newRow("player, point off") << 2 << false << "00000001"
                                           << "00000001";
        QTest::newRow("broken") << 0 << false << "1100 "
                                << "";
    }

    void showCharacter()
    {
        QFETCH(int, page);
        QFETCH(QString, pattern);
        QFETCH(QString, sent);
        TestProgram program;
        auto form = program.start();
        QFETCH(bool, point);
        control<QPushButton>(form.get(), "Check1")->setChecked(point);
        form->SSTab1->setCurrentIndex(page);
        const QString before = form->Label1->text();
        form->KOdeslani = pattern;
        form->ShowCharacter();
        const QString lit = sent.isEmpty() ? pattern : sent;
        for (int k = 0; k < 8; ++k)
            QCOMPARE(!form->previewSegments[k]->isHidden(), k < lit.size() && lit[k] == u'1');
        QCOMPARE(form->Label1->text(), sent.isEmpty() ? before : sent);
        if (!sent.isEmpty()) {
            QCOMPARE(form->KOdeslani, sent);
            QCOMPARE(program.lines->shown(), sent);
        }
    }

    void loaderFindsTheModuleInTheProgramDirectoryOnly()
    {
        QTemporaryDir dir;
        ModuleLineLibrary absent(dir.path());
        QVERIFY_THROWS_EXCEPTION(LineLibraryError, absent.OPENCOM("COM1,1200,N,8,1"));
        QVERIFY_THROWS_EXCEPTION(LineLibraryError, absent.DTR(1));

        // A file that is no library: the loader's own reason goes to standard error.
        const QString module = dir.filePath(QStringLiteral("librscom.so"));
        QFile(module).open(QIODevice::WriteOnly);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("too short")));
        QVERIFY_THROWS_EXCEPTION(LineLibraryError, ModuleLineLibrary(dir.path()).DTR(1));
        QFile::remove(module);

        QFile::copy(QStringLiteral(SIM_LIBRARY_DIR "/librscom.so"), module);
        SimLog log(dir.filePath(QStringLiteral("calls.log")));
        qputenv("PRAVLON_SIM_PORTS", "2");
        ModuleLineLibrary sim(dir.path());
        QCOMPARE(sim.OPENCOM("COM1,1200,N,8,1"), int16_t(0));
        QVERIFY(sim.OPENCOM("COM2,1200,N,8,1") != 0);
        sim.DTR(1);
        sim.TXD(0);
        QCOMPARE(log.calls(), QStringList({"OPEN 0", "OPEN 2", "DTR 1", "TXD 0"}));
        qunsetenv("PRAVLON_SIM_PORTS");
    }

    // Through the real loader: a module that lacks only TXD starts cleanly and stops each
    // transfer quietly at its first TXD; the adapter pulled out mid-play and put back.
    void throughTheLoader()
    {
        TestProgram program;
        program.copyShippedDataFile();
        SimLog log(program.dir.filePath(QStringLiteral("calls.log")));
        Environment env = program.environment();
        env.lines = std::make_shared<ModuleLineLibrary>(QStringLiteral(BROKEN_LIBRARY_DIR));
        {
            Form1 form(env);
            form.Form_Load();
            QCOMPARE(program.messages->titles(), QStringList());
            QCOMPARE(form.Label2->text(), QStringLiteral("COM1"));
            log.calls();
            form.page1->Commanda(1)->click();
            QCOMPARE(log.calls(), QStringList({"DTR 1"}));
            QCOMPARE(form.Label1->text(), BlankPattern);
        }

        QFile::copy(QStringLiteral(SIM_LIBRARY_DIR "/librscom.so"),
            program.dir.filePath(QStringLiteral("librscom.so")));
        env.lines = std::make_shared<ModuleLineLibrary>(program.dir.path());
        Form1 form(env);
        form.Form_Load();
        form.SSTab1->setCurrentIndex(2);
        control<QPlainTextEdit>(&form, "Text1")->setPlainText(QStringLiteral("0"));
        control<QPushButton>(&form, "Check4")->setChecked(true);
        control<QPushButton>(&form, "Check3")->setChecked(true);
        log.calls();
        qputenv("PRAVLON_SIM_FAIL_AFTER", "0"); // unplugged: every call fails
        for (int i = 0; i < 3; ++i)
            form.page3->Timer2_Timer();
        QCOMPARE(log.calls(), QStringList());
        qunsetenv("PRAVLON_SIM_FAIL_AFTER");
        form.page3->Timer2_Timer();
        QCOMPARE(log.calls().size(), 24);
        QCOMPARE(form.Label1->text(), CharacterPatterns[0]);
        QCOMPARE(program.messages->titles(), QStringList());
    }

    // The port model without widgets: which ports open, what is sent, which boxes appear.
    void portChoiceAndChanges_data()
    {
        QTest::addColumn<QList<int>>("working");
        QTest::addColumn<int>("picked");
        QTest::addColumn<int>("messages");
        QTest::addColumn<int>("sends");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("selected");
        QTest::newRow("COM2 works") << QList<int>{1, 2} << 2 << 0 << 1 << "COM2" << 2;
        QTest::newRow("COM3 gone, COM4 works") << QList<int>{1, 4} << 3 << 0 << 2 << "COM4" << 4;
        QTest::newRow("nothing works") << QList<int>{} << 3 << 4 << 4 << "COM1" << 1;
        QTest::newRow("COM1 gone, others work")
            << QList<int>{2, 3, 4, 5} << 1 << 1 << 1 << "COM1" << 1;
    }

    void portChoiceAndChanges()
    {
        QFETCH(QList<int>, working);
        QFETCH(int, picked);
        std::set<int> ports(working.begin(), working.end());
        int messages = 0;
        int sends = 0;
        QString label;
        PortSelection model({[&](const QByteArray &s) { return int16_t(ports.count(s[3] - '0')); },
            [&] { ++messages; }, [&] { ++sends; }, [&](const QString &name) { label = name; },
            nullptr});
        model.userSelected(picked);
        QTEST(messages, "messages");
        QTEST(sends, "sends");
        QTEST(label, "label");
        QTEST(model.selected(), "selected");
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(model.isEnabled(n), ports.count(n) > 0);
    }
};

QTEST_MAIN(TestDisplay)
#include "tst_display.moc"
