// The line library module: the settings texts it takes, which device each COM name stands for
// (on made-up sysfs trees), its open path on pseudo-terminals made here, and that a request
// which would not change a line never reaches the system.
#include "linestate.h"
#include "module.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace rscom;

namespace {

// A pseudo-terminal refuses modem control. With `on`, the module's modem requests are answered
// here instead, as a port that can drive DTR would; `gone` answers them as an unplugged one.
struct
{
    bool on = false;
    bool gone = false;
    QStringList requests; // "dtr1", "brk0", ...
} g_modem;

} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list ap;
    va_start(ap, request);
    void *arg = va_arg(ap, void *);
    va_end(ap);
    if (g_modem.on
        && (request == TIOCMBIS || request == TIOCMBIC || request == TIOCMGET || request == TIOCSBRK
            || request == TIOCCBRK)) {
        if (g_modem.gone) {
            errno = EIO;
            return -1;
        }
        if (request == TIOCMGET)
            *static_cast<int *>(arg) = TIOCM_DTR;
        else if (request == TIOCMBIS || request == TIOCMBIC)
            g_modem.requests << QStringLiteral("dtr%1").arg(request == TIOCMBIS);
        else
            g_modem.requests << QStringLiteral("brk%1").arg(request == TIOCSBRK);
        return 0;
    }
    static const auto real
        = reinterpret_cast<int (*)(int, unsigned long, ...)>(dlsym(RTLD_NEXT, "ioctl"));
    return real(fd, request, arg);
}

namespace {

// A made-up /sys/class/tty and /dev. "ttyS1=4" is a port with the type attribute 4.
struct Tree
{
    QTemporaryDir dir;
    QString sys = dir.filePath(QStringLiteral("sys"));
    QString dev = dir.filePath(QStringLiteral("dev"));

    Tree(const QStringList &entries, const QByteArray &consoles)
    {
        QDir().mkpath(dev);
        QDir().mkpath(sys + QStringLiteral("/console"));
        for (const QString &e : entries) {
            const QString name = e.section(u'=', 0, 0);
            QDir().mkpath(sys + u'/' + name);
            if (e.contains(u'='))
                write(sys + u'/' + name + QStringLiteral("/type"), e.section(u'=', 1).toLatin1());
        }
        if (!consoles.isNull())
            write(sys + QStringLiteral("/console/active"), consoles);
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes + '\n');
    }
};

QStringList list(const std::vector<std::string> &names)
{
    QStringList l;
    for (const std::string &n : names)
        l << QString::fromStdString(n);
    return l;
}

// OPENCOM of COMn and the line it wrote to standard error.
std::pair<int16_t, QString> openCom(Module &module, int n)
{
    QTemporaryFile err;
    err.open();
    const int saved = ::dup(2);
    ::dup2(err.handle(), 2);
    const int16_t result = module.OPENCOM(QStringLiteral("COM%1,1200,N,8,1").arg(n).toLatin1());
    ::dup2(saved, 2);
    ::close(saved);
    err.seek(0);
    return {result, QString::fromLocal8Bit(err.readAll()).trimmed()};
}

qsizetype openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::System | QDir::NoDotAndDotDot)
        .size();
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

    void listing_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QByteArray>("consoles"); // null: the file cannot be read
        QTest::addColumn<QStringList>("ports");
        QTest::newRow("order, type 0 and other ttys left out")
            << QStringList{"ttyUSB1", "ttyS10=4", "ttyACM0", "ttyS2=4", "ttyUSB0", "ttyAMA0",
                   "ttyS1=0", "ttyS3", "tty5", "ttyUSBx"}
            << QByteArray("tty0")
            << QStringList{"ttyS2", "ttyS10", "ttyUSB0", "ttyUSB1", "ttyACM0"};
        QTest::newRow("consoles left out")
            << QStringList{"ttyS0=4", "ttyS1=4", "ttyUSB0", "ttyUSB1"}
            << QByteArray("tty0 ttyS0 ttyUSB1") << QStringList{"ttyS1", "ttyUSB0"};
        QTest::newRow("console unknown: no ttyS") << QStringList{"ttyS0=4", "ttyS1=4", "ttyUSB0"}
                                                  << QByteArray() << QStringList{"ttyUSB0"};
    }

    void listing()
    {
        QFETCH(QStringList, entries);
        QFETCH(QByteArray, consoles);
        const Tree tree(entries, consoles);
        QTEST(list(listLinuxPorts(tree.sys.toStdString())), "ports");
    }

    // The module's own open path, with every device a pseudo-terminal made here.
    void openOnPseudoTerminals()
    {
        const QStringList names{"ttyS0", "ttyS1", "ttyUSB0", "ttyUSB1"};
        const Tree tree({"ttyS0=4", "ttyS1=4", "ttyUSB0", "ttyUSB1"}, "tty0 ttyS0");
        QList<int> masters;
        for (const QString &name : names) {
            const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
            QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
            masters << master;
            QVERIFY(QFile::link(QString::fromLocal8Bit(::ptsname(master)), tree.dev + u'/' + name));
        }
        const auto cleanup = qScopeGuard([&] {
            g_modem = {};
            for (int m : masters)
                ::close(m);
        });
        const qsizetype before = openDescriptors();
        Module module(tree.sys.toStdString(), tree.dev.toStdString());

        // COM1 is ttyS1, the console ttyS0 being left out. A pseudo-terminal cannot drive DTR:
        // refused and closed again.
        auto opened = openCom(module, 1);
        QCOMPARE(opened.first, int16_t(0));
        QCOMPARE(opened.second.section(QStringLiteral(": "), 0, 2),
            QStringLiteral("COM1: %1/ttyS1: cannot drive DTR").arg(tree.dev));
        QCOMPARE(openDescriptors(), before);

        // A port that drives DTR: opening leaves DTR asserted, so it gives the display no
        // clock edge, and TxD out of break.
        g_modem.on = true;
        QVERIFY(openCom(module, 1).first != 0);
        QCOMPARE(g_modem.requests, QStringList({"dtr1", "brk0"}));
        module.DTR(1);
        module.DTR(0);
        module.TXD(1);
        QCOMPARE(g_modem.requests, QStringList({"dtr1", "brk0", "dtr0", "brk1"}));
        Module other(tree.sys.toStdString(), tree.dev.toStdString());
        QCOMPARE(openCom(other, 1).first, int16_t(0)); // ours alone
        QVERIFY(openCom(module, 1).first != 0); // the open port, still there
        QCOMPARE(g_modem.requests.size(), 4);

        // The mapping was fixed at the first call: the name of a vanished device fails rather
        // than moving on to the next device.
        QVERIFY(QFile::remove(tree.dev + QStringLiteral("/ttyUSB0")));
        QVERIFY(QDir(tree.sys + QStringLiteral("/ttyUSB0")).removeRecursively());
        opened = openCom(module, 2);
        QCOMPARE(opened.first, int16_t(0));
        QVERIFY2(opened.second.startsWith(QStringLiteral("COM2: %1/ttyUSB0: ").arg(tree.dev)),
            qPrintable(opened.second));
        QCOMPARE(openCom(module, 4).second,
            QStringLiteral("COM4: no serial port stands behind this name"));

        // COM3 takes over from COM1; CLOSECOM gives it up.
        QVERIFY(openCom(module, 3).first != 0);
        QCOMPARE(openDescriptors(), before + 1);
        QCOMPARE(module.CLOSECOM(), int16_t(1));
        QCOMPARE(openDescriptors(), before);
        QCOMPARE(module.CLOSECOM(), int16_t(0));

        // Unplugged while open: opening it again fails and lets it go.
        QVERIFY(openCom(module, 3).first != 0);
        g_modem.gone = true;
        QCOMPARE(openCom(module, 3).first, int16_t(0));
        QCOMPARE(openDescriptors(), before);

        // A permission error names the group that owns the device and how to join it.
        const QByteArray ttyS1 = (tree.dev + QStringLiteral("/ttyS1")).toLocal8Bit();
        struct stat st
        {
        };
        QCOMPARE(::stat(ttyS1.constData(), &st), 0);
        const QString group = QString::fromLocal8Bit(::getgrgid(st.st_gid)->gr_name);
        QVERIFY(QString::fromStdString(failureReason(ttyS1.toStdString(), EACCES))
                    .endsWith(
                        QStringLiteral("sudo usermod -aG %1 $USER) and log in again").arg(group)));
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
