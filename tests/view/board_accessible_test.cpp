// What the board tells a listening screen reader about the changes it is handed: a new
// board tells clients to read the grid of cells again, a flag renames its one cell, and
// a reveal of the whole board is one event, not one per cell, with the focused cell renamed.
// A move of the current cell renames it and gives it the focus. (Qt sends events only while a
// screen reader listens, which the offscreen platform never does, so the events are checked
// as the board builds them.)

#include "painted_board.h"
#include "view/board_accessible.h"

#include <QAccessible>
#include <QTest>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tessfield {
namespace {

using fixtures::PaintedBoard;

// The events as (type, cell) pairs, the cell as its place among the grid's children, which
// is what reaches a client.
std::vector<std::pair<QAccessible::Event, int>> told(const std::vector<std::unique_ptr<QAccessibleEvent>> &events)
{
    std::vector<std::pair<QAccessible::Event, int>> pairs;
    pairs.reserve(events.size());
    for (const auto &event : events) {
        QAccessibleInterface *cell = event->accessibleInterface();
        const int place = cell == nullptr || cell->parent() == nullptr ? -1 : cell->parent()->indexOfChild(cell);
        pairs.emplace_back(event->type(), place);
    }
    return pairs;
}

using Told = std::vector<std::pair<QAccessible::Event, int>>;

TEST(BoardAccessible, ChangesAreToldCheaply)
{
    PaintedBoard game(10, 15, 45, 11540);
    const auto eventsFor = [&](Int16 k, Int16 button) {
        squareMouseDown(game.board, game.squares, k, button, game.stack);
        return boardChangeEvents(game.widget, game.show());
    };

    // A child added to the grid: the one grid-wide event that reaches AT-SPI clients.
    EXPECT_EQ(told(boardChangeEvents(game.widget, SquareChanges{true, {}})),
              (Told{{QAccessible::ObjectCreated, 0}}));

    auto events = eventsFor(16, RightButton);
    EXPECT_EQ(told(events), (Told{{QAccessible::NameChanged, 16}}));
    // The event leads a screen reader to the renamed cell.
    ASSERT_NE(events[0]->accessibleInterface(), nullptr);
    EXPECT_EQ(events[0]->accessibleInterface()->text(QAccessible::Name), QStringLiteral("flagged, 2 2"));

    // Without the focus on the board a move tells nothing; with it, the new current cell is
    // renamed and then focused.
    game.widget.setCurrentCell(17);
    EXPECT_TRUE(currentCellEvents(game.widget).empty());
    game.widget.show();
    game.widget.activateWindow();
    game.widget.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&game.widget));
    EXPECT_EQ(told(currentCellEvents(game.widget)),
              (Told{{QAccessible::NameChanged, 17}, {QAccessible::Focus, 17}}));

    // A left press on a mine uncovers all 150 cells: one event to read the table again, and
    // the focused cell renamed.
    Int16 mine = -1;
    for (Int16 k = 0; k < 150 && mine < 0; ++k) {
        const auto [column, row] = cellPosition(15, k);
        if (game.board.hasMine(column, row))
            mine = k;
    }
    ASSERT_GE(mine, 0);
    EXPECT_EQ(told(eventsFor(mine, LeftButton)),
              (Told{{QAccessible::ObjectCreated, 17}, {QAccessible::NameChanged, 17}}));

    // Nothing changed, nothing to tell.
    EXPECT_TRUE(boardChangeEvents(game.widget, game.show()).empty());
}

// Guards against a board that changes or moves without telling whatever reports it: every
// change it shows, each move of the current cell, and the focus it takes, told once Qt has
// handed it over.
TEST(BoardAccessible, TheWidgetTellsItsObserverOfEachChangeAndMove)
{
    struct Recorder : BoardObserver {
        std::vector<std::pair<std::size_t, int>> heard; // (changed cells, -1) or (0, current cell)
        void changesShown(BoardWidget & /*board*/, const SquareChanges &changes) override
        {
            heard.emplace_back(changes.cells.size(), -1);
        }
        void currentCellDue(BoardWidget &board) override
        {
            heard.emplace_back(0, board.currentCell().value_or(-2));
        }
    } recorder;
    PaintedBoard game(10, 15, 45, 11540);
    BoardObserver *const before = BoardWidget::observeEveryBoard(&recorder);
    squareMouseDown(game.board, game.squares, 16, RightButton, game.stack);
    game.show();
    game.widget.setCurrentCell(17);
    game.widget.show();
    game.widget.activateWindow();
    game.widget.setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return recorder.heard.size() >= 3; }));
    BoardWidget::observeEveryBoard(before);
    EXPECT_EQ(recorder.heard, (std::vector<std::pair<std::size_t, int>>{{1, -1}, {0, 17}, {0, 17}}));
}

} // namespace
} // namespace tessfield
