// behaviors::Health is defined by the program (here the test program, through
// the support library), while DecreaseHealth is compiled into the engine
// library: the library finds the program's class by its exact-class key.
#include "engine/scene/entity.h"
#include "engine/scene/health.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using vo::DecreaseHealth;
using vo::Entity;
using vo::behaviors::Health;

class Other : public vo::IBehavior {
public:
    IBehavior* clone() const override { return new Other(); }
};

class ArmoredHealth : public Health {};

TEST(Health, TheLibraryFindsTheProgramsHealthBehavior) {
    Entity e;
    e.add_behavior<Other>();
    Health* health = e.add_behavior<Health>("health");
    Health* second = e.add_behavior<Health>();
    e.initialize();
    ASSERT_EQ(health->value, 1.0f);

    EXPECT_TRUE(DecreaseHealth(&e, 0.25f));
    EXPECT_EQ(health->value, 0.75f);
    EXPECT_EQ(second->value, 1.0f);  // only the first one
    // No bounds: the value goes below zero.
    EXPECT_TRUE(DecreaseHealth(&e, 2.0f));
    EXPECT_EQ(health->value, -1.25f);

    // A clone made in the program is found by the library too.
    std::unique_ptr<Entity> copy(e.clone());
    copy->initialize();
    EXPECT_TRUE(DecreaseHealth(copy.get(), 0.5f));
    EXPECT_EQ(copy->get_behavior<Health>()->value, 0.5f);
    EXPECT_EQ(health->value, -1.25f);
}

TEST(Health, EntitiesWithoutHealthTakeNoDamage) {
    EXPECT_FALSE(DecreaseHealth(nullptr, 1.0f));
    Entity plain;
    plain.add_behavior<Other>();
    EXPECT_FALSE(DecreaseHealth(&plain, 1.0f));
    // Only the exact class counts: a subclass of Health is another class.
    Entity armored;
    ArmoredHealth* a = armored.add_behavior<ArmoredHealth>();
    a->value = 3.0f;
    EXPECT_FALSE(DecreaseHealth(&armored, 1.0f));
    EXPECT_EQ(a->value, 3.0f);
}

}  // namespace
