// The fluid particle handler (texture coordinates fixed at birth) and the
// fluid behavior's five layers of quads.

#include "game/behaviors/fluid_behavior.h"
#include "game/level/fluid.h"

#include "engine/core/resources.h"
#include "engine/core/vertex.h"
#include "support/game/app_harness.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace vo;

ParticleHandler::ParticleDesc Desc(double min_life, double max_life, float radius = 0.5f) {
    ParticleHandler::ParticleDesc d;
    d.particleRadius = radius;
    d.minLiveTime = min_life;
    d.maxLiveTime = max_life;
    d.massInv = 1.0;
    return d;
}

void Create(ParticleHandler& fluid, std::vector<vector3> const& at) {
    std::vector<ParticleSource::ParticleDesc> descs(at.size());
    for (std::size_t i = 0; i < at.size(); ++i) descs[i].position = at[i];
    fluid.create_particles(static_cast<unsigned>(descs.size()), descs.data());
}

void ExpectUv(const vector2& uv, float u, float v) {
    EXPECT_FLOAT_EQ(uv.x, u);
    EXPECT_FLOAT_EQ(uv.y, v);
}

TEST(Fluid, AParticleKeepsTheTextureCoordinateOfItsBirth) {
    vo::Fluid fluid;
    fluid.set_particle_desc(Desc(1.0, 1.0));
    fluid.set_uv_scale(vector2(0.5f, 2.0f));
    Create(fluid, {vector3(1, 2, 7), vector3(3, -1, 0)});
    ASSERT_EQ(fluid.particle_uvs().size(), 2u);
    ExpectUv(fluid.particle_uvs()[0], 0.5f, 4.0f);  // z plays no part
    ExpectUv(fluid.particle_uvs()[1], 1.5f, -2.0f);

    // The texture space drifts; particles born later show a shifted part.
    fluid.set_uv_velocity(vector2(1.0f, -2.0f));
    fluid.update(0.5);
    Create(fluid, {vector3(0, 0, 0)});
    ExpectUv(fluid.particle_uvs()[2], 0.5f, -1.0f);
    ExpectUv(fluid.particle_uvs()[0], 0.5f, 4.0f);

    // A new scale counts for later particles only.
    fluid.set_uv_scale(vector2(1.0f, 1.0f));
    Create(fluid, {vector3(2, 2, 0)});
    ExpectUv(fluid.particle_uvs()[3], 2.5f, 1.0f);
    ExpectUv(fluid.particle_uvs()[1], 1.5f, -2.0f);

    // The first two have lived their second: their slots are reused, with
    // coordinates of the new births (offset now (1, -2)).
    fluid.update(0.5);
    EXPECT_FALSE(fluid.is_active(0));
    Create(fluid, {vector3(5, 5, 0), vector3(6, 6, 0)});
    EXPECT_EQ(fluid.num_particles(), 4u);
    ExpectUv(fluid.particle_uvs()[0], 7.0f, 4.0f);
    ExpectUv(fluid.particle_uvs()[1], 6.0f, 3.0f);
}

TEST(Fluid, ParticlesWithoutALifetimeNeverExpire) {
    vo::Fluid fluid;
    fluid.set_particle_desc(Desc(0.0, 0.0));
    Create(fluid, {vector3(), vector3(1, 0, 0)});
    fluid.update(1000.0);
    EXPECT_EQ(fluid.num_active_particles(), 2u);
}

// The behavior needs the engine's buffers: the application runs.
class FluidLayers : public testing::Test {
protected:
    void SetUp() override { app.init(); }
    vo_test::AppHarness app;
};

std::vector<ColorVertex> Vertices(SimpleVisual& layer, unsigned count) {
    void* data = nullptr;
    EXPECT_TRUE(layer.vertex_buffer()->lock(&data, 0, count));
    std::vector<ColorVertex> out(static_cast<ColorVertex*>(data), static_cast<ColorVertex*>(data) + count);
    layer.vertex_buffer()->unlock();
    return out;
}

TEST_F(FluidLayers, TheNewestFrameIsDrawnOnTopAndTheOlderOnesFade) {
    FluidEntity entity;
    behaviors::Fluid& fluid = *entity.fluid_behavior();
    EXPECT_EQ(fluid.root_node()->num_children(), 5);
    const Color colours[5] = {Color(0.7f, 0.7f, 0.7f, 0.48f), Color(0.9f, 0.9f, 0.9f, 0.56f),
                              Color(1, 1, 1, 0.64f), Color(1, 1, 1, 0.72f), Color(1, 1, 1, 0.8f)};
    // The first update keeps the layers where they were made.
    fluid.update(1.0f / 60.0f);
    SmartPtr<SimpleVisual> before[5];
    for (int update = 1; update < 8; ++update) {
        SCOPED_TRACE(update);
        for (int p = 0; p < 5; ++p) before[p] = fluid.layer_at(p);
        fluid.update(1.0f / 60.0f);
        // Every layer moves one position down; the oldest comes back on top.
        for (int p = 0; p < 4; ++p) EXPECT_EQ(fluid.layer_at(p).get(), before[p + 1].get());
        EXPECT_EQ(fluid.layer_at(4).get(), before[0].get());
        for (int p = 0; p < 5; ++p) {
            const Color& c = fluid.layer_at(p)->color();
            EXPECT_NEAR(c.r, colours[p].r, 1e-6f);
            EXPECT_NEAR(c.a, colours[p].a, 1e-6f);
        }
    }
}

TEST_F(FluidLayers, EveryLiveParticleIsOneQuadOfTheNewestLayer) {
    FluidEntity entity;
    behaviors::Fluid& behavior = *entity.fluid_behavior();
    vo::Fluid& fluid = behavior.fluid();
    fluid.set_particle_desc(Desc(0.0, 0.0, 0.4f));  // quads of half-size 1
    fluid.set_uv_scale(vector2(0.5f, 0.25f));
    std::vector<vector3> ten;
    for (int i = 0; i < 10; ++i) ten.push_back(vector3(static_cast<float>(i), 2.0f, 0.0f));
    Create(fluid, ten);

    behavior.update(0.0f);
    SmartPtr<SimpleVisual> first = behavior.layer_at(4);
    EXPECT_EQ(first->num_primitives(), 20);
    EXPECT_EQ(first->vertex_buffer()->num_vertices(), 40u);
    EXPECT_EQ(first->index_buffer()->num_indices(), 60u);
    const std::vector<ColorVertex> v = Vertices(*first, 8);
    // Particle 1 at (1, 2), coordinate (0.5, 0.5): its corners clockwise
    // from the top left, the colour telling the corner.
    const float corners[4][2] = {{-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        const ColorVertex& c = v[4 + k];
        EXPECT_FLOAT_EQ(c.position.x, 1.0f + corners[k][0]);
        EXPECT_FLOAT_EQ(c.position.y, 2.0f + corners[k][1]);
        EXPECT_FLOAT_EQ(c.tex_coord.x, 0.5f + 0.5f * corners[k][0]);
        EXPECT_FLOAT_EQ(c.tex_coord.y, 0.5f + 0.25f * corners[k][1]);
        EXPECT_EQ(c.color.r, corners[k][0] > 0 ? 1.0f : 0.0f);
        EXPECT_EQ(c.color.g, corners[k][1] > 0 ? 1.0f : 0.0f);
    }
    AABox box;
    ASSERT_TRUE(behavior.bounding_box(box));
    EXPECT_EQ(box.min.x, 0.0f);
    EXPECT_EQ(box.max.x, 9.0f);

    // 15 more; the first layer comes back on top after five updates and
    // grows by its need, the quad pattern written for all it holds.
    std::vector<vector3> fifteen;
    for (int i = 0; i < 15; ++i) fifteen.push_back(vector3(static_cast<float>(i), -3.0f, 0.0f));
    Create(fluid, fifteen);
    behavior.update(0.0f);
    EXPECT_EQ(behavior.layer_at(4)->vertex_buffer()->num_vertices(), 100u);
    behavior.update(0.0f);
    behavior.update(0.0f);
    behavior.update(0.0f);
    behavior.update(0.0f);
    ASSERT_EQ(behavior.layer_at(4).get(), first.get());
    EXPECT_EQ(first->vertex_buffer()->num_vertices(), 140u);
    EXPECT_EQ(first->index_buffer()->num_indices(), 210u);
    EXPECT_EQ(first->num_primitives(), 50);
    unsigned* indices = nullptr;
    ASSERT_TRUE(first->index_buffer()->lock(&indices, 0, 210));
    const std::vector<unsigned> last_quad(indices + 204, indices + 210);
    first->index_buffer()->unlock();
    EXPECT_EQ(last_quad, (std::vector<unsigned>{136, 137, 138, 136, 138, 139}));
}

TEST_F(FluidLayers, ExpiredParticlesLeaveNoGapAndADeadFluidFadesOut) {
    FluidEntity entity;
    behaviors::Fluid& behavior = *entity.fluid_behavior();
    vo::Fluid& fluid = behavior.fluid();
    fluid.set_particle_desc(Desc(1.0, 1.0));
    Create(fluid, {vector3(0, 0, 0), vector3(1, 0, 0)});
    fluid.update(0.5);
    fluid.set_particle_desc(Desc(0.0, 0.0));
    Create(fluid, {vector3(2, 0, 0)});
    fluid.update(0.6);  // the first two have expired
    behavior.update(0.0f);
    EXPECT_EQ(behavior.layer_at(4)->num_primitives(), 2);
    EXPECT_FLOAT_EQ(Vertices(*behavior.layer_at(4), 1)[0].position.x, 2.0f - 1.25f);

    behaviors::Fluid dead;
    dead.fluid().set_particle_desc(Desc(1.0, 1.0));
    Create(dead.fluid(), {vector3(0, 0, 0)});
    dead.update(0.0f);
    dead.fluid().update(2.0);
    dead.update(0.0f);
    EXPECT_EQ(dead.layer_at(4)->num_primitives(), 0);
    EXPECT_EQ(dead.layer_at(3)->num_primitives(), 2);  // the last frame still shows
    AABox box;
    EXPECT_FALSE(dead.bounding_box(box));
}

TEST_F(FluidLayers, ACloneHasTheTextureAndEffectButNoParticles) {
    behaviors::Fluid fluid;
    SmartPtr<Texture> texture = GetTexture("basic_modulation.png");
    fluid.set_texture(texture);
    fluid.set_effect(EffectHandle(7, EFFECT_PIXEL_SHADER, true));
    Create(fluid.fluid(), {vector3()});
    std::unique_ptr<behaviors::Fluid> copy(static_cast<behaviors::Fluid*>(fluid.clone()));
    for (int p = 0; p < 5; ++p) {
        EXPECT_EQ(copy->layer_at(p)->texture().get(), texture.get());
        EXPECT_EQ(copy->layer_at(p)->effect(), EffectHandle(7, EFFECT_PIXEL_SHADER, true));
    }
    EXPECT_EQ(copy->fluid().num_particles(), 0u);
}

}  // namespace
