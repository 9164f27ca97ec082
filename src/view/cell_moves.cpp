#include "cell_moves.h"

#include "board/board.h"

#include <algorithm>

namespace tessfield {

Int16 cellAfterMove(CellMove move, Int16 from, Int16 columns, Int16 last, int page)
{
    if (move == CellMove::First)
        return 0;
    if (move == CellMove::Last)
        return last;
    const int rows = cellPosition(columns, last).row;
    const CellPosition at = cellPosition(columns, from);
    int row = at.row;
    int column = at.column;
    page = std::max(1, page);
    switch (move) {
    case CellMove::Left:
        --column;
        break;
    case CellMove::Right:
        ++column;
        break;
    case CellMove::Up:
        --row;
        break;
    case CellMove::Down:
        ++row;
        break;
    case CellMove::PageUp:
        row -= page;
        break;
    case CellMove::PageDown:
        row += page;
        break;
    case CellMove::RowStart:
        column = 1;
        break;
    case CellMove::RowEnd:
        column = columns;
        break;
    case CellMove::First:
    case CellMove::Last:
        break;
    }
    row = std::clamp(row, 1, rows);
    column = std::clamp(column, 1, static_cast<int>(columns));
    return narrowCast16(std::min<int>(cellIndexUnchecked(columns, column, row), last));
}

} // namespace tessfield
