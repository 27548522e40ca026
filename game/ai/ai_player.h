#pragma once

// The computer player. It never moves a slob, turns an aim or throws by
// itself: each step it writes actions into its own PlayerControls, and the
// match hands exactly those to the turn control that human players go
// through. A turn: search for shots; walk elsewhere when there is none (or
// when the first best shot would hit the thrower) and search again; turn the
// aim onto the chosen shot; hold fire for the computed charge; let go. The
// difficulty scales a random error on the aim and the charge.

#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "game/ai/ai_routine.h"
#include "game/ai/player_controls.h"
#include "game/ai/shot_search.h"
#include "game/ai/world_desc.h"

#include <functional>
#include <vector>

namespace vo {

namespace behaviors {
class Aim;
class Rest;
class SoftBody;
}  // namespace behaviors

class AIPlayer {
public:
    // The states of a turn.
    enum State : int {
        waiting = 0,
        end_turn = 1,
        start_search = 3,
        evaluate = 4,
        start_walk = 6,
        walk = 7,
        settle = 8,
        aim = 9,
        fire = 10
    };

    // How much each difficulty (0 easy, 1 normal, 2 hard) spreads the aim
    // and the charge.
    static constexpr float ERROR_SPREAD[3] = {0.4f, 0.2f, 0.0f};

    AIPlayer();
    ~AIPlayer();
    AIPlayer(const AIPlayer&) = delete;
    AIPlayer& operator=(const AIPlayer&) = delete;

    // Prepares the turn of the slob that self names, with a copy of the
    // world; the first step starts a search.
    void begin_turn(const EntityDesc& self, const WorldDesc& world);
    // One step of the turn. Throws Error when a finished routine is not a
    // shot search, and lets the search's errors and those of a weapons tree
    // without "grenade.maxVelocity" through.
    void update(double dt);
    // The routines' debug drawing: pending ones, then finished ones.
    void debug_draw();

    // Where a fresh description of the world comes from. When set, every
    // step compares it with the one in use: slobs that have gone since
    // (died, fallen out) are dropped from it and from a search in progress,
    // so that no step reads a slob the scene has already deleted.
    void set_world_source(std::function<WorldDesc()> source) { world_source_ = std::move(source); }

    // 1 + u e - e / 2 with e = the difficulty's spread times x and u a new
    // draw in [0, 1); one draw on every call.
    float aim_error_factor(float x);

    PlayerControls& controls() { return controls_; }
    int difficulty = 1;

    // Inspection.
    int state() const { return state_; }
    int next_state() const { return next_state_; }
    double wait() const { return wait_; }
    int attempts() const { return attempts_; }
    float self_weight() const { return self_weight_; }
    const vector3& aim_reference() const { return aim_reference_; }
    double charge_left() const { return charge_left_; }
    float walk_direction() const { return walk_direction_; }
    float jump_chance() const { return jump_chance_; }
    const EntityDesc& self_desc() const { return self_desc_; }
    const WorldDesc& world() const { return world_; }
    const std::vector<SmartPtr<AIRoutine>>& routines() const { return routines_; }
    const std::vector<SmartPtr<AIRoutine>>& finished_routines() const { return finished_routines_; }

private:
    void refresh_world();
    void evaluate_search(AIRoutine* routine);
    void take_shot(const Shot& best);
    void start_walking();
    void turn_aim(double dt);

    EntityDesc self_desc_;
    WorldDesc world_;
    PlayerControls controls_;
    int state_ = waiting;
    int next_state_ = waiting;
    double wait_ = -1.0;
    behaviors::SoftBody* body_behavior_ = nullptr;
    behaviors::Aim* aim_behavior_ = nullptr;
    behaviors::Rest* rest_behavior_ = nullptr;
    int attempts_ = 0;
    float self_weight_ = -0.01f;
    vector3 aim_reference_;
    double charge_left_ = 0.0;
    float walk_direction_ = 1.0f;
    float jump_chance_ = 0.0f;
    double follow_wait_ = 0.0;
    int follow_state_ = waiting;
    std::vector<SmartPtr<AIRoutine>> routines_;
    std::vector<SmartPtr<AIRoutine>> finished_routines_;
    std::function<WorldDesc()> world_source_;
};

}  // namespace vo
