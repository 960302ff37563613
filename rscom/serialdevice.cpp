#include "serialdevice.h"

#include <cerrno>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace rscom {

const char *stateWord(PortState state)
{
    static const char *const words[] = {"ready", "open", "missing", "gone", "denied", "busy",
        "nodtr", "nobreak", "slowbreak", "error", "untested"};
    return words[int(state)];
}

#if defined(_WIN32)

std::string utf8(const wchar_t *text)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? size_t(n) : 1, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, s.data(), n, nullptr, nullptr);
    s.pop_back();
    return s;
}

namespace {

std::string errorText(DWORD code)
{
    wchar_t *text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::string s = text ? utf8(text) : "error " + std::to_string(code);
    LocalFree(text);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '.'))
        s.pop_back();
    return s;
}

} // namespace

Refusal refusalFor(const std::string &, int err)
{
    const std::string text = errorText(DWORD(err));
    switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return {PortState::Gone, text, text};
    // Windows answers a port that another program holds with "access denied".
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return {PortState::Busy, {}, "in use by another program"};
    default:
        return {PortState::Error, text, text};
    }
}

bool deviceGone(const std::string &)
{
    return false;
}

Refusal inspect(const std::string &)
{
    return {PortState::Untested, {}, {}};
}

std::string holderOf(const std::string &)
{
    return {};
}

std::unique_ptr<SerialDevice> SerialDevice::open(const std::string &path, Refusal &why)
{
    // No sharing: the system refuses a second opener of the port.
    const std::wstring wide(path.begin(), path.end());
    HANDLE h = CreateFileW(
        wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        why = refusalFor(path, int(GetLastError()));
        return nullptr;
    }
    std::unique_ptr<SerialDevice> device(new SerialDevice(h));
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) {
        why = refusalFor(path, int(GetLastError()));
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
        why = refusalFor(path, int(GetLastError()));
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
        m_error = errorText(GetLastError());
    return ok;
}

bool SerialDevice::setDtr(bool asserted)
{
    if (EscapeCommFunction(m_handle, asserted ? SETDTR : CLRDTR))
        return true;
    // Some drivers refuse the escape but take the level from the port's settings.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(m_handle, &dcb))
        return check(false);
    dcb.fDtrControl = asserted ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    return check(SetCommState(m_handle, &dcb));
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

Refusal refusalFor(const std::string &path, int err)
{
    const std::string text = std::strerror(err);
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return {PortState::Gone, text, text};
    case EBUSY:
    case EWOULDBLOCK:
        return {PortState::Busy, {}, "in use by another program"};
    case EACCES:
    case EPERM: {
        struct stat st
        {
        };
        const group *g = ::stat(path.c_str(), &st) == 0 ? ::getgrgid(st.st_gid) : nullptr;
        if (!g)
            return {PortState::Denied, {}, text};
        const std::string name = g->gr_name;
        return {PortState::Denied, name,
            text + "; the device belongs to the group " + name + ": join it (sudo usermod -aG "
                + name + " $USER) and log in again"};
    }
    default:
        return {PortState::Error, text, text};
    }
}

bool deviceGone(const std::string &path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) != 0 && errno == ENOENT;
}

std::string holderOf(const std::string &path)
{
    char target[PATH_MAX];
    if (!::realpath(path.c_str(), target))
        return {};
    std::string holder;
    DIR *proc = ::opendir("/proc");
    while (const dirent *p = proc && holder.empty() ? ::readdir(proc) : nullptr) {
        if (p->d_name[0] < '1' || p->d_name[0] > '9')
            continue;
        const std::string dir = std::string("/proc/") + p->d_name;
        // Only this user's programs can be looked into; that is also all the user can close.
        DIR *fds = ::opendir((dir + "/fd").c_str());
        while (const dirent *f = fds && holder.empty() ? ::readdir(fds) : nullptr) {
            char link[PATH_MAX];
            const ssize_t n = ::readlink((dir + "/fd/" + f->d_name).c_str(), link, sizeof link);
            if (n <= 0 || size_t(n) != std::strlen(target) || std::memcmp(link, target, n) != 0)
                continue;
            char comm[64] = {};
            const int fd = ::open((dir + "/comm").c_str(), O_RDONLY | O_CLOEXEC);
            const ssize_t got = fd >= 0 ? ::read(fd, comm, sizeof comm - 1) : 0;
            if (fd >= 0)
                ::close(fd);
            holder.assign(comm, got > 0 ? size_t(got) : 0);
            while (!holder.empty() && holder.back() == '\n')
                holder.pop_back();
        }
        if (fds)
            ::closedir(fds);
    }
    if (proc)
        ::closedir(proc);
    return holder;
}

Refusal inspect(const std::string &path)
{
    struct stat st
    {
    };
    if (::stat(path.c_str(), &st) != 0)
        return errno == EACCES ? refusalFor(path, EACCES) : Refusal{PortState::Missing, {}, {}};
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) != 0)
        return refusalFor(path, errno);
    const std::string holder = holderOf(path);
    if (!holder.empty())
        return {PortState::Busy, holder, "in use by " + holder};
    return {PortState::Untested, {}, {}};
}

std::unique_ptr<SerialDevice> SerialDevice::open(const std::string &path, Refusal &why)
{
    // Without O_NONBLOCK the open would wait for carrier, which the display never gives.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = refusalFor(path, errno);
        return nullptr;
    }
    std::unique_ptr<SerialDevice> device(new SerialDevice(fd));
    // Ours alone: flock keeps out other programs that lock, TIOCEXCL every later open.
    termios tio{};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0
        || ::tcgetattr(fd, &tio) != 0) {
        why = refusalFor(path, errno);
        return nullptr;
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B1200);
    ::cfsetospeed(&tio, B1200);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        why = refusalFor(path, errno);
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
