// What a screen reader reaches through Qt's accessibility interfaces (AT-SPI on Linux), on
// the offscreen platform: named entries, buttons and status line, and the board as a table
// whose cell names follow the squares.

#include "shown_form.h"
#include "ui/form1.h"
#include "view/board_accessible.h"
#include "view/board_widget.h"
#include "squares/cells.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace tessfield {
namespace {

class Accessibility : public fixtures::ShownForm {
protected:
    static QAccessibleInterface *of(QObject *object)
    {
        return QAccessible::queryAccessibleInterface(object);
    }
    QAccessibleInterface *board() const { return of(form.board()); }
    QAccessibleTableInterface *table() const { return board()->tableInterface(); }

    QString cellName(int row, int column) const
    {
        QAccessibleInterface *cell = table()->cellAt(row, column);
        return cell == nullptr ? QStringLiteral("<none>") : cell->text(QAccessible::Name);
    }

    void pressSquare(Int16 k, Qt::MouseButton button)
    {
        QTest::mouseClick(form.board(), button, {}, form.board()->squareRect(k).center());
    }

    // Searches the window's accessible tree, depth first, for the first interface that
    // satisfies the test.
    static QAccessibleInterface *find(QAccessibleInterface *root,
                                      const std::function<bool(QAccessibleInterface *)> &test)
    {
        if (root == nullptr)
            return nullptr;
        if (test(root))
            return root;
        for (int i = 0; i < root->childCount(); ++i) {
            if (QAccessibleInterface *found = find(root->child(i), test))
                return found;
        }
        return nullptr;
    }
};

// The labels are the entries' buddies, so the entries carry the labels' words as names and
// point back at them.
TEST_F(Accessibility, EachEntryIsNamedByItsLabel)
{
    const char *names[] = {"rows", "columns", "mines", "Game ID"};
    for (int entry = 1; entry <= 4; ++entry) {
        QAccessibleInterface *iface = of(form.entry(entry));
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::EditableText);
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromLatin1(names[entry - 1]));
        EXPECT_EQ(iface->text(QAccessible::Value), form.entry(entry)->text());
        const auto labelledBy = iface->relations(QAccessible::Label);
        ASSERT_EQ(labelledBy.size(), 1) << names[entry - 1];
        EXPECT_EQ(labelledBy.first().first->text(QAccessible::Name),
                  QString::fromLatin1(names[entry - 1]));
    }
}

// A screen reader reads an entry's value run by run: the whole value is one run, wherever it
// asks, so "11540" is not cut to its first characters.
TEST_F(Accessibility, EachEntryReadsItsWholeValueAsOneRun)
{
    form.entry(4)->setText(QStringLiteral("11540"));
    for (int entry = 1; entry <= 4; ++entry) {
        QAccessibleTextInterface *text = of(form.entry(entry))->textInterface();
        ASSERT_NE(text, nullptr);
        const int length = static_cast<int>(form.entry(entry)->text().size());
        EXPECT_EQ(text->characterCount(), length);
        EXPECT_EQ(text->text(0, length), form.entry(entry)->text());
        for (int offset = 0; offset < length; ++offset) {
            int start = -1;
            int end = -1;
            text->attributes(offset, &start, &end);
            EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, length)) << "entry " << entry;
        }
    }
    // Edited through the interface, the entry itself changes.
    of(form.entry(1))->editableTextInterface()->replaceText(0, 2, QStringLiteral("8"));
    EXPECT_EQ(form.entry(1)->text(), QStringLiteral("8"));
}

// A screen reader asks for a range of an entry's text in every way there is: to the end
// (an end of -1), beyond either end, backwards or empty.
TEST_F(Accessibility, AnEntryGivesWhatEachRangeOfItsTextHolds)
{
    form.entry(4)->setText(QStringLiteral("11540"));
    form.entry(3)->clear();
    const struct {
        int entry, start, end;
        const char *text;
    } ranges[] = {
        {4, 0, -1, "11540"}, {4, 2, -1, "540"},   {4, 5, -1, ""},     {4, 1, 3, "15"},
        {4, 0, 5, "11540"},  {4, -7, 99, "11540"}, {4, 3, 99, "40"},  {4, 4, 2, ""},
        {4, 2, 2, ""},       {4, 9, 12, ""},       {3, 0, -1, ""},    {3, 0, 4, ""},
    };
    for (const auto &r : ranges)
        EXPECT_EQ(of(form.entry(r.entry))->textInterface()->text(r.start, r.end), QLatin1String(r.text))
            << "Text" << r.entry << " from " << r.start << " to " << r.end;
}

// After a setup the screen reader hears one sentence: what the status line says if the setup
// was refused, otherwise the board that was built.
TEST(SetupWords, OneSentenceAfterASetup)
{
    const auto board = [](int rows, int columns, int mines) {
        Board made;
        made.rowCount = narrowCast16(rows);
        made.columnCount = narrowCast16(columns);
        made.mineCount = narrowCast16(mines);
        return made;
    };
    const struct {
        QString status;
        int index;
        Board board;
        const char *said;
    } cases[] = {
        {{}, 1, board(8, 8, 10), "board of 8 rows by 8 columns, 10 mines"},
        {{}, 1, board(1, 1, 1), "board of 1 row by 1 column, 1 mine"},
        {{}, 1, board(181, 181, 0), "board of 181 rows by 181 columns, 0 mines"},
        {{}, 0, board(8, 8, 10), "Test Code: board uncovered"},
        {QStringLiteral("rows must be a number from 1 to 32767"), 1, board(8, 8, 10),
         "rows must be a number from 1 to 32767"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(setupWords(c.status, c.index, c.board).toStdString(), c.said);
}

// The setup buttons are buttons named by their captions, which follow the busy state.
TEST_F(Accessibility, TheButtonsAreNamedByTheirCaptions)
{
    for (int index : {0, 1}) {
        QAccessibleInterface *iface = of(form.setupButton(index));
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::Button);
        EXPECT_EQ(iface->text(QAccessible::Name), form.setupButton(index)->text());
        ASSERT_NE(iface->actionInterface(), nullptr);
        EXPECT_TRUE(iface->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
    }
    EXPECT_EQ(of(form.setupButton(0))->text(QAccessible::Name), QStringLiteral("Test Code"));
    EXPECT_EQ(of(form.setupButton(1))->text(QAccessible::Name), QStringLiteral("Play Game"));
    // The tooltips are for the mouse: a screen reader would read a description at every
    // focus, so after every setup. And the press acts before the action returns.
    for (int entry = 1; entry <= 4; ++entry)
        EXPECT_EQ(of(form.entry(entry))->text(QAccessible::Description), QString()) << entry;
    EXPECT_EQ(of(form.setupButton(1))->text(QAccessible::Description), QString());
    of(form.setupButton(1))->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(form.game().board().rowCount, 10);
}

// The status line is a status bar whose name is the text it shows, so a refusal is read out.
TEST_F(Accessibility, TheStatusLineIsAStatusBarNamedByItsText)
{
    QAccessibleInterface *iface = of(form.status());
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::StatusBar);
    EXPECT_EQ(iface->text(QAccessible::Name), QString());
    form.entry(1)->setText(QStringLiteral("0"));
    press(1);
    EXPECT_FALSE(form.status()->text().isEmpty());
    EXPECT_EQ(iface->text(QAccessible::Name), form.status()->text());
}

// Before the first setup the board is an empty table; after "Play Game" it has the board's
// rows and columns, and every cell is named covered. The cells stand in a grid, the board's
// one child, which has the role of a table but not its interface: a screen reader that looks
// for labels under the board stops at it instead of asking each cell.
TEST_F(Accessibility, TheBoardIsATableOfItsRowsAndColumns)
{
    ASSERT_NE(board(), nullptr);
    EXPECT_EQ(board()->role(), QAccessible::Grouping);
    EXPECT_EQ(board()->text(QAccessible::Name), QStringLiteral("board"));
    ASSERT_NE(table(), nullptr);
    EXPECT_EQ(table()->rowCount(), 0);
    ASSERT_EQ(board()->childCount(), 1);
    QAccessibleInterface *grid = board()->child(0);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->role(), QAccessible::Table);
    EXPECT_EQ(grid->tableInterface(), nullptr);
    EXPECT_EQ(grid->parent(), board());
    EXPECT_EQ(board()->indexOfChild(grid), 0);
    EXPECT_EQ(grid->childCount(), 0);

    press(1);
    EXPECT_EQ(table()->rowCount(), 10);
    EXPECT_EQ(table()->columnCount(), 15);
    EXPECT_EQ(board()->childCount(), 1);
    EXPECT_EQ(grid->childCount(), 150);
    EXPECT_EQ(board()->text(QAccessible::Description),
              QStringLiteral("10 rows by 15 columns: the arrow keys move the current cell, Space "
                             "or Return uncovers it, F flags it, C chords it, H reads its row and V its "
                             "column; Ctrl+W closes the window and Ctrl+Q quits."));
    EXPECT_EQ(cellName(0, 0), QStringLiteral("covered, 1 1"));
    EXPECT_EQ(cellName(1, 2), QStringLiteral("covered, 2 3"));
    EXPECT_EQ(cellName(9, 14), QStringLiteral("covered, 10 15"));
    // Off the board: a cell that is nowhere (Qt's adaptor takes a cell's interface unchecked),
    // and no description.
    QAccessibleInterface *absent = table()->cellAt(10, 0);
    ASSERT_NE(absent, nullptr);
    EXPECT_FALSE(absent->isValid());
    ASSERT_NE(absent->tableCellInterface(), nullptr);
    EXPECT_EQ(absent->tableCellInterface()->rowIndex(), -1);
    EXPECT_EQ(absent->tableCellInterface()->rowExtent(), 0);
    EXPECT_TRUE(table()->rowDescription(10).isEmpty());

    // Cells know their place, their table, and where they are on the screen.
    QAccessibleInterface *cell = table()->cellAt(1, 2);
    ASSERT_NE(cell->tableCellInterface(), nullptr);
    EXPECT_EQ(cell->role(), QAccessible::Cell);
    EXPECT_EQ(cell->tableCellInterface()->rowIndex(), 1);
    EXPECT_EQ(cell->tableCellInterface()->columnIndex(), 2);
    EXPECT_EQ(cell->tableCellInterface()->table(), board());
    EXPECT_EQ(cell->parent(), grid);
    EXPECT_EQ(grid->indexOfChild(cell), 17);
    EXPECT_EQ(grid->child(17), cell);
    EXPECT_EQ(grid->child(150), nullptr);
    const QRect onScreen(form.board()->mapToGlobal(form.board()->squareRect(17).topLeft()),
                         form.board()->squareRect(17).size());
    EXPECT_EQ(cell->rect(), onScreen);
    EXPECT_EQ(board()->childAt(onScreen.center().x(), onScreen.center().y()), grid);
    EXPECT_EQ(grid->childAt(onScreen.center().x(), onScreen.center().y()), cell);
    // Each action names the first of the board's keys that does the same.
    QAccessibleActionInterface *actions = cell->actionInterface();
    ASSERT_NE(actions, nullptr);
    for (const auto &[action, key] : {std::pair{"uncover", "Space"}, std::pair{"flag", "F"}, std::pair{"chord", "C"}})
        EXPECT_EQ(actions->keyBindingsForAction(QLatin1String(action)), QStringList(QLatin1String(key)))
            << action;

    // A smaller board makes a smaller table.
    form.entry(1)->setText(QStringLiteral("3"));
    form.entry(2)->setText(QStringLiteral("4"));
    press(1);
    EXPECT_EQ(table()->rowCount(), 3);
    EXPECT_EQ(table()->columnCount(), 4);
    EXPECT_EQ(grid->childCount(), 12);
    EXPECT_EQ(cellName(2, 3), QStringLiteral("covered, 3 4"));
}

// The table is part of the window's tree, where a screen reader walking down from the
// window finds it, the entries and the buttons.
TEST_F(Accessibility, TheWindowsTreeReachesTheBoard)
{
    press(1);
    QAccessibleInterface *window = of(&form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("tessfield - qorv418"));
    EXPECT_EQ(find(window, [](QAccessibleInterface *i) { return i->role() == QAccessible::Grouping; }),
              board());
    EXPECT_NE(find(window, [](QAccessibleInterface *i) {
                  return i->text(QAccessible::Name) == QStringLiteral("Game ID")
                      && i->role() == QAccessible::EditableText;
              }),
              nullptr);
    EXPECT_NE(find(window, [](QAccessibleInterface *i) {
                  return i->text(QAccessible::Name) == QStringLiteral("Play Game");
              }),
              nullptr);
}

// A cell's name follows its square through every state: covered, flagged, covered again,
// uncovered with its count or empty, and a mine.
TEST_F(Accessibility, CellNamesFollowTheSquares)
{
    press(1);
    const Board &game = form.game().board();
    const auto expectedState = [&](Int16 k) {
        const auto [column, row] = cellPosition(game.columnCount, k);
        if (game.hasMine(column, row))
            return QStringLiteral("mine");
        const Int16 count = game.countGrid.at(column, row);
        return count == 0 ? QStringLiteral("empty") : QString::number(count);
    };

    pressSquare(16, Qt::RightButton);
    EXPECT_EQ(cellName(1, 1), QStringLiteral("flagged, 2 2"));
    pressSquare(16, Qt::RightButton);
    EXPECT_EQ(cellName(1, 1), QStringLiteral("covered, 2 2"));

    // A safe cell with a count shows its count once uncovered.
    Int16 numbered = -1;
    for (Int16 k = 0; k < 150 && numbered < 0; ++k) {
        const auto [column, row] = cellPosition(15, k);
        if (!game.hasMine(column, row) && game.countGrid.at(column, row) > 0)
            numbered = k;
    }
    ASSERT_GE(numbered, 0);
    pressSquare(numbered, Qt::LeftButton);
    EXPECT_EQ(cellName(numbered / 15, numbered % 15),
              QStringLiteral("%1, %2 %3")
                  .arg(game.countGrid.at(static_cast<Int16>(numbered % 15 + 1),
                                         static_cast<Int16>(numbered / 15 + 1)))
                  .arg(numbered / 15 + 1)
                  .arg(numbered % 15 + 1));

    // "Test Code" uncovers everything: every cell names what lies under it.
    press(0);
    int mines = 0;
    int empty = 0;
    for (Int16 k = 0; k < 150; ++k) {
        const QString name = cellName(k / 15, k % 15);
        EXPECT_EQ(name, QStringLiteral("%1, %2 %3").arg(expectedState(k)).arg(k / 15 + 1).arg(k % 15 + 1));
        mines += name.startsWith(QStringLiteral("mine, ")) ? 1 : 0;
        empty += name.startsWith(QStringLiteral("empty, ")) ? 1 : 0;
    }
    EXPECT_EQ(mines, 45);
    EXPECT_GT(empty, 0);
}

// The words for each state, straight from the squares.
TEST(BoardAccessibleNames, StatesInWords)
{
    SquareArray squares({0, 0, 255, 255, RevealedColour, 0, FontSpec{}});
    squares.setBackground(0, CoveredColour);
    squares.setTagText(0, NoFlagTag);
    EXPECT_EQ(squareStateText(squares, 0), QStringLiteral("covered"));
    squares.setTagText(0, FlagTag);
    EXPECT_EQ(squareStateText(squares, 0), QStringLiteral("flagged"));
    // A flag's tag left on an uncovered square does not make it read as flagged.
    squares.setBackground(0, RevealedColour);
    EXPECT_EQ(squareStateText(squares, 0), QStringLiteral("empty"));
    squares.write(0, "7");
    EXPECT_EQ(squareStateText(squares, 0), QStringLiteral("7"));
    squares.setBackground(0, MineColour);
    squares.write(0, MineGlyph);
    EXPECT_EQ(squareStateText(squares, 0), QStringLiteral("mine"));
    EXPECT_EQ(cellAccessibleName(squares, 1, 0), QStringLiteral("mine, 1 1"));
}

// Every text of the status line reaches a screen reader as its name, as it is shown.
TEST_F(Accessibility, TheStatusLineNamesEveryProgressText)
{
    QAccessibleInterface *iface = of(form.status());
    QStringList written;
    QStringList names;
    QObject::connect(&form, &Form1::statusWritten, &form, [&](const QString &text) {
        written.append(text);
        names.append(iface->text(QAccessible::Name));
    });
    press(1);
    EXPECT_GT(written.size(), 1);
    EXPECT_EQ(names, written);
}

} // namespace
} // namespace tessfield
