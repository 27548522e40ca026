#pragma once

// Scripted matches for the match tests: a seeded start on a previewed level
// and stepping until a phase comes.

#include "engine/core/random.h"
#include "engine/scene/entity.h"
#include "engine/scene/health.h"
#include "engine/scene/transform_behavior.h"
#include "engine/widgets/button_widget.h"
#include "game/match/match.h"
#include "game/match/match_internals.h"
#include "game/match/match_seed.h"
#include "support/game/game_environment.h"

#include <string>
#include <vector>

namespace vo_test {

// The level seed of the scripted matches and the seed of their set-up.
constexpr int kLevelSeed = 3;
constexpr int kSetUpSeed = 12345;

// Previews the level, starts the match with settings (the set-up seeded, the
// first team team 0) and pushes it.
inline void StartSeeded(GameEnvironment& env, vo::MatchSettings const& settings, int level_seed = kLevelSeed) {
    vo::SetMatchSeedOverride(kSetUpSeed);
    env.match().show_level_preview(level_seed, -1.0f);
    env.match().start_match(settings, false);
    env.push_match();
}

// Steps until the match is in phase (true), at most max_steps steps.
inline bool RunToPhase(GameEnvironment& env, vo::MatchPhase phase, int max_steps) {
    return env.step_until([&] { return env.match().phase() == phase; }, max_steps);
}

inline float HealthOfSlob(vo::Match& match, int index) {
    vo::Entity* entity = vo::Inspect(match).slobs()[static_cast<std::size_t>(index)].entity;
    auto* health = entity ? entity->get_behavior<vo::behaviors::Health>() : nullptr;
    return health ? health->value : 0.0f;
}

inline void SetHealthOfSlob(vo::Match& match, int index, float value) {
    vo::Entity* entity = vo::Inspect(match).slobs()[static_cast<std::size_t>(index)].entity;
    entity->get_behavior<vo::behaviors::Health>()->value = value;
}

// Entities of the scene whose type name is name.
inline int CountEntities(vo::Match& match, std::string const& name) {
    vo::MatchInternals inside(match);
    int count = 0;
    for (unsigned i = 0; i < inside.scene().num_entities(); ++i)
        if (name == inside.scene().entity(i)->object_type_name()) ++count;
    return count;
}

}  // namespace vo_test
