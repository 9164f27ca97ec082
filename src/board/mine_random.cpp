#include "mine_random.h"

#include <bit>
#include <cmath>
#include <limits>

namespace tessfield {

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

} // namespace tessfield
