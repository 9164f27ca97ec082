#include "actions.h"

#include "squares/cells.h"

namespace tessfield {

namespace {

using Kind = PressOutcome::Kind;

// The press found a mine: the whole board is uncovered.
PressOutcome lose(const Board &board, SquareArray &squares)
{
    revealAll(board, squares);
    return {Kind::Lost};
}

PressOutcome uncover(const Board &board, SquareArray &squares, Int16 index, FloodStack &stack)
{
    const bool covered = isCovered(squares, index);
    const bool flagged = isFlagged(squares, index);
    if (!covered || flagged)
        return {};
    const auto [column, row] = cellPosition(board.columnCount, index);
    if (board.hasMine(column, row))
        return lose(board, squares);
    return {Kind::Uncovered, floodReveal(board, squares, column, row, stack)};
}

PressOutcome toggleFlag(SquareArray &squares, Int16 index)
{
    if (!isCovered(squares, index))
        return {};
    if (!isFlagged(squares, index)) {
        squares.setTagText(index, FlagTag);
        squares.setTextColour(index, FlagColour);
        squares.setFontSize(index, FlagFontSize);
        squares.setFontName(index, CountFont);
        squares.write(index, FlagMark);
        return {Kind::Flagged};
    }
    squares.clear(index);
    squares.setTagText(index, NoFlagTag);
    return {Kind::Unflagged};
}

PressOutcome chord(const Board &board, SquareArray &squares, Int16 index, FloodStack &stack)
{
    if (isCovered(squares, index))
        return {};
    const auto [column, row] = cellPosition(board.columnCount, index);
    Int16 flags = 0;
    bool wrong = false;
    forEachInBlock(board, column, row, [&](Int16 c, Int16 r) {
        if (isFlagged(squares, cellIndexUnchecked(board.columnCount, c, r))) {
            flags = add16(flags, 1);
            if (!board.hasMine(c, r))
                wrong = true;
        }
    });
    if (flags != board.countGrid.at(column, row))
        return {};
    if (wrong)
        return lose(board, squares);
    int uncovered = 0;
    forEachInBlock(board, column, row, [&](Int16 c, Int16 r) {
        if (!board.hasMine(c, r))
            uncovered += floodReveal(board, squares, c, r, stack);
    });
    return uncovered == 0 ? PressOutcome{} : PressOutcome{Kind::Uncovered, uncovered};
}

} // namespace

int floodReveal(const Board &board, SquareArray &squares, Int16 column, Int16 row,
                FloodStack &stack)
{
    // Each frame is a cell that has been drawn, has count 0, and still has offsets to look
    // at. Following a covered neighbour before looking at the next offset is exactly what
    // the recursive definition does, so cells are drawn in the same order.
    stack.clear();
    // A chord floods from neighbours that may already be uncovered.
    int uncovered = isCovered(squares, cellIndex(board.columnCount, column, row)) ? 1 : 0;
    drawCell(board, squares, column, row);
    if (board.countGrid.at(column, row) != 0)
        return uncovered;
    stack.push_back({column, row, 0});
    const auto &counts = board.countGrid;
    while (!stack.empty()) {
        // The top frame's offsets are walked in a local loop; a covered neighbour with count
        // 0 records where this frame stopped and becomes the new top, exactly where the
        // recursion would descend.
        FloodFrame &frame = stack.back();
        const Int16 column0 = frame.column;
        const Int16 row0 = frame.row;
        bool descended = false;
        for (std::size_t i = frame.nextOffset; i < BlockOffsets.size(); ++i) {
            const auto cell = blockCell(board, column0, row0, i);
            if (!cell)
                continue;
            const Int16 k = cellIndexUnchecked(board.columnCount, cell->column, cell->row);
            if (!isCovered(squares, k))
                continue;
            drawCell(board, squares, cell->column, cell->row);
            ++uncovered;
            if (counts[static_cast<std::size_t>(k)] == 0) {
                frame.nextOffset = static_cast<std::uint8_t>(i + 1);
                stack.push_back({cell->column, cell->row, 0}); // frame may dangle from here on; it is not used again
                descended = true;
                break;
            }
        }
        if (!descended)
            stack.pop_back();
    }
    return uncovered;
}

PressOutcome squareMouseDown(const Board &board, SquareArray &squares, Int16 index, Int16 button,
                             FloodStack &stack)
{
    // No board yet (or an index that names no cell of it): nothing to act on. Without this
    // guard the middle button would divide by a column count of 0.
    if (board.columnCount < 1 || board.rowCount < 1 || index < 0 || index >= board.cellCount())
        return {};
    switch (button) {
    case LeftButton:
        return uncover(board, squares, index, stack);
    case RightButton:
        return toggleFlag(squares, index);
    case MiddleButton:
        return chord(board, squares, index, stack);
    default:
        return {};
    }
}

} // namespace tessfield
