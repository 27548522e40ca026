// The level scene's cluster launch: a volley of small grenades released by an
// exploding cluster bomb or thrown at once by a clusters-only weapon.

#include "engine/core/random.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/soft_body.h"
#include "game/behaviors/soft_body_entities.h"
#include "game/level/data_rules.h"
#include "game/level/level_scene.h"

#include <boost/property_tree/exceptions.hpp>

#include <cmath>
#include <iostream>
#include <vector>

namespace vo {

namespace {

// A value uniform in [lo, hi): one draw.
float Uniform(float lo, float hi) {
    int r = Rand();
    if (r == kRandMax) r = kRandMax - 1;
    const float range = hi - lo;
    return lo + static_cast<float>(static_cast<double>(range) * r / 32767.0);
}

float Length(const vector3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

}  // namespace

void LevelScene::launch_clusters(const ClusterDesc& cluster) {
    const ptree& desc = cluster.description;
    const std::string type = desc.get<std::string>("type", "");
    // An empty path would name the whole tree.
    if (type.empty()) throw boost::property_tree::ptree_bad_path("No such node", ptree::path_type(type));
    const float max_velocity = weapons.get_child(type).get<float>("maxVelocity", 1.0f);

    int num = desc.get<int>("num", 0);
    const float relative = desc.get<float>("directionalRelative", 0.0f);
    const float orthogonal = desc.get<float>("orthogonalVel", 0.0f);
    const float min_h = desc.get<float>("minHorizontalVel", 0.0f);
    const float max_h = desc.get<float>("maxHorizontalVel", 0.0f);
    const float min_v = desc.get<float>("minVerticalVel", 0.0f);
    const float max_v = desc.get<float>("maxVerticalVel", 0.0f);
    const double timer = static_cast<double>(desc.get<float>("timer", 0.0f));
    const bool ignore_explosions = desc.get<bool>("ignoreExplosions", true);

    if (num <= 0) return;
    if (num > kMaxClusters) {
        std::cout << "WARNING: a cluster of '" << type << "' with num " << num << " releases only " << kMaxClusters
                  << std::endl;
        num = kMaxClusters;
    }

    PhysicsHandler* physics = physics_handler();
    std::vector<SoftBodyEntity*> launched;
    for (int i = 0; i < num; ++i) {
        vector3 d(0.0f, 0.0f, 0.0f);
        if (relative != 0.0f || orthogonal != 0.0f) {
            const vector3 w(cluster.velocity.x, cluster.velocity.y, 0.0f);
            if (w.x * w.x + w.y * w.y > 0.0f) {
                const float length = Length(w);
                const vector3 across(-w.y / length, w.x / length, 0.0f);
                const float f = Uniform(-orthogonal, orthogonal);
                d = vector3(relative * w.x + f * across.x, relative * w.y + f * across.y, 0.0f);
            }
        }
        if (min_h != 0.0f || max_h != 0.0f || min_v != 0.0f || max_v != 0.0f) {
            const float h = Uniform(min_h, max_h);
            const float v = Uniform(min_v, max_v);
            vector3 g = physics ? physics->get_gravity() : vector3(0.0f, 0.0f, 0.0f);
            g.z = 0.0f;
            const float length = Length(g);
            if (length > 0.0f) g = vector3(g.x / length, g.y / length, 0.0f);
            const vector3 up(-g.x, -g.y, 0.0f);
            const vector3 side(-g.y, g.x, 0.0f);
            d = vector3(d.x + v * up.x + h * side.x, d.y + v * up.y + h * side.y, d.z);
        }

        // A cluster weapon that cannot be thrown at any speed leaves its
        // clusters at rest rather than at an undefined one.
        const float power = max_velocity > 0.0f ? Length(d) / max_velocity : 0.0f;
        std::cout << "LAUNCHING CLUSTER WITH DIR " << d << " AND POWER " << power << std::endl;
        auto* grenade = dynamic_cast<SoftBodyEntity*>(throw_grenade(type, cluster.position, d, power, timer, nullptr));
        // A clusters-only cluster weapon makes no grenade (the data rules
        // refuse one): there is nothing to set up.
        if (!grenade) continue;
        grenade->soft_body_behavior()->ignore_explosions = ignore_explosions;

        SoftBody* body = grenade->soft_body().get();
        if (physics && physics->ignore_list(body)) {
            for (SoftBodyEntity* sibling : launched) {
                physics->ignore_collisions(sibling->soft_body().get(), body, COLLISION_IGNORE_ALWAYS);
            }
            if (cluster.ignored_body && physics->ignore_list(cluster.ignored_body)) {
                std::cout << "SETTING IGNORE COLLISION BETWEEN " << cluster.ignored_body << " and " << body
                          << std::endl;
                physics->ignore_collisions(cluster.ignored_body, body, COLLISION_IGNORE_UNTIL_APART);
            }
        }
        launched.push_back(grenade);
        grenade->update(0.0f);
    }
}

}  // namespace vo
