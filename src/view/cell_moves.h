#pragma once

// Where the keys move the current cell: plain arithmetic on a board's arrangement, kept
// apart from the widget that reads the keys.

#include "board/checked16.h"

namespace tessfield {

enum class CellMove {
    Left,
    Right,
    Up,
    Down,
    PageUp,
    PageDown,
    RowStart, // Home
    RowEnd,   // End
    First,    // Ctrl+Home
    Last,     // Ctrl+End
};

// The cell that a move leads to from cell index `from`, on a board of `columns` columns
// whose highest index is `last`; the page moves go `page` rows at a time (at least one). No
// wrap: a move past an edge stops at it.
Int16 cellAfterMove(CellMove move, Int16 from, Int16 columns, Int16 last, int page);

} // namespace tessfield
