// The soft-body entities and the level entity: what they carry, their type
// ids and creation by name, and the grenade's trigger wiring.

#include "game/behaviors/soft_body_entities.h"

#include "engine/core/error.h"
#include "engine/core/object_factory.h"
#include "engine/physics/soft_body_circle.h"
#include "engine/physics/soft_body_desc.h"
#include "engine/scene/health.h"
#include "engine/scene/scene2d.h"
#include "engine/scene/transform_behavior.h"
#include "game/behaviors/aim.h"
#include "game/behaviors/explodable.h"
#include "game/behaviors/level_geometry.h"
#include "game/behaviors/register_game_entities.h"
#include "game/behaviors/rest.h"
#include "game/behaviors/soft_body.h"
#include "game/behaviors/soft_body_collision_trigger.h"
#include "game/behaviors/trigger.h"
#include "game/level/level_geometry_handle.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace vo;

// The behavior under name is of class T (exactly).
template <class T>
bool Carries(const Entity& e, const char* name) {
    IBehavior* b = e.get_behavior_by_name(name);
    return b && e.get_behavior<T>(name) == b;
}

TEST(SoftBodyEntities, AreMadeByNameWithTheirBehaviorsAndFixedTypeIds) {
    RegisterGameEntities();
    using Check = std::function<bool(const Entity&)>;
    const Check body_part = [](const Entity& e) {
        return Carries<behaviors::Transform>(e, "transform") && Carries<behaviors::SoftBody>(e, "softBody") &&
               Carries<behaviors::Rest>(e, "rest");
    };
    struct Case {
        const char* name;
        unsigned int id;
        Check carries;
    };
    const Case cases[] = {
        {"SoftBodyEntity", 0xA64432DFu,
         [&](const Entity& e) { return body_part(e) && !e.get_behavior_by_name("aim"); }},
        {"SlobEntity", 0xA65A28ABu,
         [&](const Entity& e) {
             return body_part(e) && Carries<behaviors::Aim>(e, "aim") && Carries<behaviors::Health>(e, "health");
         }},
        // Made by name, a grenade goes off at its first contact of any kind.
        {"GrenadeEntity", 0x972778BAu,
         [&](const Entity& e) {
             auto* trigger = e.get_behavior<behaviors::SoftBodyCollisionTrigger>("collisionTrigger");
             return body_part(e) && trigger && trigger->ground_triggered() && trigger->slob_triggered() &&
                    !e.get_behavior_by_name("timedTrigger") && Carries<behaviors::Explodable>(e, "explodable");
         }},
        {"LevelGeometry", crc32("LevelGeometry"),
         [](const Entity& e) {
             auto* level = e.get_behavior<behaviors::LevelGeometry>();
             return level && level->level_geometry();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<Object> made(ObjectFactory::create(c.name));
        auto* entity = dynamic_cast<Entity*>(made.get());
        ASSERT_NE(entity, nullptr);
        EXPECT_EQ(std::string(entity->object_type_name()), c.name);
        EXPECT_EQ(entity->object_type_id(), c.id);
        EXPECT_EQ(entity->object_type_id(), c.id);  // kept, not recomputed differently
        EXPECT_TRUE(c.carries(*entity));
        std::unique_ptr<Object> by_id(ObjectFactory::create(c.id));
        EXPECT_EQ(std::string(by_id->object_type_name()), c.name);
    }
}

TEST(GrenadeEntity, AFuseAboveZeroMakesItTimedOtherwiseContactsSetItOff) {
    struct Case {
        double timer;
        bool ground;
        bool slob;
    };
    for (const Case& c : {Case{0.5, false, true}, Case{0.0, false, true}, Case{-1.0, true, false}}) {
        SCOPED_TRACE("timer " + std::to_string(c.timer));
        GrenadeEntity grenade(c.timer, c.ground, c.slob);
        auto* timed = grenade.get_behavior<behaviors::TimedTrigger>("timedTrigger");
        auto* contact = grenade.get_behavior<behaviors::SoftBodyCollisionTrigger>("collisionTrigger");
        ASSERT_NE(grenade.explodable_behavior(), nullptr);
        const SmartPtr<Trigger>& shared = grenade.explodable_behavior()->trigger();
        if (c.timer > 0) {
            ASSERT_NE(timed, nullptr);
            EXPECT_EQ(contact, nullptr);
            EXPECT_EQ(timed->timer, c.timer);
            EXPECT_EQ(timed->trigger().get(), shared.get());
        } else {
            ASSERT_NE(contact, nullptr);
            EXPECT_EQ(timed, nullptr);
            EXPECT_EQ(contact->ground_triggered(), c.ground);
            EXPECT_EQ(contact->slob_triggered(), c.slob);
            EXPECT_EQ(contact->trigger().get(), shared.get());
        }
    }
}

// The trigger comes before the explodable: a fuse that runs out explodes the
// grenade in the same update. Outside a level scene that explosion is
// refused.
TEST(GrenadeEntity, ExplodesInTheUpdateItsTriggerFiresAndOnlyInALevelScene) {
    Scene2d scene;
    auto* grenade = new GrenadeEntity(0.01, true, true);
    SoftBodyDesc desc;
    SmartPtr<SoftBody> body(new SoftBody());
    CreateSoftBody_Circle(*body, desc);
    grenade->set_soft_body(body);
    scene.add_entity(grenade, true);
    try {
        grenade->update(1.0f / 60.0f);
        FAIL() << "no Error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.message()), "The scene in the associated entity has to be a LevelScene!");
    }
    EXPECT_FALSE(grenade->was_killed());
}

TEST(SoftBodyCollisionTrigger, FiresOnTheContactsItIsSetFor) {
    struct Case {
        bool ground_flag;
        bool slob_flag;
        bool touches_ground;
        bool touches_body;
        bool fires;
    };
    const Case cases[] = {
        {true, true, false, false, false}, {true, true, true, false, true},   {true, true, false, true, true},
        {false, true, true, false, false}, {false, true, false, true, true},  {true, false, false, true, false},
        {false, false, true, true, false},
    };
    for (const Case& c : cases) {
        Entity entity;
        entity.add_behavior<behaviors::Transform>("transform");
        SmartPtr<SoftBody> body(new SoftBody());
        entity.add_behavior<behaviors::SoftBody>("softBody")->set_soft_body(body);
        auto* trigger = entity.add_behavior<behaviors::SoftBodyCollisionTrigger>("collisionTrigger");
        trigger->set_flags(c.ground_flag, c.slob_flag);
        trigger->initialize(&entity);
        body->set_touches_something(c.touches_ground, c.touches_body, vector3());
        trigger->update(0.0f);
        EXPECT_EQ(trigger->trigger()->fired, c.fires)
            << c.ground_flag << c.slob_flag << c.touches_ground << c.touches_body;
    }

    Entity bodiless;
    behaviors::SoftBodyCollisionTrigger trigger;
    try {
        trigger.initialize(&bodiless);
        FAIL() << "no Error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.message()), "A soft-body behavior has to exist in the given entity");
    }
}

TEST(Explodable, HasClustersOnlyForAPositiveNum) {
    struct Case {
        const char* num;  // null: no "num"
        bool has_cluster;
    };
    for (const Case& c : {Case{nullptr, false}, Case{"0", false}, Case{"-3", false}, Case{"5", true},
                          Case{"many", false}}) {
        ptree desc;
        desc.put("type", "bomblet");
        if (c.num) desc.put("num", c.num);
        behaviors::Explodable explodable;
        explodable.set_cluster_desc(desc);
        EXPECT_EQ(explodable.has_cluster(), c.has_cluster) << (c.num ? c.num : "none");
        EXPECT_EQ(explodable.cluster_desc().get<std::string>("type"), "bomblet");
    }
}

TEST(LevelGeometryEntity, ACloneHasAnEmptyLevelOfItsOwn) {
    entities::LevelGeometry entity;
    entity.level_geometry()->create(20.0f, 2.0f, 3.0f, 0.1f, EffectHandle(), EffectHandle(), 1.0f, 3.0f);
    entity.level_geometry()->explode(0.0f, 0.0f, 5.0f, nullptr);
    std::unique_ptr<IBehavior> clone(entity.behavior()->clone());
    SmartPtr<LevelGeometryHandle> copy = static_cast<behaviors::LevelGeometry*>(clone.get())->level_geometry();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), entity.level_geometry().get());
    EXPECT_TRUE(copy->edit_log().empty());
    EXPECT_EQ(copy->geometry().mesh().grid.num_vertices(), 0u);
    EXPECT_EQ(entity.level_geometry()->edit_log().size(), 1u);
}

}  // namespace
