#include "board_speech.h"

#include "view/counted_words.h"
#include "squares/cells.h"

#include <algorithm>

namespace tessfield {

namespace {

std::string cellsUncovered(int count)
{
    return countedWords(count, "cell uncovered", "cells uncovered");
}

} // namespace

std::string squareStateWords(const SquareArray &squares, Int16 k)
{
    if (isCovered(squares, k))
        return isFlagged(squares, k) ? "flagged" : "covered";
    if (squares.background(k) == MineColour)
        return "mine";
    const Inscription inscription = squares.inscription(k);
    if (inscription.text.empty())
        return "empty";
    return std::string(inscription.text);
}

std::string positionWords(Int16 columns, Int16 k)
{
    const auto [column, row] = cellPosition(std::max<Int16>(columns, 1), k);
    return "row " + std::to_string(row) + ", column " + std::to_string(column);
}

std::string pressWords(const SquareArray &squares, Int16 k, int button, const PressOutcome &outcome,
                       bool cellFocused)
{
    std::string words;
    switch (outcome.kind) {
    case PressOutcome::Kind::Nothing:
        words = "no change";
        break;
    case PressOutcome::Kind::Flagged:
    case PressOutcome::Kind::Unflagged:
        words = squareStateWords(squares, k);
        break;
    case PressOutcome::Kind::Lost:
        words = "mine: the whole board is uncovered";
        break;
    case PressOutcome::Kind::Uncovered:
        // A chord's cell was uncovered before; an uncovered cell says what it shows.
        if (button == MiddleButton)
            words = cellsUncovered(outcome.uncovered);
        else if (outcome.uncovered == 1)
            words = squareStateWords(squares, k);
        else
            words = squareStateWords(squares, k) + ": " + cellsUncovered(outcome.uncovered);
        break;
    }
    return cellFocused ? words : positionWords(squares.arrangement(), k) + ": " + words;
}

std::string lineWords(const SquareArray &squares, Int16 k, Line line)
{
    const int columnCount = squares.arrangement();
    if (columnCount <= 0 || !squares.exists(k))
        return {};
    const int rows = (squares.indexLimit() + columnCount - 1) / columnCount;
    const CellPosition at = cellPosition(narrowCast16(columnCount), k);
    const bool row = line == Line::Row;
    const int length = row ? columnCount : rows;
    std::string words = (row ? "row " : "column ") + std::to_string(row ? at.row : at.column) + ":";
    const auto cellAt = [&](int place) {
        return row ? cellIndexUnchecked(columnCount, place, at.row) : cellIndexUnchecked(columnCount, at.column, place);
    };
    const char *separator = " ";
    for (int first = 1; first <= length;) {
        const Int16 cell = cellAt(first);
        if (!squares.exists(cell))
            break;
        const std::string state = squareStateWords(squares, cell);
        int last = first;
        while (last < length && squares.exists(cellAt(last + 1))
               && squareStateWords(squares, cellAt(last + 1)) == state)
            ++last;
        words += separator;
        separator = ", ";
        // A count is a number like its place, so "at" tells the two apart: "2 at 5".
        const bool isCount = state.front() >= '1' && state.front() <= '8';
        words += state + (isCount ? " at " : " ") + std::to_string(first);
        if (last > first)
            words += " to " + std::to_string(last);
        first = last + 1;
    }
    return words;
}

} // namespace tessfield
