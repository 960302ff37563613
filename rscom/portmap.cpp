#include "portmap.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <utility>

#if defined(_WIN32)
#include "serialdevice.h"
// clang-format off
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on
#else
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace rscom {

int comNumberFromSettings(const char *settings)
{
    if (!settings)
        return 0;
    static const char *const texts[ComCount] = {"COM1,1200,N,8,1", "COM2,1200,N,8,1",
        "COM3,1200,N,8,1", "COM4,1200,N,8,1", "COM5,1200,N,8,1"};
    for (int n = 0; n < ComCount; ++n) {
        if (std::strcmp(settings, texts[n]) == 0)
            return n + 1;
    }
    return 0;
}

#if !defined(_WIN32)

namespace {

using uchar = unsigned char;

// "ttyUSB12" with prefix "ttyUSB" gives 12; -1 when the rest is not a plain number.
long numberAfter(const std::string &name, const char *prefix)
{
    const size_t len = std::strlen(prefix);
    if (name.size() <= len || name.size() > len + 6 || name.compare(0, len, prefix) != 0)
        return -1;
    long n = 0;
    for (size_t i = len; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return -1;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

// Plain system calls: the first use of the C++ streams and std::filesystem costs more than the
// whole listing.
bool readFile(const std::string &path, std::string &text)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buf[256];
    ssize_t n = 0;
    text.clear();
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        text.append(buf, size_t(n));
    ::close(fd);
    return n == 0;
}

std::vector<std::string> entryNames(const std::string &dir)
{
    std::vector<std::string> names;
    if (DIR *d = ::opendir(dir.c_str())) {
        while (const dirent *e = ::readdir(d))
            names.emplace_back(e->d_name);
        ::closedir(d);
    }
    return names;
}

// Whether `word` is one of the blank-separated words of `text`.
bool hasWord(const std::string &text, const std::string &word)
{
    const auto blank = [&](size_t i) { return i >= text.size() || std::isspace(uchar(text[i])); };
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        if ((at == 0 || blank(at - 1)) && blank(at + word.size()))
            return true;
    }
    return false;
}

} // namespace

std::vector<std::string> listLinuxPorts(const std::string &sysClassTty)
{
    std::string active;
    const bool consolesKnown = readFile(sysClassTty + "/console/active", active);

    struct Ranked
    {
        int group;
        long number;
        std::string name;
        bool operator<(const Ranked &o) const
        {
            return group != o.group ? group < o.group : number < o.number;
        }
    };
    static const char *const prefixes[] = {"ttyS", "ttyUSB", "ttyACM"};
    std::vector<Ranked> ranked;
    for (const std::string &name : entryNames(sysClassTty)) {
        if (hasWord(active, name))
            continue;
        for (int g = 0; g < 3; ++g) {
            const long n = numberAfter(name, prefixes[g]);
            if (n < 0)
                continue;
            if (g == 0) {
                // Without the console list any ttyS* may be the console: fail closed.
                std::string type;
                if (!consolesKnown
                    || !readFile(
                        std::string(sysClassTty).append("/").append(name).append("/type"), type)
                    || std::atoi(type.c_str()) == 0)
                    break;
            }
            ranked.push_back({g, n, name});
            break;
        }
    }
    std::sort(ranked.begin(), ranked.end());
    std::vector<std::string> names;
    names.reserve(ranked.size());
    for (const Ranked &r : ranked)
        names.push_back(r.name);
    return names;
}

Adapter readAdapter(const std::string &ttyEntry)
{
    Adapter adapter;
    char link[256];
    const ssize_t n = ::readlink((ttyEntry + "/device/driver").c_str(), link, sizeof link - 1);
    if (n > 0) {
        link[n] = '\0';
        const char *slash = std::strrchr(link, '/');
        adapter.driver = slash ? slash + 1 : link;
    }
    // A ttyUSB's device is the port, above it its USB interface and then the USB device; a
    // ttyACM's device is the interface.
    for (const char *attribute : {"/product", "/manufacturer"}) {
        for (const char *up : {"/device", "/device/..", "/device/../.."}) {
            std::string text;
            if (!readFile(ttyEntry + up + attribute, text))
                continue;
            while (!text.empty() && std::isspace(uchar(text.back())))
                text.pop_back();
            if (!text.empty()) {
                adapter.name = text;
                return adapter;
            }
        }
    }
    adapter.name = adapter.driver;
    return adapter;
}

#if defined(__APPLE__)
std::vector<std::string> listCallOutPorts(const std::string &devDir)
{
    std::vector<std::string> names;
    for (const std::string &name : entryNames(devDir)) {
        if (name.compare(0, 3, "cu.") == 0)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}
#endif

#endif

bool simulatesBreak(const std::string &driver)
{
    return driver == "ch341-uart" || driver == "ch341";
}

#if defined(_WIN32)

namespace {

// The name Device Manager shows for the port named `com` ("USB Serial Port (COM3)").
std::string friendlyName(const std::string &com)
{
    std::string name;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return name;
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    for (DWORD i = 0; name.empty() && SetupDiEnumDeviceInfo(set, i, &info); ++i) {
        HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        wchar_t port[64] = {};
        DWORD size = sizeof port - sizeof(wchar_t);
        DWORD type = 0;
        const bool match = RegQueryValueExW(key, L"PortName", nullptr, &type,
                               reinterpret_cast<BYTE *>(port), &size)
                == ERROR_SUCCESS
            && type == REG_SZ && utf8(port) == com;
        RegCloseKey(key);
        wchar_t friendly[256] = {};
        if (match
            && SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_FRIENDLYNAME, nullptr,
                reinterpret_cast<BYTE *>(friendly), sizeof friendly - sizeof(wchar_t), nullptr))
            name = utf8(friendly);
    }
    SetupDiDestroyDeviceInfoList(set);
    return name;
}

} // namespace

#endif

PortMap::PortMap(std::string sysClassTty, std::string devDir)
    : m_sysClassTty(std::move(sysClassTty))
    , m_devDir(std::move(devDir))
{ }

std::string PortMap::path(int n)
{
    if (n < 1 || n > ComCount)
        return {};
    if (!m_fixed) {
        m_fixed = true;
#if defined(_WIN32)
        // COMn is the system's own COMn.
        for (int i = 0; i < ComCount; ++i)
            m_paths[i] = "\\\\.\\COM" + std::to_string(i + 1);
#else
#if defined(__APPLE__)
        const std::vector<std::string> names = listCallOutPorts(m_devDir);
#else
        const std::vector<std::string> names = listLinuxPorts(m_sysClassTty);
#endif
        for (size_t i = 0; i < names.size() && i < ComCount; ++i) {
            m_paths[i] = m_devDir + '/' + names[i];
            m_names[i] = names[i];
        }
#endif
    }
    return m_paths[n - 1];
}

std::string PortMap::device(int n)
{
#if defined(_WIN32)
    return path(n).empty() ? std::string() : "COM" + std::to_string(n);
#else
    return path(n);
#endif
}

Adapter PortMap::adapter(int n)
{
    if (path(n).empty())
        return {};
#if defined(_WIN32)
    return {friendlyName(device(n)), {}};
#elif defined(__APPLE__)
    return {};
#else
    return readAdapter(m_sysClassTty + '/' + m_names[n - 1]);
#endif
}

} // namespace rscom
