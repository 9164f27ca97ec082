#include "mine_random.h"

#include <bit>
#include <cmath>
#include <limits>

namespace tessfield {

namespace {

constexpr std::uint64_t Golden = 0x9E3779B97F4A7C15ULL;

// SplitMix64's finaliser: a bijection that spreads every input bit over the whole word.
constexpr std::uint64_t mix(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

} // namespace

void MineRandom::reset(Int16 n)
{
    // Sign-extended so that -1 and 65535 never meet.
    const auto wide = static_cast<std::uint64_t>(static_cast<std::int64_t>(n));
    state_ = mix(wide ^ 0x7465737366696C64ULL);
}

void MineRandom::seed(double x)
{
    if (x == 0.0)
        x = 0.0; // -0 and +0 are one value
    if (std::isnan(x))
        x = std::numeric_limits<double>::quiet_NaN();
    const auto bits = std::bit_cast<std::uint64_t>(x);
    state_ = mix(state_ ^ mix(bits + Golden));
}

float MineRandom::next()
{
    state_ += Golden;
    const std::uint64_t top24 = mix(state_) >> 40;
    // A 24-bit integer converts to float exactly, and so does the power-of-two scale.
    return static_cast<float>(top24) * 0x1p-24F;
}

} // namespace tessfield
