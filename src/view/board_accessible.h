#pragma once

// The board as assistive technology sees it (AT-SPI on Linux): a table of rows and columns
// whose cells are named after what their squares show, "row 2, column 3, covered", "…,
// flagged", "…, 3", "…, mine" or "…, empty", and follow the squares as they change.
//
// It only reads: play stays with the mouse on the squares, so no action is exposed. The
// names are worked out when asked for, so the board pays nothing while no screen reader
// listens, and a change of thousands of cells is told in one event.

#include "squares/squares.h"

#include <QAccessible>
#include <QString>

#include <memory>
#include <vector>

namespace tessfield {

class BoardWidget;

// What square k shows, in words: "covered", "flagged", "mine", "empty" or its count.
QString squareStateText(const SquareArray &squares, Int16 k);

// The accessible name of square k on a board of the given number of columns:
// "row R, column C, STATE", rows and columns counted from 1.
QString cellAccessibleName(const SquareArray &squares, Int16 columns, Int16 k);

// Makes Qt build the board's accessible table for every BoardWidget; called by the widget,
// does its work once per process.
void installBoardAccessibility();

// What the squares' changes did to the board's table, as the events that tell it: a new
// layout resets the table, a few changed cells are renamed one by one, and many (a flood,
// a full reveal) make one event for the range of rows and columns they span.
std::vector<std::unique_ptr<QAccessibleEvent>> boardChangeEvents(BoardWidget &board,
                                                                const SquareChanges &changes);

// Sends those events to listening assistive technology; does nothing while none listens.
void notifyBoardChanges(BoardWidget &board, const SquareChanges &changes);

} // namespace tessfield
