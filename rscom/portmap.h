// Which system serial device each of the names COM1 ... COM5 stands for.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace rscom {

inline constexpr int ComCount = 5;

// 1 ... 5 for the exact texts "COM1,1200,N,8,1" ... "COM5,1200,N,8,1", else 0.
int comNumberFromSettings(const char *settings);

// The serial ports under a sysfs tty class directory ("/sys/class/tty"), in COM order: ttyS*
// whose type is not 0 (a UART that exists), then ttyUSB*, then ttyACM*, each in number order.
// Devices named in console/active are left out, and every ttyS* when that file cannot be read.
// Only sysfs attributes are read: no device is opened.
std::vector<std::string> listLinuxPorts(const std::string &sysClassTty);

#if defined(__APPLE__)
// The cu.* entries of a device directory in name order.
std::vector<std::string> listCallOutPorts(const std::string &devDir);
#endif

// What the system says about the device behind a name: the adapter's name for people and the
// driver.
struct Adapter
{
    std::string name;
    std::string driver;
};

// From a sysfs tty entry ("/sys/class/tty/ttyUSB0"): the name is the USB product, else the
// manufacturer (of the port's device, its interface or its USB device), else the driver.
Adapter readAdapter(const std::string &ttyEntry);

// Whether the driver makes the break up on chips that lack one, from a NUL byte at a slow rate:
// each change of the data line then takes about 0.2 s, and setting it once sends a byte.
bool simulatesBreak(const std::string &driver);

// The device paths behind COM1 ... COM5, listed at the first call and kept from then on, so that
// a name means the same device for the whole run: the name of an unplugged device then fails
// instead of moving on to a neighbour, which would get the clock pulses meant for the display.
class PortMap
{
public:
    PortMap(std::string sysClassTty, std::string devDir);

    // Empty when no device stands behind the name (n out of 1 ... 5 included).
    std::string path(int n);
    // The device as people know it: the path, or the COM name on Windows.
    std::string device(int n);
    // Read from the system each call.
    Adapter adapter(int n);

private:
    std::string m_sysClassTty;
    std::string m_devDir;
    bool m_fixed = false;
    std::array<std::string, ComCount> m_paths;
    std::array<std::string, ComCount> m_names;
};

} // namespace rscom
