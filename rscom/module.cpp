#include "module.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
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

// A field of the PORTINFO line: one line, no tabs.
std::string field(std::string text)
{
    for (char &c : text) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    return text;
}

// Shortened to at most `length` bytes, never inside a UTF-8 character.
void cut(std::string &text, size_t length)
{
    if (text.size() <= length)
        return;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    text.resize(length);
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
    Port &port = m_ports[n - 1];
    const std::string path = m_map.path(n);
    if (path.empty()) {
        // The mapping never changes, so once is enough.
        if (port.state != PortState::Missing)
            tell(n, "no serial port stands behind this name");
        port.state = PortState::Missing;
        return 0;
    }

    if (m_device && path == m_path) {
        if (m_device->alive())
            return 1;
        refuse(n, path, {PortState::Error, m_device->error(), m_device->error()});
        close();
        return 0;
    }

    Refusal why;
    std::unique_ptr<SerialDevice> device = SerialDevice::open(path, why);
    if (!device)
        return refuse(n, path, std::move(why));
    // On a driver that makes the break up, trying it would send a byte and take a second.
    const bool slowBreak = simulatesBreak(adapter(n).driver);
    LineState lines;
    switch (lines.reset(device.get(), !slowBreak)) {
    case LineState::Check::NoDtr:
        return refuse(
            n, path, {PortState::NoDtr, device->error(), "cannot drive DTR: " + device->error()});
    case LineState::Check::NoBreak:
        return refuse(n, path,
            {PortState::NoBreak, device->error(),
                "cannot drive the break state: " + device->error()});
    case LineState::Check::Ok:
        break;
    }
    // The new port works: only now give up the old one.
    close();
    m_device = std::move(device);
    m_path = path;
    m_lines = lines;
    port.state = slowBreak ? PortState::SlowBreak : PortState::Ready;
    port.detail = slowBreak ? adapter(n).driver : std::string();
    port.everOpened = true;
    return 1;
}

int16_t Module::refuse(int n, const std::string &path, Refusal why)
{
    Port &port = m_ports[n - 1];
    if (deviceGone(path))
        why.state = PortState::Gone;
#if defined(_WIN32)
    // Nothing lists the ports here: a name the system does not know is missing, unless it
    // opened before.
    if (why.state == PortState::Gone && !port.everOpened)
        why.state = PortState::Missing;
#endif
    tell(n, path + ": " + why.text);
    // A port that stays busy keeps the holder found before.
    if (why.state != PortState::Busy || port.state != PortState::Busy) {
        port.detail = std::move(why.detail);
        port.holderLooked = false;
    }
    port.state = why.state;
    return 0;
}

const Adapter &Module::adapter(int n)
{
    Port &port = m_ports[n - 1];
    // Read once, so that the name is still known after the adapter is pulled out.
    if (!port.adapterRead)
        port.adapter = m_map.adapter(n);
    port.adapterRead = true;
    return port.adapter;
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

int32_t Module::PORTINFO(int32_t n, char *text, int32_t size)
{
    if (n < 1 || n > ComCount || !text)
        return -1;
    Port &port = m_ports[n - 1];
    const std::string path = m_map.path(n);
    PortState state = path.empty() ? PortState::Missing : port.state;
    if (state == PortState::Ready && m_device && path == m_path)
        state = PortState::Open;
    // Never opened here: what can be seen from outside, looked at anew each time.
    if (state == PortState::Untested) {
        Refusal seen = inspect(path);
        state = seen.state;
        port.detail = std::move(seen.detail);
        port.holderLooked = true;
    }
    // Looked for only when asked, as it reads the whole process table.
    if (state == PortState::Busy && !port.holderLooked)
        port.detail = holderOf(path);
    port.holderLooked = state == PortState::Busy;
    const std::string device = field(m_map.device(n)), word = stateWord(state);
    std::string name = field(path.empty() ? std::string() : adapter(n).name);
    std::string detail = field(port.detail);
    // A line too long for the caller's buffer loses the ends of its two free texts, so that the
    // caller still learns the port's state; the adapter keeps at least half the room.
    const size_t fixed = device.size() + word.size() + 3;
    if (size < 0 || fixed >= size_t(size))
        return -1;
    const size_t room = size_t(size) - 1 - fixed;
    if (name.size() + detail.size() > room) {
        cut(name,
            name.size() <= room / 2 ? name.size()
                                    : std::max(room / 2, room - std::min(detail.size(), room)));
        cut(detail, room - name.size());
    }
    const std::string line = device + '\t' + name + '\t' + word + '\t' + detail;
    std::memcpy(text, line.c_str(), line.size() + 1);
    return int32_t(line.size());
}

void Module::close()
{
    m_lines.detach();
    m_device.reset();
    m_path.clear();
}

} // namespace rscom
