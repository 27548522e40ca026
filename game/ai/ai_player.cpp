#include "game/ai/ai_player.h"

#include "engine/core/error.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"
#include "game/ai/ai_random.h"
#include "game/behaviors/aim.h"
#include "game/behaviors/rest.h"
#include "game/behaviors/soft_body.h"
#include "game/level/level_scene.h"

#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <cmath>

namespace vo {

namespace {

// Shot choice: an enemy in the blast counts 1, a team mate -1.9; the
// thrower counts -0.01, or -2.9 once a first choice would have hit it.
constexpr float kEnemyWeight = 1.0f;
constexpr float kOwnWeight = -1.9f;
constexpr float kFirstSelfWeight = -0.01f;
constexpr float kLaterSelfWeight = -2.9f;
// The aim is set a little beyond the searched speed.
constexpr float kSpeedMargin = 1.015f;
constexpr int kMaxWalks = 3;
constexpr double kPause = 1.0;       // before aiming, before firing, before giving up
constexpr double kSettleWait = 0.5;  // after a walk, before the next search

float Dot(const vector3& a, const vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

bool SameEntities(const std::vector<EntityDesc>& a, const std::vector<EntityDesc>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].entity != b[i].entity || a[i].team != b[i].team) return false;
    return true;
}

}  // namespace

constexpr float AIPlayer::ERROR_SPREAD[3];

AIPlayer::AIPlayer() = default;

AIPlayer::~AIPlayer() = default;

void AIPlayer::begin_turn(const EntityDesc& self, const WorldDesc& world) {
    controls_.reset();
    self_desc_ = self;
    world_ = world;
    body_behavior_ = self.entity ? self.entity->get_behavior<behaviors::SoftBody>() : nullptr;
    aim_behavior_ = self.entity ? self.entity->get_behavior<behaviors::Aim>() : nullptr;
    rest_behavior_ = self.entity ? self.entity->get_behavior<behaviors::Rest>() : nullptr;
    charge_left_ = 0.0;
    attempts_ = 0;
    jump_chance_ = 0.0f;
    next_state_ = waiting;
    wait_ = -1.0;
    routines_.clear();
    finished_routines_.clear();
    self_weight_ = kFirstSelfWeight;
    state_ = start_search;
}

float AIPlayer::aim_error_factor(float x) {
    const int level = std::min(std::max(difficulty, 0), 2);
    const float e = ERROR_SPREAD[level] * x;
    const double u = DrawRand() / 32767.0;
    return static_cast<float>(1.0 + u * e - e / 2.0);
}

void AIPlayer::refresh_world() {
    if (!world_source_) return;
    WorldDesc fresh = world_source_();
    if (SameEntities(fresh.entities, world_.entities)) return;
    for (SmartPtr<AIRoutine>& routine : routines_)
        if (auto* search = dynamic_cast<ARFindPossibleShots*>(routine.get())) search->retain_entities(fresh);
    world_ = std::move(fresh);
}

void AIPlayer::update(double dt) {
    refresh_world();
    if (world_source_ && world_.index_of(self_desc_.entity) < 0) {
        // The slob has gone: nothing is steered any more.
        controls_.end_step();
        state_ = waiting;
        wait_ = -1.0;
        return;
    }

    AIRoutine* finished = nullptr;
    if (!routines_.empty()) {
        SmartPtr<AIRoutine> routine = routines_.back();
        if (routine->run()) {
            routines_.pop_back();
            finished_routines_.push_back(routine);
            finished = routine.get();
        }
    }

    if (wait_ > 0.0) {
        wait_ -= dt;
        if (wait_ <= 0.0) state_ = next_state_;
    }

    controls_.end_step();

    switch (state_) {
        case end_turn:
            controls_.press(PlayerAction::end_turn);
            state_ = waiting;
            break;
        case start_search:
            finished_routines_.clear();
            routines_.push_back(SmartPtr<AIRoutine>(new ARFindPossibleShots(self_desc_, world_)));
            state_ = evaluate;
            break;
        case evaluate:
            if (finished) evaluate_search(finished);
            break;
        case start_walk:
            start_walking();
            break;
        case walk:
            if (jump_chance_ > 0.0f &&
                RandomInt(0, static_cast<int>(1.0 / static_cast<double>(jump_chance_))) == 0)
                controls_.set(PlayerAction::jump, 1.0f);
            controls_.set(PlayerAction::move, walk_direction_);
            break;
        case settle:
            if (rest_behavior_ && rest_behavior_->is_resting()) {
                next_state_ = follow_state_;
                wait_ = follow_wait_;
                state_ = waiting;
            }
            break;
        case aim:
            turn_aim(dt);
            break;
        case fire:
            if (charge_left_ > 0.0) {
                charge_left_ -= dt;
                controls_.set(PlayerAction::fire, 1.0f);
            } else {
                controls_.set(PlayerAction::fire, 0.0f);
            }
            break;
        default:
            break;
    }
}

void AIPlayer::evaluate_search(AIRoutine* routine) {
    auto* search = dynamic_cast<ARFindPossibleShots*>(routine);
    if (!search) throw Error("Expected routine ARFindPossibleShots!");

    if (search->shots.empty()) {
        if (attempts_ < kMaxWalks) {
            attempts_ += 1;
            state_ = start_walk;
        } else {
            next_state_ = end_turn;
            wait_ = kPause;
            attempts_ += 1;
        }
        return;
    }

    const Shot best = search->choose_best_shot(kEnemyWeight, kOwnWeight, self_weight_);
    if (best.self_hit != 0 && attempts_ < 1) {
        attempts_ += 1;
        self_weight_ = kLaterSelfWeight;
        state_ = start_walk;
        return;
    }
    take_shot(best);
}

void AIPlayer::take_shot(const Shot& best) {
    if (!world_.scene) throw Error("The computer player's world has no scene.");
    const float max_velocity = world_.scene->weapons.get_child("grenade").get<float>("maxVelocity");
    const double max_shoot_time = world_.config ? world_.config->maxShootTime : MatchConfig().maxShootTime;

    aim_reference_ = vector3(best.velocity.x * -kSpeedMargin, best.velocity.y * -kSpeedMargin, 0.0f);
    aim_reference_.x *= aim_error_factor(1.0f);
    aim_reference_.y *= aim_error_factor(1.0f);
    const float time_per_speed = static_cast<float>(max_shoot_time / max_velocity);
    const float length = std::sqrt(Dot(aim_reference_, aim_reference_));
    const float charge = aim_error_factor(1.0f) * length * time_per_speed;
    charge_left_ = charge;

    state_ = waiting;
    next_state_ = aim;
    wait_ = kPause;
    attempts_ += 1;
}

void AIPlayer::start_walking() {
    jump_chance_ = static_cast<float>(attempts_ + 1) / 1000.0f;
    vector3 n;
    if (body_behavior_ && body_behavior_->soft_body()) n = body_behavior_->soft_body()->touch_normal();
    const vector3 g = world_.gravity();
    walk_direction_ = -n.x * g.y + n.y * g.x > 0.0f ? 1.0f : -1.0f;
    state_ = walk;
    wait_ = RandomDouble(attempts_, attempts_ + 2);
    next_state_ = settle;
    follow_wait_ = kSettleWait;
    follow_state_ = start_search;
}

void AIPlayer::turn_aim(double dt) {
    if (!aim_behavior_) return;
    const vector3 t(aim_reference_.y, -aim_reference_.x, 0.0f);
    const float c0 = Dot(aim_behavior_->direction(), t);
    const float s = c0 < 0.0f ? -1.0f : 1.0f;
    controls_.set(PlayerAction::aim, s);

    const float speed = world_.config ? world_.config->aimRotationSpeed : MatchConfig().aimRotationSpeed;
    const float a0 = aim_behavior_->angle();
    aim_behavior_->set_angle(static_cast<float>(a0 + s * speed * dt));
    const float c1 = Dot(aim_behavior_->direction(), t);
    if (c1 * c0 <= 1e-6f) {
        next_state_ = fire;
        wait_ = kPause;
        state_ = waiting;
    }
    aim_behavior_->set_angle(a0);
}

void AIPlayer::debug_draw() {
    for (SmartPtr<AIRoutine>& routine : routines_) routine->debug_draw();
    for (SmartPtr<AIRoutine>& routine : finished_routines_) routine->debug_draw();
}

}  // namespace vo
