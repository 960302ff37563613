// Clocking a pattern out: the calls and what the wired display then lights, the loader of the
// line library, the port choice, and the texts that say why a port cannot be used.
#include "command/ports.h"
#include "effects/outsidetext.h"
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

    // A file that is no library is as unusable as a missing one, and the reason names it (the
    // missing and lacking modules go through the program in tst_command); one that lacks only
    // PORTINFO works, without details.
    void loader()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("librscom.so")), "not a library");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("librscom.so"));
        QVERIFY_THROWS_EXCEPTION(
            LineLibraryError, ModuleLineLibrary(dir.path()).OPENCOM("COM1,1200,N,8,1"));
        ModuleLineLibrary lacking(LACKING_LIBRARY_DIR "/PORTINFO");
        QVERIFY(lacking.OPENCOM("COM1,1200,N,8,1") && !lacking.portInfo(1));
        lacking.DTR(1);
        lacking.TXD(1);
    }

    // The port model without widgets: which ports work, which is picked, and what follows.
    void portChoiceAndChanges_data()
    {
        QTest::addColumn<QList<int>>("working");
        QTest::addColumn<int>("picked");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("COM2 works") << QList<int>{1, 2} << 2 << "boxes: 0, sent: 1, selected: COM2";
        QTest::newRow("COM3 gone, COM4 works")
            << QList<int>{1, 4} << 3 << "boxes: 0, sent: 2, selected: COM4";
        QTest::newRow("nothing works") << QList<int>{} << 3 << "boxes: 4, sent: 4, selected: COM1";
        QTest::newRow("COM1 gone, others work")
            << QList<int>{2, 3, 4, 5} << 1 << "boxes: 1, sent: 1, selected: COM1";
    }

    void portChoiceAndChanges()
    {
        QFETCH(QList<int>, working);
        QFETCH(int, picked);
        int boxes = 0, sent = 0;
        QString label;
        PortSelection model(
            {[&](const QByteArray &s) { return int16_t(working.contains(s[3] - '0')); },
                [&] { ++boxes; }, [&] { ++sent; }, [&](const QString &name) { label = name; },
                nullptr});
        model.userSelected(picked);
        QCOMPARE(label, PortSelection::portName(model.selected())); // the label names the selection
        QTEST(QString("boxes: %1, sent: %2, selected: %3").arg(boxes).arg(sent).arg(label),
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
        for (const auto &[line, offered, says] : table) {
            const std::optional<PortInfo> port = PortInfo::parse(
                "/dev/simUSB0\tA\t" + line.toUtf8() + (line.contains(u'\t') ? "" : "\t"));
            QVERIFY2(portStateText(*port, offered).contains(says), qPrintable(line));
        }
        QCOMPARE(command::portLine(2, *PortInfo::parse("\t\tmissing\t"), true),
            "COM2\t-\t-\tV systému takový port není.\tmissing"); // `ports`: "-" not known
        QVERIFY(command::statusText(true, "COM1", "open", {}, command::PlayState::Paused)
                    .endsWith("přehrávání: pozastaveno\tpaused\n"));
        // A device's words are shown as one line of text of a bounded length: no escape that
        // retitles a terminal, no bell, no line of its own, no direction override.
        const PortInfo odd
            = *PortInfo::parse("/dev/ttyUSB0\x1b[2J\tFT\x1b]0;x\x07\r\nOK\xe2\x80\xae"
                + QByteArray(4096, 'y') + "\terror\t\x1b[31mbad\x7f");
        QCOMPARE(odd.device, "/dev/ttyUSB0\uFFFD[2J");
        QCOMPARE(odd.adapter.first(15), "FT\uFFFD]0;x\uFFFD  OK\uFFFDyy");
        QCOMPARE(odd.adapter.size(), OutsideTextLength);
        QVERIFY(odd.adapter.endsWith(u'\u2026'));
        const QByteArray fits(OutsideTextLength, 'z');
        QCOMPARE(PortInfo::parse("/dev/simUSB0\t" + fits + "\tready\t")->adapter, fits);
        QCOMPARE(portStateText(odd, false), "Port nelze otevřít: \uFFFD[31mbad\uFFFD");
        QCOMPARE(timePerCharacterText(21'499'999) + timePerCharacterText(21'500'000)
                + timePerCharacterText(400'000),
            "21 ms na znak22 ms na znakméně než 1 ms na znak"); // rounded, not cut
    }
};

QTEST_MAIN(TestDisplay)
#include "tst_display.moc"
