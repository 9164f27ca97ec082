#include "window_fit.h"

#include <algorithm>

namespace tessfield {

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

} // namespace tessfield
