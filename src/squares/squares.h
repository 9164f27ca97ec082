#pragma once

// The cell squares as plain data: everything a square shows, with no toolkit behind it.
//
// The game rules read and change these squares (a square's background tells whether its
// cell is covered, its tag text whether it is flagged) and the board widget paints them.
// Colours, fonts and texts are small indices into tables shared by all squares, which keeps
// a square at 24 bytes so that a board of 32 767 cells stays compact.

#include "board/board.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessfield {

struct FontSpec {
    std::string name;
    float size = 8.0F; // points
    bool bold = false;
    bool operator==(const FontSpec &) const = default;
};

// What has been written on a square since it was last cleared. Text is always written from
// the square's top-left corner: every write in this game lands on a square that has just
// been cleared or never drawn on, where the text position stands.
struct Inscription {
    std::string_view text;
    const FontSpec *font = nullptr;
    Colour colour = 0;
};

// The template settings of element 0 as the window designs it.
struct SquareDesign {
    float left = 0.0F;
    float top = 0.0F;
    float width = 0.0F;
    float height = 0.0F;
    Colour background = 0;
    Colour textColour = 0;
    FontSpec font;
};

// What changed since the changes were last taken: cells whose look changed, and whether any
// square was created, destroyed, moved, resized, shown or hidden.
struct SquareChanges {
    // Beyond this many changed cells the view repaints and tells them as one range: a flood
    // or a full reveal changes thousands at once.
    static constexpr std::size_t ManyCells = 64;

    bool layout = false;
    std::vector<Int16> cells;

    bool empty() const { return !layout && cells.empty(); }
};

class SquareArray {
public:
    explicit SquareArray(const SquareDesign &design);

    // One past the highest element index that has existed; not every index below it exists.
    Int16 indexLimit() const { return narrowCast16(squares_.size()); }
    bool exists(Int16 k) const
    {
        return k >= 0 && static_cast<std::size_t>(k) < squares_.size()
            && (squares_[static_cast<std::size_t>(k)].flags & Exists) != 0;
    }

    // Creates element k as a copy of element 0's current size, position, background, tag
    // text, text colour and font; it starts hidden and blank. Throws if k exists already.
    void create(Int16 k);
    // Builds a board's squares at once: creates elements 1 .. columns x rows - 1 as create()
    // would, places every element, 0 included, edge to edge in rows of that many columns
    // from element 0's corner (each position worked out in single precision from element 0's
    // own, as the squares keep them), shows them all and records one layout change, not one
    // per square created, moved and shown. The array holds exactly the board's squares.
    // Throws if an element other than 0 exists, or on a count that leaves 16 bits.
    void buildArrangement(Int16 columns, Int16 rows);
    // Destroys element k (k >= 1); element 0 belongs to the window and is never destroyed.
    void destroy(Int16 k);

    float left(Int16 k) const { return get(k).left; }
    float top(Int16 k) const { return get(k).top; }
    float width(Int16 k) const { return get(k).width; }
    float height(Int16 k) const { return get(k).height; }
    void setLeft(Int16 k, float twips);
    void setTop(Int16 k, float twips);

    bool visible(Int16 k) const { return (get(k).flags & Visible) != 0; }
    void setVisible(Int16 k, bool visible);

    Colour background(Int16 k) const { return colours_[get(k).background]; }
    // Changing the background erases whatever was drawn on the square.
    void setBackground(Int16 k, Colour colour);

    std::string_view tagText(Int16 k) const { return texts_[get(k).tag]; }
    void setTagText(Int16 k, std::string_view text);

    Colour textColour(Int16 k) const { return colours_[get(k).textColour]; }
    void setTextColour(Int16 k, Colour colour);
    const FontSpec &font(Int16 k) const { return fonts_[get(k).font]; }
    void setFontName(Int16 k, std::string_view name);
    void setFontSize(Int16 k, float points);
    void setFontBold(Int16 k, bool bold);

    // Erases the drawing; the text position returns to the top-left corner.
    void clear(Int16 k);
    // Writes text at the text position in the square's current font and text colour.
    void write(Int16 k, std::string_view text);
    bool hasInscription(Int16 k) const { return get(k).inscriptionText != NoText; }
    Inscription inscription(Int16 k) const;
    // Whether squares a and b look alike: the same background and the same writing, in the
    // same font and colour. Both must exist.
    bool sameLook(Int16 a, Int16 b) const
    {
        const Square &x = get(a);
        const Square &y = get(b);
        return x.background == y.background && x.inscriptionText == y.inscriptionText
            && (x.inscriptionText == NoText
                || (x.inscriptionFont == y.inscriptionFont && x.inscriptionColour == y.inscriptionColour));
    }

    // The arrangement the squares were last laid out in (columns per row), so that the
    // painter and the hit test find a square without scanning all of them. 0 means none.
    void setArrangement(Int16 columns) { arrangement_ = columns; }
    Int16 arrangement() const { return arrangement_; }
    // The rows the arrangement makes, the last perhaps short; 0 with no arrangement.
    int arrangedRows() const
    {
        return arrangement_ > 0 ? (indexLimit() + arrangement_ - 1) / arrangement_ : 0;
    }
    // Whether square k stands where the arrangement put it: with its column's left and width
    // (those of the first row's square) and its row's top and height (those of the row's
    // first square). A square moved since, or any with no arrangement, is placed on its own.
    bool inArrangedPlace(Int16 k) const
    {
        if (arrangement_ <= 0)
            return false;
        const Square &square = get(k);
        const Square &column = get(static_cast<Int16>(k % arrangement_));
        const Square &row = get(static_cast<Int16>(k - k % arrangement_));
        return square.left == column.left && square.width == column.width && square.top == row.top
            && square.height == row.height;
    }

    // The visible square whose area contains the point (twips), if any.
    std::optional<Int16> squareAt(float xTwips, float yTwips) const;

    const SquareChanges &changes() const { return changes_; }
    // Hands over what changed and starts recording afresh.
    SquareChanges takeChanges();
    void clearChanges();

    // Bytes the per-square storage holds (squares and pending changes, at their capacity),
    // for measuring what a board costs per cell; the small shared tables are not counted.
    std::size_t perSquareBytes() const
    {
        return squares_.capacity() * sizeof(Square) + changes_.cells.capacity() * sizeof(Int16);
    }
    static constexpr std::size_t squareSize() { return sizeof(Square); }

private:
    static constexpr std::uint8_t NoText = 0xFF;
    enum Flag : std::uint8_t { Exists = 1, Visible = 2, Changed = 4 };

    struct Square {
        float left = 0.0F;
        float top = 0.0F;
        float width = 0.0F;
        float height = 0.0F;
        std::uint8_t background = 0;
        std::uint8_t textColour = 0;
        std::uint8_t font = 0;
        std::uint8_t tag = 0;
        std::uint8_t inscriptionText = NoText;
        std::uint8_t inscriptionFont = 0;
        std::uint8_t inscriptionColour = 0;
        std::uint8_t flags = 0;
    };
    static_assert(sizeof(Square) == 24);

    // Inline, since the flood asks for a square nine times per cell it uncovers; the
    // failure path is out of line.
    const Square &get(Int16 k) const
    {
        if (!exists(k)) [[unlikely]]
            missing(k);
        return squares_[static_cast<std::size_t>(k)];
    }
    Square &get(Int16 k)
    {
        if (!exists(k)) [[unlikely]]
            missing(k);
        return squares_[static_cast<std::size_t>(k)];
    }
    [[noreturn]] static void missing(Int16 k);
    void markChanged(Int16 k);
    void markLayout() { changes_.layout = true; }

    std::uint8_t internColour(Colour colour);
    std::uint8_t internText(std::string_view text);
    std::uint8_t internFont(std::string_view name, float size, bool bold);

    std::vector<Square> squares_;
    // Colours are handed out by value; deques keep references to texts and fonts stable
    // as they grow.
    std::vector<Colour> colours_;
    std::deque<std::string> texts_;
    std::deque<FontSpec> fonts_;
    Int16 arrangement_ = 0;
    SquareChanges changes_;
};

} // namespace tessfield
