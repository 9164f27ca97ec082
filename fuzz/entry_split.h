#pragma once

// How a fuzz input becomes the four entry texts and a few presses.
//
// The fields are separated by a backslash followed by any other byte; two backslashes stand
// for one backslash inside a field. So every four texts, whatever bytes they hold, have an
// input that yields them, and the seed corpus stays readable ("10\n15\n45\n11540", with a
// literal backslash and n). Bytes after the fourth field are presses, three bytes each.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessfield::fuzz {

struct FuzzPress {
    std::uint8_t button = 0;    // taken modulo 8, so every button value 0..7 occurs
    std::uint16_t position = 0; // a square, taken modulo a little more than the cell count
};

struct FuzzInput {
    std::array<std::string, 4> entries;
    std::vector<FuzzPress> presses;
};

inline FuzzInput splitInput(std::string_view data)
{
    FuzzInput input;
    std::size_t i = 0;
    for (std::size_t field = 0; field < input.entries.size() && i < data.size(); ++field) {
        std::string &text = input.entries[field];
        while (i < data.size()) {
            const char c = data[i++];
            if (c != '\\' || i == data.size()) {
                text += c;
                continue;
            }
            const char next = data[i++];
            if (next != '\\')
                break; // end of this field
            text += '\\';
        }
    }
    for (; i + 3 <= data.size(); i += 3) {
        const auto high = static_cast<unsigned char>(data[i + 1]);
        const auto low = static_cast<unsigned char>(data[i + 2]);
        input.presses.push_back({static_cast<std::uint8_t>(data[i]),
                                 static_cast<std::uint16_t>(high << 8U | low)});
    }
    return input;
}

} // namespace tessfield::fuzz
