// What the board says after each press and when asked for a line, on the board of 8 x 8 with
// 10 mines and the Game ID 11540 (the screen-reader test plays the same one):
//     M1...12M
//     111111M2
//     111M1111
//     M1222...
//     332M1...
//     MM2221..
//     2222M1..
//     ..1M21..
// The board widget has no focus here, so each result names its cell first.

#include "painted_board.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <vector>

namespace tessfield {
namespace {

using fixtures::PaintedBoard;

struct Played {
    PaintedBoard game{8, 8, 10, 11540};
    QSignalSpy spoken{&game.widget, &BoardWidget::announcement};
    std::vector<std::string> said;

    explicit Played(bool listened = true)
    {
        if (listened)
            game.widget.buildSpeechAlways();
        // As the window does: the game acts on the press and says what it did, which is put
        // into words, then the widget is shown the changes.
        QObject::connect(&game.widget, &BoardWidget::squarePressed,
                         [this](int k, int button, bool cellFocused) {
                             const PressOutcome outcome = squareMouseDown(
                                 game.board, game.squares, narrowCast16(k), narrowCast16(button), game.stack);
                             said.push_back(pressWords(game.squares, narrowCast16(k), button, outcome,
                                                       cellFocused));
                             game.show();
                         });
    }
    std::string press(int row, int column, int button)
    {
        said.clear();
        game.widget.pressSquare(cellIndexUnchecked(8, column, row), button);
        if (said.size() != 1)
            return "<" + std::to_string(said.size()) + " said>";
        return said.front();
    }
    std::string line(int row, int column, Line which) const
    {
        return lineWords(game.squares, cellIndexUnchecked(8, column, row), which);
    }
};

TEST(BoardSpeech, EachPressIsSaidInAFewWords)
{
    Played played;
    const struct {
        int row, column, button;
        const char *said;
    } presses[] = {
        {2, 2, 1, "row 2, column 2: 1"},
        {2, 2, 1, "row 2, column 2: no change"},
        {2, 2, 2, "row 2, column 2: no change"},
        {4, 8, 1, "row 4, column 8: empty: 22 cells uncovered"},
        {2, 7, 2, "row 2, column 7: flagged"},
        {2, 7, 2, "row 2, column 7: covered"},
        {2, 7, 2, "row 2, column 7: flagged"},
        {2, 7, 1, "row 2, column 7: no change"},
        {2, 7, 3, "row 2, column 7: no change"},
        {3, 7, 4, "row 3, column 7: 2 cells uncovered"},
        {3, 7, 4, "row 3, column 7: no change"},
        {1, 2, 1, "row 1, column 2: 1"},
        {3, 4, 1, "row 3, column 4: mine: the whole board is uncovered"},
        {3, 4, 1, "row 3, column 4: no change"},
    };
    for (const auto &p : presses)
        EXPECT_EQ(played.press(p.row, p.column, p.button), p.said)
            << "button " << p.button << " on (" << p.row << ", " << p.column << ")";
}

TEST(BoardSpeech, AChordRoundAWrongFlagIsALoss)
{
    Played played;
    played.press(2, 2, 1);
    played.press(1, 2, 2); // no mine under (1, 2)
    EXPECT_EQ(played.press(2, 2, 4), "row 2, column 2: mine: the whole board is uncovered");
}

TEST(BoardSpeech, ALineIsSaidInRunsAsItIsSeen)
{
    Played played;
    EXPECT_EQ(played.line(1, 1, Line::Row), "row 1: covered 1 to 8");
    played.press(4, 8, 1);
    played.press(2, 7, 2);
    EXPECT_EQ(played.line(4, 3, Line::Row), "row 4: covered 1 to 4, 2 at 5, empty 6 to 8");
    EXPECT_EQ(played.line(5, 7, Line::Column), "column 7: covered 1, flagged 2, 1 at 3, empty 4 to 8");
    played.press(1, 1, 1);
    EXPECT_EQ(played.line(6, 1, Line::Row), "row 6: mine 1 to 2, 2 at 3 to 5, 1 at 6, empty 7 to 8");
    EXPECT_EQ(played.line(6, 4, Line::Column),
              "column 4: empty 1, 1 at 2, mine 3, 2 at 4, mine 5, 2 at 6 to 7, mine 8");
}

// The squares of a board laid out as the game lays them out, every cell covered, and with
// the given counts drawn uncovered along its first row.
SquareArray boardSquares(Int16 rows, Int16 columns, const std::vector<Int16> &firstRowCounts = {})
{
    Board board;
    board.rowCount = rows;
    board.columnCount = columns;
    board.countColours = StandardCountColours;
    sizeGrids(board);
    SquareArray squares{designedTemplateSquare()};
    buildGrid(board, squares);
    for (std::size_t i = 0; i < firstRowCounts.size(); ++i) {
        const auto column = narrowCast16(static_cast<int>(i) + 1);
        board.countGrid.at(column, 1) = firstRowCounts[i];
        drawCell(board, squares, column, 1);
    }
    return squares;
}

TEST(BoardSpeech, ALineRunsTheLengthOfItsOwnSideOfTheBoard)
{
    const struct {
        Int16 rows, columns;
        Line line;
        const char *said;
    } cases[] = {
        {10, 15, Line::Row, "row 2: covered 1 to 15"},
        {10, 15, Line::Column, "column 3: covered 1 to 10"},
        {15, 10, Line::Row, "row 2: covered 1 to 10"},
        {15, 10, Line::Column, "column 3: covered 1 to 15"},
    };
    for (const auto &c : cases) {
        const SquareArray squares = boardSquares(c.rows, c.columns);
        EXPECT_EQ(lineWords(squares, cellIndexUnchecked(c.columns, 3, 2), c.line), c.said)
            << c.rows << " x " << c.columns;
    }
}

TEST(BoardSpeech, EveryCountInALineIsSaidAtItsPlace)
{
    const SquareArray squares = boardSquares(2, 10, {1, 2, 3, 4, 5, 6, 7, 8, 8, 0});
    EXPECT_EQ(lineWords(squares, 0, Line::Row),
              "row 1: 1 at 1, 2 at 2, 3 at 3, 4 at 4, 5 at 5, 6 at 6, 7 at 7, 8 at 8 to 9, empty 10");
}

TEST(BoardSpeech, OneCellUncoveredIsSaidInTheSingular)
{
    const SquareArray squares = boardSquares(2, 10, {1, 0});
    using Kind = PressOutcome::Kind;
    const struct {
        Int16 k;
        int button, uncovered;
        const char *said;
    } cases[] = {
        {0, MiddleButton, 1, "1 cell uncovered"},
        {0, MiddleButton, 2, "2 cells uncovered"},
        {1, LeftButton, 1, "empty"},
        {1, LeftButton, 2, "empty: 2 cells uncovered"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(pressWords(squares, c.k, c.button, {Kind::Uncovered, c.uncovered}, true), c.said);
}

TEST(BoardSpeech, NoWordsAreBuiltWhileNoScreenReaderListens)
{
    // The offscreen platform has no screen reader to listen.
    Played played(false);
    played.game.widget.setCurrentCell(0);
    QKeyEvent readRow(QEvent::KeyPress, Qt::Key_H, Qt::NoModifier);
    QCoreApplication::sendEvent(&played.game.widget, &readRow);
    EXPECT_TRUE(played.spoken.isEmpty());
}

} // namespace
} // namespace tessfield
