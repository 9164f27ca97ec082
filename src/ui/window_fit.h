#pragma once

// The client size that gives the window the outer size a board asks for, within the screen.

#include <QMargins>
#include <QSize>

#include <optional>

namespace tessfield {

// requestedOuter is the frame-inclusive size the board asked for; frame the window
// manager's frame around the client area; available the screen's free area, if known;
// scrollBar the extent of a scroll bar; floorHeight the least client height that keeps the
// controls inside. A board larger than the screen gets a window limited to it, with room
// for the scroll bar that then appears the other way, so the bar hides no cell.
QSize fittedClientSize(QSize requestedOuter, QMargins frame, std::optional<QSize> available,
                       int scrollBar, int floorHeight);

} // namespace tessfield
