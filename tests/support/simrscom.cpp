// A simulated line library with the real one's interface, for running the program without a
// serial port. PRAVLON_SIM_PORTS lists the COM numbers that open ("13"; default "1").
// PRAVLON_SIM_LOG names a file that gets one line per call: nanoseconds, operation, value.
// PRAVLON_SIM_UNPLUGGED, while set, makes every call fail, as an unplugged adapter would.
// Built with SIM_WITHOUT_TXD, it lacks TXD: a module missing one function.
#include "rscom.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int g_open = 0;

bool unplugged()
{
    return std::getenv("PRAVLON_SIM_UNPLUGGED");
}

void log(const char *op, long value)
{
    static FILE *file = [] {
        const char *path = std::getenv("PRAVLON_SIM_LOG");
        return path ? std::fopen(path, "a") : nullptr;
    }();
    if (!file)
        return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::fprintf(file, "%lld %s %ld\n",
        static_cast<long long>(std::chrono::nanoseconds(now).count()), op, value);
    std::fflush(file);
}

} // namespace

extern "C" {

int16_t OPENCOM(const char *settings)
{
    int n = 0;
    for (int k = 1; k <= 5; ++k) {
        char text[16];
        std::snprintf(text, sizeof text, "COM%d,1200,N,8,1", k);
        n = settings && std::strcmp(settings, text) == 0 ? k : n;
    }
    const char *ports = std::getenv("PRAVLON_SIM_PORTS");
    const bool ok = n != 0 && !unplugged() && std::strchr(ports ? ports : "1", '0' + n);
    g_open = ok ? n : g_open;
    log("OPEN", ok ? n : 0);
    return ok ? 1 : 0;
}

void DTR(int32_t level)
{
    if (!unplugged() && g_open)
        log("DTR", level);
}

#ifndef SIM_WITHOUT_TXD
void TXD(int32_t level)
{
    if (!unplugged() && g_open)
        log("TXD", level);
}
#endif

int16_t CLOSECOM(void)
{
    const int was = g_open;
    g_open = 0;
    return was ? 1 : 0;
}

} // extern "C"
