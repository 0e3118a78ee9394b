// The arcade's ladder: each other playable class once, the order and the first stage from the
// seed, stages in turn, the computer's level rising to Hard for the last two.
#include <gtest/gtest.h>

#include <algorithm>

#include "modes/arcade.h"

TEST(ArcadeLadder, EachOtherClassOnceWithRisingLevels) {
    const std::vector<int64_t> playable = {0, 1, 2, 3, 4, 6};
    struct Case { int64_t count; std::vector<int64_t> levels; };
    for (const Case& c : {Case{5, {1, 1, 2, 3, 3}}, Case{3, {1, 3, 3}}, Case{2, {3, 3}},
                          Case{8, {1, 1, 1, 2, 2, 2, 3, 3}}})
        for (int64_t i = 0; i < c.count; ++i)
            EXPECT_EQ(ladderLevel(i, c.count), c.levels[size_t(i)]) << c.count << " fights, " << i;
    std::vector<std::vector<int64_t>> orders;
    for (uint64_t seed : {1u, 2u, 3u, 4u}) {
        std::vector<LadderFight> ladder = arcadeLadder(3, playable, seed, 3);
        ASSERT_EQ(ladder.size(), 5u);
        std::vector<int64_t> met;
        for (size_t k = 0; k < ladder.size(); ++k) {
            met.push_back(ladder[k].classPosition);
            EXPECT_EQ(ladder[k].level, ladderLevel(int64_t(k), 5));
            EXPECT_EQ(ladder[k].stage, (ladder[0].stage + int64_t(k)) % 3);
        }
        orders.push_back(met);
        std::sort(met.begin(), met.end());
        EXPECT_EQ(met, (std::vector<int64_t>{0, 1, 2, 4, 6})); // never the player's own class
        EXPECT_EQ(arcadeLadder(3, playable, seed, 3)[2].classPosition, ladder[2].classPosition);
    }
    EXPECT_NE(std::count(orders.begin(), orders.end(), orders[0]), 4); // the seed orders them
    EXPECT_TRUE(arcadeLadder(0, {0}, 1, 3).empty());
}
