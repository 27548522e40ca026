#pragma once

// Gives a Fluid its place in a scene: registers it with the scene's physics,
// hangs its drawing into the scene graph (and the scene's fluid pass) and
// turns its live particles into textured quads every update. The quads of
// the last five updates are kept in five layers, the newest drawn on top and
// brightest, the older ones fainter: moving lava and stones leave a short
// trail.

#include "engine/core/aabox.h"
#include "engine/core/smart_ptr.h"
#include "engine/scene/behavior.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/visual_node.h"
#include "engine/sfml/effect.h"
#include "engine/sfml/texture.h"
#include "engine/visuals/simple_visual.h"
#include "game/level/fluid.h"

namespace vo {

class PhysicsHandler;

namespace behaviors {

class Fluid : public IBehavior {
public:
    static constexpr int kNumLayers = 5;

    // An empty fluid; five empty triangle layers under one group node, in
    // drawing order.
    Fluid();
    ~Fluid() override;

    // A new fluid behavior with the texture and effect of this one's layers;
    // no particles and no settings of the fluid.
    IBehavior* clone() const override;
    // Hangs the group node into the entity's scene as a fluid visual (type 1)
    // and registers the fluid with the scene's physics, if it has one.
    void initialize(Entity* entity) override;
    // Turns the layers one position on, fades them by age, records the box of
    // the live particles and rebuilds the newest layer from them.
    void update(float dt) override;
    // Takes the node out of the scene and the fluid out of the physics.
    void finalize(Entity* entity) override;
    bool accepts_game_events() const override { return true; }
    // The box of the live particles at the last update; false when none
    // lived.
    bool bounding_box(AABox& box) const override;

    // On all five layers.
    void set_texture(SmartPtr<Texture> texture);
    // On all five layers: a layer with a valid effect draws through it.
    void set_effect(EffectHandle effect);

    // The particles, for the emitters: description, texture space, particle
    // creation and sources.
    vo::Fluid& fluid() { return fluid_; }
    const vo::Fluid& fluid() const { return fluid_; }

    SmartPtr<GroupNode> root_node() const { return root_node_; }
    // The visual drawn at a position (0 oldest .. 4 newest).
    SmartPtr<SimpleVisual> layer_at(int position) const;

private:
    void rebuild_newest_layer();

    Entity* entity_ = nullptr;
    PhysicsHandler* physics_handler_ = nullptr;
    vo::Fluid fluid_;
    SmartPtr<SimpleVisual> layers_[kNumLayers];
    SmartPtr<VisualNode> layer_nodes_[kNumLayers];
    SmartPtr<GroupNode> root_node_;
    AABox box_;
    bool has_box_ = false;
    int newest_layer_ = 0;
};

}  // namespace behaviors

// One burst of lava or stones: an entity with the fluid behavior "fluid". Made
// only by the level scene's particle emitters.
class FluidEntity : public Entity {
public:
    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    FluidEntity();
    ~FluidEntity() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;

    behaviors::Fluid* fluid_behavior() const { return fluid_; }

private:
    behaviors::Fluid* fluid_ = nullptr;
};

}  // namespace vo
