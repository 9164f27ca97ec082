// The board model and the player's actions on every benchmark board: each setup stage
// alone, the whole setup as "Play Game" runs it, uncovering, flagging and chording, and the
// bytes a board holds per cell.

#include "bench_main.h"
#include "boards.h"
#include "timing.h"

#include "board/mines.h"
#include "game/actions.h"
#include "game/game.h"
#include "squares/cells.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace tessfield::bench {
namespace {

// The window's controls reduced to the entries: the setup sequence runs exactly as under a
// window, without the cost of widgets.
class EntryControls final : public WindowControls {
public:
    EntryControls(BoardSize size, Int16 mines)
        : entries_{std::to_string(size.rows), std::to_string(size.columns),
                   std::to_string(mines), std::to_string(static_cast<long long>(GameId))}
    {
    }
    std::string entryText(int entry) const override
    {
        return entries_.at(static_cast<std::size_t>(entry - 1));
    }
    void setEntryEnabled(int /*entry*/, bool /*enabled*/) override {}
    void setSetupEnabled(int /*index*/, bool /*enabled*/) override {}
    void setSetupCaption(int /*index*/, std::string_view /*caption*/) override {}
    void focusSetup(int /*index*/) override {}
    void setStatusText(std::string_view /*text*/) override {}
    void setOuterSize(float /*widthTwips*/, float /*heightTwips*/) override {}

private:
    std::vector<std::string> entries_;
};

// A board set up stage by stage the way "Play Game" does it, all squares covered.
struct Played {
    BoardParameters parameters;
    Board board;
    SquareArray squares{designedTemplateSquare()};
    MineRandom random;
    FloodStack stack;

    Played(BoardSize size, Mines mines)
        : parameters{size.rows, size.columns, mineCount(size, mines), GameId}
    {
        board.countColours = StandardCountColours;
        setUp();
    }

    void setUp()
    {
        resetBoard(board, squares, parameters);
        sizeGrids(board);
        placeMines(board, random, parameters.gameId);
        countNeighbours(board);
        buildGrid(board, squares);
        squares.clearChanges();
    }

    Int16 cells() const { return static_cast<Int16>(board.rowCount * board.columnCount); }
    bool mineAt(Int16 k) const { return board.mineGrid[static_cast<std::size_t>(k)] != 0; }

    // The first cell without a mine, uncovered on its own with a flag on every mine around
    // it: a middle press on it then uncovers all its other neighbours.
    Int16 prepareChord()
    {
        Int16 k = 0;
        while (mineAt(k))
            ++k;
        const auto [column, row] = cellPosition(board.columnCount, k);
        drawCell(board, squares, column, row);
        for (int dc = -1; dc <= 1; ++dc) {
            for (int dr = -1; dr <= 1; ++dr) {
                const int c = column + dc;
                const int r = row + dr;
                if (c < 1 || c > board.columnCount || r < 1 || r > board.rowCount)
                    continue;
                const Int16 n = cellIndex(board.columnCount, static_cast<Int16>(c), static_cast<Int16>(r));
                if (mineAt(n))
                    squareMouseDown(board, squares, n, RightButton, stack);
            }
        }
        squares.clearChanges();
        return k;
    }
};

std::string nameOf(const char *operation, BoardSize size, Mines mines)
{
    return std::string("model/") + operation + "/" + size.label() + "/" + mineLabel(mines);
}

template <typename Body>
void add(const char *operation, BoardSize size, Mines mines, Body body)
{
    benchmark::RegisterBenchmark(nameOf(operation, size, mines).c_str(),
                                 [=](benchmark::State &state) { body(state, size, mines); })
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}

void reset(benchmark::State &state, BoardSize size, Mines mines)
{
    Played game(size, mines);
    // Measuring leaves the squares destroyed; building them again is the next setup stage.
    timeEach(state, [&] {
        if (!game.squares.exists(1) && game.cells() > 1)
            buildGrid(game.board, game.squares);
        game.squares.clearChanges();
    }, [&] {
        resetBoard(game.board, game.squares, game.parameters);
    });
}

void gridSizing(benchmark::State &state, BoardSize size, Mines mines)
{
    Played game(size, mines);
    timeEach(state, nothing, [&] { sizeGrids(game.board); });
}

void minePlacement(benchmark::State &state, BoardSize size, Mines mines)
{
    Played game(size, mines);
    timeEach(state, nothing, [&] { placeMines(game.board, game.random, game.parameters.gameId); });
}

void neighbourCounts(benchmark::State &state, BoardSize size, Mines mines)
{
    Played game(size, mines);
    timeEach(state, nothing, [&] { countNeighbours(game.board); });
}

void squaresBuilding(benchmark::State &state, BoardSize size, Mines mines)
{
    Played game(size, mines);
    timeEach(state, [&] {
        game.squares.clearChanges();
        resetBoard(game.board, game.squares, game.parameters);
    }, [&] {
        buildGrid(game.board, game.squares);
    });
}

void wholeSetup(benchmark::State &state, BoardSize size, Mines mines)
{
    EntryControls controls(size, mineCount(size, mines));
    Game game(controls);
    game.initialiseForm();
    game.setupGame(Game::PlayGame);
    timeEach(state, [&] {
        (void)game.takeChanges();
    }, [&] {
        game.setupGame(Game::PlayGame);
    });
}

void revealAllCells(benchmark::State &state, BoardSize size, Mines mines)
{
    Played game(size, mines);
    const SquareArray covered = game.squares;
    timeEach(state, [&] {
        game.squares = covered;
    }, [&] {
        revealAll(game.board, game.squares);
    });
}

void floodWholeBoard(benchmark::State &state, BoardSize size, Mines mines)
{
    Played game(size, mines);
    const SquareArray covered = game.squares;
    timeEach(state, [&] {
        game.squares = covered;
    }, [&] {
        squareMouseDown(game.board, game.squares, 0, LeftButton, game.stack);
    });
    state.counters["cells"] = static_cast<double>(game.squares.changes().cells.size());
}

void chordPress(benchmark::State &state, BoardSize size, Mines mines)
{
    Played game(size, mines);
    const Int16 k = game.prepareChord();
    const SquareArray start = game.squares;
    timeEach(state, [&] {
        game.squares = start;
    }, [&] {
        squareMouseDown(game.board, game.squares, k, MiddleButton, game.stack);
    });
    state.counters["cells"] = static_cast<double>(game.squares.changes().cells.size());
}

void flagToggle(benchmark::State &state, BoardSize size, Mines mines)
{
    Played game(size, mines);
    const auto k = static_cast<Int16>(game.cells() / 2);
    timeEach(state, [&] {
        game.squares.clearChanges();
    }, [&] {
        squareMouseDown(game.board, game.squares, k, RightButton, game.stack);
    });
}

// What a board holds once a player has flooded all of it, which fills every pending change
// and the flood's scratch stack: bytes per cell of the board record's grids, of the squares,
// and of the flood stack. One iteration; the figures are counters.
void memoryPerCell(benchmark::State &state, BoardSize size, Mines mines)
{
    EntryControls controls(size, mineCount(size, mines));
    Game game(controls);
    game.initialiseForm();
    for (auto _ : state) {
        game.setupGame(Game::PlayGame);
        game.onSquareMouseDown(0, LeftButton);
        state.SetIterationTime(0.0);
    }
    const Board &board = game.board();
    const double cells = size.cells();
    const auto boardBytes = static_cast<double>(
        board.mineGrid.cells().capacity() * sizeof(std::uint8_t)
        + board.countGrid.cells().capacity() * sizeof(Int16));
    const auto squareBytes = static_cast<double>(game.squares().perSquareBytes());
    state.counters["board_bytes_per_cell"] = boardBytes / cells;
    state.counters["squares_bytes_per_cell"] = squareBytes / cells;
    state.counters["model_bytes_per_cell"] = (boardBytes + squareBytes) / cells;
    state.counters["square_size"] = static_cast<double>(SquareArray::squareSize());
    state.counters["changed_cells"] = static_cast<double>(game.squares().changes().cells.size());
}

void registerAll()
{
    for (const BoardSize size : Boards) {
        add("reset", size, Mines::Density, reset);
        add("grid-sizing", size, Mines::Density, gridSizing);
        for (const Mines mines : {Mines::Density, Mines::None, Mines::Full})
            add("mine-placement", size, mines, minePlacement);
        add("neighbour-counts", size, Mines::Density, neighbourCounts);
        add("build-squares", size, Mines::Density, squaresBuilding);
        for (const Mines mines : {Mines::Density, Mines::None, Mines::Full})
            add("setup", size, mines, wholeSetup);
        add("reveal-all", size, Mines::Density, revealAllCells);
        add("flood", size, Mines::None, floodWholeBoard);
        for (const Mines mines : {Mines::Density, Mines::None, Mines::Full})
            add("chord", size, mines, chordPress);
        add("flag-toggle", size, Mines::Density, flagToggle);
        benchmark::RegisterBenchmark(nameOf("memory", size, Mines::None).c_str(),
                                     [=](benchmark::State &state) { memoryPerCell(state, size, Mines::None); })
            ->UseManualTime()
            ->Iterations(1)
            ->Repetitions(1);
    }
}

} // namespace
} // namespace tessfield::bench

int main(int argc, char **argv)
{
    return tessfield::bench::runBenchmarks(argc, argv, [] { return true; },
                                           tessfield::bench::registerAll);
}
