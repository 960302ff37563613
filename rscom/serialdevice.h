// One open serial device, driven through the system's own interfaces, and the words the module
// uses to say why a device cannot be used.
#pragma once

#include "linestate.h"

#include <memory>
#include <string>

namespace rscom {

// What PORTINFO says about a port. Untested: never opened, and nothing seen from outside stands
// in its way; only an open tells whether it works.
enum class PortState {
    Ready,
    Open,
    Missing,
    Gone,
    Denied,
    Busy,
    NoDtr,
    NoBreak,
    SlowBreak,
    Error,
    Untested
};
// "ready", "open", "missing", ...
const char *stateWord(PortState state);

// Why a device cannot be used: the state, its detail for PORTINFO (the group that owns the
// device, the system's text) and the line for standard error.
struct Refusal
{
    PortState state = PortState::Error;
    std::string detail;
    std::string text;
};

class SerialDevice : public NativeLines
{
public:
    // Opens the device at `path` for this program alone and without waiting for carrier, and
    // sets it to raw 1200 baud 8N1. Null on failure, with the reason in `why`.
    static std::unique_ptr<SerialDevice> open(const std::string &path, Refusal &why);
    ~SerialDevice() override;
    SerialDevice(const SerialDevice &) = delete;
    SerialDevice &operator=(const SerialDevice &) = delete;

    bool setDtr(bool asserted) override;
    bool setBreak(bool on) override;
    // Whether the device still answers; an unplugged adapter does not.
    bool alive();
    // The system's reason for the last request that failed.
    const std::string &error() const { return m_error; }

private:
#if defined(_WIN32)
    using Handle = void *;
#else
    using Handle = int;
#endif
    explicit SerialDevice(Handle handle)
        : m_handle(handle)
    { }
    bool check(bool ok);

    Handle m_handle;
    std::string m_error;
};

// Why opening `path` failed with the system's error `err`. A permission error names the group
// that owns the device and how to join it, the usual first-day failure on Linux.
Refusal refusalFor(const std::string &path, int err);

// Whether the device node has vanished (an unplugged adapter). Always false on Windows, which
// tells it by the open's error instead.
bool deviceGone(const std::string &path);

// The name of a program of this user that holds `path` open, or empty. Linux only.
std::string holderOf(const std::string &path);

// What can be known of a port that was never opened, without opening it (an open clocks a stray
// bit into a display that hangs on the port): no device node (Missing), no permission (Denied,
// with the group), held by another program (Busy, with its name); Untested otherwise.
Refusal inspect(const std::string &path);

#if defined(_WIN32)
std::string utf8(const wchar_t *text);
#endif

} // namespace rscom
