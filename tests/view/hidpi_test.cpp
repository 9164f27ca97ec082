// The board at one device pixel ratio, on the offscreen platform configured by a screen file
// (QT_QPA_PLATFORM=offscreen:configfile=screens/dpr-R.json); CTest runs this program once
// per ratio and names the ratio in its argument --expected-dpr=R.
//
// Twips become device-independent pixels through the logical DPI; the cell images are
// rendered per device pixel ratio and copied one pixel to one pixel, so the board stays
// sharp and its cells abut with no gap or seam at fractional ratios too. What each square
// should show is written here from the game's design, colours as 0xBBGGRR numbers.

#include "board/mines.h"
#include "game/actions.h"
#include "game/game.h"
#include "ui/form1.h"
#include "view/board_widget.h"
#include "design_colours.h"
#include "painted_board.h"
#include "squares/cells.h"
#include "view/twips.h"

#include <QImage>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
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

using namespace fixtures; // the design's colours

QColor colour(quint32 bgr)
{
    return {static_cast<int>(bgr & 0xFFU), static_cast<int>((bgr >> 8U) & 0xFFU),
            static_cast<int>((bgr >> 16U) & 0xFFU)};
}

// A square's look: its background, whether it stands raised (covered), and the colour of
// its glyph, if it has one.
struct Look {
    quint32 background;
    bool raised;
    std::optional<quint32> ink;
};

// Square k of the board all covered (a flag on `flagged`) or all uncovered.
Look designedLook(const Board &board, Int16 k, bool uncovered, Int16 flagged = -1)
{
    if (!uncovered)
        return {CoveredBgr, true, k == flagged ? std::optional<quint32>(FlagBgr) : std::nullopt};
    const auto [column, row] = cellPosition(board.columnCount, k);
    if (board.hasMine(column, row))
        return {MineBgr, false, BombBgr};
    const auto count = static_cast<std::size_t>(board.countGrid.at(column, row));
    return {RevealedBgr, false, count > 0 ? std::optional<quint32>(CountBgr.at(count)) : std::nullopt};
}

// Whether a channel lies between the background's and the ink's: an antialiased blend.
bool between(int value, int a, int b)
{
    return value >= std::min(a, b) - 1 && value <= std::max(a, b) + 1;
}

// The width of a square's edge: one device pixel per whole unit of the ratio.
int edgeLine(qreal ratio)
{
    return std::max(1, static_cast<int>(std::floor(ratio + 1e-9)));
}

// Checks one square's device pixels against its look, at a device pixel ratio whose whole
// part is the width of an edge: on a raised square a top and left edge lighter by 160 %, on
// every square a right and bottom edge darker by 150 %, each all one colour; inside, the
// background, and where a glyph is drawn its ink in its pure colour and blends of the two.
// Returns the number of wrong pixels, reporting the first few.
int wrongPixels(const QImage &image, QRect device, const Look &look, qreal ratio, Int16 k)
{
    const int line = edgeLine(ratio);
    const QColor background = colour(look.background);
    const QRgb light = background.lighter(160).rgb() & 0xFFFFFFU;
    const QRgb dark = background.darker(150).rgb() & 0xFFFFFFU;
    const QColor ink = colour(look.ink.value_or(look.background));
    bool inked = !look.ink;
    int wrong = 0;
    for (int y = 0; y < device.height(); ++y) {
        for (int x = 0; x < device.width(); ++x) {
            const QRgb seen = image.pixel(device.topLeft() + QPoint(x, y)) & 0xFFFFFFU;
            bool right = false;
            if (x >= device.width() - line || y >= device.height() - line)
                right = seen == dark;
            else if (look.raised && (x < line || y < line))
                right = seen == light;
            else {
                inked = inked || seen == (ink.rgb() & 0xFFFFFFU);
                right = between(qRed(seen), background.red(), ink.red())
                    && between(qGreen(seen), background.green(), ink.green())
                    && between(qBlue(seen), background.blue(), ink.blue());
            }
            if (!right && ++wrong <= 3)
                ADD_FAILURE() << "square " << k << " pixel (" << x << ", " << y << ")";
        }
    }
    if (!inked)
        ADD_FAILURE() << "square " << k << ": no pixel of its glyph's colour";
    return inked ? wrong : wrong + 1;
}

// Every square of the board, grabbed with the board's corner at `offset`, looks as designed.
void expectBoardLooks(const QImage &image, QPoint offset, const BoardWidget &widget,
                      const Board &board, bool uncovered, Int16 flagged = -1)
{
    int wrong = 0;
    for (int i = 0; i < board.cellCount(); ++i) {
        const auto k = static_cast<Int16>(i);
        const QRect device = widget.deviceRect(k).translated(offset);
        ASSERT_TRUE(image.rect().contains(device)) << "square " << k << " lies outside the grab";
        wrong += wrongPixels(image, device, designedLook(board, k, uncovered, flagged),
                             widget.devicePixelRatioF(), k);
    }
    EXPECT_EQ(wrong, 0);
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

// Every look is drawn for the device grid as designed: covered squares raised, one flagged
// with its white cross, and once all is uncovered the counts in their colours, the mines
// with their black bombs and the empty squares plain, every edge a whole number of device
// pixels wide and one colour.
TEST_F(HiDpi, EveryLookIsDrawnAsDesigned)
{
    PaintedBoard game(10, 15, 45, 11540);
    expectBoardLooks(game.grab(), {}, game.widget, game.board, false);

    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    expectBoardLooks(game.grab(), {}, game.widget, game.board, false, 16);

    revealAll(game.board, game.squares);
    game.show();
    expectBoardLooks(game.grab(), {}, game.widget, game.board, true);
}

// At a whole ratio above 1 a glyph has detail finer than a logical pixel: a picture drawn at
// ratio 1 and blown up would be all blocks of ratio x ratio device pixels of one colour.
TEST_F(HiDpi, GlyphsAreDrawnForTheDeviceGrid)
{
    const int block = static_cast<int>(ratio);
    if (block < 2 || block != ratio)
        GTEST_SKIP() << "blocks of whole device pixels exist at whole ratios above 1 only";
    PaintedBoard game(10, 15, 45, 11540);
    revealAll(game.board, game.squares);
    game.show();
    const QImage image = game.grab();
    int mixed = 0;
    for (Int16 k = 0; k < game.cells(); ++k) {
        const QRect device = game.widget.deviceRect(k);
        for (int y = device.top(); y + block <= device.bottom(); y += block) {
            for (int x = device.left(); x + block <= device.right(); x += block) {
                const QRgb first = image.pixel(x, y);
                for (int i = 0; i < block * block; ++i) {
                    if (image.pixel(x + i % block, y + i / block) != first) {
                        ++mixed;
                        break;
                    }
                }
            }
        }
    }
    EXPECT_GT(mixed, game.cells());
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
    const int line = edgeLine(ratio);
    const auto expectFramed = [&](Int16 k, const char *look, quint32 backgroundBgr) {
        const QRect device = game.widget.deviceRect(k);
        // The cell as it shows while the frame is on a neighbour.
        game.widget.setCurrentCell(static_cast<Int16>(k == 0 ? 1 : k - 1));
        const QImage plain = game.grab().copy(device);
        game.widget.setCurrentCell(k);
        const QImage image = game.grab();
        const QColor background = colour(backgroundBgr);
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
    expectFramed(0, "covered", CoveredBgr);
    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    expectFramed(16, "flagged", CoveredBgr);
    revealAll(game.board, game.squares);
    game.show();
    expectFramed(mine, "mine", MineBgr);
    expectFramed(count, "uncovered", RevealedBgr);

    game.widget.clearFocus();
    expectBoardLooks(game.grab(), {}, game.widget, game.board, true);
}

// The same holds in the window, where the board sits in its scroll area: "Play Game" and
// "Test Code" boards grabbed from the whole window show every cell as designed.
TEST_F(HiDpi, TheWindowShowsEveryCellAsDesigned)
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
        const Board &board = form.game().board();
        ASSERT_EQ(board.cellCount(), 150);
        SCOPED_TRACE(button == 0 ? "Test Code" : "Play Game");
        expectBoardLooks(image, offset, *form.board(), board, button == 0);
    }
}

} // namespace
} // namespace tessfield
