// The setup sequence behind both buttons: the controls' busy and ready states, the board
// and squares it builds, the window size, and entries that it refuses.

#include "board_builder.h"
#include "fake_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tessfield {
namespace {

using fixtures::FakeControls;
using fixtures::looks;

const std::vector<std::string> BusyCalls = {
    "setup 0 off", "caption 0 Please wait", "setup 1 off", "caption 1 Please wait",
    "entry 1 off", "entry 2 off", "entry 3 off", "entry 4 off",
};
const std::vector<std::string> ReadyCalls = {
    "setup 0 on", "caption 0 Test Code", "setup 1 on", "caption 1 Play Game",
    "entry 1 on", "entry 2 on", "entry 3 on", "entry 4 on", "focus 1",
};

std::vector<std::string> concat(const std::vector<std::vector<std::string>> &parts)
{
    std::vector<std::string> all;
    for (const auto &part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A game just loaded, with its controls.
struct Window {
    FakeControls controls;
    Game game{controls};
    Window() { game.initialiseForm(); }

    void setup(Int16 index, std::string rows, std::string columns, std::string mines,
               std::string id)
    {
        controls.setEntries(std::move(rows), std::move(columns), std::move(mines), std::move(id));
        game.setupGame(index);
    }
    const Board &board() const { return game.board(); }
    const SquareArray &squares() const { return game.squares(); }
    int coveredCount() const
    {
        int n = 0;
        for (Int16 k = 0; k < squares().indexLimit(); ++k)
            n += squares().background(k) == CoveredColour ? 1 : 0;
        return n;
    }
};

// Both buttons run the same sequence: the controls go busy before anything else, each
// stage is announced while they are busy, the window is sized while drawing, and the
// controls come back with the focus on "Play Game" and an empty status line.
TEST(SetupGame, ReportsEachStageWhileBusyAndEndsReady)
{
    for (const Int16 index : {Game::TestCode, Game::PlayGame}) {
        Window w;
        w.game.setupGame(index);
        EXPECT_EQ(w.controls.calls,
                  concat({BusyCalls,
                          {"status resetting board...", "status picking mine locations...",
                           "status precalculating neighborhoods...", "status drawing screen",
                           "size", "status "},
                          ReadyCalls}))
            << "button " << index;
        for (const auto &state : w.controls.stateAtEachStatus)
            EXPECT_TRUE(FakeControls::isBusy(state)) << "button " << index;
        EXPECT_TRUE(w.controls.isReady());
        EXPECT_EQ(w.controls.state.status, "");
    }
}

// The first setup after loading has nothing to remove (a removal of a square that does
// not exist would fail the setup) and builds the default board, every square covered,
// unflagged and blank.
TEST(SetupGame, FirstSetupBuildsTheDefaultBoard)
{
    Window w;
    w.game.setupGame(Game::PlayGame);
    EXPECT_EQ(w.controls.state.status, "");
    EXPECT_EQ(w.board().rowCount, 10);
    EXPECT_EQ(w.board().columnCount, 15);
    EXPECT_EQ(w.board().mineCount, 45);
    EXPECT_EQ(w.board().countColours,
              (ColourTable{0, 0xFF0000, 0x00FF00, 0x0000FF, 0x800000, 0x000080, 0x00FFFF,
                           0xFF00FF, 0xFFFFFF}));
    ASSERT_EQ(w.squares().indexLimit(), 150);
    for (Int16 k = 0; k < 150; ++k) {
        EXPECT_EQ(w.squares().background(k), CoveredColour) << k;
        EXPECT_EQ(w.squares().tagText(k), "0") << k;
        EXPECT_FALSE(w.squares().hasInscription(k)) << k;
    }
    EXPECT_EQ(w.squares().left(16), 2055.0F);
    EXPECT_EQ(w.squares().top(16), 375.0F);
}

// "Test Code" shows exactly the board "Play Game" hides: the same mines from the same
// entries, every cell uncovered, mines in their colour. A different ID in between must
// not disturb the layout of the next setup.
TEST(SetupGame, TestCodeShowsThePlayGameBoardUncovered)
{
    Window w;
    w.game.setupGame(Game::PlayGame);
    const auto playMines = w.board().mineGrid.cells();
    const auto playCounts = w.board().countGrid.cells();
    EXPECT_EQ(w.coveredCount(), 150);

    w.setup(Game::TestCode, "10", "15", "45", "5");
    EXPECT_NE(w.board().mineGrid.cells(), playMines);
    w.setup(Game::TestCode, "10", "15", "45", "11540");
    EXPECT_EQ(w.board().mineGrid.cells(), playMines);
    EXPECT_EQ(w.board().countGrid.cells(), playCounts);
    EXPECT_EQ(w.coveredCount(), 0);
    for (Int16 k = 0; k < 150; ++k)
        EXPECT_EQ(w.squares().background(k) == MineColour,
                  playMines[static_cast<std::size_t>(k)] != 0)
            << "square " << k;
}

// A setup after a larger board removes exactly the old squares 1 and above and keeps no
// mine or count of the old board; growing again works from the smaller one.
TEST(SetupGame, ResizedBoardsHaveTheirOwnSquaresAndFreshGrids)
{
    Window w;
    w.game.setupGame(Game::TestCode);
    w.setup(Game::PlayGame, "3", "4", "2", "9");
    EXPECT_EQ(w.controls.state.status, "");
    EXPECT_EQ(w.squares().indexLimit(), 12);
    EXPECT_EQ(w.coveredCount(), 12);

    Window fresh;
    fresh.setup(Game::PlayGame, "3", "4", "2", "9");
    EXPECT_EQ(w.board().mineGrid.cells(), fresh.board().mineGrid.cells());
    EXPECT_EQ(w.board().countGrid.cells(), fresh.board().countGrid.cells());

    w.setup(Game::PlayGame, "10", "15", "45", "11540");
    EXPECT_EQ(w.controls.state.status, "");
    EXPECT_EQ(w.squares().indexLimit(), 150);
    EXPECT_EQ(w.coveredCount(), 150);
}

struct SizeCase {
    std::string rows;
    std::string columns;
    float width;
    float height;
};

// Squares lie edge to edge in row order from the template's corner, whatever order they
// are created in (column by column: 3, 1, 4, 2, 5 on 2 x 3), and all are shown. The window
// grows and shrinks to 255 twips per cell plus the template's offset and a 500-twip frame
// allowance, with no minimum.
TEST(SetupGame, LaysOutEverySquareAndFitsTheWindow)
{
    const std::vector<SizeCase> cases = {
        {"10", "15", 6125, 3170}, {"2", "3", 3065, 1130},   {"1", "1", 2555, 875},
        {"30", "40", 12500, 8270}, {"5", "5", 3575, 1895},  {"1", "32767", 8357885, 875},
        {"32767", "1", 2555, 8356205},
    };
    Window w;
    for (const auto &c : cases) {
        w.controls.forgetCalls();
        w.setup(Game::PlayGame, c.rows, c.columns, "3", "1");
        SCOPED_TRACE(c.rows + " x " + c.columns);
        ASSERT_EQ(w.controls.outerSizes.size(), 1U);
        EXPECT_EQ(w.controls.outerSizes[0], std::make_pair(c.width, c.height));
        const int columns = w.board().columnCount;
        ASSERT_EQ(w.squares().indexLimit(), columns * w.board().rowCount);
        for (Int16 k = 0; k < w.squares().indexLimit(); ++k) {
            ASSERT_TRUE(w.squares().exists(k)) << k;
            ASSERT_TRUE(w.squares().visible(k)) << k;
            ASSERT_EQ(w.squares().left(k), static_cast<float>(1800 + 255 * (k % columns))) << k;
            const int row = k / columns;
            ASSERT_EQ(w.squares().top(k), static_cast<float>(120 + 255 * row)) << k;
            ASSERT_EQ(w.squares().width(k), 255.0F) << k;
            ASSERT_EQ(w.squares().height(k), 255.0F) << k;
        }
    }
}

// Squares copy element 0 as it is, so whatever was last drawn on cell (1, 1) (a flag, a
// count) sets the text colour and font of every square of the next board; element 0
// itself is made covered, unflagged and blank again.
TEST(SetupGame, NewSquaresCarryOverElementZerosTextSettings)
{
    Window w;
    w.game.setupGame(Game::PlayGame);
    w.game.onSquareMouseDown(0, RightButton);
    ASSERT_EQ(w.squares().tagText(0), "1");
    w.setup(Game::PlayGame, "4", "5", "0", "1");
    for (Int16 k = 0; k < 20; ++k) {
        EXPECT_EQ(w.squares().textColour(k), 0xFFFFFFU) << k;
        EXPECT_EQ(w.squares().font(k), (FontSpec{"Terminal", 12.0F, false})) << k;
        EXPECT_EQ(w.squares().tagText(k), "0") << k;
        EXPECT_EQ(w.squares().background(k), CoveredColour) << k;
        EXPECT_FALSE(w.squares().hasInscription(k)) << k;
    }

    // Test Code draws (1, 1) with a count of 1 in the default game.
    w.setup(Game::TestCode, "10", "15", "45", "11540");
    ASSERT_EQ(w.squares().inscription(0).text, "1");
    w.game.setupGame(Game::PlayGame);
    for (Int16 k = 0; k < 150; ++k) {
        EXPECT_EQ(w.squares().textColour(k), 0xFF0000U) << k;
        EXPECT_EQ(w.squares().font(k), (FontSpec{"Terminal", 8.0F, true})) << k;
    }
    EXPECT_EQ(w.squares().tagText(0), "0");
    EXPECT_FALSE(w.squares().hasInscription(0));

    // Square 8, cell (9, 1), holds a mine; its glyph must not inherit the bold face.
    w.game.onSquareMouseDown(8, LeftButton);
    EXPECT_EQ(*w.squares().inscription(8).font, (FontSpec{"Wingdings", 8.0F, false}));
}

struct RefusalCase {
    const char *cause;
    std::string rows;
    std::string columns;
    std::string mines;
    std::string id;
};

// Entries that cannot make a board are refused before anything changes: the game in
// progress stays playable exactly as it was, the reason is shown, and the controls come
// back ready rather than stuck on "Please wait". The next valid setup works normally.
TEST(SetupGame, RefusedSetupLeavesTheGameInProgressUntouched)
{
    const std::vector<RefusalCase> cases = {
        {"no rows", "0", "15", "45", "11540"},
        {"negative rows", "-4", "15", "45", "11540"},
        {"no columns", "10", "", "45", "11540"},
        {"too many rows", "40000", "1", "0", "1"},
        {"too many mines", "10", "15", "32768", "11540"},
        {"infinite game ID", "10", "15", "45", "1e999"},
        {"too many cells", "182", "181", "0", "1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.cause);
        Window w;
        w.game.setupGame(Game::PlayGame);
        w.game.onSquareMouseDown(3, RightButton);
        w.game.onSquareMouseDown(149, LeftButton);
        const Board before = w.board();
        const auto squaresBefore = looks(w.squares());
        w.controls.forgetCalls();

        w.setup(Game::PlayGame, c.rows, c.columns, c.mines, c.id);
        EXPECT_EQ(w.board().rowCount, before.rowCount);
        EXPECT_EQ(w.board().columnCount, before.columnCount);
        EXPECT_EQ(w.board().mineCount, before.mineCount);
        EXPECT_EQ(w.board().mineGrid.cells(), before.mineGrid.cells());
        EXPECT_EQ(w.board().countGrid.cells(), before.countGrid.cells());
        EXPECT_EQ(looks(w.squares()), squaresBefore);
        ASSERT_EQ(w.controls.statusHistory.size(), 2U);
        EXPECT_EQ(w.controls.statusHistory[0], "resetting board...");
        EXPECT_FALSE(w.controls.state.status.empty());
        EXPECT_TRUE(w.controls.outerSizes.empty());
        EXPECT_TRUE(w.controls.isReady());
        EXPECT_EQ(w.controls.calls.front(), BusyCalls.front());
        EXPECT_EQ(w.controls.calls.back(), "focus 1");

        w.setup(Game::PlayGame, "3", "4", "2", "9");
        EXPECT_EQ(w.controls.state.status, "");
        EXPECT_EQ(w.squares().indexLimit(), 12);
        EXPECT_EQ(w.board().columnCount, 4);
    }
}

} // namespace
} // namespace tessfield

namespace tessfield {
namespace {

// A setup that fails after the old board was taken down (only running out of memory can do
// that) keeps no half board: the controls come back, the status says so, a press finds no
// board to act on, and the next setup works.
TEST(SetupGame, FailureMidwayLeavesNoHalfBoardAndTheControlsReady)
{
    for (const char *stage : {"picking mine locations...", "drawing screen"}) {
        Window w;
        w.setup(Game::PlayGame, "10", "15", "45", "11540");
        w.controls.failOnStatus = stage;
        w.setup(Game::PlayGame, "4", "5", "3", "2");

        EXPECT_EQ(w.controls.state.status.rfind("setup failed: ", 0), 0U) << stage;
        EXPECT_EQ(w.controls.state.focus, 1) << stage;
        EXPECT_EQ(w.board().columnCount, 0) << stage;
        EXPECT_EQ(w.squares().indexLimit(), 1) << stage;
        EXPECT_FALSE(w.squares().visible(0)) << stage;
        for (const Int16 button : {Int16{1}, Int16{2}, Int16{4}})
            EXPECT_NO_THROW(w.game.onSquareMouseDown(0, button)) << stage;

        w.controls.failOnStatus.clear();
        w.setup(Game::TestCode, "4", "5", "3", "2");
        EXPECT_EQ(w.controls.state.status, "") << stage;
        EXPECT_EQ(w.squares().indexLimit(), 20) << stage;
        EXPECT_EQ(w.coveredCount(), 0) << stage;
    }
}

} // namespace
} // namespace tessfield
