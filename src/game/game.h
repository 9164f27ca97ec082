#pragma once

// The game as the window drives it: the setup sequence behind both setup buttons, the busy
// state of the controls, and the mouse on a square. It owns the board record and the
// squares; the window owns it, and after each setup or press takes what changed on the
// squares and hands it to the view, which only ever reads them.

#include "actions.h"
#include "board/board.h"
#include "board/entries.h"
#include "board/mine_random.h"
#include "controls.h"
#include "squares/squares.h"

namespace tessfield {

// The template square's corner, beside the window's controls, and its size, which every
// square copies (twips).
inline constexpr float TemplateSquareLeft = 1800.0F;
inline constexpr float TemplateSquareTop = 120.0F;
inline constexpr float SquareTwips = 255.0F;

// Element 0 of the square array as the window designs it: hidden, in the window's colour,
// blank.
SquareDesign designedTemplateSquare();

// The first step of a setup: destroys every square of the current board but the template
// and takes the new board's rows, columns and (clamped) mine count. The grids keep the old
// board's size until sizeGrids.
void resetBoard(Board &board, SquareArray &squares, const BoardParameters &parameters);

class Game {
public:
    // The setup buttons' indices.
    static constexpr Int16 TestCode = 0;
    static constexpr Int16 PlayGame = 1;

    explicit Game(WindowControls &controls);

    // Runs once when the window loads: no board, the count colours filled in.
    void initialiseForm();
    // Discards the current board and builds a new one from the entries; index 0 ("Test
    // Code") then shows it fully uncovered. Entries that cannot make a board are refused
    // with a message in the status line, and the current board is left as it was.
    void setupGame(Int16 index);
    // A mouse button pressed on a square (the button value, LeftButton and so on).
    PressOutcome onSquareMouseDown(Int16 index, Int16 button);

    const Board &board() const { return board_; }
    const SquareArray &squares() const { return squares_; }
    // What the last setups and presses changed on the squares, for the view to show; the
    // squares start recording afresh.
    SquareChanges takeChanges() { return squares_.takeChanges(); }

    // The ready state of the controls: both buttons enabled with their captions, the
    // entries enabled, the focus on "Play Game". Every setup ends here; the window also
    // returns here when something it ran failed, so the controls never stay busy.
    void leaveBusyState();

private:
    void enterBusyState();
    // Leaves no board at all, as before the first setup; used when a setup fails midway.
    void discardBoard();

    WindowControls &controls_;
    Board board_;
    SquareArray squares_;
    MineRandom random_;
    FloodStack floodStack_;
};

} // namespace tessfield
