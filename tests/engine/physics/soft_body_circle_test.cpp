#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include "engine/core/error.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_circle.h"
#include "engine/physics/soft_body_desc.h"
#include "support/engine/bounded_run.h"
#include "support/engine/physics_scenes.h"

namespace {

using boost::property_tree::ptree;
using vo::SoftBody;
using vo::SoftBodyDesc;
using vo::vector3;

ptree ParseInfo(const std::string& text) {
    std::istringstream in(text);
    ptree tree;
    boost::property_tree::read_info(in, tree);
    return tree;
}

void ExpectDefaults(const SoftBodyDesc& d, bool with_texture) {
    EXPECT_EQ(d.radius, 1.0f);
    EXPECT_EQ(d.num_boundary_points, 12);
    EXPECT_EQ(d.nbr_connection_radius, 3);
    EXPECT_EQ(d.opposing_connection_radius, 2);
    if (with_texture) {
        EXPECT_EQ(d.texture, "tarvessa_ball.png");
    }
    EXPECT_EQ(d.uv_scale, 1.0f);
    EXPECT_EQ(d.tex_x1, 0.0f);
    EXPECT_EQ(d.tex_y1, 0.0f);
    EXPECT_EQ(d.tex_x2, 1.0f);
    EXPECT_EQ(d.tex_y2, 1.0f);
    EXPECT_EQ(d.friction, 0.25f);
    EXPECT_EQ(d.no_friction_vel, 0.0f);
    EXPECT_EQ(d.particle_damping, 0.1f);
    EXPECT_EQ(d.stickiness, 0.0f);
    EXPECT_FALSE(d.sticky_particles);
    EXPECT_EQ(d.sticky_velocity, 0.0f);
    EXPECT_EQ(d.sticky_force, 0.0f);
    EXPECT_EQ(d.mass_inv, 1.0f);
    EXPECT_EQ(d.rigidity, 0.0f);
    EXPECT_EQ(d.inertia, 1.0f);
    EXPECT_EQ(d.spring_short_constant, 500.0f);
    EXPECT_EQ(d.spring_long_constant, 100.0f);
    EXPECT_EQ(d.spring_damping, 0.1f);
}

TEST(SoftBodyDesc, EmptyTreeGivesTheDefaults) {
    SoftBodyDesc d;
    d.radius = 9.0f;
    d.texture = "other.png";
    d.sticky_particles = true;
    vo::InitSoftBodyDesc(d, ptree(), "");
    ExpectDefaults(d, true);

    SoftBodyDesc n;
    n.texture = "kept.png";
    vo::InitSoftBodyDescNoTexture(n, ptree(), "");
    ExpectDefaults(n, false);
    EXPECT_EQ(n.texture, "kept.png");
}

TEST(SoftBodyDesc, EveryKeyIsReadUnderThePrefix) {
    const ptree tree = ParseInfo(R"(
slob
{
    radius 0.5
    numBoundaryPoints 16
    nbrConnectionRadius 2
    opposingConnectionRadius 1
    texture "slob.png"
    uvScale 0.9
    texX1 0.25
    texY1 0.5
    texX2 0.75
    texY2 1
    friction 0.4
    noFrictionVel 12
    particleDamping 0.2
    stickyness 0.7
    stickyParticles true
    stickyVelocity 3
    stickyForce 8
    mass 4
    rigidity 0.6
    inertia 2
    springShortConstant 400
    springLongConstant 50
    springDamping 0.3
}
)");
    SoftBodyDesc d;
    vo::InitSoftBodyDesc(d, tree, "slob.");
    EXPECT_EQ(d.radius, 0.5f);
    EXPECT_EQ(d.num_boundary_points, 16);
    EXPECT_EQ(d.nbr_connection_radius, 2);
    EXPECT_EQ(d.opposing_connection_radius, 1);
    EXPECT_EQ(d.texture, "slob.png");
    EXPECT_EQ(d.uv_scale, 0.9f);
    EXPECT_EQ(d.tex_x1, 0.25f);
    EXPECT_EQ(d.tex_y1, 0.5f);
    EXPECT_EQ(d.tex_x2, 0.75f);
    EXPECT_EQ(d.tex_y2, 1.0f);
    EXPECT_EQ(d.friction, 0.4f);
    EXPECT_EQ(d.no_friction_vel, 12.0f);
    EXPECT_EQ(d.particle_damping, 0.2f);
    EXPECT_EQ(d.stickiness, 0.7f);
    EXPECT_TRUE(d.sticky_particles);
    EXPECT_EQ(d.sticky_velocity, 3.0f);
    EXPECT_EQ(d.sticky_force, 8.0f);
    EXPECT_EQ(d.mass_inv, 0.25f);
    EXPECT_EQ(d.rigidity, 0.6f);
    EXPECT_EQ(d.inertia, 2.0f);
    EXPECT_EQ(d.spring_short_constant, 400.0f);
    EXPECT_EQ(d.spring_long_constant, 50.0f);
    EXPECT_EQ(d.spring_damping, 0.3f);
}

TEST(SoftBodyDesc, PrefixIsTakenAsItIs) {
    const ptree tree = ParseInfo("b\n{\n    radius 2\n}\n");
    SoftBodyDesc with_dot;
    vo::InitSoftBodyDesc(with_dot, tree, "b.");
    EXPECT_EQ(with_dot.radius, 2.0f);
    EXPECT_EQ(with_dot.num_boundary_points, 12);
    SoftBodyDesc without_dot;
    vo::InitSoftBodyDesc(without_dot, tree, "b");
    EXPECT_EQ(without_dot.radius, 1.0f);
}

TEST(SoftBodyDesc, MassIsStoredInverted) {
    const std::pair<const char*, float> cases[] = {
        {"4", 0.25f}, {"0", 1e6f}, {"1e-6", 1e6f}, {"-3", 1e6f}, {"0.5", 2.0f}, {"heavy", 1.0f}};
    for (const auto& [mass, inv] : cases) {
        ptree tree;
        tree.put("mass", mass);
        SoftBodyDesc d;
        vo::InitSoftBodyDesc(d, tree, "");
        EXPECT_EQ(d.mass_inv, inv) << "mass " << mass;
    }
}

TEST(SoftBodyDesc, ValuesThatDoNotConvertGiveTheirDefaults) {
    ptree tree;
    tree.put("radius", "big");
    tree.put("numBoundaryPoints", "12.5");
    tree.put("friction", "nan");
    tree.put("springShortConstant", "1e39");  // overflows a float
    tree.put("stickyParticles", "yes");
    tree.put("inertia", "");
    SoftBodyDesc d;
    vo::InitSoftBodyDesc(d, tree, "");
    ExpectDefaults(d, true);
}

TEST(SoftBodyDesc, BooleansAcceptWordsAndDigits) {
    for (const char* text : {"true", "1"}) {
        ptree tree;
        tree.put("stickyParticles", text);
        SoftBodyDesc d;
        vo::InitSoftBodyDesc(d, tree, "");
        EXPECT_TRUE(d.sticky_particles) << text;
    }
}

// --- the circle builder ------------------------------------------------

TEST(CircleBuilder, DefaultDescriptionGivesTheDefaultBody) {
    SoftBody body;
    vo::CreateSoftBody_Circle(body, SoftBodyDesc());
    EXPECT_EQ(body.num_points(), 13);
    EXPECT_EQ(body.num_particles(), 12);
    EXPECT_EQ(body.num_border_points(), 12);
    EXPECT_EQ(body.num_inner_points(), 0);
    EXPECT_EQ(body.num_helper_points(), 1);
    EXPECT_EQ(body.num_springs(), 54);
    EXPECT_EQ(body.num_null_connections(), 12);
    EXPECT_EQ(body.num_triangles(), 12);

    // Point 0 at the top, then clockwise.
    EXPECT_NEAR(body.point_get_coords(0).x, 0.0f, 1e-6f);
    EXPECT_NEAR(body.point_get_coords(0).y, 1.0f, 1e-6f);
    EXPECT_NEAR(body.point_get_coords(3).x, 1.0f, 1e-6f);
    EXPECT_NEAR(body.point_get_coords(3).y, 0.0f, 1e-6f);
    EXPECT_NEAR(body.point_get_coords(6).y, -1.0f, 1e-6f);
    EXPECT_NEAR(body.point_get_coords(9).x, -1.0f, 1e-6f);
    EXPECT_EQ(body.point_get_coords(12).x, 0.0f);
    EXPECT_EQ(body.point_get_coords(12).y, 0.0f);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(body.particle_collection().particle(i)->position.x, body.point_get_coords(i).x);
        EXPECT_EQ(body.particle_get_mass_inv(i), 1.0f);
        EXPECT_EQ(body.point_get_coords(i).z, 0.0f);
    }

    EXPECT_NEAR(body.point_get_uv_coords(0).x, 0.5f, 1e-6f);
    EXPECT_NEAR(body.point_get_uv_coords(0).y, 0.0f, 1e-6f);
    EXPECT_NEAR(body.point_get_uv_coords(3).x, 1.0f, 1e-6f);
    EXPECT_NEAR(body.point_get_uv_coords(3).y, 0.5f, 1e-6f);
    EXPECT_EQ(body.point_get_uv_coords(12).x, 0.5f);
    EXPECT_EQ(body.point_get_uv_coords(12).y, 0.5f);

    // Fan triangles and null connections to the centre.
    int a, b, c;
    body.get_triangle(0, &a, &b, &c);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, 12);
    body.get_triangle(11, &a, &b, &c);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 11);
    EXPECT_EQ(body.get_null_connection(5).a, 5);
    EXPECT_EQ(body.get_null_connection(5).b, 12);

    // Settings from the description.
    EXPECT_EQ(body.get_friction(), 0.25f);
    EXPECT_EQ(body.get_particle_damping(), 0.1f);
    EXPECT_FALSE(body.scale_friction_enabled());
    EXPECT_FALSE(body.sticky_particles_enabled());
}

TEST(CircleBuilder, SpringsComeInOrderAndStartAtRest) {
    SoftBody body;
    vo::CreateSoftBody_Circle(body, SoftBodyDesc());
    auto ends = [&](int s) {
        const auto* t = body.spring_particle_index_tupel(s);
        return std::make_pair(t->first, t->second);
    };
    // Neighbours: (i, i+1), (i, i+2), (i, i+3).
    EXPECT_EQ(ends(0), std::make_pair(0, 1));
    EXPECT_EQ(ends(2), std::make_pair(0, 3));
    EXPECT_EQ(ends(35), std::make_pair(11, 2));
    // Opposing, one step beyond the opposite point: (i, (i + 7) mod 12).
    EXPECT_EQ(ends(36), std::make_pair(0, 7));
    EXPECT_EQ(ends(47), std::make_pair(11, 6));
    // Diameters, once per pair.
    EXPECT_EQ(ends(48), std::make_pair(0, 6));
    EXPECT_EQ(ends(53), std::make_pair(5, 11));

    EXPECT_LT(vo_test::MaxSpringStrain(body), 1e-6f);
    for (int s = 0; s < body.num_springs(); ++s) EXPECT_EQ(body.spring(s)->get_damping_constant(), 0.1f);
    EXPECT_FLOAT_EQ(body.spring(0)->get_spring_constant(), 500.0f);   // neighbour chord
    EXPECT_NEAR(body.spring(48)->get_spring_constant(), 100.0f, 1e-3f);  // diameter
    EXPECT_NEAR(body.spring(53)->get_default_length(), 2.0f, 1e-6f);
}

TEST(CircleBuilder, StiffnessIsLinearInTheRestLength) {
    // k(L) = (1 - q) 500 + q 100 with q = (L - chord) / (diameter - chord):
    // 500 for the chord, 100 for the diameter, 300 halfway. Checked over
    // every spring of a ring with springs of every length.
    SoftBody body;
    SoftBodyDesc desc = vo_test::CircleDesc(24);
    desc.nbr_connection_radius = 12;
    vo::CreateSoftBody_Circle(body, desc);
    const float d0 = body.spring(0)->get_default_length();
    for (int s = 0; s < body.num_springs(); ++s) {
        const float len = body.spring(s)->get_default_length();
        const float q = (len - d0) / (2.0f - d0);
        EXPECT_NEAR(body.spring(s)->get_spring_constant(), 500.0f - 400.0f * q, 1e-2f) << s;
    }
    // Neighbour radius 12 reaches the diameter (2) and the chord of 6 steps,
    // sqrt(2), which is nearly halfway between the chord and the diameter.
    const float half = (d0 + 2.0f) * 0.5f;
    const float l6 = body.spring(5)->get_default_length();
    EXPECT_NEAR(l6, std::sqrt(2.0f), 1e-5f);
    EXPECT_NEAR(body.spring(5)->get_spring_constant(), 300.0f - 400.0f * (l6 - half) / (2.0f - d0), 1e-2f);
}

struct CountCase {
    int n, nbr, opp;
    int springs;
};

TEST(CircleBuilder, SpringCounts) {
    const CountCase cases[] = {
        {12, 3, 2, 36 + 12 + 6},
        {7, 3, 2, 21 + 14},  // odd: m = 0 and 1, no diameters
        {12, 3, 0, 36},      // only neighbours
        {8, 0, 1, 4},        // only diameters
        {7, 1, 1, 7 + 7},
        {3, 1, 0, 3},
        {12, 0, 0, 0},
        {12, -4, -1, 0},       // negative radii count as 0
        {5, 9, 0, 25},         // radius clamped to the point count
    };
    for (const CountCase& c : cases) {
        SoftBodyDesc desc = vo_test::CircleDesc(c.n);
        desc.nbr_connection_radius = c.nbr;
        desc.opposing_connection_radius = c.opp;
        SoftBody body;
        vo::CreateSoftBody_Circle(body, desc);
        EXPECT_EQ(body.num_springs(), c.springs) << c.n << " " << c.nbr << " " << c.opp;
        EXPECT_EQ(body.num_points(), c.n + 1);
        EXPECT_TRUE(vo_test::AllFinite(body));
        for (int s = 0; s < body.num_springs(); ++s) {
            const auto* t = body.spring_particle_index_tupel(s);
            ASSERT_GE(t->first, 0);
            ASSERT_LT(t->second, c.n);
            EXPECT_TRUE(std::isfinite(body.spring(s)->get_spring_constant()));
        }
    }
}

TEST(CircleBuilder, OddRingOpposingSpringsStartAtTheNearestToOpposite) {
    SoftBody body;
    SoftBodyDesc desc = vo_test::CircleDesc(7);
    vo::CreateSoftBody_Circle(body, desc);
    // After 21 neighbour springs: (0, 3), (0, 4), (1, 4), ...
    EXPECT_EQ(body.spring_particle_index_tupel(21)->second, 3);
    EXPECT_EQ(body.spring_particle_index_tupel(22)->second, 4);
    EXPECT_EQ(body.spring_particle_index_tupel(23)->first, 1);
}

TEST(CircleBuilder, SettingsAndTextureRectangle) {
    SoftBodyDesc desc;
    desc.radius = 2.0f;
    desc.particle_damping = 1.5f;
    desc.friction = 0.6f;
    desc.no_friction_vel = 10.0f;
    desc.sticky_particles = true;
    desc.sticky_force = 4.0f;
    desc.sticky_velocity = 0.5f;
    desc.mass_inv = 0.25f;
    desc.rigidity = 0.3f;
    desc.inertia = 3.0f;
    desc.tex_x1 = 0.5f;
    desc.tex_x2 = 1.0f;
    desc.tex_y1 = 0.0f;
    desc.tex_y2 = 0.5f;
    desc.uv_scale = 0.5f;
    SoftBody body;
    vo::CreateSoftBody_Circle(body, desc);
    EXPECT_EQ(body.get_particle_damping(), 1.0f);
    EXPECT_EQ(body.get_friction(), 0.6f);
    EXPECT_TRUE(body.scale_friction_enabled());
    EXPECT_TRUE(body.sticky_particles_enabled());
    EXPECT_EQ(body.get_sticky_force(), 4.0f);
    EXPECT_EQ(body.get_sticky_velocity(), 0.5f);
    EXPECT_EQ(body.get_mass_inv(), 0.25f);
    EXPECT_EQ(body.get_rigidity(), 0.3f);
    EXPECT_EQ(body.get_inertia(), 3.0f);
    EXPECT_NEAR(body.point_get_coords(0).y, 2.0f, 1e-6f);
    // The disc maps onto the rectangle's centre (0.75, 0.25) with half the
    // reach: the top point to v = 0.25 - 0.25 * 0.5 * 0.5.
    EXPECT_EQ(body.point_get_uv_coords(12).x, 0.75f);
    EXPECT_EQ(body.point_get_uv_coords(12).y, 0.25f);
    EXPECT_NEAR(body.point_get_uv_coords(0).x, 0.75f, 1e-6f);
    EXPECT_NEAR(body.point_get_uv_coords(0).y, 0.125f, 1e-6f);
    EXPECT_NEAR(body.point_get_uv_coords(3).x, 0.875f, 1e-6f);
}

TEST(CircleBuilder, RebuildingReplacesTheOldBody) {
    SoftBody body;
    vo::CreateSoftBody_Circle(body, vo_test::CircleDesc(20));
    vo::CreateSoftBody_Circle(body, SoftBodyDesc());
    EXPECT_EQ(body.num_points(), 13);
    EXPECT_EQ(body.num_springs(), 54);
    EXPECT_EQ(body.num_null_connections(), 12);
    EXPECT_EQ(body.num_triangles(), 12);
}

TEST(CircleBuilder, RefusesDescriptionsThatCannotGiveASoundBody) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Bad {
        const char* what;
        void (*edit)(SoftBodyDesc&);
        const char* key;
    };
    static float s_nan, s_inf;
    s_nan = nan;
    s_inf = inf;
    const Bad cases[] = {
        {"no points", [](SoftBodyDesc& d) { d.num_boundary_points = 0; }, "numBoundaryPoints"},
        {"two points", [](SoftBodyDesc& d) { d.num_boundary_points = 2; }, "numBoundaryPoints"},
        {"negative", [](SoftBodyDesc& d) { d.num_boundary_points = -5; }, "numBoundaryPoints"},
        {"huge", [](SoftBodyDesc& d) { d.num_boundary_points = 1 << 30; }, "numBoundaryPoints"},
        {"zero radius", [](SoftBodyDesc& d) { d.radius = 0.0f; }, "radius"},
        {"negative radius", [](SoftBodyDesc& d) { d.radius = -1.0f; }, "radius"},
        {"nan radius", [](SoftBodyDesc& d) { d.radius = s_nan; }, "radius"},
        {"inf radius", [](SoftBodyDesc& d) { d.radius = s_inf; }, "radius"},
        {"overflowing radius", [](SoftBodyDesc& d) { d.radius = 1e30f; }, "radius"},
        {"nan spring", [](SoftBodyDesc& d) { d.spring_short_constant = s_nan; }, "springShortConstant"},
        {"inf damping", [](SoftBodyDesc& d) { d.spring_damping = s_inf; }, "springDamping"},
        {"nan friction", [](SoftBodyDesc& d) { d.friction = s_nan; }, "friction"},
        {"nan uv", [](SoftBodyDesc& d) { d.tex_x2 = s_nan; }, "texX2"},
        {"inf mass", [](SoftBodyDesc& d) { d.mass_inv = s_inf; }, "mass"},
    };
    for (const Bad& bad : cases) {
        SoftBody body;
        vo::CreateSoftBody_Circle(body, vo_test::CircleDesc(5));
        SoftBodyDesc desc;
        bad.edit(desc);
        try {
            vo::CreateSoftBody_Circle(body, desc);
            ADD_FAILURE() << bad.what << ": no error";
        } catch (const vo::Error& e) {
            const std::string msg = e.message();
            EXPECT_EQ(msg.rfind("CreateSoftBody_Circle: ", 0), 0u) << msg;
            EXPECT_NE(msg.find(bad.key), std::string::npos) << bad.what << ": " << msg;
        }
        // The body is left as it was.
        EXPECT_EQ(body.num_points(), 6) << bad.what;
        EXPECT_EQ(body.num_springs(), 5 * 3 + 5 + 5) << bad.what;
    }
}

TEST(CircleBuilder, SmallestAndLargestRingsAreSound) {
    for (int n : {3, 4, vo::kMaxCircleBoundaryPoints}) {
        SoftBody body;
        vo::CreateSoftBody_Circle(body, vo_test::CircleDesc(n));
        EXPECT_TRUE(vo_test::AllFinite(body));
        for (int s = 0; s < body.num_springs(); ++s) {
            ASSERT_TRUE(std::isfinite(body.spring(s)->get_spring_constant())) << n << " spring " << s;
        }
        body.update(1.0 / 60.0);
        EXPECT_TRUE(vo_test::AllFinite(body)) << n;
    }
}

// Connection radii as large as the point count asked for tens of millions of
// springs; the spring budget cuts them back, with a warning naming the key,
// and the body builds and steps quickly.
TEST(CircleBuilder, SpringBudget) {
    struct Row {
        const char* label;
        std::string description;
        std::string outcome;
    };
    const std::string warn = "WARNING: CreateSoftBody_Circle: ";
    const Row rows[] = {
        {"4,096 points, both radii 4,096",
         "numBoundaryPoints 4096\nnbrConnectionRadius 4096\nopposingConnectionRadius 4096\n",
         warn + "\"nbrConnectionRadius\" 4096 would give a ring of 4096 points more than 65536 springs, using 16\n" +
             warn + "\"opposingConnectionRadius\" 4096 would give a ring of 4096 points more than 65536 springs, using 0\n" +
             "65536 springs"},
        {"4,096 points, opposing radius 4,096",
         "numBoundaryPoints 4096\nopposingConnectionRadius 4096\n",
         warn + "\"opposingConnectionRadius\" 4096 would give a ring of 4096 points more than 65536 springs, using 13\n" +
             "63488 springs"},
        {"4,095 points, neighbour radius 4,095",
         "numBoundaryPoints 4095\nnbrConnectionRadius 4095\n",
         warn + "\"nbrConnectionRadius\" 4095 would give a ring of 4095 points more than 65536 springs, using 16\n" +
             warn + "\"opposingConnectionRadius\" 2 would give a ring of 4095 points more than 65536 springs, using 0\n" +
             "65520 springs"},
        {"the default description", "", "54 springs"},
    };
    for (const Row& row : rows) {
        vo_test::ExpectQuickAndSmall(row.label,
                                     [&row] {
                                         SoftBodyDesc desc;
                                         vo::InitSoftBodyDesc(desc, ParseInfo(row.description), "");
                                         std::ostringstream out;
                                         std::streambuf* const saved = std::cout.rdbuf(out.rdbuf());
                                         SoftBody body;
                                         vo::CreateSoftBody_Circle(body, desc);
                                         std::cout.rdbuf(saved);
                                         body.update(1.0 / 60.0);
                                         if (!vo_test::AllFinite(body)) return std::string("not finite");
                                         return out.str() + std::to_string(body.num_springs()) + " springs";
                                     },
                                     row.outcome);
    }
}

}  // namespace
