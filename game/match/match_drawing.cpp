// Drawing the match, back to front, and laying it out for a window.

#include "game/match/match.h"

#include "engine/core/frame_transform.h"
#include "engine/core/profiler.h"
#include "engine/physics/soft_body.h"
#include "engine/sfml/engine.h"
#include "engine/widgets/widget.h"
#include "game/app/debug_config.h"
#include "game/behaviors/aim.h"
#include "game/menus/esc_menu_screen.h"
#include "game/menus/match_results_screen.h"
#include "game/match/match_config.h"
#include "game/match/match_entities.h"

#include <algorithm>

namespace vo {

void Match::draw() {
    VO_PROFILE_ZONE("match_display");
    Engine& engine = Engine::instance();
    DebugConfig const& debug = GetDebugConfig();

    engine.set_texture(SmartPtr<Texture>());
    apply_camera_transform();
    if (debug.drawParallaxLayers) draw_parallax_layers(back_layers_);

    engine.set_effect_parameter(level_lava_effect_, "curTime", Variant(clock_));
    engine.set_effect_parameter(level_lava_effect_, "phaseDuration", Variant(config_->area.lavaFlowPhaseDuration));
    if (debug.drawScene) scene_.draw();

    if (debug.drawParallaxLayers) {
        apply_camera_transform();
        draw_parallax_layers(front_layers_);
    }
    engine.set_state(STATE_LIGHTING, false);

    draw_charge_ring();
    if (paused_ && ai_) {
        TeamState* team = current_team_state();
        if (team && team->cpu_controlled == 1) ai_->debug_draw();
    }

    if (debug.drawInGameNames) {
        engine.load_identity();
        SetupOrthoView();
        draw_slob_labels();
    }
    if (!preview_mode_ && debug.drawWidgets) root_widget_->draw();
}

void Match::draw_parallax_layers(std::vector<ParallaxLayerImage>& layers) {
    Engine& engine = Engine::instance();
    const bool rotates = config_->background.rotates;
    for (ParallaxLayerImage& layer : layers) {
        engine.push_matrix(true, false, false);
        if (!rotates) engine.rotate(-camera_->rotation(), 0.0f, 0.0f, 1.0f);
        engine.translate(0.0f, 0.0f, -layer.depth);
        engine.scale(layer.scale, layer.scale, 1.0f);
        layer.image.draw();
        engine.pop_matrix(true, false, false);
    }
}

void Match::draw_charge_ring() {
    if (!charging_) return;
    TeamState* team = current_team_state();
    if (!team) return;
    if (team->acting_member < 0 || team->acting_member >= static_cast<int>(team->members.size())) return;
    Entity* slob = slobs_[static_cast<std::size_t>(team->members[static_cast<std::size_t>(team->acting_member)])].entity;
    SoftBody* body = BodyOf(slob);
    behaviors::Aim* aim = AimOf(slob);
    if (!body || !aim) return;

    Engine& engine = Engine::instance();
    engine.push_matrix(true, false, false);
    const vector3 centre = body->calculate_center();
    engine.translate(centre.x, centre.y, centre.z);
    engine.rotate(180.0f - aim->angle(), 0.0f, 0.0f, 1.0f);
    charge_ring_.set_dissolve_parameters(1.01f - 1.05f * charge_fraction_, 0.1f, 1000000.0f);
    charge_ring_.draw();
    engine.pop_matrix(true, false, false);
}

void Match::apply_camera_transform() { scene_.camera().apply_transform(); }

void Match::transform(FrameTransform const& t) {
    if (esc_menu_) esc_menu_->transform(t);
    if (results_screen_) results_screen_->transform(t);

    if (root_widget_) {
        Engine& engine = Engine::instance();
        const float w = static_cast<float>(engine.screen_width());
        const float h = static_cast<float>(engine.screen_height());
        const Frame design = t.transform_inv(Frame(0.0f, 0.0f, w, h));
        scale_hud(std::min(w / design.width(), h / design.height()));
    }

    load_config(true);
    // The fluids' render target and effects at the window's size.
    scene_.init_effects();
}

}  // namespace vo
