#include "engine/core/object.h"

namespace vo {

Object::~Object() = default;

void Object::get_properties(ParameterStack&) const {}
void Object::set_properties(ParameterStack&) {}
void Object::initialize() {}

}  // namespace vo
