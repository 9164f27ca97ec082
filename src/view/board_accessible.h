#pragma once

// The board as assistive technology sees it (AT-SPI on Linux): a group, "board", that offers
// the table interface, holding one grid of cells in rows and columns. Each cell is named
// after what its square shows, then its row and column: "covered, 2 3", "flagged, 2 3",
// "3, 2 3", "mine, 2 3" or "empty, 2 3"; the names follow the squares as they change.
//
// The current cell is the table's focused child. Every cell offers the actions "uncover",
// "flag" and "chord", which press its square with the left, right and middle button through
// the widget, as the mouse does. The names are worked out when asked for, so the board pays
// nothing while no screen reader listens; a move costs one cell, and a change of thousands
// of cells is told in one event.

#include "squares/squares.h"

#include <QAccessible>
#include <QString>

#include <memory>
#include <vector>

namespace tessfield {

class BoardWidget;

// What square k shows, in words: "covered", "flagged", "mine", "empty" or its count.
QString squareStateText(const SquareArray &squares, Int16 k);

// The accessible name of square k on a board of the given number of columns: "STATE, R C",
// rows and columns counted from 1.
QString cellAccessibleName(const SquareArray &squares, Int16 columns, Int16 k);

// Makes Qt build the board's accessible table for every BoardWidget, and tells listening
// assistive technology what each board shows. Called once at start-up, before the first
// board is made, so that its first accessible interface is already the table.
void installBoardAccessibility();

// What the squares' changes did to the board's table, as the events that tell it: a new
// layout drops the cells made for another shape and tells clients to read the grid again, a
// few changed cells are renamed one by one, and many (a flood, a full reveal) make one event
// that tells clients to read the grid again, with the focused cell renamed.
std::vector<std::unique_ptr<QAccessibleEvent>> boardChangeEvents(BoardWidget &board,
                                                                const SquareChanges &changes);

// While the board has the focus, the events that give it to the current cell: its name, so
// that no client keeps an old one, then the focus.
std::vector<std::unique_ptr<QAccessibleEvent>> currentCellEvents(BoardWidget &board);

} // namespace tessfield
