// Cell coordinates, the square index that names them, and the bounds-checked grids.

#include "board/board.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace tessfield {
namespace {

// The square array runs row by row from cell (1, 1); the mouse handler relies on the
// inverse mapping to find the cell of a pressed square.
TEST(CellIndex, NumbersCellsRowByRowFromZero)
{
    EXPECT_EQ(cellIndex(15, 1, 1), 0);
    EXPECT_EQ(cellIndex(15, 15, 1), 14);
    EXPECT_EQ(cellIndex(15, 1, 2), 15);
    EXPECT_EQ(cellIndex(15, 15, 10), 149);
    EXPECT_EQ(cellIndex(1, 1, 32767), 32766);
    EXPECT_EQ(cellIndex(32767, 32767, 1), 32766);
    EXPECT_EQ(cellPosition(15, 16), (CellPosition{2, 2}));
    EXPECT_EQ(cellPosition(15, 149), (CellPosition{15, 10}));
    EXPECT_EQ(cellPosition(1, 32766), (CellPosition{1, 32767}));
}

// Every index of a board maps to one cell and back, for wide, tall and square boards.
TEST(CellIndex, CellPositionInvertsCellIndexOverWholeBoards)
{
    struct Size {
        Int16 columns;
        Int16 rows;
    };
    for (const Size size : {Size{15, 10}, Size{1, 7}, Size{7, 1}, Size{3, 2}}) {
        int expected = 0;
        for (int row = 1; row <= size.rows; ++row) {
            for (int column = 1; column <= size.columns; ++column, ++expected) {
                const CellPosition cell{static_cast<Int16>(column), static_cast<Int16>(row)};
                const Int16 k = cellIndex(size.columns, cell.column, cell.row);
                EXPECT_EQ(k, expected);
                EXPECT_EQ(cellPosition(size.columns, k), cell);
            }
        }
    }
}

// Before the first setup the column count is 0; the inverse must fail loudly, not divide
// by zero, and an index past 32767 must not wrap into a valid-looking square.
TEST(CellIndex, ThrowsOnZeroColumnsAndOnOverflow)
{
    EXPECT_THROW((void)cellPosition(0, 0), std::domain_error);
    EXPECT_THROW((void)cellIndex(32767, 1, 3), OverflowError);
    EXPECT_THROW((void)cellIndex(16384, 1, 3), OverflowError);
}

// A grid only exists with bounds from 1, and every access outside them throws rather than
// reading a neighbouring row's cell.
TEST(Grid, ChecksItsBounds)
{
    EXPECT_THROW(Grid<int>(0, 5), std::out_of_range);
    EXPECT_THROW(Grid<int>(5, 0), std::out_of_range);
    EXPECT_THROW(Grid<int>(-1, -1), std::out_of_range);

    Grid<int> grid(4, 3);
    EXPECT_EQ(grid.size(), 12U);
    EXPECT_NO_THROW(grid.at(4, 3));
    EXPECT_THROW(grid.at(0, 1), std::out_of_range);
    EXPECT_THROW(grid.at(5, 1), std::out_of_range);
    EXPECT_THROW(grid.at(1, 0), std::out_of_range);
    EXPECT_THROW(grid.at(1, 4), std::out_of_range);
    EXPECT_THROW(Grid<int>().at(1, 1), std::out_of_range);
}

// The storage offset of a cell is its square index, so loops over storage and over
// (column, row) address the same cell.
TEST(Grid, StoresCellsAtTheirSquareIndex)
{
    Grid<int> grid(4, 3);
    for (Int16 row = 1; row <= 3; ++row)
        for (Int16 column = 1; column <= 4; ++column)
            grid.at(column, row) = cellIndex(4, column, row);
    for (std::size_t i = 0; i < grid.size(); ++i)
        EXPECT_EQ(grid[i], static_cast<int>(i));
}

// A new setup must not see the previous board's mines or counts: sizing replaces both
// grids with all-zero ones of the new size.
TEST(Grid, SizeGridsReplacesBothGridsWithEmptyOnes)
{
    Board board;
    board.columnCount = 15;
    board.rowCount = 10;
    sizeGrids(board);
    board.mineGrid.at(15, 10) = 1;
    board.countGrid.at(1, 1) = 9;

    board.columnCount = 4;
    board.rowCount = 3;
    sizeGrids(board);
    EXPECT_EQ(board.mineGrid.columns(), 4);
    EXPECT_EQ(board.mineGrid.rows(), 3);
    EXPECT_EQ(board.countGrid.columns(), 4);
    EXPECT_EQ(board.countGrid.rows(), 3);
    EXPECT_EQ(board.mineGrid.cells(), std::vector<std::uint8_t>(12, 0));
    EXPECT_EQ(board.countGrid.cells(), std::vector<Int16>(12, 0));

    board.columnCount = 0;
    EXPECT_THROW(sizeGrids(board), std::out_of_range);
}

} // namespace
} // namespace tessfield

namespace tessfield {
namespace {

// The block of a cell is walked column offset outer, row offset inner, and only the cells on
// the board are visited: the flood resumes that walk by offset, the counts and the chord run
// it whole, and both ways must meet the same cells in the same order everywhere, edges and
// corners and one-row or one-column boards included.
TEST(Block, BothWalksVisitTheBoardsCellsOfTheBlockInTheDesignedOrder)
{
    for (const auto &size : {std::pair{1, 1}, {3, 1}, {1, 3}, {3, 3}, {5, 4}}) {
        // Named copies, not structured bindings: clang-tidy's clang 14 cannot capture those.
        const int columns = size.first;
        const int rows = size.second;
        forEachCell(narrowCast16(columns), narrowCast16(rows), [&](Int16 column, Int16 row) {
            std::vector<CellPosition> whole;
            forEachInBlock(narrowCast16(columns), narrowCast16(rows), column, row,
                           [&](Int16 c, Int16 r) { whole.push_back({c, r}); });
            std::vector<CellPosition> byOffset;
            for (std::size_t i = 0; i < BlockOffsets.size(); ++i)
                if (const auto cell = blockCell(narrowCast16(columns), narrowCast16(rows), column, row, i))
                    byOffset.push_back(*cell);
            EXPECT_EQ(whole, byOffset) << columns << " x " << rows << " at " << column << ", " << row;
        });
    }
    std::vector<CellPosition> interior;
    forEachInBlock(Int16{5}, Int16{4}, Int16{2}, Int16{3}, [&](Int16 c, Int16 r) { interior.push_back({c, r}); });
    EXPECT_EQ(interior, (std::vector<CellPosition>{{1, 2}, {1, 3}, {1, 4}, {2, 2}, {2, 3}, {2, 4},
                                                    {3, 2}, {3, 3}, {3, 4}}));
}

} // namespace
} // namespace tessfield
