#include "board_widget.h"

#include "squares/cells.h"
#include "view/board_keys.h"
#include "view/cell_moves.h"
#include "view/twips.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tessfield {

namespace {

// The focus frame is two rings, each as wide as a square's edge line: black outside, white
// inside. Each look has one ring that stands out from it by far more than 3:1 (white on the
// dark covered and flagged squares, 10:1; black on the silver and the light red ones, 11:1
// and 8.6:1), and black against white is 21:1 wherever a ring meets its neighbour.
const QColor FrameOuter(0, 0, 0);
const QColor FrameInner(255, 255, 255);

} // namespace

int buttonValue(Qt::MouseButtons buttons)
{
    int value = 0;
    if (buttons.testFlag(Qt::LeftButton))
        value += LeftButton;
    if (buttons.testFlag(Qt::RightButton))
        value += RightButton;
    if (buttons.testFlag(Qt::MiddleButton))
        value += MiddleButton;
    return value;
}

BoardWidget::BoardWidget(const SquareArray &squares, QWidget *parent)
    : QWidget(parent), squares_(squares)
{
    setObjectName(QStringLiteral("square"));
    setAccessibleName(QStringLiteral("board"));
    // Every pixel of the widget is painted by it (the squares, and the window's colour
    // where rounding leaves a sliver past them), so the view beneath is not filled first.
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    return rectAtDpi(k, logicalDpi() * dpr);
}

QRect BoardWidget::rectAtDpi(Int16 k, double dpi) const
{
    // Edges are rounded in device pixels straight from twips, so that neighbouring squares
    // share their edge at any ratio, fractional ones included.
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
    const auto reach = [&](Int16 k) {
        if (!squares_.exists(k) || !squares_.visible(k))
            return;
        anyVisible = true;
        const QRect rect = rectAtDpi(k, dpi);
        right = std::max(right, rect.right() + 1);
        bottom = std::max(bottom, rect.bottom() + 1);
        const QRect device = rectAtDpi(k, dpi * dpr);
        deviceRight = std::max(deviceRight, device.right() + 1);
        deviceBottom = std::max(deviceBottom, device.bottom() + 1);
    };
    const int limit = squares_.indexLimit();
    if (const int columns = squares_.arrangement(); columns > 0) {
        // The squares stand in the arrangement the grid was built in, and are shown or
        // hidden together: the far edges are those of the last column and the last row.
        reach(narrowCast16(std::min(columns, limit) - 1));
        reach(narrowCast16(limit - 1));
    } else {
        for (Int16 k = 0; k < limit; ++k)
            reach(k);
    }
    // Device edges may round up to one device pixel past the logical ones: the widget
    // covers both, which at ratio 1 is the same size.
    const auto logical = [dpr](int device) {
        return static_cast<int>(std::ceil(device / dpr - 1e-9));
    };
    extent_ = QSize(std::max(right, logical(deviceRight)), std::max(bottom, logical(deviceBottom)));
    squaresArea_ = QRectF(0, 0, deviceRight / dpr, deviceBottom / dpr);
    resize(extent_);
    // Element 0 takes a place in the tab order once it is shown, as the window designs it,
    // and a click on a cell gives the board the keyboard too, so mouse and keys mix.
    setFocusPolicy(anyVisible && squares_.visible(0) ? Qt::StrongFocus : Qt::NoFocus);
    updateGeometry();
}

void BoardWidget::showChanges(const SquareChanges &changes)
{
    if (changes.layout) {
        relayout();
        update();
        // Every new board starts the keys on (1, 1).
        current_.reset();
        if (squares_.exists(0) && squares_.visible(0)) {
            current_ = Int16{0};
            Q_EMIT currentCellMoved(squareRect(0));
        }
    } else if (changes.cells.size() > SquareChanges::ManyCells) {
        // One bounding rectangle is cheaper than a region of thousands.
        update(boundsOf(changes.cells));
    } else {
        for (const Int16 k : changes.cells)
            update(squareRect(k));
    }
    if (observer_ != nullptr)
        observer_->changesShown(*this, changes);
}

QRect BoardWidget::boundsOf(const std::vector<Int16> &cells) const
{
    // A flood changes the whole board: placing 32 767 squares one by one cost more than the
    // flood itself. In the arrangement, squares of a column share their left and width and
    // squares of a row their top and height, so the squares of the first and last row and
    // column changed span the bounds; only a square standing elsewhere is placed on its own.
    const double dpi = logicalDpi();
    const int columns = squares_.arrangement();
    QRect bounds;
    int first = -1;
    int last = -1;
    int leftmost = -1;
    int rightmost = -1;
    for (const Int16 k : cells) {
        if (!squares_.exists(k))
            continue;
        if (!squares_.inArrangedPlace(k)) {
            bounds |= rectAtDpi(k, dpi);
            continue;
        }
        const int column = k % columns;
        if (first < 0 || k < first)
            first = k;
        last = std::max<int>(last, k);
        if (leftmost < 0 || column < leftmost % columns)
            leftmost = k;
        if (rightmost < 0 || column > rightmost % columns)
            rightmost = k;
    }
    for (const int k : {first, last, leftmost, rightmost})
        if (k >= 0)
            bounds |= rectAtDpi(narrowCast16(k), dpi);
    return bounds;
}

bool BoardWidget::speechHeard() const
{
    return speechAlways_ || QAccessible::isActive();
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
    // Past the squares' last device pixel, where a fractional ratio leaves part of a pixel.
    const QBrush background = palette().brush(backgroundRole());
    if (squaresArea_.right() < width())
        painter.fillRect(QRectF(squaresArea_.right(), 0, width() - squaresArea_.right(), height()), background);
    if (squaresArea_.bottom() < height())
        painter.fillRect(QRectF(0, squaresArea_.bottom(), width(), height() - squaresArea_.bottom()), background);
    if (hasFocus() && current_ && event->region().intersects(repaintArea(*current_)))
        paintFocusFrame(painter, *current_);
}

void BoardWidget::paintFocusFrame(QPainter &painter, Int16 k)
{
    // In whole device pixels, like the squares, so that both rings stay sharp at every ratio.
    const qreal dpr = devicePixelRatioF();
    const int line = edgeWidth(dpr);
    const auto fill = [&](int x, int y, int width, int height, const QColor &colour) {
        painter.fillRect(QRectF(x / dpr, y / dpr, width / dpr, height / dpr), colour);
    };
    const auto ring = [&](const QRect &outer, const QColor &colour) {
        fill(outer.left(), outer.top(), outer.width(), line, colour);
        fill(outer.left(), outer.bottom() + 1 - line, outer.width(), line, colour);
        fill(outer.left(), outer.top() + line, line, outer.height() - 2 * line, colour);
        fill(outer.right() + 1 - line, outer.top() + line, line, outer.height() - 2 * line, colour);
    };
    const QRect device = deviceRect(k, dpr);
    if (device.width() < 4 * line || device.height() < 4 * line)
        return;
    ring(device, FrameOuter);
    ring(device.adjusted(line, line, -line, -line), FrameInner);
}

QRect BoardWidget::repaintArea(Int16 k) const
{
    return squareRect(k).adjusted(-1, -1, 1, 1);
}

void BoardWidget::paintRect(QPainter &painter, const QRect &rect)
{
    const qreal dpr = devicePixelRatioF();
    const double dpi = logicalDpi();
    const auto shown = [this](Int16 k) { return squares_.exists(k) && squares_.visible(k); };
    // Placed and sized in device pixels: each pixmap pixel lands on one screen pixel. A run
    // of squares of one look and size, edge to edge, is copied from a strip of that look in
    // one piece, which puts the same pixels where a copy per square would. At a fractional
    // ratio a copy of part of a strip may land a device pixel short, and squares differ in
    // size every few columns anyway: there each is copied alone.
    const bool whole = dpr == std::floor(dpr);
    const auto paintRun = [&](Int16 k, const QRect &device, int width) {
        const QRectF area(device.x() / dpr, device.y() / dpr, width / dpr, device.height() / dpr);
        if (device.isEmpty() || !area.toAlignedRect().intersects(rect))
            return;
        if (width == device.width()) {
            painter.drawPixmap(area.topLeft(), painter_.pixmapFor(squares_, k, device.size(), dpr, dpi));
            return;
        }
        const QPixmap &strip = painter_.stripFor(squares_, k, device.size(), dpr, dpi);
        for (int done = 0; done < width; done += strip.width()) {
            const int part = std::min(width - done, strip.width());
            painter.drawPixmap(QPointF((device.x() + done) / dpr, area.y()), strip,
                               QRectF(0, 0, part, device.height()));
        }
    };

    const Int16 columns = squares_.arrangement();
    const float width = squares_.width(0);
    const float height = squares_.height(0);
    if (columns <= 0 || width <= 0.0F || height <= 0.0F) {
        for (Int16 k = 0; k < squares_.indexLimit(); ++k) {
            if (shown(k)) {
                const QRect device = rectAtDpi(k, dpi * dpr);
                paintRun(k, device, device.width());
            }
        }
        return;
    }
    // Squares stand in the arrangement the grid was built in, so only those that can meet
    // the exposed rectangle are looked at. One extra on each side absorbs pixel rounding.
    const QPoint topLeft = rect.topLeft() + origin_;
    const QPoint bottomRight = rect.bottomRight() + origin_;
    const auto cellOf = [&](int pixel, float start, float size) {
        return static_cast<long long>(std::floor((pixelsToTwips(pixel, dpi) - start) / size));
    };
    const long long limit = squares_.indexLimit();
    const long long rows = squares_.arrangedRows();
    const long long firstColumn = std::max(0LL, cellOf(topLeft.x(), squares_.left(0), width) - 1);
    const long long lastColumn = std::min<long long>(columns - 1, cellOf(bottomRight.x(), squares_.left(0), width) + 1);
    const long long firstRow = std::max(0LL, cellOf(topLeft.y(), squares_.top(0), height) - 1);
    const long long lastRow = std::min(rows - 1, cellOf(bottomRight.y(), squares_.top(0), height) + 1);
    // Every square in its arranged place shares its column's left and width and its row's
    // top and height, so their device edges are worked out once per column and row met
    // rather than once per square. A square that stands elsewhere is placed on its own.
    struct Span {
        int from = 0;
        int to = 0;
    };
    const double deviceDpi = dpi * dpr;
    const auto span = [deviceDpi](float start, float length, int origin) {
        return Span{twipsToPixelEdge(start, deviceDpi) - origin,
                    twipsToPixelEdge(static_cast<double>(start) + length, deviceDpi) - origin};
    };
    const QPoint deviceOrigin(twipsToPixelEdge(squares_.left(0), deviceDpi),
                              twipsToPixelEdge(squares_.top(0), deviceDpi));
    std::vector<Span> columnSpans;
    for (long long column = firstColumn; column <= lastColumn; ++column) {
        const auto k = narrowCast16(column);
        columnSpans.push_back(span(squares_.left(k), squares_.width(k), deviceOrigin.x()));
    }
    const auto deviceRectOf = [&](Int16 k, const Span &row) {
        if (!squares_.inArrangedPlace(k))
            return rectAtDpi(k, deviceDpi);
        const Span &column = columnSpans[static_cast<std::size_t>(k % columns - firstColumn)];
        return QRect(column.from, row.from, column.to - column.from, row.to - row.from);
    };
    for (long long row = firstRow; row <= lastRow; ++row) {
        const long long end = std::min(row * columns + lastColumn + 1, limit);
        long long k = row * columns + firstColumn;
        const auto rowStart = narrowCast16(row * columns);
        const Span rowSpan = span(squares_.top(rowStart), squares_.height(rowStart), deviceOrigin.y());
        while (k < end) {
            const Int16 first = narrowCast16(k++);
            if (!shown(first))
                continue;
            const QRect device = deviceRectOf(first, rowSpan);
            int reach = device.right();
            for (; whole && k < end; ++k) {
                const Int16 next = narrowCast16(k);
                if (!shown(next) || !squares_.sameLook(first, next))
                    break;
                const QRect beside = deviceRectOf(next, rowSpan);
                if (beside.left() != reach + 1 || beside.top() != device.top()
                    || beside.size() != device.size())
                    break;
                reach = beside.right();
            }
            paintRun(first, device, reach + 1 - device.left());
        }
    }
}

void BoardWidget::setCurrentCell(Int16 k)
{
    if (!squares_.exists(k) || !squares_.visible(k) || current_ == k)
        return;
    if (current_ && hasFocus())
        update(repaintArea(*current_));
    current_ = k;
    if (hasFocus())
        update(repaintArea(k));
    Q_EMIT currentCellMoved(squareRect(k));
    tellCurrentCell();
}

void BoardWidget::tellCurrentCell()
{
    if (observer_ != nullptr)
        observer_->currentCellDue(*this);
}

void BoardWidget::pressSquare(Int16 k, int button)
{
    setCurrentCell(k);
    Q_EMIT squarePressed(k, button, hasFocus() && current_ == k);
}

void BoardWidget::mousePressEvent(QMouseEvent *event)
{
    const auto index = squareAt(event->position());
    if (!index) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    pressSquare(*index, buttonValue(event->buttons()));
}

void BoardWidget::keyPressEvent(QKeyEvent *event)
{
    const KeyAction *action = current_ ? boardKeyAction(*event) : nullptr;
    if (action == nullptr) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (const auto *press = std::get_if<PressCell>(action)) {
        pressSquare(*current_, press->button);
    } else if (const auto *read = std::get_if<ReadLine>(action)) {
        // H and V read the current row and column, the two lines a sighted player sees
        // around the cell.
        if (speechHeard())
            Q_EMIT announcement(QString::fromStdString(lineWords(squares_, *current_, read->line)));
    } else if (const Int16 next = cellAfter(std::get<CellMove>(*action)); next == *current_) {
        // A move that cannot go further says so, once per key: silence would sound like a
        // key that was lost.
        Q_EMIT announcement(QStringLiteral("edge"));
    } else {
        setCurrentCell(next);
    }
}

Int16 BoardWidget::cellAfter(CellMove move) const
{
    // The rows the view shows, for the page keys: all of them unless the board scrolls.
    const int page = visibleRegion().boundingRect().height() / std::max(1, squareRect(0).height());
    return cellAfterMove(move, *current_, narrowCast16(std::max<int>(1, squares_.arrangement())),
                         narrowCast16(squares_.indexLimit() - 1), page);
}

void BoardWidget::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (current_)
        update(repaintArea(*current_));
    // Qt tells screen readers that the board took the focus once this handler has returned;
    // the current cell's focus must come after that to be the one they keep.
    QMetaObject::invokeMethod(this, [this] { tellCurrentCell(); }, Qt::QueuedConnection);
}

void BoardWidget::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (current_)
        update(repaintArea(*current_));
}

} // namespace tessfield
