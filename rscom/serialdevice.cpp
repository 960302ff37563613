#include "serialdevice.h"

#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace rscom {

#if defined(_WIN32)

namespace {

std::string lastErrorText()
{
    char *text = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, GetLastError(), 0, reinterpret_cast<char *>(&text), 0, nullptr);
    std::string s(text ? text : "unknown error", text ? n : 13);
    LocalFree(text);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '.'))
        s.pop_back();
    return s;
}

} // namespace

std::string failureReason(const std::string &, int err)
{
    return std::strerror(err);
}

std::unique_ptr<SerialDevice> SerialDevice::open(const std::string &path, std::string &why)
{
    // No sharing: the system refuses a second opener of the port.
    const std::wstring wide(path.begin(), path.end());
    HANDLE h = CreateFileW(
        wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        why = lastErrorText();
        return nullptr;
    }
    std::unique_ptr<SerialDevice> device(new SerialDevice(h));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) {
        why = lastErrorText();
        return nullptr;
    }
    dcb.BaudRate = CBR_1200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    if (!SetCommState(h, &dcb)) {
        why = lastErrorText();
        return nullptr;
    }
    return device;
}

SerialDevice::~SerialDevice()
{
    CloseHandle(m_handle);
}

bool SerialDevice::check(bool ok)
{
    if (!ok)
        m_error = lastErrorText();
    return ok;
}

bool SerialDevice::setDtr(bool asserted)
{
    return check(EscapeCommFunction(m_handle, asserted ? SETDTR : CLRDTR));
}

bool SerialDevice::setBreak(bool on)
{
    return check(EscapeCommFunction(m_handle, on ? SETBREAK : CLRBREAK));
}

bool SerialDevice::alive()
{
    DWORD status = 0;
    return check(GetCommModemStatus(m_handle, &status));
}

#else

std::string failureReason(const std::string &path, int err)
{
    std::string text = std::strerror(err);
    struct stat st
    {
    };
    if ((err == EACCES || err == EPERM) && ::stat(path.c_str(), &st) == 0) {
        if (const group *g = ::getgrgid(st.st_gid)) {
            text += "; the device belongs to the group ";
            text += g->gr_name;
            text += ": join it (sudo usermod -aG ";
            text += g->gr_name;
            text += " $USER) and log in again";
        }
    }
    return text;
}

std::unique_ptr<SerialDevice> SerialDevice::open(const std::string &path, std::string &why)
{
    // Without O_NONBLOCK the open would wait for carrier, which the display never gives.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = failureReason(path, errno);
        return nullptr;
    }
    std::unique_ptr<SerialDevice> device(new SerialDevice(fd));
    // Ours alone: flock keeps out other programs that lock, TIOCEXCL every later open.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        why = errno == EWOULDBLOCK ? "in use by another program" : std::strerror(errno);
        return nullptr;
    }
    termios tio{};
    if (::ioctl(fd, TIOCEXCL) != 0 || ::tcgetattr(fd, &tio) != 0) {
        why = std::strerror(errno);
        return nullptr;
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B1200);
    ::cfsetospeed(&tio, B1200);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        why = std::strerror(errno);
        return nullptr;
    }
    return device;
}

SerialDevice::~SerialDevice()
{
    ::ioctl(m_handle, TIOCNXCL);
    ::close(m_handle);
}

bool SerialDevice::check(bool ok)
{
    if (!ok)
        m_error = std::strerror(errno);
    return ok;
}

bool SerialDevice::setDtr(bool asserted)
{
    int bits = TIOCM_DTR;
    return check(::ioctl(m_handle, asserted ? TIOCMBIS : TIOCMBIC, &bits) == 0);
}

bool SerialDevice::setBreak(bool on)
{
    return check(::ioctl(m_handle, on ? TIOCSBRK : TIOCCBRK) == 0);
}

bool SerialDevice::alive()
{
    int bits = 0;
    return check(::ioctl(m_handle, TIOCMGET, &bits) == 0);
}

#endif

} // namespace rscom
