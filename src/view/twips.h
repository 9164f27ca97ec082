#pragma once

// Twips (1/1440 inch) to device-independent pixels: the one place the conversion lives.

#include <cmath>

namespace tessfield {

inline constexpr double TwipsPerInch = 1440.0;

// A position in twips as a fractional pixel at the given logical DPI.
inline double twipsToPixelsF(double twips, double logicalDpi)
{
    return twips * logicalDpi / TwipsPerInch;
}

// An edge in twips as a whole pixel. Edges, not sizes, are rounded, so that squares laid
// edge to edge in twips stay edge to edge in pixels at any DPI. Halves round down, which
// makes a pixel belong to the square that contains the pixel's centre.
inline int twipsToPixelEdge(double twips, double logicalDpi)
{
    return static_cast<int>(std::ceil(twipsToPixelsF(twips, logicalDpi) - 0.5));
}

// A size in twips as a whole number of pixels (at least 0).
inline int twipsToPixels(double twips, double logicalDpi)
{
    const int pixels = twipsToPixelEdge(twips, logicalDpi);
    return pixels < 0 ? 0 : pixels;
}

inline double pixelsToTwips(double pixels, double logicalDpi)
{
    return pixels * TwipsPerInch / logicalDpi;
}

} // namespace tessfield
