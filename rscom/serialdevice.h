// One open serial device, driven through the system's own interfaces.
#pragma once

#include "linestate.h"

#include <memory>
#include <string>

namespace rscom {

class SerialDevice : public NativeLines
{
public:
    // Opens the device at `path` for this program alone and without waiting for carrier, and
    // sets it to raw 1200 baud 8N1. Null on failure, with the system's reason in `why`.
    static std::unique_ptr<SerialDevice> open(const std::string &path, std::string &why);
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

// The system's text for error `err` on `path`. For a permission error it also names the group
// that owns the device and how to join it, the usual first-day failure on Linux.
std::string failureReason(const std::string &path, int err);

} // namespace rscom
