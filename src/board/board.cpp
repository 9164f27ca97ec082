#include "board.h"

namespace tessfield {

Int16 cellIndex(Int16 columnCount, Int16 column, Int16 row)
{
    return add16(mul16(sub16(row, 1), columnCount), sub16(column, 1));
}

CellPosition cellPosition(Int16 columnCount, Int16 index)
{
    return {add16(mod16(index, columnCount), 1), add16(div16(index, columnCount), 1)};
}

void sizeGrids(Board &board)
{
    board.mineGrid = Grid<std::uint8_t>(board.columnCount, board.rowCount);
    board.countGrid = Grid<Int16>(board.columnCount, board.rowCount);
}

} // namespace tessfield
