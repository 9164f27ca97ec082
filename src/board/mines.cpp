#include "mines.h"

#include <algorithm>
#include <cmath>

namespace tessfield {

namespace {

// floor(count * draw + 1): the product in single precision, the sum and the floor in
// double. Because the draw is below 1 the result lies in 1..count.
Int16 drawCoordinate(Int16 count, float draw)
{
    const float product = static_cast<float>(count) * draw;
    return static_cast<Int16>(std::floor(static_cast<double>(product) + 1.0));
}

} // namespace

void placeMines(Board &board, MineRandom &random, double gameId)
{
    auto &grid = board.mineGrid;
    std::fill_n(&grid[0], grid.size(), std::uint8_t{0});
    random.reset(-1);
    random.seed(gameId);

    const auto columns = static_cast<std::size_t>(board.columnCount);
    Int16 placed = 0;
    while (placed < board.mineCount) {
        const Int16 column = drawCoordinate(board.columnCount, random.next());
        const Int16 row = drawCoordinate(board.rowCount, random.next());
        auto &cell = grid[static_cast<std::size_t>(row - 1) * columns
                          + static_cast<std::size_t>(column - 1)];
        if (cell != 0)
            continue;
        cell = 1;
        placed = add16(placed, 1);
    }
}

void countNeighbours(Board &board)
{
    const int columns = board.columnCount;
    const int rows = board.rowCount;
    const auto &mines = board.mineGrid;
    auto &counts = board.countGrid;
    const auto at = [columns](int column, int row) {
        return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns)
            + static_cast<std::size_t>(column - 1);
    };
    for (int row = 1; row <= rows; ++row) {
        const int top = std::max(row - 1, 1);
        const int bottom = std::min(row + 1, rows);
        for (int column = 1; column <= columns; ++column) {
            const int left = std::max(column - 1, 1);
            const int right = std::min(column + 1, columns);
            Int16 m = 0;
            for (int c = left; c <= right; ++c)
                for (int r = top; r <= bottom; ++r)
                    m = static_cast<Int16>(m + (mines[at(c, r)] != 0 ? 1 : 0));
            counts[at(column, row)] = m;
        }
    }
}

} // namespace tessfield
