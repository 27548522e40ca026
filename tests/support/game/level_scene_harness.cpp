#include "support/game/level_scene_harness.h"

#include "support/game/config_copy.h"

#include "engine/core/config.h"
#include "engine/core/path_provider.h"
#include "engine/core/resources.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body_circle.h"
#include "engine/physics/soft_body_desc.h"
#include "engine/scene/health.h"
#include "engine/scene/traverser_intersect_edges_2d.h"
#include "engine/scene/transform_behavior.h"
#include "engine/sfml/engine.h"
#include "engine/sfml/sfml_engine.h"
#include "game/level/level_generation.h"
#include "game/level/level_geometry_handle.h"
#include "game/match/match_level.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace vo_test {

namespace {

using vo::vector3;

// Draws the level scene over a dark background.
class SceneScreen : public vo::IScreen {
public:
    explicit SceneScreen(vo::LevelScene& scene) : scene_(scene) {}
    bool update(double) override { return true; }
    bool is_opaque() override { return true; }
    void draw() override {
        vo::Engine& engine = vo::Engine::instance();
        engine.set_clear_color(vo::Color(0.05f, 0.05f, 0.08f, 1.0f));
        engine.clear();
        engine.set_state(vo::STATE_BLENDING, true);
        engine.set_blend_mode(vo::BLEND_ALPHA);
        engine.set_state(vo::STATE_LIGHTING, false);
        engine.push_matrix(true, false, true);
        scene_.draw();
        engine.pop_matrix(true, false, true);
    }

private:
    vo::LevelScene& scene_;
};

}  // namespace

std::string ShippedConfig(std::string const& file) {
    return ReadTextFile(std::string(QV_GAME_DATA_DIR) + "/config/" + file);
}

std::string ShippedWeaponsWithoutMineAndGrenade() {
    std::string weapons = ShippedConfig("weapons.info");
    const std::pair<std::string, std::string> renames[] = {
        {"    mine\n    {\n        num", "    landMine\n    {\n        num"},
        {"    grenade\n    {\n        num", "    fragGrenade\n    {\n        num"},
        {"\nmine\n{", "\nlandMine\n{"},
        {"\ngrenade\n{", "\nfragGrenade\n{"},
    };
    for (auto const& rename : renames) {
        const std::string::size_type at = weapons.find(rename.first);
        if (at == std::string::npos) throw std::runtime_error("weapons.info has no \"" + rename.first + "\"");
        weapons.replace(at, rename.first.size(), rename.second);
    }
    return weapons;
}

LevelSceneHarness::LevelSceneHarness(LevelSceneSetup setup) : app_(new AppHarness()) {
    app_->init();
    if (!setup.config_files.empty()) config_copy_ = UseConfigCopy(setup.config_files);

    config_ = vo::SmartPtr<vo::MatchConfig>(new vo::MatchConfig());
    vo::ptree tree;
    config_->load(vo::PathProvider::get_path(1) + vo::MatchConfig::FILE_NAME, tree);

    scene_.reset(new vo::LevelScene());
    scene_->set_game_config(config_);
    camera_ = vo::SmartPtr<vo::ActionCameraController>(new vo::ActionCameraController());
    camera_->set_scene(scene_.get());
    camera_->apply_settings(*config_);
    scene_->set_camera_controller(camera_);
    vo::Engine& engine = vo::Engine::instance();
    const float aspect =
        static_cast<float>(engine.screen_width()) / static_cast<float>(std::max(1, engine.screen_height()));
    vo::Camera2DPerspective& view = scene_->camera();
    view.set_aspect_ratio(aspect);
    view.set_field_of_view(config_->camera.fieldOfViewY);
    view.set_near_clipping_plane(config_->camera.nearClippingPlane);
    view.set_far_clipping_plane(config_->camera.farClippingPlane);
    camera_->aspect = aspect;
    camera_->level_sphere = vo::Sphere(vector3(), 100.0f);
    scene_->physics_handler()->set_gravity(vector3(0.0f, -config_->gravity, 0.0f));

    const vo::MatchConfig::Area& area = config_->area;
    level_effect_ =
        vo::CreateLevelEffect(area.blendTexture1, area.blendTexture2, area.diffuseTexture1, area.diffuseTexture2);
    engine.set_effect_parameter(level_effect_, "fadeOutColor", vo::Variant(vo::vector4(0, 0, 0, 1)));
    lava_effect_ = vo::CreateLavaEffect(area.blendTexture1, area.blendTexture2, area.lavaBorderTexture,
                                        area.lavaTexture, area.lavaFlowTexture);

    new_level(setup.level_seed);
}

void LevelSceneHarness::new_level(int level_seed) {
    scene_->clear(true);
    level_entity_ = new vo::entities::LevelGeometry();
    scene_->add_entity(level_entity_, true);
    level_ = level_entity_->level_geometry();
    vo::GenerateLevelArea(*level_, vo::LevelGenerationParamsOf(*config_, 100.0f), level_seed, level_effect_, lava_effect_);
    scene_->physics_handler()->set_collision_tree(level_->collision_node());
}

LevelSceneHarness::~LevelSceneHarness() {
    // The scene (with the effects of its explosions) goes while the
    // application and its window still run.
    app_->app().pop_all_screens();
    scene_.reset();
    level_.reset();
    vo::Engine& engine = vo::Engine::instance();
    if (level_effect_.valid) engine.free_effect(level_effect_);
    if (lava_effect_.valid) engine.free_effect(lava_effect_);
}

void LevelSceneHarness::step(int count) {
    for (int i = 0; i < count; ++i) scene_->update(kStep);
}

vector3 LevelSceneHarness::ground_spot(float clearance, int which) const {
    std::vector<vo::LevelEditRecord> holes;
    for (vo::LevelEditRecord const& r : level_->edit_log()) {
        if (r.op == vo::LEVEL_EDIT_CARVE) holes.push_back(r);
    }
    std::stable_sort(holes.begin(), holes.end(),
                     [](vo::LevelEditRecord const& a, vo::LevelEditRecord const& b) { return a.radius > b.radius; });
    vo::SmartPtr<vo::Node> tree = level_->collision_node();
    int found = 0;
    for (vo::LevelEditRecord const& hole : holes) {
        // The centre of a hole is open space; the first edge below it is
        // ground seen from above.
        const vector3 centre(hole.x, hole.y, 0.0f);
        vo::Traverser_IntersectEdges2d down;
        if (down.intersect_edges(centre, vector3(hole.x, hole.y - 250.0f, 0.0f), tree) == 0) continue;
        const vector3 ground = down.intersections_begin()->point;
        vo::Traverser_IntersectEdges2d up;
        const vector3 above(ground.x, ground.y + 0.05f, 0.0f);
        if (up.intersect_edges(above, vector3(ground.x, ground.y + clearance, 0.0f), tree) != 0) continue;
        if (found++ == which) return ground;
    }
    throw std::runtime_error("no ground spot with that clearance in the level");
}

vo::SlobEntity* LevelSceneHarness::add_slob(const vector3& position, float health) {
    vo::SoftBodyDesc desc;
    vo::InitSoftBodyDesc(desc, vo::GetConfig("game_config.info"), "slob.");
    vo::SmartPtr<vo::SoftBody> body(new vo::SoftBody());
    vo::CreateSoftBody_Circle(*body, desc);
    auto* slob = new vo::SlobEntity();
    slob->set_soft_body(body);
    slob->set_texture(vo::GetTexture(desc.texture));
    scene_->add_entity(slob, true);
    slob->health_behavior()->value = health;
    vo::SetPosition(slob, position);
    slob->update(0.0f);
    return slob;
}

vo::Entity* LevelSceneHarness::throw_grenade(const std::string& weapon, const vector3& position,
                                             const vector3& direction, float power, double timer,
                                             vo::SoftBody* thrower) {
    vo::Entity* grenade = scene_->throw_grenade(weapon, position, direction, power, timer, thrower);
    if (grenade) grenade->update(0.0f);
    return grenade;
}

bool LevelSceneHarness::holds(const vo::Entity* entity) {
    for (unsigned i = 0; i < scene_->num_entities(); ++i) {
        if (scene_->entity(i) == entity) return true;
    }
    return false;
}

sf::Image LevelSceneHarness::draw(const vector3& look_at, float view_height, std::string const& artefact) {
    camera_->set_following(false);
    camera_->set_zoom(2.0f / view_height);
    camera_->set_look_at(look_at);
    vo::SmartPtr<vo::IScreen> screen(new SceneScreen(*scene_));
    app_->app().push_screen(screen);
    sf::Image image = artefact.empty() ? app_->frame() : app_->screenshot(artefact);
    app_->app().pop_all_screens();
    return image;
}

}  // namespace vo_test
