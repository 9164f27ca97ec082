// The squares as plain data: copying the template, erasing, interning and change tracking.

#include "squares/cells.h"
#include "squares/squares.h"


#include <gtest/gtest.h>

#include <utility>

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
    squares.setLeft(5, 9000.0F);
    EXPECT_EQ(squares.squareAt(9001.0F, 120.0F + 256.0F), std::optional<Int16>(5));
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
        EXPECT_EQ(SquareArray::squareSize(), 24U);
        EXPECT_EQ(squares.perSquareBytes(), static_cast<std::size_t>(rows * columns) * 24U
                                                + squares.changes().cells.capacity() * sizeof(Int16))
            << rows << " x " << columns;
    }
}

} // namespace
} // namespace tessfield
