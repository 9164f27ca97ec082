#pragma once

// A board set up the way the game does it, painted by a board widget of its own, for the
// widget tests at any device pixel ratio.

#include "board/mines.h"
#include "game/actions.h"
#include "game/game.h"
#include "view/board_accessible.h"
#include "view/board_widget.h"
#include "squares/cells.h"


#include <QImage>
#include <QPixmap>

namespace tessfield::fixtures {

// The board's accessible interfaces, installed before the widget is made, as at start-up.
struct BoardAccessibilityInstalled {
    BoardAccessibilityInstalled() { installBoardAccessibility(); }
};

struct PaintedBoard : BoardAccessibilityInstalled {
    Board board;
    SquareArray squares{designedTemplateSquare()};
    MineRandom random;
    FloodStack stack;
    BoardWidget widget{squares};

    PaintedBoard(Int16 rows, Int16 columns, Int16 mines, double gameId)
    {
        board.countColours = StandardCountColours;
        board.rowCount = rows;
        board.columnCount = columns;
        board.mineCount = mines;
        sizeGrids(board);
        placeMines(board, random, gameId);
        countNeighbours(board);
        buildGrid(board, squares);
        show();
    }

    // Hands what the model changed to the widget, as the window does after every step, and
    // returns it.
    SquareChanges show()
    {
        SquareChanges changes = squares.takeChanges();
        widget.showChanges(changes);
        return changes;
    }

    Int16 cells() const { return static_cast<Int16>(board.rowCount * board.columnCount); }

    // The widget's picture, in device pixels.
    QImage grab() { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // A pixel inside square k (logical coordinates) that no glyph covers: glyphs are
    // written from the top-left.
    QPoint quietPixel(Int16 k) const { return widget.squareRect(k).bottomRight() - QPoint(2, 2); }
};

} // namespace tessfield::fixtures
