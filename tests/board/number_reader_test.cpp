// Reading the entry boxes: the leading decimal number of a text, and its 16-bit rounding.

#include "board/checked16.h"
#include "board/number_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace tessfield {
namespace {

using namespace std::string_literals;

struct ReadCase {
    std::string text;
    double expected;
};

// Only the longest leading number counts; whatever follows it, and any text that does not
// start with one, must never make a setup fail, so it reads as the number or as 0.
TEST(NumberReader, ReadsLeadingNumberAndIgnoresTheRest)
{
    const std::vector<ReadCase> cases = {
        {"12abc", 12.0},   {"", 0.0},           {"abc", 0.0},        {"10.5", 10.5},
        {"  \t12", 12.0},  {"+7", 7.0},         {"-7", -7.0},        {"-0", 0.0},
        {"+-7", 0.0},      {"- 7", 0.0},        {"-", 0.0},          {".", 0.0},
        {"-.", 0.0},       {".5", 0.5},         {"-.5", -0.5},       {"5.", 5.0},
        {"1e4", 1e4},      {"1E4", 1e4},        {"2.5e1x", 25.0},    {"1e-2", 0.01},
        {"1e", 1.0},       {"1e+", 1.0},        {"1e-", 1.0},        {"1ex", 1.0},
        {"0x10", 0.0},     {"&H10", 0.0},       {"12 34", 12.0},     {"1,5", 1.0},
        {"1e-999", 0.0},   {"-1e-999", 0.0},    {"12\0" "34"s, 12.0}, {"\0" "12"s, 0.0},
        // Words that a library parser takes for numbers are only text in an entry box.
        {"inf", 0.0},      {"-infinity", 0.0},  {"nan", 0.0},
        {"1e0000000000000000000005", 1e5},      {"1.7976931348623157e308", 1.7976931348623157e308},
        // Arabic-Indic and fullwidth digits are not decimal digits here, nor is any other
        // letter or a control character in front; after the number they end it.
        {"\u0661\u0662", 0.0}, {"\uFF11\uFF12", 0.0}, {"7\uFF12", 7.0},
        {"\u00E4\u00F6\u00FC", 0.0}, {"\x01" "12", 0.0}, {"12\x1b[0m", 12.0}, {"15\x7f", 15.0},
        {"+", 0.0},        {"   ", 0.0},         {" 15 ", 15.0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(readNumber(c.text), c.expected) << "text \"" << c.text << '"';
}

// A magnitude beyond double's range must still give a definite answer (an infinity that
// the 16-bit check then refuses), never NaN and never a wrapped exponent.
TEST(NumberReader, SaturatesHugeMagnitudesToInfinity)
{
    EXPECT_EQ(readNumber("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber("1.8e308"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber("0.0001e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber("1000e-330"), 0.0);
    EXPECT_EQ(readNumber("1e99999999999999999999"), std::numeric_limits<double>::infinity());
    EXPECT_THROW(readInt16("1e999"), OverflowError);
    EXPECT_THROW(readInt16("-1e999"), OverflowError);
}

// A player can paste anything into an entry box; ten thousand digits must neither hang
// nor lose track of where the first significant digit stands.
TEST(NumberReader, ReadsTenThousandDigits)
{
    EXPECT_EQ(readNumber("1" + std::string(9999, '0')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber(std::string(9998, '0') + "12"), 12.0);
    EXPECT_EQ(readNumber("0." + std::string(9998, '0') + "1"), 0.0);
    EXPECT_EQ(readNumber(std::string(9996, '0') + "1e-5"), 1e-5);
    EXPECT_EQ(readNumber("1" + std::string(9999, '0') + "e-9999"), 1.0);
    EXPECT_NEAR(readNumber("3." + std::string(9998, '3')), 10.0 / 3.0, 1e-15);
    EXPECT_EQ(readInt16(std::string(9998, '0') + "12"), 12);
}

struct RoundCase {
    std::string text;
    Int16 expected;
};

// Entries are rounded half to even, so 2.5 and 3.5 go in opposite directions and
// negative halves mirror positive ones; the limits are the 16-bit ones after rounding.
TEST(NumberReader, RoundsHalvesToEvenWithinSixteenBits)
{
    const std::vector<RoundCase> cases = {
        {"12abc", 12},       {"", 0},          {"abc", 0},        {"10.5", 10},
        {"11.5", 12},        {"2.5", 2},       {"3.5", 4},        {"0.5", 0},
        {"1.5", 2},          {"-0.5", 0},      {"-2.5", -2},      {"-3.5", -4},
        {"-0", 0},           {"2.5000001", 3}, {"2.4999999", 2},  {"1e4", 10000},
        {"32767", 32767},    {"32767.4", 32767}, {"32766.5", 32766}, {"-32768", -32768},
        {"-32768.5", -32768}, {"0x10", 0},     {"&H10", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(readInt16(c.text), c.expected) << "text \"" << c.text << '"';
}

// Values that leave the 16-bit range after rounding are overflow errors, not wraps.
TEST(NumberReader, RefusesValuesOutsideSixteenBitsAfterRounding)
{
    for (const std::string_view text : {"32767.5", "32768", "-32769", "-32768.6", "1e5", "-1e5"})
        EXPECT_THROW(readInt16(text), OverflowError) << "text \"" << text << '"';
}

// roundToInt16 is the checked half of readInt16 that the entry checks use directly.
TEST(NumberReader, RoundToInt16RejectsNonFiniteAndOutOfRangeValues)
{
    EXPECT_EQ(roundToInt16(32766.5), Int16{32766});
    EXPECT_EQ(roundToInt16(-32768.5), Int16{-32768});
    EXPECT_EQ(roundToInt16(-0.0), Int16{0});
    EXPECT_EQ(roundToInt16(32767.5), std::nullopt);
    EXPECT_EQ(roundToInt16(-32769.0), std::nullopt);
    EXPECT_EQ(roundToInt16(1e300), std::nullopt);
    EXPECT_EQ(roundToInt16(std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(roundToInt16(-std::numeric_limits<double>::infinity()), std::nullopt);
    EXPECT_EQ(roundToInt16(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
}

} // namespace
} // namespace tessfield
