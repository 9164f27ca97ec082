#include "window_manners.h"

#include "view/twips.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace tessfield {

namespace {

// A size the player or the window manager chose for the window.
constexpr Qt::WindowStates Filled = Qt::WindowMaximized | Qt::WindowFullScreen;

// Wayland, where a client can neither place its window nor know where it stands.
bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QSize sizeInPixels(QSizeF twips, double dpi)
{
    return {twipsToPixels(twips.width(), dpi), twipsToPixels(twips.height(), dpi)};
}

} // namespace

WindowManners::WindowManners(QWidget &window, Design design, std::function<void()> laidOut)
    : window_(window), design_(design), laidOut_(std::move(laidOut))
{
    window_.installEventFilter(this);
}

QSize WindowManners::opening() const
{
    return sizeInPixels(design_.opening, window_.logicalDpiX());
}

QSize WindowManners::least() const
{
    return sizeInPixels(design_.least, window_.logicalDpiX()).expandedTo(required_);
}

void WindowManners::open()
{
    window_.resize(opening());
    laidOut_();
    applyLimits();
}

bool WindowManners::filledByPlayer() const
{
    return (window_.windowState() & Filled) != 0;
}

bool WindowManners::sizedByPlayer() const
{
    return filledByPlayer() || (appliedClient_.isValid() && window_.size() != appliedClient_);
}

QMargins WindowManners::frameMargins() const
{
    if (const QWindow *handle = window_.windowHandle(); handle != nullptr && window_.isVisible())
        return handle->frameMargins();
    return {};
}

QMargins WindowManners::expectedMargins()
{
    const QMargins margins = frameMargins();
    if (filledByPlayer()) {
        filledMargins_ = margins;
        return margins;
    }
    // Taken out of maximized or full screen, the window is told its state (and may be moved)
    // before the window manager gives its frame back: until then it reports the filled
    // frame, or none, which is not the one it returns to.
    if (margins.isNull() || margins == filledMargins_)
        return normalMargins_.isNull() ? margins : normalMargins_;
    normalMargins_ = margins;
    return margins;
}

void WindowManners::requestOuterSize(QSize outer)
{
    requestedOuter_ = outer;
    applyOuterSize();
}

void WindowManners::applyOuterSize()
{
    if (!requestedOuter_)
        return;
    const QMargins margins = expectedMargins();
    appliedMargins_ = margins;
    applyLimits();
    if (filledByPlayer()) {
        // The player's choice stands: the board shows at its place in the larger window, and
        // its size waits for the window to be restored.
        restorePending_ = true;
        laidOut_();
        return;
    }
    restorePending_ = false;
    std::optional<QSize> available;
    if (const QScreen *display = window_.screen(); display != nullptr) {
        available = display->availableGeometry().size();
        if (onWayland())
            available = waylandOuterLimit(*available, opening().grownBy(margins));
    }
    const int bar = window_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &window_);
    window_.resize(fittedClientSize(*requestedOuter_, margins, available, bar, least().height()));
    appliedClient_ = window_.size();
    awaitingFrame_ = window_.isVisible();
    laidOut_();
}

void WindowManners::requireClient(QSize least)
{
    if (least == required_)
        return;
    required_ = least;
    applyLimits();
}

QSize WindowManners::mostClient()
{
    const QScreen *display = window_.screen();
    if (display == nullptr)
        return window_.maximumSize();
    return maximumClientSize(display->geometry(), display->availableGeometry(), expectedMargins(),
                             filledByPlayer());
}

void WindowManners::applyLimits()
{
    const QScreen *display = window_.screen();
    if (display == nullptr)
        return;
    // However its size is set (the window manager, a tool, a command-line geometry, a scale
    // factor), the window is never larger than the screen can show: a larger one only costs
    // memory and time to paint what nobody sees. The hint is the screen, which a full-screen
    // window fills; the frame is known only once the window is shown, and a hint changed
    // then is a warning on platforms that take none, so the window keeps its frame on the
    // available area itself (resized).
    const QSize most = maximumClientSize(display->geometry(), {}, {}, true);
    // Nor so small that a control or the message is cut off: the board area scrolls instead.
    // A larger least size grows the window at once.
    window_.setMinimumSize(least().boundedTo(most));
    window_.setMaximumSize(most);
}

void WindowManners::bringOnScreen()
{
    // On Wayland the window has no position of its own to correct.
    if (!window_.isVisible() || onWayland())
        return;
    const QScreen *display = window_.screen();
    if (display == nullptr)
        return;
    const QRect available = display->availableVirtualGeometry();
    const QRect frame = window_.frameGeometry();
    if (const auto place = onScreenPosition(frame, available, !placedOnScreen_))
        window_.move(*place);
    else if (window_.windowHandle()->isExposed() && available.contains(frame))
        placedOnScreen_ = true;
}

bool WindowManners::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::Resize:
            resized();
            break;
        case QEvent::Show:
            shown();
            break;
        case QEvent::Move:
            moved();
            break;
        case QEvent::WindowStateChange:
            // Restored: the board set up meanwhile gets its size now.
            if (restorePending_ && (window_.windowState() & (Filled | Qt::WindowMinimized)) == 0)
                applyOuterSize();
            break;
        default:
            break;
        }
    } else if (watched == window_.windowHandle() && event->type() == QEvent::Expose
               && !placedOnScreen_) {
        QTimer::singleShot(0, this, &WindowManners::bringOnScreen);
    }
    return QObject::eventFilter(watched, event);
}

void WindowManners::resized()
{
    if (window_.size() == appliedClient_ && frameMargins() == appliedMargins_)
        awaitingFrame_ = false;
    // Without a window manager nothing holds a tool to the size hints.
    if (window_.isVisible()) {
        const QSize allowed =
            window_.size().boundedTo(mostClient()).expandedTo(window_.minimumSize());
        if (allowed != window_.size()) {
            window_.resize(allowed);
            return;
        }
    }
    laidOut_();
}

void WindowManners::shown()
{
    // The window manager places the window before it maps it: where the window is once
    // shown is where it was put, not yet where the player moved it.
    window_.windowHandle()->removeEventFilter(this);
    window_.windowHandle()->installEventFilter(this);
    if (frameMargins() != appliedMargins_ && (awaitingFrame_ || !sizedByPlayer()))
        applyOuterSize();
    applyLimits();
    bringOnScreen();
}

void WindowManners::moved()
{
    // The window manager reports its frame only after the window is mapped; once it is
    // known, the outer size the board asked for is applied again with it, unless the window
    // has been given another size since.
    if (frameMargins() != appliedMargins_) {
        if (awaitingFrame_ || !sizedByPlayer())
            applyOuterSize();
        else
            appliedMargins_ = frameMargins();
    }
    // It may have moved to another screen, larger or smaller.
    applyLimits();
    bringOnScreen();
}

QSize fittedClientSize(QSize requestedOuter, QMargins frame, std::optional<QSize> available,
                       int scrollBar, int floorHeight)
{
    QSize outer = requestedOuter;
    if (available) {
        if (outer.width() > available->width())
            outer.rheight() += scrollBar;
        if (outer.height() > available->height())
            outer.rwidth() += scrollBar;
        outer = outer.boundedTo(*available);
        floorHeight = std::min(floorHeight, available->height() - frame.top() - frame.bottom());
    }
    return {std::max(1, outer.width() - frame.left() - frame.right()),
            std::max({1, floorHeight, outer.height() - frame.top() - frame.bottom()})};
}

QSize maximumClientSize(QRect screen, QRect available, QMargins frame, bool filled)
{
    const QSize most = filled || !available.isValid() ? screen.size()
                                                       : available.marginsRemoved(frame).size();
    return most.expandedTo(QSize(1, 1));
}

std::optional<QPoint> onScreenPosition(QRect frame, QRect available, bool firstPlacement)
{
    if (!available.isValid() || available.contains(frame)
        || (!firstPlacement && frame.intersects(available)))
        return std::nullopt;
    const auto place = [](int at, int length, int first, int room) {
        return std::clamp(at, first, first + std::max(0, room - length));
    };
    const QPoint to(place(frame.x(), frame.width(), available.x(), available.width()),
                    place(frame.y(), frame.height(), available.y(), available.height()));
    if (to == frame.topLeft())
        return std::nullopt;
    return to;
}

QSize waylandOuterLimit(QSize available, QSize openingOuter)
{
    const QSize room = (available - openingOuter).expandedTo(QSize(0, 0));
    return (available - room / 2).expandedTo(QSize(1, 1));
}

} // namespace tessfield
