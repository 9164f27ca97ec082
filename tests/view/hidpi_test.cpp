// The board at one device pixel ratio, on the offscreen platform configured by a screen file
// (QT_QPA_PLATFORM=offscreen:configfile=screens/dpr-R.json); CTest runs this program once
// per ratio and names the ratio in its argument --expected-dpr=R.
//
// Twips become device-independent pixels through the logical DPI; the cell images are
// rendered per device pixel ratio and copied one pixel to one pixel, so the board stays
// sharp and its cells abut with no gap or seam at fractional ratios too.

#include "board/mines.h"
#include "game/actions.h"
#include "game/game.h"
#include "ui/form1.h"
#include "view/board_widget.h"
#include "view/cell_painter.h"
#include "painted_board.h"
#include "squares/cells.h"
#include "view/twips.h"

#include <QImage>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace tessfield {
namespace {

qreal expectedRatio()
{
    const QString prefix = QStringLiteral("--expected-dpr=");
    for (const QString &argument : QCoreApplication::arguments()) {
        if (argument.startsWith(prefix))
            return argument.mid(prefix.size()).toDouble();
    }
    return 1.0;
}

using fixtures::PaintedBoard;

// What the widget copies for square k: its cached image at its device size.
QImage cellImage(PaintedBoard &game, Int16 k)
{
    const QRect device = game.widget.deviceRect(k);
    const QPixmap &pixmap = const_cast<CellPainter &>(game.widget.cellPainter())
                                .pixmapFor(game.squares, k, device.size(),
                                           game.widget.devicePixelRatioF(), game.widget.logicalDpi());
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

// Every cell's device pixels in a grab equal, pixel for pixel, the image rendered for that
// cell at this ratio, placed at the cell's device rectangle: nothing is scaled on the way
// to the screen, and no pixel of a cell is left to a neighbour or to the background.
void expectCellsCopiedOneToOne(PaintedBoard &game, const QImage &image, QPoint offset)
{
    for (Int16 k = 0; k < game.cells(); ++k) {
        const QRect device = game.widget.deviceRect(k).translated(offset);
        ASSERT_TRUE(image.rect().contains(device)) << "square " << k << " lies outside the grab";
        const QImage expected = cellImage(game, k);
        ASSERT_EQ(expected.size(), device.size()) << "square " << k;
        EXPECT_EQ(image.copy(device), expected) << "square " << k << " differs from its image";
    }
}

class HiDpi : public ::testing::Test {
protected:
    qreal ratio = expectedRatio();
};

// The screen file took effect: otherwise every check below would quietly run at ratio 1.
TEST_F(HiDpi, TheScreenHasTheConfiguredRatioAndLogicalDpi)
{
    PaintedBoard game(10, 15, 45, 11540);
    EXPECT_DOUBLE_EQ(game.widget.devicePixelRatioF(), ratio);
    EXPECT_DOUBLE_EQ(game.widget.grab().devicePixelRatio(), ratio);
    // Twips turn into device-independent pixels through the logical DPI, whatever the ratio.
    EXPECT_EQ(game.widget.logicalDpi(), 96.0);
    EXPECT_EQ(game.widget.squareRect(16).size(), QSize(17, 17));
}

// Neighbouring cells share their device edges, the first starts at the widget's corner, and
// together the cells cover the board's device area exactly; each cell is 255 twips at
// 96 dpi times the ratio, give or take the one pixel that rounding moves an edge.
TEST_F(HiDpi, CellsAbutInDevicePixels)
{
    PaintedBoard game(10, 15, 45, 11540);
    const int columns = 15;
    const double exact = 17.0 * ratio;
    long long area = 0;
    for (Int16 k = 0; k < game.cells(); ++k) {
        const QRect device = game.widget.deviceRect(k);
        area += static_cast<long long>(device.width()) * device.height();
        EXPECT_LE(std::abs(device.width() - exact), 1.0) << "square " << k;
        EXPECT_LE(std::abs(device.height() - exact), 1.0) << "square " << k;
        if (k % columns == 0)
            EXPECT_EQ(device.left(), 0) << "square " << k;
        else
            EXPECT_EQ(device.left(), game.widget.deviceRect(static_cast<Int16>(k - 1)).right() + 1)
                << "square " << k;
        if (k < columns)
            EXPECT_EQ(device.top(), 0) << "square " << k;
        else
            EXPECT_EQ(device.top(),
                      game.widget.deviceRect(static_cast<Int16>(k - columns)).bottom() + 1)
                << "square " << k;
    }
    const QRect last = game.widget.deviceRect(static_cast<Int16>(game.cells() - 1));
    EXPECT_EQ(area, static_cast<long long>(last.right() + 1) * (last.bottom() + 1));
    // The widget holds every device pixel of the board.
    EXPECT_GE(game.widget.width() * ratio, last.right() + 1 - 1e-9);
    EXPECT_GE(game.widget.height() * ratio, last.bottom() + 1 - 1e-9);
}

// The cell images are rendered for the device grid: as many pixels as the cell covers on the
// screen, labelled with the ratio.
TEST_F(HiDpi, CellImagesAreRenderedAtDeviceResolution)
{
    PaintedBoard game(10, 15, 45, 11540);
    (void)game.grab();
    for (const Int16 k : {Int16{0}, Int16{16}, Int16{149}}) {
        const QRect device = game.widget.deviceRect(k);
        const QPixmap &pixmap = const_cast<CellPainter &>(game.widget.cellPainter())
                                    .pixmapFor(game.squares, k, device.size(), ratio,
                                               game.widget.logicalDpi());
        EXPECT_EQ(pixmap.size(), device.size());
        EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), ratio);
    }
}

// A covered cell is a full rectangle: a light top and left edge, a dark right and bottom
// edge, each a whole number of device pixels wide, and the covered grey inside, with not
// one pixel of anything else anywhere on the board.
TEST_F(HiDpi, CoveredCellsAreFullRectanglesWithCrispEdges)
{
    PaintedBoard game(10, 15, 45, 11540);
    const QImage image = game.grab();
    const QColor covered = toQColor(CoveredColour);
    const QRgb inside = covered.rgb();
    const QRgb light = covered.lighter(160).rgb();
    const QRgb dark = covered.darker(150).rgb();
    const int line = edgeWidth(ratio);
    int wrong = 0;
    for (Int16 k = 0; k < game.cells(); ++k) {
        const QRect device = game.widget.deviceRect(k);
        for (int y = device.top(); y <= device.bottom(); ++y) {
            for (int x = device.left(); x <= device.right(); ++x) {
                const bool darkEdge = x > device.right() - line || y > device.bottom() - line;
                const bool lightEdge = x < device.left() + line || y < device.top() + line;
                const QRgb want = darkEdge ? dark : lightEdge ? light : inside;
                if ((image.pixel(x, y) & 0xFFFFFFU) != (want & 0xFFFFFFU) && ++wrong <= 5)
                    ADD_FAILURE() << "square " << k << " pixel (" << x << ", " << y << ")";
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// Uncovered, flagged and mined cells come out one to one as well: counts, flags and bombs
// are drawn into the device-resolution images, not scaled up from ratio 1.
TEST_F(HiDpi, EveryLookIsCopiedOneToOne)
{
    PaintedBoard game(10, 15, 45, 11540);
    expectCellsCopiedOneToOne(game, game.grab(), {});

    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    expectCellsCopiedOneToOne(game, game.grab(), {});

    revealAll(game.board, game.squares);
    game.show();
    expectCellsCopiedOneToOne(game, game.grab(), {});
}

// Above ratio 1 a glyph is drawn for the finer grid: its image is not the ratio-1 image
// blown up (at ratio 1 the two are the same image, which shows the comparison is fair).
TEST_F(HiDpi, GlyphsAreNotScaledUpBitmaps)
{
    PaintedBoard game(10, 15, 45, 11540);
    revealAll(game.board, game.squares);
    game.show();
    CellPainter atOne;
    int compared = 0;
    for (Int16 k = 0; k < game.cells(); ++k) {
        if (!game.squares.hasInscription(k))
            continue;
        const QImage fine = cellImage(game, k);
        const QImage coarse = atOne.pixmapFor(game.squares, k, game.widget.squareRect(k).size(), 1.0,
                                              game.widget.logicalDpi())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32)
                                  .scaled(fine.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (ratio == 1.0)
            EXPECT_EQ(fine, coarse) << "square " << k;
        else
            EXPECT_NE(fine, coarse) << "square " << k;
        ++compared;
    }
    EXPECT_GT(compared, 10);
}

// WCAG's contrast ratio of two colours, from their relative luminance.
double contrast(QColor a, QColor b)
{
    const auto luminance = [](QColor colour) {
        const auto channel = [](double value) {
            return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF())
            + 0.0722 * channel(colour.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return std::max(la, lb) / std::min(la, lb);
}

// The keyboard's current cell wears a frame of two rings, each a whole number of device
// pixels as wide as a square's edge, on every look: one colour per ring and nothing between,
// one of them at least 3:1 against the look, and the cell's own pixels inside them. Without
// the focus the board looks as it does with no current cell.
TEST_F(HiDpi, TheFocusFrameIsCrispAndStandsOutOnEveryLook)
{
    PaintedBoard game(10, 15, 45, 11540);
    game.widget.show();
    game.widget.activateWindow();
    game.widget.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&game.widget));
    const int line = edgeWidth(ratio);
    const auto expectFramed = [&](Int16 k, const char *look) {
        game.widget.setCurrentCell(k);
        const QImage image = game.grab();
        const QImage plain = cellImage(game, k);
        const QRect device = game.widget.deviceRect(k);
        const QColor background = toQColor(game.squares.background(k));
        int wrong = 0;
        std::set<QRgb> rings;
        for (int y = 0; y < device.height(); ++y) {
            for (int x = 0; x < device.width(); ++x) {
                const int depth = std::min({x, y, device.width() - 1 - x, device.height() - 1 - y});
                const QRgb seen = image.pixel(device.topLeft() + QPoint(x, y)) & 0xFFFFFFU;
                // Inside the rings the cell's own image; in each ring its corner's colour.
                const int ring = depth / line * line;
                const bool framed = depth < 2 * line;
                const QRgb want = (framed ? image.pixel(device.topLeft() + QPoint(ring, ring))
                                          : plain.pixel(x, y))
                    & 0xFFFFFFU;
                if (framed)
                    rings.insert(seen);
                if (seen != want && ++wrong <= 3)
                    ADD_FAILURE() << look << " square " << k << " pixel (" << x << ", " << y << ")";
            }
        }
        EXPECT_EQ(wrong, 0) << look;
        ASSERT_EQ(rings.size(), 2U) << look << ": the rings are not two plain colours";
        const QColor outer = image.pixelColor(device.topLeft());
        const QColor inner = image.pixelColor(device.topLeft() + QPoint(line, line));
        EXPECT_GE(std::max(contrast(outer, background), contrast(inner, background)), 3.0) << look;
        EXPECT_GE(contrast(outer, inner), 3.0) << look;
    };
    Int16 mine = -1;
    Int16 count = -1;
    for (Int16 k = 0; k < game.cells(); ++k) {
        const auto [column, row] = cellPosition(15, k);
        (game.board.hasMine(column, row) ? mine : count) = k;
    }
    expectFramed(0, "covered");
    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    expectFramed(16, "flagged");
    revealAll(game.board, game.squares);
    game.show();
    expectFramed(mine, "mine");
    expectFramed(count, "uncovered");

    game.widget.clearFocus();
    expectCellsCopiedOneToOne(game, game.grab(), {});
}

// The same holds in the window, where the board sits in its scroll area: "Play Game" and
// "Test Code" boards grabbed from the whole window show every cell one to one.
TEST_F(HiDpi, TheWindowShowsEveryCellOneToOne)
{
    Form1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_DOUBLE_EQ(form.devicePixelRatioF(), ratio);
    for (const int button : {1, 0}) {
        QTest::mouseClick(form.setupButton(button), Qt::LeftButton);
        QApplication::processEvents();
        const QPixmap pixmap = form.grab();
        const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
        const QPointF logical = form.board()->mapTo(&form, QPoint(0, 0));
        const QPoint offset(static_cast<int>(std::lround(logical.x() * ratio)),
                            static_cast<int>(std::lround(logical.y() * ratio)));
        BoardWidget &widget = *form.board();
        const SquareArray &squares = form.game().squares();
        CellPainter painter;
        int cells = 0;
        for (Int16 k = 0; k < squares.indexLimit(); ++k) {
            const QRect device = widget.deviceRect(k).translated(offset);
            ASSERT_TRUE(image.rect().contains(device)) << "square " << k;
            const QImage expected = painter.pixmapFor(squares, k, device.size(), ratio, widget.logicalDpi())
                                        .toImage()
                                        .convertToFormat(QImage::Format_RGB32);
            EXPECT_EQ(image.copy(device), expected) << "button " << button << " square " << k;
            ++cells;
        }
        EXPECT_EQ(cells, 150);
    }
}

} // namespace
} // namespace tessfield
