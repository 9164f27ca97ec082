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
    // The 3 x 3 block's sum, taken in two steps: each column's three cells of the rows
    // around this one, then three of those sums side by side. Cells off the board count
    // nothing, which is the rule's skipping of them; the sum is the rule's count, at two
    // additions per cell rather than a walk of nine.
    const int columns = board.columnCount;
    const int rows = board.rowCount;
    const std::uint8_t *const mines = &board.mineGrid[0];
    Int16 *const counts = &board.countGrid[0];
    // Column sums with a zero on either side, for the block's first and last column.
    std::vector<int> sums(static_cast<std::size_t>(columns) + 2, 0);
    for (int row = 0; row < rows; ++row) {
        const std::uint8_t *const here = mines + static_cast<std::ptrdiff_t>(row) * columns;
        const std::uint8_t *const above = row > 0 ? here - columns : nullptr;
        const std::uint8_t *const below = row + 1 < rows ? here + columns : nullptr;
        for (int column = 0; column < columns; ++column) {
            int sum = here[column] != 0 ? 1 : 0;
            if (above != nullptr)
                sum += above[column] != 0 ? 1 : 0;
            if (below != nullptr)
                sum += below[column] != 0 ? 1 : 0;
            sums[static_cast<std::size_t>(column) + 1] = sum;
        }
        Int16 *const out = counts + static_cast<std::ptrdiff_t>(row) * columns;
        for (int column = 0; column < columns; ++column) {
            const auto at = static_cast<std::size_t>(column);
            out[column] = narrowCast16(sums[at] + sums[at + 1] + sums[at + 2]);
        }
    }
}

} // namespace tessfield
