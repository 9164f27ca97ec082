// What the board tells a listening screen reader about the changes it is handed: a new
// board resets the table and tells clients to read it again, a flag renames its one cell, and
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

bool isTableChange(const QAccessibleEvent &event, QAccessibleTableModelChangeEvent::ModelChangeType type)
{
    return event.type() == QAccessible::TableModelChanged
        && static_cast<const QAccessibleTableModelChangeEvent &>(event).modelChangeType() == type;
}

// The events as (type, child) pairs, which is what reaches a client.
std::vector<std::pair<QAccessible::Event, int>> told(const std::vector<std::unique_ptr<QAccessibleEvent>> &events)
{
    std::vector<std::pair<QAccessible::Event, int>> pairs;
    pairs.reserve(events.size());
    for (const auto &event : events)
        pairs.emplace_back(event->type(), event->child());
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

    auto events = boardChangeEvents(game.widget, SquareChanges{true, {}});
    ASSERT_EQ(events.size(), 2U);
    EXPECT_TRUE(isTableChange(*events[0], QAccessibleTableModelChangeEvent::ModelReset));
    EXPECT_EQ(events[0]->object(), &game.widget);
    // A child added to the table: the one table-wide event that reaches AT-SPI clients.
    EXPECT_EQ(told(events)[1], std::make_pair(QAccessible::ObjectCreated, 0));

    events = eventsFor(16, RightButton);
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0]->type(), QAccessible::NameChanged);
    EXPECT_EQ(events[0]->child(), 16);
    // The event leads a screen reader to the renamed cell.
    ASSERT_NE(events[0]->accessibleInterface(), nullptr);
    EXPECT_EQ(events[0]->accessibleInterface()->text(QAccessible::Name),
              QStringLiteral("row 2, column 2, flagged"));

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

} // namespace
} // namespace tessfield
