#include "mines.h"

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
    return static_cast<Int16>((static_cast<std::int64_t>(scaled) >> 24) + 1);
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
        const Int16 column = drawCoordinate(columnCount, local.nextBits());
        const Int16 row = drawCoordinate(rowCount, local.nextBits());
        std::uint8_t &cell = cells[static_cast<std::size_t>(row - 1) * columns
                                   + static_cast<std::size_t>(column - 1)];
        placed += cell == 0 ? 1 : 0;
        cell = 1;
    }
    random = local;
}

void countNeighbours(Board &board)
{
    // Each count is the sum of three stacked row triples (a cell and its left and right
    // neighbours). The triples of the rows above, at and below the current one are kept in
    // a rolling buffer, so every mine flag is read three times instead of nine and the
    // inner loops run straight along a row.
    const auto columns = static_cast<std::size_t>(board.columnCount);
    const int rows = board.rowCount;
    if (columns == 0 || rows < 1)
        return;
    const std::uint8_t *const mines = &board.mineGrid[0];
    Int16 *const counts = &board.countGrid[0];
    std::vector<std::uint8_t> triples(4 * columns, 0); // three rows and a row of zeros
    const auto rowTriples = [&](int row) -> std::uint8_t * {
        return &triples[static_cast<std::size_t>(row % 3) * columns];
    };
    const std::uint8_t *const none = &triples[3 * columns];
    const auto fillTriples = [&](int row) {
        const std::uint8_t *m = mines + static_cast<std::size_t>(row - 1) * columns;
        std::uint8_t *out = rowTriples(row);
        for (std::size_t c = 0; c < columns; ++c) {
            const int left = c > 0 && m[c - 1] != 0 ? 1 : 0;
            const int right = c + 1 < columns && m[c + 1] != 0 ? 1 : 0;
            out[c] = static_cast<std::uint8_t>(left + (m[c] != 0 ? 1 : 0) + right);
        }
    };
    fillTriples(1);
    for (int row = 1; row <= rows; ++row) {
        if (row < rows)
            fillTriples(row + 1);
        const std::uint8_t *above = row > 1 ? rowTriples(row - 1) : none;
        const std::uint8_t *at = rowTriples(row);
        const std::uint8_t *below = row < rows ? rowTriples(row + 1) : none;
        Int16 *out = counts + static_cast<std::size_t>(row - 1) * columns;
        for (std::size_t c = 0; c < columns; ++c)
            out[c] = static_cast<Int16>(above[c] + at[c] + below[c]);
    }
}

} // namespace tessfield
