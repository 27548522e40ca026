// Item bodies in a level scene over the generated level: what create_item
// builds from items.info, what it refuses, and the "item" events of the item
// behavior when bodies touch an item.

#include "engine/core/resources.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/scene2d_event_listener.h"
#include "engine/scene/transform_behavior.h"
#include "game/behaviors/game_events.h"
#include "game/behaviors/item.h"
#include "game/behaviors/soft_body.h"
#include "support/game/level_scene_harness.h"

#include <boost/property_tree/exceptions.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace vo;
using vo_test::LevelSceneHarness;
using vo_test::LevelSceneSetup;

// Two items of the tests' own: one showing the top right quarter of its
// texture, one without an image (with frequency 0 nothing is ever drawn, so
// the load rules let it be).
LevelSceneSetup WithTestItems() {
    LevelSceneSetup setup;
    setup.config_files["items.info"] = R"(
frequency 0
itemBody { radius 0.6 numBoundaryPoints 10 friction 0.5 mass 0.4 }
items
{
    quarter { name Quarter image { texture items/health.png srcFrame { left 64 top 0 right 128 bottom 64 } } addHealth 5 }
    blank { name Blank addHealth 5 }
}
)";
    return setup;
}

TEST(ItemBodies, AnItemIsARoundBodyWithTheItemsImageAndDescription) {
    LevelSceneHarness world(WithTestItems());
    world.config().stickyScale = 0.25f;
    const vector3 at(5.0f, 30.0f, 0.0f);
    auto* item = dynamic_cast<SoftBodyEntity*>(world.scene().create_item("items.quarter", at));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(world.holds(item));
    EXPECT_EQ(item->object_type_name(), std::string("SoftBodyEntity"));

    const SoftBody& body = *item->soft_body();
    const vector3 centre = body.calculate_center();
    EXPECT_NEAR(centre.x, at.x, 1e-4f);
    EXPECT_NEAR(centre.y, at.y, 1e-4f);
    EXPECT_NEAR(body.calculate_bounding_sphere().radius(), 0.6f, 0.05f);  // "itemBody"
    EXPECT_EQ(body.get_sticky_scale(), 0.25f);
    EXPECT_FALSE(body.has_sticky_particles());

    // Textured with the image's quarter, drawn 1.2 times the body's size.
    EXPECT_EQ(item->soft_body_behavior()->texture().get(), GetTexture("items/health.png").get());
    EXPECT_EQ(item->soft_body_behavior()->visual_scale(), 1.2f);
    for (int i = 0; i < body.num_points(); ++i) {
        const vector2 uv = body.point_get_uv_coords(i);
        EXPECT_TRUE(uv.x >= 0.5f && uv.x <= 1.0f && uv.y >= 0.0f && uv.y <= 0.5f) << i << ": " << uv;
    }
    const vector2 middle = body.point_get_uv_coords(body.num_points() - 1);  // the centre point
    EXPECT_EQ(middle.x, 0.75f);
    EXPECT_EQ(middle.y, 0.25f);

    auto* behavior = item->get_behavior<behaviors::Item>();
    ASSERT_NE(behavior, nullptr);
    EXPECT_EQ(behavior->description, world.scene().items.get_child("items.quarter"));
}

TEST(ItemBodies, AnItemThatIsNotThereOrHasNoImageAddsNothing) {
    LevelSceneHarness world(WithTestItems());
    const unsigned before = world.scene().num_entities();
    for (const char* path : {"items.nothing", "items.blank"}) {
        SCOPED_TRACE(path);
        EXPECT_THROW(world.scene().create_item(path, vector3()), boost::property_tree::ptree_bad_path);
        EXPECT_EQ(world.scene().num_entities(), before);
    }
}

// The "item" events the scene delivers, one list per scene step.
struct ItemLog {
    bool on_event(const GameEvent* e) {
        if (e->type == EventTypeId<ItemEvent>()) {
            const ItemEvent& item = *e->cast<ItemEvent>();
            steps.back().push_back({item.item, item.other});
        }
        return false;
    }
    std::vector<std::vector<std::pair<Entity*, Entity*>>> steps;
};

// Lying on the level the item says nothing; every step a body touches it
// gives one event naming the item and the toucher, whatever the toucher is.
TEST(ItemBodies, EveryStepOfATouchGivesOneItemEvent) {
    LevelSceneHarness world;
    ItemLog log;
    world.scene().set_event_listener(&log, &ItemLog::on_event);
    const vector3 ground = world.ground_spot(8.0f);
    Entity* item = world.scene().create_item("items.health", vector3(ground.x, ground.y + 0.8f, 0.0f));
    for (int i = 0; i < 90; ++i) {
        log.steps.emplace_back();
        world.step();
    }
    for (const auto& step : log.steps) EXPECT_TRUE(step.empty());

    struct Case {
        const char* what;
        std::function<Entity*()> drop;
    };
    const Case cases[] = {
        {"a slob", [&] { return world.add_slob(vector3(ground.x, ground.y + 3.0f, 0.0f)); }},
        {"another item", [&] { return world.scene().create_item("items.rotation", vector3(ground.x, ground.y + 2.5f, 0.0f)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.steps.clear();
        Entity* toucher = c.drop();
        int touching = 0;
        for (int i = 0; i < 60; ++i) {
            log.steps.emplace_back();
            world.step();
            // Another item tells of the same contact from its side.
            int of_item = 0;
            for (const auto& event : log.steps.back()) {
                if (event.first != item) {
                    EXPECT_EQ(event.first, toucher);
                    EXPECT_EQ(event.second, item);
                    continue;
                }
                EXPECT_EQ(event.second, toucher);
                ++of_item;
            }
            EXPECT_LE(of_item, 1);
            touching += of_item;
        }
        EXPECT_GT(touching, 5);  // a contact lasting steps: one event each
        toucher->kill_entity();
        world.step(30);
    }
}

}  // namespace
