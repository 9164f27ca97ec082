#pragma once

// Small boards with hand-placed mines, built and shown the way "Play Game" leaves them, so
// the rules can be tried on positions that no game ID happens to produce.

#include "board/board.h"
#include "board/mines.h"
#include "game/actions.h"
#include "game/game.h"
#include "squares/cells.h"
#include "squares/squares.h"


#include <optional>
#include <string>
#include <vector>

namespace tessfield::fixtures {

inline Int16 i16(int value)
{
    return static_cast<Int16>(value);
}

// A board whose squares are all built, covered and unflagged, with no changes pending.
struct TestBoard {
    Board board;
    SquareArray squares{designedTemplateSquare()};
    FloodStack stack;

    TestBoard(int columns, int rows, const std::vector<CellPosition> &mines = {})
    {
        board.columnCount = i16(columns);
        board.rowCount = i16(rows);
        board.mineCount = i16(static_cast<int>(mines.size()));
        board.countColours = StandardCountColours;
        sizeGrids(board);
        for (const auto cell : mines)
            board.mineGrid.at(cell.column, cell.row) = 1;
        countNeighbours(board);
        buildGrid(board, squares);
        squares.clearChanges();
    }

    int cells() const { return board.columnCount * board.rowCount; }
    Int16 index(int column, int row) const
    {
        return cellIndex(board.columnCount, i16(column), i16(row));
    }
    void press(int column, int row, Int16 button)
    {
        squareMouseDown(board, squares, index(column, row), button, stack);
    }
    void flood(int column, int row) { floodReveal(board, squares, i16(column), i16(row), stack); }
    void draw(int column, int row) { drawCell(board, squares, i16(column), i16(row)); }
    bool covered(int column, int row) const
    {
        return squares.background(index(column, row)) == CoveredColour;
    }
    std::string tag(int column, int row) const
    {
        return std::string(squares.tagText(index(column, row)));
    }
    int coveredCount() const
    {
        int n = 0;
        for (int k = 0; k < cells(); ++k)
            n += squares.background(i16(k)) == CoveredColour ? 1 : 0;
        return n;
    }
};

// Everything one square shows or carries, to check that an action changed nothing.
struct Look {
    bool visible = false;
    float left = 0.0F;
    float top = 0.0F;
    Colour background = 0;
    std::string tag;
    Colour textColour = 0;
    FontSpec font;
    std::optional<std::string> text; // what is written on it, if anything
    std::optional<FontSpec> textFont;
    Colour inscriptionColour = 0;
    bool operator==(const Look &) const = default;
};

inline Look lookOf(const SquareArray &squares, Int16 k)
{
    Look look{squares.visible(k), squares.left(k), squares.top(k), squares.background(k),
              std::string(squares.tagText(k)), squares.textColour(k), squares.font(k),
              std::nullopt, std::nullopt, 0};
    if (squares.hasInscription(k)) {
        const Inscription inscription = squares.inscription(k);
        look.text = std::string(inscription.text);
        look.textFont = *inscription.font;
        look.inscriptionColour = inscription.colour;
    }
    return look;
}

// The looks of every existing square, in index order.
inline std::vector<Look> looks(const SquareArray &squares)
{
    std::vector<Look> all;
    for (Int16 k = 0; k < squares.indexLimit(); ++k)
        if (squares.exists(k))
            all.push_back(lookOf(squares, k));
    return all;
}

} // namespace tessfield::fixtures
