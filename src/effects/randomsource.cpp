#include "effects/randomsource.h"

#include <chrono>

namespace {

uint64_t splitmix64(uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

uint64_t steadyNanoseconds()
{
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

} // namespace

ClockSeededRandom::ClockSeededRandom(Clock clock)
    : m_clock(clock ? std::move(clock) : Clock(steadyNanoseconds))
{ }

double ClockSeededRandom::draw()
{
    m_state = splitmix64(m_state ^ splitmix64(m_clock()));
    // The top 53 bits as a fraction: exactly uniform over [0, 1).
    return static_cast<double>(m_state >> 11) * (1.0 / 9007199254740992.0);
}
