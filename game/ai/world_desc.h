#pragma once

// What a computer player knows of the match: the living slobs with their
// teams, a summary per team, the level's collision edges, the scene (for its
// gravity and weapons) and the game configuration.

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "game/match/match_config.h"

#include <vector>

namespace vo {

class Entity;
class GroupNode;
class LevelScene;

// One slob of the description.
struct EntityDesc {
    int kind = 1;              // always 1
    Entity* entity = nullptr;  // not owned
    int team = 0;              // index of its team in the match
};

// One team of the description.
struct TeamSummary {
    int living = 0;  // slobs with an entity and health above 0
    int health = 0;  // their summed health, truncated
};

class WorldDesc {
public:
    std::vector<TeamSummary> team_summaries;  // team order
    std::vector<EntityDesc> entities;         // the living slobs, team by team, member order
    SmartPtr<GroupNode> collision_node;       // the level's collision edges
    LevelScene* scene = nullptr;              // not owned
    SmartPtr<MatchConfig> config;

    // The gravity of the scene's physics; zero without a scene.
    vector3 gravity() const;
    // Against gravity: minus its normalised (x, y) part, z 0.
    vector3 up_direction() const;
    // up_direction turned a right angle clockwise: (-gy, gx, 0) of the
    // normalised gravity. A zero gravity is used as it is in both.
    vector3 right_direction() const;
    // Whether the segment from a to b (at z 0) crosses an edge of the level.
    // Without a collision node nothing is crossed.
    bool segment_hits_level(const vector2& a, const vector2& b) const;

    // Both lists emptied, both references released, no scene.
    void clear();
    // The index of the first entry naming entity; -1 when none does.
    int index_of(const Entity* entity) const;
};

}  // namespace vo
