// What a player sees of each square, read back from the window's backing store: what the
// window last handed to the screen, not a fresh paint, so a square that was never repainted
// shows up stale here as it would on the screen. What each look should be is written here
// from the game's design: colours as 0xBBGGRR numbers, the mine as a bomb with a round black
// body, the counts as bold digits told apart by rendering them here in a fixed-pitch face.
//
// CTest runs this program at device pixel ratios 1 and 2 (screens/dpr-R.json). At 96 DPI a
// square of 255 twips is 17 pixels, so where each square lies is known without asking the
// widget.

#include "design_colours.h"
#include "painted_board.h"
#include "game/game.h"

#include <QFontDatabase>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace tessfield {
namespace {

using fixtures::PaintedBoard;

using namespace fixtures; // the design's colours

QRgb rgb(quint32 bgr)
{
    return qRgb(static_cast<int>(bgr & 0xFFU), static_cast<int>((bgr >> 8U) & 0xFFU),
                static_cast<int>((bgr >> 16U) & 0xFFU));
}

constexpr int CellPixels = 17; // 255 twips at 96 DPI

// How much of a pixel is ink rather than background, from the channel in which the two
// differ most: antialiased edges are blends of the two.
double inkShare(QRgb pixel, QRgb background, QRgb ink)
{
    const std::array<int, 3> p{qRed(pixel), qGreen(pixel), qBlue(pixel)};
    const std::array<int, 3> b{qRed(background), qGreen(background), qBlue(background)};
    const std::array<int, 3> i{qRed(ink), qGreen(ink), qBlue(ink)};
    std::size_t channel = 0;
    for (std::size_t c = 1; c < 3; ++c)
        if (std::abs(i[c] - b[c]) > std::abs(i[channel] - b[channel]))
            channel = c;
    const double share = static_cast<double>(p[channel] - b[channel]) / (i[channel] - b[channel]);
    return std::clamp(share, 0.0, 1.0);
}

// The ink of one square: its share per pixel over an area, and the box around the pixels
// that are mostly ink.
struct Ink {
    QSize size;
    std::vector<double> share;
    QRect box;
    double total = 0.0;
    bool pure = false; // some pixel is exactly the ink colour

    double at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= size.width() || y >= size.height())
            return 0.0;
        return share[static_cast<std::size_t>(y) * static_cast<std::size_t>(size.width())
                     + static_cast<std::size_t>(x)];
    }
};

Ink inkOf(const QImage &image, QRect area, QRgb background, QRgb ink)
{
    Ink result;
    result.size = area.size();
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const QRgb pixel = image.pixel(area.left() + x, area.top() + y) & 0xFFFFFFU;
            const double share = inkShare(pixel, background, ink);
            result.share.push_back(share);
            result.total += share;
            result.pure = result.pure || pixel == (ink & 0xFFFFFFU);
            if (share > 0.5)
                result.box |= QRect(x, y, 1, 1);
        }
    }
    return result;
}

// How far apart two inks are in shape, each taken from the top-left corner of its box: 0
// for the same picture, 1 or more for pictures that do not overlap at all.
double shapeDistance(const Ink &a, const Ink &b)
{
    const int width = std::max(a.box.width(), b.box.width()) + 2;
    const int height = std::max(a.box.height(), b.box.height()) + 2;
    double difference = 0.0;
    for (int y = -1; y < height; ++y)
        for (int x = -1; x < width; ++x)
            difference += std::abs(a.at(a.box.left() + x, a.box.top() + y)
                                   - b.at(b.box.left() + x, b.box.top() + y));
    return difference / std::max(1.0, std::max(a.total, b.total));
}

class Looks : public ::testing::Test {
protected:
    void SetUp() override
    {
        game.widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&game.widget));
        QCoreApplication::processEvents();
        // Shown alone, the board takes the focus; only the frame's own test wants it.
        game.widget.clearFocus();
        ASSERT_EQ(game.widget.logicalDpi(), 96.0) << "square positions here assume 96 DPI";
        ratio = static_cast<int>(std::lround(game.widget.devicePixelRatioF()));
        ASSERT_EQ(ratio, game.widget.devicePixelRatioF());
    }

    // A picture of the board and its pixels per logical pixel.
    struct Picture {
        QImage image;
        int scale = 1;
    };

    // What the window shows now: the pending repaints are done and the backing store read,
    // which holds what was painted then and nothing newer. (The offscreen platform keeps
    // its backing store at one pixel per logical pixel whatever the ratio.)
    Picture shown()
    {
        QCoreApplication::processEvents();
        const QImage image = game.widget.screen()
                                 ->grabWindow(game.widget.winId())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        return {image, image.width() / std::max(1, game.widget.width())};
    }

    // The whole board painted afresh in device pixels.
    Picture painted()
    {
        return {game.widget.grab().toImage().convertToFormat(QImage::Format_RGB32), ratio};
    }

    QRect cell(Int16 k, int scale) const
    {
        const int side = CellPixels * scale;
        const int columns = game.board.columnCount;
        return {(k % columns) * side, (k / columns) * side, side, side};
    }

    // A square less its edge lines, whose look is the implementer's.
    QRect inside(Int16 k, int scale) const
    {
        return cell(k, scale).adjusted(scale, scale, -scale, -scale);
    }

    // The colour most pixels of an area have.
    static QRgb commonest(const QImage &image, QRect area)
    {
        std::map<QRgb, int> counts;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                ++counts[image.pixel(x, y) & 0xFFFFFFU];
        return std::max_element(counts.begin(), counts.end(),
                                [](const auto &a, const auto &b) { return a.second < b.second; })
                   ->first
            | 0xFF000000U;
    }

    // How many pixels of an area are not the colour.
    static int unlike(const QImage &image, QRect area, QRgb colour)
    {
        int pixels = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                pixels += (image.pixel(x, y) & 0xFFFFFFU) != (colour & 0xFFFFFFU) ? 1 : 0;
        return pixels;
    }

    // The pixel size of the design's point sizes at 96 DPI, at scale pixels per logical one.
    static double em(double points, int scale) { return points * 96.0 * scale / 72.0; }

    // A count written as this test expects it: the digits in a bold fixed-pitch face at 8
    // points from the square's top-left corner, in the count's colour on silver.
    Ink referenceDigits(int count, bool bold) const
    {
        QImage image(cell(0, ratio).size(), QImage::Format_RGB32);
        image.fill(rgb(RevealedBgr));
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPixelSize(static_cast<int>(std::lround(em(8, ratio))));
        font.setBold(bold);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(QColor::fromRgb(rgb(CountBgr.at(static_cast<std::size_t>(count)))));
        painter.drawText(image.rect(), Qt::AlignLeft | Qt::AlignTop, QString::number(count));
        painter.end();
        return inkOf(image, image.rect(), rgb(RevealedBgr),
                     rgb(CountBgr.at(static_cast<std::size_t>(count))));
    }

    // Square k's writing as this test expects it: the text in DejaVu Sans Mono, the
    // fixed-pitch face that stands in for "Terminal" here, at the given points, in the ink on
    // the background, from one pixel in from the square's left edge and at its top. Returns
    // how many pixels inside the square's edge differ from what the board shows.
    int unlikeWriting(const QImage &image, Int16 k, const char *text, double points, bool bold,
                      QRgb ink, QRgb background) const
    {
        const QRect square = cell(k, ratio);
        QImage expected(square.size(), QImage::Format_RGB32);
        expected.fill(background);
        QFont face(QStringLiteral("DejaVu Sans Mono"));
        face.setPixelSize(static_cast<int>(std::lround(em(points, ratio))));
        face.setBold(bold);
        QPainter painter(&expected);
        painter.setFont(face);
        painter.setPen(QColor::fromRgb(ink));
        painter.drawText(expected.rect().adjusted(ratio, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         QLatin1String(text));
        painter.end();
        int pixels = 0;
        const QRect area = inside(k, ratio);
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                pixels += (image.pixel(x, y) & 0xFFFFFFU)
                        != (expected.pixel(x - square.left(), y - square.top()) & 0xFFFFFFU)
                    ? 1
                    : 0;
        return pixels;
    }

    // Whether a disc of the given radius lies wholly on black-ish pixels somewhere in the
    // area: the body of a bomb, which no stroke of a letter at 8 points is wide enough for.
    static bool holdsDarkDisc(const QImage &image, QRect area, double radius)
    {
        const auto dark = [&](int x, int y) {
            const QRgb pixel = image.pixel(x, y);
            return qRed(pixel) < 0x40 && qGreen(pixel) < 0x40 && qBlue(pixel) < 0x40;
        };
        const int reach = static_cast<int>(std::ceil(radius));
        for (int cy = area.top() + reach; cy <= area.bottom() - reach; ++cy) {
            for (int cx = area.left() + reach; cx <= area.right() - reach; ++cx) {
                bool filled = true;
                for (int y = cy - reach; y <= cy + reach && filled; ++y)
                    for (int x = cx - reach; x <= cx + reach && filled; ++x)
                        if (std::hypot(x - cx, y - cy) <= radius)
                            filled = dark(x, y);
                if (filled)
                    return true;
            }
        }
        return false;
    }

    // An "X": ink near the four corners of its box and at its middle, none in the middle of
    // its top or left side.
    static bool isCross(const Ink &ink)
    {
        const QRect box = ink.box;
        const auto most = [&](double fx, double fy, double fw, double fh) {
            const QRect window(box.left() + static_cast<int>(fx * box.width()),
                               box.top() + static_cast<int>(fy * box.height()),
                               std::max(1, static_cast<int>(fw * box.width())),
                               std::max(1, static_cast<int>(fh * box.height())));
            double top = 0.0;
            for (int y = window.top(); y <= window.bottom(); ++y)
                for (int x = window.left(); x <= window.right(); ++x)
                    top = std::max(top, ink.at(x, y));
            return top;
        };
        return most(0, 0, 0.25, 0.25) > 0.5 && most(0.75, 0, 0.25, 0.25) > 0.5
            && most(0, 0.75, 0.25, 0.25) > 0.5 && most(0.75, 0.75, 0.25, 0.25) > 0.5
            && most(0.4, 0.4, 0.2, 0.2) > 0.5 && most(0.4, 0, 0.2, 0.15) < 0.5
            && most(0, 0.4, 0.15, 0.2) < 0.5;
    }

    // What square k shows, in words: "covered", "flagged", "uncovered", "mine" or what
    // else its pixels are.
    std::string lookOf(const Picture &picture, Int16 k) const
    {
        const QImage &image = picture.image;
        const QRect area = inside(k, picture.scale);
        const QRgb background = commonest(image, area);
        if (background == rgb(CoveredBgr)) {
            const Ink flag = inkOf(image, area, background, rgb(FlagBgr));
            return flag.total < 1.0 ? "covered" : isCross(flag) ? "flagged" : "covered, marked";
        }
        if (background == rgb(RevealedBgr))
            return "uncovered";
        if (background == rgb(MineBgr))
            return holdsDarkDisc(image, area, 0.2 * em(8, picture.scale)) ? "mine" : "light red, no bomb";
        return "background " + QColor::fromRgb(background).name().toStdString();
    }

    // What the squares say square k should show.
    std::string expectedLook(Int16 k) const
    {
        const Colour background = game.squares.background(k);
        if (background == CoveredBgr)
            return game.squares.hasInscription(k) ? "flagged" : "covered";
        return background == MineBgr ? "mine" : "uncovered";
    }

    void expectEverySquareAsItsState(const char *step)
    {
        const Picture picture = shown();
        int wrong = 0;
        for (Int16 k = 0; k < game.cells(); ++k) {
            const std::string look = lookOf(picture, k);
            if (look != expectedLook(k) && ++wrong <= 5)
                ADD_FAILURE() << step << ": square " << k << " shows " << look << ", not "
                              << expectedLook(k);
        }
        EXPECT_EQ(wrong, 0) << step;
    }

    PaintedBoard game{10, 15, 45, 11540};
    int ratio = 1;
};

// A covered square is dark grey; a flag is a white "X" of 12 points at its top left.
TEST_F(Looks, CoveredAndFlaggedSquares)
{
    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    const QImage image = painted().image;
    EXPECT_EQ(commonest(image, inside(15, ratio)), rgb(CoveredBgr));
    EXPECT_EQ(commonest(image, inside(16, ratio)), rgb(CoveredBgr));
    const Ink flag = inkOf(image, inside(16, ratio), rgb(CoveredBgr), rgb(FlagBgr));
    EXPECT_TRUE(flag.pure) << "no pixel of the flag is white";
    EXPECT_TRUE(isCross(flag)) << "the flag is not an X";
    // A capital of a 12-point face stands well over half its size; one of 8 points does not.
    EXPECT_GE(flag.box.height(), 0.6 * em(12, ratio));
    EXPECT_LT(flag.box.left(), inside(16, ratio).width() / 3);
    EXPECT_LT(flag.box.top(), inside(16, ratio).height() / 3);
}

// Uncovered, a square shows its mine as a black bomb on light red, its count in bold digits
// of the count's colour on silver, or nothing on silver.
TEST_F(Looks, UncoveredSquaresShowTheirMineCountOrNothing)
{
    revealAll(game.board, game.squares);
    game.show();
    const QImage image = painted().image;
    std::array<int, 9> seen{};
    for (Int16 k = 0; k < game.cells(); ++k) {
        SCOPED_TRACE("square " + std::to_string(k));
        const auto [column, row] = cellPosition(game.board.columnCount, k);
        if (game.board.hasMine(column, row)) {
            ASSERT_EQ(commonest(image, inside(k, ratio)), rgb(MineBgr));
            const Ink bomb = inkOf(image, inside(k, ratio), rgb(MineBgr), qRgb(0, 0, 0));
            EXPECT_TRUE(bomb.pure) << "nothing on the mine is black";
            EXPECT_TRUE(holdsDarkDisc(image, inside(k, ratio), 0.2 * em(8, ratio))) << "the mine has no round body";
            continue;
        }
        ASSERT_EQ(commonest(image, inside(k, ratio)), rgb(RevealedBgr));
        const int count = game.board.countGrid.at(column, row);
        ++seen.at(static_cast<std::size_t>(count));
        if (count == 0) {
            EXPECT_EQ(commonest(image, inside(k, ratio)), rgb(RevealedBgr));
            EXPECT_EQ(unlike(image, inside(k, ratio), rgb(RevealedBgr)), 0) << "an empty square shows something";
            continue;
        }
        const QRgb colour = rgb(CountBgr.at(static_cast<std::size_t>(count)));
        const Ink ink = inkOf(image, inside(k, ratio), rgb(RevealedBgr), colour);
        EXPECT_TRUE(ink.pure) << "no pixel of the count " << count << " has its colour";
        EXPECT_LT(ink.box.left(), inside(k, ratio).width() / 3) << "not written from the left";
        EXPECT_LT(ink.box.top(), inside(k, ratio).height() / 3) << "not written from the top";
        // The digit is the one it is most like among 1 to 8 written here.
        int likest = 0;
        double nearest = 1e9;
        for (int digit = 1; digit <= 8; ++digit) {
            Ink reference = referenceDigits(digit, true);
            // Compared in the count's own colour, so only the shape tells them apart.
            const double distance = shapeDistance(ink, reference);
            if (distance < nearest) {
                nearest = distance;
                likest = digit;
            }
        }
        EXPECT_EQ(likest, count);
        // Bold: at least as much ink as halfway from the regular digit to the bold one.
        const double bold = referenceDigits(count, true).total;
        const double regular = referenceDigits(count, false).total;
        EXPECT_GT(ink.total, (bold + regular) / 2) << "count " << count << " is not bold";
    }
    // The board shows empty squares and the counts 1 to 6.
    for (std::size_t count = 0; count <= 6; ++count)
        EXPECT_GT(seen.at(count), 0) << "no square with count " << count;
}

// The flag and the counts are written in the fixed-pitch face: the flag at 12 points, the
// counts bold at 8.
TEST_F(Looks, FlagsAndCountsAreWrittenInTheFixedPitchFace)
{
    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    EXPECT_EQ(unlikeWriting(painted().image, 16, "X", 12, false, rgb(FlagBgr), rgb(CoveredBgr)), 0);

    revealAll(game.board, game.squares);
    game.show();
    const QImage image = painted().image;
    for (Int16 k = 0; k < game.cells(); ++k) {
        const auto [column, row] = cellPosition(game.board.columnCount, k);
        const int count = game.board.countGrid.at(column, row);
        if (game.board.hasMine(column, row) || count == 0)
            continue;
        const auto index = static_cast<std::size_t>(count);
        EXPECT_EQ(unlikeWriting(image, k, std::to_string(count).c_str(), 8, true, rgb(CountBgr.at(index)),
                                rgb(RevealedBgr)),
                  0)
            << "square " << k << ", count " << count;
    }
}

// Each change the game makes reaches the screen, repainted square by square and read back
// as the window shows it: a flag and its removal, a flood, a loss, a new board of the same
// size (which repaints nothing by resizing).
TEST_F(Looks, EveryChangeReachesTheScreen)
{
    expectEverySquareAsItsState("a new board");
    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    expectEverySquareAsItsState("a flag");
    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    expectEverySquareAsItsState("the flag taken off");

    Int16 zero = -1;
    for (Int16 k = 0; k < game.cells() && zero < 0; ++k) {
        const auto [column, row] = cellPosition(game.board.columnCount, k);
        if (!game.board.hasMine(column, row) && game.board.countGrid.at(column, row) == 0)
            zero = k;
    }
    ASSERT_GE(zero, 0);
    squareMouseDown(game.board, game.squares, zero, LeftButton, game.stack);
    game.show();
    expectEverySquareAsItsState("a flood");

    revealAll(game.board, game.squares);
    game.show();
    expectEverySquareAsItsState("a loss");

    resetBoard(game.board, game.squares, BoardParameters{10, 15, 45, 11540});
    sizeGrids(game.board);
    placeMines(game.board, game.random, 11540);
    countNeighbours(game.board);
    buildGrid(game.board, game.squares);
    game.show();
    expectEverySquareAsItsState("a new board of the same size");
}

// Guards the bounds of many changes shown at once: the far column reached only in a middle
// row is repainted too.
TEST_F(Looks, ManyChangesAtOnceReachTheScreenWhereverTheyLie)
{
    expectEverySquareAsItsState("a new board");
    const int columns = game.board.columnCount;
    for (int row = 0; row < game.board.rowCount; ++row)
        for (int column = 0; column < 7; ++column)
            squareMouseDown(game.board, game.squares, narrowCast16(row * columns + column), RightButton, game.stack);
    squareMouseDown(game.board, game.squares, narrowCast16(4 * columns + columns - 1), RightButton, game.stack);
    game.show();
    expectEverySquareAsItsState("flags on seven columns and one at the end of a middle row");
}

// The keys' current cell wears a black and white frame; when it moves, the frame goes with
// it and leaves nothing behind.
TEST_F(Looks, TheFrameMovesWithTheCurrentCell)
{
    game.widget.activateWindow();
    game.widget.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&game.widget));
    const auto framed = [](const QImage &image, QRect area) {
        bool black = false;
        bool white = false;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                black = black || (image.pixel(x, y) & 0xFFFFFFU) == 0x000000U;
                white = white || (image.pixel(x, y) & 0xFFFFFFU) == 0xFFFFFFU;
            }
        }
        return black && white;
    };
    Picture picture = shown();
    EXPECT_TRUE(framed(picture.image, cell(0, picture.scale)));
    EXPECT_FALSE(framed(picture.image, cell(1, picture.scale)));

    QTest::keyClick(&game.widget, Qt::Key_Right);
    picture = shown();
    EXPECT_FALSE(framed(picture.image, cell(0, picture.scale))) << "the old frame is still shown";
    EXPECT_TRUE(framed(picture.image, cell(1, picture.scale)));

    game.widget.clearFocus();
    picture = shown();
    EXPECT_FALSE(framed(picture.image, cell(1, picture.scale))) << "framed without the focus";
}

} // namespace
} // namespace tessfield
