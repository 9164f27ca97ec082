#include "cells.h"

#include "board/number_reader.h"

#include <array>

namespace tessfield {

namespace {

constexpr std::array<std::string_view, 10> Digits = {"0", "1", "2", "3", "4",
                                                     "5", "6", "7", "8", "9"};

} // namespace

void buildGrid(const Board &board, SquareArray &squares)
{
    squares.setTagText(0, NoFlagTag);
    squares.setBackground(0, CoveredColour);

    // Every square at once: the same squares in the same places as creating, placing and
    // showing them one at a time, without recording each step as a change.
    squares.buildArrangement(board.columnCount, board.rowCount);
}

void drawCell(const Board &board, SquareArray &squares, Int16 column, Int16 row)
{
    const Int16 k = cellIndex(board.columnCount, column, row);
    squares.clear(k);
    if (board.hasMine(column, row)) {
        squares.setBackground(k, MineColour);
        squares.setTextColour(k, MineGlyphColour);
        squares.setFontBold(k, false);
        squares.setFontName(k, MineFont);
        squares.setFontSize(k, CountFontSize);
        squares.write(k, MineGlyph);
        return;
    }
    squares.setBackground(k, RevealedColour);
    const Int16 count = board.countGrid.at(column, row);
    if (count > 0) {
        squares.setFontName(k, CountFont);
        squares.setFontBold(k, true);
        squares.setTextColour(k, board.countColours.at(static_cast<std::size_t>(count)));
        squares.setFontSize(k, CountFontSize);
        squares.write(k, Digits.at(static_cast<std::size_t>(count)));
    }
}

void revealAll(const Board &board, SquareArray &squares)
{
    forEachCell(board.columnCount, board.rowCount,
                [&](Int16 column, Int16 row) { drawCell(board, squares, column, row); });
}

bool isFlagged(const SquareArray &squares, Int16 k)
{
    return readNumber(squares.tagText(k)) == 1.0;
}

} // namespace tessfield
