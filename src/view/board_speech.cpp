#include "board_speech.h"

#include "squares/cells.h"

#include <algorithm>

namespace tessfield {

namespace {

std::string cellsUncovered(int count)
{
    return std::to_string(count) + (count == 1 ? " cell uncovered" : " cells uncovered");
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

void CoveredCells::reset(const SquareArray &squares)
{
    covered_.assign(static_cast<std::size_t>(squares.indexLimit()), false);
    for (Int16 k = 0; k < squares.indexLimit(); ++k)
        covered_[static_cast<std::size_t>(k)] = squares.exists(k) && isCovered(squares, k);
}

int CoveredCells::apply(const SquareArray &squares, const std::vector<Int16> &cells)
{
    int uncovered = 0;
    for (const Int16 k : cells) {
        const auto slot = static_cast<std::size_t>(k);
        if (slot >= covered_.size() || !squares.exists(k))
            continue;
        const bool now = isCovered(squares, k);
        if (covered_[slot] && !now)
            ++uncovered;
        covered_[slot] = now;
    }
    return uncovered;
}

std::string pressWords(const SquareArray &squares, Int16 k, int button, int uncovered,
                       const std::vector<Int16> &changed)
{
    if (button == RightButton) {
        const bool toggled = std::find(changed.begin(), changed.end(), k) != changed.end();
        return toggled ? squareStateWords(squares, k) : "no change";
    }
    if ((button != LeftButton && button != MiddleButton) || uncovered == 0)
        return "no change";
    // A loss uncovers the whole board; only a mine's look tells it from a large flood.
    const auto mineShown = [&squares](Int16 cell) { return squares.background(cell) == MineColour; };
    if (button == LeftButton ? mineShown(k) : std::any_of(changed.begin(), changed.end(), mineShown))
        return "mine: the whole board is uncovered";
    if (button == MiddleButton)
        return cellsUncovered(uncovered);
    const std::string state = squareStateWords(squares, k);
    return uncovered == 1 ? state : state + ": " + cellsUncovered(uncovered);
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
