#include "engine/physics/physics_handler.h"

#include <algorithm>
#include <cmath>

#include "engine/core/aabox.h"
#include "engine/core/error.h"
#include "engine/core/profiler.h"
#include "engine/core/rect.h"
#include "engine/physics/collision_events.h"
#include "engine/physics/particle_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/entity.h"

namespace vo {

float PhysicsHandler::PairSearchRadius(const ParticleHandler::ParticleDesc& d) {
    const float reach = d.attractionRadius > d.particleRadius ? d.attractionRadius : d.particleRadius;
    return static_cast<float>(2.0 * static_cast<double>(reach));
}

CollisionIgnoreCondition PhysicsHandler::lookup_ignore(const std::vector<IgnoredBody>& list, const SoftBody* other) {
    for (const IgnoredBody& pair : list) {
        if (pair.other == other) return pair.condition;
    }
    return COLLISION_IGNORE_NONE;
}

void PhysicsHandler::forget_pairs_naming(std::vector<IgnoredBody>& list, const SoftBody* other) {
    list.erase(std::remove_if(list.begin(), list.end(), [other](const IgnoredBody& pair) { return pair.other == other; }),
               list.end());
}

PhysicsHandler::PhysicsHandler() : gravity_(0.0f, -10.0f, 0.0f) {
    grid_.set_resolution(10, 10);
}

PhysicsHandler::~PhysicsHandler() { clear(); }

void PhysicsHandler::add(ParticleHandler* handler, Entity* entity) {
    auto* entry = new ParticleHandlerEntry();
    entry->body = handler;
    entry->entity = entity;
    particle_handlers_.push_back(entry);
    entry->list_position = std::prev(particle_handlers_.end());
}

void PhysicsHandler::add(SoftBody* body, Entity* entity) {
    auto* entry = new SoftBodyEntry();
    entry->body = body;
    entry->entity = entity;
    soft_bodies_.push_back(entry);
    entry->list_position = std::prev(soft_bodies_.end());
}

void PhysicsHandler::remove(ParticleHandler* handler) {
    ParticleHandlerEntry* entry = find_entry(handler);
    if (!entry) return;
    particle_handlers_.erase(entry->list_position);
    delete entry;
}

void PhysicsHandler::remove(SoftBody* body) {
    SoftBodyEntry* entry = find_entry(body);
    if (!entry) return;
    soft_bodies_.erase(entry->list_position);
    delete entry;
    // Another body made later at the same address must not inherit a pair.
    // A second registration of the same body keeps its pairs.
    if (find_entry(body)) return;
    for (SoftBodyEntry* other : soft_bodies_) forget_pairs_naming(other->ignore_list, body);
}

void PhysicsHandler::clear() {
    for (SoftBodyEntry* e : soft_bodies_) delete e;
    soft_bodies_.clear();
    for (ParticleHandlerEntry* e : particle_handlers_) delete e;
    particle_handlers_.clear();
    collision_tree_.reset();
    level_.invalidate();
}

void PhysicsHandler::set_collision_tree(SmartPtr<Node> tree) {
    collision_tree_ = std::move(tree);
    level_.invalidate();
}

PhysicsHandler::SoftBodyEntry* PhysicsHandler::find_entry(const SoftBody* body) const {
    for (SoftBodyEntry* e : soft_bodies_) {
        if (e->body == body) return e;
    }
    return nullptr;
}

PhysicsHandler::ParticleHandlerEntry* PhysicsHandler::find_entry(const ParticleHandler* handler) const {
    for (ParticleHandlerEntry* e : particle_handlers_) {
        if (e->body == handler) return e;
    }
    return nullptr;
}

void PhysicsHandler::ignore_collisions(SoftBody* a, SoftBody* b, CollisionIgnoreCondition condition) {
    SoftBodyEntry* ea = find_entry(a);
    SoftBodyEntry* eb = find_entry(b);
    if (!ea || !eb) throw Error("Invalid objects used in call to PhysicsHandler::ignore_collisions.");
    // A pair stored without a condition would read as not recorded and
    // shadow a real condition given later.
    if (condition == COLLISION_IGNORE_NONE) return;
    if (lookup_ignore(ea->ignore_list, b) == COLLISION_IGNORE_NONE) ea->ignore_list.push_back(IgnoredBody{b, condition});
    if (lookup_ignore(eb->ignore_list, a) == COLLISION_IGNORE_NONE) eb->ignore_list.push_back(IgnoredBody{a, condition});
}

const std::vector<PhysicsHandler::IgnoredBody>* PhysicsHandler::ignore_list(const SoftBody* body) const {
    const SoftBodyEntry* e = find_entry(body);
    return e ? &e->ignore_list : nullptr;
}

void PhysicsHandler::ignore_previous_state(SoftBody* body) {
    if (SoftBodyEntry* e = find_entry(body)) e->info.ignore_previous_state = true;
}

void PhysicsHandler::ignore_previous_state(ParticleHandler* handler) {
    if (ParticleHandlerEntry* e = find_entry(handler)) e->info.ignore_previous_state = true;
}

void PhysicsHandler::damp_softbodies(float f) {
    for (SoftBodyEntry* e : soft_bodies_) {
        SoftBody& body = *e->body;
        const int n = body.num_particles();
        for (int i = 0; i < n; ++i) {
            vector3 v = body.particle_get_velocity(i);
            v.x = v.x * f;
            v.y = v.y * f;
            v.z = v.z * f;
            body.particle_set_velocity(i, v);
        }
    }
}

void PhysicsHandler::update(double dt) {
    // The fluid forces divide by dt; a step back in time is no step.
    if (!(dt > 0.0) || !std::isfinite(dt)) return;
    VO_PROFILE_ZONE("phys_update");

    // The extent of the interacting fluid.
    bool fluid_present = false;
    AABox fluid_box;
    float search_radius = 0.0f;
    for (ParticleHandlerEntry* e : particle_handlers_) {
        ParticleHandler& h = *e->body;
        if (!h.particle_desc().particlesInteract || h.num_active_particles() == 0) continue;
        const AABox box = h.calculate_bounding_box();
        fluid_box = fluid_present ? AABox(fluid_box, box) : box;
        fluid_present = true;
        search_radius = std::max(search_radius, PairSearchRadius(h.particle_desc()));
    }

    {
        VO_PROFILE_ZONE("lavaParticles");
        grid_.clear();
        grid_.set_search_radius(search_whole_cells_ ? 0.0f : search_radius);
        if (fluid_present) {
            grid_.set_bounding_box(Rect(fluid_box.min.x - 2.0f, fluid_box.min.y - 2.0f, fluid_box.max.x + 2.0f,
                                        fluid_box.max.y + 2.0f));
            {
                VO_PROFILE_ZONE("insertParticlesIntoGrid");
                for (ParticleHandlerEntry* e : particle_handlers_) {
                    ParticleHandler& h = *e->body;
                    if (!h.particle_desc().particlesInteract) continue;
                    const unsigned int n = h.num_particles();
                    for (unsigned int i = 0; i < n; ++i) {
                        if (h.is_active(i)) grid_.insert_particle(&h, i);
                    }
                }
            }
            {
                VO_PROFILE_ZONE("adjustVelocities");
                adjust_fluid_velocities(dt);
            }
        }
        {
            VO_PROFILE_ZONE("particleHandlerUpdate");
            for (ParticleHandlerEntry* e : particle_handlers_) {
                ParticleHandler& h = *e->body;
                h.apply_force(gravity_);
                h.update(dt);
                std::vector<vector3>& previous = e->info.previous_positions;
                const unsigned int n = h.num_particles();
                if (previous.size() != n) previous.resize(n);
                for (unsigned int i = 0; i < n; ++i) previous[i] = h.last_position(i);
                resolve_geometry_collisions(h, static_cast<float>(dt), previous.data());
            }
        }
    }

    {
        VO_PROFILE_ZONE("softBodies");
        for (SoftBodyEntry* e : soft_bodies_) {
            SoftBody& body = *e->body;
            SoftBodyStateInfo& info = e->info;
            info.contact_direction = vector3(0.0f, 0.0f, 0.0f);
            info.touched_body = false;
            info.velocity_before_step = body.get_velocity();
            const std::size_t n = static_cast<std::size_t>(body.num_particles());
            if (info.previous_positions.size() != n) info.previous_positions.resize(n);
            for (std::size_t i = 0; i < n; ++i) info.previous_positions[i] = body.point_get_coords(static_cast<int>(i));
        }

        for (auto it = soft_bodies_.begin(); it != soft_bodies_.end(); ++it) {
            SoftBodyEntry& a = **it;
            SoftBody& body = *a.body;
            if (fluid_present) push_fluid_against_body(a, dt);
            body.apply_force(gravity_);
            body.update(dt);

            for (auto jt = std::next(it); jt != soft_bodies_.end(); ++jt) {
                SoftBodyEntry& b = **jt;
                if (b.body == a.body) continue;
                if (!resolve_inter_body_collisions(&a, &b)) continue;
                const vector3 ca = body.calculate_center();
                const vector3 cb = b.body->calculate_center();
                a.info.contact_direction += vector3(ca.x - cb.x, ca.y - cb.y, ca.z - cb.z);
                a.info.touched_body = true;
                b.info.contact_direction += vector3(cb.x - ca.x, cb.y - ca.y, cb.z - ca.z);
                b.info.touched_body = true;
            }

            vector3 normal(0.0f, 0.0f, 0.0f);
            bool ground = false;
            if (!a.info.ignore_previous_state) {
                ground = resolve_geometry_collisions(body, a.info.previous_positions.data(), &normal);
            }

            if (!a.info.touched_body && !ground) {
                body.set_touches_something(false, false, vector3(0.0f, 0.0f, 0.0f));
            } else {
                vector3& dir = a.info.contact_direction;
                NormalizeVector3(dir, dir);
                const vector3 s(normal.x + dir.x, normal.y + dir.y, normal.z + dir.z);
                const float len2 = ((s.x * s.x + 0.0f) + s.y * s.y) + s.z * s.z;
                const float len = static_cast<float>(std::sqrt(static_cast<double>(len2)));
                float tx = s.x;
                float ty = s.y;
                if (len > 0.0f) {
                    tx = s.x / len;
                    ty = s.y / len;
                }
                body.set_touches_something(ground, a.info.touched_body, vector3(tx, ty, 0.0f));
            }

            if (ground && a.entity) {
                EntityWorldCollisionEvent event(a.entity, a.info.velocity_before_step, normal);
                a.entity->handle_game_event(event);
            }
            a.info.ignore_previous_state = false;
        }
    }
}

}  // namespace vo
