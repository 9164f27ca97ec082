#pragma once

// A count with its noun in the number it takes: "1 mine", "0 mines", "2 mines".

#include <string>
#include <string_view>

namespace tessfield {

inline std::string countedWords(int count, std::string_view one, std::string_view many)
{
    return std::to_string(count) + ' ' + std::string(count == 1 ? one : many);
}

} // namespace tessfield
