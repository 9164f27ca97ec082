#pragma once

// The board record: the half of the game state that lives in plain data.
//
// Which cells are covered or flagged is not kept here; that lives in the cell squares.

#include "checked16.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

namespace tessfield {

// Element of the square array that shows cell (column, row): (row-1) * columnCount +
// (column-1), every step checked (OverflowError when one leaves 16 bits).
Int16 cellIndex(Int16 columnCount, Int16 column, Int16 row);

// The same for a cell known to lie on a board, which has at most 32 767 cells, so no step
// can overflow: for the loops that walk the board.
constexpr Int16 cellIndexUnchecked(int columnCount, int column, int row)
{
    return narrowCast16((row - 1) * columnCount + (column - 1));
}

struct CellPosition {
    Int16 column;
    Int16 row;
    bool operator==(const CellPosition &) const = default;
};

// The inverse of cellIndex; defined only while columnCount >= 1 (throws otherwise).
CellPosition cellPosition(Int16 columnCount, Int16 index);

// Calls visit(column, row) for every cell of a board of that size: the columns left to
// right and, within each, the rows top to bottom, the order in which a board is built and
// revealed. Counted in int, so the last cell needs no guard against stepping past 32767.
template <typename Visit>
void forEachCell(Int16 columns, Int16 rows, Visit visit)
{
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row)
            visit(narrowCast16(column), narrowCast16(row));
}

// Colours are 24-bit values written 0xBBGGRR: blue in the high byte, red in the low byte.
using Colour = std::uint32_t;

// A two-dimensional array indexed (column, row), both from 1, stored so that the cells of
// one row lie next to each other; the storage offset of a cell is therefore its CellIndex.
template <typename T>
class Grid {
public:
    Grid() = default;
    // Every cell value-initialised (false / 0); bounds below 1 throw std::out_of_range.
    Grid(Int16 columns, Int16 rows)
        : columns_(columns), rows_(rows), cells_(cellCount(columns, rows))
    {
    }

    Int16 columns() const { return columns_; }
    Int16 rows() const { return rows_; }
    bool empty() const { return cells_.empty(); }
    std::size_t size() const { return cells_.size(); }

    // Bounds-checked access: a cell outside 1..columns x 1..rows throws std::out_of_range.
    T &at(Int16 column, Int16 row) { return cells_[offset(column, row)]; }
    const T &at(Int16 column, Int16 row) const { return cells_[offset(column, row)]; }

    // Unchecked access by storage offset, for loops that already walk valid cells.
    T &operator[](std::size_t i) { return cells_[i]; }
    const T &operator[](std::size_t i) const { return cells_[i]; }

    const std::vector<T> &cells() const { return cells_; }

private:
    static std::size_t cellCount(Int16 columns, Int16 rows)
    {
        if (columns < 1 || rows < 1)
            throw std::out_of_range("grid bounds must start at 1");
        return static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows);
    }

    std::size_t offset(Int16 column, Int16 row) const
    {
        if (column < 1 || column > columns_ || row < 1 || row > rows_)
            throw std::out_of_range("cell outside the grid");
        return static_cast<std::size_t>(cellIndexUnchecked(columns_, column, row));
    }

    Int16 columns_ = 0;
    Int16 rows_ = 0;
    std::vector<T> cells_;
};

// Colours in which a count n is drawn, entry n for n = 1..8; entry 0 is never drawn.
using ColourTable = std::array<Colour, 9>;

// The eight count colours that the window fills in when it loads.
inline constexpr ColourTable StandardCountColours = {
    0x000000, // 0: not drawn
    0xFF0000, // 1: blue
    0x00FF00, // 2: green
    0x0000FF, // 3: red
    0x800000, // 4: dark blue
    0x000080, // 5: dark red
    0x00FFFF, // 6: yellow
    0xFF00FF, // 7: magenta
    0xFFFFFF, // 8: white
};

struct Board {
    Int16 rowCount = 0;
    Int16 columnCount = 0;
    Int16 mineCount = 0;
    Grid<std::uint8_t> mineGrid;  // non-zero where a mine lies
    Grid<Int16> countGrid;        // mines in the 3x3 block, the cell itself included
    ColourTable countColours{};

    bool hasMine(Int16 column, Int16 row) const { return mineGrid.at(column, row) != 0; }
    bool contains(int column, int row) const
    {
        return column >= 1 && column <= columnCount && row >= 1 && row <= rowCount;
    }
    int cellCount() const { return int{columnCount} * int{rowCount}; }
};

// The 3x3 block of a cell, the cell itself included, as (column offset, row offset) in the
// order every walk of it follows: the column offset in the outer loop, the row offset in
// the inner one.
struct BlockOffset {
    int column;
    int row;
};
inline constexpr std::array<BlockOffset, 9> BlockOffsets = {{
    {-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 0}, {0, 1}, {1, -1}, {1, 0}, {1, 1},
}};

// The cell at BlockOffsets[i] from (column, row), when it lies on a board of columns x rows.
// The bounds are taken by value: a walk that writes a grid as it goes would otherwise have
// to read them from the board again after every store.
inline std::optional<CellPosition> blockCell(Int16 columns, Int16 rows, Int16 column, Int16 row,
                                             std::size_t i)
{
    const int c = column + BlockOffsets[i].column;
    const int r = row + BlockOffsets[i].row;
    if (c < 1 || c > columns || r < 1 || r > rows)
        return std::nullopt;
    return CellPosition{narrowCast16(c), narrowCast16(r)};
}

inline std::optional<CellPosition> blockCell(const Board &board, Int16 column, Int16 row,
                                             std::size_t i)
{
    return blockCell(board.columnCount, board.rowCount, column, row, i);
}

// Calls visit(column, row) for each cell of (column, row)'s block that lies on a board of
// columns x rows, in the block's order.
template <typename Visit>
void forEachInBlock(Int16 columns, Int16 rows, Int16 column, Int16 row, Visit visit)
{
    // The offsets that stay on the board form a range each way, so the walk needs no test
    // per offset; it visits the same cells in the same order as BlockOffsets.
    const int lastColumn = std::min<int>(column + 1, columns);
    const int lastRow = std::min<int>(row + 1, rows);
    for (int c = std::max(column - 1, 1); c <= lastColumn; ++c)
        for (int r = std::max(row - 1, 1); r <= lastRow; ++r)
            visit(narrowCast16(c), narrowCast16(r));
}

template <typename Visit>
void forEachInBlock(const Board &board, Int16 column, Int16 row, Visit visit)
{
    forEachInBlock(board.columnCount, board.rowCount, column, row, visit);
}

// Replaces both grids with fresh ones of the board's current size: no mines, all counts 0.
void sizeGrids(Board &board);

} // namespace tessfield
