#include "engine/scene/entity.h"

#include "engine/core/crc32.h"

#include <cstring>
#include <utility>

namespace vo {

const char* Entity::TYPE_NAME() { return "Entity"; }

unsigned int Entity::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

Entity::Entity() = default;

Entity::Entity(const Entity& source)
    : Object(),
      killed_(source.killed_),
      has_bounding_box_(source.has_bounding_box_),
      bounding_box_(source.bounding_box_) {}

Entity::~Entity() {
    // Each behavior is finalized and deleted before the next one is
    // finalized; it leaves the lists first, so that later behaviors looking
    // up their siblings never see a deleted one.
    while (!behaviors_.empty()) {
        std::unique_ptr<BehaviorEntry> entry = std::move(behaviors_.front());
        behaviors_.erase(behaviors_.begin());
        entry->behavior->finalize(this);
        for (auto it = event_behaviors_.begin(); it != event_behaviors_.end(); ++it) {
            if (*it == entry.get()) {
                event_behaviors_.erase(it);
                break;
            }
        }
        entry->behavior.reset();
    }
}

const char* Entity::object_type_name() const { return TYPE_NAME(); }
unsigned int Entity::object_type_id() const { return TYPE_ID(); }

// The loops below go by index and read the count again after every call: a
// behavior may add behaviors to its entity while it is being called.

void Entity::get_properties(ParameterStack& params) const {
    for (std::size_t i = 0; i < behaviors_.size(); ++i) behaviors_[i]->behavior->get_properties(params);
}

void Entity::set_properties(ParameterStack& params) {
    for (std::size_t i = 0; i < behaviors_.size(); ++i) behaviors_[i]->behavior->set_properties(params);
}

void Entity::initialize() {
    for (std::size_t i = 0; i < behaviors_.size(); ++i) behaviors_[i]->behavior->initialize(this);
}

void Entity::serialize(BinaryBuffer&) const {}
void Entity::deserialize(BinaryBuffer&) {}

void Entity::get_edit_grips(std::vector<SmartPtr<EditGrip>>& grips) {
    for (std::size_t i = 0; i < behaviors_.size(); ++i) behaviors_[i]->behavior->get_edit_grips(grips);
}

Entity* Entity::clone() const {
    std::unique_ptr<Entity> copy(new Entity(*this));
    copy->clone_behaviors(*this);
    return copy.release();
}

void Entity::clone_behaviors(const Entity& source) {
    for (std::size_t i = 0; i < source.behaviors_.size(); ++i) {
        const BehaviorEntry& entry = *source.behaviors_[i];
        std::unique_ptr<IBehavior> behavior(entry.behavior->clone());
        add_behavior_entry(std::move(behavior), entry.type_key, entry.name.c_str());
    }
}

void Entity::update(float dt) {
    bool has_box = false;
    AABox accumulated;
    for (std::size_t i = 0; i < behaviors_.size(); ++i) {
        IBehavior* behavior = behaviors_[i]->behavior.get();
        behavior->update(dt);
        AABox box;
        if (behavior->bounding_box(box)) {
            accumulated = has_box ? AABox(accumulated, box) : box;
            has_box = true;
        }
    }
    last_bounding_box_ = bounding_box_;
    has_last_bounding_box_ = has_bounding_box_;
    bounding_box_ = accumulated;
    has_bounding_box_ = has_box;
    last_dt_ = static_cast<double>(dt);
}

void Entity::handle_game_event(const GameEvent& event) {
    for (std::size_t i = 0; i < event_behaviors_.size(); ++i) event_behaviors_[i]->behavior->handle_game_event(event);
}

void Entity::add_behavior_entry(std::unique_ptr<IBehavior> behavior, unsigned int type_key, const char* name) {
    std::unique_ptr<BehaviorEntry> entry(new BehaviorEntry{std::move(behavior), type_key, name ? name : ""});
    BehaviorEntry* raw = entry.get();
    const bool accepts_events = raw->behavior->accepts_game_events();
    if (accepts_events) event_behaviors_.reserve(event_behaviors_.size() + 1);
    behaviors_.push_back(std::move(entry));
    if (accepts_events) event_behaviors_.push_back(raw);  // cannot throw: room reserved above
}

IBehavior* Entity::get_behavior_by_key(unsigned int type_key, const char* name) const {
    for (const auto& entry : behaviors_) {
        if (entry->type_key != type_key) continue;
        if (name && entry->name != name) continue;
        return entry->behavior.get();
    }
    return nullptr;
}

IBehavior* Entity::get_behavior_by_name(const char* name) const {
    if (!name) return nullptr;
    for (const auto& entry : behaviors_) {
        if (entry->name == name) return entry->behavior.get();
    }
    return nullptr;
}

bool Entity::bounding_box(AABox& out) const {
    out = bounding_box_;
    return has_bounding_box_;
}

bool Entity::last_bounding_box(AABox& out) const {
    out = last_bounding_box_;
    return has_last_bounding_box_;
}

}  // namespace vo
