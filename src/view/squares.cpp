#include "squares.h"

#include <algorithm>
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
    zero.font = internFont(design.font);
    zero.tag = internText("");
    zero.flags = Exists; // designed hidden
    squares_.push_back(zero);
}

bool SquareArray::exists(Int16 k) const
{
    return k >= 0 && static_cast<std::size_t>(k) < squares_.size()
        && (squares_[static_cast<std::size_t>(k)].flags & Exists) != 0;
}

const SquareArray::Square &SquareArray::get(Int16 k) const
{
    if (!exists(k))
        throw std::out_of_range("square " + std::to_string(k) + " does not exist");
    return squares_[static_cast<std::size_t>(k)];
}

SquareArray::Square &SquareArray::get(Int16 k)
{
    return const_cast<Square &>(std::as_const(*this).get(k));
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
    square.font = internFont({std::string(name), current.size, current.bold});
}

void SquareArray::setFontSize(Int16 k, float points)
{
    auto &square = get(k);
    const FontSpec &current = fonts_[square.font];
    if (current.size == points)
        return;
    square.font = internFont({current.name, points, current.bold});
}

void SquareArray::setFontBold(Int16 k, bool bold)
{
    auto &square = get(k);
    const FontSpec &current = fonts_[square.font];
    if (current.bold == bold)
        return;
    square.font = internFont({current.name, current.size, bold});
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
                    return static_cast<Int16>(i);
            }
        }
    }
    // Squares that were moved out of the arrangement are still found, only more slowly.
    for (std::size_t i = squares_.size(); i-- > 0;) {
        if (contains(i))
            return static_cast<Int16>(i);
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

std::uint8_t SquareArray::internColour(Colour colour)
{
    const auto found = std::find(colours_.begin(), colours_.end(), colour);
    if (found != colours_.end())
        return static_cast<std::uint8_t>(found - colours_.begin());
    if (colours_.size() >= 255)
        throw std::length_error("too many distinct square colours");
    colours_.push_back(colour);
    return static_cast<std::uint8_t>(colours_.size() - 1);
}

std::uint8_t SquareArray::internText(std::string_view text)
{
    const auto found = std::find(texts_.begin(), texts_.end(), text);
    if (found != texts_.end())
        return static_cast<std::uint8_t>(found - texts_.begin());
    // NoText (255) marks a blank square, so at most 255 distinct texts.
    if (texts_.size() >= NoText)
        throw std::length_error("too many distinct square texts");
    texts_.emplace_back(text);
    return static_cast<std::uint8_t>(texts_.size() - 1);
}

std::uint8_t SquareArray::internFont(const FontSpec &font)
{
    const auto found = std::find(fonts_.begin(), fonts_.end(), font);
    if (found != fonts_.end())
        return static_cast<std::uint8_t>(found - fonts_.begin());
    if (fonts_.size() >= 255)
        throw std::length_error("too many distinct square fonts");
    fonts_.push_back(font);
    return static_cast<std::uint8_t>(fonts_.size() - 1);
}

} // namespace tessfield
