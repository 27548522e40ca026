#pragma once

#include "game/level/level_geometry_impl.h"

#include <memory>

namespace vo {

// The shared handle of the level: the level behaviour and the match hold it
// through SmartPtr<LevelGeometryHandle>; the last release deletes the level.
// Every operation forwards to the one LevelGeometryImpl it owns.
class LevelGeometryHandle {
public:
    LevelGeometryHandle();
    ~LevelGeometryHandle();

    LevelGeometryHandle(const LevelGeometryHandle&) = delete;
    LevelGeometryHandle& operator=(const LevelGeometryHandle&) = delete;

    void create(float radius, float spacing, float rimWidth, float uvScale,
                EffectHandle const& levelEffect, EffectHandle const& lavaEffect,
                float lightRadiusMinFac, float lightRadiusMaxFac)
    {
        impl_->create(radius, spacing, rimWidth, uvScale, levelEffect, lavaEffect,
                      lightRadiusMinFac, lightRadiusMaxFac);
    }
    void explode(float x, float y, float radius, CarveResult* result)
    {
        impl_->explode(x, y, radius, result);
    }
    void add_lava(float x, float y, float radius) { impl_->add_lava(x, y, radius); }
    bool random_boundary_point(vector3& out, float minRise)
    {
        return impl_->random_boundary_point(out, minRise);
    }
    SmartPtr<GroupNode> collision_node() const { return impl_->collision_node(); }
    SmartPtr<CollisionTreeRootNode> collision_tree() const { return impl_->collision_tree(); }
    SmartPtr<VisualNode> visual_node() const { return impl_->visual_node(); }
    const Sphere* bounding_sphere() const { return impl_->bounding_sphere(); }
    float outer_radius() const { return impl_->outer_radius(); }
    const std::vector<LevelEditRecord>& edit_log() const { return impl_->edit_log(); }
    void serialize(BinaryBuffer& buffer) const { impl_->serialize(buffer); }
    void deserialize(BinaryBuffer& buffer) { impl_->deserialize(buffer); }
    bool write_mgx(const std::string& filename) { return impl_->write_mgx(filename); }

    // The level itself, for inspection.
    LevelGeometryImpl& geometry() { return *impl_; }
    const LevelGeometryImpl& geometry() const { return *impl_; }

private:
    std::unique_ptr<LevelGeometryImpl> impl_;
};

}  // namespace vo
