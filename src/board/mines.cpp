#include "mines.h"

#include <algorithm>
#include <cmath>

namespace tessfield {

namespace {

// floor(count * draw + 1): the product in single precision, the sum and the floor in
// double. Because the draw is below 1 the result lies in 1..count. The sum is positive, so
// truncating is flooring; it spares a call to floor() in the placement's inner loop.
Int16 drawCoordinate(Int16 count, float draw)
{
    const float product = static_cast<float>(count) * draw;
    return static_cast<Int16>(static_cast<int>(static_cast<double>(product) + 1.0));
}

} // namespace

void placeMines(Board &board, MineRandom &random, double gameId)
{
    auto &grid = board.mineGrid;
    std::fill_n(&grid[0], grid.size(), std::uint8_t{0});
    random.reset(-1);
    random.seed(gameId);

    // The loop works on local copies: a store to the byte grid may alias anything, so the
    // generator's state and the bounds would otherwise go through memory on every draw.
    MineRandom local = random;
    const Int16 columnCount = board.columnCount;
    const Int16 rowCount = board.rowCount;
    const auto columns = static_cast<std::size_t>(columnCount);
    std::uint8_t *const cells = &grid[0];
    // Counted in int: placed never passes mineCount, which is below the number of cells.
    // A draw that lands on a mine counts nothing and changes nothing; doing that without a
    // branch keeps a half-full board from mispredicting every other draw.
    const int mines = board.mineCount;
    int placed = 0;
    while (placed < mines) {
        const Int16 column = drawCoordinate(columnCount, local.next());
        const Int16 row = drawCoordinate(rowCount, local.next());
        std::uint8_t &cell = cells[static_cast<std::size_t>(row - 1) * columns
                                   + static_cast<std::size_t>(column - 1)];
        placed += cell == 0 ? 1 : 0;
        cell = 1;
    }
    random = local;
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
