#pragma once

// The computer player's shot search: for the acting slob, against every
// living enemy slob, the slowest grenade throw whose parabola reaches the
// enemy without crossing the level or another slob, with the slobs its blast
// would reach; then a weighted choice among those throws.
//
// Pure geometry on the match's state: the grenade is a point under gravity,
// the slobs are circles, the level is its collision edges; bouncing, fuses
// and the slobs' motion during the flight are not considered.

#include "engine/core/sphere.h"
#include "engine/core/vector.h"
#include "game/ai/ai_routine.h"
#include "game/ai/world_desc.h"

#include <vector>

namespace vo {

// Crossings of the line P + D t with the circle (C, r). Returns 2 with
// t0 > t1 when the line cuts the circle, 1 with t0 = t1 when it touches it,
// 0 when it misses (t0 and t1 untouched) or when D is zero inside the circle
// (t0 = t1 = 0).
int LineCircleIntersection(float& t0, float& t1, const vector2& P, const vector2& D, const vector2& C, float r);

// The launch velocity along a direction that carries a point under gravity
// from a start to a target, and its flight time. All zero when made.
struct ShotSolution {
    vector2 start;
    vector2 target;
    vector2 velocity;
    vector2 gravity;
    vector2 up;
    vector2 right;
    float flight_time = 0.0f;

    // Solves for the speed along d; the velocity stays zero when no positive
    // speed reaches the target along d.
    void solve(const vector2& start, const vector2& target, vector2 d, const vector2& g);
    // The start, n - 2 points at equal time steps and the target; false and
    // nothing when there is no velocity.
    bool path(std::vector<vector2>& out, int n) const;
    bool has_velocity() const { return velocity.x * velocity.x + velocity.y * velocity.y > 0.0f; }
};

// One throw found by the search.
struct Shot {
    vector2 start;
    vector2 velocity;
    int enemies_hit = 0;  // slobs of other teams inside the blast at the target
    int own_hit = 0;      // team mates inside it
    int self_hit = 0;     // 1 when the thrower is inside it

    // enemies * enemy_weight + own * own_weight + self * self_weight.
    float score(float enemy_weight, float own_weight, float self_weight) const {
        return static_cast<float>(enemies_hit) * enemy_weight + static_cast<float>(own_hit) * own_weight +
               static_cast<float>(self_hit) * self_weight;
    }
};

// The trimming of a sweep: in every run of usable candidates the first and
// the last are dropped, a lone one stays, and a run of two loses its first
// and makes the next run lose its last instead of its first.
void TrimUsableRuns(std::vector<bool>& usable);

// The sweep's direction at angle a (degrees from up, positive towards
// right), crowded towards up by a factor 5 on the upward part.
vector2 SweepDirection(float a, const vector2& right, const vector2& up);

class ARFindPossibleShots : public AIRoutine {
public:
    // The thrower and a copy of the world; one bounding sphere per entity,
    // taken now (an entity without a soft body gets a zero sphere and a
    // warning on standard output).
    ARFindPossibleShots(const EntityDesc& self, const WorldDesc& world);
    ~ARFindPossibleShots() override;

    // The whole search; always true. Throws Error when the thrower is not
    // among the world's entities or a position cannot be read, and the tree
    // library's error when the weapons lack "grenade" or its "maxVelocity".
    bool run() override;

    // The shot with the best score enemies * enemy_weight + own * own_weight
    // + self * self_weight; equal best scores are drawn among at random.
    // Throws Error when there are no shots.
    Shot choose_best_shot(float enemy_weight, float own_weight, float self_weight) const;

    // Keeps only the entities that the fresh description still lists, with
    // the spheres taken for them, so that the search never touches a slob
    // that has gone since the routine was made. The rest of the world
    // becomes the fresh one's.
    void retain_entities(const WorldDesc& fresh);

    // The blast radius the search counts with: the radius of the grenade's
    // explosion type, 1.0 when the type or its radius is missing.
    float blast_radius() const;

    const EntityDesc& self_desc() const { return self_desc_; }
    const WorldDesc& world() const { return world_; }
    const std::vector<Sphere>& spheres() const { return spheres_; }

    std::vector<Shot> shots;

private:
    static vector2 position_2d(const Entity* entity);
    // Index of the first sphere that the segment from p to q enters; -1
    // when none.
    int first_hit_sphere(const vector2& p, const vector2& q) const;
    void search_target(std::size_t target, int self_index, const vector2& pos, const vector2& right,
                       const vector2& up, const vector2& g, float max_velocity, float radius);

    EntityDesc self_desc_;
    WorldDesc world_;
    std::vector<Sphere> spheres_;
};

}  // namespace vo
