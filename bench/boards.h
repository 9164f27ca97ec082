#pragma once

// The boards every benchmark runs on: the window's default, two squares and the two
// single lines of the largest size, each with the mine counts that matter for it.

#include "board/checked16.h"

#include <array>
#include <string>

namespace tessfield::bench {

struct BoardSize {
    Int16 rows;
    Int16 columns;
    int cells() const { return int{rows} * int{columns}; }
    std::string label() const { return std::to_string(rows) + "x" + std::to_string(columns); }
};

inline constexpr std::array<BoardSize, 5> Boards = {{
    {10, 15},     // the window's designed entries
    {100, 100},
    {181, 181},   // the largest square board, 32 761 cells
    {1, 32767},   // one row
    {32767, 1},   // one column
}};

// Mine counts: the default board's density (45 of 150 cells), none, and every cell but one.
enum class Mines { Density, None, Full };

inline Int16 mineCount(BoardSize board, Mines mines)
{
    switch (mines) {
    case Mines::Density:
        return static_cast<Int16>(board.cells() * 3 / 10);
    case Mines::None:
        return 0;
    case Mines::Full:
        break;
    }
    return static_cast<Int16>(board.cells() - 1);
}

inline const char *mineLabel(Mines mines)
{
    switch (mines) {
    case Mines::Density:
        return "density";
    case Mines::None:
        return "none";
    case Mines::Full:
        break;
    }
    return "full";
}

// The game ID of the window's designed entries.
inline constexpr double GameId = 11540;

} // namespace tessfield::bench
