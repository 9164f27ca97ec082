// Fuzz target for the number reader: any bytes at all, as a player might type or paste them.
//
// Beyond "never crashes, never reads outside the text" it checks the reader against
// independent answers: the C library's strtod wherever the two grammars agree, and the
// C library's round-half-to-even for the 16-bit rounding.

#include "board/checked16.h"
#include "board/number_reader.h"
#include "fuzz_check.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// strtod also reads hexadecimal numbers, "inf" and "nan", and skips vertical tabs and form
// feeds in front; the reader takes none of these. Elsewhere both read the same leading
// decimal number (strtod stops at an embedded NUL, as the reader stops at any non-digit).
bool strtodAgreesOn(std::string_view text)
{
    return text.find_first_of("xXiInN\v\f") == std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace tessfield;
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    const double value = readNumber(text);
    FUZZ_REQUIRE(!std::isnan(value));

    // Blanks in front and a letter behind change nothing.
    const std::string padded = " \t" + std::string(text) + "z";
    FUZZ_REQUIRE(sameBits(readNumber(padded), value));

    if (strtodAgreesOn(text)) {
        const std::string terminated(text); // strtod needs the NUL after the text
        errno = 0;
        const double expected = std::strtod(terminated.c_str(), nullptr);
        FUZZ_REQUIRE(sameBits(value, expected));
    }

    const auto rounded = roundToInt16(value);
    if (std::isfinite(value) && std::fabs(value) < 1e6) {
        const double nearest = std::nearbyint(value); // the default mode: half to even
        const bool fits = nearest >= Int16Min && nearest <= Int16Max;
        FUZZ_REQUIRE(rounded.has_value() == fits);
        if (fits)
            FUZZ_REQUIRE(static_cast<double>(*rounded) == nearest);
    } else {
        FUZZ_REQUIRE(!rounded.has_value());
    }

    bool threw = false;
    try {
        const Int16 read = readInt16(text);
        FUZZ_REQUIRE(rounded.has_value() && read == *rounded);
    } catch (const OverflowError &) {
        threw = true;
    }
    FUZZ_REQUIRE(threw == !rounded.has_value());
    return 0;
}
