// A simulated line library with the real one's interface, for running the program without a
// serial port. PRAVLON_SIM_PORTS lists the COM numbers that open ("1,3"; default "1").
// PRAVLON_SIM_LOG names a file that gets one line per call: nanoseconds, operation, value.
// PRAVLON_SIM_FAIL_AFTER=N makes every call after the N-th fail, as an unplugged adapter would.
#include "rscom.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long g_calls = 0;
int g_open = 0;

bool failing()
{
    ++g_calls;
    const char *after = std::getenv("PRAVLON_SIM_FAIL_AFTER");
    return after && g_calls > std::atol(after);
}

void log(const char *op, long value)
{
    static FILE *file = [] {
        const char *path = std::getenv("PRAVLON_SIM_LOG");
        return path ? std::fopen(path, "a") : nullptr;
    }();
    if (!file)
        return;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
                        .count();
    std::fprintf(file, "%lld %s %ld\n", static_cast<long long>(ns), op, value);
    std::fflush(file);
}

bool works(int n)
{
    const char *ports = std::getenv("PRAVLON_SIM_PORTS");
    if (!ports)
        ports = "1";
    for (const char *p = ports; *p; ++p) {
        if (*p - '0' == n)
            return true;
    }
    return false;
}

} // namespace

extern "C" {

int16_t OPENCOM(const char *settings)
{
    int n = 0;
    if (settings && std::strlen(settings) == 15 && std::strncmp(settings, "COM", 3) == 0
        && std::strcmp(settings + 4, ",1200,N,8,1") == 0 && settings[3] >= '1'
        && settings[3] <= '5')
        n = settings[3] - '0';
    const bool ok = n != 0 && !failing() && works(n);
    if (ok)
        g_open = n;
    log("OPEN", ok ? n : 0);
    return ok ? 1 : 0;
}

void DTR(int32_t level)
{
    if (!failing() && g_open)
        log("DTR", level);
}

#ifndef SIM_WITHOUT_TXD
void TXD(int32_t level)
{
    if (!failing() && g_open)
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
