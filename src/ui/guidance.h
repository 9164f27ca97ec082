#pragma once

// What a player expects of a desktop window without reading anything: tooltips that say
// what each entry accepts and what each button does, and the usual keys to quit and close.

#include <array>

class QLineEdit;
class QPushButton;
class QWidget;

namespace tessfield {

class BoardWidget;

// Gives the window's four entries and two setup buttons their tooltips, the window its keys,
// and the board the words for those keys.
void addGuidance(QWidget &window, const std::array<QLineEdit *, 4> &entries,
                 const std::array<QPushButton *, 2> &setupButtons, BoardWidget &board);

} // namespace tessfield
