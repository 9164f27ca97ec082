#pragma once

// Reading and checking the four entry boxes before a setup changes anything.
//
// A setup that failed halfway would leave the previous board destroyed and the new one
// unbuilt, so every entry is read and checked first and a refused setup touches nothing.

#include "checked16.h"

#include <string>
#include <string_view>
#include <variant>

namespace tessfield {

struct EntryTexts {
    std::string_view rows;
    std::string_view columns;
    std::string_view mines;
    std::string_view gameId;
};

// The entries as read, before the mine count is clamped to the board.
struct BoardParameters {
    Int16 rows = 0;
    Int16 columns = 0;
    Int16 mines = 0;
    double gameId = 0.0;
    bool operator==(const BoardParameters &) const = default;
};

// The sentence the status line shows for each reason a setup is refused.
namespace refusals {
inline constexpr std::string_view Rows = "rows must be a number from 1 to 32767";
inline constexpr std::string_view Columns = "columns must be a number from 1 to 32767";
inline constexpr std::string_view Mines = "mines must be a number from -32768 to 32767";
inline constexpr std::string_view GameId = "Game ID must be a finite number";
inline constexpr std::string_view Cells = "rows \u00d7 columns must be at most 32767";
} // namespace refusals

// Why a setup was refused, in a short sentence for the status line.
struct EntryRefusal {
    std::string message;
    bool operator==(const EntryRefusal &) const = default;
};

using EntryCheck = std::variant<BoardParameters, EntryRefusal>;

// Reads all four entries and accepts them only when a board can be built from them:
// rows and columns 1..32767 with at most 32767 cells, mines -32768..32767, a finite game ID.
EntryCheck checkEntries(const EntryTexts &texts);

// The mine count a board of rows x columns takes: at most one less than its cells, with no
// lower bound (0 or below places no mine).
Int16 clampMineCount(Int16 rows, Int16 columns, Int16 mines);

} // namespace tessfield
