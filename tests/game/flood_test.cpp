// The cascading uncover: which cells a flood draws, in which order, and on which boards.

#include "board_builder.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace tessfield {
namespace {

using fixtures::i16;
using fixtures::TestBoard;

// The flood exactly as the rule reads, recursion and all: draw the cell; if its count is
// 0, walk the offsets column outer, row inner, and follow each neighbour that is still
// covered at the moment it is looked at. The game's explicit stack must match it draw for
// draw, since the order is what the player sees on a slow machine.
class ReferenceFlood {
public:
    explicit ReferenceFlood(const TestBoard &t) : t_(t)
    {
        for (int k = 0; k < t.cells(); ++k)
            covered_.push_back(t.squares.background(fixtures::i16(k)) == CoveredColour);
    }

    std::vector<Int16> run(int column, int row)
    {
        flood(column, row);
        return drawn_;
    }

private:
    void flood(int column, int row)
    {
        const Int16 k = t_.index(column, row);
        drawn_.push_back(k);
        covered_[static_cast<std::size_t>(k)] = false;
        if (t_.board.countGrid.at(i16(column), i16(row)) != 0)
            return;
        for (int dc = -1; dc <= 1; ++dc) {
            for (int dr = -1; dr <= 1; ++dr) {
                const int c = column + dc;
                const int r = row + dr;
                if (c > t_.board.columnCount || c <= 0 || r <= 0 || r > t_.board.rowCount)
                    continue;
                if (covered_[static_cast<std::size_t>(t_.index(c, r))])
                    flood(c, r);
            }
        }
    }

    const TestBoard &t_;
    std::vector<bool> covered_;
    std::vector<Int16> drawn_;
};

// The cells a flood from (column, row) must uncover on an all-covered board, found
// breadth first: the connected zero region (8-neighbourhood) and the cells bordering it.
std::set<Int16> zeroRegionAndBorder(const TestBoard &t, int column, int row)
{
    const auto count = [&t](int c, int r) { return t.board.countGrid.at(i16(c), i16(r)); };
    std::set<Int16> region{t.index(column, row)};
    if (count(column, row) != 0)
        return region;
    std::set<Int16> seenZeros{t.index(column, row)};
    std::deque<CellPosition> pending{{i16(column), i16(row)}};
    while (!pending.empty()) {
        const CellPosition zero = pending.front();
        pending.pop_front();
        for (int c = zero.column - 1; c <= zero.column + 1; ++c) {
            for (int r = zero.row - 1; r <= zero.row + 1; ++r) {
                if (c < 1 || c > t.board.columnCount || r < 1 || r > t.board.rowCount)
                    continue;
                region.insert(t.index(c, r));
                if (count(c, r) == 0 && seenZeros.insert(t.index(c, r)).second)
                    pending.push_back({i16(c), i16(r)});
            }
        }
    }
    return region;
}

std::set<Int16> uncovered(const TestBoard &t)
{
    std::set<Int16> cells;
    for (int k = 0; k < t.cells(); ++k)
        if (t.squares.background(fixtures::i16(k)) != CoveredColour)
            cells.insert(fixtures::i16(k));
    return cells;
}

// Many small boards of every density, some with flags and cells uncovered beforehand,
// catch offset-order and stack-handling faults that a handful of hand-made boards miss.
TEST(FloodReveal, DrawsCellsInTheOrderOfTheRecursiveRule)
{
    std::mt19937 rng(7);
    const auto below = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int trial = 0; trial < 500; ++trial) {
        const int columns = 1 + below(10);
        const int rows = 1 + below(10);
        const int density = below(36);
        std::vector<CellPosition> mines;
        std::vector<CellPosition> safe;
        for (int row = 1; row <= rows; ++row)
            for (int column = 1; column <= columns; ++column)
                (below(100) < density ? mines : safe).push_back({i16(column), i16(row)});
        if (safe.empty())
            continue;
        TestBoard t(columns, rows, mines);
        const bool untouched = trial % 2 == 0;
        for (int i = 0; i < columns * rows / 8; ++i) {
            const auto cell = safe[static_cast<std::size_t>(below(static_cast<int>(safe.size())))];
            if (untouched || i % 2 == 0)
                t.press(cell.column, cell.row, RightButton);
            else
                t.draw(cell.column, cell.row);
        }
        const auto start = safe[static_cast<std::size_t>(below(static_cast<int>(safe.size())))];
        const auto expectedOrder = ReferenceFlood(t).run(start.column, start.row);
        t.squares.clearChanges();

        t.flood(start.column, start.row);
        SCOPED_TRACE("trial " + std::to_string(trial) + ": " + std::to_string(columns) + " x "
                     + std::to_string(rows) + " from (" + std::to_string(start.column) + ", "
                     + std::to_string(start.row) + ")");
        ASSERT_EQ(t.squares.changes().cells, expectedOrder);
        if (untouched) {
            ASSERT_EQ(uncovered(t), zeroRegionAndBorder(t, start.column, start.row));
        }
    }
}

// A press on a numbered cell uncovers it alone; one on a zero in the corner takes its
// three neighbours and stops where they are numbered. Mines at (3, 1), (3, 3), (1, 3).
TEST(FloodReveal, StopsAtNumberedCells)
{
    TestBoard t(4, 4, {{3, 1}, {3, 3}, {1, 3}});
    t.press(2, 2, LeftButton);
    EXPECT_EQ(uncovered(t), (std::set<Int16>{t.index(2, 2)}));
    t.squares.clearChanges();
    t.press(1, 1, LeftButton);
    EXPECT_EQ(t.squares.changes().cells,
              (std::vector<Int16>{t.index(1, 1), t.index(1, 2), t.index(2, 1)}));
    EXPECT_EQ(t.coveredCount(), 12);
}

// A flag does not stop the flood: the cell is drawn with its true look, the "X" goes, and
// the tag stays "1" because only the right button changes tags.
TEST(FloodReveal, UncoversFlaggedCellsButKeepsTheirTags)
{
    TestBoard t(5, 1, {{5, 1}});
    t.press(2, 1, RightButton);
    t.press(4, 1, RightButton);
    t.press(1, 1, LeftButton);
    EXPECT_EQ(t.coveredCount(), 1);
    EXPECT_EQ(t.tag(2, 1), "1");
    EXPECT_FALSE(t.squares.hasInscription(t.index(2, 1)));
    EXPECT_EQ(t.tag(4, 1), "1");
    EXPECT_EQ(t.squares.inscription(t.index(4, 1)).text, "1");
    EXPECT_TRUE(t.covered(5, 1));
}

struct LargeCase {
    int columns;
    int rows;
};

// On a mine-free board one press uncovers everything, each cell drawn once. The region
// is as large as the board admits, so a recursive flood would need tens of thousands of
// nested calls; these must complete without exhausting the stack.
TEST(FloodReveal, UncoversWholeMineFreeBoardsOfEveryShape)
{
    for (const LargeCase size : {LargeCase{1, 32767}, LargeCase{32767, 1}, LargeCase{181, 181},
                                 LargeCase{1, 1}}) {
        TestBoard t(size.columns, size.rows);
        t.press((size.columns + 1) / 2, (size.rows + 1) / 2, LeftButton);
        EXPECT_EQ(t.coveredCount(), 0) << size.columns << " x " << size.rows;
        EXPECT_EQ(t.squares.changes().cells.size(), static_cast<std::size_t>(t.cells()));
    }
}

} // namespace
} // namespace tessfield
