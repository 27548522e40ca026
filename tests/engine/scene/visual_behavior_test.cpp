#include "engine/scene/visual_behavior.h"

#include "engine/core/crc32.h"
#include "engine/core/error.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene2d.h"
#include "engine/scene/transform_behavior.h"
#include "engine/scene/transform_node.h"
#include "engine/scene/visual_node.h"
#include "engine/visuals/visual.h"

#include <gtest/gtest.h>

#include <memory>

namespace vo {
namespace {

using behaviors::Transform;
using behaviors::Visual;

class CountingVisual : public IVisual {
public:
    const char* object_type_name() const override { return "CountingVisual"; }
    unsigned int object_type_id() const override { return crc32("CountingVisual"); }
    bool is_animated() const override { return false; }
    void draw() const override { ++draws; }
    mutable int draws = 0;
};

class TestScene : public Scene2d {
public:
    using Scene2d::root;
};

// An entity with a Transform and then a Visual drawing visual.
Entity* NewVisualEntity(SmartPtr<IVisual> visual) {
    Entity* entity = new Entity();
    entity->add_behavior<Transform>("transform");
    entity->add_behavior<Visual>()->set_visual(visual);
    return entity;
}

SmartPtr<TransformNode> TransformNodeOf(const SmartPtr<Node>& group_node) {
    SmartPtr<GroupNode> group = group_node.static_cast_to<GroupNode>();
    return group->get_child(0).static_cast_to<TransformNode>();
}

TEST(VisualBehaviorTest, GroupJoinsTheSceneOnInitializeAndLeavesWithTheEntity) {
    TestScene scene;
    SmartPtr<CountingVisual> visual(new CountingVisual);
    Entity* entity = NewVisualEntity(visual);
    scene.add_entity(entity, false);
    EXPECT_EQ(0, scene.root()->num_children());

    entity->initialize();
    ASSERT_EQ(1, scene.root()->num_children());
    SmartPtr<Node> branch = scene.root()->get_child(0);
    ASSERT_EQ(static_cast<unsigned int>(NODE_ID_GROUP), branch->get_node_id());
    SmartPtr<GroupNode> group = branch.static_cast_to<GroupNode>();
    ASSERT_EQ(2, group->num_children());
    EXPECT_EQ(static_cast<unsigned int>(NODE_ID_TRANSFORM), group->get_child(0)->get_node_id());
    ASSERT_EQ(static_cast<unsigned int>(NODE_ID_VISUAL), group->get_child(1)->get_node_id());
    EXPECT_EQ(visual.get(), group->get_child(1).static_cast_to<VisualNode>()->get_visual().get());

    entity->kill_entity();
    scene.update(0.0f);
    EXPECT_EQ(0, scene.root()->num_children());
    EXPECT_EQ(0u, scene.num_entities());
}

TEST(VisualBehaviorTest, TransformNodeCarriesTheMatrixOfTheCurrentStep) {
    TestScene scene;
    Entity* entity = NewVisualEntity(SmartPtr<IVisual>(new CountingVisual));
    entity->get_behavior<Transform>()->set_position(vector3(1, 2, 3));
    scene.add_entity(entity, true);
    SmartPtr<TransformNode> node = TransformNodeOf(scene.root()->get_child(0));
    EXPECT_EQ(0.0f, node->transform()[12]);  // the Transform has not updated yet

    scene.update(0.1f);
    EXPECT_EQ(1.0f, node->transform()[12]);
    EXPECT_EQ(3.0f, node->transform()[14]);
    SetPosition(entity, vector3(5, 0, 0));
    scene.update(0.1f);
    EXPECT_EQ(5.0f, node->transform()[12]);
}

TEST(VisualBehaviorTest, VisualWithoutTransformIsRefused) {
    TestScene scene;
    Entity* entity = new Entity();
    entity->add_behavior<Visual>();
    try {
        scene.add_entity(entity, true);
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ("Visual: entity has no transform behavior!", e.message());
    }
    EXPECT_EQ(0u, scene.num_entities());
    EXPECT_EQ(0, scene.root()->num_children());
    entity->update(0.1f);  // nothing to copy, no crash
    delete entity;
}

TEST(VisualBehaviorTest, EntitiesOutsideAnySceneAreDeletedSafely) {
    // never in a scene
    delete NewVisualEntity(SmartPtr<IVisual>(new CountingVisual));

    // detached by clear(false), then deleted by its new owner
    TestScene scene;
    Entity* entity = NewVisualEntity(SmartPtr<IVisual>(new CountingVisual));
    scene.add_entity(entity, true);
    scene.clear(false);
    EXPECT_EQ(0, scene.root()->num_children());
    entity->update(0.0f);
    delete entity;

    // a clone of an entity in the scene: no scene, its own nodes
    Entity* original = NewVisualEntity(SmartPtr<IVisual>(new CountingVisual));
    scene.add_entity(original, true);
    std::unique_ptr<Entity> copy(original->clone());
    copy->update(0.0f);
    copy.reset();
    EXPECT_EQ(1, scene.root()->num_children());
}

TEST(VisualBehaviorTest, CloneSharesTheVisualWithNodesOfItsOwn) {
    SmartPtr<CountingVisual> visual(new CountingVisual);
    TestScene scene;
    Entity* a = NewVisualEntity(visual);
    scene.add_entity(a, true);
    Entity* b = a->clone();
    b->get_behavior<Transform>()->set_position(vector3(7, 0, 0));
    scene.add_entity(b, true);
    EXPECT_EQ(visual.get(), b->get_behavior<Visual>()->get_visual().get());
    ASSERT_EQ(2, scene.root()->num_children());
    EXPECT_NE(scene.root()->get_child(0).get(), scene.root()->get_child(1).get());

    scene.update(0.0f);
    EXPECT_EQ(0.0f, TransformNodeOf(scene.root()->get_child(0))->transform()[12]);
    EXPECT_EQ(7.0f, TransformNodeOf(scene.root()->get_child(1))->transform()[12]);

    b->kill_entity();
    scene.update(0.0f);
    ASSERT_EQ(1, scene.root()->num_children());
    EXPECT_EQ(0.0f, TransformNodeOf(scene.root()->get_child(0))->transform()[12]);
}

}  // namespace
}  // namespace vo
