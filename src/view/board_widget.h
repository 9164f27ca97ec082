#pragma once

// One widget that paints every cell square and reports presses on them.
//
// The squares themselves are plain data (SquareArray) that the game owns; this widget is only
// their picture and reads them. It repaints the squares it is told have changed, keeps
// showing what was drawn on each square however often it is exposed, and turns a press into
// (square index, button value): the game decides what a press does.
//
// For the keyboard it keeps a current cell, view state only: every new board puts it on
// (1, 1), a mouse press moves it and gives the widget the focus, and while the widget has
// the focus it wears a frame and the keys move it or press it. A key press is reported
// exactly as the mouse press it stands for.

#include "view/board_speech.h"
#include "view/cell_moves.h"
#include "view/cell_painter.h"
#include "squares/squares.h"

#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

namespace tessfield {

class BoardWidget;

// Whatever else reports every board to the player, such as assistive technology: installed
// once, before the first board is made, it hears what each board has just shown.
class BoardObserver {
public:
    virtual ~BoardObserver() = default;

    // The board has shown these changes of its squares.
    virtual void changesShown(BoardWidget &board, const SquareChanges &changes) = 0;
    // The current cell is due to be told as the focused one: it moved, or the board took
    // the focus.
    virtual void currentCellDue(BoardWidget &board) = 0;
};

class BoardWidget : public QWidget {
    Q_OBJECT

public:
    explicit BoardWidget(const SquareArray &squares, QWidget *parent = nullptr);

    // Makes observer (null for none) the one observer of every board; returns the one before.
    static BoardObserver *observeEveryBoard(BoardObserver *observer)
    {
        return std::exchange(observer_, observer);
    }

    // Brings the picture up to date with what the game changed on the squares, and tells
    // the observer: a new layout resizes the widget and repaints it, otherwise
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

    // The cell the keys act on while a board is shown.
    std::optional<Int16> currentCell() const { return current_; }
    // Moves the current cell to square k, if it is a cell of the board.
    void setCurrentCell(Int16 k);
    // A press of the given button value on square k, whether by the mouse, a key or
    // assistive technology: the square becomes current and the press is reported.
    void pressSquare(Int16 k, int button);

    // The window's own keys in words ("Ctrl+Q quits"), which the board's description
    // ends with: the keys a player needs wherever the focus is.
    void setWindowKeysHelp(const QString &words) { windowKeysHelp_ = words; }
    const QString &windowKeysHelp() const { return windowKeysHelp_; }

    // The words of announcement() are built only while a screen reader listens (a line's
    // cost as many cells as it has); a test that reads them without one asks for them.
    void buildSpeechAlways() { speechAlways_ = true; }

Q_SIGNALS:
    // button is the sum of every mouse button held: 1 left, 2 right, 4 middle. cellFocused:
    // the press came with the focus on its cell, so a screen reader has already said which.
    void squarePressed(int index, int button, bool cellFocused);
    // The current cell moved (or a new board put it on (1, 1)); area is its square's.
    void currentCellMoved(const QRect &area);
    // Words for the screen reader to say at once: a line of the board that the player asked
    // for, or "edge" for a move that can go no further.
    void announcement(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void relayout();
    // Square k's area at a DPI already multiplied by the device pixel ratio; k must exist.
    // For loops over many squares, which read the screen's DPI once rather than per square.
    QRect rectAtDpi(Int16 k, double dpi) const;
    QRect boundsOf(const std::vector<Int16> &cells) const;
    void paintRect(class QPainter &painter, const QRect &rect);
    void paintFocusFrame(class QPainter &painter, Int16 k);
    // Square k's area grown by the pixel that rounding at fractional ratios may add.
    QRect repaintArea(Int16 k) const;
    // The cell a move leads to from the current one, which must be set.
    Int16 cellAfter(CellMove move) const;
    bool speechHeard() const;
    void tellCurrentCell();

    static inline BoardObserver *observer_ = nullptr;

    const SquareArray &squares_;
    CellPainter painter_;
    QSize extent_;
    QRectF squaresArea_; // the squares' area, to the last device pixel they cover
    QPoint origin_; // pixel position of the board's top-left corner in the window
    qreal layoutRatio_ = 1.0; // the device pixel ratio the extent was worked out for
    std::optional<Int16> current_;
    bool speechAlways_ = false;
    QString windowKeysHelp_;
};

// The button value of a press: every button held, the pressed one included.
int buttonValue(Qt::MouseButtons buttons);

} // namespace tessfield
