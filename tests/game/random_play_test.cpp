// Random play: random boards, long random sequences of presses, setups in between, and
// after every press the rules checked against a model of the game kept by this test.
//
// The model is independent of the game's code: it knows only where the mines are (taken
// from the board once per setup, and their counts recounted here) and applies each press as
// the rules say. After every press the squares must match it, and these properties hold:
//  - no mine is shown uncovered unless a loss has uncovered the whole board;
//  - a flood never draws a mine;
//  - within a game an uncovered square never becomes covered again;
//  - tag texts are only "0" and "1";
//  - after a reveal of the whole board ("Test Code" or a loss) no square is covered;
//  - a left press on a covered zero cell uncovers exactly its connected zero region (through
//    covered cells) and that region's border.
//
// The run is seeded and reproducible. The test command runs a short version;
// scripts/random-play.sh runs the long one. Both are set from the environment, read by this
// test only:
//   TESSFIELD_RANDOM_PLAY_PRESSES  presses in all (default 3000)
//   TESSFIELD_RANDOM_PLAY_SEED     the seed (default fixed; "random" picks one from the clock)

#include "board_builder.h"
#include "fake_controls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace tessfield {
namespace {

using fixtures::FakeControls;

constexpr std::uint64_t DefaultSeed = 20261208;
constexpr long DefaultPresses = 3000;
constexpr int MaxCells = 32767;

// SplitMix64 with our own range helpers: standard-library distributions differ between
// implementations, and a seed must replay the same run everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31U);
    }
    // Uniform in lo..hi, both included.
    long between(long lo, long hi)
    {
        const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
        return lo + static_cast<long>(next() % span);
    }
    bool percent(int p) { return between(1, 100) <= p; }
    double unit() { return static_cast<double>(next() >> 11U) * 0x1p-53; }
    // Spread evenly over the orders of magnitude of 1..hi.
    long logUniform(long hi)
    {
        const double value = std::exp(unit() * std::log(static_cast<double>(hi) + 1.0));
        return std::clamp(static_cast<long>(value), 1L, hi);
    }

private:
    std::uint64_t state_;
};

std::optional<std::uint64_t> seedFromEnvironment()
{
    const char *text = std::getenv("TESSFIELD_RANDOM_PLAY_SEED");
    if (text == nullptr || *text == '\0')
        return DefaultSeed;
    if (std::string(text) == "random")
        return static_cast<std::uint64_t>(
            std::chrono::steady_clock::now().time_since_epoch().count());
    char *end = nullptr;
    const unsigned long long seed = std::strtoull(text, &end, 10);
    if (*end != '\0')
        return std::nullopt;
    return seed;
}

long pressesFromEnvironment()
{
    const char *text = std::getenv("TESSFIELD_RANDOM_PLAY_PRESSES");
    if (text == nullptr || *text == '\0')
        return DefaultPresses;
    return std::max(1L, std::strtol(text, nullptr, 10));
}

// The entries of a setup, and what it should give.
struct Setup {
    std::string rows;
    std::string columns;
    std::string mines;
    std::string gameId;
    Int16 button = Game::PlayGame;
    bool refused = false;
};

std::string describe(const Setup &s)
{
    return "rows \"" + s.rows + "\", columns \"" + s.columns + "\", mines \"" + s.mines
        + "\", Game ID \"" + s.gameId + "\", " + (s.button == Game::TestCode ? "Test Code" : "Play Game");
}

// A whole number written the ways a player might write it; each reads back as the number.
std::string writeNumber(Random &random, long value)
{
    std::string plain = std::to_string(value);
    switch (random.between(0, 9)) {
    case 0: return " " + plain;
    case 1: return plain + "abc";
    case 2: return plain + ".4";
    case 3: return plain + ".0";
    case 4: return value >= 0 ? "+" + plain : plain;
    case 5: return plain + "e0";
    default: return plain;
    }
}

std::pair<long, long> randomShape(Random &random)
{
    static const std::pair<long, long> fullBoards[] = {
        {1, 32767}, {32767, 1}, {7, 4681}, {4681, 7}, {31, 1057}, {151, 217}, {217, 151}};
    const long kind = random.between(1, 100);
    if (kind <= 4)
        return fullBoards[random.between(0, std::size(fullBoards) - 1)];
    if (kind <= 12) {
        const long length = random.logUniform(MaxCells);
        return random.percent(50) ? std::pair{1L, length} : std::pair{length, 1L};
    }
    const long cells = random.logUniform(MaxCells);
    const long rows = random.logUniform(cells);
    return {rows, std::max(1L, cells / rows)};
}

Setup randomAcceptedSetup(Random &random)
{
    const auto [rows, columns] = randomShape(random);
    const long cells = rows * columns;
    long mines = 0;
    const long kind = random.between(1, 100);
    if (kind <= 8)
        mines = -random.logUniform(32768) + 1; // 0 or below: no mine
    else if (kind <= 14)
        mines = std::min(32767L, cells - 1 + random.between(0, 40)); // clamped to cells - 1
    else
        mines = static_cast<long>(static_cast<double>(cells) * random.unit() * 0.3);

    std::string id;
    switch (random.between(0, 4)) {
    case 0: id = std::to_string(random.between(-1000000, 1000000)); break;
    case 1: {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", (random.unit() - 0.5) * 1e12);
        id = text;
        break;
    }
    case 2: id = random.percent(50) ? "" : "no number here"; break;
    default: id = std::to_string(random.between(0, 99999)); break;
    }
    Setup s{writeNumber(random, rows), writeNumber(random, columns), writeNumber(random, mines),
            id, random.percent(15) ? Game::TestCode : Game::PlayGame, false};
    return s;
}

Setup randomRefusedSetup(Random &random)
{
    Setup s = randomAcceptedSetup(random);
    s.refused = true;
    switch (random.between(0, 6)) {
    case 0: s.rows = random.percent(50) ? "0" : ""; break;
    case 1: s.columns = "-" + std::to_string(random.between(1, 40000)); break;
    case 2: s.rows = "abc"; break;
    case 3: s.mines = random.percent(50) ? "32768" : "-1e999"; break;
    case 4: s.gameId = random.percent(50) ? "1e999" : "-1e400"; break;
    case 5: s.rows = "200"; s.columns = std::to_string(random.between(164, 32767)); break;
    default: s.columns = "32768"; break;
    }
    return s;
}

// The game as the rules describe it, kept apart from the game's own code.
class Model {
public:
    void start(const Board &board, bool revealed)
    {
        columns_ = board.columnCount;
        rows_ = board.rowCount;
        const auto cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
        mine_.assign(cells, 0);
        for (std::size_t k = 0; k < cells; ++k)
            mine_[k] = board.mineGrid[k] != 0;
        count_.assign(cells, 0);
        for (int k = 0; k < this->cells(); ++k)
            for (const int n : block(k))
                count_[static_cast<std::size_t>(k)] += mine_[static_cast<std::size_t>(n)] ? 1 : 0;
        covered_.assign(cells, !revealed);
        flag_.assign(cells, 0);
        numbersShown_.clear();
        if (revealed)
            noteNumbersShown();
        wholeBoardShown_ = revealed;
    }

    int cells() const { return columns_ * rows_; }
    int coveredCount() const
    {
        return static_cast<int>(std::count(covered_.begin(), covered_.end(), 1));
    }
    bool covered(int k) const { return covered_[static_cast<std::size_t>(k)]; }
    bool flagged(int k) const { return flag_[static_cast<std::size_t>(k)]; }
    bool mine(int k) const { return mine_[static_cast<std::size_t>(k)]; }
    int count(int k) const { return count_[static_cast<std::size_t>(k)]; }
    bool wholeBoardShown() const { return wholeBoardShown_; }
    // The uncovered cells with a count above 0, in the order they were uncovered.
    const std::vector<int> &numbersShown() const { return numbersShown_; }

    // The cells of k's 3x3 block that lie on the board, k included.
    std::vector<int> block(int k) const
    {
        std::vector<int> cells;
        const int column = k % columns_;
        const int row = k / columns_;
        for (int c = column - 1; c <= column + 1; ++c)
            for (int r = row - 1; r <= row + 1; ++r)
                if (c >= 0 && c < columns_ && r >= 0 && r < rows_)
                    cells.push_back(r * columns_ + c);
        return cells;
    }

    // A left press on covered zero cell k uncovers the zero cells connected to it through
    // covered cells, and every covered cell next to one of them.
    std::vector<std::uint8_t> zeroRegionAndBorder(int k) const
    {
        std::vector<std::uint8_t> region(covered_.size(), 0);
        std::vector<std::uint8_t> result(covered_.size(), 0);
        std::vector<int> pending{k};
        region[static_cast<std::size_t>(k)] = true;
        while (!pending.empty()) {
            const int cell = pending.back();
            pending.pop_back();
            result[static_cast<std::size_t>(cell)] = true;
            for (const int n : block(cell)) {
                const auto i = static_cast<std::size_t>(n);
                if (!covered_[i] || region[i])
                    continue;
                result[i] = true;
                if (count_[i] == 0) {
                    region[i] = true;
                    pending.push_back(n);
                }
            }
        }
        return result;
    }

    // Applies a press as the rules say; true when it loses (uncovers the whole board).
    bool press(int k, int button)
    {
        if (k < 0 || k >= cells())
            return false;
        const auto i = static_cast<std::size_t>(k);
        if (button == LeftButton && covered_[i] && !flag_[i]) {
            if (mine_[i])
                return revealAll();
            uncoverFrom(k);
        } else if (button == RightButton && covered_[i]) {
            flag_[i] = !flag_[i];
        } else if (button == MiddleButton && !covered_[i]) {
            int flags = 0;
            bool wrong = false;
            for (const int n : block(k)) {
                if (flag_[static_cast<std::size_t>(n)]) {
                    ++flags;
                    wrong = wrong || !mine(n);
                }
            }
            if (flags != count_[i])
                return false;
            if (wrong)
                return revealAll();
            for (const int n : block(k))
                if (!mine(n))
                    uncoverFrom(n);
        }
        return false;
    }

private:
    void uncover(int k)
    {
        auto &covered = covered_[static_cast<std::size_t>(k)];
        if (covered != 0 && count(k) > 0 && !mine(k))
            numbersShown_.push_back(k);
        covered = 0;
    }

    void uncoverFrom(int k)
    {
        uncover(k);
        if (count(k) != 0)
            return;
        const auto reached = zeroRegionAndBorder(k);
        for (std::size_t n = 0; n < reached.size(); ++n)
            if (reached[n] != 0)
                uncover(static_cast<int>(n));
    }

    bool revealAll()
    {
        noteNumbersShown();
        std::fill(covered_.begin(), covered_.end(), 0);
        wholeBoardShown_ = true;
        return true;
    }

    void noteNumbersShown()
    {
        numbersShown_.clear();
        for (int k = 0; k < cells(); ++k)
            if (count(k) > 0 && !mine(k))
                numbersShown_.push_back(k);
    }

    int columns_ = 0;
    int rows_ = 0;
    std::vector<std::uint8_t> mine_;
    std::vector<int> count_;
    std::vector<std::uint8_t> covered_;
    std::vector<std::uint8_t> flag_;
    std::vector<int> numbersShown_;
    bool wholeBoardShown_ = false;
};

struct Press {
    int index;
    int button;
};

// A press of the kind a player makes, mostly on squares where something can happen.
Press randomPress(Random &random, const Model &model)
{
    const int cells = model.cells();
    const auto pick = [&](auto wanted) {
        for (int attempt = 0; attempt < 12; ++attempt) {
            const auto k = static_cast<int>(random.between(0, cells - 1));
            if (wanted(k))
                return k;
        }
        return static_cast<int>(random.between(0, cells - 1));
    };
    const long kind = random.between(1, 100);
    if (kind <= 25) // any button value on any square, a few off the board
        return {static_cast<int>(random.between(-2, cells + 1)), static_cast<int>(random.between(0, 7))};
    if (kind <= 55) {
        const bool safeOnly = random.percent(96); // keeps most games going for a while
        return {pick([&](int k) { return model.covered(k) && !(safeOnly && model.mine(k)); }),
                LeftButton};
    }
    if (kind <= 65) {
        const bool onMine = random.percent(75);
        return {pick([&](int k) { return model.covered(k) && model.mine(k) == onMine; }),
                RightButton};
    }
    // Work towards a chord: flag the mines around an uncovered number (now and then a wrong
    // cell), then press it with the middle button.
    const auto &numbers = model.numbersShown();
    if (numbers.empty())
        return {pick([&](int k) { return !model.covered(k); }), MiddleButton};
    // Mostly the numbers uncovered last, where play goes on.
    const auto last = static_cast<long>(numbers.size()) - 1;
    const int target = numbers[static_cast<std::size_t>(
        random.percent(70) ? std::max(0L, last - random.between(0, 20)) : random.between(0, last))];
    const bool wrongFlag = random.percent(4);
    for (const int n : model.block(target))
        if (model.covered(n) && !model.flagged(n) && model.mine(n) != wrongFlag && random.percent(80))
            return {n, RightButton};
    return {target, MiddleButton};
}

class RandomPlay {
public:
    RandomPlay(std::uint64_t seed, long presses) : random_(seed), seed_(seed), budget_(presses)
    {
        game_.initialiseForm();
    }

    // Plays until the budget of presses is spent or a check fails; the failure, if any.
    std::optional<std::string> run()
    {
        while (pressesDone_ < budget_) {
            if (auto failure = setup(randomAcceptedSetup(random_)))
                return failure;
            long length = random_.percent(80) ? random_.between(1, 120) : random_.between(120, 1500);
            for (; length > 0 && pressesDone_ < budget_; --length) {
                if (model_.wholeBoardShown() && random_.percent(5))
                    break; // a lost game is mostly left for a new one
                if (random_.percent(1)) { // a setup between presses, refused or not
                    const bool refused = random_.percent(60);
                    const Setup s = refused ? randomRefusedSetup(random_) : randomAcceptedSetup(random_);
                    if (auto failure = setup(s))
                        return failure;
                }
                if (auto failure = press(randomPress(random_, model_)))
                    return failure;
            }
        }
        return std::nullopt;
    }

    long boards() const { return boards_; }
    long pressesDone() const { return pressesDone_; }

    // What the presses did, to show that the run reached every rule.
    struct Tally {
        long zeroFloods = 0;    // left presses on a covered zero cell
        long chords = 0;        // middle presses that uncovered something
        long losses = 0;        // presses that uncovered the whole board
        long refusedSetups = 0; // setups refused in the middle of a game
    };
    const Tally &tally() const { return tally_; }

private:
    std::string where() const
    {
        std::ostringstream out;
        out << "seed " << seed_ << ", board " << boards_ << " (" << describe(current_) << "), press "
            << pressesDone_ << ": ";
        return out.str();
    }

    std::optional<std::string> setup(const Setup &s)
    {
        controls_.setEntries(s.rows, s.columns, s.mines, s.gameId);
        game_.setupGame(s.button);
        if (!controls_.isReady())
            return where() + "the controls are not ready after the setup " + describe(s);
        if (s.refused) {
            ++tally_.refusedSetups;
            if (controls_.state.status.empty())
                return where() + "the setup " + describe(s) + " was not refused";
            return compareWithModel(); // the game in progress goes on untouched
        }
        if (!controls_.state.status.empty())
            return where() + "the setup " + describe(s) + " failed: " + controls_.state.status;
        current_ = s;
        ++boards_;
        model_.start(game_.board(), s.button == Game::TestCode);
        const Board &board = game_.board();
        for (int k = 0; k < model_.cells(); ++k)
            if (board.countGrid[static_cast<std::size_t>(k)] != model_.count(k))
                return where() + "count of cell " + std::to_string(k) + " disagrees with a recount";
        shownCovered_.assign(static_cast<std::size_t>(model_.cells()), s.button != Game::TestCode);
        return compareWithModel();
    }

    std::optional<std::string> press(Press p)
    {
        ++pressesDone_;
        last_ = p;
        const SquareArray &squares = game_.squares();
        const bool onCoveredZero = p.button == LeftButton && p.index >= 0 && p.index < model_.cells()
            && model_.covered(p.index) && !model_.flagged(p.index) && model_.count(p.index) == 0
            && !model_.mine(p.index);
        std::vector<std::uint8_t> expectedFlood;
        if (onCoveredZero)
            expectedFlood = model_.zeroRegionAndBorder(p.index);

        const int coveredBefore = model_.coveredCount();
        const bool onBoard = p.index >= 0 && p.index < model_.cells();
        const bool flaggedBefore = onBoard && model_.flagged(p.index);
        const PressOutcome outcome = game_.onSquareMouseDown(static_cast<Int16>(p.index), static_cast<Int16>(p.button));
        const bool lost = model_.press(p.index, p.button);
        // What the game says the press did, against the model's own account of it.
        using Kind = PressOutcome::Kind;
        const int uncovered = coveredBefore - model_.coveredCount();
        PressOutcome expected;
        if (lost)
            expected = {Kind::Lost};
        else if (uncovered > 0)
            expected = {Kind::Uncovered, uncovered};
        else if (onBoard && model_.flagged(p.index) != flaggedBefore)
            expected = {flaggedBefore ? Kind::Unflagged : Kind::Flagged};
        if (outcome != expected)
            return failure("the game says the press did " + toldOf(outcome) + ", the rules "
                           + toldOf(expected));
        tally_.zeroFloods += onCoveredZero ? 1 : 0;
        tally_.losses += lost ? 1 : 0;
        tally_.chords += p.button == MiddleButton && !lost && model_.coveredCount() < coveredBefore ? 1 : 0;

        bool mineShown = false;
        bool anyCovered = false;
        for (int k = 0; k < model_.cells(); ++k) {
            const auto i = static_cast<Int16>(k);
            const auto u = static_cast<std::size_t>(k);
            const Colour background = squares.background(i);
            const bool covered = background == CoveredColour;
            const std::string_view tag = squares.tagText(i);
            if (tag != NoFlagTag && tag != FlagTag)
                return failure("square " + std::to_string(k) + " has the tag text \"" + std::string(tag) + "\"");
            if (covered && shownCovered_[u] == 0)
                return failure("square " + std::to_string(k) + " was covered again");
            if (!lost && !covered && shownCovered_[u] != 0 && background == MineColour)
                return failure("a flood drew the mine of square " + std::to_string(k));
            if (onCoveredZero && (expectedFlood[u] != 0) != (shownCovered_[u] != 0 && !covered))
                return failure("square " + std::to_string(k) + (expectedFlood[u] != 0 ? " is" : " is not")
                               + " in the zero region and border of the press, but the press "
                               + (covered ? "left it covered" : "uncovered it"));
            if (auto mismatch = compareSquare(k, background, tag))
                return mismatch;
            shownCovered_[u] = covered ? 1 : 0;
            anyCovered = anyCovered || covered;
            mineShown = mineShown || background == MineColour;
        }
        if (mineShown && anyCovered)
            return failure("a mine is shown while other squares are still covered");
        if (model_.wholeBoardShown() && anyCovered)
            return failure("squares are still covered after the whole board was uncovered");
        return std::nullopt;
    }

    static std::string toldOf(const PressOutcome &outcome)
    {
        static constexpr const char *kinds[] = {"nothing", "flagged", "unflagged", "uncovered", "lost"};
        return std::string(kinds[static_cast<int>(outcome.kind)]) + " (" + std::to_string(outcome.uncovered)
            + " cells uncovered)";
    }

    std::string failure(const std::string &what) const
    {
        return where() + "button " + std::to_string(last_.button) + " on square "
            + std::to_string(last_.index) + ": " + what;
    }

    // Every square shows what the model says: covered or not, its flag, its drawing.
    std::optional<std::string> compareWithModel() const
    {
        const SquareArray &squares = game_.squares();
        if (squares.indexLimit() != model_.cells())
            return failure("there are " + std::to_string(squares.indexLimit()) + " squares for "
                           + std::to_string(model_.cells()) + " cells");
        for (int k = 0; k < model_.cells(); ++k) {
            const auto i = static_cast<Int16>(k);
            if (auto mismatch = compareSquare(k, squares.background(i), squares.tagText(i)))
                return mismatch;
        }
        return std::nullopt;
    }

    std::optional<std::string> compareSquare(int k, Colour background, std::string_view tag) const
    {
        const auto name = [k] { return "square " + std::to_string(k); };
        if ((background == CoveredColour) != model_.covered(k))
            return failure(name() + (model_.covered(k) ? " should be covered" : " should be uncovered"));
        if ((tag == FlagTag) != model_.flagged(k))
            return failure(name() + (model_.flagged(k) ? " should be flagged" : " should not be flagged"));
        std::string_view expected;
        if (!model_.covered(k)) {
            if (background != (model_.mine(k) ? MineColour : RevealedColour))
                return failure(name() + " has the wrong uncovered colour");
            static constexpr std::string_view Digits = "012345678";
            if (model_.mine(k))
                expected = MineGlyph;
            else if (model_.count(k) > 0)
                expected = Digits.substr(static_cast<std::size_t>(model_.count(k)), 1);
        } else if (model_.flagged(k)) {
            expected = FlagMark;
        }
        const SquareArray &squares = game_.squares();
        const auto i = static_cast<Int16>(k);
        const std::string_view shown = squares.hasInscription(i) ? squares.inscription(i).text : std::string_view();
        if (shown != expected)
            return failure(name() + " shows \"" + std::string(shown) + "\" instead of \""
                           + std::string(expected) + "\"");
        return std::nullopt;
    }

    Random random_;
    std::uint64_t seed_;
    long budget_;
    FakeControls controls_;
    Game game_{controls_};
    Model model_;
    Setup current_;
    std::vector<std::uint8_t> shownCovered_;
    Press last_{0, 0};
    long boards_ = 0;
    long pressesDone_ = 0;
    Tally tally_;
};

// Random boards of every size up to 32767 cells, thousands of presses with every button
// value, setups in between: the rules hold after every press (see the file's opening).
TEST(RandomPlay, EveryPressKeepsTheRules)
{
    const auto seed = seedFromEnvironment();
    ASSERT_TRUE(seed.has_value()) << "TESSFIELD_RANDOM_PLAY_SEED must be a number or \"random\"";
    const long presses = pressesFromEnvironment();
    RandomPlay play(*seed, presses);
    const auto failure = play.run();
    std::cout << "random play: seed " << *seed << ", " << play.boards() << " boards, "
              << play.pressesDone() << " presses (" << play.tally().zeroFloods
              << " floods from a zero cell, " << play.tally().chords << " chords, "
              << play.tally().losses << " losses, " << play.tally().refusedSetups
              << " refused setups)\n";
    ASSERT_FALSE(failure.has_value())
        << *failure << "\nreproduce with TESSFIELD_RANDOM_PLAY_SEED=" << *seed
        << " TESSFIELD_RANDOM_PLAY_PRESSES=" << presses;
}

} // namespace
} // namespace tessfield
