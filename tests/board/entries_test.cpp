// Checking the four entries before a setup, and fitting the mine count to the board.

#include "board/entries.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace tessfield {
namespace {

struct RefusalCase {
    EntryTexts texts;
    std::string_view message; // names the offending entry, or the cell count
};

// Every entry that could make a setup fault halfway (a grid bound below 1, a value or a
// cell count outside 16 bits, a seed that is not a number) is refused before anything
// changes, with the message of the first entry that is wrong.
TEST(Entries, RefusesEachEntryThatCannotMakeABoard)
{
    const std::vector<RefusalCase> cases = {
        {{"", "", "", ""}, refusals::Rows},
        {{"-0", "15", "45", "11540"}, refusals::Rows},
        {{"0", "15", "45", "11540"}, refusals::Rows},
        {{"-1", "15", "45", "11540"}, refusals::Rows},
        {{"abc", "15", "45", "11540"}, refusals::Rows},
        {{"0.4", "15", "45", "11540"}, refusals::Rows},
        {{"32768", "1", "0", "1"}, refusals::Rows},
        {{"1e999", "1", "0", "1"}, refusals::Rows},
        {{"10", "0", "45", "11540"}, refusals::Columns},
        {{"10", "", "45", "11540"}, refusals::Columns},
        {{"1", "32767.5", "0", "1"}, refusals::Columns},
        {{"10", "15", "32768", "11540"}, refusals::Mines},
        {{"10", "15", "-32769", "11540"}, refusals::Mines},
        {{"10", "15", "1e999", "11540"}, refusals::Mines},
        {{"10", "15", "45", "1e999"}, refusals::GameId},
        {{"10", "15", "45", "-1e999"}, refusals::GameId},
        {{"2", "16384", "0", "1"}, refusals::Cells},
        {{"1e4", "15", "45", "1"}, refusals::Cells},
        {{"182", "181", "0", "1"}, refusals::Cells},
        {{"32767", "32767", "0", "1"}, refusals::Cells},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.texts.rows) + " x " + std::string(c.texts.columns) + ", "
                     + std::string(c.texts.mines) + ", " + std::string(c.texts.gameId));
        const EntryCheck check = checkEntries(c.texts);
        const auto *refusal = std::get_if<EntryRefusal>(&check);
        ASSERT_NE(refusal, nullptr);
        EXPECT_EQ(refusal->message, c.message);
    }
}

const std::string LargestGameId =
    "179769313486231570814527423731704356798070567525844996598917476803157260780"
    + std::string(309 - 75, '0') + ".5";

struct AcceptCase {
    EntryTexts texts;
    BoardParameters expected;
};

// Boards of exactly 32767 cells, in either orientation, are the largest admitted; the
// mine count is returned as read (clamping is a separate step) and the game ID unrounded.
TEST(Entries, AcceptsBoardsUpToThirtyTwoThousandSevenHundredSixtySevenCells)
{
    const std::vector<AcceptCase> cases = {
        {{"10", "15", "45", "11540"}, {10, 15, 45, 11540.0}},
        {{"1", "32767", "0", "0"}, {1, 32767, 0, 0.0}},
        {{"32767", "1", "0", "0"}, {32767, 1, 0, 0.0}},
        {{"181", "181", "32767", "-2.75"}, {181, 181, 32767, -2.75}},
        {{"10.5", "11.5", "-32768", "x"}, {10, 12, -32768, 0.0}},
        {{"1", "1", "5", "1e300"}, {1, 1, 5, 1e300}},
        {{"217", "151", "100", "7"}, {217, 151, 100, 7.0}},
        {{"10", "15", "1e4", "1e4"}, {10, 15, 10000, 1e4}},
        {{"10", "15", "-", "+"}, {10, 15, 0, 0.0}},
        // The largest finite game ID, written out in full.
        {{"1", "1", "0", LargestGameId}, {1, 1, 0, std::numeric_limits<double>::max()}},
    };
    for (const auto &c : cases) {
        const EntryCheck check = checkEntries(c.texts);
        const auto *parameters = std::get_if<BoardParameters>(&check);
        ASSERT_NE(parameters, nullptr) << std::get<EntryRefusal>(check).message;
        EXPECT_EQ(*parameters, c.expected);
    }
}

struct ClampCase {
    Int16 rows;
    Int16 columns;
    Int16 mines;
    Int16 expected;
};

// At least one cell must stay free or mine placement never ends; there is no lower bound,
// since 0 or fewer mines simply places none.
TEST(Entries, ClampsMinesToOneBelowTheCellCountOnly)
{
    const std::vector<ClampCase> cases = {
        {10, 15, 45, 45},  {10, 15, 148, 148}, {10, 15, 149, 149}, {10, 15, 150, 149},
        {10, 15, 500, 149}, {1, 1, 5, 0},      {1, 1, 1, 0},       {10, 15, 0, 0},
        {10, 15, -3, -3},  {1, 1, -32768, -32768}, {1, 32767, 32767, 32766},
        {32767, 1, 32767, 32766},
    };
    for (const auto &c : cases)
        EXPECT_EQ(clampMineCount(c.rows, c.columns, c.mines), c.expected)
            << c.rows << " x " << c.columns << " with " << c.mines;
}

} // namespace
} // namespace tessfield
