#include "view/cell_moves.h"

#include <gtest/gtest.h>

namespace tessfield {
namespace {

struct MoveCase {
    const char *what;
    CellMove move;
    int columns;
    int rows;
    int from;
    int page;
    int expected;
};

// Indices by hand: row r, column c (from 1) is (r - 1) * columns + (c - 1).
TEST(CellAfterMove, StopsAtTheEdgesAndPagesByTheRowsShown)
{
    const MoveCase cases[] = {
        {"Left at the left edge", CellMove::Left, 5, 4, 0, 1, 0},
        {"Left", CellMove::Left, 5, 4, 7, 1, 6},
        {"Right at the right edge does not wrap", CellMove::Right, 5, 4, 4, 1, 4},
        {"Right", CellMove::Right, 5, 4, 7, 1, 8},
        {"Up at the top", CellMove::Up, 5, 4, 2, 1, 2},
        {"Up", CellMove::Up, 5, 4, 7, 1, 2},
        {"Down at the bottom", CellMove::Down, 5, 4, 17, 1, 17},
        {"Down", CellMove::Down, 5, 4, 7, 1, 12},
        {"Page Up", CellMove::PageUp, 5, 4, 17, 2, 7},
        {"Page Up past the top", CellMove::PageUp, 5, 4, 12, 5, 2},
        {"Page Down", CellMove::PageDown, 5, 4, 2, 2, 12},
        {"Page Down past the bottom", CellMove::PageDown, 5, 4, 2, 9, 17},
        {"Page Down with no whole row shown goes one row", CellMove::PageDown, 5, 4, 2, 0, 7},
        {"Home", CellMove::RowStart, 5, 4, 8, 1, 5},
        {"End", CellMove::RowEnd, 5, 4, 5, 1, 9},
        {"Ctrl+Home", CellMove::First, 5, 4, 13, 1, 0},
        {"Ctrl+End", CellMove::Last, 5, 4, 3, 1, 19},
        {"one cell", CellMove::Right, 1, 1, 0, 1, 0},
        {"End on the one-row board", CellMove::RowEnd, 32767, 1, 0, 1, 32766},
        {"Down on the one-row board", CellMove::Down, 32767, 1, 5, 1, 5},
        {"Page Down on the one-column board", CellMove::PageDown, 1, 32767, 100, 40, 140},
        {"Right on the one-column board", CellMove::Right, 1, 32767, 100, 1, 100},
    };
    for (const MoveCase &c : cases) {
        const auto last = static_cast<Int16>(c.columns * c.rows - 1);
        EXPECT_EQ(cellAfterMove(c.move, static_cast<Int16>(c.from), static_cast<Int16>(c.columns),
                                last, c.page),
                  c.expected)
            << c.what;
    }
}

} // namespace
} // namespace tessfield
