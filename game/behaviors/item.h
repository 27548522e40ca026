#pragma once

// Marks a soft-body entity as an item lying on the level and tells the scene,
// with an "item" event, whenever another body touches it. Who may take the
// item is the match's decision.

#include "engine/core/config.h"
#include "engine/scene/behavior.h"

#include <boost/property_tree/ptree.hpp>

namespace vo {
namespace behaviors {

class Item : public IBehavior {
public:
    Item();
    ~Item() override;

    // A new item behavior with a copy of the description and the same entity.
    IBehavior* clone() const override;
    void initialize(Entity* entity) override;
    bool accepts_game_events() const override { return true; }
    // Every "entityEntityCollision" the entity receives queues one "item"
    // event (delay 0) with the item entity and the toucher; a contact lasting
    // several steps gives one per step. Other events are ignored.
    void handle_game_event(const GameEvent& event) override;

    // The item's description from "items.info", copied in by its creator.
    ptree description;

private:
    Entity* entity_ = nullptr;
};

}  // namespace behaviors
}  // namespace vo
