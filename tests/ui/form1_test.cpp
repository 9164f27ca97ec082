// The main window through Qt Test, as a player uses it: its designed state, both setup
// buttons, refused entries and the largest boards.

#include "shown_form.h"
#include "board/entries.h"
#include "ui/form1.h"
#include "view/board_widget.h"
#include "view/cell_painter.h"
#include "squares/cells.h"
#include "view/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace tessfield {
namespace {

// The design's twips at 96 DPI, 15 twips to the pixel: the offscreen screen's DPI.
class Form1Test : public fixtures::ShownForm {
protected:
    void SetUp() override
    {
        ShownForm::SetUp();
        ASSERT_EQ(form.logicalDpiX(), 96);
    }

    void setEntries(const QString &rows, const QString &columns, const QString &mines,
                    const QString &gameId)
    {
        form.entry(1)->setText(rows);
        form.entry(2)->setText(columns);
        form.entry(3)->setText(mines);
        form.entry(4)->setText(gameId);
    }
};

// At opening the window shows its designed controls, texts, colours and sizes, and no cell.
TEST_F(Form1Test, OpensInItsDesignedState)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("tessfield - qorv418"));
    EXPECT_EQ(form.size(), QSize(392, 240)); // 5880 x 3600 twips
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(form.palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));

    const struct {
        const char *name;
        const char *text;
        QRect geometry;
    } controls[] = {
        // Left, top, width and height in twips over 15.
        {"Label1", "rows", QRect(0, 8, 33, 17)},
        {"Text1", "10", QRect(48, 8, 49, 19)},
        {"Label2", "columns", QRect(0, 32, 41, 17)},
        {"Text2", "15", QRect(48, 32, 49, 19)},
        {"Label3", "mines", QRect(0, 56, 49, 17)},
        {"Text3", "45", QRect(48, 56, 49, 19)},
        {"Label4", "Game ID", QRect(0, 80, 49, 17)},
        {"Text4", "11540", QRect(48, 80, 49, 19)},
        {"setup(0)", "Test Code", QRect(8, 112, 81, 25)},
        {"setup(1)", "Play Game", QRect(8, 144, 81, 25)},
        {"status", "", QRect(8, 176, 81, 25)},
    };
    for (const auto &control : controls) {
        const auto *widget = form.findChild<QWidget *>(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr) << control.name;
        EXPECT_EQ(widget->geometry(), control.geometry) << control.name;
        EXPECT_TRUE(widget->isVisible()) << control.name;
        QString text;
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            text = label->text();
        else if (const auto *edit = qobject_cast<const QLineEdit *>(widget))
            text = edit->text();
        else if (const auto *button = qobject_cast<const QPushButton *>(widget))
            text = button->text();
        EXPECT_EQ(text, QString::fromLatin1(control.text)) << control.name;
    }

    const auto *line = form.findChild<QWidget *>(QStringLiteral("Line1"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->geometry().left(), 104);       // x 1560
    EXPECT_EQ(line->geometry().top(), 8);          // y 120
    EXPECT_EQ(line->geometry().bottom() + 1, 136); // to y 2040

    // Every label's text is shown whole within its designed width, and in the toolkit's
    // text colour rather than the window's grey.
    for (int i = 1; i <= 4; ++i) {
        const auto *label = form.findChild<QLabel *>(QStringLiteral("Label%1").arg(i));
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << "Label" << i;
        EXPECT_EQ(label->palette().color(QPalette::WindowText),
                  QApplication::palette().color(QPalette::WindowText)) << "Label" << i;
    }

    EXPECT_EQ(form.focusWidget(), form.entry(1));
    EXPECT_FALSE(form.game().squares().visible(0));
    EXPECT_TRUE(form.board()->size().isEmpty());
}

// The controls that take the focus, in the order Tab visits them.
QList<QWidget *> tabStops(Form1 &form)
{
    QList<QWidget *> stops;
    QWidget *widget = form.entry(1);
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && widget->isEnabled()
            && widget->isVisibleTo(&form))
            stops.append(widget);
        widget = widget->nextInFocusChain();
    } while (widget != form.entry(1));
    return stops;
}

// The window opens with the first entry's value selected, as Tab would leave it, so that
// typing replaces it.
TEST_F(Form1Test, OpensWithTheFirstValueSelected)
{
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(form.entry(1)->selectedText(), QStringLiteral("10"));
    QTest::keyClicks(form.entry(1), QStringLiteral("8"));
    EXPECT_EQ(form.entry(1)->text(), QStringLiteral("8"));
}

// Before the first board Tab runs through the entries and both buttons; once a board is
// shown its squares take their place between the buttons.
TEST_F(Form1Test, TabOrderFollowsTheDesignAndGainsTheBoardOnceShown)
{
    const QList<QWidget *> before{form.entry(1), form.entry(2), form.entry(3), form.entry(4),
                                  form.setupButton(0), form.setupButton(1)};
    EXPECT_EQ(tabStops(form), before);

    press(1);
    const QList<QWidget *> after{form.entry(1), form.entry(2), form.entry(3), form.entry(4),
                                 form.setupButton(0), form.board(), form.setupButton(1)};
    EXPECT_EQ(tabStops(form), after);
}

struct ButtonCase {
    int index;
    int coveredAfter;
};

void PrintTo(const ButtonCase &row, std::ostream *out)
{
    *out << "setup(" << row.index << ")";
}

class SetupButtonTest : public Form1Test, public ::testing::WithParamInterface<ButtonCase> {};

// Either button runs the whole sequence: busy controls while it runs, each progress text
// in the status line as it is written, then the ready state with the focus on "Play Game"
// and an empty status line. (Which texts, in which order, the setup's own tests check.)
TEST_P(SetupButtonTest, RunsTheSequenceAndReturnsToReady)
{
    QStringList history;
    QStringList busyCaptions;
    bool entriesDisabled = true;
    QObject::connect(&form, &Form1::statusWritten, &form, [&](const QString &text) {
        history.append(form.status()->text() == text ? text : QStringLiteral("not shown: ") + text);
        busyCaptions.append(form.setupButton(0)->text() + QLatin1Char('/') + form.setupButton(1)->text()
                            + (form.setupButton(0)->isEnabled() || form.setupButton(1)->isEnabled()
                                   ? QStringLiteral(" enabled") : QString()));
        for (int entry = 1; entry <= 4; ++entry)
            entriesDisabled = entriesDisabled && !form.entry(entry)->isEnabled();
    });

    press(GetParam().index);

    ASSERT_GT(history.size(), 1);
    EXPECT_TRUE(history.filter(QStringLiteral("not shown: ")).isEmpty()) << history.join(u'|').toStdString();
    EXPECT_EQ(history.back(), QString());
    for (const QString &captions : busyCaptions)
        EXPECT_EQ(captions, QStringLiteral("Please wait/Please wait"));
    EXPECT_TRUE(entriesDisabled);
    expectReady();
    EXPECT_EQ(form.status()->text(), QString());
    EXPECT_EQ(form.game().board().mineCount, 45);
    EXPECT_EQ(coveredSquares(), GetParam().coveredAfter);
    // 255 x 15 + 1800 + 500 by 255 x 10 + 120 + 500 twips.
    EXPECT_EQ(form.requestedOuterSize(), QSize(408, 211));
}

INSTANTIATE_TEST_SUITE_P(BothButtons, SetupButtonTest,
                         ::testing::Values(ButtonCase{0, 0}, ButtonCase{1, 150}),
                         [](const auto &row) {
                             return row.param.index == 0 ? "TestCode" : "PlayGame";
                         });

// The mouse on the painted board plays: a right press flags the square under it.
TEST_F(Form1Test, PressOnTheBoardActsOnTheSquareUnderThePointer)
{
    press(1);
    QTest::mouseClick(form.board(), Qt::RightButton, {}, form.board()->squareRect(16).center());
    EXPECT_EQ(form.game().squares().tagText(16), FlagTag);
    EXPECT_EQ(form.game().squares().tagText(15), NoFlagTag);
}

// Return in an entry box, or the keypad's Enter, presses "Play Game": a covered board comes
// after a "Test Code" one.
TEST_F(Form1Test, ReturnInAnEntryPressesPlayGame)
{
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{Qt::Key_Return, {}}, {Qt::Key_Enter, Qt::KeypadModifier}};
    for (int entry = 1; entry <= 4; ++entry) {
        for (const auto &key : keys) {
            press(0);
            ASSERT_EQ(coveredSquares(), 0);
            QTest::keyClick(form.entry(entry), key.key, key.modifiers);
            EXPECT_EQ(coveredSquares(), 150) << "Text" << entry << " key " << key.key;
            EXPECT_EQ(form.focusWidget(), form.setupButton(1));
        }
    }
}

// A one-row board's window ends just below the designed status line; a refusal made there
// must still be readable, so the window grows to show the whole message.
TEST_F(Form1Test, RefusalOnAShortWindowIsStillShownWhole)
{
    setEntries(QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("0"), QStringLiteral("1"));
    press(1);
    ASSERT_EQ(form.height(), 209); // the status line's bottom, 2640 + 375, and 120 below

    form.entry(1)->setText(QStringLiteral("x"));
    press(1);
    EXPECT_EQ(form.status()->text().toStdString(), refusals::Rows);
    EXPECT_GT(form.height(), form.status()->geometry().bottom());
    EXPECT_EQ(form.game().board().rowCount, 1);

    // In a larger face the same message takes more room than it did before.
    QFont larger = form.status()->font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    form.status()->setFont(larger);
    press(1);
    EXPECT_GE(form.status()->height(), form.status()->heightForWidth(form.status()->width()));
    EXPECT_GT(form.height(), form.status()->geometry().bottom());
}

struct FittedBoard {
    int rows;
    int columns;
    QSize outer; // 255 twips a cell, 1800 + 500 across and 120 + 500 down, over 15
    bool floored;
};

void PrintTo(const FittedBoard &row, std::ostream *out)
{
    *out << row.rows << " x " << row.columns;
}

class FittedWindowTest : public Form1Test, public ::testing::WithParamInterface<FittedBoard> {};

// The window's outer size fits the board, unless the client area would then end above the
// status line's bottom plus the board's top margin: it is never less high than that.
TEST_P(FittedWindowTest, KeepsTheControlsInside)
{
    const FittedBoard &board = GetParam();
    setEntries(QString::number(board.rows), QString::number(board.columns), QStringLiteral("0"),
               QStringLiteral("1"));
    press(1);
    EXPECT_EQ(form.frameGeometry().width(), board.outer.width());
    if (board.floored)
        EXPECT_EQ(form.height(), 209);
    else
        EXPECT_EQ(form.frameGeometry().height(), board.outer.height());
}

// The offscreen platform draws a 2-pixel frame, so the default board is floored here.
INSTANTIATE_TEST_SUITE_P(Boards, FittedWindowTest,
                         ::testing::Values(FittedBoard{1, 1, {170, 58}, true},
                                           FittedBoard{9, 10, {323, 194}, true},
                                           FittedBoard{10, 15, {408, 211}, true},
                                           FittedBoard{11, 15, {408, 228}, false},
                                           FittedBoard{12, 3, {204, 245}, false}));

struct LargeBoard {
    const char *name;
    const char *rows;
    const char *columns;
};

void PrintTo(const LargeBoard &row, std::ostream *out)
{
    *out << row.rows << " x " << row.columns;
}

class LargeBoardTest : public Form1Test, public ::testing::WithParamInterface<LargeBoard> {};

// The largest boards open in a window that fits the screen and scroll to the keys' current
// cell: Ctrl+End shows the last cell, Page Up moves by the rows the view shows and keeps the
// cell in view, and a press on the last cell floods the whole mine-free board.
TEST_P(LargeBoardTest, OpensScrollsAndFloodsEveryCell)
{
    setEntries(QString::fromLatin1(GetParam().rows), QString::fromLatin1(GetParam().columns),
               QStringLiteral("0"), QStringLiteral("1"));
    press(1);
    ASSERT_EQ(form.status()->text(), QString());
    const Board &board = form.game().board();
    const int cells = board.rowCount * board.columnCount;
    EXPECT_EQ(coveredSquares(), cells);

    const QSize available = form.screen()->availableGeometry().size();
    EXPECT_LE(form.frameGeometry().width(), available.width());
    EXPECT_LE(form.frameGeometry().height(), available.height());

    const auto shown = [this](Int16 k) {
        const QRect area = form.board()->squareRect(k);
        return form.boardArea()->viewport()->rect().contains(
            QRect(form.board()->mapTo(form.boardArea()->viewport(), area.topLeft()), area.size()));
    };
    const auto last = static_cast<Int16>(cells - 1);
    form.board()->setFocus();
    QTest::keyClick(form.board(), Qt::Key_End, Qt::ControlModifier);
    ASSERT_EQ(form.board()->currentCell(), last);
    EXPECT_TRUE(shown(last));
    const int page = std::max(1, form.boardArea()->viewport()->height()
                                     / form.board()->squareRect(0).height());
    QTest::keyClick(form.board(), Qt::Key_PageUp);
    const int row = std::max(0, board.rowCount - 1 - page);
    const auto up = static_cast<Int16>(row * board.columnCount + board.columnCount - 1);
    EXPECT_EQ(form.board()->currentCell(), up);
    EXPECT_TRUE(shown(up));
    QTest::keyClick(form.board(), Qt::Key_End, Qt::ControlModifier);

    const QRect lastRect = form.board()->squareRect(last);

    QTest::mouseClick(form.board(), Qt::LeftButton, {}, lastRect.center());
    EXPECT_EQ(coveredSquares(), 0);
}

INSTANTIATE_TEST_SUITE_P(Limits, LargeBoardTest,
                         ::testing::Values(LargeBoard{"OneRow", "1", "32767"},
                                           LargeBoard{"OneColumn", "32767", "1"},
                                           LargeBoard{"Square", "181", "181"}),
                         [](const auto &row) { return std::string(row.param.name); });

} // namespace
} // namespace tessfield

namespace tessfield {
namespace {

// A window whose status line breaks once, on the first progress text: a failure that the
// game does not catch itself, since it comes before the setup's own guard.
class BreakingForm : public Form1 {
public:
    void setStatusText(std::string_view text) override
    {
        if (breakOnce && text == "resetting board...") {
            breakOnce = false;
            throw std::runtime_error("the status line broke");
        }
        Form1::setStatusText(text);
    }
    bool breakOnce = false;
};

// Nothing a setup throws leaves the window's handler: the failure is told in the status
// line, the controls are ready again, and the game in progress is still there.
TEST(Form1Failure, AFailedStepIsToldAndLeavesTheControlsReady)
{
    BreakingForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.setupButton(1), Qt::LeftButton);
    form.breakOnce = true;
    QTest::mouseClick(form.setupButton(1), Qt::LeftButton);

    EXPECT_EQ(form.status()->text(), QStringLiteral("failed: the status line broke"));
    for (int i : {0, 1}) {
        EXPECT_TRUE(form.setupButton(i)->isEnabled());
        EXPECT_EQ(form.setupButton(i)->text().toStdString(), SetupCaptions.at(static_cast<std::size_t>(i)));
    }
    EXPECT_TRUE(form.entry(1)->isEnabled());
    EXPECT_EQ(form.focusWidget(), form.setupButton(1));
    EXPECT_EQ(form.game().squares().indexLimit(), 150);
}

} // namespace
} // namespace tessfield
