// The line library module: the settings texts it takes, which device each COM name stands for
// (on made-up sysfs trees), and its open path on pseudo-terminals made here: honest opens, the
// level record that keeps requests which change nothing from the system, the reasons it gives.
#include "fakes.h"
#include "module.h"

#include <QScopeGuard>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace rscom;

namespace {

// A pseudo-terminal refuses modem control. With `on`, the module's modem requests are answered
// here instead, as a port that can drive DTR would; `failing` of them fail, as an unplugged
// port's do.
struct
{
    bool on = false;
    int failing = 0;
    QStringList requests; // "dtr1", "brk0", ...
} g_modem;

} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list ap;
    va_start(ap, request);
    void *arg = va_arg(ap, void *);
    va_end(ap);
    const bool modem = request == TIOCMBIS || request == TIOCMBIC || request == TIOCMGET
        || request == TIOCSBRK || request == TIOCCBRK;
    if (g_modem.on && modem) {
        if (g_modem.failing > 0 && g_modem.failing--) {
            errno = EIO;
            return -1;
        }
        if (request != TIOCMGET) {
            g_modem.requests << (request == TIOCMBIS || request == TIOCMBIC ? "dtr" : "brk")
                    + QString::number(request == TIOCMBIS || request == TIOCSBRK);
        }
        return 0;
    }
    static const auto real
        = reinterpret_cast<int (*)(int, unsigned long, ...)>(dlsym(RTLD_NEXT, "ioctl"));
    return real(fd, request, arg);
}

namespace {

// A made-up /sys/class/tty and /dev: "ttyS1=4" is a port whose type attribute is 4.
struct Tree
{
    QTemporaryDir dir;
    QString sys = dir.filePath(QStringLiteral("sys")), dev = dir.filePath(QStringLiteral("dev"));

    Tree(const QStringList &entries, const QByteArray &consoles)
    {
        QDir().mkpath(dev);
        QDir().mkpath(sys + QStringLiteral("/console"));
        for (const QString &e : entries) {
            QDir().mkpath(sys + u'/' + e.section(u'=', 0, 0));
            if (e.contains(u'='))
                writeFile(
                    sys + u'/' + e.section(u'=', 0, 0) + "/type", e.section(u'=', 1).toLatin1());
        }
        if (!consoles.isNull())
            writeFile(sys + QStringLiteral("/console/active"), consoles + '\n');
    }
};

// OPENCOM of COMn: "1", or "0" and the line it wrote to standard error.
QString openCom(Module &module, int n)
{
    QTemporaryFile err;
    err.open();
    const int saved = ::dup(2);
    ::dup2(err.handle(), 2);
    const int16_t result = module.OPENCOM(QStringLiteral("COM%1,1200,N,8,1").arg(n).toLatin1());
    ::dup2(saved, 2);
    ::close(saved);
    err.seek(0);
    return (QString::number(result) + u' ' + QString::fromLocal8Bit(err.readAll())).trimmed();
}

qsizetype openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::System | QDir::NoDotAndDotDot)
        .size();
}

} // namespace

class TestRscom : public QObject
{
    Q_OBJECT
private slots:
    // The made-up tree's ports, its active consoles (none: the file cannot be read), and the
    // ports listed.
    void listing_data()
    {
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QByteArray>("consoles");
        QTest::addColumn<QString>("ports");
        QTest::newRow("order, type 0 and other ttys left out")
            << "ttyUSB1 ttyS10=4 ttyACM0 ttyS2=4 ttyUSB0 ttyAMA0 ttyS1=0 ttyS3 tty5 ttyUSBx"
            << QByteArray("tty0") << "ttyS2 ttyS10 ttyUSB0 ttyUSB1 ttyACM0";
        QTest::newRow("consoles left out") << "ttyS0=4 ttyS1=4 ttyUSB0 ttyUSB1"
                                           << QByteArray("tty0 ttyS0 ttyUSB1") << "ttyS1 ttyUSB0";
        QTest::newRow("console unknown: no ttyS")
            << "ttyS0=4 ttyS1=4 ttyUSB0" << QByteArray() << "ttyUSB0";
    }

    void listing()
    {
        QFETCH(QString, entries);
        QFETCH(QByteArray, consoles);
        const Tree tree(entries.split(u' '), consoles);
        QStringList ports;
        for (const std::string &port : listLinuxPorts(tree.sys.toStdString()))
            ports << QString::fromStdString(port);
        QTEST(ports.join(u' '), "ports");
    }

    // The module's own open path, with every device a pseudo-terminal made here.
    void openOnPseudoTerminals()
    {
        const Tree tree({"ttyS0=4", "ttyS1=4", "ttyUSB0", "ttyUSB1"}, "tty0 ttyS0");
        QList<int> masters;
        for (const char *name : {"ttyS0", "ttyS1", "ttyUSB0", "ttyUSB1"}) {
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
        const QString at = "COM%1: " + tree.dev + "/tty";

        for (const char *bad : {"COM1,9600,N,8,1", "com1,1200,N,8,1", "COM6,1200,N,8,1", ""})
            QCOMPARE(module.OPENCOM(bad), int16_t(0)); // only the five settings texts
        // COM1 is ttyS1, the console ttyS0 being left out. A pseudo-terminal cannot drive DTR:
        // refused, said why, and closed again.
        QVERIFY(openCom(module, 1).startsWith("0 " + at.arg(1) + "S1: cannot drive DTR"));
        QCOMPARE(openDescriptors(), before);

        // A port that drives DTR: opening leaves DTR asserted (no clock edge) and TxD out of
        // break; a request that changes nothing never reaches the system, a failed one is
        // tried again.
        g_modem.on = true;
        QCOMPARE(openCom(module, 1), "1");
        module.DTR(1);
        g_modem.failing = 1;
        for (int level : {0, 0})
            module.DTR(level);
        for (int level : {1, 1})
            module.TXD(level);
        QCOMPARE(g_modem.requests, QStringList({"dtr1", "brk0", "dtr0", "brk1"}));
        Module other(tree.sys.toStdString(), tree.dev.toStdString());
        QVERIFY(openCom(other, 1).startsWith('0')); // ours alone
        QCOMPARE(openCom(module, 1), "1"); // the open port, still there

        // The mapping was fixed at the first call: the name of a vanished device fails rather
        // than moving on to the next device.
        QVERIFY(QFile::remove(tree.dev + "/ttyUSB0")
            && QDir(tree.sys + "/ttyUSB0").removeRecursively());
        QVERIFY(openCom(module, 2).startsWith("0 " + at.arg(2) + "USB0: "));
        QCOMPARE(openCom(module, 4), "0 COM4: no serial port stands behind this name");

        // COM3 takes over from COM1; CLOSECOM gives it up; unplugged while open, opening it
        // again fails and lets it go.
        QCOMPARE(openCom(module, 3), "1");
        QCOMPARE(openDescriptors(), before + 1);
        QCOMPARE(module.CLOSECOM() + module.CLOSECOM(), 1);
        QCOMPARE(openCom(module, 3), "1");
        g_modem.failing = 1;
        QVERIFY(openCom(module, 3).startsWith("0 " + at.arg(3) + "USB1"));
        QCOMPARE(openDescriptors(), before);

        // A permission error names the group that owns the device and how to join it.
        const std::string ttyS1 = (tree.dev + QStringLiteral("/ttyS1")).toStdString();
        struct stat st
        {
        };
        QCOMPARE(::stat(ttyS1.c_str(), &st), 0);
        QVERIFY(QString::fromStdString(failureReason(ttyS1, EACCES))
                    .endsWith(QStringLiteral("sudo usermod -aG %1 $USER) and log in again")
                                  .arg(QString::fromLocal8Bit(::getgrgid(st.st_gid)->gr_name))));
    }
};

QTEST_APPLESS_MAIN(TestRscom)
#include "tst_rscom.moc"
