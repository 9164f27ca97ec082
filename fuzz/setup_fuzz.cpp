// Fuzz target for the whole setup at model level: four arbitrary entry texts, then a few
// presses, through tessfield::Game with the window's controls faked.
//
// Every run must end in one of two ways, and the controls must be ready in both:
//  - refused: the status line gives the reason and the previous board (record, grids and
//    every square's look, a game in progress included) is exactly as it was;
//  - accepted: a board that satisfies every invariant, worked out here independently of
//    the setup code: the size read from the entries, exactly the clamped number of mines
//    (none when that number is 0 or below), counts that agree with a recount, grids and
//    squares sized rows x columns, and the same layout from both setup buttons.

#include "board/number_reader.h"
#include "board_builder.h"
#include "entry_split.h"
#include "fake_controls.h"
#include "fuzz_check.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tessfield;
using fixtures::FakeControls;

// What the player should see: an entry's value as a whole number in 16 bits, if it has one.
std::optional<int> integerOf(std::string_view text)
{
    const double value = readNumber(text);
    if (!std::isfinite(value))
        return std::nullopt;
    const double nearest = std::nearbyint(value);
    if (nearest < -32768.0 || nearest > 32767.0)
        return std::nullopt;
    return static_cast<int>(nearest);
}

struct Expected {
    std::string refusal; // empty when the entries make a board
    int rows = 0;
    int columns = 0;
    int mines = 0; // clamped
};

Expected expectedOutcome(const std::array<std::string, 4> &entries)
{
    Expected e;
    const auto rows = integerOf(entries[0]);
    const auto columns = integerOf(entries[1]);
    const auto mines = integerOf(entries[2]);
    if (!rows || *rows < 1) {
        e.refusal = refusals::Rows;
    } else if (!columns || *columns < 1) {
        e.refusal = refusals::Columns;
    } else if (!mines) {
        e.refusal = refusals::Mines;
    } else if (!std::isfinite(readNumber(entries[3]))) {
        e.refusal = refusals::GameId;
    } else if (*rows * *columns > 32767) {
        e.refusal = refusals::Cells;
    } else {
        e.rows = *rows;
        e.columns = *columns;
        const int cells = *rows * *columns;
        e.mines = *mines >= cells ? cells - 1 : *mines;
    }
    return e;
}

struct Snapshot {
    Int16 rows;
    Int16 columns;
    Int16 mines;
    std::vector<std::uint8_t> mineGrid;
    std::vector<Int16> countGrid;
    std::vector<fixtures::Look> looks;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshot(const Game &game)
{
    const Board &b = game.board();
    return {b.rowCount, b.columnCount, b.mineCount, b.mineGrid.cells(), b.countGrid.cells(),
            fixtures::looks(game.squares())};
}

// The board record and grids against the expected parameters, and the counts recounted.
void checkBoard(const Board &board, const Expected &e)
{
    FUZZ_REQUIRE(board.rowCount == e.rows && board.columnCount == e.columns);
    FUZZ_REQUIRE(board.mineCount == e.mines);
    const auto cells = static_cast<std::size_t>(e.rows) * static_cast<std::size_t>(e.columns);
    FUZZ_REQUIRE(board.mineGrid.columns() == e.columns && board.mineGrid.rows() == e.rows);
    FUZZ_REQUIRE(board.countGrid.columns() == e.columns && board.countGrid.rows() == e.rows);
    FUZZ_REQUIRE(board.mineGrid.size() == cells && board.countGrid.size() == cells);

    const auto &mines = board.mineGrid.cells();
    const auto placed = std::count_if(mines.begin(), mines.end(), [](auto m) { return m != 0; });
    FUZZ_REQUIRE(placed == std::max(0, e.mines));

    for (int row = 1; row <= e.rows; ++row) {
        for (int column = 1; column <= e.columns; ++column) {
            int recount = 0;
            for (int r = std::max(1, row - 1); r <= std::min(e.rows, row + 1); ++r)
                for (int c = std::max(1, column - 1); c <= std::min(e.columns, column + 1); ++c)
                    recount += mines[static_cast<std::size_t>((r - 1) * e.columns + c - 1)] != 0;
            const auto k = static_cast<std::size_t>((row - 1) * e.columns + column - 1);
            FUZZ_REQUIRE(board.countGrid[k] == recount);
        }
    }
}

// Every square of the new board exists, is shown at its place, carries no flag, and is
// covered ("Play Game") or shows its cell uncovered ("Test Code").
void checkSquares(const Game &game, bool uncovered)
{
    const Board &board = game.board();
    const SquareArray &squares = game.squares();
    const int cells = board.rowCount * board.columnCount;
    FUZZ_REQUIRE(squares.indexLimit() == cells);
    const float left0 = squares.left(0);
    const float top0 = squares.top(0);
    for (int k = 0; k < cells; ++k) {
        const auto index = static_cast<Int16>(k);
        FUZZ_REQUIRE(squares.exists(index) && squares.visible(index));
        const int column = k % board.columnCount;
        const int row = k / board.columnCount;
        FUZZ_REQUIRE(squares.left(index) == static_cast<float>(column) * squares.width(0) + left0);
        FUZZ_REQUIRE(squares.top(index) == static_cast<float>(row) * squares.height(0) + top0);
        FUZZ_REQUIRE(squares.tagText(index) == NoFlagTag);
        const bool mine = board.mineGrid[static_cast<std::size_t>(k)] != 0;
        const Int16 count = board.countGrid[static_cast<std::size_t>(k)];
        if (!uncovered) {
            FUZZ_REQUIRE(isCovered(squares, index) && !squares.hasInscription(index));
            continue;
        }
        FUZZ_REQUIRE(squares.background(index) == (mine ? MineColour : RevealedColour));
        if (mine)
            FUZZ_REQUIRE(squares.inscription(index).text == MineGlyph);
        else if (count > 0)
            FUZZ_REQUIRE(squares.inscription(index).text == std::to_string(count));
        else
            FUZZ_REQUIRE(!squares.hasInscription(index));
    }
}

// A few presses on the new board: flags only ever "0" or "1", a shown mine only on a board
// that is uncovered everywhere, and no square covered again once uncovered.
void play(Game &game, const std::vector<fuzz::FuzzPress> &presses)
{
    const SquareArray &squares = game.squares();
    const int cells = game.board().rowCount * game.board().columnCount;
    std::vector<bool> covered(static_cast<std::size_t>(cells));
    for (int k = 0; k < cells; ++k)
        covered[static_cast<std::size_t>(k)] = isCovered(squares, static_cast<Int16>(k));
    constexpr std::size_t MaxPresses = 24;
    for (std::size_t p = 0; p < std::min(presses.size(), MaxPresses); ++p) {
        // Positions reach one square past each end, which must be ignored.
        const int index = presses[p].position % (cells + 2) - 1;
        game.onSquareMouseDown(static_cast<Int16>(index), static_cast<Int16>(presses[p].button % 8));
        bool mineShown = false;
        bool anyCovered = false;
        for (int k = 0; k < cells; ++k) {
            const auto i = static_cast<Int16>(k);
            const bool now = isCovered(squares, i);
            FUZZ_REQUIRE(!now || covered[static_cast<std::size_t>(k)]);
            covered[static_cast<std::size_t>(k)] = now;
            anyCovered = anyCovered || now;
            mineShown = mineShown || squares.background(i) == MineColour;
            FUZZ_REQUIRE(squares.tagText(i) == NoFlagTag || squares.tagText(i) == FlagTag);
        }
        FUZZ_REQUIRE(!mineShown || !anyCovered);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto input = fuzz::splitInput({reinterpret_cast<const char *>(data), size});
    const Expected expected = expectedOutcome(input.entries);

    FakeControls controls;
    Game game(controls);
    game.initialiseForm();

    // A game in progress on the designed board: one cell uncovered, one flagged.
    game.setupGame(Game::PlayGame);
    FUZZ_REQUIRE(controls.isReady() && controls.state.status.empty());
    game.onSquareMouseDown(7, LeftButton);
    game.onSquareMouseDown(20, RightButton);
    const Snapshot before = snapshot(game);

    controls.entries = input.entries;
    std::optional<std::vector<std::uint8_t>> firstLayout;
    for (const Int16 button : {Game::TestCode, Game::PlayGame}) {
        controls.forgetCalls();
        game.setupGame(button);
        FUZZ_REQUIRE(controls.isReady());
        if (!expected.refusal.empty()) {
            FUZZ_REQUIRE(controls.state.status == expected.refusal);
            FUZZ_REQUIRE(controls.statusHistory
                         == std::vector<std::string>({"resetting board...", expected.refusal}));
            FUZZ_REQUIRE(snapshot(game) == before);
            continue;
        }
        FUZZ_REQUIRE(controls.state.status.empty());
        checkBoard(game.board(), expected);
        checkSquares(game, button == Game::TestCode);
        // One layout from one set of entries, whichever button built it.
        if (firstLayout)
            FUZZ_REQUIRE(game.board().mineGrid.cells() == *firstLayout);
        firstLayout = game.board().mineGrid.cells();
    }
    if (expected.refusal.empty())
        play(game, input.presses);

    // Whatever came before, a valid setup works.
    controls.entries = {"3", "4", "2", "1"};
    game.setupGame(Game::PlayGame);
    FUZZ_REQUIRE(controls.isReady() && controls.state.status.empty());
    FUZZ_REQUIRE(game.squares().indexLimit() == 12);
    return 0;
}
