// Items dropped at the start of a turn and picked up by slobs: the points at
// which the match draws, places and announces them, and hears the scene's
// events. No items are dropped yet.

#include "game/match/match.h"

#include "engine/physics/soft_body.h"
#include "game/match/match_entities.h"

namespace vo {

// The bounding sphere of every body of the scene, radius doubled: new item
// bodies are kept clear of them.
void Match::collect_body_spheres() {
    occupied_spheres_.clear();
    const unsigned count = scene_.num_entities();
    for (unsigned i = 0; i < count; ++i) {
        SoftBody* body = BodyOf(scene_.entity(i));
        if (!body) continue;
        Sphere sphere = body->calculate_bounding_sphere();
        sphere.radius() *= 2.0f;
        occupied_spheres_.push_back(sphere);
    }
}

// One draw from the item table: "items." and an item's key, or empty for
// none.
std::string Match::draw_random_item() { return std::string(); }

// The item body of path, placed on the level.
Entity* Match::add_item(std::string const&) { return nullptr; }

// The scene's events, before its entities see them; none is taken.
bool Match::on_game_event(const GameEvent*) { return false; }

}  // namespace vo
