// The board widget on the offscreen platform: where its squares lie, and presses of the
// mouse and the keys reaching the right square. What it shows is checked in looks_test.cpp.

#include "design_colours.h"
#include "painted_board.h"
#include "game/actions.h"
#include "game/game.h"
#include "view/board_widget.h"
#include "squares/cells.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace tessfield {
namespace {

using fixtures::PaintedBoard;

// Every cell is 255 twips square, 17 pixels at 96 DPI, and the board starts at the
// template's corner, so the squares tile the widget edge to edge with no gap and no overlap.
TEST(BoardWidget, SquaresTileTheWidgetWithoutGaps)
{
    PaintedBoard game(10, 15, 45, 11540);
    ASSERT_EQ(game.widget.logicalDpi(), 96.0);
    const int cell = 17;
    EXPECT_EQ(game.widget.size(), QSize(15 * cell, 10 * cell));
    for (Int16 k = 0; k < 150; ++k) {
        const QRect area = game.widget.squareRect(k);
        EXPECT_EQ(area.left(), (k % 15) * cell) << "square " << k;
        EXPECT_EQ(area.top(), (k / 15) * cell) << "square " << k;
        EXPECT_EQ(area.size(), QSize(cell, cell)) << "square " << k;
    }
}

// A press at any square's centre is reported with that square's index and the button value;
// outside the board nothing is reported.
TEST(BoardWidget, PressAtSquareCentreReportsItsIndexAndButton)
{
    PaintedBoard game(10, 15, 45, 11540);
    QSignalSpy pressed(&game.widget, &BoardWidget::squarePressed);
    const struct {
        Qt::MouseButton button;
        int value;
    } buttons[] = {{Qt::LeftButton, 1}, {Qt::RightButton, 2}, {Qt::MiddleButton, 4}};
    for (const Int16 k : {Int16{0}, Int16{14}, Int16{16}, Int16{135}, Int16{149}}) {
        for (const auto &press : buttons) {
            QTest::mousePress(&game.widget, press.button, {}, game.widget.squareRect(k).center());
            ASSERT_EQ(pressed.count(), 1);
            const QList<QVariant> arguments = pressed.takeFirst();
            EXPECT_EQ(arguments.at(0).toInt(), k);
            EXPECT_EQ(arguments.at(1).toInt(), press.value);
            QTest::mouseRelease(&game.widget, press.button, {}, game.widget.squareRect(k).center());
        }
    }
}

// The button value sums every button held, so chorded presses arrive as 3, 5, 6 or 7.
TEST(BoardWidget, ButtonValueSumsEveryHeldButton)
{
    EXPECT_EQ(buttonValue(Qt::LeftButton), 1);
    EXPECT_EQ(buttonValue(Qt::LeftButton | Qt::RightButton), 3);
    EXPECT_EQ(buttonValue(Qt::LeftButton | Qt::MiddleButton), 5);
    EXPECT_EQ(buttonValue(Qt::RightButton | Qt::MiddleButton), 6);
    EXPECT_EQ(buttonValue(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton), 7);
    EXPECT_EQ(buttonValue(Qt::BackButton), 0);
}

struct MoveCase {
    const char *name;
    Int16 from;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Int16 to;
    bool edge; // the move can go no further, which the key says in one word
};

// Each key moves the current cell as the key table says, on a board of 4 rows by 5 columns
// shown whole (so a page is 4 rows); the keypad's keys count as the others, and a modifier
// that gives a key no meaning leaves the cell where it is. A move key that finds the cell at
// its edge says "edge", once. The edges themselves are the moves' own table
// (cell_moves_test.cpp).
TEST(BoardWidgetKeys, MoveTheCurrentCell)
{
    PaintedBoard game(4, 5, 0, 1);
    game.widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&game.widget));
    QSignalSpy said(&game.widget, &BoardWidget::announcement);
    const MoveCase cases[] = {
        {"Right", 0, Qt::Key_Right, {}, 1, false},
        {"Left", 7, Qt::Key_Left, {}, 6, false},
        {"Down", 1, Qt::Key_Down, {}, 6, false},
        {"Up", 7, Qt::Key_Up, {}, 2, false},
        {"Home", 7, Qt::Key_Home, {}, 5, false},
        {"End", 7, Qt::Key_End, {}, 9, false},
        {"Ctrl+Home", 13, Qt::Key_Home, Qt::ControlModifier, 0, false},
        {"Ctrl+End", 1, Qt::Key_End, Qt::ControlModifier, 19, false},
        {"Page Down", 1, Qt::Key_PageDown, {}, 16, false},
        {"Page Up", 17, Qt::Key_PageUp, {}, 2, false},
        {"keypad Right", 0, Qt::Key_Right, Qt::KeypadModifier, 1, false},
        {"keypad End", 5, Qt::Key_End, Qt::KeypadModifier, 9, false},
        {"Alt+Right", 0, Qt::Key_Right, Qt::AltModifier, 0, false},
        {"Up on the top row", 2, Qt::Key_Up, {}, 2, true},
        {"Left on the first column", 10, Qt::Key_Left, {}, 10, true},
        {"Page Down on the last row", 17, Qt::Key_PageDown, {}, 17, true},
        {"End at the end of the row", 9, Qt::Key_End, {}, 9, true},
        {"Ctrl+End on the last cell", 19, Qt::Key_End, Qt::ControlModifier, 19, true},
    };
    for (const MoveCase &c : cases) {
        game.widget.setCurrentCell(c.from);
        ASSERT_EQ(game.widget.currentCell(), c.from) << c.name;
        said.clear();
        QTest::keyClick(&game.widget, c.key, c.modifiers);
        EXPECT_EQ(game.widget.currentCell(), c.to) << c.name;
        EXPECT_EQ(said.size(), c.edge ? 1 : 0) << c.name;
        if (c.edge && !said.isEmpty()) {
            EXPECT_EQ(said.at(0).at(0).toString(), QStringLiteral("edge")) << c.name;
        }
    }
}

struct KeyPressCase {
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int button; // 0: no press
};

// A key that stands for a mouse button presses the current cell with that button's value.
TEST(BoardWidgetKeys, PressTheCurrentCellAsTheirButton)
{
    PaintedBoard game(4, 5, 0, 1);
    QSignalSpy pressed(&game.widget, &BoardWidget::squarePressed);
    const KeyPressCase cases[] = {
        {"Space", Qt::Key_Space, {}, 1},
        {"Return", Qt::Key_Return, {}, 1},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, 1},
        {"F", Qt::Key_F, {}, 2},
        {"Shift+F", Qt::Key_F, Qt::ShiftModifier, 2},
        {"C", Qt::Key_C, {}, 4},
        {"Ctrl+F", Qt::Key_F, Qt::ControlModifier, 0},
        {"X", Qt::Key_X, {}, 0},
    };
    game.widget.setCurrentCell(7);
    for (const KeyPressCase &c : cases) {
        QTest::keyClick(&game.widget, c.key, c.modifiers);
        if (c.button == 0) {
            EXPECT_EQ(pressed.count(), 0) << c.name;
            pressed.clear();
            continue;
        }
        ASSERT_EQ(pressed.count(), 1) << c.name;
        const QList<QVariant> arguments = pressed.takeFirst();
        EXPECT_EQ(arguments.at(0).toInt(), 7) << c.name;
        EXPECT_EQ(arguments.at(1).toInt(), c.button) << c.name;
    }
}

// Alike squares side by side are copied in runs from strips of 64 looks: a run longer than
// a strip, one cut by the edge of the painted area and one ended by another look must each
// leave every square at its place, 17 pixels square from the board's corner, with its
// inside in its own colour, a seam along its right edge (whose shade is the painter's), and
// every whole square pixel for pixel like the others of its look, wherever its run began.
TEST(BoardWidget, RunsOfAlikeSquaresLeaveEverySquareInPlace)
{
    constexpr int Cell = 17;
    struct Case {
        Int16 rows;
        Int16 columns;
        std::vector<Int16> uncovered;
        QRect painted; // pixels of the widget
    };
    const std::vector<Case> cases = {
        {10, 15, {16, 17, 29}, QRect(0, 0, 15 * Cell, 10 * Cell)},
        // Runs of 59 (cut at the left), 63, 1, 134 (two strips and a part) and 20 (cut at
        // the right) covered squares.
        {1, 32767, {100, 164, 166, 301}, QRect(41 * Cell + 5, 0, 280 * Cell, Cell)},
        {181, 181, {5 * 181 + 10, 6 * 181 + 130}, QRect(3, 4 * Cell + 2, 181 * Cell - 3, 4 * Cell)},
        {32767, 1, {1000, 1001}, QRect(0, 990 * Cell + 9, Cell, 40 * Cell)},
    };
    // Greys, the same read as 0xBBGGRR or as RGB.
    const QRgb covered = 0xFF000000U | fixtures::CoveredBgr;
    const QRgb uncovered = 0xFF000000U | fixtures::RevealedBgr;
    for (const Case &c : cases) {
        PaintedBoard game(c.rows, c.columns, 0, 11540);
        for (const Int16 k : c.uncovered)
            game.squares.setBackground(k, RevealedColour);
        game.show();
        const QImage image = game.widget.grab(c.painted).toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), c.painted.size());
        const auto isUncovered = [&](int k) { return std::ranges::count(c.uncovered, k) > 0; };
        int wrong = 0;
        const auto fail = [&](QPoint at, int k, const char *what) {
            if (++wrong <= 3)
                ADD_FAILURE() << c.rows << " x " << c.columns << ": pixel " << at.x() << ", " << at.y()
                              << " of square " << k << ": " << what;
        };
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QPoint at = c.painted.topLeft() + QPoint(x, y);
                const int inX = at.x() % Cell;
                const int inY = at.y() % Cell;
                if (inY == 0 || inY == Cell - 1 || inX == 0)
                    continue; // the top and bottom edges, and the left one of covered squares
                const int k = at.y() / Cell * c.columns + at.x() / Cell;
                const QRgb inside = isUncovered(k) ? uncovered : covered;
                if (inX == Cell - 1 ? image.pixel(x, y) == inside : image.pixel(x, y) != inside)
                    fail(at, k, inX == Cell - 1 ? "no seam" : "not its colour");
            }
        }
        // Every whole square against the first whole square of its look.
        std::array<std::optional<QImage>, 2> first;
        for (int y = (c.painted.top() + Cell - 1) / Cell * Cell; y + Cell <= c.painted.bottom() + 1; y += Cell) {
            for (int x = (c.painted.left() + Cell - 1) / Cell * Cell; x + Cell <= c.painted.right() + 1; x += Cell) {
                const int k = y / Cell * c.columns + x / Cell;
                const QImage square = image.copy(QRect(QPoint(x, y) - c.painted.topLeft(), QSize(Cell, Cell)));
                std::optional<QImage> &like = first.at(isUncovered(k) ? 1 : 0);
                if (!like)
                    like = square;
                else if (square != *like)
                    fail({x, y}, k, "unlike the others of its look");
            }
        }
        EXPECT_EQ(wrong, 0) << c.rows << " x " << c.columns;
    }
}

// Looks are rendered once and reused: a fully revealed board has only a handful of them.
TEST(BoardWidget, CachesOneImagePerLook)
{
    PaintedBoard game(100, 100, 1000, 3);
    revealAll(game.board, game.squares);
    game.show();
    (void)game.grab();
    // silver blank, eight counts at most, the mine
    EXPECT_LE(game.widget.cellPainter().cachedLooks(), 10);
    EXPECT_GE(game.widget.cellPainter().cachedLooks(), 3);
}

} // namespace
} // namespace tessfield
