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
    // Advances the state and returns a value r with 0 <= r < 1.
    float next();

    std::uint64_t state() const { return state_; }

private:
    std::uint64_t state_ = 0;
};

} // namespace tessfield
