// The line library module: the settings texts it takes, which device each COM name stands for
// (on made-up sysfs trees), and its open path on pseudo-terminals made here: honest opens, the
// level record that keeps requests which change nothing from the system, the reasons it gives
// on standard error and through PORTINFO.
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
#include <sys/wait.h>
#include <unistd.h>

using namespace rscom;

namespace {

// A pseudo-terminal refuses modem control. With `on`, the module's modem requests are answered
// here instead, as a port that can drive DTR would; `failing` of them fail, as an unplugged
// port's do; those of the kind `refused` ("brk") fail as an adapter without that line refuses.
struct
{
    bool on = false;
    int failing = 0;
    QString refused;
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
        const QString kind = request == TIOCMBIS || request == TIOCMBIC ? "dtr" : "brk";
        if ((g_modem.failing > 0 && g_modem.failing--) || kind == g_modem.refused) {
            errno = kind == g_modem.refused ? ENOTTY : EIO;
            return -1;
        }
        if (request != TIOCMGET)
            g_modem.requests << kind + QString::number(request == TIOCMBIS || request == TIOCSBRK);
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
    QList<int> masters;

    ~Tree()
    {
        for (int m : std::as_const(masters))
            ::close(m);
    }

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

    // A USB adapter behind a tty entry: the port's device, its interface and its USB device,
    // which holds `attribute`; the port's driver.
    void adapter(const QString &name, const QString &driver, const QString &attribute)
    {
        const QString usb = dir.filePath("devices/" + name), port = usb + "/if/port";
        QDir().mkpath(port);
        QDir().mkpath(dir.filePath("drivers/" + driver));
        QFile::link(port, sys + u'/' + name + "/device");
        QFile::link(dir.filePath("drivers/" + driver), port + "/driver");
        if (!attribute.isEmpty())
            writeFile(usb + u'/' + attribute.section(u'=', 0, 0),
                attribute.section(u'=', 1).toUtf8() + '\n');
    }

    // Pseudo-terminals as the devices of the entries named.
    bool plug(const QStringList &names)
    {
        for (const QString &name : names) {
            const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
            masters << master;
            if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0
                || !QFile::link(QString::fromLocal8Bit(::ptsname(master)), dev + u'/' + name))
                return false;
        }
        return true;
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

// PORTINFO of COMn with the device directory shown as "D", or its -1.
QString portInfo(Module &module, int n, const Tree &tree, int32_t size = 300)
{
    QByteArray text(300, 'x');
    const int32_t length = module.PORTINFO(n, text.data(), size);
    return length < 0 || text[length] != '\0'
        ? QString::number(length)
        : QString::fromUtf8(text.left(length)).replace(tree.dev, "D");
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

    // The module's own open path, with every device a pseudo-terminal made here, and what
    // PORTINFO says of each name on the way.
    void openOnPseudoTerminals()
    {
        Tree tree({"ttyS0=4", "ttyS1=4", "ttyUSB0", "ttyUSB1", "ttyACM0"}, "tty0 ttyS0");
        QVERIFY(tree.plug({"ttyS0", "ttyS1", "ttyUSB0", "ttyUSB1", "ttyACM0"}));
        tree.adapter("ttyUSB0", "ftdi_sio", "product=FT232R USB UART");
        tree.adapter("ttyUSB1", "ch341-uart", "manufacturer=QinHeng");
        tree.adapter("ttyACM0", "cdc_acm", {});
        const auto cleanup = qScopeGuard([] { g_modem = {}; });
        const qsizetype before = openDescriptors();
        Module module(tree.sys.toStdString(), tree.dev.toStdString());
        const QString at = "COM%1: " + tree.dev + "/tty";
        const auto info = [&](int n) { return portInfo(module, n, tree); };

        for (const char *bad : {"COM1,9600,N,8,1", "com1,1200,N,8,1", "COM6,1200,N,8,1", ""})
            QCOMPARE(module.OPENCOM(bad), int16_t(0)); // only the five settings texts
        // COM1 is ttyS1, the console ttyS0 being left out. A pseudo-terminal cannot drive DTR:
        // refused, said why, and closed again.
        QVERIFY(openCom(module, 1).startsWith("0 " + at.arg(1) + "S1: cannot drive DTR"));
        QVERIFY(info(1).startsWith("D/ttyS1\t\tnodtr\t"));
        QCOMPARE(openDescriptors(), before);

        // A port that drives DTR and the break: opening leaves DTR asserted (no clock edge) and
        // tries the break once; a request that changes nothing never reaches the system, a
        // failed one is tried again.
        g_modem.on = true;
        QCOMPARE(openCom(module, 1), "1");
        module.DTR(1);
        g_modem.failing = 1;
        for (int level : {0, 0})
            module.DTR(level);
        for (int level : {1, 1})
            module.TXD(level);
        QCOMPARE(g_modem.requests, QStringList({"dtr1", "brk1", "brk0", "dtr0", "brk1"}));
        QCOMPARE(info(1) + u'|' + info(2), "D/ttyS1\t\topen\t|D/ttyUSB0\tFT232R USB UART\tready\t");
        Module other(tree.sys.toStdString(), tree.dev.toStdString());
        QVERIFY(openCom(other, 1).startsWith('0')); // ours alone, and who holds it
        QCOMPARE(portInfo(other, 1, tree), "D/ttyS1\t\tbusy\ttst_rscom");
        QCOMPARE(openCom(module, 1), "1"); // the open port, still there

        // The mapping was fixed at the first call: the name of a vanished device fails rather
        // than moving on to the next device, and the adapter is still named.
        QVERIFY(QFile::remove(tree.dev + "/ttyUSB0")
            && QDir(tree.sys + "/ttyUSB0").removeRecursively());
        QVERIFY(openCom(module, 2).startsWith("0 " + at.arg(2) + "USB0: "));
        QVERIFY(info(2).startsWith("D/ttyUSB0\tFT232R USB UART\tgone\t"));
        QCOMPARE(openCom(module, 5), "0 COM5: no serial port stands behind this name");
        QCOMPARE(info(5), "\t\tmissing\t");

        // An adapter that drives DTR but refuses the break cannot carry the data.
        g_modem.refused = "brk";
        QVERIFY(openCom(module, 4).startsWith("0 " + at.arg(4) + "ACM0: cannot drive the break"));
        QCOMPARE(info(4), "D/ttyACM0\tcdc_acm\tnobreak\t" + QString(std::strerror(ENOTTY)));
        // A driver that makes the break up from a slow byte is not tried, only named.
        g_modem.refused.clear();
        g_modem.requests.clear();
        QCOMPARE(openCom(module, 3), "1");
        QCOMPARE(g_modem.requests, QStringList({"dtr1", "brk0"}));
        QCOMPARE(info(3), "D/ttyUSB1\tQinHeng\tslowbreak\tch341-uart");
        // The line and its NUL must fit; only COM1 ... COM5.
        const int length = int(info(3).size() + tree.dev.size() - 1);
        QCOMPARE(portInfo(module, 3, tree, length) + portInfo(module, 3, tree, length + 1),
            "-1" + info(3));
        QCOMPARE(info(0) + info(6), "-1-1");

        // COM3 took over from COM1; CLOSECOM gives it up; unplugged while open, opening it
        // again fails and lets it go.
        QCOMPARE(openDescriptors(), before + 1);
        QCOMPARE(module.CLOSECOM() + module.CLOSECOM(), 1);
        QCOMPARE(openCom(module, 3), "1");
        g_modem.failing = 1;
        QVERIFY(openCom(module, 3).startsWith("0 " + at.arg(3) + "USB1"));
        QCOMPARE(openDescriptors(), before);
    }

    // Someone outside the device's group (a child without root's rights, or without the
    // device's own permission) is told the group.
    void deniedNamesTheGroup()
    {
        Tree tree({"ttyUSB0"}, "tty0");
        QVERIFY(tree.plug({"ttyUSB0"}));
        const QByteArray device = ::ptsname(tree.masters[0]);
        QVERIFY(::chmod(device, 0) == 0 && ::chmod(QFile::encodeName(tree.dir.path()), 0755) == 0);
        int out[2];
        QCOMPARE(::pipe(out), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const bool dropped = ::getuid() != 0
                || (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0);
            ::dup2(::open("/dev/null", O_WRONLY), 2);
            Module module(tree.sys.toStdString(), tree.dev.toStdString());
            char text[300] = "rights not dropped";
            if (dropped && module.OPENCOM("COM1,1200,N,8,1") == 0)
                module.PORTINFO(1, text, sizeof text);
            _exit(::write(out[1], text, std::strlen(text)) > 0 ? 0 : 1);
        }
        ::close(out[1]);
        QFile child;
        QVERIFY(child.open(out[0], QIODevice::ReadOnly, QFile::AutoCloseHandle));
        const QString line = QString::fromUtf8(child.readAll()).replace(tree.dev, "D");
        ::waitpid(pid, nullptr, 0);
        struct stat st
        {
        };
        QCOMPARE(::stat(device, &st), 0);
        QCOMPARE(
            line, "D/ttyUSB0\t\tdenied\t" + QString::fromLocal8Bit(::getgrgid(st.st_gid)->gr_name));
    }
};

QTEST_APPLESS_MAIN(TestRscom)
#include "tst_rscom.moc"
