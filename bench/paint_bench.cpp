// Painting the board, on whatever screen the platform gives (scripts/bench.sh runs this on
// the offscreen platform with screens of device pixel ratio 1 and 2). The board sits in
// the main window exactly as a player sees it: a window limited to the screen, the board
// scrolling inside it.
//
//   visible   the part of the board the window shows, rendered into an image
//   repaint   the same part repainted through the window's backing store and flushed
//   one-cell  a right press that flags one cell, to that cell repainted and flushed
//   key-move  an arrow key with the board focused, one cell there and back, to the focus
//            frame repainted and flushed
//   key-uncover  Space on the current cell, a covered count, to that cell repainted and
//            flushed
//   widget    the entire board widget rendered into one image (square boards only)
//
// Every board is first uncovered with "Test Code", so its cells show counts and mines; the
// first paint, which renders the handful of distinct cell looks, is not timed.

#include "bench_main.h"
#include "boards.h"
#include "timing.h"

#include "ui/form1.h"
#include "view/board_widget.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace tessfield::bench {
namespace {

std::string screenLabel()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize size = screen->geometry().size();
    return std::to_string(size.width()) + "x" + std::to_string(size.height()) + "@"
        + QString::number(screen->devicePixelRatio()).toStdString();
}

// The main window holding a board set up from its entries, shown and laid out.
struct Window {
    Form1 form;

    Window(BoardSize size, Mines mines, int setup)
    {
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
        form.entry(1)->setText(QString::number(size.rows));
        form.entry(2)->setText(QString::number(size.columns));
        form.entry(3)->setText(QString::number(mineCount(size, mines)));
        form.entry(4)->setText(QString::number(GameId));
        form.setupButton(setup)->click();
        settle();
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    // The part of the board widget that the window shows.
    QRect visibleRect() const
    {
        const QWidget *viewport = form.boardArea()->viewport();
        const QPoint origin = form.board()->mapFrom(viewport, QPoint(0, 0));
        return QRect(origin, viewport->size()) & form.board()->rect();
    }
};

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject * /*watched*/, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
    long long count = 0;
};

QImage imageFor(QSize size, qreal dpr)
{
    QImage image((QSizeF(size) * dpr).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    return image;
}

void visiblePaint(benchmark::State &state, BoardSize size)
{
    Window window(size, Mines::Density, Game::TestCode);
    const QRect visible = window.visibleRect();
    const qreal dpr = window.form.board()->devicePixelRatioF();
    QImage image = imageFor(visible.size(), dpr);
    window.form.board()->render(&image, QPoint(), QRegion(visible));
    timeEach(state, nothing, [&] { window.form.board()->render(&image, QPoint(), QRegion(visible)); });
    state.counters["cells"] = benchmark::Counter(
        static_cast<double>(visible.width()) * visible.height()
        / (static_cast<double>(window.form.board()->squareRect(0).width())
           * window.form.board()->squareRect(0).height()));
    state.counters["pixels"] = static_cast<double>(image.width()) * image.height();
}

void visibleRepaint(benchmark::State &state, BoardSize size)
{
    Window window(size, Mines::Density, Game::TestCode);
    BoardWidget *board = window.form.board();
    board->repaint();
    timeEach(state, nothing, [&] { board->repaint(); });
}

void oneCellUpdate(benchmark::State &state, BoardSize size)
{
    Window window(size, Mines::Density, Game::PlayGame);
    BoardWidget *board = window.form.board();
    // A cell in the middle of what the window shows.
    const QRect visible = window.visibleRect();
    const QPoint point = visible.center();
    const auto square = board->squareAt(point);
    if (!square) {
        state.SkipWithError("no cell under the centre of the view");
        return;
    }
    QWidget *top = board->window();
    PaintCounter paints(board);
    timeEach(state, nothing, [&] {
        QTest::mousePress(board, Qt::RightButton, Qt::NoModifier, point);
        QCoreApplication::sendPostedEvents(top->windowHandle(), QEvent::UpdateRequest);
        QCoreApplication::sendPostedEvents(top, QEvent::UpdateRequest);
    });
    QTest::mouseRelease(board, Qt::RightButton, Qt::NoModifier, point);
    state.counters["paints_per_press"] = static_cast<double>(paints.count) / static_cast<double>(state.iterations());
}

// Presses a key on the focused board and lets the window repaint and flush what it changed,
// as the mouse press of oneCellUpdate does.
void pressKey(BoardWidget *board, Qt::Key key)
{
    QTest::keyPress(board, key);
    QWidget *top = board->window();
    QCoreApplication::sendPostedEvents(top->windowHandle(), QEvent::UpdateRequest);
    QCoreApplication::sendPostedEvents(top, QEvent::UpdateRequest);
}

bool focusBoard(Window &window)
{
    window.form.activateWindow();
    window.form.board()->setFocus(Qt::TabFocusReason);
    return QTest::qWaitForWindowActive(&window.form) && window.form.board()->hasFocus();
}

void keyMove(benchmark::State &state, BoardSize size)
{
    Window window(size, Mines::Density, Game::PlayGame);
    BoardWidget *board = window.form.board();
    const auto square = board->squareAt(window.visibleRect().center());
    if (!square || !focusBoard(window)) {
        state.SkipWithError("no focused board with a cell under the centre of the view");
        return;
    }
    board->setCurrentCell(*square);
    Window::settle();
    // Back and forth by one cell, along the row unless the board is a single column.
    const bool column = window.form.game().board().columnCount == 1;
    const Qt::Key there = column ? Qt::Key_Down : Qt::Key_Right;
    const Qt::Key back = column ? Qt::Key_Up : Qt::Key_Left;
    bool forth = false;
    timeEach(state, [&] {
        QTest::keyRelease(board, forth ? there : back);
        forth = !forth;
    }, [&] { pressKey(board, forth ? there : back); });
}

void keyUncover(benchmark::State &state, BoardSize size)
{
    Window window(size, Mines::Density, Game::PlayGame);
    BoardWidget *board = window.form.board();
    // The covered counts in view, each uncovered alone by Space; a new board when all are.
    std::vector<Int16> counts;
    const auto refill = [&] {
        QTest::keyRelease(board, Qt::Key_Space);
        window.form.setupButton(Game::PlayGame)->click();
        Window::settle();
        const Board &model = window.form.game().board();
        const QRect visible = window.visibleRect();
        for (int k = int{model.rowCount} * model.columnCount - 1; k >= 0; --k) {
            const auto [column, row] = cellPosition(model.columnCount, narrowCast16(k));
            if (!model.hasMine(column, row) && model.countGrid.at(column, row) > 0
                && visible.contains(board->squareRect(narrowCast16(k))))
                counts.push_back(narrowCast16(k));
        }
        return !counts.empty() && focusBoard(window);
    };
    if (!refill()) {
        state.SkipWithError("no covered count in view");
        return;
    }
    timeEach(state, [&] {
        if (counts.empty())
            (void)refill();
        QTest::keyRelease(board, Qt::Key_Space);
        board->setCurrentCell(counts.back());
        counts.pop_back();
        Window::settle();
    }, [&] { pressKey(board, Qt::Key_Space); });
}

void widgetPaint(benchmark::State &state, BoardSize size)
{
    Window window(size, Mines::Density, Game::TestCode);
    BoardWidget *board = window.form.board();
    const qreal dpr = board->devicePixelRatioF();
    QImage image = imageFor(board->size(), dpr);
    board->render(&image);
    timeEach(state, nothing, [&] { board->render(&image); });
    state.counters["pixels"] = static_cast<double>(image.width()) * image.height();
}

template <typename Body>
void add(const std::string &operation, BoardSize size, Body body)
{
    const std::string name = "paint/" + operation + "@" + screenLabel() + "/" + size.label()
        + "/density";
    benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) { body(state, size); })
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}

void registerAll()
{
    for (const BoardSize size : Boards) {
        add("visible", size, visiblePaint);
        add("repaint", size, visibleRepaint);
        add("one-cell", size, oneCellUpdate);
        add("key-move", size, keyMove);
        add("key-uncover", size, keyUncover);
        if (size.rows == size.columns)
            add("widget", size, widgetPaint);
    }
}

} // namespace
} // namespace tessfield::bench

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return tessfield::bench::runBenchmarks(argc, argv, [] { return true; },
                                           tessfield::bench::registerAll);
}
