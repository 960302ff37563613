// What the exported functions do, over a given sysfs tty directory and device directory, so
// that tests run the very same code on made-up trees and pseudo-terminals.
#pragma once

#include "linestate.h"
#include "portmap.h"
#include "serialdevice.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace rscom {

class Module
{
public:
    Module(std::string sysClassTty, std::string devDir);

    // Nonzero only when the port is open, took its first DTR request and can set and clear the
    // break. A failure gives one line on standard error.
    int16_t OPENCOM(const char *settings);
    void DTR(int32_t level);
    void TXD(int32_t level);
    int16_t CLOSECOM();
    // For COMn one line "device TAB adapter TAB state TAB detail"; its length, or -1 when n is
    // not 1 ... 5 or not even the device and state fit `size`. The adapter and detail are cut
    // to make the line and its NUL fit.
    int32_t PORTINFO(int32_t n, char *text, int32_t size);

private:
    // What the last open of a name found, and what is known of its device.
    struct Port
    {
        PortState state = PortState::Untested;
        std::string detail;
        bool holderLooked = false;
        bool everOpened = false;
        bool adapterRead = false;
        Adapter adapter;
    };

    void close();
    int16_t refuse(int n, const std::string &path, Refusal why);
    const Adapter &adapter(int n);

    PortMap m_map;
    std::unique_ptr<SerialDevice> m_device;
    std::string m_path;
    LineState m_lines;
    std::array<Port, ComCount> m_ports;
};

} // namespace rscom
