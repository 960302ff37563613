// A simulated line library with the real one's interface, for running the program without a
// serial port. PRAVLON_SIM_PORTS lists the COM numbers that open ("13"; default "1").
// PRAVLON_SIM_LOG names a file that gets one line per call: nanoseconds, operation, value.
// PRAVLON_SIM_UNPLUGGED, while set, makes every call fail, as an unplugged adapter would.
// PORTINFO tells COMn as /dev/simUSB(n-1), "FT232R USB UART", open or ready for the ports that
// open and missing for the others; PRAVLON_SIM_PORTINFO sets states and details of its own:
// "2=denied:dialout,3=busy:minicom,4=nodtr".
// Built with SIM_LACKING_OPENCOM (or _DTR, _TXD, _PORTINFO), it lacks that function: a module
// missing one the program needs, or one it can do without.
#include "rscom.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#ifdef SIM_INSTRUMENTS
bool simInstrument(const char *op, long value); // the benchmarks' own; true when it took the call
#endif

namespace {

int g_open = 0;

const auto unplugged = [] { return std::getenv("PRAVLON_SIM_UNPLUGGED") != nullptr; };
// Whether COMn is one of the ports that open.
const auto listed = [](int n) {
    const char *ports = std::getenv("PRAVLON_SIM_PORTS");
    return std::strchr(ports ? ports : "1", '0' + n) != nullptr;
};

void log(const char *op, long value)
{
#ifdef SIM_INSTRUMENTS
    if (simInstrument(op, value))
        return;
#endif
    static const char *path = std::getenv("PRAVLON_SIM_LOG");
    static FILE *file = path ? std::fopen(path, "a") : nullptr;
    if (!file)
        return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::fprintf(file, "%lld %s %ld\n",
        static_cast<long long>(std::chrono::nanoseconds(now).count()), op, value);
    std::fflush(file);
}

} // namespace

extern "C" {

#ifndef SIM_LACKING_OPENCOM
int16_t OPENCOM(const char *settings)
{
    int n = 0;
    for (int k = 1; k <= 5; ++k)
        n = settings && "COM" + std::to_string(k) + ",1200,N,8,1" == settings ? k : n;
    const bool ok = n != 0 && !unplugged() && listed(n);
    g_open = ok ? n : g_open;
    log("OPEN", ok ? n : 0);
    return ok ? 1 : 0;
}
#endif

#ifndef SIM_LACKING_DTR
void DTR(int32_t level)
{
    if (!unplugged() && g_open)
        log("DTR", level);
}
#endif

#ifndef SIM_LACKING_TXD
void TXD(int32_t level)
{
    if (!unplugged() && g_open)
        log("TXD", level);
}
#endif

#ifndef SIM_LACKING_PORTINFO
int32_t PORTINFO(int32_t n, char *text, int32_t size)
{
    if (n < 1 || n > 5 || !text)
        return -1;
    std::string state = g_open == n ? "open" : listed(n) ? "ready" : "missing", detail;
    const char *own = std::getenv("PRAVLON_SIM_PORTINFO");
    const std::string given = std::string(",") + (own ? own : "");
    if (const size_t at = given.find("," + std::to_string(n) + "="); at != std::string::npos) {
        const std::string entry = given.substr(at + 3, given.find(',', at + 1) - at - 3);
        state = entry.substr(0, entry.find(':'));
        detail = entry.find(':') == std::string::npos ? "" : entry.substr(entry.find(':') + 1);
    }
    const std::string line
        = (state == "missing" ? "\t" : "/dev/simUSB" + std::to_string(n - 1) + "\tFT232R USB UART")
        + '\t' + state + '\t' + detail;
    if (size < 0 || line.size() >= size_t(size))
        return -1;
    return int32_t(std::strlen(std::strcpy(text, line.c_str())));
}
#endif

int16_t CLOSECOM(void)
{
    return std::exchange(g_open, 0) ? 1 : 0;
}

} // extern "C"
