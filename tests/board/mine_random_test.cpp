// The generator behind mine placement: a game ID must name one layout, everywhere.

#include "board/mine_random.h"
#include "board/number_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace tessfield {
namespace {

std::vector<float> drawsAfter(Int16 resetValue, double seed, int count = 32)
{
    MineRandom random;
    random.reset(resetValue);
    random.seed(seed);
    std::vector<float> draws;
    draws.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        draws.push_back(random.next());
    return draws;
}

// reset and seed together must wipe out everything drawn before, or a second setup with
// the same ID would get a different layout from the first.
TEST(MineRandom, ResetAndSeedDetermineTheWholeSequence)
{
    MineRandom used;
    used.reset(-1);
    used.seed(99.0);
    for (int i = 0; i < 1000; ++i)
        (void)used.next();
    used.reset(-1);
    used.seed(11540.0);
    std::vector<float> again;
    again.reserve(32);
    for (int i = 0; i < 32; ++i)
        again.push_back(used.next());

    EXPECT_EQ(again, drawsAfter(-1, 11540.0));
    EXPECT_NE(drawsAfter(-1, 11540.0), drawsAfter(0, 11540.0));
    EXPECT_NE(drawsAfter(-1, 11540.0), drawsAfter(1, 11540.0));
}

// Coordinates are floor(count * draw + 1), so a draw of 1 would name a cell off the board;
// the mean guards against a generator stuck in part of the interval. Over n = 100 000
// uniform draws the mean has standard deviation sqrt(1/12 / n) ~ 0.00091; 0.006 is more
// than six of them.
TEST(MineRandom, DrawsLieInTheHalfOpenUnitInterval)
{
    MineRandom random;
    random.reset(-1);
    random.seed(0.0);
    constexpr int Draws = 100'000;
    double sum = 0.0;
    float low = 1.0F;
    float high = 0.0F;
    for (int i = 0; i < Draws; ++i) {
        const float r = random.next();
        ASSERT_GE(r, 0.0F);
        ASSERT_LT(r, 1.0F);
        low = std::min(low, r);
        high = std::max(high, r);
        sum += r;
    }
    EXPECT_NEAR(sum / Draws, 0.5, 0.006);
    EXPECT_LT(low, 0.001F);
    EXPECT_GT(high, 0.999F);
}

// The layout depends on the ID's numeric value only, however the player wrote it.
TEST(MineRandom, SeedsOfTheSameNumericValueAgree)
{
    const auto draws = [](std::string_view id) { return drawsAfter(-1, readNumber(id)); };
    EXPECT_EQ(draws("11540"), draws("11540.0"));
    EXPECT_EQ(draws("11540"), draws("11540abc"));
    EXPECT_EQ(draws("11540"), draws(" +1.154e4"));
    EXPECT_EQ(draws("-0"), draws("0"));
    EXPECT_EQ(draws("0"), draws("no number"));
    EXPECT_EQ(drawsAfter(-1, -0.0), drawsAfter(-1, 0.0));
}

// Neighbouring IDs, fractions and signs must give different games.
TEST(MineRandom, DifferentIdsGiveDifferentSequences)
{
    const std::vector<double> ids = {11540.0, 11541.0, 11540.5, -11540.0, 0.0, 1.0, 1e300};
    for (std::size_t i = 0; i < ids.size(); ++i)
        for (std::size_t j = i + 1; j < ids.size(); ++j)
            EXPECT_NE(drawsAfter(-1, ids[i]), drawsAfter(-1, ids[j]))
                << ids[i] << " and " << ids[j];
}

} // namespace
} // namespace tessfield
