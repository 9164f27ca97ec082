#pragma once

// The board's keys in one table: each key, what it does to the current cell (presses it as a
// mouse button, moves it, or reads its row or column), and the words of the spoken help.
// The key handling, the cells' accessible actions and the board's description are all made
// from it.

#include "view/board_speech.h"
#include "view/cell_moves.h"

#include <QString>
#include <Qt>

#include <variant>

class QKeyEvent;

namespace tessfield {

// A press of the current cell, as the mouse button value it stands for.
struct PressCell {
    int button;
};
// H and V: the current cell's row or column read out.
struct ReadLine {
    Line line;
};
using KeyAction = std::variant<PressCell, CellMove, ReadLine>;

struct BoardKey {
    Qt::Key key;
    // Held with the key (the keypad's, which tells keypad keys apart, never matters). A press
    // is taken with Shift too, as a player holding it for capitals would expect.
    Qt::KeyboardModifiers modifiers;
    KeyAction action;
    // The spoken help's words for this key and the ones after it that have none of their own.
    const char *help;
};

// The action of the key pressed, if it is one of the board's.
const KeyAction *boardKeyAction(const QKeyEvent &event);

// The name of the first key that presses the given button ("Space" for the left one).
QString pressKeyName(int button);

// "the arrow keys move the current cell, Space or Return uncovers it, ..., H reads its row
// and V its column".
QString boardKeysHelp();

} // namespace tessfield
