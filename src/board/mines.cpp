#include "mines.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessfield {

namespace {

// floor(count * draw + 1): the product in single precision, the sum and the floor in
// double. Because the draw is below 1 the result lies in 1..count.
//
// Worked from the draw's 24 bits, draw = bits * 2^-24: scaling by a power of two changes
// no rounding, so count * bits in single precision is that product times 2^24, and it is a
// whole number (exact below 2^24, rounded to a multiple of a power of two above). Adding 1
// in double is exact, so the floor is that whole number shifted down by 24, plus 1. The
// same coordinate as from the float draw, without a scale, a widening and a floor() call
// in the loop that places nearly 32 767 mines.
Int16 drawCoordinate(Int16 count, std::uint32_t bits)
{
    const float scaled = static_cast<float>(count) * static_cast<float>(bits);
    return narrowCast16((static_cast<std::int64_t>(scaled) >> 24) + 1);
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
    std::uint8_t *const cells = &grid[0];
    // Counted in int: placed never passes mineCount, which is below the number of cells.
    // A draw that lands on a mine counts nothing and changes nothing; doing that without a
    // branch keeps a half-full board from mispredicting every other draw.
    const int mines = board.mineCount;
    int placed = 0;
    while (placed < mines) {
        const Int16 column = drawCoordinate(columnCount, local.nextBits());
        const Int16 row = drawCoordinate(rowCount, local.nextBits());
        std::uint8_t &cell = cells[static_cast<std::size_t>(cellIndexUnchecked(columnCount, column, row))];
        placed += cell == 0 ? 1 : 0;
        cell = 1;
    }
    random = local;
}

void countNeighbours(Board &board)
{
    // The 3 x 3 block's sum, taken in two steps over the cells in storage order: each cell's
    // column of three (itself, the cell above, the cell below), then three of those sums
    // side by side. Cells off the board count nothing, which is the rule's skipping of
    // them; the sum is the rule's count, at a few additions per cell rather than a walk of
    // nine. Passes over the whole board, with only two corrections per row, keep a board of
    // one column (32 767 rows of one cell) as cheap per cell as a square one.
    const auto columns = static_cast<std::size_t>(board.columnCount);
    const std::size_t cells = board.mineGrid.size();
    const std::uint8_t *const mines = &board.mineGrid[0];
    Int16 *const counts = &board.countGrid[0];
    // Column sums (at most 3), cell k's at k + 1: a zero on either end stands for the cells
    // before the first and after the last.
    std::vector<std::uint8_t> sums(cells + 2, 0);
    std::uint8_t *const sum = sums.data();
    for (std::size_t k = 0; k < cells; ++k)
        sum[k + 1] = mines[k] != 0 ? 1 : 0;
    for (std::size_t k = columns; k < cells; ++k)
        sum[k + 1] = static_cast<std::uint8_t>(sum[k + 1] + (mines[k - columns] != 0 ? 1 : 0));
    for (std::size_t k = 0; k + columns < cells; ++k)
        sum[k + 1] = static_cast<std::uint8_t>(sum[k + 1] + (mines[k + columns] != 0 ? 1 : 0));
    if (columns == 1) {
        for (std::size_t k = 0; k < cells; ++k)
            counts[k] = sum[k + 1];
        return;
    }
    for (std::size_t k = 0; k < cells; ++k)
        counts[k] = static_cast<Int16>(sum[k] + sum[k + 1] + sum[k + 2]);
    // A row's first cell took in the last cell of the row above, and its last cell the
    // first of the row below: neither is its neighbour.
    for (std::size_t first = 0; first < cells; first += columns) {
        const std::size_t last = first + columns - 1;
        counts[first] = static_cast<Int16>(counts[first] - sum[first]);
        counts[last] = static_cast<Int16>(counts[last] - sum[last + 2]);
    }
}

} // namespace tessfield
