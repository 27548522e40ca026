// The renderer over the real back end, in a window under Xvfb.

#include <gtest/gtest.h>

#include "engine/core/vertex.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/transform_node.h"
#include "engine/scene/traverser_renderer.h"
#include "support/engine/test_window.h"

namespace vo {
namespace {

using vo_test::Rgba;

// Draws a 10 x 10 red square at the origin of the current model-view matrix
// after each transform node, and keeps the matrix it saw there.
class MarkingRenderer : public Traverser_Renderer {
public:
    explicit MarkingRenderer(vo_test::TestWindow& window) : window_(window) {}
    float seen[16] = {};

protected:
    void handle_transform(TransformNode* node) override {
        Traverser_Renderer::handle_transform(node);
        Engine& engine = window_.engine();
        engine.get_modelview_matrix(seen);
        SmartPtr<VertexBuffer> vertices = engine.create_vertex_buffer();
        SmartPtr<IndexBuffer> indices = engine.create_index_buffer();
        vertices->create(4, sizeof(ColorVertex), ColorVertex::VRT_DESC);
        void* v = nullptr;
        ASSERT_TRUE(vertices->lock(&v, 0, 4));
        const Color red(1, 0, 0, 1);
        ColorVertex* cv = static_cast<ColorVertex*>(v);
        cv[0] = ColorVertex(vector3(0, 0, 0), red, vector2(0, 0));
        cv[1] = ColorVertex(vector3(10, 0, 0), red, vector2(1, 0));
        cv[2] = ColorVertex(vector3(10, 10, 0), red, vector2(1, 1));
        cv[3] = ColorVertex(vector3(0, 10, 0), red, vector2(0, 1));
        vertices->unlock();
        indices->create(6);
        unsigned* i = nullptr;
        ASSERT_TRUE(indices->lock(&i, 0, 6));
        const unsigned quad[6] = {0, 1, 2, 0, 2, 3};
        for (int k = 0; k < 6; ++k) i[k] = quad[k];
        indices->unlock();
        engine.set_vertex_buffer(vertices);
        engine.set_index_buffer(indices);
        engine.draw_indexed(0, 4, 0, 6, 0, PRIMITIVE_TRIANGLES);
    }

private:
    vo_test::TestWindow& window_;
};

TEST(RendererWindowTest, TransformsMoveTheDrawingAndGroupsRestoreTheMatrix) {
    vo_test::TestWindow window(320, 240);
    window.use_pixel_coordinates();
    Engine& engine = window.engine();
    engine.set_clear_color(Color(0, 0, 0, 1));
    engine.clear();

    SmartPtr<GroupNode> root = GroupNode::create();
    SmartPtr<TransformNode> shift = TransformNode::create();
    MathMatrix<4, 4, float> m = MathMatrix<4, 4, float>::identity();
    m[12] = 100.0f;
    m[13] = 50.0f;
    shift->set_transform(m);
    root->add_child(shift);

    MarkingRenderer renderer(window);
    renderer.render(root);
    EXPECT_EQ(renderer.seen[12], 100.0f);
    EXPECT_EQ(renderer.seen[13], 50.0f);
    // The square sits where the transform put it.
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(105, 55), (Rgba{255, 0, 0}), 0);
    EXPECT_PRED3(vo_test::ColorNear, window.pixel(5, 5), (Rgba{0, 0, 0}), 0);
    EXPECT_EQ(window.count_pixels(Rgba{255, 0, 0}, 0), 100);
    // The group's pop restored the model-view matrix.
    float after[16];
    engine.get_modelview_matrix(after);
    EXPECT_EQ(after[12], 0.0f);
    EXPECT_EQ(after[13], 0.0f);
    EXPECT_EQ(after[0], 1.0f);
}

}  // namespace
}  // namespace vo
