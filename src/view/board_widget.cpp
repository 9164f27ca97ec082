#include "board_widget.h"

#include "view/board_accessible.h"
#include "view/twips.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tessfield {

int buttonValue(Qt::MouseButtons buttons)
{
    int value = 0;
    if (buttons.testFlag(Qt::LeftButton))
        value += 1;
    if (buttons.testFlag(Qt::RightButton))
        value += 2;
    if (buttons.testFlag(Qt::MiddleButton))
        value += 4;
    return value;
}

BoardWidget::BoardWidget(const SquareArray &squares, QWidget *parent)
    : QWidget(parent), squares_(squares)
{
    // Before anything that Qt reports to assistive technology, so that the widget's first
    // accessible interface is already the board's table.
    installBoardAccessibility();
    setObjectName(QStringLiteral("square"));
    setAccessibleName(QStringLiteral("board"));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setFocusPolicy(Qt::NoFocus);
    relayout();
}

double BoardWidget::logicalDpi() const
{
    return logicalDpiX();
}

QRect BoardWidget::squareRect(Int16 k) const
{
    // At ratio 1 device pixels are the widget's own.
    return deviceRect(k, 1.0);
}

QRect BoardWidget::deviceRect(Int16 k, qreal dpr) const
{
    if (!squares_.exists(k))
        return {};
    // Edges are rounded in device pixels straight from twips, so that neighbouring squares
    // share their edge at any ratio, fractional ones included.
    const double dpi = logicalDpi() * dpr;
    const auto edge = [dpi](double twips) { return twipsToPixelEdge(twips, dpi); };
    const double left = squares_.left(k);
    const double top = squares_.top(k);
    const int x0 = edge(left);
    const int y0 = edge(top);
    const QPoint origin(edge(squares_.left(0)), edge(squares_.top(0)));
    return {QPoint(x0, y0) - origin,
            QSize(edge(left + squares_.width(k)) - x0, edge(top + squares_.height(k)) - y0)};
}

QRect BoardWidget::deviceRect(Int16 k) const
{
    return deviceRect(k, devicePixelRatioF());
}

std::optional<Int16> BoardWidget::squareAt(QPointF position) const
{
    // The device pixel under the pointer decides, through its centre, matching how square
    // edges are rounded to device pixels.
    const qreal dpr = devicePixelRatioF();
    const double dpi = logicalDpi();
    const auto centre = [dpr](qreal logical) { return (std::floor(logical * dpr) + 0.5) / dpr; };
    return squares_.squareAt(static_cast<float>(pixelsToTwips(centre(position.x()) + origin_.x(), dpi)),
                             static_cast<float>(pixelsToTwips(centre(position.y()) + origin_.y(), dpi)));
}

void BoardWidget::relayout()
{
    const double dpi = logicalDpi();
    origin_ = QPoint(twipsToPixelEdge(squares_.left(0), dpi), twipsToPixelEdge(squares_.top(0), dpi));
    const qreal dpr = devicePixelRatioF();
    layoutRatio_ = dpr;
    int right = 0;
    int bottom = 0;
    int deviceRight = 0;
    int deviceBottom = 0;
    bool anyVisible = false;
    for (Int16 k = 0; k < squares_.slots(); ++k) {
        if (!squares_.exists(k) || !squares_.visible(k))
            continue;
        anyVisible = true;
        const QRect rect = squareRect(k);
        right = std::max(right, rect.right() + 1);
        bottom = std::max(bottom, rect.bottom() + 1);
        const QRect device = deviceRect(k, dpr);
        deviceRight = std::max(deviceRight, device.right() + 1);
        deviceBottom = std::max(deviceBottom, device.bottom() + 1);
    }
    // Device edges may round up to one device pixel past the logical ones: the widget
    // covers both, which at ratio 1 is the same size.
    const auto logical = [dpr](int device) {
        return static_cast<int>(std::ceil(device / dpr - 1e-9));
    };
    extent_ = QSize(std::max(right, logical(deviceRight)), std::max(bottom, logical(deviceBottom)));
    resize(extent_);
    // Element 0 takes a place in the tab order once it is shown, as the window designs it.
    setFocusPolicy(anyVisible && squares_.visible(0) ? Qt::TabFocus : Qt::NoFocus);
    updateGeometry();
}

void BoardWidget::showChanges(const SquareChanges &changes)
{
    if (changes.layout) {
        relayout();
        update();
    } else if (changes.cells.size() > SquareChanges::ManyCells) {
        // One bounding rectangle is cheaper than a region of thousands.
        QRect bounds;
        for (const Int16 k : changes.cells)
            bounds |= squareRect(k);
        update(bounds);
    } else {
        for (const Int16 k : changes.cells)
            update(squareRect(k));
    }
    notifyBoardChanges(*this, changes);
}

void BoardWidget::paintEvent(QPaintEvent *event)
{
    // Moved to a screen of another ratio: the extent may need one pixel more or less, which
    // is settled after this paint rather than by resizing while painting.
    if (devicePixelRatioF() != layoutRatio_) {
        layoutRatio_ = devicePixelRatioF();
        QMetaObject::invokeMethod(this, [this] { relayout(); }, Qt::QueuedConnection);
    }
    QPainter painter(this);
    for (const QRect &rect : event->region())
        paintRect(painter, rect);
}

void BoardWidget::paintRect(QPainter &painter, const QRect &rect)
{
    const qreal dpr = devicePixelRatioF();
    const double dpi = logicalDpi();
    const auto paintSquare = [&](Int16 k) {
        if (!squares_.exists(k) || !squares_.visible(k))
            return;
        // Placed and sized in device pixels: each pixmap pixel lands on one screen pixel.
        const QRect device = deviceRect(k, dpr);
        if (device.isEmpty())
            return;
        const QRectF area(device.x() / dpr, device.y() / dpr, device.width() / dpr,
                          device.height() / dpr);
        if (!area.toAlignedRect().intersects(rect))
            return;
        painter.drawPixmap(area.topLeft(), painter_.pixmapFor(squares_, k, device.size(), dpr, dpi));
    };

    const Int16 columns = squares_.arrangement();
    const float width = squares_.width(0);
    const float height = squares_.height(0);
    if (columns <= 0 || width <= 0.0F || height <= 0.0F) {
        for (Int16 k = 0; k < squares_.slots(); ++k)
            paintSquare(k);
        return;
    }
    // Squares stand in the arrangement the grid was built in, so only those that can meet
    // the exposed rectangle are looked at. One extra on each side absorbs pixel rounding.
    const QPoint topLeft = rect.topLeft() + origin_;
    const QPoint bottomRight = rect.bottomRight() + origin_;
    const auto cellOf = [&](int pixel, float start, float size) {
        return static_cast<long long>(std::floor((pixelsToTwips(pixel, dpi) - start) / size));
    };
    const long long rows = (squares_.slots() + columns - 1) / columns;
    const long long firstColumn = std::max(0LL, cellOf(topLeft.x(), squares_.left(0), width) - 1);
    const long long lastColumn = std::min<long long>(columns - 1, cellOf(bottomRight.x(), squares_.left(0), width) + 1);
    const long long firstRow = std::max(0LL, cellOf(topLeft.y(), squares_.top(0), height) - 1);
    const long long lastRow = std::min(rows - 1, cellOf(bottomRight.y(), squares_.top(0), height) + 1);
    for (long long row = firstRow; row <= lastRow; ++row) {
        for (long long column = firstColumn; column <= lastColumn; ++column) {
            const long long k = row * columns + column;
            if (k < squares_.slots())
                paintSquare(narrowCast16(k));
        }
    }
}

void BoardWidget::mousePressEvent(QMouseEvent *event)
{
    const auto index = squareAt(event->position());
    if (!index) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    Q_EMIT squarePressed(*index, buttonValue(event->buttons()));
}

} // namespace tessfield
