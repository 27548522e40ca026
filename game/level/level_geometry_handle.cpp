#include "game/level/level_geometry_handle.h"

namespace vo {

LevelGeometryHandle::LevelGeometryHandle() : impl_(std::make_unique<LevelGeometryImpl>()) {}

LevelGeometryHandle::~LevelGeometryHandle() = default;

}  // namespace vo
