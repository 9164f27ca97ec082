// What the board widget lays out again and renders afresh: a move to a screen of another
// device pixel ratio lays the board out again, and a cell image is never reused at a DPI it
// was not rendered for. (That every change is repainted, looks_test.cpp reads back from the
// window's backing store.)

#include "painted_board.h"
#include "view/cell_painter.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace tessfield {
namespace {

using fixtures::PaintedBoard;

// A cell's image depends on the DPI its glyph is sized for, not only on its device size: a
// board at another DPI gets images of its own.
TEST(CellPainter, ImagesAreKeptApartByDpi)
{
    PaintedBoard game(10, 15, 45, 11540);
    revealAll(game.board, game.squares);
    Int16 counted = -1;
    for (Int16 k = 0; k < game.cells() && counted < 0; ++k)
        if (game.squares.hasInscription(k) && game.squares.background(k) == RevealedColour)
            counted = k;
    ASSERT_GE(counted, 0);
    CellPainter painter;
    const QSize size(40, 40);
    const QImage at96 = painter.pixmapFor(game.squares, counted, size, 1.0, 96).toImage();
    const QImage at192 = painter.pixmapFor(game.squares, counted, size, 1.0, 192).toImage();
    EXPECT_EQ(painter.cachedLooks(), 2);
    EXPECT_NE(at96, at192);
}

// Moved to a screen of a fractional ratio, the board's edges round to other device pixels
// and the widget must grow to cover them (at 1.25, 15 columns of 17 px need 256 px, not 255).
// Runs on the two-screen configuration, dpr 1 and 1.25, side by side.
TEST(BoardWidgetRepaint, AMoveToAnotherRatioLaysTheBoardOutAgain)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2) << "runs on the two-screen offscreen configuration";
    PaintedBoard game(10, 15, 45, 11540);
    game.widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&game.widget));
    ASSERT_EQ(game.widget.devicePixelRatioF(), 1.0);
    ASSERT_EQ(game.widget.sizeHint(), QSize(255, 170));

    game.widget.windowHandle()->setScreen(screens[1]);
    game.widget.move(screens[1]->geometry().topLeft() + QPoint(10, 10));
    game.widget.update();
    ASSERT_TRUE(QTest::qWaitFor([&] { return game.widget.devicePixelRatioF() == 1.25; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return game.widget.sizeHint() == QSize(256, 170); }))
        << "still " << game.widget.sizeHint().width() << " x " << game.widget.sizeHint().height();
}

} // namespace
} // namespace tessfield
