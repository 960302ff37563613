// Uniform draws in [0, 1) for the random characters.
#pragma once

#include <cstdint>
#include <functional>

class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double draw() = 0;
};

// Reseeded before every draw from a fine clock mixed with its own running state, so that two
// draws within one tick of the clock still differ.
class ClockSeededRandom : public RandomSource
{
public:
    using Clock = std::function<uint64_t()>;
    // Without a clock: the steady clock in nanoseconds.
    explicit ClockSeededRandom(Clock clock = {});
    double draw() override;

private:
    Clock m_clock;
    uint64_t m_state = 0x9E3779B97F4A7C15ull;
};
