#pragma once

// The pseudo-random generator behind mine placement.
//
// Its whole arithmetic is on 64-bit unsigned integers, so one game ID yields one layout on
// every machine, compiler and library version; standard-library distributions are avoided
// on purpose because their results differ between implementations. The state advances as
// SplitMix64 and every draw is the top 24 bits of the mixed output scaled by 2^-24, so a
// draw is exactly representable in single precision and always below 1.

#include "checked16.h"

#include <cstdint>

namespace tessfield {

class MineRandom {
public:
    // Puts the generator into a fixed state that depends only on n.
    void reset(Int16 n);
    // Mixes x into the state; the new state depends only on the old state and the numeric
    // value of x (-0 mixes like +0, and every NaN like every other).
    void seed(double x);
    // Advances the state and returns a value r with 0 <= r < 1. Inline: placing nearly
    // 32 767 mines takes some 360 000 pairs of draws.
    float next()
    {
        // A 24-bit integer converts to float exactly, and so does the power-of-two scale.
        return static_cast<float>(nextBits()) * 0x1p-24F;
    }

    // The same draw as next() before its scaling: next() == nextBits() * 2^-24 exactly.
    std::uint32_t nextBits()
    {
        state_ += Golden;
        return static_cast<std::uint32_t>(mix(state_) >> 40);
    }

private:
    static constexpr std::uint64_t Golden = 0x9E3779B97F4A7C15ULL;

    // SplitMix64's finaliser: a bijection that spreads every input bit over the whole word.
    static constexpr std::uint64_t mix(std::uint64_t z)
    {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    std::uint64_t state_ = 0;
};

} // namespace tessfield
