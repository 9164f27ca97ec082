// One growing "Play Game" on a largest board (181 x 181 unless another is named), for
// callgrind's instruction count: the window holds the default 15 x 10 board, the entries ask
// for the largest board, and the count covers the click and every event that follows until
// the window is painted and flushed.
// Instructions do not depend on how busy the machine is, so two builds compare exactly:
//
//   export QT_QPA_PLATFORM=offscreen:configfile=bench/screen-1920x1080.json
//   valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file=play.out
//       build/bench/bench/play_game_count        (one line)
//   callgrind_annotate play.out | head      # "PROGRAM TOTALS"
//
//   play_game_count 32767x1     the one-column board (rows x columns, one of bench/boards.h's)
//   play_game_count floor       counts the platform floor instead: the empty window grown
//                               from and to the same sizes and painted
//   play_game_count SHOT.png    also saves what the window shows afterwards, and beside it
//                               (SHOT-test-code.png) the board uncovered by "Test Code",
//                               for comparing two builds pixel for pixel
//
// scripts/bench.sh runs it so and puts the totals in docs/performance.md.

#include "boards.h"
#include "floor_window.h"

#include "game/game.h"
#include "ui/form1.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#endif

namespace {

void drainEvents()
{
    // Paints come as posted update requests, which may post more: a few rounds drain them.
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

} // namespace

int main(int argc, char **argv)
{
    using namespace tessfield;
    QApplication app(argc, argv);
    // A board's label picks it; whatever else is given is the floor or a picture's path.
    bench::BoardSize size = bench::Boards[2];
    QString argument;
    for (int i = 1; i < argc; ++i) {
        const QString given = QString::fromLocal8Bit(argv[i]);
        const auto *const board = std::ranges::find_if(bench::Boards, [&](const bench::BoardSize &b) {
            return given == QString::fromStdString(b.label());
        });
        if (board != bench::Boards.end())
            size = *board;
        else
            argument = given;
    }
    Form1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    form.setupButton(Game::PlayGame)->click();
    drainEvents();
    form.entry(1)->setText(QString::number(size.rows));
    form.entry(2)->setText(QString::number(size.columns));
    form.entry(3)->setText(QString::number(bench::mineCount(size, bench::Mines::Density)));
    drainEvents();

    if (argument == QLatin1String("floor")) {
        // The program's window grows first, uncounted, for the sizes the floor grows between.
        const QSize before = form.size();
        form.setupButton(Game::PlayGame)->click();
        drainEvents();
        const QSize after = form.size();
        form.hide();
        bench::FloorWindow floor;
        floor.setColour(Qt::darkGray);
        floor.resize(before);
        floor.show();
        if (!QTest::qWaitForWindowExposed(&floor))
            return 1;
        drainEvents();
        CALLGRIND_START_INSTRUMENTATION;
        floor.resize(after);
        floor.update();
        drainEvents();
        CALLGRIND_STOP_INSTRUMENTATION;
        return floor.size() == after ? 0 : 1;
    }

    CALLGRIND_START_INSTRUMENTATION;
    form.setupButton(Game::PlayGame)->click();
    drainEvents();
    CALLGRIND_STOP_INSTRUMENTATION;

    if (!argument.isEmpty()) {
        // The covered board, and the same board uncovered by "Test Code" beside it.
        const auto shot = [&form](const QString &path) {
            return form.screen()->grabWindow(form.winId()).toImage().save(path);
        };
        if (!shot(argument))
            return 1;
        form.setupButton(Game::TestCode)->click();
        drainEvents();
        QString uncovered = argument;
        if (!shot(uncovered.insert(uncovered.lastIndexOf(QLatin1Char('.')), QLatin1String("-test-code"))))
            return 1;
    }
    return form.game().board().columnCount == size.columns ? 0 : 1;
}
