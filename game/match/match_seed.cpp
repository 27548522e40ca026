#include "game/match/match_seed.h"

#include "engine/sfml/engine.h"

#include <cmath>

namespace vo {

namespace {

bool s_hasOverride = false;
int s_override = 0;

}  // namespace

int ClockSeed() {
    const double ms = std::fmod(static_cast<double>(Engine::instance().time()) * 1000.0, 2147483648.0);
    return static_cast<int>(ms);
}

int MatchSetUpSeed() {
    if (s_hasOverride) return s_override;
    return ClockSeed();
}

void SetMatchSeedOverride(int seed) {
    s_hasOverride = true;
    s_override = seed;
}

void ClearMatchSeedOverride() { s_hasOverride = false; }

bool HasMatchSeedOverride() { return s_hasOverride; }

}  // namespace vo
