// What a player feels, on a real X server: from a mouse press or a key press, sent through
// the server's XTEST extension as a person's mouse or keyboard would be, to the board painted
// on the screen.
//
// The clock starts when the press reaches the program and stops once the board widget has
// painted, its window has been flushed to the X server, and a read-back of the screen shows
// the new board at the centre and the four corners of the view (for a key, the one cell it
// changed). The read-backs are round trips, so the server has put the picture on the screen
// by then; their own cost (a few 1 x 1 pixel reads) is part of the figure. scripts/bench.sh
// runs this under Xvfb.
//
//   play-game        "Play Game" on a board that "Test Code" left uncovered: every shown
//                    cell turns from its uncovered look to covered
//   play-game-first  "Play Game" on the largest board while the window holds the default
//                    15 x 10 board, so the window also grows to the screen
//   flood            a left press on a mine-free board, which uncovers every cell
//   key-move         Right, then Left, with the board focused: the focus frame on the next
//                    cell
//   key-uncover      Space on the current cell, a covered count: that cell uncovered
//
// Each row runs in rounds interleaved with its platform floor ("floor/" and the row's
// name): an empty window at the program's place doing the same change (the same area
// repainted, the window grown from and to the same sizes) and flushed, verified by the same
// read-backs, timed from the change asked for. What the server and Qt's backing store cost
// for that change is the floor; the row's figure over it is what the program adds.

#include "bench_main.h"
#include "boards.h"
#include "fake_input.h"
#include "floor_window.h"

#include "ui/form1.h"
#include "view/board_widget.h"
#include "squares/cells.h"
#include "view/cell_painter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace tessfield::bench {
namespace {

using Clock = std::chrono::steady_clock;

Form1 *form = nullptr;

void settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(20);
    }
}

void setEntries(BoardSize size, Int16 mines)
{
    form->entry(1)->setText(QString::number(size.rows));
    form->entry(2)->setText(QString::number(size.columns));
    form->entry(3)->setText(QString::number(mines));
    form->entry(4)->setText(QString::number(GameId));
}

// Runs a setup without the mouse, and lets the window finish painting it.
void setUpBoard(BoardSize size, Int16 mines, int button)
{
    setEntries(size, mines);
    form->setupButton(button)->click();
    settle();
}

void moveMouseTo(const QWidget *widget, QPoint point)
{
    const QPoint global = widget->mapToGlobal(point);
    fakeMotion(global.x(), global.y());
    settle();
}

// The screen pixel that tells a cell's look: near its bottom-right corner, where no glyph is.
QRgb screenPixel(QPoint global)
{
    const QPixmap grab = QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1);
    return grab.toImage().pixel(0, 0) & 0xFFFFFFU;
}

// The part of the board widget that the window shows.
QRect visibleRect()
{
    const BoardWidget *board = form->board();
    const QWidget *viewport = form->boardArea()->viewport();
    const QPoint origin = board->mapFrom(viewport, QPoint(0, 0));
    return QRect(origin, viewport->size()) & board->rect();
}

// What a row changed on the window, for its floor to do the same: the window's size before
// and after, and the area repainted, in the window's coordinates.
struct WindowChange {
    QSize before;
    QSize after;
    QRect area;
    bool cellOnly = false; // a key's one cell, read back once
};
std::map<std::string, WindowChange> changes;
std::string currentRow;

void recordChange(const WindowChange &change)
{
    changes[currentRow] = change;
}

// A key's change: the square it repainted.
void recordKeyChange(Int16 k)
{
    const BoardWidget *board = form->board();
    const QRect cell = board->squareRect(k);
    recordChange({form->size(), form->size(), QRect(board->mapTo(form, cell.topLeft()), cell.size()), true});
}

// Calls check once each paint of the widget and the flush after it have finished.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget *widget, std::function<void()> check) : widget_(widget), check_(std::move(check))
    {
        widget_->installEventFilter(this);
    }
    ~PaintWatch() override { widget_->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == widget_ && event->type() == QEvent::Paint && !pending_) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] {
                pending_ = false;
                check_();
            });
        }
        return false;
    }

private:
    QWidget *widget_;
    std::function<void()> check_;
    bool pending_ = false;
};

// Whether the centre and the corners of the view show cells of the given background.
bool viewShows(Colour background)
{
    const BoardWidget *board = form->board();
    const QRect visible = visibleRect();
    if (visible.isEmpty())
        return false;
    const QRgb expected = toQColor(background).rgb() & 0xFFFFFFU;
    // Cells cut by the edge of the view show only part of themselves, so the corners are
    // read one and a half cells inwards, where whole cells are shown.
    const QSize cellSize = board->squareRect(0).size();
    const int dx = std::min(cellSize.width() * 3 / 2, visible.width() / 2);
    const int dy = std::min(cellSize.height() * 3 / 2, visible.height() / 2);
    const QRect inner = visible.adjusted(dx, dy, -dx, -dy);
    const std::array<QPoint, 5> points = {inner.topLeft(), inner.topRight(), visible.center(),
                                          inner.bottomLeft(), inner.bottomRight()};
    return std::ranges::all_of(points, [&](const QPoint point) {
        const auto k = board->squareAt(point);
        if (!k)
            return false;
        const QRect cell = board->squareRect(*k);
        const QPoint quiet = cell.bottomRight() - QPoint(2, 2);
        return screenPixel(board->mapToGlobal(quiet)) == expected;
    });
}

// Watches for the press and for the board's paints, and decides when the board is shown.
class PressToPainted : public QObject {
public:
    // Clicks the left button where the mouse is, or with a key sends that key, and takes
    // the board as shown once shown() says so.
    PressToPainted(QWidget *target, std::function<bool()> shown, QString key = QString())
        : target_(target), shown_(std::move(shown)), key_(std::move(key))
    {
        qApp->installEventFilter(this);
    }
    PressToPainted(QWidget *target, Colour expected)
        : PressToPainted(target, [expected] { return viewShows(expected); })
    {
    }
    ~PressToPainted() override { qApp->removeEventFilter(this); }

    // Presses and waits for the picture; the seconds from the press arriving to the picture
    // verified, or nothing after five seconds.
    std::optional<double> run()
    {
        if (key_.isEmpty())
            fakeClick(1);
        else
            fakeKey(key_.toLatin1().constData());
        QElapsedTimer guard;
        guard.start();
        while (!done_ && guard.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (!done_)
            return std::nullopt;
        return std::chrono::duration<double>(painted_ - *pressed_).count();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A press soon after the last one at the same place arrives as a double click,
        // which the widgets take as a press.
        const bool press = key_.isEmpty() ? event->type() == QEvent::MouseButtonPress
                                                || event->type() == QEvent::MouseButtonDblClick
                                          : event->type() == QEvent::KeyPress;
        if (press && watched == target_ && !pressed_)
            pressed_ = Clock::now();
        if (event->type() == QEvent::Paint && watched == form->board() && pressed_ && !checking_) {
            // Checked once this paint and the flush that follows it have finished.
            checking_ = true;
            QTimer::singleShot(0, this, [this] {
                checking_ = false;
                if (shown_()) {
                    painted_ = Clock::now();
                    done_ = true;
                }
            });
        }
        return false;
    }

private:
    QWidget *target_;
    std::function<bool()> shown_;
    QString key_;
    std::optional<Clock::time_point> pressed_;
    Clock::time_point painted_;
    bool checking_ = false;
    bool done_ = false;
};

void measure(benchmark::State &state, QWidget *target, Colour expected,
             const std::function<void()> &prepare)
{
    for (auto _ : state) {
        prepare();
        const QSize before = form->size();
        PressToPainted watch(target, expected);
        const auto seconds = watch.run();
        if (!seconds) {
            state.SkipWithError("the board was not painted within five seconds");
            break;
        }
        state.SetIterationTime(*seconds);
        const QRect view = visibleRect();
        recordChange({before, form->size(),
                      QRect(form->board()->mapTo(form, view.topLeft()), view.size()), false});
    }
}

void playGame(benchmark::State &state, BoardSize size)
{
    QPushButton *play = form->setupButton(Game::PlayGame);
    setUpBoard(size, mineCount(size, Mines::Density), Game::TestCode);
    moveMouseTo(play, play->rect().center());
    measure(state, play, CoveredColour, [&] {
        setUpBoard(size, mineCount(size, Mines::Density), Game::TestCode);
    });
}

void playGameFirst(benchmark::State &state, BoardSize size)
{
    QPushButton *play = form->setupButton(Game::PlayGame);
    moveMouseTo(play, play->rect().center());
    measure(state, play, CoveredColour, [&] {
        setUpBoard(Boards[0], mineCount(Boards[0], Mines::Density), Game::PlayGame);
        setEntries(size, mineCount(size, Mines::Density));
        settle();
    });
}

void flood(benchmark::State &state, BoardSize size)
{
    setUpBoard(size, 0, Game::PlayGame);
    BoardWidget *board = form->board();
    const auto square = board->squareAt(visibleRect().center());
    if (!square) {
        state.SkipWithError("no cell in the middle of the view");
        return;
    }
    moveMouseTo(board, board->squareRect(*square).center());
    measure(state, board, RevealedColour, [&] { setUpBoard(size, 0, Game::PlayGame); });
}

// Gives the keyboard to the board, as Tab would, with square k current.
void focusBoardOn(Int16 k)
{
    BoardWidget *board = form->board();
    form->activateWindow();
    board->setFocus(Qt::TabFocusReason);
    board->setCurrentCell(k);
    settle();
}

// A covered count near the middle of the view: Space on it uncovers that cell alone.
std::optional<Int16> countInView()
{
    const BoardWidget *board = form->board();
    const auto middle = board->squareAt(visibleRect().center());
    const Board &model = form->game().board();
    const Int16 columns = model.columnCount;
    for (int k = middle.value_or(0); middle && k < int{model.rowCount} * columns; ++k) {
        const auto [column, row] = cellPosition(columns, narrowCast16(k));
        if (!model.hasMine(column, row) && model.countGrid.at(column, row) > 0
            && visibleRect().contains(board->squareRect(narrowCast16(k))))
            return narrowCast16(k);
    }
    return std::nullopt;
}

// Whether the screen shows the focus frame's outer ring at the corner of square k.
bool frameShown(Int16 k)
{
    const BoardWidget *board = form->board();
    return screenPixel(board->mapToGlobal(board->squareRect(k).topLeft())) == 0U;
}

void keyMove(benchmark::State &state, BoardSize size)
{
    setUpBoard(size, mineCount(size, Mines::Density), Game::PlayGame);
    const auto middle = form->board()->squareAt(visibleRect().center());
    if (!middle) {
        state.SkipWithError("no cell in the middle of the view");
        return;
    }
    focusBoardOn(*middle);
    bool right = true;
    for (auto _ : state) {
        const Int16 next = narrowCast16(*middle + (right ? 1 : 0));
        PressToPainted watch(form->board(), [next] { return frameShown(next); },
                             right ? QStringLiteral("Right") : QStringLiteral("Left"));
        const auto seconds = watch.run();
        if (!seconds) {
            state.SkipWithError("the frame did not move within five seconds");
            break;
        }
        state.SetIterationTime(*seconds);
        recordKeyChange(next);
        right = !right;
        settle();
    }
}

void keyUncover(benchmark::State &state, BoardSize size)
{
    const QRgb revealed = toQColor(RevealedColour).rgb() & 0xFFFFFFU;
    for (auto _ : state) {
        setUpBoard(size, mineCount(size, Mines::Density), Game::PlayGame);
        const auto k = countInView();
        if (!k) {
            state.SkipWithError("no covered count in the view");
            break;
        }
        focusBoardOn(*k);
        const BoardWidget *board = form->board();
        const QPoint quiet = board->mapToGlobal(board->squareRect(*k).bottomRight() - QPoint(3, 3));
        PressToPainted watch(form->board(), [=] { return screenPixel(quiet) == revealed; },
                             QStringLiteral("space"));
        const auto seconds = watch.run();
        if (!seconds) {
            state.SkipWithError("the cell was not uncovered within five seconds");
            break;
        }
        state.SetIterationTime(*seconds);
        recordKeyChange(*k);
    }
}

FloorWindow *floorWindow = nullptr;

// The read-backs of a change: the centre and the corners of its area, two pixels in, or
// the centre alone for a cell.
bool floorShows(const WindowChange &change, const QColor &colour)
{
    const QRect area = change.area.adjusted(2, 2, -2, -2);
    std::vector<QPoint> points = {area.center()};
    if (!change.cellOnly)
        points.insert(points.end(), {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight()});
    return std::all_of(points.begin(), points.end(), [&](QPoint point) {
        return screenPixel(floorWindow->mapToGlobal(point)) == (colour.rgb() & 0xFFFFFFU);
    });
}

void floorRow(benchmark::State &state, const std::string &row)
{
    const auto found = changes.find(row);
    if (found == changes.end()) {
        state.SkipWithError("its row did not run");
        return;
    }
    const WindowChange change = found->second;
    const QColor before = toQColor(RevealedColour);
    const QColor after = toQColor(CoveredColour);
    for (auto _ : state) {
        floorWindow->setColour(before);
        floorWindow->setGeometry(QRect(form->geometry().topLeft(), change.before));
        floorWindow->show();
        floorWindow->raise();
        settle();
        bool done = false;
        Clock::time_point end;
        PaintWatch watch(floorWindow, [&] {
            if (!done && floorShows(change, after)) {
                end = Clock::now();
                done = true;
            }
        });
        const Clock::time_point start = Clock::now();
        floorWindow->setColour(after);
        if (change.after != change.before)
            floorWindow->resize(change.after);
        floorWindow->update(change.area);
        QElapsedTimer guard;
        guard.start();
        while (!done && guard.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (!done) {
            state.SkipWithError("the empty window was not painted within five seconds");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    floorWindow->hide();
    settle();
}

// Rounds of each row and its floor, interleaved so that a busy spell of the machine falls
// on both: row, floor, then floor, row, and so on (TESSFIELD_BENCH_ROUNDS, 9 by default).
// Each run is reported on its own under the row's name; scripts/bench.sh takes the medians.
int rounds()
{
    bool ok = false;
    const int asked = qEnvironmentVariableIntValue("TESSFIELD_BENCH_ROUNDS", &ok);
    return ok && asked > 0 ? asked : 9;
}

void registerAll()
{
    const auto add = [](const std::string &name, BoardSize size, void (*body)(benchmark::State &, BoardSize)) {
        const std::string floorName = "floor" + name.substr(name.find('/'));
        const auto row = [=] {
            benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State &state) {
                currentRow = name;
                body(state, size);
            })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1);
        };
        const auto floor = [=] {
            benchmark::RegisterBenchmark(floorName.c_str(),
                                         [=](benchmark::State &state) { floorRow(state, name); })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1);
        };
        for (int round = 0; round < rounds(); ++round) {
            if (round % 2 == 0) {
                row();
                floor();
            } else {
                floor();
                row();
            }
        }
    };
    for (const BoardSize size : {Boards[2], Boards[3], Boards[4]}) {
        add("latency/play-game/" + size.label() + "/density", size, playGame);
        add("latency/play-game-first/" + size.label() + "/density", size, playGameFirst);
        add("latency/flood/" + size.label() + "/none", size, flood);
    }
    add("latency/key-move/" + Boards[2].label() + "/density", Boards[2], keyMove);
    add("latency/key-uncover/" + Boards[2].label() + "/density", Boards[2], keyUncover);
}

} // namespace
} // namespace tessfield::bench

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    tessfield::Form1 window;
    tessfield::bench::FloorWindow floor;
    tessfield::bench::floorWindow = &floor;
    const auto showWindow = [&window] {
        if (!tessfield::bench::openFakeInput())
            return false;
        tessfield::bench::form = &window;
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        tessfield::bench::settle();
        return true;
    };
    return tessfield::bench::runBenchmarks(argc, argv, showWindow, tessfield::bench::registerAll);
}
