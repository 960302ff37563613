// Instruments the benchmarks add to the simulated line library (built into their own copy of
// it): PRAVLON_SIM_RECORD, when set, keeps the time and level of every TXD call in memory instead
// of the log, read back through SIMRECORD: a line that costs nothing to the tick that drives it.
// SIMDELAY makes every DTR and TXD call take that long, as a USB adapter's line changes do.
#include "rscom.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

struct Record
{
    int64_t ns;
    int32_t level;
};
// Room for eight minutes of ticks at 1 ms; pages are touched only as the record grows.
constexpr int32_t RecordCapacity = 1 << 22;
Record g_record[RecordCapacity];
int32_t g_recorded = 0;
int32_t g_delayUs = 0;

} // namespace

// Called by the library for each call it would log; true when the call is recorded here.
bool simInstrument(const char *op, long value)
{
    if (g_delayUs > 0 && op[0] != 'O')
        std::this_thread::sleep_for(std::chrono::microseconds(g_delayUs));
    static const bool recording = std::getenv("PRAVLON_SIM_RECORD") != nullptr;
    if (recording && op[0] == 'T' && g_recorded < RecordCapacity) {
        g_record[g_recorded++] = {std::chrono::duration_cast<std::chrono::nanoseconds>(
                                      std::chrono::steady_clock::now().time_since_epoch())
                                      .count(),
            int32_t(value)};
    }
    return recording;
}

extern "C" {

// The TXD calls recorded since the last call: their times (steady clock, nanoseconds) and
// levels; empties the record.
RSCOM_EXPORT int32_t SIMRECORD(int64_t *ns, int32_t *levels, int32_t size)
{
    const int32_t n = std::min(size, g_recorded);
    for (int32_t i = 0; i < n; ++i) {
        ns[i] = g_record[i].ns;
        levels[i] = g_record[i].level;
    }
    g_recorded = 0;
    return n;
}

// The time each DTR and TXD call takes from now on.
RSCOM_EXPORT void SIMDELAY(int32_t microseconds)
{
    g_delayUs = microseconds;
}

} // extern "C"
