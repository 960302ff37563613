// Showing a pattern: the bits on the lines, what the wired display then lights, the
// decimal-point rule, the loader of the line library and the port choice.
#include "display/portselection.h"
#include "display/transfer.h"
#include "fakes.h"
#include "mainwindow/widgets.h"
#include "sources/characterbuttons.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestDisplay : public QObject
{
    Q_OBJECT
private slots:
    void bitOrderAndLevels()
    {
        FakeLineLibrary lines;
        lines.openPort = 1;
        QVERIFY(transferPattern(lines, QStringLiteral("10010000")));
        QCOMPARE(lines.txdBits(), QStringLiteral("00001001"));
        QCOMPARE(lines.calls.size(), 24);
        QCOMPARE(lines.shown(), QStringLiteral("10010000")); // segments a and d
        QVERIFY(transferPattern(lines, QStringLiteral("01101101")));
        QCOMPARE(lines.shown(), QStringLiteral("01101101"));
    }

    void nonDigitStopsTheTransfer()
    {
        FakeLineLibrary lines;
        QVERIFY(!transferPattern(lines, QStringLiteral("1001x000")));
        // Characters 8, 7, 6 went out, then DTR 1 of character 5 and nothing more.
        QCOMPARE(lines.calls.size(), 10);
        QCOMPARE(lines.calls.last(), QStringLiteral("DTR 1"));
        QVERIFY(!transferPattern(lines, QStringLiteral("1001")));
        lines.clear();
        QVERIFY(transferPattern(lines, QStringLiteral("00000000")));
        QCOMPARE(lines.calls.size(), 24);
        lines.missing = true;
        QVERIFY(!transferPattern(lines, QStringLiteral("00000000")));
    }

    void showCharacterAndTheDecimalPoint()
    {
        TestProgram program;
        auto form = program.start();
        FakeLineLibrary &lines = *program.lines;
        form->page1->Check1->setChecked(true); // shows the pattern on show at once
        form->KOdeslani = QStringLiteral("10010010");
        form->ShowCharacter();
        QCOMPARE(form->KOdeslani, QStringLiteral("10010011"));
        QCOMPARE(form->Label1->text(), QStringLiteral("10010011"));
        QCOMPARE(lines.shown(), QStringLiteral("10010011"));
        QVERIFY(!form->previewSegments[7]->isHidden());
        QVERIFY(form->previewSegments[1]->isHidden());

        form->page1->Check1->setChecked(false);
        form->KOdeslani = QStringLiteral("11111111");
        form->ShowCharacter();
        QCOMPARE(lines.shown(), QStringLiteral("11111110"));

        form->page1->Check1->setChecked(true);
        form->page1->Command1->click();
        QCOMPARE(form->KOdeslani, QStringLiteral("00000001"));

        // Elsewhere the pattern goes out as it is.
        form->Smod = 2;
        form->KOdeslani = QStringLiteral("00000001");
        form->page1->Check1->setChecked(false);
        QCOMPARE(lines.shown(), QStringLiteral("00000001"));

        // A broken pattern: the preview shows its ones, the label keeps the last good one.
        form->KOdeslani = QStringLiteral("1100 ");
        form->ShowCharacter();
        QCOMPARE(form->Label1->text(), QStringLiteral("00000001"));
        QVERIFY(!form->previewSegments[0]->isHidden());
        QVERIFY(form->previewSegments[7]->isHidden());
        QCOMPARE(lines.calls.last(), QStringLiteral("DTR 1"));
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
        const QString log = dir.filePath(QStringLiteral("calls.log"));
        qputenv("PRAVLON_SIM_LOG", log.toLocal8Bit());
        qputenv("PRAVLON_SIM_PORTS", "2");
        ModuleLineLibrary sim(dir.path());
        QCOMPARE(sim.OPENCOM("COM1,1200,N,8,1"), int16_t(0));
        QVERIFY(sim.OPENCOM("COM2,1200,N,8,1") != 0);
        QCOMPARE(sim.OPENCOM("COM6,1200,N,8,1"), int16_t(0));
        sim.DTR(1);
        sim.TXD(0);
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString calls = QString::fromLatin1(f.readAll());
        QVERIFY(calls.contains(QLatin1String("OPEN 2")));
        QVERIFY(calls.contains(QLatin1String("DTR 1")));
        QVERIFY(calls.contains(QLatin1String("TXD 0")));
    }

    // A module that lacks only TXD: start-up and the ports work, a transfer stops silently at
    // its first TXD.
    void moduleLackingOneFunction()
    {
        TestProgram program;
        program.copyShippedDataFile();
        const QString log = program.dir.filePath(QStringLiteral("calls.log"));
        qputenv("PRAVLON_SIM_LOG", log.toLocal8Bit());
        qputenv("PRAVLON_SIM_PORTS", "1");
        Environment env = program.environment();
        env.lines = std::make_shared<ModuleLineLibrary>(QStringLiteral(BROKEN_LIBRARY_DIR));
        Form1 form(env);
        form.Form_Load();
        QCOMPARE(program.messages->titles(), QStringList());
        QCOMPARE(form.Label2->text(), QStringLiteral("COM1"));

        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        f.readAll();
        form.page1->Check1->setChecked(true);
        const QByteArray sent = f.readAll();
        QCOMPARE(sent.count('\n'), 1);
        QVERIFY(sent.endsWith(" DTR 1\n"));
        QCOMPARE(form.Label1->text(), QStringLiteral("00000000"));
        QCOMPARE(program.messages->titles(), QStringList());
        qunsetenv("PRAVLON_SIM_LOG");
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
        QStringList order;
        PortSelection model({[&](const QByteArray &s) {
                                 const int n = s.mid(3, 1).toInt();
                                 return int16_t(ports.count(n) ? 1 : 0);
                             },
            [&] {
                ++messages;
                order << QStringLiteral("box ") + label;
            },
            [&] { ++sends; }, [&](const QString &name) { label = name; }, nullptr});
        model.userSelected(picked);
        QTEST(messages, "messages");
        QTEST(sends, "sends");
        QTEST(label, "label");
        QTEST(model.selected(), "selected");
        if (working.isEmpty()) {
            QCOMPARE(order.size(), 4);
            for (int n = 1; n <= 5; ++n)
                QVERIFY(!model.isEnabled(n));
        }
    }
};

QTEST_MAIN(TestDisplay)
#include "tst_display.moc"
