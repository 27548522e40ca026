// Generating the match level from the configuration and a seed, and the
// level's boundary under many carves.

#include "level_fixtures.h"

#include "engine/core/error.h"
#include "engine/core/random.h"
#include "game/level/level_generation.h"
#include "game/level/level_geometry_handle.h"
#include "support/game/level_invariants.h"
#include "support/grid/stdout_capture.h"

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <limits>
#include <sstream>

namespace {

using namespace vo;
using ::testing::HasSubstr;
namespace pt = boost::property_tree;

// The generation's values from a game configuration tree, each key with
// its default.
LevelGenerationParams ParamsFrom(const pt::ptree& config)
{
    LevelGenerationParams p;
    p.area.rim_width = config.get("area.rimWidth", p.area.rim_width);
    p.area.uv_scale = config.get("area.uvScale", p.area.uv_scale);
    p.area.light_radius_min_factor = config.get("area.lightRadiusMinFac", p.area.light_radius_min_factor);
    p.area.light_radius_max_factor = config.get("area.lightRadiusMaxFac", p.area.light_radius_max_factor);
    p.caves.seed = config.get("randArea.seed", p.caves.seed);
    p.caves.radius = config.get("randArea.radius", p.caves.radius);
    p.caves.num_circles = config.get("randArea.numCircles", p.caves.num_circles);
    p.caves.min_circle_radius = config.get("randArea.minCircleRadius", p.caves.min_circle_radius);
    p.caves.max_circle_radius = config.get("randArea.maxCircleRadius", p.caves.max_circle_radius);
    p.lava.seed = config.get("randLava.seed", p.lava.seed);
    p.lava.inner_rim_radius = config.get("randLava.innerRimRadius", p.lava.inner_rim_radius);
    p.lava.outer_rim_radius = config.get("randLava.outerRimRadius", p.lava.outer_rim_radius);
    p.lava.num_fields = config.get("randLava.numFields", p.lava.num_fields);
    p.lava.field_radius = config.get("randLava.fieldRadius", p.lava.field_radius);
    p.lava.num_sub_circles_per_field =
        config.get("randLava.numSubCirclesPerField", p.lava.num_sub_circles_per_field);
    p.lava.sub_circle_radius = config.get("randLava.subCircleRadius", p.lava.sub_circle_radius);
    return p;
}

// The values of the shipped "game_config.info".
LevelGenerationParams ShippedParams()
{
    pt::ptree config;
    pt::read_info(std::string(QV_GAME_DATA_DIR) + "/config/game_config.info", config);
    return ParamsFrom(config);
}

size_t Count(const std::vector<LevelEditRecord>& log, LevelEditOp op)
{
    size_t n = 0;
    for (const LevelEditRecord& r : log)
        n += r.op == static_cast<std::uint32_t>(op);
    return n;
}

LevelGenerationParams WithCounts(float circles, float fields, float spots)
{
    LevelGenerationParams params;
    params.caves.num_circles = circles;
    params.lava.num_fields = fields;
    params.lava.num_sub_circles_per_field = spots;
    return params;
}

std::vector<LevelEditRecord> Generate(const LevelGenerationParams& params, int seed)
{
    LevelGeometryHandle level;
    GenerateLevelArea(level, params, seed, EffectHandle(), EffectHandle());
    return level.edit_log();
}

TEST(LevelGeneration, TheDefaultLevel)
{
    LevelGeometryHandle level;
    GenerateLevelArea(level, LevelGenerationParams(), 0, EffectHandle(), EffectHandle());
    const std::vector<LevelEditRecord>& log = level.edit_log();
    ASSERT_EQ(log.size(), 160u + 30u);
    // every lava spot before the first hole
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].op, i < 160 ? 1u : 0u);
        if (i < 160) {
            EXPECT_EQ(log[i].radius, 2.0f);
            // spots scatter 5 around field centres 20 .. 20 + 40 sqrt 2 out
            const float d = std::hypot(log[i].x, log[i].y);
            EXPECT_GT(d, 20 - 5 * std::sqrt(2.0f));
            EXPECT_LT(d, 20 + 40 * std::sqrt(2.0f) + 5 * std::sqrt(2.0f));
        } else {
            EXPECT_LT(std::fabs(log[i].x), 40.0f);
            EXPECT_LT(std::fabs(log[i].y), 40.0f);
            EXPECT_GE(log[i].radius, 5.0f);
            EXPECT_LT(log[i].radius, 15.0f);
        }
    }
    EXPECT_FLOAT_EQ(level.outer_radius(), 200.0f);
    EXPECT_GT(level.collision_node()->num_children(), 0);
}

// One seed, one level: whatever was drawn before, and across seed sums that
// wrap around 2^32.
TEST(LevelGeneration, TheSameSeedGivesTheSameLevel)
{
    const LevelGenerationParams params;
    SeedRand(5);
    const std::vector<LevelEditRecord> first = Generate(params, 1234);
    for (int i = 0; i < 17; ++i)
        Rand();
    EXPECT_TRUE(level_test::SameLog(Generate(params, 1234), first));
    EXPECT_FALSE(level_test::SameLog(Generate(params, 1235), first));

    // INT_MAX + base wraps: the same sums from level seed 0 give the same level.
    LevelGenerationParams shifted = params;
    shifted.lava.seed = static_cast<int>(static_cast<unsigned int>(params.lava.seed) + INT_MAX);
    shifted.caves.seed = static_cast<int>(static_cast<unsigned int>(params.caves.seed) + INT_MAX);
    EXPECT_TRUE(level_test::SameLog(Generate(params, INT_MAX), Generate(shifted, 0)));
}

TEST(LevelGeneration, CountsOfHolesAndFields)
{
    const struct {
        const char* name;
        float num_circles;
        float num_fields;
        float spots;
        size_t holes;
        size_t lava;
    } cases[] = {
        {"a fraction rounds up", 2.5f, 1, 1, 3, 1},
        {"no holes", 0, 2, 3, 0, 6},
        {"negative counts", -4, -1, 3, 0, 0},
        {"no spots", 1, 3, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<LevelEditRecord> log =
            Generate(WithCounts(c.num_circles, c.num_fields, c.spots), 3);
        EXPECT_EQ(Count(log, LEVEL_EDIT_CARVE), c.holes);
        EXPECT_EQ(Count(log, LEVEL_EDIT_LAVA), c.lava);
    }
}

TEST(LevelGeneration, ALavaBandWithoutWidthMakesNoFields)
{
    LevelGenerationParams params;
    params.lava.outer_rim_radius = params.lava.inner_rim_radius;
    mg_test::StdoutCapture out;
    const std::vector<LevelEditRecord> log = Generate(params, 0);
    EXPECT_EQ(out.str(), "LAVA GENERATION ERROR: inner rim width > outer rim width.\n");
    EXPECT_EQ(Count(log, LEVEL_EDIT_LAVA), 0u);
    EXPECT_EQ(Count(log, LEVEL_EDIT_CARVE), 30u);
}

TEST(LevelGeneration, CountsThatCannotBeGeneratedAreRefused)
{
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float circles, fields, spots;
        const char* key;
    } cases[] = {
        {inf, 20, 8, "randArea.numCircles"},
        {30, std::numeric_limits<float>::quiet_NaN(), 8, "randLava.numFields"},
        {30, 20, 1e6f, "randLava.numSubCirclesPerField"},
        {30, 2000, 2000, "randLava.numFields x randLava.numSubCirclesPerField"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        LevelGeometryHandle level;
        try {
            GenerateLevelArea(level, WithCounts(c.circles, c.fields, c.spots), 0, EffectHandle(),
                              EffectHandle());
            ADD_FAILURE() << "not refused";
        } catch (const Error& e) {
            EXPECT_THAT(e.message(), HasSubstr(c.key));
        }
        EXPECT_EQ(level.outer_radius(), 0.0f);  // nothing was made
    }
}

// The level of the shipped configuration, built step by step as the
// generation builds it: the boundary is sound after every carve.
TEST(LevelGeneration, TheShippedLevelKeepsItsBoundarySoundAfterEveryCarve)
{
    const LevelGenerationParams params = ShippedParams();
    LevelGeometryHandle generated;
    GenerateLevelArea(generated, params, 0, EffectHandle(), EffectHandle());

    LevelGeometryHandle level;
    level.create(params.level_radius, params.spacing, params.area.rim_width, params.area.uv_scale,
                 EffectHandle(), EffectHandle(), params.area.light_radius_min_factor,
                 params.area.light_radius_max_factor);
    for (const LevelEditRecord& r : generated.edit_log()) {
        if (r.op == LEVEL_EDIT_LAVA) {
            level.add_lava(r.x, r.y, r.radius);
            continue;
        }
        level.explode(r.x, r.y, r.radius, nullptr);
        const vo_test::LevelInvariantReport report =
            vo_test::CheckLevelInvariants(level.geometry(), {{r.x, r.y, r.radius}});
        ASSERT_TRUE(report.ok()) << "after the carve at " << r.x << ", " << r.y << ", "
                                 << r.radius << ":\n"
                                 << report.text();
    }
    EXPECT_TRUE(level_test::ImageOf(level.geometry()) == level_test::ImageOf(generated.geometry()));
    EXPECT_GT(vo_test::CheckLevelInvariants(level.geometry(), {}).num_collision_edges, 150u);
}

// 500 seeded carves of radius 0.5 to 20 all over the level and its outer
// border region, the checker after each; pinch points where two holes touch
// are allowed and reported.
TEST(LevelGeneration, FiveHundredRandomCarvesKeepTheBoundarySound)
{
    LevelGeometryHandle level;
    GenerateLevelArea(level, ShippedParams(), 0, EffectHandle(), EffectHandle());
    const size_t generated = level.edit_log().size();
    SeedRand(2024);
    mg_test::StdoutCapture out;  // spike removal reports pinch points
    size_t pinches = 0;
    for (int i = 0; i < 500; ++i) {
        const float x = UniformDraw(-150, 150);
        const float y = UniformDraw(-150, 150);
        const float r = UniformDraw(0.5f, 20);
        level.explode(x, y, r, nullptr);
        const vo_test::LevelInvariantReport report =
            vo_test::CheckLevelInvariants(level.geometry(), {{x, y, r}});
        ASSERT_TRUE(report.ok()) << "after carve " << i << " at " << x << ", " << y << ", " << r
                                 << ":\n"
                                 << report.text();
        pinches = std::max(pinches, report.irregular_vertices.size());
    }
    EXPECT_EQ(level.edit_log().size(), generated + 500u);
    EXPECT_LT(pinches, 20u);
}

// The blast radii of the shipped explosion types.
std::vector<float> ShippedBlastRadii()
{
    pt::ptree weapons;
    pt::read_info(std::string(QV_GAME_DATA_DIR) + "/config/weapons.info", weapons);
    std::vector<float> radii;
    for (const auto& type : weapons.get_child("explosionTypes"))
        radii.push_back(type.second.get("radius", 1.0f));
    return radii;
}

// Seeded blasts of the game's radii all over the disc, the coarse band
// beyond the level radius included, out to the outer border: after each, no
// vertex lies inside any crater made so far (a later cut may only reach
// into an earlier one by the sagitta of a boundary chord).
TEST(LevelGeneration, GameBlastsAllOverTheDiscLeaveNoRockInEarlierCraters)
{
    LevelGeometryHandle level;
    GenerateLevelArea(level, ShippedParams(), 0, EffectHandle(), EffectHandle());
    const std::vector<float> radii = ShippedBlastRadii();
    ASSERT_GE(radii.size(), 3u);
    const float outer = level.outer_radius();
    SeedRand(35);
    mg_test::StdoutCapture out;  // spike removal reports pinch points
    int beyondLevel = 0;
    for (int i = 0; i < 200; ++i) {
        const float angle = UniformDraw(0, 6.2831855f);
        const float d = outer * std::sqrt(UniformDraw(0, 1));
        const float x = d * std::sin(angle);
        const float y = d * std::cos(angle);
        const float r = radii[static_cast<size_t>(UniformDraw(0, static_cast<float>(radii.size())))];
        beyondLevel += d > 100.0f;
        level.explode(x, y, r, nullptr);
        const vo_test::LevelInvariantReport report =
            vo_test::CheckLevelInvariants(level.geometry(), vo_test::CarveInteriors(level.geometry()));
        ASSERT_TRUE(report.ok()) << "after blast " << i << " at " << x << ", " << y << ", " << r
                                 << ":\n"
                                 << report.text();
    }
    EXPECT_GT(beyondLevel, 100);
}

// The mesh with its subsets as an MGX file, read back as XML.
TEST(LevelGeneration, AnMgxDumpOfTheLevelReadsBack)
{
    LevelGeometryHandle level;
    GenerateLevelArea(level, LevelGenerationParams(), 0, EffectHandle(), EffectHandle());
    const std::filesystem::path dir = std::filesystem::path(QV_GAME_DATA_DIR).parent_path() /
                                      "tests" / "artefacts";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "generated_level.mgx").string();
    ASSERT_TRUE(level.write_mgx(file));

    pt::ptree doc;
    pt::read_xml(file, doc);
    const pt::ptree& grid = doc.get_child("grid");
    std::istringstream coords(grid.get<std::string>("vertices"));
    size_t numbers = 0;
    float value;
    while (coords >> value)
        ++numbers;
    LevelMesh& mesh = level.geometry().mesh();
    EXPECT_EQ(grid.get<int>("vertices.<xmlattr>.coords"), 3);
    EXPECT_EQ(numbers, 3 * mesh.grid.num_vertices());
    std::istringstream triangles(grid.get<std::string>("triangles"));
    size_t corners = 0;
    int index;
    while (triangles >> index) {
        ++corners;
        EXPECT_LT(static_cast<size_t>(index), mesh.grid.num_vertices());
    }
    EXPECT_EQ(corners, 3 * mesh.grid.num_faces());

    std::map<std::string, size_t> edgesBySubset;
    for (const auto& child : grid.get_child("subset_handler")) {
        if (child.first != "subset")
            continue;
        std::istringstream edges(child.second.get<std::string>("edges", ""));
        size_t n = 0;
        while (edges >> index)
            ++n;
        edgesBySubset[child.second.get<std::string>("<xmlattr>.name")] = n;
    }
    EXPECT_EQ(edgesBySubset["collision"], mesh.subsets.num<mg::Edge>(LEVEL_SUBSET_COLLISION));
    EXPECT_EQ(edgesBySubset["edgeGeometry"], mesh.subsets.num<mg::Edge>(LEVEL_SUBSET_EDGES));
}

}  // namespace
