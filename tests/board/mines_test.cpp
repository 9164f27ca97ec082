// Mine placement from a game ID, and the neighbour counts worked out from it.

#include "board/board.h"
#include "board/mines.h"
#include "board/number_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace tessfield {
namespace {

Board sizedBoard(int columns, int rows, int mines)
{
    Board board;
    board.columnCount = static_cast<Int16>(columns);
    board.rowCount = static_cast<Int16>(rows);
    board.mineCount = static_cast<Int16>(mines);
    sizeGrids(board);
    return board;
}

// (column, row) pairs, which print readably when a layout differs.
using Cells = std::vector<std::pair<int, int>>;

Cells minesOf(const Board &board)
{
    Cells cells;
    for (Int16 row = 1; row <= board.rowCount; ++row)
        for (Int16 column = 1; column <= board.columnCount; ++column)
            if (board.hasMine(column, row))
                cells.push_back({column, row});
    return cells;
}

Cells layout(int columns, int rows, int mines, double gameId)
{
    Board board = sizedBoard(columns, rows, mines);
    MineRandom random;
    placeMines(board, random, gameId);
    return minesOf(board);
}

// The default game is what every player sees first and what bug reports quote; any change
// to the generator, the draw order or the coordinate arithmetic moves these mines.
TEST(PlaceMines, DefaultGameHasItsKnownLayout)
{
    const Cells expected = {
        {9, 1},  {11, 1}, {13, 1}, {14, 1}, {15, 1}, {2, 2},  {4, 2},   {14, 2}, {7, 3},
        {9, 3},  {10, 3}, {12, 3}, {1, 4},  {4, 4},  {5, 4},  {10, 4},  {1, 5},  {3, 5},
        {4, 5},  {9, 5},  {10, 5}, {11, 5}, {12, 5}, {13, 5}, {12, 6},  {14, 6}, {1, 7},
        {2, 7},  {6, 7},  {8, 7},  {10, 7}, {15, 7}, {3, 8},  {5, 8},   {6, 8},  {8, 8},
        {13, 8}, {2, 9},  {8, 9},  {9, 9},  {10, 9}, {1, 10}, {2, 10},  {3, 10}, {7, 10},
    };
    ASSERT_EQ(expected.size(), 45U);
    EXPECT_EQ(layout(15, 10, 45, readNumber("11540")), expected);
}

// The largest boards, nearly full ones above all, take hundreds of thousands of draws; the
// placement loop is tuned for them, and must still put every mine where it always did. The
// fingerprints are FNV-1a over the mine grid in storage order.
TEST(PlaceMines, LargestBoardsKeepTheirKnownLayouts)
{
    struct Case {
        int columns;
        int rows;
        int mines;
        double gameId;
        std::uint64_t fingerprint;
    };
    const std::vector<Case> cases = {
        {181, 181, 32760, 11540.0, 0x3cb645197c9e2079ULL},
        {181, 181, 9828, 11540.0, 0xf60d14c8f787e861ULL},
        {32767, 1, 32766, 7.0, 0x4ab92b93d679ea09ULL},
        {1, 32767, 9830, -3.5, 0x8414b639d0107113ULL},
        {100, 100, 9999, 0.0, 0x5feb687abec0093aULL},
    };
    for (const auto &c : cases) {
        Board board = sizedBoard(c.columns, c.rows, c.mines);
        MineRandom random;
        placeMines(board, random, c.gameId);
        std::uint64_t hash = 1469598103934665603ULL;
        std::size_t mines = 0;
        for (const std::uint8_t cell : board.mineGrid.cells()) {
            hash = (hash ^ cell) * 1099511628211ULL;
            mines += cell != 0 ? 1U : 0U;
        }
        EXPECT_EQ(mines, static_cast<std::size_t>(c.mines)) << c.columns << " x " << c.rows;
        EXPECT_EQ(hash, c.fingerprint) << c.columns << " x " << c.rows << " with " << c.mines;
    }
}

struct CountCase {
    int columns;
    int rows;
    int mines;
    std::size_t placed;
};

// Exactly mineCount distinct cells get a mine: collisions are redrawn, not counted, and a
// count of 0 or below places nothing. cells - 1 mines must still terminate.
TEST(PlaceMines, PlacesExactlyMineCountDistinctMines)
{
    const std::vector<CountCase> cases = {
        {15, 10, 45, 45}, {15, 10, 149, 149}, {15, 10, 0, 0}, {15, 10, -3, 0},
        {1, 1, 0, 0},     {2, 1, 1, 1},       {1, 40, 39, 39}, {40, 1, 39, 39},
        {1, 200, 7, 7},   {200, 1, 7, 7},
    };
    for (const auto &c : cases) {
        for (const double id : {0.0, 11540.0, -7.25}) {
            EXPECT_EQ(layout(c.columns, c.rows, c.mines, id).size(), c.placed)
                << c.columns << " x " << c.rows << " with " << c.mines << ", ID " << id;
        }
    }
}

// Placement clears the grid itself, so mines left over from an earlier call never add up.
TEST(PlaceMines, ClearsPreviousMinesFirst)
{
    Board board = sizedBoard(15, 10, 45);
    for (std::size_t i = 0; i < board.mineGrid.size(); ++i)
        board.mineGrid[i] = 1;
    MineRandom random;
    placeMines(board, random, 11540.0);
    EXPECT_EQ(minesOf(board), layout(15, 10, 45, 11540.0));

    board.mineCount = 0;
    placeMines(board, random, 11540.0);
    EXPECT_TRUE(minesOf(board).empty());
}

// One generator serves every setup; nothing of an earlier game's draws may carry over.
TEST(PlaceMines, SameIdAfterAnotherIdGivesTheSameLayoutAgain)
{
    Board board = sizedBoard(15, 10, 45);
    MineRandom random;
    placeMines(board, random, 11540.0);
    const auto first = minesOf(board);
    placeMines(board, random, 4.0);
    const auto other = minesOf(board);
    placeMines(board, random, 11540.0);
    EXPECT_EQ(minesOf(board), first);
    EXPECT_NE(other, first);
}

// How many of the IDs 0 .. ids - 1 put a mine on each square.
std::vector<int> mineHits(int columns, int rows, int mines, int ids)
{
    Board board = sizedBoard(columns, rows, mines);
    MineRandom random;
    std::vector<int> hits(board.mineGrid.size(), 0);
    for (int id = 0; id < ids; ++id) {
        placeMines(board, random, id);
        for (std::size_t i = 0; i < hits.size(); ++i)
            hits[i] += board.mineGrid[i];
    }
    return hits;
}

// Each cell should be equally likely to hold a mine. For a uniform placement the number
// of IDs (out of n) that mine a given cell is Binomial(n, p); six standard deviations,
// 6 sqrt(n p (1 - p)), leave a chance of about 2e-9 per cell of a false alarm.
TEST(PlaceMines, EveryCellIsEquallyLikelyToHoldAMine)
{
    struct Case {
        int columns;
        int rows;
        int mines;
        int ids;
    };
    // The default board: mean 30 000 per cell, tolerance ~869 (a frequency of 0.0087).
    // One mine on one row tests the column draw alone: mean 5000, tolerance ~421; the row
    // draw must always give row 1 there, or the mine would fall off the grid.
    for (const Case c : {Case{15, 10, 45, 100'000}, Case{64, 1, 1, 320'000}}) {
        const double p = static_cast<double>(c.mines) / (c.columns * c.rows);
        const double tolerance = 6.0 * std::sqrt(c.ids * p * (1.0 - p));
        const auto hits = mineHits(c.columns, c.rows, c.mines, c.ids);
        for (std::size_t i = 0; i < hits.size(); ++i)
            EXPECT_NEAR(hits[i], c.ids * p, tolerance)
                << c.columns << " x " << c.rows << ", square " << i;
    }
}

// The plain definition: mines in the 3x3 block around the cell, the cell included.
Int16 naiveCount(const Board &board, int column, int row)
{
    int m = 0;
    for (int c = column - 1; c <= column + 1; ++c)
        for (int r = row - 1; r <= row + 1; ++r)
            if (c >= 1 && c <= board.columnCount && r >= 1 && r <= board.rowCount
                && board.hasMine(static_cast<Int16>(c), static_cast<Int16>(r)))
                ++m;
    return static_cast<Int16>(m);
}

Board countedBoard(int columns, int rows, const std::vector<CellPosition> &mines)
{
    Board board = sizedBoard(columns, rows, static_cast<int>(mines.size()));
    for (const auto cell : mines)
        board.mineGrid.at(cell.column, cell.row) = 1;
    countNeighbours(board);
    return board;
}

std::vector<Int16> countsOf(const Board &board)
{
    return board.countGrid.cells();
}

struct NeighbourCase {
    const char *name;
    int columns;
    int rows;
    std::vector<CellPosition> mines;
    std::vector<Int16> counts; // row by row
};

// A mine counts itself, so a mine cell is never 0 and the flood never spreads from it;
// edges and corners count only the neighbours that lie on the board.
TEST(CountNeighbours, CountsTheThreeByThreeBlockIncludingTheCell)
{
    const std::vector<NeighbourCase> cases = {
        {"no mines", 3, 2, {}, {0, 0, 0, 0, 0, 0}},
        {"corner mine", 4, 3, {{1, 1}}, {1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0}},
        {"1 x 1", 1, 1, {}, {0}},
        {"one row", 5, 1, {{1, 1}, {3, 1}}, {1, 2, 1, 1, 0}},
        {"one column", 1, 4, {{1, 2}}, {1, 1, 1, 0}},
        {"mine ringed by mines", 3, 3,
         {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}, {1, 3}, {2, 3}, {3, 3}},
         {4, 6, 4, 6, 9, 6, 4, 6, 4}},
        {"safe cell ringed by mines", 3, 3,
         {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {3, 2}, {1, 3}, {2, 3}, {3, 3}},
         {3, 5, 3, 5, 8, 5, 3, 5, 3}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(countsOf(countedBoard(c.columns, c.rows, c.mines)), c.counts) << c.name;
}

// On boards of every shape and density the counts match a plain recount, which catches
// an edge or a wrong storage offset that the hand-made cases miss.
TEST(CountNeighbours, MatchesARecountOnRandomBoards)
{
    std::mt19937 rng(20240601);
    for (int trial = 0; trial < 200; ++trial) {
        const int columns = 1 + static_cast<int>(rng() % 12);
        const int rows = 1 + static_cast<int>(rng() % 12);
        const auto density = rng() % 101;
        std::vector<CellPosition> mines;
        for (int row = 1; row <= rows; ++row)
            for (int column = 1; column <= columns; ++column)
                if (rng() % 100 < density)
                    mines.push_back({static_cast<Int16>(column), static_cast<Int16>(row)});
        const Board board = countedBoard(columns, rows, mines);
        for (int row = 1; row <= rows; ++row)
            for (int column = 1; column <= columns; ++column)
                ASSERT_EQ(board.countGrid.at(static_cast<Int16>(column), static_cast<Int16>(row)),
                          naiveCount(board, column, row))
                    << "trial " << trial << ", cell (" << column << ", " << row << ")";
    }
}

} // namespace
} // namespace tessfield
