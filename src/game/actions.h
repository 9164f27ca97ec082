#pragma once

// The player's actions on the squares: uncover, flag, chord and the cascading uncover.

#include "board/board.h"
#include "squares/squares.h"

#include <vector>

namespace tessfield {

// One pending cell of a flood and the next of its nine neighbour offsets to look at.
struct FloodFrame {
    Int16 column;
    Int16 row;
    std::uint8_t nextOffset;
};

// Scratch space of the flood, kept between presses so a press does not allocate.
using FloodStack = std::vector<FloodFrame>;

// What a press did, as the game alone knows it: the rules' branch it took and, for
// Uncovered, how many cells it uncovered (a loss uncovers the whole board).
struct PressOutcome {
    enum class Kind { Nothing, Flagged, Unflagged, Uncovered, Lost };
    Kind kind = Kind::Nothing;
    int uncovered = 0;
    friend bool operator==(const PressOutcome &, const PressOutcome &) = default;
};

// Draws the cell uncovered and, when its count is 0, goes on to every covered neighbour,
// depth first, column offset outer and row offset inner. An explicit stack stands in for
// recursion, which would run as deep as the region is large. Returns how many cells were
// covered before it drew them.
int floodReveal(const Board &board, SquareArray &squares, Int16 column, Int16 row,
                 FloodStack &stack);

// A mouse button pressed on square index: 1 uncovers, 2 toggles a flag, 4 chords; any
// other value, and any press while no board exists, does nothing.
PressOutcome squareMouseDown(const Board &board, SquareArray &squares, Int16 index, Int16 button,
                     FloodStack &stack);

} // namespace tessfield
