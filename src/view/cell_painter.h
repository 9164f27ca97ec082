#pragma once

// Renders the look of a square (background, edge and whatever is written on it) into
// pixmaps that are cached per look, size and device pixel ratio, so painting a board of
// 32 767 squares is a run of pixmap copies and a repaint never renders text.
//
// A pixmap is rendered at the device resolution, one pixmap pixel per screen pixel: at a
// ratio of 1.5 or 2 the glyphs and edges are drawn for the finer grid, never scaled up.

#include "board/board.h"
#include "squares/squares.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QString>

namespace tessfield {

// 0xBBGGRR as a colour to paint with.
QColor toQColor(Colour colour);

// The face that stands in for a square's font name: fixed pitch for "Terminal", the
// application's font for an empty name, the named family otherwise; sized in pixels for
// the given DPI.
QFont faceFor(const FontSpec &font, double dpi);

class CellPainter {
public:
    // The pixmap of square k's current look, deviceSize device pixels large (its device
    // pixel ratio set to dpr), for a board at the given logical DPI.
    const QPixmap &pixmapFor(const SquareArray &squares, Int16 k, QSize deviceSize, qreal dpr,
                             double logicalDpi);

    // Up to StripLength copies of that look side by side, for a run of squares that look
    // alike: copying a row of a board in a few strips costs what a fill of its area does,
    // where a copy per square costs far more than its pixels. Made the first time a look
    // is painted in a run.
    static constexpr int StripLength = 64;
    const QPixmap &stripFor(const SquareArray &squares, Int16 k, QSize deviceSize, qreal dpr,
                            double logicalDpi);

    // Number of distinct looks rendered so far (for tests and measurements).
    qsizetype cachedLooks() const { return cache_.size(); }
    void clear()
    {
        cache_.clear();
        strips_.clear();
    }

private:
    struct Key {
        Colour background;
        Colour inscriptionColour;
        const void *text;       // interned by the squares: one address per distinct text
        const FontSpec *font;   // likewise for fonts
        int deviceWidth;
        int deviceHeight;
        int dprPercent;
        int dpi;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed) noexcept
    {
        return qHashMulti(seed, key.background, key.inscriptionColour, key.text, key.font,
                          key.deviceWidth, key.deviceHeight, key.dprPercent, key.dpi);
    }

    static Key keyFor(const SquareArray &squares, Int16 k, QSize deviceSize, qreal dpr,
                      double logicalDpi);
    QPixmap render(const SquareArray &squares, Int16 k, QSize deviceSize, qreal dpr,
                   double logicalDpi) const;

    QHash<Key, QPixmap> cache_;
    QHash<Key, QPixmap> strips_;
};

// Width in device pixels of the one-pixel edge of a square: whole device pixels, so that it
// stays crisp at fractional ratios.
int edgeWidth(qreal dpr);

// Draws the bomb that the mine glyph shows, in colour, within an em square at origin.
void paintBomb(class QPainter &painter, QPointF origin, qreal em, const QColor &colour);

} // namespace tessfield
