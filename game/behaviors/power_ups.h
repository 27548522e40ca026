#pragma once

// The power-ups a team is dealt at the start of every round: a fixed table of
// four kinds, read by index.

#include <string>
#include <vector>

namespace vo {

class ButtonWidget;

enum PowerUpKind : int {
    POWER_UP_DAMAGE_PLUS = 0,
    POWER_UP_RADIUS_PLUS = 1,
    POWER_UP_LAVA_EXPLOSIONS = 2,
    POWER_UP_HEALING_EXPLOSIONS = 3,
};

struct PowerUp {
    int kind = 0;      // the record's index in the table
    int count = 1;     // added up into the sequence numbers of a team's power-ups
    bool flag = true;
    std::string title;
    std::string description;
    std::string image;  // texture of its picture
};

// A power-up held by a team.
struct TeamPowerUp {
    PowerUp power_up;
    int sequence = 0;
    bool used = false;
    // The toggle on which the player switches it on; not owned. No screen
    // gives a power-up one yet, so it stays null.
    ButtonWidget* button = nullptr;
};

// Fills the table (once; later calls change nothing).
void BuildPowerUpTable();
// The record of that kind; the table is built on the first call. An index
// beyond the table throws std::out_of_range.
const PowerUp& GetPowerUp(unsigned index);
// The number of kinds in the table.
unsigned NumPowerUps();

// The most power-ups a team is dealt.
constexpr int kMaxPowerUpsPerTeam = 100;

// count power-ups of kinds drawn with equal weight (one draw each, in list
// order), with running sequence numbers from 2 on; unused and without a
// button. A count of 0 or less deals none; more than kMaxPowerUpsPerTeam
// deals that many, with a warning.
std::vector<TeamPowerUp> DealPowerUps(int count);

}  // namespace vo
