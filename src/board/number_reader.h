#pragma once

// Reading a number from the text a player typed into an entry box.
//
// The text is read as a decimal number: leading blanks are skipped and the longest leading
// part that forms a number (optional sign, digits, optional decimal point with digits,
// optional exponent) gives the value; anything after it is ignored, and text with no such
// part reads as 0. The result does not depend on the locale: the decimal point is always '.'.

#include "checked16.h"

#include <optional>
#include <string_view>

namespace tessfield {

// The value of the leading number in text, 0 when there is none. A magnitude beyond
// double's range gives +/-infinity, one below its smallest value gives zero; never NaN.
double readNumber(std::string_view text);

// Rounds to the nearest integer, a half going to the even neighbour; nullopt when the
// result lies outside -32768..32767 or the value is not finite.
std::optional<Int16> roundToInt16(double value);

// readNumber followed by roundToInt16; throws OverflowError when the value does not fit.
Int16 readInt16(std::string_view text);

} // namespace tessfield
