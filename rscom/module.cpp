#include "module.h"

#include <cstdio>
#include <utility>

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace rscom {

namespace {

void tell(int n, const std::string &what)
{
    const std::string line = "COM" + std::to_string(n) + ": " + what + '\n';
#if defined(_WIN32)
    std::fwrite(line.data(), 1, line.size(), stderr);
#else
    // One write for the whole line; also spares the first printf's set-up, which would cost more
    // than the whole open.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
#endif
}

} // namespace

Module::Module(std::string sysClassTty, std::string devDir)
    : m_map(std::move(sysClassTty), std::move(devDir))
{ }

int16_t Module::OPENCOM(const char *settings)
{
    const int n = comNumberFromSettings(settings);
    if (n == 0)
        return 0;
    const std::string path = m_map.path(n);
    if (path.empty()) {
        // The mapping never changes, so once is enough.
        if (!m_toldNoDevice[n - 1])
            tell(n, "no serial port stands behind this name");
        m_toldNoDevice[n - 1] = true;
        return 0;
    }

    if (m_device && path == m_path) {
        if (m_device->alive())
            return 1;
        tell(n, path + ": " + m_device->error());
        close();
        return 0;
    }

    std::string why;
    std::unique_ptr<SerialDevice> device = SerialDevice::open(path, why);
    if (!device) {
        tell(n, path + ": " + why);
        return 0;
    }
    // Opening asserts DTR; keep it there so that opening gives the display no clock edge.
    LineState lines;
    if (!lines.reset(device.get(), true, false)) {
        tell(n, path + ": cannot drive DTR: " + device->error());
        return 0;
    }
    // The new port works: only now give up the old one.
    close();
    m_device = std::move(device);
    m_path = path;
    m_lines = lines;
    return 1;
}

void Module::DTR(int32_t level)
{
    m_lines.setDtr(level != 0);
}

void Module::TXD(int32_t level)
{
    m_lines.setTxd(level != 0);
}

int16_t Module::CLOSECOM()
{
    if (!m_device)
        return 0;
    close();
    return 1;
}

void Module::close()
{
    m_lines.detach();
    m_device.reset();
    m_path.clear();
}

} // namespace rscom
