#pragma once

#include "engine/core/smart_ptr.h"

#include <vector>

namespace vo {

class BinaryBuffer;
class EditGrip;
class Entity;
class GameEvent;
class ParameterStack;
struct AABox;

// A component of an Entity. Every operation but clone has a default that does
// nothing (or answers false).
class IBehavior {
public:
    virtual ~IBehavior();

    // A new behavior of the same class with the same settings; the caller owns it.
    virtual IBehavior* clone() const = 0;
    virtual void get_properties(ParameterStack& params) const;
    virtual void set_properties(ParameterStack& params);
    virtual void serialize(BinaryBuffer& buffer) const;
    virtual void deserialize(BinaryBuffer& buffer);
    // Called once the entity is in its scene.
    virtual void initialize(Entity* entity);
    // dt in seconds.
    virtual void update(float dt);
    // Called when the entity is destroyed, while its scene is still set.
    virtual void finalize(Entity* entity);
    virtual void get_edit_grips(std::vector<SmartPtr<EditGrip>>& grips);
    // Asked once, when the behavior is added: only behaviors answering true
    // receive game events from their entity.
    virtual bool accepts_game_events() const;
    virtual void handle_game_event(const GameEvent& event);
    // Writes the behavior's box into box and answers true, or answers false
    // when the behavior has no box.
    virtual bool bounding_box(AABox& box) const;
};

}  // namespace vo
