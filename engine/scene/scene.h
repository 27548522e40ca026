#pragma once

#include "engine/core/object.h"
#include "engine/core/smart_ptr.h"

#include <functional>

namespace vo {

class BinaryBuffer;
class Entity;
class GameEvent;
class Node;
class PhysicsHandler;

// How Scene2d::evaluate_entities combines the predicate's answers.
enum BooleanEvaluation : unsigned int {
    BOOLEAN_EVALUATION_ALL = 1,  // logical and
    BOOLEAN_EVALUATION_ANY = 2   // logical or
};

// The engine's scene interface: the owner of a world's entities, of the
// scene-graph branch their visuals hang in, of the physics handler that moves
// their bodies and of a timed queue of game events. Not copyable.
class IScene : public Object {
public:
    // Passed with a visual node: 0 ordinary, 1 also recorded in the scene's
    // list of type-1 visuals (drawn by a pass of their own).
    enum VisualType : unsigned int { VISUAL_TYPE_DEFAULT = 0, VISUAL_TYPE_1 = 1 };

    using EntityPredicate = std::function<bool(Entity*)>;

    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    IScene() = default;
    IScene(const IScene&) = delete;
    IScene& operator=(const IScene&) = delete;
    ~IScene() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;

    virtual void update(float dt) = 0;
    virtual void draw() = 0;
    // The scene takes ownership of the entity; with initialize true the
    // entity's behaviors are initialized at once.
    virtual void add_entity(Entity* entity, bool initialize) = 0;
    virtual void add_visual(SmartPtr<Node> node, Entity* entity, VisualType type) = 0;
    virtual void remove_visual(SmartPtr<Node> node, Entity* entity) = 0;
    virtual PhysicsHandler* physics_handler() = 0;
    // The scene takes ownership of the event (made with new) and delivers it
    // delay scene seconds from now, at the next update at the earliest.
    virtual void emit_event(const GameEvent* event, double delay) = 0;
    virtual bool evaluate_entities(const EntityPredicate& predicate, BooleanEvaluation mode) = 0;
    virtual void serialize(BinaryBuffer& buffer) const = 0;
    virtual void deserialize(BinaryBuffer& buffer) = 0;

protected:
    // Delivers one due event; true when it was consumed.
    virtual bool handle_event(const GameEvent* event) = 0;
};

}  // namespace vo
