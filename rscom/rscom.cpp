// The real line library: COM1 ... COM5 on the system's serial ports, DTR and the TxD break
// driven through the port's native handle.
#include "rscom.h"

#include "linestate.h"
#include "portmap.h"

#include <QFile>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <memory>
#include <utility>

#if defined(Q_OS_WIN)
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {

using namespace rscom;

PortNaming platformNaming()
{
#if defined(Q_OS_WIN)
    return PortNaming::Windows;
#elif defined(Q_OS_MACOS)
    return PortNaming::MacOS;
#else
    return PortNaming::Linux;
#endif
}

QStringList activeConsoles()
{
#if defined(Q_OS_LINUX)
    QFile f(QStringLiteral("/sys/class/tty/console/active"));
    if (f.open(QIODevice::ReadOnly))
        return consoleNames(f.readAll());
#endif
    return {};
}

class HandleLines : public NativeLines
{
public:
    explicit HandleLines(QSerialPort &port)
        : m_handle(port.handle())
    { }

    bool setDtr(bool asserted) override
    {
#if defined(Q_OS_WIN)
        return EscapeCommFunction(m_handle, asserted ? SETDTR : CLRDTR);
#else
        int bits = TIOCM_DTR;
        return ::ioctl(m_handle, asserted ? TIOCMBIS : TIOCMBIC, &bits) != -1;
#endif
    }

    bool setBreak(bool on) override
    {
#if defined(Q_OS_WIN)
        return EscapeCommFunction(m_handle, on ? SETBREAK : CLRBREAK);
#else
        return ::ioctl(m_handle, on ? TIOCSBRK : TIOCCBRK) != -1;
#endif
    }

private:
    decltype(std::declval<QSerialPort &>().handle()) m_handle;
};

struct OpenPort
{
    QString location;
    std::unique_ptr<QSerialPort> port;
    std::unique_ptr<HandleLines> native;
};

OpenPort g_open;
LineState g_lines;

} // namespace

extern "C" {

int16_t OPENCOM(const char *settings)
{
    const int n = comNumberFromSettings(settings);
    if (n == 0)
        return 0;

    const QStringList consoles = activeConsoles();
    QList<PortEntry> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        ports.append({info.portName(), info.systemLocation()});
    const QString location = mapComPorts(ports, consoles, platformNaming())[n - 1];
    if (location.isEmpty())
        return 0;
    if (g_open.port && g_open.location == location)
        return 1;

    // QSerialPort opens without waiting for carrier and locks the port for us alone.
    auto port = std::make_unique<QSerialPort>(location);
    port->setBaudRate(QSerialPort::Baud1200);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    if (!port->open(QIODevice::WriteOnly))
        return 0;

    // The new port is open: only now give up the old one.
    g_lines.detach();
    g_open.native.reset();
    g_open.port.reset();

    g_open.location = location;
    g_open.port = std::move(port);
    g_open.native = std::make_unique<HandleLines>(*g_open.port);
    // Opening asserts DTR on most systems; keep it there so opening gives no clock edge.
    g_lines.reset(g_open.native.get(), true, false);
    return 1;
}

void DTR(int32_t level)
{
    g_lines.setDtr(level != 0);
}

void TXD(int32_t level)
{
    g_lines.setTxd(level != 0);
}

int16_t CLOSECOM(void)
{
    if (!g_open.port)
        return 0;
    g_lines.detach();
    g_open.native.reset();
    g_open.port.reset();
    g_open.location.clear();
    return 1;
}

} // extern "C"
