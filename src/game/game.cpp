#include "game.h"

#include "board/mines.h"
#include "squares/cells.h"

#include <exception>
#include <string>

namespace tessfield {

namespace {

constexpr int EntryCount = 4;

// The window's frame allowance around the board, in twips, on the right and at the bottom.
constexpr float WindowMargin = 500.0F;

// Sizes the window around the board that was just laid out on the squares.
void fitWindow(const Board &board, const SquareArray &squares, WindowControls &controls)
{
    controls.setOuterSize(
        static_cast<float>(board.columnCount) * squares.width(0) + squares.left(0) + WindowMargin,
        static_cast<float>(board.rowCount) * squares.height(0) + squares.top(0) + WindowMargin);
}

} // namespace

SquareDesign designedTemplateSquare()
{
    // No font or text colour is designed for the squares: the toolkit's defaults, which the
    // empty font name stands for.
    return {TemplateSquareLeft, TemplateSquareTop, SquareTwips, SquareTwips,
            WindowColour, 0x000000, FontSpec{"", 8.0F, false}};
}

Game::Game(WindowControls &controls)
    : controls_(controls), squares_(designedTemplateSquare())
{
}

void Game::initialiseForm()
{
    board_.rowCount = 0;
    board_.columnCount = 0;
    board_.countColours = StandardCountColours;
}

void Game::setupGame(Int16 index)
{
    enterBusyState();
    controls_.setStatusText("resetting board...");
    try {
        const std::string rows = controls_.entryText(1);
        const std::string columns = controls_.entryText(2);
        const std::string mines = controls_.entryText(3);
        const std::string gameId = controls_.entryText(4);
        const EntryCheck check = checkEntries({rows, columns, mines, gameId});
        if (const auto *refusal = std::get_if<EntryRefusal>(&check)) {
            controls_.setStatusText(refusal->message);
            leaveBusyState();
            return;
        }
        const auto &parameters = std::get<BoardParameters>(check);
        resetBoard(board_, squares_, parameters);
        sizeGrids(board_);
        controls_.setStatusText("picking mine locations...");
        placeMines(board_, random_, parameters.gameId);
        controls_.setStatusText("precalculating neighborhoods...");
        countNeighbours(board_);
        controls_.setStatusText("drawing screen");
        buildGrid(board_, squares_);
        fitWindow(board_, squares_, controls_);
        if (index == TestCode)
            revealAll(board_, squares_);
        controls_.setStatusText("");
    } catch (const std::exception &error) {
        // The entries were checked above, so this is the machine failing (out of memory);
        // the controls must still come back, or the window is stuck on "Please wait". The
        // old board may be half gone by now, so none is kept: a press then finds no board.
        discardBoard();
        controls_.setStatusText(std::string("setup failed: ") + error.what());
    }
    leaveBusyState();
}

void Game::discardBoard()
{
    for (int k = 1; k < squares_.indexLimit(); ++k) {
        if (squares_.exists(narrowCast16(k)))
            squares_.destroy(narrowCast16(k));
    }
    squares_.setVisible(0, false);
    board_.rowCount = 0;
    board_.columnCount = 0;
    board_.mineCount = 0;
    board_.mineGrid = {};
    board_.countGrid = {};
}

PressOutcome Game::onSquareMouseDown(Int16 index, Int16 button)
{
    return squareMouseDown(board_, squares_, index, button, floodStack_);
}

void Game::enterBusyState()
{
    for (const Int16 i : {TestCode, PlayGame}) {
        controls_.setSetupEnabled(i, false);
        controls_.setSetupCaption(i, BusyCaption);
    }
    for (int entry = 1; entry <= EntryCount; ++entry)
        controls_.setEntryEnabled(entry, false);
}

void Game::leaveBusyState()
{
    for (const Int16 i : {TestCode, PlayGame}) {
        controls_.setSetupEnabled(i, true);
        controls_.setSetupCaption(i, SetupCaptions.at(static_cast<std::size_t>(i)));
    }
    for (int entry = 1; entry <= EntryCount; ++entry)
        controls_.setEntryEnabled(entry, true);
    controls_.focusSetup(PlayGame);
}

void resetBoard(Board &board, SquareArray &squares, const BoardParameters &parameters)
{
    for (int k = 1; k < board.cellCount(); ++k)
        squares.destroy(narrowCast16(k));
    board.rowCount = parameters.rows;
    board.columnCount = parameters.columns;
    board.mineCount = clampMineCount(parameters.rows, parameters.columns, parameters.mines);
}

} // namespace tessfield
