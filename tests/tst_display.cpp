// Clocking a pattern out: the calls and what the wired display then lights, the loader of the
// line library, the port choice, and the texts that say why a port cannot be used.
#include "display/portdetails.h"
#include "display/portselection.h"
#include "fakes.h"

#include <QRegularExpression>

class TestDisplay : public QObject
{
    Q_OBJECT
private slots:
    // Characters 8, 7 and 6 go out, then DTR 1 of character 5, which holds no digit: no more.
    void transferStopsAtANonDigit()
    {
        FakeLineLibrary lines;
        QVERIFY(!transferPattern(lines, QStringLiteral("1001x000")));
        QCOMPARE(QString::number(lines.calls.size()) + ' ' + lines.calls.last(), "10 DTR 1");
    }

    // Only the module in the program's directory is loaded; missing or no library, every
    // operation fails, and the loader's own reason goes to standard error.
    void loader()
    {
        QTemporaryDir dir;
        QVERIFY_THROWS_EXCEPTION(LineLibraryError, ModuleLineLibrary(dir.path()).DTR(1));
        writeFile(dir.filePath(QStringLiteral("librscom.so")), "not a library");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("librscom.so")));
        QVERIFY_THROWS_EXCEPTION(
            LineLibraryError, ModuleLineLibrary(dir.path()).OPENCOM("COM1,1200,N,8,1"));
    }

    // Through the real loader and the simulated module: one that lacks TXD and PORTINFO starts
    // cleanly with today's window, no details, and stops each transfer quietly at its first
    // TXD; the adapter pulled out mid-play and put back in.
    void throughTheLoader()
    {
        for (const QString module : {BROKEN_LIBRARY_DIR, ""}) {
            TestProgram program;
            QFile::copy(SIM_LIBRARY_DIR "/librscom.so", program.dir.filePath("librscom.so"));
            const QString log = program.dir.filePath(QStringLiteral("calls.log"));
            qputenv("PRAVLON_SIM_LOG", QFile::encodeName(log));
            Environment env = program.environment();
            env.lines = std::make_shared<ModuleLineLibrary>(
                module.isEmpty() ? program.dir.path() : module);
            auto started = program.start(true, env);
            Form1 &form = *started;
            control<QTabWidget>(&form, "SSTab1")->setCurrentIndex(2);
            control<QPlainTextEdit>(&form, "Text1")->setPlainText(QStringLiteral("0"));
            control<QPushButton>(&form, "Check3")->setChecked(true);
            const auto tick = [&](bool unplugged) {
                const qsizetype before = readFile(log).size();
                unplugged ? qputenv("PRAVLON_SIM_UNPLUGGED", "1")
                          : qunsetenv("PRAVLON_SIM_UNPLUGGED");
                control<TextPlayerPage>(&form, "Page3")->Timer2_Timer();
                qunsetenv("PRAVLON_SIM_UNPLUGGED");
                return readFile(log).mid(before).count('\n');
            };
            if (!module.isEmpty()) {
                QCOMPARE(tick(false), 1); // DTR 1, and TXD is not there
                QVERIFY(readFile(log).endsWith(" DTR 1\n")
                    && control<QLabel>(&form, "Label1")->text() == BlankPattern);
            } else {
                QCOMPARE(tick(true), 0);
                QCOMPARE(tick(false), 24);
            }
            QVERIFY(program.messages->shown.isEmpty()
                && control<QLabel>(&form, "Label2")->text() == QLatin1String("COM1"));
            form.Label2_Click();
            QCOMPARE(program.messages->shown[0].details.isEmpty(), !module.isEmpty());
            for (int n = 1; n <= 5; ++n) {
                QCOMPARE(control(&form, QStringLiteral("Option%1").arg(n))->toolTip()
                        == QStringLiteral("Otevřít port COM%1 pro odesílání znaků").arg(n),
                    !module.isEmpty());
            }
        }
        qunsetenv("PRAVLON_SIM_LOG");
    }

    // The port model without widgets. Which ports work, which is picked; then the boxes shown, the
    // characters sent, the port label and the option selected at the end.
    void portChoiceAndChanges_data()
    {
        QTest::addColumn<QList<int>>("working");
        QTest::addColumn<int>("picked");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("COM2 works") << QList<int>{1, 2} << 2 << "0 1 COM2 2";
        QTest::newRow("COM3 gone, COM4 works") << QList<int>{1, 4} << 3 << "0 2 COM4 4";
        QTest::newRow("nothing works") << QList<int>{} << 3 << "4 4 COM1 1";
        QTest::newRow("COM1 gone, others work") << QList<int>{2, 3, 4, 5} << 1 << "1 1 COM1 1";
    }

    void portChoiceAndChanges()
    {
        QFETCH(QList<int>, working);
        QFETCH(int, picked);
        int messages = 0, sends = 0;
        QString label;
        PortSelection model(
            {[&](const QByteArray &s) { return int16_t(working.contains(s[3] - '0')); },
                [&] { ++messages; }, [&] { ++sends; }, [&](const QString &name) { label = name; },
                nullptr});
        model.userSelected(picked);
        QTEST(
            QStringLiteral("%1 %2 %3 %4").arg(messages).arg(sends).arg(label).arg(model.selected()),
            "outcome");
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(model.isEnabled(n), working.contains(n));
    }

    // Every state word has its own text, with what the user acts on: the exact command with the
    // group, the program to close, the line of the display the adapter cannot drive.
    void portStateTexts()
    {
        const QList<std::tuple<QString, bool, QString>> table{
            {"missing", true, "V systému takový port není."},
            {"gone", false, "Připojte ho a spusťte program znovu."},
            {"denied\tuucp", false,
                "skupině uucp.\nPřidejte se do ní (pak se odhlaste a znovu přihlaste):\n"
                "sudo usermod -aG uucp $USER"},
            {"denied", false, "Požádejte správce"},
            {"busy\tminicom", false, "(minicom).\nZavřete ho"}, {"busy", false, "ModemManager"},
            {"nodtr", false, "linku DTR, ze které displej bere hodiny"},
            {"nobreak", false, "TxD, ze které displej bere data"},
            {"slowbreak\tch341-uart", true, "Ovladač ch341-uart stav break jen napodobuje"},
            {"ready", false, "po novém spuštění"}, {"ready", true, "Port lze vybrat."},
            {"open", true, "Port je otevřen."},
            {"error\tInput/output error", false, "Port nelze otevřít: Input/output error"},
            {"strange", false, "Port nelze otevřít: strange"}};
        QSet<QString> texts;
        for (const auto &[line, offered, says] : table) {
            const std::optional<PortInfo> port = PortInfo::parse(
                "/dev/ttyUSB0\tA\t" + line.toUtf8() + (line.contains(u'\t') ? "" : "\t"));
            texts << portStateText(*port, offered);
            QVERIFY2(portStateText(*port, offered).contains(says), qPrintable(line));
        }
        QCOMPARE(texts.size(), table.size());
        QCOMPARE(timePerCharacterText(21'499'999) + timePerCharacterText(400'000),
            "21 ms na znakméně než 1 ms na znak");
    }
};

QTEST_MAIN(TestDisplay)
#include "tst_display.moc"
