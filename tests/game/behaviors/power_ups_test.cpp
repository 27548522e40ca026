// The power-up table and the dealing of power-ups to a team.

#include "game/behaviors/power_ups.h"

#include "engine/core/random.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using namespace vo;

TEST(PowerUps, TheTableHoldsTheFourKindsInOrder) {
    struct Row {
        const char* title;
        const char* image;
    };
    const Row rows[] = {
        {"Damage Plus", "powerups/damage-plus.png"},
        {"Radius Plus", "powerups/radius-plus.png"},
        {"Lava Explosions", "powerups/lava-explosion.png"},
        {"Healing Explosions", "powerups/healing-explosion.png"},
    };
    ASSERT_EQ(NumPowerUps(), 4u);
    for (unsigned i = 0; i < 4; ++i) {
        SCOPED_TRACE(rows[i].title);
        const PowerUp& p = GetPowerUp(i);
        EXPECT_EQ(p.kind, static_cast<int>(i));
        EXPECT_EQ(p.count, 1);
        EXPECT_TRUE(p.flag);
        EXPECT_EQ(p.title, rows[i].title);
        EXPECT_EQ(p.image, rows[i].image);
        EXPECT_FALSE(p.description.empty());
    }
    EXPECT_EQ(GetPowerUp(2).description, "All explosions emit lava!");
    BuildPowerUpTable();  // again: nothing changes
    EXPECT_EQ(&GetPowerUp(2), &GetPowerUp(2));
    EXPECT_EQ(NumPowerUps(), 4u);
    EXPECT_THROW(GetPowerUp(4), std::out_of_range);
}

TEST(PowerUps, ATeamIsDealtNumberedPowerUpsOfEveryKindAlike) {
    EXPECT_TRUE(DealPowerUps(0).empty());
    EXPECT_TRUE(DealPowerUps(-3).empty());

    // One draw per power-up, nothing else.
    SeedRand(5);
    for (int i = 0; i < 6; ++i) Rand();
    const int seventh = Rand();
    SeedRand(5);
    const std::vector<TeamPowerUp> six = DealPowerUps(6);
    EXPECT_EQ(Rand(), seventh);
    ASSERT_EQ(six.size(), 6u);
    for (std::size_t i = 0; i < six.size(); ++i) {
        EXPECT_EQ(six[i].sequence, static_cast<int>(i) + 2);
        EXPECT_FALSE(six[i].used);
        EXPECT_EQ(six[i].button, nullptr);
        EXPECT_EQ(six[i].power_up.title, GetPowerUp(static_cast<unsigned>(six[i].power_up.kind)).title);
    }

    int kinds[4] = {0, 0, 0, 0};
    for (int deal = 0; deal < 40; ++deal) {
        for (const TeamPowerUp& p : DealPowerUps(100)) {
            ASSERT_GE(p.power_up.kind, 0);
            ASSERT_LT(p.power_up.kind, 4);
            ++kinds[p.power_up.kind];
        }
    }
    for (int n : kinds) EXPECT_NEAR(n, 1000, 120);

    // A count that would only exhaust memory is cut, with a warning.
    testing::internal::CaptureStdout();
    EXPECT_EQ(DealPowerUps(2000000000).size(), static_cast<std::size_t>(kMaxPowerUpsPerTeam));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("WARNING: numPowerupsPerTeam 2000000000"),
              std::string::npos);
}

}  // namespace
