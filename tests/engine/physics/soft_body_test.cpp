#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/core/error.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_circle.h"
#include "support/engine/physics_scenes.h"

namespace {

using vo::SoftBody;
using vo::vector3;

TEST(SoftBody, NewBodyHasTheDefaultSettings) {
    SoftBody b;
    EXPECT_EQ(b.num_points(), 0);
    EXPECT_EQ(b.get_mass_inv(), 1.0f);
    EXPECT_EQ(b.get_inertia(), 1.0f);
    EXPECT_EQ(b.get_friction(), 0.25f);
    EXPECT_EQ(b.get_sticky_scale(), 1.0f);
    EXPECT_EQ(b.get_sticky_force(), 0.0f);
    EXPECT_EQ(b.get_rigidity(), 0.0f);
    EXPECT_FALSE(b.touches_ground());
    EXPECT_FALSE(b.touched_ground(0.5));
    EXPECT_FALSE(b.touched_body(1e5));
    EXPECT_EQ(b.touch_normal().y, 0.0f);
    EXPECT_EQ(b.get_velocity().x, 0.0f);
    EXPECT_EQ(b.calculate_center().x, 0.0f);
    EXPECT_EQ(b.calculate_bounding_sphere().radius(), 0.0f);
    b.update(0.1);  // an empty body steps without trouble
}

TEST(SoftBody, MassFromItsInverse) {
    SoftBody b;
    const std::pair<float, float> cases[] = {{0.5f, 2.0f}, {0.0f, 1e6f}, {5e-7f, 1e6f}, {4.0f, 0.25f}};
    for (const auto& [inv, mass] : cases) {
        b.set_mass_inv(inv);
        EXPECT_EQ(b.get_mass(), mass) << inv;
    }
}

TEST(SoftBody, FrictionIsKeptInTheUnitInterval) {
    SoftBody b;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, float> cases[] = {{0.4f, 0.4f}, {1.0f, 1.0f}, {1.5f, 1.0f}, {-0.5f, 0.0f}, {nan, 0.0f}};
    for (const auto& [in, kept] : cases) {
        b.set_friction(in);
        EXPECT_EQ(b.get_friction(), kept) << in;
    }
}

TEST(SoftBody, FrictionGrowsWithSpeedWhenScaled) {
    SoftBody b;
    vo_test::BuildCircleBody(b, vo_test::DefaultCircleDesc());
    b.set_friction(0.4f);
    b.scale_friction_with_velocity(true, 0.0f);  // keeps the old -1: inactive
    b.set_velocity(vector3(5.0f, 0.0f, 0.0f), false);
    b.update(1e-4);
    EXPECT_EQ(b.get_friction(), 0.4f);

    b.scale_friction_with_velocity(true, 10.0f);
    const std::pair<float, float> cases[] = {{5.0f, 0.7f}, {20.0f, 1.0f}, {0.0f, 0.4f}};
    for (const auto& [speed, friction] : cases) {
        b.set_velocity(vector3(0.0f, -speed, 0.0f), false);
        b.update(1e-6);
        EXPECT_NEAR(b.get_friction(), friction, 1e-5f) << speed;
    }
    b.scale_friction_with_velocity(false, 0.0f);
    EXPECT_FALSE(b.scale_friction_enabled());
}

TEST(SoftBody, StickyScaleAtOnceAndFaded) {
    SoftBody b;
    b.set_default_sticky_force(4.0f);
    b.set_default_sticky_velocity(2.0f);
    EXPECT_EQ(b.get_sticky_force(), 4.0f);
    b.set_sticky_scale(0.5f, 0.0);
    EXPECT_EQ(b.get_sticky_scale(), 0.5f);
    EXPECT_EQ(b.get_sticky_force(), 2.0f);
    EXPECT_EQ(b.get_sticky_velocity(), 1.0f);

    b.set_sticky_scale(1.0f, 1.0);
    EXPECT_EQ(b.get_sticky_scale(), 0.5f);  // starts from the old value
    for (int i = 0; i < 4; ++i) b.update(0.125);
    EXPECT_FLOAT_EQ(b.get_sticky_scale(), 0.75f);  // smoothstep at the middle
    for (int i = 0; i < 4; ++i) b.update(0.125);
    EXPECT_EQ(b.get_sticky_scale(), 1.0f);
    EXPECT_EQ(b.get_sticky_force(), 4.0f);

    // A fade in progress is cancelled by an immediate change.
    b.set_sticky_scale(0.0f, 1.0);
    b.update(0.5);
    b.set_sticky_scale(0.25f, 0.0);
    b.update(0.5);
    EXPECT_EQ(b.get_sticky_scale(), 0.25f);
    EXPECT_EQ(b.get_sticky_force(), 1.0f);
}

TEST(SoftBody, ContactTimers) {
    SoftBody b;
    const vector3 up(0.0f, 1.0f, 0.0f);
    b.set_touches_something(true, false, up);
    EXPECT_TRUE(b.touches_ground());
    EXPECT_TRUE(b.touched_ground(0.5));
    EXPECT_FALSE(b.touched_body(0.5));
    EXPECT_EQ(b.touch_normal().y, 1.0f);
    b.update(0.25);  // still touching: the time stays 0
    EXPECT_TRUE(b.touched_ground(1e-9));

    b.set_touches_something(false, true, vector3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(b.touch_normal().x, 1.0f);
    EXPECT_TRUE(b.touched_body(1e-9));
    b.update(0.25);
    EXPECT_TRUE(b.touched_ground(0.5));
    b.update(0.25);
    EXPECT_FALSE(b.touched_ground(0.5));  // 0.5 since the touch: strict
    EXPECT_TRUE(b.touched_body(0.5));

    b.set_touches_something(false, false, vector3());
    EXPECT_EQ(b.touch_normal().x, 1.0f);  // no contact keeps the last normal
}

TEST(SoftBody, CentreAndSphereUseTheBorderOnly) {
    SoftBody b;
    b.set_num_points(2, 1, 1);
    b.point_set_coords(0, vector3(0.0f, 0.0f, 0.0f));
    b.point_set_coords(1, vector3(2.0f, 0.0f, 0.0f));
    b.point_set_coords(2, vector3(100.0f, 0.0f, 0.0f));  // inner
    b.point_set_coords(3, vector3(-50.0f, 7.0f, 0.0f));  // helper
    EXPECT_EQ(b.num_particles(), 3);
    EXPECT_EQ(b.num_points(), 4);
    const vector3 c = b.calculate_center();
    EXPECT_EQ(c.x, 1.0f);
    EXPECT_EQ(c.y, 0.0f);
    const vo::Sphere s = b.calculate_bounding_sphere();
    EXPECT_EQ(s.center().x, 1.0f);
    EXPECT_EQ(s.radius(), 1.0f);
}

TEST(SoftBody, VelocityOfTheWholeBody) {
    SoftBody b;
    b.set_num_points(3, 0, 0);
    b.enable_sticky_particles(true);
    b.particle_set_sticky(1, true);
    b.particle_set_velocity(1, vector3(0.0f, 3.0f, 0.0f));
    b.set_velocity(vector3(1.0f, 0.0f, 0.0f), true);
    EXPECT_EQ(b.particle_get_velocity(0).x, 1.0f);
    EXPECT_EQ(b.particle_get_velocity(1).x, 0.0f);  // stuck: kept
    EXPECT_EQ(b.particle_get_velocity(1).y, 3.0f);
    const vector3 v = b.get_velocity();
    EXPECT_FLOAT_EQ(v.x, 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(v.y, 1.0f);
    b.set_velocity(vector3(0.0f, 0.0f, 0.0f), false);
    EXPECT_EQ(b.particle_get_velocity(1).y, 0.0f);
}

TEST(SoftBody, ClearEmptiesTheStructureAndKeepsSettings) {
    SoftBody b;
    vo_test::BuildCircleBody(b, vo_test::DefaultCircleDesc());
    b.set_mass_inv(0.5f);
    b.set_inertia(2.0f);
    b.set_friction(0.6f);
    b.clear();
    EXPECT_EQ(b.num_points(), 0);
    EXPECT_EQ(b.num_particles(), 0);
    EXPECT_EQ(b.num_springs(), 0);
    EXPECT_EQ(b.num_triangles(), 0);
    EXPECT_EQ(b.num_null_connections(), 0);
    EXPECT_EQ(b.num_border_points(), 0);
    EXPECT_EQ(b.num_helper_points(), 0);
    EXPECT_EQ(b.get_mass_inv(), 1.0f);
    EXPECT_EQ(b.get_inertia(), 2.0f);
    EXPECT_EQ(b.get_friction(), 0.6f);
}

TEST(SoftBody, NegativePointCountsAreRefused) {
    SoftBody b;
    vo_test::BuildCircleBody(b, vo_test::DefaultCircleDesc());
    EXPECT_THROW(b.set_num_points(4, -1, 0), vo::Error);
    EXPECT_THROW(b.set_num_points(-4, 0, 0), vo::Error);
    EXPECT_THROW(b.set_num_points(4, 0, -2), vo::Error);
    EXPECT_EQ(b.num_points(), 13);
    EXPECT_EQ(b.num_springs(), 54);
}

// A source body with every setting away from its default.
void BuildSource(SoftBody& a) {
    vo_test::BuildCircleBody(a, vo_test::DefaultCircleDesc(), vector3(3.0f, 4.0f, 0.0f));
    a.set_mass_inv(0.5f);
    a.set_inertia(2.0f);
    a.set_friction(0.4f);
    a.scale_friction_with_velocity(true, 1.0f);
    a.set_velocity(vector3(0.0f, 3.0f, 0.0f), false);
    a.update(0.01);  // the friction scaling moves the current friction
    a.set_rigidity(0.7f);
    a.set_particle_damping(0.3f);
    a.enable_sticky_particles(true);
    a.set_default_sticky_force(6.0f);
    a.set_default_sticky_velocity(2.0f);
    a.set_sticky_scale(0.5f, 0.0);
    a.set_touches_something(true, true, vector3(0.0f, 1.0f, 0.0f));
    a.append_spring(0, a.particle_collection().particle(5), 1.0f, 1.0f, 0.0f);
    a.particle_set_mass_inv(2, 0.125f);
    a.point_set_uv_coords(4, 0.9f, 0.1f);
}

void ExpectShapeOf(const SoftBody& a, const SoftBody& b) {
    ASSERT_EQ(b.num_points(), a.num_points());
    EXPECT_EQ(b.num_border_points(), a.num_border_points());
    EXPECT_EQ(b.num_helper_points(), a.num_helper_points());
    for (int i = 0; i < b.num_particles(); ++i) {
        EXPECT_EQ(b.point_get_coords(i).x, a.point_get_coords(i).x);
        EXPECT_EQ(b.point_get_coords(i).y, a.point_get_coords(i).y);
        EXPECT_EQ(b.particle_collection().particle(i)->position.y, a.point_get_coords(i).y);
        EXPECT_EQ(b.point_get_uv_coords(i).x, a.point_get_uv_coords(i).x);
        EXPECT_EQ(b.particle_get_mass_inv(i), a.particle_get_mass_inv(i));
        EXPECT_EQ(b.particle_get_velocity(i).y, 0.0f);  // at rest
    }
    ASSERT_EQ(b.num_springs(), a.num_springs());
    for (int s = 0; s < b.num_springs(); ++s) {
        EXPECT_EQ(b.spring_particle_index_tupel(s)->first, a.spring_particle_index_tupel(s)->first);
        EXPECT_EQ(b.spring(s)->get_particle2(),
                  b.particle_collection().particle(b.spring_particle_index_tupel(s)->second));
        EXPECT_EQ(b.spring(s)->get_spring_constant(), a.spring(s)->get_spring_constant());
        EXPECT_EQ(b.spring(s)->get_default_length(), a.spring(s)->get_default_length());
    }
    EXPECT_EQ(b.particle_collection().num_appended_springs(), 0u);
    EXPECT_EQ(b.num_null_connections(), a.num_null_connections());
    EXPECT_EQ(b.num_triangles(), a.num_triangles());
    EXPECT_EQ(b.get_triangle_index_list()[7], a.get_triangle_index_list()[7]);
    EXPECT_EQ(b.get_mass_inv(), 0.5f);
    EXPECT_EQ(b.get_inertia(), 2.0f);
    EXPECT_EQ(b.get_friction(), a.get_friction());
    // The helper point was placed by the copy, at the mean of the ring.
    EXPECT_NEAR(b.point_get_coords(12).x, b.calculate_center().x, 1e-4f);
    EXPECT_NEAR(b.point_get_coords(12).y, b.calculate_center().y, 1e-4f);
}

TEST(SoftBody, CopyTakesTheShapeAndAFewSettings) {
    SoftBody a;
    BuildSource(a);
    ASSERT_GT(a.get_friction(), 0.4f);
    const SoftBody b(a);
    ExpectShapeOf(a, b);
    EXPECT_EQ(b.get_friction(), a.get_friction());
    // Everything else has the values of a new body.
    EXPECT_EQ(b.get_rigidity(), 0.0f);
    EXPECT_EQ(b.get_particle_damping(), 0.0f);
    EXPECT_FALSE(b.sticky_particles_enabled());
    EXPECT_FALSE(b.scale_friction_enabled());
    EXPECT_EQ(b.get_sticky_scale(), 1.0f);
    EXPECT_EQ(b.get_sticky_force(), 0.0f);
    EXPECT_EQ(b.get_default_sticky_velocity(), 0.0f);
    EXPECT_FALSE(b.touches_ground());
    EXPECT_FALSE(b.touched_body(0.5));
}

TEST(SoftBody, AssignmentKeepsTheTargetsOwnSettings) {
    SoftBody a;
    BuildSource(a);
    SoftBody b;
    vo_test::BuildCircleBody(b, vo_test::CircleDesc(5));
    b.set_rigidity(0.2f);
    b.set_particle_damping(0.05f);
    b.set_default_sticky_force(3.0f);
    b = a;
    ExpectShapeOf(a, b);
    EXPECT_EQ(b.get_rigidity(), 0.2f);
    EXPECT_EQ(b.get_particle_damping(), 0.05f);
    EXPECT_EQ(b.get_sticky_force(), 3.0f);
}

TEST(SoftBody, SelfAssignmentKeepsTheBody) {
    SoftBody a;
    BuildSource(a);
    const int points = a.num_points();
    const int springs = a.num_springs();
    const vector3 p5 = a.point_get_coords(5);
    SoftBody& alias = a;
    a = alias;
    EXPECT_EQ(a.num_points(), points);
    EXPECT_EQ(a.num_springs(), springs);
    EXPECT_EQ(a.num_triangles(), 12);
    EXPECT_EQ(a.point_get_coords(5).x, p5.x);
    EXPECT_EQ(a.get_rigidity(), 0.7f);
    a.update(0.01);
    EXPECT_TRUE(vo_test::AllFinite(a));
}

TEST(SoftBody, CopyOfAStuckBodyIsFree) {
    SoftBody a;
    vo_test::BuildCircleBody(a, vo_test::DefaultCircleDesc());
    a.enable_sticky_particles(true);
    a.set_default_sticky_force(1e9f);
    for (int i = 0; i < a.num_particles(); ++i) a.particle_set_sticky(i, true);
    ASSERT_EQ(a.particle_get_mass_inv(0), 0.0f);

    SoftBody b(a);
    for (int i = 0; i < b.num_particles(); ++i) EXPECT_EQ(b.particle_get_mass_inv(i), 1.0f);
    const float y0 = b.calculate_center().y;
    for (int i = 0; i < 10; ++i) {
        b.apply_force(vector3(0.0f, -10.0f, 0.0f));
        b.update(0.01);
    }
    EXPECT_LT(b.calculate_center().y, y0 - 0.004f);
}

}  // namespace
