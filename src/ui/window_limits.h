#pragma once

// Limits that keep the window usable whatever sets its size or place: the player, the
// window manager, a tool, a command-line geometry or a scale factor.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace tessfield {

// The longest text an entry box holds. The number reader takes blanks, a sign, digits, a
// point and an exponent; the longest number a player could mean is a game ID written out in
// full, the largest finite one being 309 digits (and the smallest, 0.000...1, about as
// long). 1024 holds either with room to spare, and caps what a paste costs: Qt's line edit
// keeps an undo step for every character it takes in.
inline constexpr int EntryMaxLength = 1024;

// The least client size, in twips: the column of controls and the dividing line, one cell
// of board beside them, and the floor under the status line.
inline constexpr double MinimumClientWidthTwips = 1800 + 255;

// The largest client size the screen can show: the screen's whole area, which a full-screen
// window fills and a maximized one nearly fills once the window manager trims its frame;
// never less than one pixel.
QSize maximumClientSize(QSize screen);

// Where a window is moved to be on the available area: the nearest place with the frame's
// top-left corner on it and as much of the frame as fits. Nothing when the window may stay:
// when the whole frame is on the area or, unless the window is being placed first (where
// the player has not put it yet), when some of it is.
std::optional<QPoint> onScreenPosition(QRect frame, QRect available, bool firstPlacement);

// The largest outer size a board may give the window on Wayland. There the window cannot
// place itself, and the compositor keeps its corner where it first put the opening window
// (Weston: anywhere in the free room that the opening window leaves on the available area,
// at random) while it grows. A board's window leaves half that room free, so it stays
// wholly on the screen when it was put in the upper-left half of the room, and its title
// bar's left end, where it is dragged, is on the screen wherever it was put.
QSize waylandOuterLimit(QSize available, QSize openingOuter);

} // namespace tessfield
