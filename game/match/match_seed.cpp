#include "game/match/match_seed.h"

#include "engine/sfml/engine.h"

namespace vo {

namespace {

bool s_hasOverride = false;
int s_override = 0;

}  // namespace

int MatchSetUpSeed() {
    if (s_hasOverride) return s_override;
    return static_cast<int>(static_cast<double>(Engine::instance().time()) * 1000.0);
}

void SetMatchSeedOverride(int seed) {
    s_hasOverride = true;
    s_override = seed;
}

void ClearMatchSeedOverride() { s_hasOverride = false; }

bool HasMatchSeedOverride() { return s_hasOverride; }

}  // namespace vo
