// The squares as plain data: copying the template, erasing, interning and change tracking.

#include "squares/cells.h"
#include "squares/squares.h"


#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tessfield {
namespace {

SquareDesign design()
{
    return {1800.0F, 120.0F, 255.0F, 255.0F, 0xC0C0C0, 0x000000, FontSpec{"", 8.0F, false}};
}

// A new square copies element 0 as it is now, not as designed, but starts hidden and blank.
TEST(SquareArray, CreatedSquareCopiesElementZeroButStartsHiddenAndBlank)
{
    SquareArray squares(design());
    squares.setVisible(0, true);
    squares.setBackground(0, CoveredColour);
    squares.setTagText(0, "1");
    squares.setTextColour(0, 0xFFFFFF);
    squares.setFontName(0, "Terminal");
    squares.setFontSize(0, 12.0F);
    squares.write(0, "X");

    squares.create(5);
    EXPECT_FALSE(squares.visible(5));
    EXPECT_FALSE(squares.hasInscription(5));
    EXPECT_EQ(squares.background(5), CoveredColour);
    EXPECT_EQ(squares.tagText(5), "1");
    EXPECT_EQ(squares.textColour(5), 0xFFFFFFU);
    EXPECT_EQ(squares.font(5), (FontSpec{"Terminal", 12.0F, false}));
    EXPECT_EQ(squares.left(5), 1800.0F);
    EXPECT_EQ(squares.width(5), 255.0F);
    EXPECT_FALSE(squares.exists(4)); // creation leaves no squares in between
}

// Creating a square twice, or destroying one that is gone or element 0, is an error, as it
// would be for a control array.
TEST(SquareArray, RefusesDoubleCreationAndBadDestruction)
{
    SquareArray squares(design());
    squares.create(1);
    EXPECT_THROW(squares.create(1), std::logic_error);
    EXPECT_THROW(squares.create(-1), std::out_of_range);
    EXPECT_THROW(squares.destroy(0), std::logic_error);
    squares.destroy(1);
    EXPECT_THROW(squares.destroy(1), std::out_of_range);
    EXPECT_THROW((void)squares.background(1), std::out_of_range);
    EXPECT_EQ(squares.indexLimit(), 1); // trailing gaps are dropped
}

// A new background erases the drawing; clear() erases it too and the tag is untouched.
TEST(SquareArray, BackgroundChangeAndClearEraseTheDrawingOnly)
{
    SquareArray squares(design());
    squares.setTagText(0, "1");
    squares.write(0, "X");
    ASSERT_TRUE(squares.hasInscription(0));
    squares.setBackground(0, RevealedColour);
    EXPECT_FALSE(squares.hasInscription(0));
    squares.write(0, "3");
    squares.clear(0);
    EXPECT_FALSE(squares.hasInscription(0));
    EXPECT_EQ(squares.tagText(0), "1");
}

// What was written keeps the font and colour it was written in, even when the square's
// settings change afterwards.
TEST(SquareArray, InscriptionKeepsTheFontAndColourOfItsWriting)
{
    SquareArray squares(design());
    squares.setFontName(0, "Terminal");
    squares.setFontBold(0, true);
    squares.setTextColour(0, 0x0000FF);
    squares.write(0, "3");
    squares.setFontBold(0, false);
    squares.setTextColour(0, 0x00FF00);

    const Inscription written = squares.inscription(0);
    EXPECT_EQ(written.text, "3");
    ASSERT_NE(written.font, nullptr);
    EXPECT_EQ(*written.font, (FontSpec{"Terminal", 8.0F, true}));
    EXPECT_EQ(written.colour, 0x0000FFU);
}

// The painter repaints only what changed: each changed square once, in order of change,
// and any layout change is flagged separately.
TEST(SquareArray, RecordsEachChangedSquareOnceInOrder)
{
    SquareArray squares(design());
    for (Int16 k = 1; k <= 3; ++k)
        squares.create(k);
    EXPECT_TRUE(squares.changes().layout);
    squares.clearChanges();

    squares.setBackground(2, RevealedColour);
    squares.write(2, "1");
    squares.setBackground(0, RevealedColour);
    squares.setTagText(3, "1"); // not visible: no repaint needed
    EXPECT_EQ(squares.changes().cells, (std::vector<Int16>{2, 0}));
    EXPECT_FALSE(squares.changes().layout);

    squares.clearChanges();
    EXPECT_TRUE(squares.changes().cells.empty());
    squares.setBackground(2, CoveredColour);
    EXPECT_EQ(squares.changes().cells, (std::vector<Int16>{2}));

    // Erasing a drawing (a flag taken off) changes the look as much as writing one.
    squares.write(3, "X");
    squares.clearChanges();
    squares.clear(3);
    EXPECT_EQ(squares.changes().cells, (std::vector<Int16>{3}));
}

// The hit test finds the visible square under a point, using the arrangement as a shortcut
// but never trusting it over a square's own position.
TEST(SquareArray, FindsTheVisibleSquareUnderAPoint)
{
    SquareArray squares(design());
    for (Int16 k = 1; k < 6; ++k) {
        squares.create(k);
        squares.setLeft(k, 1800.0F + 255.0F * static_cast<float>(k % 3));
        const int row = k / 3;
        squares.setTop(k, 120.0F + 255.0F * static_cast<float>(row));
    }
    for (Int16 k = 0; k < 6; ++k)
        squares.setVisible(k, true);
    squares.setArrangement(3);

    EXPECT_EQ(squares.squareAt(1800.0F, 120.0F), std::optional<Int16>(0));
    EXPECT_EQ(squares.squareAt(1800.0F + 255.0F, 120.0F + 255.0F), std::optional<Int16>(4));
    EXPECT_EQ(squares.squareAt(1800.0F + 3 * 255.0F - 1, 120.0F + 2 * 255.0F - 1), std::optional<Int16>(5));
    EXPECT_EQ(squares.squareAt(1799.0F, 200.0F), std::nullopt);
    EXPECT_EQ(squares.squareAt(1800.0F + 3 * 255.0F, 200.0F), std::nullopt);

    squares.setVisible(4, false);
    EXPECT_EQ(squares.squareAt(1800.0F + 255.0F, 120.0F + 255.0F), std::nullopt);
    // Moved away from its place in the arrangement, a square is still found where it is.
    EXPECT_TRUE(squares.inArrangedPlace(5));
    squares.setLeft(5, 9000.0F);
    EXPECT_EQ(squares.squareAt(9001.0F, 120.0F + 256.0F), std::optional<Int16>(5));
    EXPECT_FALSE(squares.inArrangedPlace(5)) << "moved out of its column";
    squares.setTop(4, 0.0F);
    EXPECT_FALSE(squares.inArrangedPlace(4)) << "moved out of its row";
    EXPECT_TRUE(squares.inArrangedPlace(2));
    squares.setArrangement(0);
    EXPECT_FALSE(squares.inArrangedPlace(2)) << "no arrangement to stand in";
}

// A built board stands edge to edge in rows from element 0's corner: with the window's
// 255-twip squares from (1800, 120), square k of a board of C columns at left
// 1800 + 255 (k mod C) and top 120 + 255 (k div C), worked out here by hand for each
// board's first, row-ending, row-starting and last squares.
TEST(SquareArray, BuiltBoardStandsInItsRows)
{
    struct Place {
        Int16 k;
        float left;
        float top;
    };
    struct Case {
        Int16 rows;
        Int16 columns;
        std::vector<Place> places;
    };
    const std::vector<Case> cases = {
        {10, 15, {{0, 1800, 120}, {14, 5370, 120}, {15, 1800, 375}, {149, 5370, 2415}}},
        {181, 181, {{180, 47700, 120}, {181, 1800, 375}, {32580, 1800, 46020}, {32760, 47700, 46020}}},
        {1, 32767, {{1, 2055, 120}, {32766, 8357130, 120}}},
        {32767, 1, {{1, 1800, 375}, {2, 1800, 630}, {32766, 1800, 8355450}}},
    };
    for (const Case &c : cases) {
        SquareArray squares(design());
        squares.clearChanges();
        squares.buildArrangement(c.columns, c.rows);
        const int cells = int{c.rows} * int{c.columns};
        EXPECT_EQ(squares.indexLimit(), cells) << c.rows << " x " << c.columns;
        EXPECT_EQ(squares.arrangement(), c.columns) << c.rows << " x " << c.columns;
        EXPECT_EQ(squares.arrangedRows(), c.rows) << c.rows << " x " << c.columns;
        // One layout change for the whole board, no cell of it repainted on its own.
        EXPECT_TRUE(squares.changes().layout);
        EXPECT_TRUE(squares.changes().cells.empty());
        for (const Place &place : c.places) {
            const auto at = [&] {
                return testing::Message() << c.rows << " x " << c.columns << ", square " << place.k;
            };
            ASSERT_TRUE(squares.exists(place.k)) << at();
            EXPECT_TRUE(squares.visible(place.k)) << at();
            EXPECT_EQ(squares.left(place.k), place.left) << at();
            EXPECT_EQ(squares.top(place.k), place.top) << at();
            EXPECT_EQ(squares.width(place.k), 255.0F) << at();
            EXPECT_EQ(squares.height(place.k), 255.0F) << at();
        }
    }
}

// A board of 32 761 squares holds 24 bytes per square and no spare room: the squares are
// created column by column, and growing the array one creation at a time would leave it up
// to half empty again.
TEST(SquareArray, BuiltBoardHoldsExactlyItsSquares)
{
    for (const auto &[rows, columns] : {std::pair<int, int>{181, 181}, {1, 32767}, {32767, 1}, {100, 100}}) {
        Board board;
        board.rowCount = static_cast<Int16>(rows);
        board.columnCount = static_cast<Int16>(columns);
        sizeGrids(board);
        SquareArray squares(design());
        buildGrid(board, squares);
        squares.clearChanges();
        EXPECT_EQ(squares.perSquareBytes(), static_cast<std::size_t>(rows * columns) * 24U
                                                + squares.changes().cells.capacity() * sizeof(Int16))
            << rows << " x " << columns;
    }
}

} // namespace
} // namespace tessfield
