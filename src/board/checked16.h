#pragma once

// 16-bit signed arithmetic that refuses to wrap.
//
// Every count, coordinate and index of the board is a 16-bit signed value, and a step that
// leaves -32768..32767 is an error, never a silent wrap-around. Each helper names its
// operation so that a failure says which step overflowed.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>

namespace tessfield {

using Int16 = std::int16_t;

inline constexpr Int16 Int16Min = INT16_MIN;
inline constexpr Int16 Int16Max = INT16_MAX;

class OverflowError : public std::overflow_error {
public:
    explicit OverflowError(const std::string &operation)
        : std::overflow_error("16-bit overflow in " + operation)
    {
    }
};

// Narrows a wider integer, throwing when the value does not fit.
constexpr Int16 toInt16(long long value, const char *operation = "conversion")
{
    if (value < Int16Min || value > Int16Max)
        throw OverflowError(operation);
    return static_cast<Int16>(value);
}

// Narrows a value that is known to fit, without a check: the deliberate casts, by a name
// that can be searched for. Everything else goes through toInt16.
template <typename Integer>
constexpr Int16 narrowCast16(Integer value)
{
    static_assert(std::is_integral_v<Integer>, "narrowCast16 narrows integers only");
    return static_cast<Int16>(value);
}

// a + b, throwing OverflowError("addition") when the sum leaves the 16-bit range.
constexpr Int16 add16(Int16 a, Int16 b)
{
    return toInt16(static_cast<long long>(a) + b, "addition");
}

// a - b, throwing OverflowError("subtraction") when the difference leaves the 16-bit range.
constexpr Int16 sub16(Int16 a, Int16 b)
{
    return toInt16(static_cast<long long>(a) - b, "subtraction");
}

// a * b, throwing OverflowError("multiplication") when the product leaves the 16-bit range.
constexpr Int16 mul16(Int16 a, Int16 b)
{
    return toInt16(static_cast<long long>(a) * b, "multiplication");
}

// a / b truncated towards zero; throws on division by zero and on -32768 / -1.
constexpr Int16 div16(Int16 a, Int16 b)
{
    if (b == 0)
        throw std::domain_error("16-bit division by zero");
    return toInt16(static_cast<long long>(a) / b, "division");
}

// a mod b with the sign of a (truncating division); throws on division by zero.
constexpr Int16 mod16(Int16 a, Int16 b)
{
    if (b == 0)
        throw std::domain_error("16-bit division by zero");
    return static_cast<Int16>(a % b);
}

} // namespace tessfield
