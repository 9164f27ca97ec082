// One growing "Play Game" on 181 x 181, for callgrind's instruction count: the window holds
// the default 15 x 10 board, the entries ask for the largest square board, and the count
// covers the click and every event that follows until the window is painted and flushed.
// Instructions do not depend on how busy the machine is, so two builds compare exactly:
//
//   export QT_QPA_PLATFORM=offscreen:configfile=bench/screen-1920x1080.json
//   valgrind --tool=callgrind --instr-atstart=no --callgrind-out-file=play.out
//       build/bench/bench/play_game_count        (one line)
//   callgrind_annotate play.out | head      # "PROGRAM TOTALS"
//
// scripts/bench.sh runs it so and puts the total in docs/performance.md.

#include "boards.h"

#include "game/game.h"
#include "ui/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

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
    Form1 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    form.setupButton(Game::PlayGame)->click();
    drainEvents();
    const bench::BoardSize size = bench::Boards[2];
    form.entry(1)->setText(QString::number(size.rows));
    form.entry(2)->setText(QString::number(size.columns));
    form.entry(3)->setText(QString::number(bench::mineCount(size, bench::Mines::Density)));
    drainEvents();

    CALLGRIND_START_INSTRUMENTATION;
    form.setupButton(Game::PlayGame)->click();
    drainEvents();
    CALLGRIND_STOP_INSTRUMENTATION;

    return form.game().board().columnCount == size.columns ? 0 : 1;
}
