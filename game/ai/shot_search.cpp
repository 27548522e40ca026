#include "game/ai/shot_search.h"

#include "engine/core/error.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"
#include "engine/scene/transform_behavior.h"
#include "game/ai/ai_random.h"
#include "game/behaviors/soft_body.h"
#include "game/level/explosion_type_defaults.h"
#include "game/level/level_scene.h"

#include <boost/property_tree/ptree.hpp>

#include <cmath>
#include <iostream>
#include <string>

namespace vo {

namespace {

// Angles of the sweep, in degrees.
constexpr float kSweepStep = 4.0f;
constexpr float kSweepStartFraction = 0.0001f;
constexpr float kSweepEnd = 181.0f;
// Beyond this angle a candidate without a solution ends the sweep.
constexpr float kSweepGiveUp = 45.0f;
constexpr int kPathPoints = 10;

vector2 Add(const vector2& a, const vector2& b) { return vector2(a.x + b.x, a.y + b.y); }
vector2 Sub(const vector2& a, const vector2& b) { return vector2(a.x - b.x, a.y - b.y); }
vector2 Scaled(const vector2& a, float s) { return vector2(a.x * s, a.y * s); }
float Dot(const vector2& a, const vector2& b) { return a.x * b.x + a.y * b.y; }
float Length(const vector2& a) { return std::sqrt(Dot(a, a)); }
vector2 XY(const vector3& v) { return vector2(v.x, v.y); }

// A sweep candidate.
struct Candidate {
    ShotSolution solution;
    bool usable = false;
};

}  // namespace

int LineCircleIntersection(float& t0, float& t1, const vector2& P, const vector2& D, const vector2& C, float r) {
    const float dd = Dot(D, D);
    float t = 0.0f;
    vector2 foot = P;
    if (dd > 1e-6f) {
        t = Dot(D, Sub(C, P)) / dd;
        foot = Add(P, Scaled(D, t));
    }
    const float dist = Length(Sub(foot, C));
    if (dist > r) return 0;
    if (dist > r - 1e-6f) {
        t0 = t1 = t;
        return 1;
    }
    const float length = std::sqrt(dd);
    if (length == 0.0f) {
        t0 = t1 = 0.0f;
        return 0;
    }
    const float h = std::sqrt(r * r - dist * dist) / length;
    t0 = t + h;
    t1 = t - h;
    return 2;
}

void ShotSolution::solve(const vector2& from, const vector2& to, vector2 d, const vector2& g) {
    start = from;
    target = to;
    gravity = g;
    velocity = vector2();
    flight_time = 0.0f;
    up = Scaled(g, -1.0f);
    const float g_length = Length(up);
    if (g_length > 0.0f) up *= 1.0f / g_length;
    right = vector2(up.y, -up.x);

    if (std::fabs(Dot(right, d)) < 1e-6f) d += Scaled(right, 0.001f);

    const vector2 D = Sub(target, start);
    const float a = Dot(right, d);
    const float b = Dot(right, D);
    const float c = Dot(up, d);
    const float e = Dot(up, D);
    if (a == 0.0f) return;

    const float den = 2.0f * (a * a * e - a * c * b);
    if (std::fabs(den) > 1e-6f) {
        const float k = b * b * Dot(g, up) / den;
        if (k > 0.0f) {
            velocity = Scaled(d, std::sqrt(k));
            flight_time = b / Dot(velocity, right);
        }
    }
}

bool ShotSolution::path(std::vector<vector2>& out, int n) const {
    out.clear();
    if (!has_velocity()) return false;
    out.push_back(start);
    for (int i = 1; i <= n - 2; ++i) {
        const float t = flight_time * static_cast<float>(i) / static_cast<float>(n - 1);
        out.push_back(Add(Add(start, Scaled(velocity, t)), Scaled(gravity, t * t / 2.0f)));
    }
    out.push_back(target);
    return true;
}

void TrimUsableRuns(std::vector<bool>& usable) {
    bool at_start = true;
    const std::size_t n = usable.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (!usable[i]) continue;
        const bool prev = i > 0 && usable[i - 1];
        const bool next = i + 1 < n && usable[i + 1];
        if (at_start && !prev && next) {
            usable[i] = false;
            at_start = false;
        } else if (!at_start && prev && !next) {
            usable[i] = false;
            at_start = true;
        }
    }
}

vector2 SweepDirection(float a, const vector2& right, const vector2& up) {
    const float r = a * 3.1415927f / 180.0f;
    vector2 sc(std::sin(r), 5.0f * std::cos(r));
    const float length = Length(sc);
    if (length > 0.0f) sc *= 1.0f / length;
    return Add(Scaled(right, sc.x), Scaled(up, sc.y));
}

ARFindPossibleShots::ARFindPossibleShots(const EntityDesc& self, const WorldDesc& world)
    : self_desc_(self), world_(world) {
    spheres_.reserve(world_.entities.size());
    for (const EntityDesc& desc : world_.entities) {
        const behaviors::SoftBody* body = desc.entity ? desc.entity->get_behavior<behaviors::SoftBody>() : nullptr;
        if (body && body->soft_body()) {
            spheres_.push_back(body->soft_body()->calculate_bounding_sphere());
        } else {
            std::cout << "WARNING: Non-Softbody entity encountered in ARFindPossibleShots\n" << std::flush;
            spheres_.push_back(Sphere());
        }
    }
}

ARFindPossibleShots::~ARFindPossibleShots() = default;

vector2 ARFindPossibleShots::position_2d(const Entity* entity) {
    vector3 p;
    if (!GetPosition(entity, p)) throw Error("Couldn't retreive position from entity!");
    return XY(p);
}

float ARFindPossibleShots::blast_radius() const {
    if (!world_.scene) return ExplosionTypeDefaults::radius;
    const ptree& weapons = world_.scene->weapons;
    const std::string type = weapons.get<std::string>("grenade.explosionType", "normal");
    return weapons.get<float>(ptree::path_type("explosionTypes." + type + ".radius", '.'),
                              ExplosionTypeDefaults::radius);
}

void ARFindPossibleShots::retain_entities(const WorldDesc& fresh) {
    std::vector<EntityDesc> kept;
    std::vector<Sphere> kept_spheres;
    for (std::size_t i = 0; i < world_.entities.size(); ++i) {
        if (fresh.index_of(world_.entities[i].entity) < 0) continue;
        kept.push_back(world_.entities[i]);
        kept_spheres.push_back(spheres_[i]);
    }
    world_ = fresh;
    world_.entities = std::move(kept);
    spheres_ = std::move(kept_spheres);
}

bool ARFindPossibleShots::run() {
    const vector2 g = XY(world_.gravity());
    const vector2 right = XY(world_.right_direction());
    const vector2 up = XY(world_.up_direction());
    const vector2 pos = position_2d(self_desc_.entity);

    if (!world_.scene) throw Error("The computer player's world has no scene.");
    const ptree& grenade = world_.scene->weapons.get_child("grenade");
    const float max_velocity = grenade.get<float>("maxVelocity");
    const float radius = blast_radius();

    shots.clear();
    const int self_index = world_.index_of(self_desc_.entity);
    if (self_index < 0) throw Error("Current actor not included in world entity desc!");

    for (std::size_t j = 0; j < world_.entities.size(); ++j) {
        if (world_.entities[j].team == self_desc_.team) continue;
        search_target(j, self_index, pos, right, up, g, max_velocity, radius);
    }
    return true;
}

void ARFindPossibleShots::search_target(std::size_t target, int self_index, const vector2& pos,
                                        const vector2& right, const vector2& up, const vector2& g,
                                        float max_velocity, float radius) {
    const vector2 tpos = position_2d(world_.entities[target].entity);
    const float step = Dot(right, Sub(tpos, pos)) > 0.0f ? kSweepStep : -kSweepStep;
    const int target_index = static_cast<int>(target);

    std::vector<Candidate> candidates;
    std::vector<vector2> path;
    for (float a = step * kSweepStartFraction; std::fabs(a) < kSweepEnd; a += step) {
        Candidate candidate;
        candidate.solution.solve(pos, tpos, SweepDirection(a, right, up), g);
        const ShotSolution& sol = candidate.solution;
        if (sol.has_velocity() && Length(sol.velocity) <= max_velocity) {
            sol.path(path, kPathPoints);
            candidate.usable = true;
            for (std::size_t i = 1; i < path.size(); ++i) {
                if (world_.segment_hits_level(path[i - 1], path[i])) {
                    candidate.usable = false;
                    break;
                }
                const int hit = first_hit_sphere(path[i - 1], path[i]);
                if (hit != -1 && hit != self_index && hit != target_index) {
                    candidate.usable = false;
                    break;
                }
            }
        } else if (std::fabs(a) > kSweepGiveUp) {
            break;
        }
        candidates.push_back(candidate);
    }

    std::vector<bool> usable(candidates.size());
    for (std::size_t i = 0; i < candidates.size(); ++i) usable[i] = candidates[i].usable;
    TrimUsableRuns(usable);

    const ShotSolution* best = nullptr;
    float best_speed2 = 0.0f;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (!usable[i]) continue;
        const float speed2 = Dot(candidates[i].solution.velocity, candidates[i].solution.velocity);
        if (!best || speed2 < best_speed2) {
            best = &candidates[i].solution;
            best_speed2 = speed2;
        }
    }
    if (!best) return;

    const Sphere blast(tpos, radius);
    Shot shot;
    shot.start = pos;
    shot.velocity = best->velocity;
    for (std::size_t k = 0; k < spheres_.size(); ++k) {
        if (!spheres_[k].intersects(blast)) continue;
        if (k >= world_.entities.size()) throw Error("Entity descs and entity spheres out of sync!");
        const EntityDesc& desc = world_.entities[k];
        if (desc.team == self_desc_.team) {
            if (desc.entity == self_desc_.entity)
                shot.self_hit = 1;
            else
                shot.own_hit += 1;
        } else {
            shot.enemies_hit += 1;
        }
    }
    shots.push_back(shot);
}

int ARFindPossibleShots::first_hit_sphere(const vector2& p, const vector2& q) const {
    const vector2 d = Sub(q, p);
    for (std::size_t k = 0; k < spheres_.size(); ++k) {
        float t0 = 0.0f;
        float t1 = 0.0f;
        const int count = LineCircleIntersection(t0, t1, p, d, XY(spheres_[k].center()), spheres_[k].radius());
        const bool hit = (count == 1 && t0 >= 0.0f && t0 <= 1.0f) ||
                         (count == 2 && ((t0 >= 0.0f && t0 <= 1.0f) || (t1 >= 0.0f && t1 <= 1.0f)));
        if (hit) return static_cast<int>(k);
    }
    return -1;
}

Shot ARFindPossibleShots::choose_best_shot(float enemy_weight, float own_weight, float self_weight) const {
    if (shots.empty()) throw Error("There are no possible shots from which the best one could be chosen.");
    std::vector<const Shot*> best;
    float best_score = 0.0f;
    for (const Shot& shot : shots) {
        const float score = shot.score(enemy_weight, own_weight, self_weight);
        if (best.empty() || score > best_score) {
            best.assign(1, &shot);
            best_score = score;
        } else if (score == best_score) {
            best.push_back(&shot);
        }
    }
    if (best.size() > 1) return *best[static_cast<std::size_t>(RandomIndex(static_cast<int>(best.size())))];
    return *best.front();
}

}  // namespace vo
