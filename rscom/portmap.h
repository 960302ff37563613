// Which system serial port each of the names COM1 ... COM5 stands for.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

namespace rscom {

struct PortEntry
{
    QString portName; // "ttyS0", "ttyUSB1", "COM3", "cu.usbserial-1"
    QString systemLocation; // "/dev/ttyS0", "\\\\.\\COM3"
};

enum class PortNaming { Linux, Windows, MacOS };

inline constexpr int ComCount = 5;

// 1 ... 5 for the exact texts "COM1,1200,N,8,1" ... "COM5,1200,N,8,1", else 0.
int comNumberFromSettings(const char *settings);

// The device names listed in /sys/class/tty/console/active ("tty0 ttyS0").
QStringList consoleNames(const QByteArray &activeConsoles);

// System locations for COM1 ... COM5 (empty where no port stands behind the name).
// Linux: on-board ttyS* in number order, then ttyUSB*, then ttyACM*, each in number order.
// Windows: COMn is the system's COMn. macOS: the cu.* devices in name order.
// Active consoles are never mapped.
std::array<QString, ComCount> mapComPorts(
    const QList<PortEntry> &ports, const QStringList &consoles, PortNaming naming);

} // namespace rscom
