// The window's manners on the offscreen platform, which frames a window (2 pixels a side)
// but has no window manager: a bare widget stands for the main window.

#include "ui/window_manners.h"

#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

namespace tessfield {
namespace {

// The main window's design: 392 x 240 pixels at opening, never less than 137 x 209.
const WindowManners::Design Design{QSizeF(5880, 3600), QSizeF(1800 + 255, 2640 + 375 + 120)};

class WindowMannersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        manners.open();
        ASSERT_EQ(window.logicalDpiX(), 96);
    }

    void show()
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // The outer size, frame included, once it is what the window is given.
    bool outerBecomes(QSize outer)
    {
        return QTest::qWaitFor([&] { return window.frameGeometry().size() == outer; });
    }

    QWidget window;
    int layouts = 0;
    WindowManners manners{window, Design, [this] { ++layouts; }};
};

TEST_F(WindowMannersTest, OpensAtItsDesignedSizeAndLaysOut)
{
    show();
    EXPECT_EQ(window.size(), QSize(392, 240));
    EXPECT_GT(layouts, 0);
}

// A board's size is the window's outer size. The frame is known only once the window is
// shown: a board set up before that is fitted again with the frame.
TEST_F(WindowMannersTest, GivesABoardItsOuterSizeOnceTheFrameIsKnown)
{
    manners.requestOuterSize(QSize(408, 381));
    show();
    ASSERT_FALSE(window.windowHandle()->frameMargins().isNull()) << "needs a platform that frames";
    EXPECT_TRUE(outerBecomes(QSize(408, 381))) << window.frameGeometry().width() << " x "
                                               << window.frameGeometry().height();
}

// Maximized or full screen, the window keeps the size the player chose through a new board,
// and takes that board's size once restored (from full screen, with its frame back), not
// the size of the board it had before.
TEST_F(WindowMannersTest, KeepsTheFilledStateAndRestoresToTheNewBoard)
{
    show();
    manners.requestOuterSize(QSize(420, 300));
    ASSERT_TRUE(outerBecomes(QSize(420, 300)));
    const struct {
        Qt::WindowState state;
        QSize board;
    } cases[] = {{Qt::WindowFullScreen, {408, 296}}, {Qt::WindowMaximized, {440, 320}}};
    for (const auto &c : cases) {
        const QSize normal = window.size();
        window.setWindowState(c.state);
        ASSERT_TRUE(QTest::qWaitFor([&] { return manners.filledByPlayer() && window.size() != normal; }))
            << c.state;
        const QSize filled = window.size();
        manners.requestOuterSize(c.board);
        QCoreApplication::processEvents();
        EXPECT_EQ(window.size(), filled) << c.state;
        window.setWindowState(Qt::WindowNoState);
        EXPECT_TRUE(outerBecomes(c.board)) << c.state << ": " << window.frameGeometry().width()
                                           << " x " << window.frameGeometry().height();
    }
}

// Without a window manager nothing holds a tool to the size hints: the window does.
TEST_F(WindowMannersTest, HoldsItsLimitsWithoutAWindowManager)
{
    show();
    // At its largest the whole window, frame included, is on the screen's available area.
    const QSize most = window.screen()->availableGeometry().marginsRemoved(window.windowHandle()->frameMargins()).size();
    const struct {
        QSize forced;
        QSize kept;
    } cases[] = {{QSize(40, 40), QSize(137, 209)}, {most * 3, most}};
    for (const auto &c : cases) {
        window.windowHandle()->resize(c.forced);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.size() == c.kept; }))
            << c.forced.width() << " x " << c.forced.height() << " kept as "
            << window.width() << " x " << window.height();
    }
}

// A window put wholly off the screen comes back onto it.
TEST_F(WindowMannersTest, BringsTheWindowBackOnScreen)
{
    show();
    window.move(-3000, -3000);
    const QRect available = window.screen()->availableVirtualGeometry();
    EXPECT_TRUE(QTest::qWaitFor([&] { return available.contains(window.frameGeometry()); }))
        << window.frameGeometry().x() << ", " << window.frameGeometry().y();
}

struct FitCase {
    const char *name;
    QSize requested;
    QMargins frame;
    std::optional<QSize> available;
    QSize client;
};

// The outer size is the board's request less the frame; a board wider or taller than the
// screen is limited to it and keeps room for the scroll bar the other way (here 16 px); the
// floor (209 px) holds, but never beyond what the screen can show.
TEST(WindowFit, GivesTheClientWhatTheBoardAsksLessTheFrame)
{
    const QMargins frame(1, 23, 1, 4);
    const FitCase cases[] = {
        {"fits", {408, 400}, frame, QSize(1280, 1000), {406, 373}},
        {"no screen known", {408, 400}, frame, std::nullopt, {406, 373}},
        {"floored", {408, 211}, frame, QSize(1280, 1000), {406, 209}},
        {"too wide: room below", {9000, 300}, frame, QSize(1280, 1000), {1278, 289}},
        {"too high: room beside", {300, 9000}, frame, QSize(1280, 1000), {314, 973}},
        {"too wide and high", {9000, 9000}, frame, QSize(1280, 1000), {1278, 973}},
        {"floor beyond the screen", {408, 100}, frame, QSize(1280, 150), {406, 123}},
    };
    for (const FitCase &c : cases)
        EXPECT_EQ(fittedClientSize(c.requested, c.frame, c.available, 16, 209), c.client) << c.name;
}

// A window is moved only as far as it takes to be on the free area, and once placed the
// player may leave part of it off the screen.
TEST(WindowPlace, MovesTheFrameOnlyAsFarAsItMust)
{
    const QRect available(0, 30, 1280, 994);
    const struct {
        const char *name;
        QRect frame;
        bool first;
        std::optional<QPoint> to;
    } cases[] = {
        {"on the area", {100, 100, 400, 300}, true, std::nullopt},
        {"above it", {100, 0, 400, 300}, true, QPoint(100, 30)},
        {"partly off, placed by the player", {-100, 100, 400, 300}, false, std::nullopt},
        {"wholly off", {-900, 2000, 400, 300}, false, QPoint(0, 724)},
        {"larger than the area", {50, 50, 2000, 300}, true, QPoint(0, 50)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(onScreenPosition(c.frame, available, c.first), c.to) << c.name;
}

// On Wayland a board's window leaves half the room the opening window left free.
TEST(WindowPlace, CapsAWaylandWindowToHalfTheFreeRoom)
{
    EXPECT_EQ(waylandOuterLimit(QSize(1280, 1000), QSize(400, 300)), QSize(840, 650));
    EXPECT_EQ(waylandOuterLimit(QSize(300, 200), QSize(400, 300)), QSize(300, 200));
}

} // namespace
} // namespace tessfield
