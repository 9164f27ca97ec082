// Whatever a player types or pastes into the four entries, through the real window: the
// setup either builds the board the entries describe or refuses them with a message and
// keeps the game in progress, the controls always come back ready, and a valid setup
// afterwards works.

#include "shown_form.h"
#include "board/entries.h"
#include "ui/form1.h"
#include "ui/entry.h"
#include "view/board_widget.h"
#include "squares/cells.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>

namespace tessfield {
namespace {

QString message(std::string_view refusal)
{
    return QString::fromUtf8(refusal.data(), static_cast<qsizetype>(refusal.size()));
}

const QString RowsMessage = message(refusals::Rows);
const QString ColumnsMessage = message(refusals::Columns);
const QString MinesMessage = message(refusals::Mines);
const QString GameIdMessage = message(refusals::GameId);
const QString CellsMessage = message(refusals::Cells);

struct Board3 {
    int rows;
    int columns;
    int mines; // after clamping to the board
};

struct TypedCase {
    const char *name;
    std::array<QString, 4> entries;
    QString refusal;               // empty when the entries make a board
    std::optional<Board3> board;   // the board they make
};

void PrintTo(const TypedCase &row, std::ostream *out)
{
    *out << row.name;
}

// An entry's text in the table: plain text as UTF-8, or a QString built for the case.
struct Text {
    Text(const char *utf8) : text(QString::fromUtf8(utf8)) {} // NOLINT: a table of literals
    Text(QString value) : text(std::move(value)) {}            // NOLINT: likewise
    QString text;
};

std::array<QString, 4> texts(const std::array<Text, 4> &entries)
{
    return {entries[0].text, entries[1].text, entries[2].text, entries[3].text};
}

TypedCase refused(const char *name, const std::array<Text, 4> &entries, const QString &message)
{
    return {name, texts(entries), message, std::nullopt};
}

TypedCase accepted(const char *name, const std::array<Text, 4> &entries, Board3 board)
{
    return {name, texts(entries), QString(), board};
}

QString repeated(QChar c, int count)
{
    return {count, c};
}

QString u(const char16_t *text)
{
    return QString::fromUtf16(text);
}

class TypedEntryTest : public fixtures::ShownForm, public ::testing::WithParamInterface<TypedCase> {
protected:
    // Printable text is typed key by key, as a player would; anything else (control
    // characters, NUL, very long text) can only arrive by pasting.
    void enter(int entry, const QString &text)
    {
        QLineEdit *box = form.entry(entry);
        box->setFocus();
        box->selectAll();
        bool printable = text.size() <= 64;
        for (const QChar c : text)
            printable = printable && c.isPrint() && !c.isSurrogate();
        if (printable && !text.isEmpty()) {
            for (const QChar c : text) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(box, &press);
                QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(box, &release);
            }
        } else if (text.isEmpty()) {
            QTest::keyClick(box, Qt::Key_Delete);
        } else {
            QGuiApplication::clipboard()->setText(text);
            box->paste();
        }
    }
};

// The entries are read exactly as they stand in the boxes, and the outcome is the board
// they describe or a refusal that leaves the game in progress (with its flag) as it was.
TEST_P(TypedEntryTest, BuildsTheBoardOrRefusesAndStaysReady)
{
    const TypedCase &row = GetParam();
    press(1); // the designed board, a game in progress with one flag on it
    QTest::mouseClick(form.board(), Qt::RightButton, {}, form.board()->squareRect(3).center());
    ASSERT_EQ(form.game().squares().tagText(3), FlagTag);
    const Board before = form.game().board();

    for (int entry = 1; entry <= 4; ++entry) {
        enter(entry, row.entries.at(static_cast<std::size_t>(entry - 1)));
        ASSERT_EQ(form.entry(entry)->text(), row.entries.at(static_cast<std::size_t>(entry - 1)))
            << "Text" << entry << " does not hold what was entered";
    }
    press(1);

    expectReady();
    EXPECT_EQ(form.status()->text(), row.refusal);
    const Board &after = form.game().board();
    if (row.board) {
        EXPECT_EQ(after.rowCount, row.board->rows);
        EXPECT_EQ(after.columnCount, row.board->columns);
        EXPECT_EQ(after.mineCount, row.board->mines);
        EXPECT_EQ(form.game().squares().indexLimit(), row.board->rows * row.board->columns);
        EXPECT_EQ(coveredSquares(), row.board->rows * row.board->columns);
    } else {
        // The line grows to hold a sentence its designed height cannot.
        EXPECT_GE(form.status()->height(), form.status()->heightForWidth(form.status()->width()));
        EXPECT_EQ(after.rowCount, before.rowCount);
        EXPECT_EQ(after.columnCount, before.columnCount);
        EXPECT_EQ(after.mineCount, before.mineCount);
        EXPECT_EQ(after.mineGrid.cells(), before.mineGrid.cells());
        EXPECT_EQ(form.game().squares().indexLimit(), 150);
        EXPECT_EQ(form.game().squares().tagText(3), FlagTag);
        EXPECT_EQ(coveredSquares(), 150);
    }

    // A valid setup afterwards works as ever.
    for (const auto &[entry, text] : {std::pair{1, "5"}, {2, "6"}, {3, "7"}, {4, "8"}})
        enter(entry, QString::fromLatin1(text));
    press(0);
    expectReady();
    EXPECT_EQ(form.status()->text(), QString());
    EXPECT_EQ(form.game().squares().indexLimit(), 30);
    EXPECT_EQ(coveredSquares(), 0);
}

// One row per refusal and one accepted board, typed key by key, and one pasted: the window
// hands the entries' text to the reader whole. What each text reads as is the reader's and
// the entry check's own tables (number_reader_test.cpp, entries_test.cpp).
INSTANTIATE_TEST_SUITE_P(
    WhatPlayersType, TypedEntryTest,
    ::testing::Values(
        refused("RowsZero", {"0", "15", "45", "1"}, RowsMessage),
        refused("FullwidthDigitColumns", {"10", u(u"\uFF11\uFF15"), "45", "1"}, ColumnsMessage),
        refused("MinesOneTooFew", {"10", "15", "-32769", "1"}, MinesMessage),
        refused("HugeExponentGameId", {"10", "15", "45", "1e999"}, GameIdMessage),
        refused("OneCellTooMany", {"128", "256", "0", "1"}, CellsMessage),
        accepted("DigitsThenNonAscii", {u(u"7\uFF12"), "15", u(u"4\u0661"), "1"}, {7, 15, 4}),
        accepted("FullLengthDigitsPasted",
                 {"10", "15", repeated(QLatin1Char('0'), EntryMaxLength - 1) + QLatin1Char('7'),
                  QStringLiteral("0.") + repeated(QLatin1Char('3'), EntryMaxLength - 2)},
                 {10, 15, 7})),
    [](const auto &row) { return std::string(row.param.name); });

// A paste longer than an entry holds fills it and no more, however often it comes, and the
// setup then reads what the entry shows.
using EntryLength = fixtures::ShownForm;

TEST_F(EntryLength, APasteFillsTheEntryAndNoMore)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("7") + repeated(QLatin1Char('0'), 1'000'000));
    QLineEdit *gameId = form.entry(4);
    gameId->setFocus();
    for (int paste = 0; paste < 3; ++paste) {
        gameId->selectAll();
        gameId->paste();
    }
    EXPECT_EQ(gameId->text(), QStringLiteral("7") + repeated(QLatin1Char('0'), EntryMaxLength - 1));
    press(1);
    expectReady();
    EXPECT_EQ(form.status()->text(), GameIdMessage);
}

// Pastes over a whole entry, again and again: the last one is still taken back by Ctrl+Z,
// but the history no longer reaches back to the start (Qt's kept every step, 32 KB a paste).
TEST_F(EntryLength, UndoTakesBackTheLastChangeButNotAllOfThem)
{
    QLineEdit *gameId = form.entry(4);
    const QString first = gameId->text();
    const auto filled = [](int paste) {
        return repeated(QLatin1Char(static_cast<char>('1' + paste % 9)), EntryMaxLength);
    };
    for (int paste = 0; paste < 40; ++paste) {
        QGuiApplication::clipboard()->setText(filled(paste));
        QTest::keyClick(gameId, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(gameId, Qt::Key_V, Qt::ControlModifier);
    }
    QTest::keyClick(gameId, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(gameId->text(), filled(38));
    for (int undo = 0; undo < 40; ++undo)
        QTest::keyClick(gameId, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(gameId->text(), first);
}

} // namespace
} // namespace tessfield
