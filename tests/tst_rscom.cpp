// The line library module: which device each COM name stands for, the settings texts it takes,
// and that a request which would not change a line never reaches the system.
#include "linestate.h"
#include "portmap.h"

#include <QTest>

using namespace rscom;

namespace {

QList<PortEntry> linuxPorts(const QStringList &names)
{
    QList<PortEntry> ports;
    for (const QString &n : names)
        ports.append({n, QStringLiteral("at:") + n}); // made-up locations, never opened
    return ports;
}

QStringList mapped(const std::array<QString, ComCount> &map)
{
    return QStringList(map.begin(), map.end());
}

class CountingLines : public NativeLines
{
public:
    QStringList requests;
    bool fail = false;
    bool setDtr(bool on) override
    {
        requests << QStringLiteral("dtr%1").arg(on);
        return !fail;
    }
    bool setBreak(bool on) override
    {
        requests << QStringLiteral("brk%1").arg(on);
        return !fail;
    }
};

} // namespace

class TestRscom : public QObject
{
    Q_OBJECT
private slots:
    void settingsTexts()
    {
        QCOMPARE(comNumberFromSettings("COM1,1200,N,8,1"), 1);
        QCOMPARE(comNumberFromSettings("COM5,1200,N,8,1"), 5);
        for (const char *bad : {"", "COM6,1200,N,8,1", "COM0,1200,N,8,1", "COM1", "com1,1200,N,8,1",
                 "COM1,9600,N,8,1", "COM1,1200,N,8,1 ", "\xff\xfe"})
            QCOMPARE(comNumberFromSettings(bad), 0);
        QCOMPARE(comNumberFromSettings(nullptr), 0);
    }

    void linuxOrderOnBoardThenUsb()
    {
        // Reported in any order; numbers compare as numbers, not text.
        const auto map
            = mapComPorts(linuxPorts({QStringLiteral("ttyUSB1"), QStringLiteral("ttyS10"),
                              QStringLiteral("ttyACM0"), QStringLiteral("ttyS2"),
                              QStringLiteral("ttyUSB0"), QStringLiteral("ttyAMA0")}),
                {}, PortNaming::Linux);
        QCOMPARE(mapped(map),
            QStringList({QStringLiteral("at:ttyS2"), QStringLiteral("at:ttyS10"),
                QStringLiteral("at:ttyUSB0"), QStringLiteral("at:ttyUSB1"),
                QStringLiteral("at:ttyACM0")}));
    }

    void consolesAreNeverMapped()
    {
        const QStringList consoles = consoleNames("tty0 ttyS0\n");
        QCOMPARE(consoles, QStringList({QStringLiteral("tty0"), QStringLiteral("ttyS0")}));
        const auto map = mapComPorts(linuxPorts({QStringLiteral("ttyS0"), QStringLiteral("ttyS1"),
                                         QStringLiteral("ttyUSB0")}),
            consoles, PortNaming::Linux);
        QCOMPARE(mapped(map),
            QStringList({QStringLiteral("at:ttyS1"), QStringLiteral("at:ttyUSB0"), QString(),
                QString(), QString()}));
    }

    void fewerThanFivePortsAndWindowsNames()
    {
        QCOMPARE(mapped(mapComPorts({}, {}, PortNaming::Linux)), QStringList(5, QString()));
        const QList<PortEntry> win = {{QStringLiteral("COM3"), QStringLiteral("\\\\.\\COM3")},
            {QStringLiteral("COM12"), QStringLiteral("\\\\.\\COM12")},
            {QStringLiteral("COM1"), QStringLiteral("\\\\.\\COM1")}};
        QCOMPARE(mapped(mapComPorts(win, {}, PortNaming::Windows)),
            QStringList({QStringLiteral("\\\\.\\COM1"), QString(), QStringLiteral("\\\\.\\COM3"),
                QString(), QString()}));
    }

    void redundantRequestsAreSkipped()
    {
        CountingLines native;
        LineState lines;
        lines.setDtr(true); // no port yet: nothing happens
        QVERIFY(native.requests.isEmpty());
        lines.reset(&native, true, false);
        native.requests.clear();
        // One character "10010000": DTR 1, TXD bit, DTR 0 eight times.
        for (bool bit : {false, false, false, false, true, false, false, true}) {
            lines.setDtr(true);
            lines.setTxd(bit);
            lines.setDtr(false);
        }
        // 16 clock edges and 4 TxD changes (0->1, 1->0, 0->1), the first DTR 1 already set.
        QCOMPARE(native.requests.count(QStringLiteral("dtr1"))
                + native.requests.count(QStringLiteral("dtr0")),
            15);
        QCOMPARE(native.requests.filter(QStringLiteral("brk")).size(), 3);
        QVERIFY(lines.txdBreak());
    }

    void failedRequestIsTriedAgain()
    {
        CountingLines native;
        LineState lines;
        lines.reset(&native, false, false);
        native.fail = true;
        lines.setDtr(true);
        QVERIFY(!lines.dtr());
        native.fail = false;
        native.requests.clear();
        lines.setDtr(true);
        QCOMPARE(native.requests, QStringList({QStringLiteral("dtr1")}));
        lines.detach();
        lines.setDtr(false);
        QCOMPARE(native.requests.size(), 1);
    }
};

QTEST_APPLESS_MAIN(TestRscom)
#include "tst_rscom.moc"
