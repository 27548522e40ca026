#include "engine/scene/scene2d.h"

#include "engine/core/binary_buffer.h"
#include "engine/core/crc32.h"
#include "engine/core/error.h"
#include "engine/core/profiler.h"
#include "engine/physics/physics_handler.h"
#include "engine/scene/entity.h"
#include "engine/scene/game_event.h"

#include <boost/signals2/optional_last_value.hpp>
#include <boost/signals2/signal.hpp>

#include <cmath>

namespace vo {

namespace {

const std::uint32_t kSnapshotMagic = 0x000100CF;

}  // namespace

// The event listener: a signal whose result is the last slot's answer, empty
// when no slot is connected.
struct Scene2d::Listener {
    boost::signals2::signal<bool(const GameEvent*), boost::signals2::optional_last_value<bool>> signal;
};

// IScene

const char* IScene::TYPE_NAME() { return "IScene"; }

unsigned int IScene::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

IScene::~IScene() = default;

const char* IScene::object_type_name() const { return TYPE_NAME(); }

unsigned int IScene::object_type_id() const { return TYPE_ID(); }

// Scene2d

const char* Scene2d::TYPE_NAME() { return "Scene2d"; }

unsigned int Scene2d::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

Scene2d::Scene2d() : root_(GroupNode::create()), physics_(new PhysicsHandler()), listener_(new Listener) {}

Scene2d::~Scene2d() {
    clear(true);
    delete physics_;
    physics_ = nullptr;
}

const char* Scene2d::object_type_name() const { return TYPE_NAME(); }

unsigned int Scene2d::object_type_id() const { return TYPE_ID(); }

void Scene2d::update(float dt) {
    VO_PROFILE_ZONE("Scene2d_update");

    time_ += static_cast<double>(dt);

    // Take out every event that is due now. Events emitted while these are
    // delivered are queued anew and wait for the next update.
    std::vector<std::unique_ptr<const GameEvent>> due;
    auto end = events_.begin();
    while (end != events_.end() && end->first <= time_) {
        due.emplace_back(end->second);
        ++end;
    }
    events_.erase(events_.begin(), end);
    for (auto& event : due) {
        handle_event(event.get());
        event.reset();
    }

    // Unlink the killed entities first, then delete them in list order: their
    // behaviors' finalize may still call back into this scene.
    std::vector<Entity*> killed;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entities_.size(); ++i) {
        if (entities_[i].first->was_killed()) {
            killed.push_back(entities_[i].first);
        } else {
            entities_[kept++] = entities_[i];
        }
    }
    entities_.resize(kept);
    for (Entity* entity : killed) delete entity;

    physics_->update(static_cast<double>(dt));

    // Entities added during this loop are updated in this step as well.
    for (std::size_t i = 0; i < entities_.size(); ++i) entities_[i].first->update(dt);

    camera_.update(static_cast<double>(dt));
}

void Scene2d::draw() { renderer_.render(root_); }

void Scene2d::add_entity(Entity* entity, bool initialize) {
    entity->set_scene(this, nullptr);
    if (initialize) entity->initialize();
    entities_.emplace_back(entity, initialize);
}

void Scene2d::add_visual(SmartPtr<Node> node, Entity*, VisualType type) {
    if (type == VISUAL_TYPE_1) type1_visuals_.push_back(node);
    root_->add_child(node);
}

void Scene2d::remove_visual(SmartPtr<Node> node, Entity*) {
    root_->remove_child(node);
    for (auto it = type1_visuals_.begin(); it != type1_visuals_.end(); ++it) {
        if (it->get() == node.get()) {
            type1_visuals_.erase(it);
            break;
        }
    }
}

PhysicsHandler* Scene2d::physics_handler() { return physics_; }

const PhysicsHandler* Scene2d::physics_handler() const { return physics_; }

Camera2DPerspective& Scene2d::camera() { return camera_; }

void Scene2d::emit_event(const GameEvent* event, double delay) {
    if (!event) return;
    if (!std::isfinite(delay)) delay = 0.0;
    // insert places the entry after those with the same due time
    events_.insert(QueuedEvents::value_type(time_ + delay, event));
}

bool Scene2d::evaluate_entities(const EntityPredicate& predicate, BooleanEvaluation mode) {
    if (entities_.empty()) return false;
    if (mode == BOOLEAN_EVALUATION_ALL) {
        bool result = true;
        for (std::size_t i = 0; i < entities_.size(); ++i) result = predicate(entities_[i].first) && result;
        return result;
    }
    if (mode == BOOLEAN_EVALUATION_ANY) {
        bool result = false;
        for (std::size_t i = 0; i < entities_.size(); ++i) result = predicate(entities_[i].first) || result;
        return result;
    }
    return false;
}

void Scene2d::serialize(BinaryBuffer& buffer) const {
    buffer.write<std::uint32_t>(kSnapshotMagic);
    buffer.write<std::uint32_t>(static_cast<std::uint32_t>(entities_.size()));
    for (const auto& item : entities_) {
        buffer.write<std::uint32_t>(item.first->object_type_id());
        item.first->serialize(buffer);
    }
    buffer.write<std::uint32_t>(kSnapshotMagic);
}

void Scene2d::deserialize(BinaryBuffer& buffer) {
    clear(true);
    // Every read is bounded by the written data: a short buffer throws Error.
    if (buffer.read<std::uint32_t>() != kSnapshotMagic) throw Error("Magic number mismatch at check 1.");
    const std::uint32_t count = buffer.read<std::uint32_t>();
    if (count == 0) {
        if (buffer.read<std::uint32_t>() != kSnapshotMagic) throw Error("Magic number mismatch at check 2.");
        return;
    }
    buffer.read<std::uint32_t>();  // the first entity's type id
    throw Error("Incomplete implementation. Please create the entity!");
}

void Scene2d::clear(bool delete_entities) {
    physics_->clear();

    // Unlink the list first: deleting an entity finalizes its behaviors,
    // which may call back into this scene.
    std::vector<std::pair<Entity*, bool>> entities;
    entities.swap(entities_);
    for (auto& item : entities) {
        if (delete_entities) {
            delete item.first;
        } else {
            item.first->set_scene(nullptr, nullptr);
        }
    }

    delete_queued_events();
    root_ = GroupNode::create();
    type1_visuals_.clear();
}

bool Scene2d::handle_event(const GameEvent* event) {
    const boost::optional<bool> consumed = listener_->signal(event);
    if (consumed && *consumed) return true;
    for (std::size_t i = 0; i < entities_.size(); ++i) entities_[i].first->handle_game_event(*event);
    return false;
}

boost::signals2::connection Scene2d::connect_event_listener(std::function<bool(const GameEvent*)> slot) {
    // Every slot goes to the back of one group: the call order of ungrouped
    // slots, but the signal library's connect starts from a complete group
    // key (its ungrouped path leaves part of the key unset, which g++ 12
    // reports as maybe uninitialised).
    return listener_->signal.connect(0, slot);
}

void Scene2d::delete_queued_events() {
    QueuedEvents events;
    events.swap(events_);
    for (auto& item : events) delete item.second;
}

}  // namespace vo
