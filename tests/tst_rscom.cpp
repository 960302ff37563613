// The line library module: the settings texts it takes, which device each COM name stands for
// (on made-up sysfs trees), and its open path on pseudo-terminals made here: honest opens, the
// level record that keeps requests which change nothing from the system, the reasons it gives
// on standard error and through PORTINFO.
#include "fakes.h"
#include "module.h"

#include <QTemporaryFile>
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <map>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace rscom;

namespace {

// A pseudo-terminal has no modem lines. While `on`, the module's modem requests are answered
// here as a port that drives them would; the next `failing` of them fail, as an unplugged port's
// do, and with `noBreak` the break is refused, as some adapters refuse it.
struct
{
    bool on = false;
    int failing = 0;
    bool noBreak = false;
    QStringList requests; // "dtr1", "brk0", ...
} g_modem;

// Opens of these devices fail with their error, as the system's do for a port another program
// holds exclusively, an adapter pulled out, a device of another group, a failing one.
std::map<std::string, int> g_openError;

} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list ap;
    va_start(ap, request);
    void *arg = va_arg(ap, void *);
    va_end(ap);
    const bool dtr = request == TIOCMBIS || request == TIOCMBIC;
    if (g_modem.on && (dtr || request == TIOCMGET || request == TIOCSBRK || request == TIOCCBRK)) {
        errno = g_modem.noBreak && !dtr ? ENOTTY : EIO;
        if ((g_modem.failing > 0 && g_modem.failing--) || errno == ENOTTY)
            return -1;
        if (request != TIOCMGET)
            g_modem.requests << (dtr ? "dtr" : "brk")
                    + QString::number(request == TIOCMBIS || request == TIOCSBRK);
        return 0;
    }
    static const auto real
        = reinterpret_cast<int (*)(int, unsigned long, ...)>(dlsym(RTLD_NEXT, "ioctl"));
    return real(fd, request, arg);
}

extern "C" int open(const char *path, int flags, ...)
{
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = flags & (O_CREAT | O_TMPFILE) ? va_arg(ap, mode_t) : 0;
    va_end(ap);
    if (const auto it = g_openError.find(path); it != g_openError.end()) {
        errno = it->second;
        return -1;
    }
    static const auto real
        = reinterpret_cast<int (*)(const char *, int, ...)>(dlsym(RTLD_NEXT, "open"));
    return real(path, flags, mode);
}

namespace {

// A made-up /sys/class/tty (which also holds the USB devices behind its entries) and /dev:
// "ttyS1=4" is a port whose type attribute is 4.
struct Tree
{
    QTemporaryDir dir, devDir;
    QString sys = dir.path(), dev = devDir.path();

    Tree(const QStringList &entries, const QByteArray &consoles)
    {
        for (const QString &e : entries) {
            const QString entry = sys + u'/' + e.section(u'=', 0, 0);
            QDir().mkpath(entry);
            if (e.contains(u'='))
                writeFile(entry + "/type", e.section(u'=', 1).toLatin1());
        }
        if (!consoles.isNull() && QDir().mkpath(sys + QStringLiteral("/console")))
            writeFile(sys + QStringLiteral("/console/active"), consoles + '\n');
    }

    // A USB adapter behind a tty entry: the port's device, its interface and its USB device,
    // which holds `attribute`; the port's driver.
    void adapter(const QString &name, const QString &driver, const QString &attribute)
    {
        const QString usb = dir.filePath("devices/" + name), port = usb + "/if/port";
        QDir().mkpath(port);
        QFile::link(port, sys + u'/' + name + "/device");
        QFile::link("/drivers/" + driver, port + "/driver"); // only its name is read
        if (!attribute.isEmpty())
            writeFile(usb + u'/' + attribute.section(u'=', 0, 0),
                attribute.section(u'=', 1).toUtf8() + '\n');
    }

    // A pseudo-terminal as the device of each entry named; left open for the rest of the run.
    bool plug(const QStringList &names)
    {
        for (const QString &name : names) {
            const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
            if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0
                || !QFile::link(QString::fromLocal8Bit(::ptsname(master)), dev + u'/' + name))
                return false;
        }
        return true;
    }

    // PORTINFO of COMn with the device directory shown as "D", or its -1.
    QString info(Module &module, int n, int32_t size = 300) const
    {
        QByteArray text(300, 'x');
        const int32_t length = module.PORTINFO(n, text.data(), size);
        return length >= 0 && text[length] == '\0' ? QString(text.left(length)).replace(dev, "D")
                                                   : QString::number(length);
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
    return QString(QString::number(result) + u' ' + readFile(err.fileName())).trimmed();
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
        // A console's name may begin another port's name, or be begun by it.
        QTest::newRow("consoles left out, by whole name")
            << "ttyS0=4 ttyS1=4 ttyS10=4 ttyUSB1 ttyUSB10" << QByteArray("tty0 ttyS10 ttyUSB1")
            << "ttyS0 ttyS1 ttyUSB10";
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
        for (const char *bad : {"COM1,9600,N,8,1", "com1,1200,N,8,1", "COM6,1200,N,8,1", ""})
            QCOMPARE(comNumberFromSettings(bad), 0); // only the five settings texts
        Tree tree({"ttyS0=4", "ttyS1=4", "ttyUSB0", "ttyUSB1", "ttyACM0"}, "tty0 ttyS0");
        QVERIFY(tree.plug({"ttyS0", "ttyS1", "ttyUSB0", "ttyUSB1", "ttyACM0"}));
        tree.adapter("ttyUSB0", "ftdi_sio", "product=FT232R USB UART");
        tree.adapter("ttyUSB1", "ch341-uart", "manufacturer=QínHeng");
        tree.adapter("ttyACM0", "cdc_acm", {});
        const auto descriptors = [] { return QDir("/proc/self/fd", {}, {}, QDir::System).count(); };
        const uint before = descriptors();
        Module module(tree.sys.toStdString(), tree.dev.toStdString());
        const QString at = "COM%1: " + tree.dev + "/tty";

        // COM1 is ttyS1, the console ttyS0 being left out. A pseudo-terminal cannot drive DTR:
        // refused and said why.
        QVERIFY(openCom(module, 1).startsWith("0 " + at.arg(1) + "S1: cannot drive DTR"));
        QVERIFY(tree.info(module, 1).startsWith("D/ttyS1\t\tnodtr\t"));

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
        QCOMPARE(tree.info(module, 1) + u'|' + tree.info(module, 2),
            "D/ttyS1\t\topen\t|D/ttyUSB0\tFT232R USB UART\tuntested\t");
        Module other(tree.sys.toStdString(), tree.dev.toStdString());
        QVERIFY(openCom(other, 1).startsWith('0')); // ours alone, and who holds it
        QCOMPARE(tree.info(other, 1), "D/ttyS1\t\tbusy\ttst_rscom");
        QCOMPARE(openCom(module, 1), "1"); // the open port, still there

        // The mapping was fixed at the first call: the name of a vanished device fails rather
        // than moving on to the next device, and the adapter is still named.
        QVERIFY(QFile::remove(tree.dev + "/ttyUSB0")
            && QDir(tree.sys + "/ttyUSB0").removeRecursively());
        QVERIFY(openCom(module, 2).startsWith("0 " + at.arg(2) + "USB0: "));
        QVERIFY(tree.info(module, 2).startsWith("D/ttyUSB0\tFT232R USB UART\tgone\t"));
        QCOMPARE(openCom(module, 5), "0 COM5: no serial port stands behind this name");
        QCOMPARE(tree.info(module, 5), "\t\tmissing\t");

        // An adapter that drives DTR but refuses the break cannot carry the data.
        g_modem.noBreak = true;
        QVERIFY(openCom(module, 4).startsWith("0 " + at.arg(4) + "ACM0: cannot drive the break"));
        QCOMPARE(tree.info(module, 4), "D/ttyACM0\tcdc_acm\tnobreak\t" + QString(strerror(ENOTTY)));
        // A driver that makes the break up from a slow byte is not tried, only named.
        g_modem.noBreak = false;
        g_modem.requests.clear();
        QCOMPARE(openCom(module, 3), "1");
        QCOMPARE(g_modem.requests, QStringList({"dtr1", "brk0"}));
        const QString slow = tree.info(module, 3);
        QCOMPARE(slow, "D/ttyUSB1\tQínHeng\tslowbreak\tch341-uart");
        QCOMPARE(tree.info(module, 1), "D/ttyS1\t\tready\t"); // open before, not now
        // The line and its NUL must fit: the free texts are cut to fit, not the line refused;
        // only COM1 ... COM5.
        const int length = int(slow.toUtf8().size() + tree.dev.size() - 1);
        QCOMPARE(tree.info(module, 3, length) + u'|' + tree.info(module, 3, length + 1),
            slow.chopped(1) + u'|' + slow);
        QCOMPARE(
            tree.info(module, 3, length - 12), "D/ttyUSB1\tQ\tslowbreak\tch34"); // not inside í
        QCOMPARE(tree.info(module, 3, 20), "-1");
        QCOMPARE(tree.info(module, 0) + tree.info(module, 6), "-1-1");

        // CLOSECOM gives the port up; unplugged while open, opening it again fails and lets it
        // go; nothing refused on the way stays open.
        QCOMPARE(module.CLOSECOM() + module.CLOSECOM(), 1);
        QCOMPARE(openCom(module, 3), "1");
        g_modem.failing = 1;
        QVERIFY(openCom(module, 3).startsWith("0 " + at.arg(3) + "USB1"));
        QCOMPARE(tree.info(module, 3), "D/ttyUSB1\tQínHeng\terror\t" + QString(strerror(EIO)));
        QCOMPARE(descriptors(), before);

        // Opens the system refuses: held exclusively, pulled out, failing (another group's device
        // is refused by the real system in ports-in-namespace.sh). The state and detail, and the
        // line with the reason.
        const QString device = tree.dev + "/ttyS1", eio = strerror(EIO), enodev = strerror(ENODEV);
        for (const auto &[error, state, says] :
            QList<std::tuple<int, QString, QString>>{{EBUSY, "busy\t", "in use by another program"},
                {ENODEV, "gone\t" + enodev, enodev}, {EIO, "error\t" + eio, eio}}) {
            g_openError = {{QFile::encodeName(device).toStdString(), error}};
            const QString said = openCom(module, 1);
            QVERIFY2(said.startsWith("0 " + at.arg(1) + "S1: ") && said.contains(says),
                qPrintable(said));
            QCOMPARE(tree.info(module, 1).section(u'\t', 2), state);
        }
        g_openError.clear();
    }
};

QTEST_APPLESS_MAIN(TestRscom)
#include "tst_rscom.moc"
