// What the board tells a listening screen reader about the changes it is handed: a new
// board resets the table, a flag renames its one cell, and a reveal of the whole board is one
// event for its whole range, not one per cell. (Qt sends events only while a screen reader
// listens, which the offscreen platform never does, so the events are checked as the board
// builds them.)

#include "painted_board.h"
#include "view/board_accessible.h"

#include <QAccessible>
#include <gtest/gtest.h>

namespace tessfield {
namespace {

using fixtures::PaintedBoard;

bool isTableChange(const QAccessibleEvent &event, QAccessibleTableModelChangeEvent::ModelChangeType type)
{
    return event.type() == QAccessible::TableModelChanged
        && static_cast<const QAccessibleTableModelChangeEvent &>(event).modelChangeType() == type;
}

TEST(BoardAccessible, ChangesAreToldCheaply)
{
    PaintedBoard game(10, 15, 45, 11540);
    const auto eventsFor = [&](Int16 k, Int16 button) {
        squareMouseDown(game.board, game.squares, k, button, game.stack);
        return boardChangeEvents(game.widget, game.show());
    };

    auto events = boardChangeEvents(game.widget, SquareChanges{true, {}});
    ASSERT_EQ(events.size(), 1U);
    EXPECT_TRUE(isTableChange(*events[0], QAccessibleTableModelChangeEvent::ModelReset));
    EXPECT_EQ(events[0]->object(), &game.widget);

    events = eventsFor(16, RightButton);
    ASSERT_EQ(events.size(), 1U);
    EXPECT_EQ(events[0]->type(), QAccessible::NameChanged);
    EXPECT_EQ(events[0]->child(), 16);
    // The event leads a screen reader to the renamed cell.
    ASSERT_NE(events[0]->accessibleInterface(), nullptr);
    EXPECT_EQ(events[0]->accessibleInterface()->text(QAccessible::Name),
              QStringLiteral("row 2, column 2, flagged"));

    // A left press on a mine uncovers all 150 cells: one range event.
    Int16 mine = -1;
    for (Int16 k = 0; k < 150 && mine < 0; ++k) {
        const auto [column, row] = cellPosition(15, k);
        if (game.board.hasMine(column, row))
            mine = k;
    }
    ASSERT_GE(mine, 0);
    events = eventsFor(mine, LeftButton);
    ASSERT_EQ(events.size(), 1U);
    ASSERT_TRUE(isTableChange(*events[0], QAccessibleTableModelChangeEvent::DataChanged));
    const auto &range = static_cast<const QAccessibleTableModelChangeEvent &>(*events[0]);
    EXPECT_EQ(range.firstRow(), 0);
    EXPECT_EQ(range.lastRow(), 9);
    EXPECT_EQ(range.firstColumn(), 0);
    EXPECT_EQ(range.lastColumn(), 14);

    // Nothing changed, nothing to tell.
    EXPECT_TRUE(boardChangeEvents(game.widget, game.show()).empty());
}

} // namespace
} // namespace tessfield
