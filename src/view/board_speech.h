#pragma once

// What a screen reader says about the board, in words: the result of a press, and a whole
// row or column at a glance. Plain text from what the game says a press did and from the
// squares, worked out only for the pressed cell (or the one line asked for), never by a walk
// of the whole board.

#include "game/actions.h"
#include "squares/squares.h"

#include <string>
#include <vector>

namespace tessfield {

// What square k shows, in words: "covered", "flagged", "mine", "empty" or its count.
std::string squareStateWords(const SquareArray &squares, Int16 k);

// Where square k stands on a board of the given number of columns: "row 2, column 3".
std::string positionWords(Int16 columns, Int16 k);

// What a press did, as the player hears it at once: "3", "empty: 18 cells uncovered",
// "flagged", "covered", "4 cells uncovered", "mine: the whole board is uncovered" or "no
// change". Where the focus is not on the pressed cell nothing else says which it was, so its
// place comes first: "row 2, column 7: flagged".
std::string pressWords(const SquareArray &squares, Int16 k, int button, const PressOutcome &outcome,
                       bool cellFocused);

// A line of the board as a sighted player takes it in at a glance, in runs of one look from
// its first cell, each by its first and last place: "row 3: covered 1 to 5, 2 at 6, 1 at 7
// to 8, empty 9 to 12, flagged 13". A count takes "at" before its place.
enum class Line { Row, Column };
std::string lineWords(const SquareArray &squares, Int16 k, Line line);

} // namespace tessfield
