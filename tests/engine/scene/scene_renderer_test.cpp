#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/scene/collision_nodes.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/transform_node.h"
#include "engine/scene/traverser_renderer.h"
#include "engine/scene/visual_node.h"
#include "engine/visuals/visual.h"
#include "engine/sfml/engine.h"

namespace vo {
namespace {

// Records the matrix calls; every other operation does nothing.
class MatrixRecordingEngine : public Engine {
public:
    std::vector<std::string> calls;

    void push_matrix(bool modelview, bool texture, bool projection) override {
        calls.push_back(std::string("push ") + flags(modelview, texture, projection));
    }
    void pop_matrix(bool modelview, bool texture, bool projection) override {
        calls.push_back(std::string("pop ") + flags(modelview, texture, projection));
    }
    void mult_matrix(float const* m) override { calls.push_back("mult " + std::to_string(static_cast<int>(m[12]))); }

    bool is_running() override { return false; }
    void stop() override {}
    float time() override { return 0; }
    bool set_event_handler(IEventHandler*) override { return false; }
    vector2 desktop_resolution() override { return vector2(); }
    bool create_window(unsigned, unsigned, const char*, unsigned) override { return false; }
    unsigned window_width() override { return 0; }
    unsigned window_height() override { return 0; }
    int screen_width() override { return 0; }
    int screen_height() override { return 0; }
    SmartPtr<VertexBuffer> create_vertex_buffer() override { return SmartPtr<VertexBuffer>(); }
    SmartPtr<IndexBuffer> create_index_buffer() override { return SmartPtr<IndexBuffer>(); }
    SmartPtr<Texture> create_texture() override { return SmartPtr<Texture>(); }
    SmartPtr<Music> create_music() override { return SmartPtr<Music>(); }
    SmartPtr<SoundBuffer> create_sound_buffer() override { return SmartPtr<SoundBuffer>(); }
    SmartPtr<Sound> create_sound() override { return SmartPtr<Sound>(); }
    bool process_events() override { return false; }
    bool is_key_down(KeyCode) override { return false; }
    float mouse_x() override { return 0; }
    float mouse_y() override { return 0; }
    float mouse_wheel_delta() override { return 0; }
    bool mouse_buttons_down(int) override { return false; }
    bool joystick_connected(unsigned) override { return false; }
    float joystick_axis(unsigned, int) override { return 0; }
    bool joystick_button_down(unsigned, unsigned) override { return false; }
    void set_vsync(bool) override {}
    void set_clear_color(Color const&) override {}
    void clear() override {}
    void display() override {}
    void create_render_target(const char*, int, int, bool) override {}
    void set_effect_render_target(const char*, EffectHandle, int) override {}
    void bind_render_target_texture(const char*) override {}
    SmartPtr<Texture> render_target_texture(const char*) override { return SmartPtr<Texture>(); }
    void set_render_target(const char*) override {}
    void push_viewport(int, int, int, int, bool) override {}
    void pop_viewport() override {}
    void push_scissor(int, int, int, int, bool) override {}
    void pop_scissor() override {}
    void set_state(int, bool) override {}
    void set_blend_mode(int) override {}
    void set_point_size(float) override {}
    void set_ambient_light(Color const&) override {}
    void set_material_ambient(Color const&) override {}
    void set_material_diffuse(Color const&) override {}
    EffectHandle create_effect(EffectDesc const&) override { return EffectHandle(); }
    void init_effect(EffectHandle, EffectDesc const&) override {}
    void update_effect_texture(EffectHandle, int, SmartPtr<Texture>) override {}
    void set_effect_parameter(EffectHandle, const char*, Variant const&) override {}
    EffectHandle free_effect(EffectHandle) override { return EffectHandle(); }
    void apply_effect(EffectHandle) override {}
    void unapply_effect() override {}
    void force_effect(EffectHandle) override {}
    void unforce_effect() override {}
    void set_vertex_buffer(SmartPtr<VertexBuffer> const&) override {}
    void set_texture(ConstSmartPtr<Texture> const&) override {}
    void set_texture(SmartPtr<Texture> const&) override {}
    void set_index_buffer(SmartPtr<IndexBuffer> const&) override {}
    void draw_indexed(int, int, int, int, int, PrimitiveType) override {}
    void draw_arrays(int, int, PrimitiveType) override {}
    void set_ortho(float, float, float, float, float, float) override {}
    void set_perspective(float, float, float, float) override {}
    void get_modelview_matrix(float*) override {}
    void load_identity() override {}
    void load_matrix(float const*) override {}
    void translate(float, float, float) override {}
    void rotate(float, float, float, float) override {}
    void scale(float, float, float) override {}
    void project(float*, float*, float*, float, float, float) override {}
    void unproject(float*, float*, float*, float, float, float) override {}

private:
    static std::string flags(bool modelview, bool texture, bool projection) {
        return std::string(modelview ? "M" : "-") + (texture ? "T" : "-") + (projection ? "P" : "-");
    }
};

// A visual that writes its name into the engine's record when drawn.
class NamedVisual : public IVisual {
public:
    NamedVisual(std::vector<std::string>& calls, std::string name) : calls_(calls), name_(std::move(name)) {}
    const char* object_type_name() const override { return "NamedVisual"; }
    unsigned int object_type_id() const override { return 0; }
    bool is_animated() const override { return false; }
    void draw() const override { calls_.push_back("draw " + name_); }

private:
    std::vector<std::string>& calls_;
    std::string name_;
};

// A transform node whose translation x tells it apart in the record.
SmartPtr<TransformNode> Transform(float x) {
    SmartPtr<TransformNode> t = TransformNode::create();
    MathMatrix<4, 4, float> m = MathMatrix<4, 4, float>::identity();
    m[12] = x;
    t->set_transform(m);
    return t;
}

class RendererTest : public ::testing::Test {
protected:
    SmartPtr<VisualNode> visual(const std::string& name) {
        SmartPtr<VisualNode> node = VisualNode::create();
        node->set_visual(SmartPtr<IVisual>(new NamedVisual(engine.calls, name)));
        return node;
    }
    std::vector<std::string> render(const SmartPtr<Node>& root) {
        engine.calls.clear();
        Traverser_Renderer renderer(engine);
        renderer.render(root);
        return engine.calls;
    }
    MatrixRecordingEngine engine;
};

using Calls = std::vector<std::string>;

TEST_F(RendererTest, GroupsBracketTheirChildrenAndTransformsApplyToLaterSiblings) {
    SmartPtr<GroupNode> root = GroupNode::create();
    SmartPtr<GroupNode> inner = GroupNode::create();
    SmartPtr<BoxedGroupNode> cell = BoxedGroupNode::create();
    cell->set_box(vector3(5, 5, 5), vector3(-5, -5, -5));  // drawn whatever its box
    root->add_child(Transform(1));
    root->add_child(inner);
    inner->add_child(Transform(2));
    inner->add_child(GroupNode::create());
    root->add_child(SmartPtr<Node>());  // a null child is skipped
    root->add_child(cell);
    cell->add_child(Transform(3));
    root->add_child(Transform(4));  // last child: changes nothing that is drawn
    EXPECT_EQ(render(root), (Calls{"push M--", "mult 1", "push M--", "mult 2", "push M--", "pop M--", "pop M--",
                                   "push M--", "mult 3", "pop M--", "mult 4", "pop M--"}));
}

TEST_F(RendererTest, VisualsDrawUnderTheTransformsBeforeThem) {
    // [A, T, B]: A is drawn without T, B with it, inside one push and pop.
    SmartPtr<GroupNode> root = GroupNode::create();
    root->add_child(visual("A"));
    root->add_child(Transform(5));
    root->add_child(visual("B"));
    root->add_child(VisualNode::create());  // no visual: draws nothing
    EXPECT_EQ(render(root), (Calls{"push M--", "draw A", "mult 5", "draw B", "pop M--"}));

    // An entity's graph inside the scene's root: group, transform, visual.
    SmartPtr<GroupNode> scene = GroupNode::create();
    SmartPtr<GroupNode> entity = GroupNode::create();
    entity->add_child(Transform(1));
    entity->add_child(visual("E"));
    scene->add_child(entity);
    scene->add_child(visual("F"));
    EXPECT_EQ(render(scene), (Calls{"push M--", "push M--", "mult 1", "draw E", "pop M--", "draw F", "pop M--"}));
}

TEST_F(RendererTest, LeavesAsTheRootAndEmptyGroups) {
    EXPECT_EQ(render(Transform(7)), (Calls{"mult 7"}));
    EXPECT_EQ(render(visual("V")), (Calls{"draw V"}));
    EXPECT_EQ(render(GroupNode::create()), (Calls{"push M--", "pop M--"}));
    EXPECT_EQ(render(SmartPtr<Node>()), Calls{});
}

TEST_F(RendererTest, CollisionTreesAreNotEntered) {
    SmartPtr<GroupNode> root = GroupNode::create();
    SmartPtr<CollisionTreeRootNode> tree = CollisionTreeRootNode::create();
    tree->add_child(Transform(9));  // below a collision root: never reached
    tree->add_child(visual("hidden"));
    SmartPtr<CollisionEdgesNode> edges = CollisionEdgesNode::create();
    edges->add_edge(0, 1);
    tree->add_child(edges);
    root->add_child(tree);
    root->add_child(CollisionTrianglesNode::create());
    root->add_child(edges);
    EXPECT_EQ(render(root), (Calls{"push M--", "pop M--"}));
    EXPECT_EQ(render(tree), Calls{});
}

// Exposes the handler table of a renderer.
class InspectableRenderer : public Traverser_Renderer {
public:
    explicit InspectableRenderer(Engine& engine) : Traverser_Renderer(engine) {}
    bool registered(unsigned int id) const { return handler_function_registered(id); }
};

TEST_F(RendererTest, HandlerTable) {
    InspectableRenderer renderer(engine);
    for (unsigned int id : {2u, 3u, 7u, 8u}) EXPECT_TRUE(renderer.registered(id)) << id;
    for (unsigned int id : {0u, 1u, 4u, 5u, 6u, 9u, 10u, 64u}) EXPECT_FALSE(renderer.registered(id)) << id;
}

}  // namespace
}  // namespace vo
