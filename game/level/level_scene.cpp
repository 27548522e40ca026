#include "game/level/level_scene.h"

#include "engine/audio/sound_handler.h"
#include "engine/core/error.h"
#include "engine/core/resources.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_circle.h"
#include "engine/physics/soft_body_desc.h"
#include "engine/scene/transform_behavior.h"
#include "engine/sfml/engine.h"
#include "game/behaviors/explodable.h"
#include "game/behaviors/explosion.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/rest.h"
#include "game/behaviors/soft_body_entities.h"
#include "game/camera/action_camera_controller.h"
#include "game/level/data_rules.h"
#include "game/level/explosion_type_defaults.h"
#include "game/match/match_config.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace vo {

namespace {

// A copy of the configuration file's tree.
ptree CopyOfConfig(const char* file) { return GetConfig(file); }

// The child at path, or an empty tree.
const ptree& ChildOrEmpty(const ptree& tree, const std::string& path) {
    static const ptree empty;
    const boost::optional<const ptree&> child = tree.get_child_optional(path);
    return child ? *child : empty;
}

// Most swings of one explosion's camera shake: a count read from the
// configuration beyond this would only pile up tweens.
constexpr float kMaxShakeCount = 1000.0f;

int ShakeCount(float iterations) {
    if (!(iterations >= 1.0f)) return 0;  // no shake (also for NaN)
    if (iterations > kMaxShakeCount) return static_cast<int>(kMaxShakeCount);
    return static_cast<int>(iterations);
}

}  // namespace

LevelScene::LevelScene() : weapons(CopyOfConfig("weapons.info")), items(CopyOfConfig("items.info")) {
    const DataFiles files = InstalledDataFiles();
    // "mine" and "grenade" are asked for by the match that needs them.
    DataFindings findings = WeaponsFindings(weapons, false, false, files);
    findings.append(ItemsFindings(items, weapons, files));
    WarnAndRefuse(findings);
    load_warnings_ = std::move(findings.warnings);
}

void LevelScene::check_match_weapons(bool mines_laid, bool cpu_plays) const {
    if (!mines_laid && !cpu_plays) return;
    DataFindings findings = WeaponsFindings(weapons, mines_laid, cpu_plays, InstalledDataFiles());
    std::vector<std::string>& warnings = findings.warnings;
    warnings.erase(std::remove_if(warnings.begin(), warnings.end(),
                                  [this](const std::string& line) {
                                      return std::find(load_warnings_.begin(), load_warnings_.end(), line) !=
                                             load_warnings_.end();
                                  }),
                   warnings.end());
    WarnAndRefuse(findings);
}

LevelScene::~LevelScene() {
    // The entities go first: their behaviors still reach this scene (and
    // its camera controller) while they are finalized.
    clear(true);
}

void LevelScene::set_camera_controller(SmartPtr<ICameraController2D> controller) {
    camera_controller_ = controller;
    camera().set_camera_controller(controller);
}

void LevelScene::set_game_config(SmartPtr<MatchConfig> config) { game_config_ = config; }

void LevelScene::serialize(BinaryBuffer&) const {}

void LevelScene::deserialize(BinaryBuffer&) {}

bool LevelScene::handle_event(const GameEvent* event) {
    if (Scene2d::handle_event(event)) return true;
    if (event->type == EventTypeId<ExplosionPeakEvent>()) {
        if (lava_explosions & 1) {
            const ExplosionPeakEvent& peak = *event->cast<ExplosionPeakEvent>();
            create_lava_explosion(peak.position, static_cast<float>(static_cast<double>(peak.radius) * 0.9));
        }
    } else if (event->type == EventTypeId<ClusterEvent>()) {
        launch_clusters(event->cast<ClusterEvent>()->desc);
    }
    return false;
}

void LevelScene::draw() {
    Engine& engine = Engine::instance();
    const double t = scene_time();
    engine.set_effect_parameter(lava_effect_, "modulator",
                                Variant(vector2(static_cast<float>(1.0 + 0.25 * std::sin(0.1 * t)),
                                                static_cast<float>(1.0 + 0.25 * std::cos(0.2 * t)))));
    if (!type1_visuals().empty()) draw_fluid_pass();
    camera().apply_transform();
    Scene2d::draw();
}

void LevelScene::draw_fluid_pass() {
    Engine& engine = Engine::instance();
    engine.set_render_target("lava");
    engine.set_clear_color(Color(0.0f, 0.0f, 0.0f, 0.0f));
    engine.clear();
    engine.set_state(STATE_BLENDING, true);
    engine.push_viewport(0, 0, static_cast<int>(screen_size_.x), static_cast<int>(screen_size_.y), false);
    camera().apply_transform();
    engine.force_effect(preprocess_effect_);
    engine.set_blend_mode(BLEND_ADDITIVE);
    for (const SmartPtr<Node>& node : type1_visuals()) renderer().render(node);
    engine.unforce_effect();
    engine.display();
    engine.pop_viewport();
    engine.set_render_target(nullptr);
    const Variant size(vector2(static_cast<float>(engine.screen_width()), static_cast<float>(engine.screen_height())));
    engine.set_effect_parameter(lava_effect_, "screenSize", size);
    engine.set_effect_parameter(stone_effect_, "screenSize", size);
    // The scene graph (the fluid layers among it) blends by alpha again: the
    // fluid shaders cut the fluid's outline out of its quads by alpha.
    engine.set_blend_mode(BLEND_ALPHA);
}

Entity* LevelScene::throw_grenade(const std::string& weapon_name, const vector3& position, const vector3& direction,
                                  float power, double timer, SoftBody* thrower) {
    const ptree& weapon = weapons.get_child(weapon_name);

    vector3 dir = direction;
    NormalizeVector3(dir, dir);
    const float fixed_velocity = weapon.get<float>("fixedVelocity", -1.0f);
    const float speed = fixed_velocity > 0.0f ? fixed_velocity : weapon.get<float>("maxVelocity") * power;
    const vector3 velocity(dir.x * speed, dir.y * speed, dir.z * speed);

    const ptree& cluster = ChildOrEmpty(weapon, "cluster");
    if (weapon.get<bool>("clustersOnly", false)) {
        ClusterDesc desc;
        desc.description = cluster;
        desc.position = position;
        desc.velocity = velocity;
        desc.ignored_body = thrower;
        launch_clusters(desc);
        return nullptr;
    }

    const ptree& body_desc = weapons.get_child(weapon.get<std::string>("body"));
    SoftBodyDesc desc;
    InitSoftBodyDesc(desc, body_desc, "");
    SmartPtr<SoftBody> body(new SoftBody());
    CreateSoftBody_Circle(*body, desc);
    body->set_velocity(velocity, false);

    if (!weapon.get<bool>("timed")) timer = 0.0;
    const bool ground_triggered = weapon.get<bool>("groundTriggered");
    const bool slob_triggered = weapon.get<bool>("slobTriggered");

    std::unique_ptr<GrenadeEntity> grenade(new GrenadeEntity(timer, ground_triggered, slob_triggered));
    grenade->set_soft_body(body);
    grenade->set_texture(GetTexture(desc.texture));
    const std::string explosion_type = weapon.get<std::string>("explosionType", "normal");
    grenade->explodable_behavior()->set_explosion_desc(ChildOrEmpty(weapons, "explosionTypes." + explosion_type));
    grenade->explodable_behavior()->set_cluster_desc(cluster);

    SetPosition(grenade.get(), position);
    GrenadeEntity* result = grenade.get();
    add_entity(grenade.release(), true);

    // The grenade starts inside its thrower; they keep apart only once
    // their spheres no longer overlap. A thrower that is not in the physics
    // collides with nothing anyway.
    PhysicsHandler* physics = physics_handler();
    if (thrower && physics && physics->ignore_list(thrower)) {
        physics->ignore_collisions(thrower, body.get(), COLLISION_IGNORE_UNTIL_APART);
    }
    return result;
}

Entity* LevelScene::create_explosion(const vector3& position, const ptree& type, const ClusterDesc& cluster) {
    const float radius = type.get<float>("radius", ExplosionTypeDefaults::radius);
    const float damage = type.get<float>("damage", ExplosionTypeDefaults::damage);
    const float force = type.get<float>("force", ExplosionTypeDefaults::force);

    ExplosionEntity* explosion = new ExplosionEntity();
    explosion->add_behavior<behaviors::Transform>("transform");
    explosion->add_behavior<behaviors::Explosion>("explosion")->set_parameters(radius, damage);
    explosion->add_behavior<behaviors::Rest>("rest")->keep_awake = true;
    add_entity(explosion, true);
    SetPosition(explosion, position);

    const double peak_delay = static_cast<double>(type.get<float>("peakDelay", ExplosionTypeDefaults::peak_delay));
    emit_event(new ExplosionEvent(position, radius, damage, force), 0.0);
    emit_event(new ExplosionPeakEvent(position, radius, damage, force), peak_delay);
    // A cluster record without a positive "num" releases nothing.
    if (cluster.description.get<int>("num", 0) > 0) emit_event(new ClusterEvent(cluster), peak_delay);

    const std::string sound = type.get<std::string>("soundFile", "");
    if (!sound.empty())
        SoundHandler::play_sound(sound.c_str(), type.get<float>("soundVolume", ExplosionTypeDefaults::sound_volume));

    if (auto* controller = dynamic_cast<ActionCameraController*>(camera_controller_.get())) {
        const MatchConfig& config = settings();
        const vector3 eye = controller->position();
        vector3 away(eye.x - position.x, eye.y - position.y, eye.z - position.z);
        NormalizeVector3(away, away);
        away *= config.camera.explosionShakeAmplitude;
        controller->shake(away, ShakeCount(config.camera.explosionShakeIterations), config.camera.explosionShakeTime,
                          config.camera.explosionShakeDamping);
    }
    return explosion;
}

const MatchConfig& LevelScene::settings() const {
    static const MatchConfig defaults;
    return game_config_ ? *game_config_ : defaults;
}

}  // namespace vo
