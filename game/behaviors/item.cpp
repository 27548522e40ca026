#include "game/behaviors/item.h"

#include "engine/physics/collision_events.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene.h"
#include "game/behaviors/game_events.h"

namespace vo {
namespace behaviors {

Item::Item() = default;

Item::~Item() = default;

IBehavior* Item::clone() const {
    Item* copy = new Item();
    copy->description = description;
    copy->entity_ = entity_;
    return copy;
}

void Item::initialize(Entity* entity) { entity_ = entity; }

void Item::handle_game_event(const GameEvent& event) {
    if (event.type != EventTypeId<EntityEntityCollisionEvent>()) return;
    const EntityEntityCollisionEvent& contact = *event.cast<EntityEntityCollisionEvent>();
    // The receiver (the item's own entity) comes first.
    IScene* scene = contact.entity1 ? contact.entity1->get_scene() : nullptr;
    if (!scene) return;
    scene->emit_event(new ItemEvent(contact.entity1, contact.entity2), 0.0);
}

}  // namespace behaviors
}  // namespace vo
