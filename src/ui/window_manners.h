#pragma once

// How the main window behaves towards the screen and the window manager, apart from what
// it shows: the size a board asks for, fitted to the frame and the screen; a maximized or
// full-screen state that a new board leaves alone; a size capped on Wayland, where the
// window cannot place itself; the window kept on the screen; and limits that hold whatever
// sets its size. Decided from what Qt reports of the window, so that it runs the same on
// the offscreen platform, with no window manager at all.

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <functional>
#include <optional>

class QWidget;

namespace tessfield {

class WindowManners : public QObject {
public:
    // The window's designed client sizes, in twips.
    struct Design {
        QSizeF opening;
        // However small the board, the client area is never less than this: what shows
        // every control.
        QSizeF least;
    };

    // Watches window's events from now on. laidOut is called whenever the client area has
    // its size, for the window to lay out what depends on it.
    WindowManners(QWidget &window, Design design, std::function<void()> laidOut);

    // Gives the window its opening size and its limits.
    void open();
    // The outer size, frame included, that a board asks of the window, in pixels.
    void requestOuterSize(QSize outer);
    std::optional<QSize> requestedOuterSize() const { return requestedOuter_; }
    // The least client size that what the window shows needs now, beyond its design (a
    // message that takes more lines, a cell beside a scroll bar): the window grows to it
    // at once, as far as the screen allows, and nothing makes it smaller.
    void requireClient(QSize least);

    // Maximized or full screen: a size the player or the window manager chose.
    bool filledByPlayer() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSize opening() const;
    QSize least() const;
    QMargins frameMargins() const;
    QMargins expectedMargins();
    void applyOuterSize();
    void applyLimits();
    // The largest client size the window keeps itself to.
    QSize mostClient();
    void bringOnScreen();
    bool sizedByPlayer() const;
    void resized();
    void shown();
    void moved();

    QWidget &window_;
    Design design_;
    std::function<void()> laidOut_;
    std::optional<QSize> requestedOuter_;
    QSize required_;
    QMargins appliedMargins_;
    // The client size the last board was given, until the player or the window manager
    // gives the window another.
    QSize appliedClient_;
    // A board was set up while the window was maximized or full screen: its size is the one
    // the window returns to when restored.
    bool restorePending_ = false;
    // A board's size was asked of the window manager and is not yet seen applied with the
    // frame it was reckoned with: a frame that changes meanwhile (as it does on leaving full
    // screen) is the window manager's, and the size is reckoned again with it.
    bool awaitingFrame_ = false;
    // The frame the window manager last gave the window in its normal state, and the one it
    // gave it maximized or full screen: leaving either, the window is told its state before
    // its frame is back.
    QMargins normalMargins_;
    QMargins filledMargins_;
    // Until it is first seen whole on the screen, the window's place is not the player's.
    bool placedOnScreen_ = false;
};

// The client size that gives the window the outer size a board asks for, within the screen.
// requestedOuter is the frame-inclusive size the board asked for; frame the window
// manager's frame around the client area; available the screen's free area, if known;
// scrollBar the extent of a scroll bar; floorHeight the least client height that keeps the
// controls inside. A board larger than the screen gets a window limited to it, with room
// for the scroll bar that then appears the other way, so the bar hides no cell.
QSize fittedClientSize(QSize requestedOuter, QMargins frame, std::optional<QSize> available,
                       int scrollBar, int floorHeight);

// The largest client size: in the normal state, what keeps the whole window, frame
// included, on the screen's available area; maximized or full screen, the screen's whole
// area, which a full-screen window fills. Never less than one pixel.
QSize maximumClientSize(QRect screen, QRect available, QMargins frame, bool filled);

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
