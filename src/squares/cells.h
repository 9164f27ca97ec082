#pragma once

// How cells look and how the board is laid out and drawn onto the squares.

#include "board/board.h"
#include "squares.h"

#include <string_view>

namespace tessfield {

// The window's silver, which an uncovered square shares with the window around the board.
inline constexpr Colour WindowColour = 0xC0C0C0;

inline constexpr Colour CoveredColour = 0x404040;      // dark grey: covered, flagged or not
inline constexpr Colour RevealedColour = WindowColour; // uncovered, no mine
inline constexpr Colour MineColour = 0x8080FF;     // light red: uncovered mine
inline constexpr Colour FlagColour = 0xFFFFFF;     // white "X" on a flagged cell
inline constexpr Colour MineGlyphColour = 0x000000;

// The tag texts that mark a square flagged or not.
inline constexpr std::string_view FlagTag = "1";
inline constexpr std::string_view NoFlagTag = "0";

// Font names the squares carry. The painter maps them onto faces that exist here: a
// fixed-pitch face for "Terminal", and a drawn bomb for the "M" of the symbol font.
inline constexpr std::string_view CountFont = "Terminal";
inline constexpr std::string_view MineFont = "Wingdings";
inline constexpr std::string_view MineGlyph = "M";
inline constexpr std::string_view FlagMark = "X";
inline constexpr float CountFontSize = 8.0F;
inline constexpr float FlagFontSize = 12.0F;

// Mouse button values as a press reports them; a press while other buttons are held sums
// them. The game decides what each does; the view turns mouse buttons and keys into them.
inline constexpr Int16 LeftButton = 1;
inline constexpr Int16 RightButton = 2;
inline constexpr Int16 MiddleButton = 4;

// Creates and places a covered square for every cell of the board and shows them. Element 0
// is the template: every other square copies it.
void buildGrid(const Board &board, SquareArray &squares);

// Draws the cell's uncovered look: a mine, or its count on silver. The tag text is left alone.
void drawCell(const Board &board, SquareArray &squares, Int16 column, Int16 row);

// Draws every cell uncovered, top to bottom within a column, the columns left to right.
void revealAll(const Board &board, SquareArray &squares);

// Whether a square's tag text reads as the number 1, the only test for a flag.
bool isFlagged(const SquareArray &squares, Int16 k);

// Whether square k is covered, flagged or not: its colour is the only record of it.
inline bool isCovered(const SquareArray &squares, Int16 k)
{
    return squares.background(k) == CoveredColour;
}

} // namespace tessfield
