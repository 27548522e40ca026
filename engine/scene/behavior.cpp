#include "engine/scene/behavior.h"

namespace vo {

IBehavior::~IBehavior() = default;

void IBehavior::get_properties(ParameterStack&) const {}
void IBehavior::set_properties(ParameterStack&) {}
void IBehavior::serialize(BinaryBuffer&) const {}
void IBehavior::deserialize(BinaryBuffer&) {}
void IBehavior::initialize(Entity*) {}
void IBehavior::update(float) {}
void IBehavior::finalize(Entity*) {}
void IBehavior::get_edit_grips(std::vector<SmartPtr<EditGrip>>&) {}
bool IBehavior::accepts_game_events() const { return false; }
void IBehavior::handle_game_event(const GameEvent&) {}
bool IBehavior::bounding_box(AABox&) const { return false; }

}  // namespace vo
