// Turn order, damage and deaths.

#include "game/match/match.h"

#include "engine/core/tweener.h"
#include "engine/scene/entity.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/health.h"
#include "engine/scene/transform_behavior.h"
#include "engine/visuals/sprite.h"
#include "game/behaviors/aim.h"
#include "game/behaviors/fluid_behavior.h"
#include "game/behaviors/game_events.h"
#include "game/camera/action_camera_controller.h"
#include "game/camera/vector_blend.h"
#include "game/level/level_geometry_handle.h"
#include "game/match/match_config.h"
#include "game/match/match_entities.h"
#include "game/match/turn_angle.h"

#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <cmath>

namespace vo {

namespace {

using RotationTween = Tweener<SmoothTween<float>, TweenMethodCallback<float, Match>>;
using ZoomTween = Tweener<SmoothTween<float>, TweenMethodCallback<float, ActionCameraController>>;
using LookAtTween = Tweener<SmoothTween<vector3>, TweenMethodCallbackConstRef<vector3, ActionCameraController>>;

void ShowAim(Entity* slob, bool visible) {
    if (behaviors::Aim* aim = AimOf(slob)) aim->sprite().set_visible(visible);
}

float HealthValue(Entity* entity) {
    const behaviors::Health* health = HealthOf(entity);
    return health ? health->value : 0.0f;
}

}  // namespace

void Match::next_turn() {
    labels_dirty_ = true;

    if (Entity* slob = acting_slob()) {
        if (SoftBody* body = BodyOf(slob)) body->enable_sticky_particles(true);
        ShowAim(slob, false);
    }

    // The next team with a living slob, and that team's next living slob.
    const int num_teams = static_cast<int>(teams_.size());
    for (int team_try = 0; team_try < num_teams; ++team_try) {
        current_team_ += 1;
        if (current_team_ >= num_teams) current_team_ = 0;
        TeamState& team = teams_[static_cast<std::size_t>(current_team_)];
        const int num_members = static_cast<int>(team.members.size());
        bool found = false;
        for (int member_try = 0; member_try < num_members; ++member_try) {
            team.acting_member += 1;
            if (team.acting_member >= num_members) team.acting_member = 0;
            const int index = team.members[static_cast<std::size_t>(team.acting_member)];
            if (slobs_[static_cast<std::size_t>(index)].has_entity) {
                found = true;
                break;
            }
        }
        if (found) break;
    }

    Entity* slob = acting_slob();
    if (!slob) return;

    ShowAim(slob, true);
    vector3 position;
    GetPosition(slob, position);

    turn_tweens_.clear();
    align_world_to_acting_slob();

    pan_offset_ = vector3();
    camera_->absorb_custom_offset();
    camera_->set_following(false);

    const double transition = config_->newTurnTransitionTime;
    turn_tweens_.add(new ZoomTween(transition, camera_->zoom(), camera_->zoom_for_min_box(), camera_.get(),
                                   &ActionCameraController::set_zoom));
    turn_tweens_.add(new LookAtTween(transition, camera_->position(), position, camera_.get(),
                                     &ActionCameraController::set_look_at));
}

void Match::align_world_to_acting_slob() {
    Entity* slob = acting_slob();
    if (!slob) return;
    vector3 position;
    GetPosition(slob, position);

    float distance = 0.0f;
    vector3 point;
    vector3 n;
    if (!project_onto_level(distance, point, n, position)) return;

    // The turn at which the world's up is n, reached the short way round.
    float delta = 180.0f - TurnAngleDegrees(n.x, n.y) - world_rotation_;
    while (delta < -180.0f) delta += 360.0f;
    while (delta > 180.0f) delta -= 360.0f;

    turn_tweens_.add(new RotationTween(config_->newTurnTransitionTime, world_rotation_, world_rotation_ + delta, this,
                                       &Match::set_world_rotation));
}

void Match::process_health_changes() {
    apply_camera_transform();

    bool damaged = false;
    for (SlobRecord& record : slobs_) {
        if (!record.entity) {
            record.has_entity = false;
            continue;
        }
        const int h = static_cast<int>(HealthValue(record.entity));
        if (labels_dirty_ || h != record.last_health) {
            if (h < record.last_health) {
                scream(record);
                // Damage before the first turn (a mine set off while the
                // teams are placed) belongs to no turn and is not recorded.
                if (!stats_.rounds().empty()) stats_.add_damage(record.team, record.member, record.last_health - h);
                damaged = true;
            }
            update_slob_label(record, h);
            record.last_health = h;
            if (h <= 0 && phase_ == MatchPhase::play && record.entity == acting_slob())
                change_phase(MatchPhase::turn_over);
        }
        record.has_entity = true;
        place_slob_label(record);
    }
    if (damaged) refresh_life_bars();
    labels_dirty_ = false;
}

void Match::collect_dying_slobs() {
    if (dying_slobs_.empty()) last_death_time_ = clock_;
    dying_slobs_.clear();
    for (std::size_t i = 0; i < slobs_.size(); ++i) {
        const SlobRecord& record = slobs_[i];
        if (record.has_entity && record.entity && HealthValue(record.entity) < 1.0f)
            dying_slobs_.push_back(static_cast<int>(i));
    }
}

void Match::on_slob_died() {
    collect_dying_slobs();
    if (dying_slobs_.empty() || !(clock_ - last_death_time_ > death_interval_)) return;

    last_death_time_ = clock_;
    const int index = dying_slobs_.front();
    dying_slobs_.pop_front();
    SlobRecord& record = slobs_[static_cast<std::size_t>(index)];

    if (!stats_.rounds().empty()) stats_.add_kill(record.team, record.member);
    vector3 position;
    GetPosition(record.entity, position);
    record.entity->kill_entity();
    record.entity = nullptr;
    scene_.create_explosion(position, scene_.weapons.get_child("explosionTypes.small"), ClusterDesc());
    notify(teams_[static_cast<std::size_t>(record.team)].desc->name + " Lost a Guy!");
}

void Match::remove_lost_bodies() {
    const float outer = level_->outer_radius();
    if (!(outer > 0.0f)) return;
    const float outer_squared = outer * outer;
    const float limit = LOST_BODY_RADIUS_FACTOR * outer;
    const float limit_squared = limit * limit;

    const unsigned count = scene_.num_entities();
    for (unsigned i = 0; i < count; ++i) {
        Entity* entity = scene_.entity(i);
        if (!entity || entity->was_killed()) continue;
        if (auto* fluid_entity = dynamic_cast<FluidEntity*>(entity)) {
            // Particles off the disc fall until they expire, and stretch the
            // fluid's neighbour grid over the void; those as far out as a
            // lost body end now.
            Fluid& fluid = fluid_entity->fluid_behavior()->fluid();
            const unsigned slots = fluid.num_particles();
            for (unsigned k = 0; k < slots; ++k) {
                if (!fluid.is_active(k)) continue;
                const vector3 p = fluid.position(k);
                const float distance_squared = p.x * p.x + p.y * p.y;
                if (distance_squared <= outer_squared) continue;
                if (fluid.mark_left_level(k)) ++lost_fluid_particles_;
                if (!(distance_squared <= limit_squared)) fluid.expire_particle(k);
            }
            continue;
        }
        SoftBody* body = BodyOf(entity);
        if (!body) continue;
        const vector3 p = body->calculate_center();
        // A centre that is not a number has left the level as well.
        if (p.x * p.x + p.y * p.y <= limit_squared) continue;
        if (find_slob_record(entity)) {
            // A slob dies the way every slob dies: through the queue of the
            // dying, with its notice and its explosion.
            if (behaviors::Health* health = HealthOf(entity)) health->value = std::min(health->value, 0.0f);
        } else {
            entity->kill_entity();
        }
    }
}

}  // namespace vo
