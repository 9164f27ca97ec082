#include "number_reader.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace tessfield {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Where the leading number of a text lies and what it is made of.
struct NumberSpan {
    std::size_t begin = 0;   // first character of the number (its sign, if any)
    std::size_t end = 0;     // one past its last character
    bool negative = false;
    // The decimal exponent of the first significant digit, counted so that 1 <= |v| < 10
    // has 0; used only when the value is too large or too small for a double.
    long long magnitude = 0;
    bool allZero = true;
};

// Saturating accumulation of an exponent's digits: thousands of digits must not wrap.
long long accumulate(long long value, char digit)
{
    constexpr long long Limit = 1'000'000'000LL;
    if (value >= Limit)
        return Limit;
    return value * 10 + (digit - '0');
}

std::optional<NumberSpan> findNumber(std::string_view text)
{
    NumberSpan span;
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    span.begin = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        span.negative = text[i] == '-';
        ++i;
    }

    long long firstSignificant = 0; // position of the first non-zero digit relative to the point
    bool seenSignificant = false;
    std::size_t integerDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (text[i] != '0' && !seenSignificant) {
            seenSignificant = true;
            firstSignificant = static_cast<long long>(integerDigits);
        }
        ++integerDigits;
        ++i;
    }
    std::size_t fractionDigits = 0;
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < text.size() && isDigit(text[j])) {
            if (text[j] != '0' && !seenSignificant) {
                seenSignificant = true;
                firstSignificant = -static_cast<long long>(fractionDigits) - 1;
            }
            ++fractionDigits;
            ++j;
        }
        // A lone point with no digits on either side is not a number ("." or "-.").
        if (integerDigits + fractionDigits > 0)
            i = j;
    }
    if (integerDigits + fractionDigits == 0)
        return std::nullopt;

    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        // The exponent belongs to the number only when at least one digit follows it.
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                exponent = accumulate(exponent, text[j++]);
            if (negativeExponent)
                exponent = -exponent;
            i = j;
        }
    }

    span.end = i;
    span.allZero = !seenSignificant;
    if (seenSignificant) {
        // For integer digits the first significant digit at position p (from the left) of n
        // digits stands for 10^(n-p-1); in the fraction, position -k stands for 10^-k.
        long long leading = firstSignificant >= 0
            ? static_cast<long long>(integerDigits) - firstSignificant - 1
            : firstSignificant;
        span.magnitude = leading + exponent;
    }
    return span;
}

} // namespace

double readNumber(std::string_view text)
{
    const auto span = findNumber(text);
    if (!span)
        return 0.0;
    if (span->allZero)
        return span->negative ? -0.0 : 0.0;

    // from_chars takes no leading '+', and its grammar otherwise matches what findNumber
    // accepted, so hand it the text without the sign.
    std::size_t first = span->begin;
    if (text[first] == '+' || text[first] == '-')
        ++first;
    double value = 0.0;
    const char *begin = text.data() + first;
    const char *end = text.data() + span->end;
    const auto result = std::from_chars(begin, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = span->magnitude > 0 ? HUGE_VAL : 0.0;
    return span->negative ? -value : value;
}

std::optional<Int16> roundToInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double rounded = std::floor(value);
    const double fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    if (rounded < Int16Min || rounded > Int16Max)
        return std::nullopt;
    return static_cast<Int16>(rounded);
}

Int16 readInt16(std::string_view text)
{
    const auto value = roundToInt16(readNumber(text));
    if (!value)
        throw OverflowError("number conversion");
    return *value;
}

} // namespace tessfield
