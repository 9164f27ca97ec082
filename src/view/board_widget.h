#pragma once

// One widget that paints every cell square and reports presses on them.
//
// The squares themselves are plain data (SquareArray) that the game owns; this widget is only
// their picture and reads them. It repaints the squares it is told have changed, keeps
// showing what was drawn on each square however often it is exposed, and turns a press into
// (square index, button value): the game decides what a press does.

#include "view/cell_painter.h"
#include "squares/squares.h"

#include <QWidget>

#include <optional>

namespace tessfield {

class BoardWidget : public QWidget {
    Q_OBJECT

public:
    explicit BoardWidget(const SquareArray &squares, QWidget *parent = nullptr);

    // Brings the picture up to date with what the game changed on the squares, and tells
    // listening screen readers: a new layout resizes the widget and repaints it, otherwise
    // only the changed squares are repainted.
    void showChanges(const SquareChanges &changes);

    // Square k's area in this widget's coordinates (empty for a square that does not exist).
    QRect squareRect(Int16 k) const;
    // Square k's area in device pixels, from the widget's top-left corner, at a device
    // pixel ratio (the widget's own by default). Neighbouring squares share their edges.
    QRect deviceRect(Int16 k, qreal dpr) const;
    QRect deviceRect(Int16 k) const;
    // The visible square under a position of this widget (logical, fractional at a
    // fractional device pixel ratio), if any.
    std::optional<Int16> squareAt(QPointF position) const;

    // The logical DPI that turns twips into pixels for this board.
    double logicalDpi() const;

    QSize sizeHint() const override { return extent_; }

    const CellPainter &cellPainter() const { return painter_; }
    const SquareArray &squares() const { return squares_; }

Q_SIGNALS:
    // button is the sum of every mouse button held: 1 left, 2 right, 4 middle.
    void squarePressed(int index, int button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void relayout();
    void paintRect(class QPainter &painter, const QRect &rect);

    const SquareArray &squares_;
    CellPainter painter_;
    QSize extent_;
    QPoint origin_; // pixel position of the board's top-left corner in the window
    qreal layoutRatio_ = 1.0; // the device pixel ratio the extent was worked out for
};

// The button value of a press: every button held, the pressed one included.
int buttonValue(Qt::MouseButtons buttons);

} // namespace tessfield
