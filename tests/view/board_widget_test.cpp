// The board widget on the offscreen platform: presses reach the right square and a grab of
// the widget shows what the squares hold.

#include "painted_board.h"
#include "game/actions.h"
#include "game/game.h"
#include "view/board_widget.h"
#include "view/cell_painter.h"
#include "squares/cells.h"
#include "view/twips.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace tessfield {
namespace {

using fixtures::PaintedBoard;

QRgb rgbOf(Colour colour)
{
    return toQColor(colour).rgb();
}

// Every cell is 255 twips square and the board starts at the template's corner, so at any
// DPI the squares tile the widget edge to edge with no gap and no overlap.
TEST(BoardWidget, SquaresTileTheWidgetWithoutGaps)
{
    PaintedBoard game(10, 15, 45, 11540);
    const double dpi = game.widget.logicalDpi();
    const int cell = twipsToPixels(255, dpi);
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

// After a full reveal every cell of the default game shows its true background: light red
// for mines, silver for the rest.
TEST(BoardWidget, GrabAfterRevealShowsEveryCellsBackground)
{
    PaintedBoard game(10, 15, 45, 11540);
    revealAll(game.board, game.squares);
    game.show();
    const QImage image = game.grab();
    for (Int16 k = 0; k < 150; ++k) {
        const auto [column, row] = cellPosition(15, k);
        const Colour expected = game.board.hasMine(column, row) ? MineColour : RevealedColour;
        EXPECT_EQ(image.pixel(game.quietPixel(k)), rgbOf(expected)) << "square " << k;
    }
}

// A flag shows white pixels on a covered square and leaves its neighbours alone; taking it
// off leaves no white behind.
TEST(BoardWidget, GrabShowsAFlagAndItsRemoval)
{
    PaintedBoard game(10, 15, 45, 11540);
    const auto whitePixels = [&](Int16 k) {
        const QImage image = game.grab();
        const QRect area = game.widget.squareRect(k);
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += image.pixel(x, y) == qRgb(255, 255, 255) ? 1 : 0;
        return count;
    };
    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    EXPECT_GT(whitePixels(16), 5);
    EXPECT_EQ(whitePixels(17), 0);
    EXPECT_EQ(game.grab().pixel(game.quietPixel(16)), rgbOf(CoveredColour));

    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    EXPECT_EQ(whitePixels(16), 0);
}

// After a flood the uncovered cells are silver and the covered ones stay dark, pixel for
// pixel as the squares say.
TEST(BoardWidget, GrabAfterFloodMatchesTheSquares)
{
    PaintedBoard game(12, 12, 6, 7);
    Int16 zero = -1;
    for (Int16 k = 0; k < 144 && zero < 0; ++k) {
        const auto [column, row] = cellPosition(12, k);
        if (game.board.countGrid.at(column, row) == 0)
            zero = k;
    }
    ASSERT_GE(zero, 0);
    squareMouseDown(game.board, game.squares, zero, LeftButton, game.stack);
    game.show();
    const QImage image = game.grab();
    int uncovered = 0;
    for (Int16 k = 0; k < 144; ++k) {
        const Colour background = game.squares.background(k);
        uncovered += background != CoveredColour ? 1 : 0;
        EXPECT_EQ(image.pixel(game.quietPixel(k)), rgbOf(background)) << "square " << k;
    }
    EXPECT_GT(uncovered, 1);
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
