#pragma once

#include "engine/core/smart_ptr.h"
#include "engine/scene/camera_2d_perspective.h"
#include "engine/scene/scene.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/traverser_renderer.h"

#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace boost {
namespace signals2 {
class connection;
}  // namespace signals2
}  // namespace boost

namespace vo {

// The two-dimensional scene. Once per fixed step the game calls update, which
// in this order advances the scene time, delivers the events that have
// fallen due (to the listener, then, unless it consumed them, to every
// entity), deletes the entities flagged as killed, steps the physics, updates
// every entity and finally the camera; draw renders the scene graph (the
// caller applies the camera first).
class Scene2d : public IScene {
public:
    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    Scene2d();
    // clear(true), then the physics handler is deleted.
    ~Scene2d() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;

    void update(float dt) override;
    void draw() override;
    void add_entity(Entity* entity, bool initialize) override;
    void add_visual(SmartPtr<Node> node, Entity* entity, VisualType type) override;
    void remove_visual(SmartPtr<Node> node, Entity* entity) override;
    PhysicsHandler* physics_handler() override;
    // A delay that is not a finite number counts as 0.
    void emit_event(const GameEvent* event, double delay) override;
    // false without entities; the predicate is called for every entity.
    bool evaluate_entities(const EntityPredicate& predicate, BooleanEvaluation mode) override;
    // Magic 0x000100CF, the number of entities, each entity's type id and
    // data, the magic again.
    void serialize(BinaryBuffer& buffer) const override;
    // Clears the scene, then checks the snapshot. Only an empty scene can be
    // restored; anything else throws Error (the scene stays empty).
    void deserialize(BinaryBuffer& buffer) override;

    virtual const PhysicsHandler* physics_handler() const;
    virtual Camera2DPerspective& camera();

    // The entity at index (below num_entities()).
    Entity* entity(unsigned int index) { return entities_[index].first; }
    unsigned int num_entities() const { return static_cast<unsigned int>(entities_.size()); }

    // Empties the physics handler, deletes (true) or detaches (false) every
    // entity, drops the queued events and the scene graph. Time, camera and
    // listener connections stay.
    void clear(bool delete_entities);

    // Connects method, bound to object, to the event listener: it sees every
    // due event first and consumes it by returning true. Each listener class
    // can be connected once per process; a second call throws Error. Defined
    // in engine/scene/scene2d_event_listener.h (which brings in the signal
    // library's connection): include that header to call it.
    template <class T>
    boost::signals2::connection set_event_listener(T* object, bool (T::*method)(const GameEvent*));

protected:
    bool handle_event(const GameEvent* event) override;

    // The scene time in seconds; only update advances it.
    double scene_time() const { return time_; }
    // The nodes added with visual type 1, in the order of addition.
    const std::vector<SmartPtr<Node>>& type1_visuals() const { return type1_visuals_; }
    Traverser_Renderer& renderer() { return renderer_; }
    SmartPtr<GroupNode> root() const { return root_; }

private:
    using QueuedEvents = std::multimap<double, const GameEvent*>;
    struct Listener;

    boost::signals2::connection connect_event_listener(std::function<bool(const GameEvent*)> slot);
    void delete_queued_events();

    Camera2DPerspective camera_;
    std::vector<std::pair<Entity*, bool>> entities_;
    Traverser_Renderer renderer_;
    SmartPtr<GroupNode> root_;
    PhysicsHandler* physics_ = nullptr;  // owned
    double time_ = 0.0;
    std::vector<SmartPtr<Node>> type1_visuals_;
    QueuedEvents events_;  // equal due times keep the order of emission
    std::unique_ptr<Listener> listener_;
};

}  // namespace vo
