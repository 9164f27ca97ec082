#include "window_limits.h"

#include <algorithm>

namespace tessfield {

QSize maximumClientSize(QSize screen)
{
    return screen.expandedTo(QSize(1, 1));
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
