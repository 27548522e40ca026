#include "game/behaviors/power_ups.h"

#include "engine/core/random.h"

#include <iostream>

namespace vo {

namespace {

std::vector<PowerUp>& Table() {
    static std::vector<PowerUp> table;
    return table;
}

PowerUp Record(int kind, const char* title, const char* description, const char* image) {
    PowerUp p;
    p.kind = kind;
    p.count = 1;
    p.flag = true;
    p.title = title;
    p.description = description;
    p.image = image;
    return p;
}

}  // namespace

void BuildPowerUpTable() {
    std::vector<PowerUp>& table = Table();
    if (!table.empty()) return;
    table.push_back(Record(POWER_UP_DAMAGE_PLUS, "Damage Plus", "All damage in this round is increased!",
                           "powerups/damage-plus.png"));
    table.push_back(Record(POWER_UP_RADIUS_PLUS, "Radius Plus",
                           "The radius of all explosions in this round is increased!", "powerups/radius-plus.png"));
    table.push_back(Record(POWER_UP_LAVA_EXPLOSIONS, "Lava Explosions", "All explosions emit lava!",
                           "powerups/lava-explosion.png"));
    table.push_back(Record(POWER_UP_HEALING_EXPLOSIONS, "Healing Explosions",
                           "Instead of dealing damage, all explosions cause a health increase!",
                           "powerups/healing-explosion.png"));
}

const PowerUp& GetPowerUp(unsigned index) {
    BuildPowerUpTable();
    return Table().at(index);
}

unsigned NumPowerUps() {
    BuildPowerUpTable();
    return static_cast<unsigned>(Table().size());
}

std::vector<TeamPowerUp> DealPowerUps(int count) {
    std::vector<TeamPowerUp> dealt;
    if (count <= 0) return dealt;
    if (count > kMaxPowerUpsPerTeam) {
        std::cout << "WARNING: numPowerupsPerTeam " << count << " is more than " << kMaxPowerUpsPerTeam
                  << ", dealing " << kMaxPowerUpsPerTeam << std::endl;
        count = kMaxPowerUpsPerTeam;
    }
    dealt.resize(static_cast<std::size_t>(count));
    int running = 1;
    for (TeamPowerUp& p : dealt) {
        int r = Rand();
        if (r == kRandMax) r = kRandMax - 1;
        const unsigned kind = static_cast<unsigned>(4.0 * (r / 32767.0));
        p.power_up = GetPowerUp(kind);
        running += p.power_up.count;
        p.sequence = running;
        p.used = false;
        p.button = nullptr;
    }
    return dealt;
}

}  // namespace vo
