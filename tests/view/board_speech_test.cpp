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
