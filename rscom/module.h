// What the four exported functions do, over a given sysfs tty directory and device directory,
// so that tests run the very same code on made-up trees and pseudo-terminals.
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

    // Nonzero only when the port is open and took its first DTR request. A failure gives one
    // line on standard error.
    int16_t OPENCOM(const char *settings);
    void DTR(int32_t level);
    void TXD(int32_t level);
    int16_t CLOSECOM();

private:
    void close();

    PortMap m_map;
    std::unique_ptr<SerialDevice> m_device;
    std::string m_path;
    LineState m_lines;
    std::array<bool, ComCount> m_toldNoDevice{};
};

} // namespace rscom
