// The mouse on a square (uncover, flag, chord) and the looks a drawn cell takes.

#include "board_builder.h"
#include "fake_controls.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace tessfield {
namespace {

using fixtures::i16;
using fixtures::looks;
using fixtures::TestBoard;

// The counts' colours as the window designs them, entry n for a count of n.
constexpr Colour DesignedCountColour[] = {0, 0xFF0000, 0x00FF00, 0x0000FF, 0x800000,
                                          0x000080, 0x00FFFF, 0xFF00FF, 0xFFFFFF};

// The eight cells around (2, 2) of a 3 x 3 board, for giving it any count.
const std::vector<CellPosition> Ring = {{1, 1}, {2, 1}, {3, 1}, {1, 2},
                                        {3, 2}, {1, 3}, {2, 3}, {3, 3}};

// A count is its bare digit in bold "Terminal" 8 in that count's colour on silver; the
// painter and the flood both tell covered from uncovered by the background alone.
TEST(DrawCell, ShowsEachCountInItsColour)
{
    for (int n = 1; n <= 8; ++n) {
        TestBoard t(3, 3, std::vector<CellPosition>(Ring.begin(), Ring.begin() + n));
        t.draw(2, 2);
        const Int16 k = t.index(2, 2);
        ASSERT_TRUE(t.squares.hasInscription(k)) << "count " << n;
        const Inscription inscription = t.squares.inscription(k);
        EXPECT_EQ(inscription.text, std::to_string(n));
        EXPECT_EQ(*inscription.font, (FontSpec{"Terminal", 8.0F, true})) << "count " << n;
        EXPECT_EQ(inscription.colour, DesignedCountColour[n]) << "count " << n;
        EXPECT_EQ(t.squares.background(k), 0xC0C0C0U);
        EXPECT_EQ(t.squares.tagText(k), "0");
    }
}

// A mine shows the bomb glyph whatever its count (here 2), and a zero is left blank:
// both must erase whatever was drawn before, such as a flag's "X".
TEST(DrawCell, ShowsMinesAndBlankZerosOverAnyEarlierDrawing)
{
    TestBoard t(4, 1, {{1, 1}, {2, 1}});
    t.press(1, 1, RightButton);
    t.press(4, 1, RightButton);
    t.draw(1, 1);
    t.draw(4, 1);

    const Inscription mine = t.squares.inscription(t.index(1, 1));
    EXPECT_EQ(mine.text, "M");
    EXPECT_EQ(*mine.font, (FontSpec{"Wingdings", 8.0F, false}));
    EXPECT_EQ(mine.colour, 0x000000U);
    EXPECT_EQ(t.squares.background(t.index(1, 1)), 0x8080FFU);
    EXPECT_EQ(t.tag(1, 1), "1");

    EXPECT_FALSE(t.squares.hasInscription(t.index(4, 1)));
    EXPECT_EQ(t.squares.background(t.index(4, 1)), 0xC0C0C0U);
    EXPECT_EQ(t.tag(4, 1), "1");
}

// A chord redraws uncovered cells, so drawing must be idempotent.
TEST(DrawCell, DrawingTwiceLooksLikeDrawingOnce)
{
    TestBoard t(3, 3, {{1, 1}, {2, 1}, {3, 1}});
    for (const auto cell : {CellPosition{1, 1}, CellPosition{2, 2}, CellPosition{3, 3}})
        t.draw(cell.column, cell.row);
    const auto once = looks(t.squares);
    for (const auto cell : {CellPosition{1, 1}, CellPosition{2, 2}, CellPosition{3, 3}})
        t.draw(cell.column, cell.row);
    EXPECT_EQ(looks(t.squares), once);
}

// Reveal-all draws every cell, flagged ones included, and leaves the flag tags alone.
TEST(RevealAll, UncoversEveryCellAndKeepsFlagTags)
{
    TestBoard t(5, 3, {{1, 1}, {1, 3}});
    t.press(1, 1, RightButton);
    t.press(4, 2, RightButton);
    revealAll(t.board, t.squares);
    EXPECT_EQ(t.coveredCount(), 0);
    EXPECT_EQ(t.squares.background(t.index(1, 3)), MineColour);
    EXPECT_EQ(t.tag(1, 1), "1");
    EXPECT_EQ(t.tag(4, 2), "1");
    EXPECT_EQ(t.tag(5, 3), "0");
    EXPECT_EQ(t.squares.changes().cells.size(), 15U);
}

// 5 x 3 with mines at (1, 1) and (1, 3): (2, 2) counts 2, columns 3 to 5 count 0.
TestBoard chordBoard()
{
    return TestBoard(5, 3, {{1, 1}, {1, 3}});
}

struct PressCase {
    const char *name;
    std::function<void(TestBoard &)> before;
    int column;
    int row;
    Int16 button;
};

// Presses that the rules ignore must change no square at all: not its colour, tag or
// drawing, and must not even redraw it.
TEST(SquareMouseDown, IgnoresPressesThatTheRulesDoNotActOn)
{
    const auto uncover22 = [](TestBoard &t) { t.press(2, 2, LeftButton); };
    const auto flag42 = [](TestBoard &t) { t.press(4, 2, RightButton); };
    const auto flag11 = [](TestBoard &t) { t.press(1, 1, RightButton); };
    const std::vector<PressCase> cases = {
        {"left on a flagged cell", flag42, 4, 2, LeftButton},
        {"left on a flagged mine", flag11, 1, 1, LeftButton},
        {"left on an uncovered cell", uncover22, 2, 2, LeftButton},
        {"right on an uncovered cell", uncover22, 2, 2, RightButton},
        {"middle on a covered cell", [](TestBoard &) {}, 4, 2, MiddleButton},
        {"middle on a covered mine", [](TestBoard &) {}, 1, 1, MiddleButton},
        {"middle with too few flags",
         [&](TestBoard &t) { uncover22(t); t.press(1, 1, RightButton); }, 2, 2, MiddleButton},
        {"middle with too many flags",
         [&](TestBoard &t) {
             uncover22(t);
             t.press(1, 1, RightButton);
             t.press(1, 2, RightButton);
             t.press(1, 3, RightButton);
         },
         2, 2, MiddleButton},
    };
    for (const auto &c : cases) {
        TestBoard t = chordBoard();
        c.before(t);
        t.squares.clearChanges();
        const auto before = looks(t.squares);
        t.press(c.column, c.row, c.button);
        EXPECT_EQ(looks(t.squares), before) << c.name;
        EXPECT_TRUE(t.squares.changes().cells.empty()) << c.name;
    }
}

// Only the values 1, 2 and 4 act; a press while another button is held reports a sum and
// must not be taken for one of them, on a mine or anywhere else.
TEST(SquareMouseDown, IgnoresButtonCombinations)
{
    for (const Int16 button : {i16(0), i16(3), i16(5), i16(6), i16(7), i16(8), i16(-1)}) {
        TestBoard t = chordBoard();
        t.press(2, 2, LeftButton);
        t.squares.clearChanges();
        const auto before = looks(t.squares);
        t.press(1, 1, button);
        t.press(4, 2, button);
        t.press(2, 2, button);
        EXPECT_EQ(looks(t.squares), before) << "button " << button;
        EXPECT_TRUE(t.squares.changes().cells.empty()) << "button " << button;
    }
}

// The right button puts a white 12-point "X" on a covered cell and takes it off again; the
// tag alone records the flag, and the cell stays covered either way.
TEST(SquareMouseDown, RightButtonTogglesTheFlag)
{
    TestBoard t = chordBoard();
    const Int16 k = t.index(4, 2);
    t.press(4, 2, RightButton);
    EXPECT_EQ(t.tag(4, 2), "1");
    EXPECT_TRUE(t.covered(4, 2));
    ASSERT_TRUE(t.squares.hasInscription(k));
    EXPECT_EQ(t.squares.inscription(k).text, "X");
    EXPECT_EQ(t.squares.inscription(k).colour, 0xFFFFFFU);
    EXPECT_EQ(*t.squares.inscription(k).font, (FontSpec{"Terminal", 12.0F, false}));

    t.press(4, 2, RightButton);
    EXPECT_EQ(t.tag(4, 2), "0");
    EXPECT_TRUE(t.covered(4, 2));
    EXPECT_FALSE(t.squares.hasInscription(k));
    // The flag's settings stay on the square; only the drawing goes.
    EXPECT_EQ(t.squares.textColour(k), 0xFFFFFFU);
    EXPECT_EQ(t.squares.font(k), (FontSpec{"Terminal", 12.0F, false}));
}

// Uncovering a mine, or chording round a flag on a safe cell that completes the count,
// loses the game: every cell is drawn, mines in their colour, flags keep their tags.
TEST(SquareMouseDown, LosingRevealsTheWholeBoard)
{
    const std::vector<PressCase> cases = {
        {"left on a mine", [](TestBoard &t) { t.press(5, 1, RightButton); }, 1, 3, LeftButton},
        {"chord round a wrong flag",
         [](TestBoard &t) {
             t.press(2, 2, LeftButton);
             t.press(1, 1, RightButton);
             t.press(1, 2, RightButton);
             t.press(5, 1, RightButton);
         },
         2, 2, MiddleButton},
    };
    for (const auto &c : cases) {
        TestBoard t = chordBoard();
        c.before(t);
        t.press(c.column, c.row, c.button);
        EXPECT_EQ(t.coveredCount(), 0) << c.name;
        EXPECT_EQ(t.squares.background(t.index(1, 1)), MineColour) << c.name;
        EXPECT_EQ(t.squares.background(t.index(1, 3)), MineColour) << c.name;
        EXPECT_EQ(t.squares.background(t.index(5, 1)), RevealedColour) << c.name;
        EXPECT_EQ(t.tag(5, 1), "1") << c.name;
    }
}

// With as many correct flags as its count, a chord uncovers the block's mine-free cells
// and the zeros among them spread; the flagged mines stay covered.
TEST(SquareMouseDown, ChordWithCorrectFlagsFloodsTheBlock)
{
    TestBoard t = chordBoard();
    t.press(2, 2, LeftButton);
    ASSERT_EQ(t.coveredCount(), 14); // a count of 2 uncovers only itself
    t.press(1, 1, RightButton);
    t.press(1, 3, RightButton);
    t.press(2, 2, MiddleButton);
    for (int row = 1; row <= 3; ++row)
        for (int column = 1; column <= 5; ++column)
            EXPECT_EQ(t.covered(column, row), column == 1 && row != 2)
                << "(" << column << ", " << row << ")";
    EXPECT_EQ(t.tag(1, 1), "1");
    EXPECT_TRUE(t.squares.hasInscription(t.index(1, 1))); // the "X" is untouched
}

// A chord on a zero redraws its block (column offset outer, row offset inner) and leaves
// every square looking as it did.
TEST(SquareMouseDown, ChordOnAZeroRedrawsItsBlockWithoutVisibleChange)
{
    TestBoard t = chordBoard();
    t.press(5, 2, LeftButton);
    ASSERT_EQ(t.coveredCount(), 3); // the mines' column stays covered
    t.squares.clearChanges();
    const auto before = looks(t.squares);
    t.press(5, 2, MiddleButton);
    EXPECT_EQ(looks(t.squares), before);
    EXPECT_EQ(t.squares.changes().cells,
              (std::vector<Int16>{t.index(4, 1), t.index(4, 2), t.index(4, 3), t.index(5, 1),
                                  t.index(5, 2), t.index(5, 3)}));
}

// Before the first setup there are no grids and the column count is 0, so every button,
// the middle one included (it would divide by 0), must be ignored without a fault; after
// a setup an index that names no cell is ignored too.
TEST(SquareMouseDown, IgnoresPressesWithoutABoard)
{
    fixtures::FakeControls controls;
    Game game(controls);
    const auto pressAll = [&game](std::initializer_list<int> indices) {
        for (const int index : indices)
            for (const Int16 button : {LeftButton, RightButton, MiddleButton, i16(3)})
                EXPECT_NO_THROW(game.onSquareMouseDown(i16(index), button));
    };
    const auto designed = looks(game.squares());
    pressAll({0});
    game.initialiseForm();
    pressAll({0, 1, -1});
    EXPECT_EQ(looks(game.squares()), designed);
    EXPECT_TRUE(game.squares().changes().cells.empty());

    controls.setEntries("2", "2", "0", "1");
    game.setupGame(Game::PlayGame);
    (void)game.takeChanges();
    const auto built = looks(game.squares());
    pressAll({4, -1, 32767});
    EXPECT_EQ(looks(game.squares()), built);
}

} // namespace
} // namespace tessfield
