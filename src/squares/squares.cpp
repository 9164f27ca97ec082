#include "squares.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace tessfield {

SquareArray::SquareArray(const SquareDesign &design)
{
    Square zero;
    zero.left = design.left;
    zero.top = design.top;
    zero.width = design.width;
    zero.height = design.height;
    zero.background = internColour(design.background);
    zero.textColour = internColour(design.textColour);
    zero.font = internFont(design.font.name, design.font.size, design.font.bold);
    zero.tag = internText("");
    zero.flags = Exists; // designed hidden
    squares_.push_back(zero);
}

void SquareArray::missing(Int16 k)
{
    throw std::out_of_range("square " + std::to_string(k) + " does not exist");
}

void SquareArray::create(Int16 k)
{
    if (k < 0)
        throw std::out_of_range("square index below 0");
    if (exists(k))
        throw std::logic_error("square " + std::to_string(k) + " already exists");
    const auto slot = static_cast<std::size_t>(k);
    if (slot >= squares_.size())
        squares_.resize(slot + 1);
    Square copy = squares_[0];
    copy.flags = Exists;
    copy.inscriptionText = NoText;
    squares_[slot] = copy;
    markLayout();
}

void SquareArray::buildArrangement(Int16 columns, Int16 rows)
{
    if (columns < 1 || rows < 1)
        throw std::out_of_range("a board has at least one row and one column");
    const Int16 count = mul16(columns, rows);
    // Destruction drops trailing empty slots, so any other square makes the array longer.
    for (std::size_t k = 1; k < squares_.size(); ++k)
        if ((squares_[k].flags & Exists) != 0)
            throw std::logic_error("square " + std::to_string(k) + " already exists");
    Square &zero = squares_[0];
    zero.flags = static_cast<std::uint8_t>(zero.flags | Visible);
    Square copy = zero;
    copy.flags = Exists | Visible;
    copy.inscriptionText = NoText;
    const float left = zero.left;
    const float top = zero.top;
    squares_.resize(1);
    squares_.reserve(static_cast<std::size_t>(count));
    // Placed a block at a time in a buffer of copies and appended in one piece, with the
    // row carried along rather than a loop per row, which a board of one column would enter
    // 32 767 times for one square each.
    std::array<Square, 64> block;
    block.fill(copy);
    int column = 1;
    float rowTop = top;
    for (int k = 1, row = 0; k < count;) {
        const int placed = std::min(static_cast<int>(block.size()), count - k);
        for (int i = 0; i < placed; ++i, ++column) {
            if (column == columns) {
                column = 0;
                rowTop = static_cast<float>(++row) * copy.height + top;
            }
            block[static_cast<std::size_t>(i)].left = static_cast<float>(column) * copy.width + left;
            block[static_cast<std::size_t>(i)].top = rowTop;
        }
        squares_.insert(squares_.end(), block.begin(), block.begin() + placed);
        k += placed;
    }
    arrangement_ = columns;
    markLayout();
}

void SquareArray::destroy(Int16 k)
{
    if (k == 0)
        throw std::logic_error("square 0 belongs to the window");
    get(k).flags = 0;
    // Trailing empty slots are dropped so that the array shrinks with the board.
    while (squares_.size() > 1 && (squares_.back().flags & Exists) == 0)
        squares_.pop_back();
    markLayout();
}

void SquareArray::setLeft(Int16 k, float twips)
{
    auto &square = get(k);
    if (square.left != twips) {
        square.left = twips;
        markLayout();
    }
}

void SquareArray::setTop(Int16 k, float twips)
{
    auto &square = get(k);
    if (square.top != twips) {
        square.top = twips;
        markLayout();
    }
}

void SquareArray::setVisible(Int16 k, bool visible)
{
    auto &square = get(k);
    if (visible == ((square.flags & Visible) != 0))
        return;
    square.flags = static_cast<std::uint8_t>(visible ? square.flags | Visible : square.flags & ~Visible);
    markLayout();
}

void SquareArray::setBackground(Int16 k, Colour colour)
{
    auto &square = get(k);
    square.background = internColour(colour);
    square.inscriptionText = NoText;
    markChanged(k);
}

void SquareArray::setTagText(Int16 k, std::string_view text)
{
    get(k).tag = internText(text);
}

void SquareArray::setTextColour(Int16 k, Colour colour)
{
    get(k).textColour = internColour(colour);
}

void SquareArray::setFontName(Int16 k, std::string_view name)
{
    auto &square = get(k);
    const FontSpec &current = fonts_[square.font];
    if (current.name == name)
        return;
    square.font = internFont(name, current.size, current.bold);
}

void SquareArray::setFontSize(Int16 k, float points)
{
    auto &square = get(k);
    const FontSpec &current = fonts_[square.font];
    if (current.size == points)
        return;
    square.font = internFont(current.name, points, current.bold);
}

void SquareArray::setFontBold(Int16 k, bool bold)
{
    auto &square = get(k);
    const FontSpec &current = fonts_[square.font];
    if (current.bold == bold)
        return;
    square.font = internFont(current.name, current.size, bold);
}

void SquareArray::clear(Int16 k)
{
    auto &square = get(k);
    if (square.inscriptionText == NoText)
        return;
    square.inscriptionText = NoText;
    markChanged(k);
}

void SquareArray::write(Int16 k, std::string_view text)
{
    auto &square = get(k);
    square.inscriptionText = internText(text);
    square.inscriptionFont = square.font;
    square.inscriptionColour = square.textColour;
    markChanged(k);
}

Inscription SquareArray::inscription(Int16 k) const
{
    const auto &square = get(k);
    if (square.inscriptionText == NoText)
        return {};
    return {texts_[square.inscriptionText], &fonts_[square.inscriptionFont],
            colours_[square.inscriptionColour]};
}

std::optional<Int16> SquareArray::squareAt(float xTwips, float yTwips) const
{
    const auto contains = [&](std::size_t i) {
        const Square &s = squares_[i];
        return (s.flags & (Exists | Visible)) == (Exists | Visible) && xTwips >= s.left
            && xTwips < s.left + s.width && yTwips >= s.top && yTwips < s.top + s.height;
    };
    const Square &zero = squares_[0];
    if (arrangement_ > 0 && zero.width > 0 && zero.height > 0) {
        const double column = std::floor((xTwips - zero.left) / zero.width);
        const double row = std::floor((yTwips - zero.top) / zero.height);
        if (column >= 0 && column < arrangement_ && row >= 0) {
            const double index = row * arrangement_ + column;
            if (index < static_cast<double>(squares_.size())) {
                const auto i = static_cast<std::size_t>(index);
                if (contains(i))
                    return narrowCast16(i);
            }
        }
    }
    // Squares that were moved out of the arrangement are still found, only more slowly.
    for (std::size_t i = squares_.size(); i-- > 0;) {
        if (contains(i))
            return narrowCast16(i);
    }
    return std::nullopt;
}

void SquareArray::markChanged(Int16 k)
{
    auto &square = squares_[static_cast<std::size_t>(k)];
    if ((square.flags & Changed) != 0)
        return;
    square.flags = static_cast<std::uint8_t>(square.flags | Changed);
    changes_.cells.push_back(k);
}

SquareChanges SquareArray::takeChanges()
{
    SquareChanges taken = changes_;
    clearChanges();
    return taken;
}

void SquareArray::clearChanges()
{
    for (const Int16 k : changes_.cells) {
        if (static_cast<std::size_t>(k) < squares_.size()) {
            auto &square = squares_[static_cast<std::size_t>(k)];
            square.flags = static_cast<std::uint8_t>(square.flags & ~Changed);
        }
    }
    changes_.cells.clear();
    changes_.layout = false;
}

// The tables stay small (a handful of entries in a game), so a linear search is the right
// lookup; each compares without building a string or a font first.

std::uint8_t SquareArray::internColour(Colour colour)
{
    for (std::size_t i = 0; i < colours_.size(); ++i)
        if (colours_[i] == colour)
            return static_cast<std::uint8_t>(i);
    if (colours_.size() >= 255)
        throw std::length_error("too many distinct square colours");
    colours_.push_back(colour);
    return static_cast<std::uint8_t>(colours_.size() - 1);
}

std::uint8_t SquareArray::internText(std::string_view text)
{
    // The texts are a character or two: the first character rules out most of them
    // before a full comparison is made.
    std::uint8_t i = 0;
    for (const std::string &known : texts_) {
        if (known.size() == text.size() && (text.empty() || known.front() == text.front())
            && known == text)
            return i;
        ++i;
    }
    // NoText (255) marks a blank square, so at most 255 distinct texts.
    if (texts_.size() >= NoText)
        throw std::length_error("too many distinct square texts");
    texts_.emplace_back(text);
    return static_cast<std::uint8_t>(texts_.size() - 1);
}

std::uint8_t SquareArray::internFont(std::string_view name, float size, bool bold)
{
    std::uint8_t i = 0;
    for (const FontSpec &font : fonts_) {
        if (font.size == size && font.bold == bold && font.name == name)
            return i;
        ++i;
    }
    if (fonts_.size() >= 255)
        throw std::length_error("too many distinct square fonts");
    // Built from a copy: name may point into this very table, which push_back can grow.
    FontSpec font{std::string(name), size, bold};
    fonts_.push_back(std::move(font));
    return static_cast<std::uint8_t>(fonts_.size() - 1);
}

} // namespace tessfield
