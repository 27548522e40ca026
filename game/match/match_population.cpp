// Filling the scene for a new match: parallax layers, the level, the teams'
// slobs with their weapons, voices and power-ups, the mines, and a free
// place on the level for each of them.

#include "game/match/match.h"

#include "engine/core/random.h"
#include "engine/core/resources.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_circle.h"
#include "engine/physics/soft_body_desc.h"
#include "engine/scene/collision_nodes.h"
#include "engine/scene/health.h"
#include "engine/scene/transform_behavior.h"
#include "engine/scene/traverser_project_point.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/sprite.h"
#include "game/app/characters.h"
#include "game/behaviors/aim.h"
#include "game/behaviors/rest.h"
#include "game/behaviors/soft_body.h"
#include "game/behaviors/soft_body_entities.h"
#include "game/camera/action_camera_controller.h"
#include "game/level/level_geometry_handle.h"
#include "game/match/match_config.h"
#include "game/match/match_entities.h"
#include "game/match/match_seed.h"

#include <boost/property_tree/ptree.hpp>

#include <cmath>
#include <iostream>

namespace vo {

namespace {

constexpr float kPi = 3.1415927f;
constexpr int kPlacementTries = 100;

float Radians(float degrees) { return degrees * kPi / 180.0f; }
float Degrees(float radians) { return radians * 180.0f / kPi; }

void Say(const char* text) { std::cout << text << std::flush; }

// The name every weapon list keeps for the weapon chosen first; it is no
// weapon of its own.
const char* const kDefaultWeaponKey = "defaultWeapon";

}  // namespace

void Match::populate_scene() {
    labels_dirty_ = true;
    Say("populating scene...\n");
    scene_.clear(true);

    build_parallax_layers();
    generate_area();

    Say(" - setting collision tree to physics handler...\n");
    // The group node, not the tree below it: every carve swaps the tree under
    // the node, so the physics always meets the current rock.
    scene_.physics_handler()->set_collision_tree(SmartPtr<Node>(level_->collision_node()));

    Say(" - adding slobs...\n");
    teams_.clear();
    slobs_.clear();
    teams_.resize(settings_.num_teams());

    const int seed = MatchSetUpSeed();
    std::cout << "Randomizing slob placement with seed: " << seed << std::endl;
    SeedRand(static_cast<unsigned int>(seed));

    std::map<std::string, int> counts;
    for (auto const& entry : scene_.weapons.get_child("availableWeapons")) {
        if (entry.first == kDefaultWeaponKey) continue;
        counts[entry.first] = entry.second.get<int>("num", -1);
    }

    for (std::size_t t = 0; t < settings_.num_teams(); ++t) {
        TeamState& team = teams_[t];
        team.desc = &settings_.team(t);
        team.cpu_controlled = settings_.cpu_controlled()[t] ? 1 : 0;
        team.color = settings_.colours()[t];
        CharacterDesc const& character = team.desc->character;
        team.screams = LoadScreams(character);
        team.weapon_counts = counts;

        for (std::size_t m = 0; m < team.desc->members.size(); ++m) {
            SlobEntity* slob = add_slob("slob.", character.textureName, character.visualScale,
                                        vector2(character.texX1, character.texY1),
                                        vector2(character.texX2, character.texY2));
            slob->soft_body_behavior()->set_color(Color(1.0f, 1.0f, 1.0f, 1.0f));
            if (behaviors::Health* health = HealthOf(slob)) health->value = 100.0f;
            team.members.push_back(static_cast<int>(slobs_.size()));
            slobs_.emplace_back(slob, static_cast<int>(t), static_cast<int>(m));
            slobs_.back().game_config = config_;
        }

        team.power_ups = DealPowerUps(config_->numPowerupsPerTeam);
        team.world_rotations_left = config_->numWorldRotates;
    }

    for (int i = 0; i < config_->numMines; ++i) add_mine();

    Say(" - populating scene - done\n");
}

void Match::build_parallax_layers() {
    Engine& engine = Engine::instance();
    const float h = static_cast<float>(engine.screen_height());
    const float w = static_cast<float>(engine.screen_width());
    const float fov_y = config_->camera.fieldOfViewY;

    // The field of view along the window's diagonal, when it is wider.
    float fov = fov_y;
    if (h > 0.0f && w > 0.0f) {
        const float d = (h * 0.5f) / std::tan(Radians(fov_y) / 2.0f);
        const float diagonal = 2.0f * Degrees(std::atan(std::sqrt(w * w + h * h) * 0.5f / d));
        if (!(fov_y > diagonal)) fov = diagonal;
    }
    const float t = std::tan(Radians(fov) / 2.0f);

    // The camera's distance from the level plane at the zoom a turn starts
    // with.
    const float eye = scene_.camera().default_distance() / camera_->zoom_for_min_box();

    back_layers_.clear();
    front_layers_.clear();
    for (ParallaxLayer const& desc : config_->parallaxLayers) {
        SmartPtr<Texture> texture = GetTexture(desc.texture);
        texture->set_repeated(desc.textureRepeat);

        ParallaxLayerImage layer;
        const Frame dest(desc.geometryOffsetX - desc.geometryScaleX, desc.geometryOffsetY - desc.geometryScaleY,
                         desc.geometryOffsetX + desc.geometryScaleX, desc.geometryOffsetY + desc.geometryScaleY);
        const Frame src(0.5f + desc.textureOffsetX - 0.5f * desc.textureScaleX,
                        0.5f + desc.textureOffsetY - 0.5f * desc.textureScaleY,
                        0.5f + desc.textureOffsetX + 0.5f * desc.textureScaleX,
                        0.5f + desc.textureOffsetY + 0.5f * desc.textureScaleY);
        layer.image = Image(texture, dest, src, Color(desc.color.r, desc.color.g, desc.color.b, desc.opacity));
        layer.image.angle = desc.rotation;
        layer.distance = desc.distance;
        layer.depth = desc.distance * t + PARALLAX_BASE_DEPTH;
        // One unit of a layer's geometry is as large as the half diagonal of
        // the view at the layer's depth when the camera shows the smallest
        // box (the zoom at the start of every turn): a layer of geometry
        // scale 1 then just covers the window, also while the world turns.
        layer.scale = (eye + layer.depth) * t;
        layer.scroll_x = desc.scrollSpeedX;
        layer.scroll_y = desc.scrollSpeedY;
        if (desc.distance >= 0.0f) {
            back_layers_.push_back(layer);
        } else {
            front_layers_.push_back(layer);
        }
    }
}

SlobEntity* Match::add_slob(std::string const& prefix, std::string const& texture, float visual_scale,
                            vector2 const& tex_min, vector2 const& tex_max) {
    SlobEntity* slob = create_slob(vector3(0.0f, 0.0f, 0.0f), prefix, texture, visual_scale, tex_min, tex_max);
    scene_.add_entity(slob, true);
    place_entity(slob);
    return slob;
}

SlobEntity* Match::create_slob(vector3 const& position, std::string const& prefix, std::string const& texture,
                               float visual_scale, vector2 const& tex_min, vector2 const& tex_max) {
    SoftBodyDesc desc;
    InitSoftBodyDesc(desc, game_config_tree_, prefix);
    desc.tex_x1 = tex_min.x;
    desc.tex_y1 = tex_min.y;
    desc.tex_x2 = tex_max.x;
    desc.tex_y2 = tex_max.y;
    const std::string texture_name = texture.empty() ? desc.texture : texture;

    SmartPtr<SoftBody> body(new SoftBody);
    CreateSoftBody_Circle(*body, desc);
    body->set_sticky_scale(config_->stickyScale, 0.0);

    auto* slob = new SlobEntity;
    slob->set_soft_body(body);
    slob->soft_body_behavior()->set_visual_scale(visual_scale);
    slob->set_texture(GetTexture(texture_name));
    SetPosition(slob, position);

    behaviors::Aim* aim = AimOf(slob);
    aim->sprite().set_visible(false);
    aim->sprite().image().dest_frame = Frame(Rect(-0.15f, -0.15f, 0.15f, 0.15f));
    aim->set_power(3.0f);

    behaviors::Rest* rest = slob->get_behavior<behaviors::Rest>();
    rest->duration = config_->restTime;
    rest->radius = config_->restRadius;
    return slob;
}

void Match::add_mine() {
    Entity* mine = scene_.throw_grenade("mine", vector3(0.0f, 0.0f, 0.0f), vector3(0.0f, 0.0f, 0.0f), 0.0f, 0.0,
                                        nullptr);
    if (mine) place_entity(mine);
}

void Match::place_entity(Entity* entity) {
    SoftBody* body = BodyOf(entity);
    if (!body) return;
    const float radius = body->calculate_bounding_sphere().radius() * 2.0f;

    vector3 point;
    bool free_spot = false;
    for (int attempt = 0; attempt < kPlacementTries; ++attempt) {
        if (!level_->random_boundary_point(point, 0.0f)) {
            std::cout << "WARNING: No random point could be found on boundary. Defaulting to (0, 0, 0)\n"
                      << std::flush;
            point = vector3(0.0f, 0.0f, 0.0f);
            free_spot = true;
            break;
        }
        const Sphere candidate(point, radius);
        bool touches = false;
        for (Sphere const& occupied : occupied_spheres_) {
            if (candidate.intersects(occupied)) {
                touches = true;
                break;
            }
        }
        if (!touches) {
            free_spot = true;
            break;
        }
    }
    if (!free_spot) std::cout << "WARNING: Couldn't find valid entity insertion point!\n" << std::flush;

    if (!settle_on_level(entity, point, 5.0f, 5.0f, 1.1f)) SetPosition(entity, point);
    body->clear_sticky_particles();
    entity->update(0.0f);

    Sphere placed = body->calculate_bounding_sphere();
    placed.radius() *= 2.0f;
    occupied_spheres_.push_back(placed);
}

bool Match::settle_on_level(Entity* entity, vector3 const& point, float max_distance_factor, float approach_speed,
                            float lift_factor) {
    float distance = 0.0f;
    vector3 projected;
    vector3 normal;
    if (!project_onto_level(distance, projected, normal, point)) return false;
    SoftBody* body = BodyOf(entity);
    if (!body) return false;
    const float r = body->calculate_bounding_sphere().radius();
    if (!(r * max_distance_factor > distance)) return false;
    body->set_velocity(vector3(-normal.x * approach_speed, -normal.y * approach_speed, -normal.z * approach_speed), false);
    const float lift = r * lift_factor;
    SetPosition(entity, vector3(projected.x + normal.x * lift, projected.y + normal.y * lift, projected.z + normal.z * lift));
    return true;
}

bool Match::project_onto_level(float& distance, vector3& point, vector3& normal, vector3 const& from) {
    SmartPtr<CollisionTreeRootNode> tree = level_->collision_tree();
    if (!tree) return false;
    Traverser_ProjectPoint projector;
    if (!projector.project(from, SmartPtr<Node>(tree), nullptr)) return false;
    if (projector.get_closest_element_type() != Traverser_ProjectPoint::ELEMENT_EDGE) return false;
    point = projector.get_closest_point();
    distance = projector.get_distance();
    int a = 0;
    int b = 0;
    projector.get_closest_edge_point_indices(a, b);
    const vector3& p0 = tree->get_point(a);
    const vector3& p1 = tree->get_point(b);
    normal = vector3(p1.y - p0.y, -(p1.x - p0.x), 0.0f);
    const float length = std::sqrt(normal.x * normal.x + normal.y * normal.y);
    if (length > 0.0f) normal = vector3(normal.x / length, normal.y / length, 0.0f);
    return true;
}

}  // namespace vo
