// The engine as a whole on screen: a scene of soft bodies on a level outline,
// stepped by the scene's physics, drawn through the scene's renderer into a
// real window and steered by arrow keys sent to that window.

#include "engine/core/vertex.h"
#include "engine/physics/physics_handler.h"
#include "engine/physics/soft_body.h"
#include "engine/scene/behavior.h"
#include "engine/scene/entity.h"
#include "engine/scene/scene2d.h"
#include "engine/scene/visual_node.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/simple_visual.h"
#include "support/engine/physics_level_scenes.h"
#include "support/engine/physics_scenes.h"
#include "support/engine/recording_handler.h"
#include "support/engine/test_window.h"
#include "support/engine/x_display.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace vo {
namespace {

using vo_test::Rgba;

const double STEP = 1.0 / 60.0;
const float PUSH = 80.0f;  // per particle, against gravity's 10

// Fills a visual's buffers: vertices in one colour, indices as given.
void FillVisual(SimpleVisual& visual, const std::vector<vector3>& points, const Color& color,
                const std::vector<unsigned>& indices) {
    VertexBuffer& vb = *visual.vertex_buffer();
    IndexBuffer& ib = *visual.index_buffer();
    const unsigned n = static_cast<unsigned>(points.size());
    if (vb.num_vertices() != n) vb.create(n, sizeof(ColorVertex), ColorVertex::VRT_DESC);
    void* data = nullptr;
    ASSERT_TRUE(vb.lock(&data, 0, n));
    for (unsigned i = 0; i < n; ++i) {
        const ColorVertex v(points[i], color, vector2(0, 0));
        std::memcpy(static_cast<unsigned char*>(data) + i * sizeof(ColorVertex), &v, sizeof(v));
    }
    vb.unlock();
    const unsigned count = static_cast<unsigned>(indices.size());
    if (ib.num_indices() != count) ib.create(count);
    unsigned* out = nullptr;
    ASSERT_TRUE(ib.lock(&out, 0, count));
    std::memcpy(out, indices.data(), count * sizeof(unsigned));
    ib.unlock();
}

// A slob: owns its soft body, registers it with the scene's physics, shows
// it as a filled polygon and pushes it along the arrow keys held.
class SteeredSlob : public IBehavior {
public:
    // Where the body starts and its colour; before the entity joins a scene.
    void set_start(const vector3& center, const Color& color) {
        center_ = center;
        color_ = color;
    }

    IBehavior* clone() const override {
        SteeredSlob* copy = new SteeredSlob;
        copy->set_start(center_, color_);
        return copy;
    }

    void initialize(Entity* entity) override {
        vo_test::BuildCircleBody(body_, vo_test::SlobDesc(), center_);
        entity->get_scene()->physics_handler()->add(&body_, entity);
        visual_.reset(new SimpleVisual(PRIMITIVE_TRIANGLES));
        node_ = VisualNode::create();
        node_->set_visual(visual_);
        entity->get_scene()->add_visual(node_, entity, IScene::VISUAL_TYPE_DEFAULT);
        refresh_visual();
    }

    void update(float) override {
        Engine& engine = Engine::instance();
        vector3 push;
        if (engine.is_key_down(KEY_RIGHT)) push.x += PUSH;
        if (engine.is_key_down(KEY_LEFT)) push.x -= PUSH;
        if (engine.is_key_down(KEY_UP)) push.y += PUSH;
        if (push.x != 0.0f || push.y != 0.0f) body_.apply_force(push);
        refresh_visual();
    }

    void finalize(Entity* entity) override {
        if (IScene* scene = entity->get_scene()) scene->physics_handler()->remove(&body_);
    }

    vector3 center() const { return body_.calculate_center(); }

private:
    // A fan of triangles from the centre over the border points.
    void refresh_visual() {
        const int border = body_.num_border_points();
        std::vector<vector3> points(1, body_.calculate_center());
        std::vector<unsigned> indices;
        for (int i = 0; i < border; ++i) {
            points.push_back(body_.point_get_coords(i));
            const unsigned a = 1 + static_cast<unsigned>(i);
            const unsigned b = 1 + static_cast<unsigned>((i + 1) % border);
            indices.insert(indices.end(), {0u, a, b});
        }
        FillVisual(*visual_, points, color_, indices);
    }

    vector3 center_;
    Color color_;
    SoftBody body_;
    SmartPtr<SimpleVisual> visual_;
    SmartPtr<VisualNode> node_;
};

class SoftBodiesOnScreen : public testing::Test {
protected:
    static constexpr int SIZE = 320;
    static constexpr float VIEW = 13.0f;  // world units from the centre to the window's edge

    void SetUp() override {
        ASSERT_FALSE(vo_test::UsePrivateXServer(640, 480).empty()) << "Xvfb did not start";
        window_.reset(new vo_test::TestWindow(SIZE, SIZE, "quorvane soft bodies"));
        window_id_ = std::to_string(window_->window().getSystemHandle());
        // The engine keeps input state only while someone hears its events;
        // keys go to the window under the pointer.
        Engine& engine = window_->engine();
        engine.set_event_handler(&events_);
        ASSERT_TRUE(vo_test::RunXdotool({"mousemove", "--window", window_id_, "160", "160"}));
        ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return engine.mouse_x() == 160.0f; }));
        scene_.reset(new Scene2d);

        // A closed cave of radius 12, its outline drawn as a line loop.
        level_.add_cave_ring(vector3(0, 0, 0), 12.0f, 64);
        scene_->physics_handler()->set_collision_tree(level_.build_tree());
        SmartPtr<SimpleVisual> outline(new SimpleVisual(PRIMITIVE_LINES));
        FillVisual(*outline, level_.points, Color(1, 1, 1, 1),
                   std::vector<unsigned>(level_.indices.begin(), level_.indices.end()));
        SmartPtr<VisualNode> node = VisualNode::create();
        node->set_visual(outline);
        scene_->add_visual(node, nullptr, IScene::VISUAL_TYPE_DEFAULT);

        red_ = add_slob(vector3(-4, -9, 0), Color(1, 0, 0, 1));
        blue_ = add_slob(vector3(4, -9, 0), Color(0, 0, 1, 1));
    }

    void TearDown() override {
        scene_.reset();
        if (window_) window_->engine().set_event_handler(nullptr);
    }

    SteeredSlob* add_slob(const vector3& center, const Color& color) {
        Entity* entity = new Entity;
        SteeredSlob* slob = entity->add_behavior<SteeredSlob>();
        slob->set_start(center, color);
        scene_->add_entity(entity, true);
        return slob;
    }

    // Steps the scene as the main loop does: input first, then the step.
    void run(int steps) {
        for (int i = 0; i < steps; ++i) {
            window_->engine().process_events();
            scene_->update(static_cast<float>(STEP));
        }
    }

    void draw() {
        Engine& engine = window_->engine();
        engine.set_clear_color(Color(0, 0, 0, 1));
        engine.clear();
        window_->use_pixel_coordinates();
        engine.set_ortho(-VIEW, VIEW, -VIEW, VIEW, -1.0f, 1.0f);
        engine.load_identity();
        scene_->draw();
    }

    // Mean window x of the pixels of one colour; -1 when there are none.
    float mean_x(const Rgba& colour) {
        const std::vector<Rgba> pixels = window_->pixels();
        double sum = 0.0;
        int n = 0;
        for (int i = 0; i < SIZE * SIZE; ++i) {
            if (!vo_test::ColorNear(pixels[i], colour, 10)) continue;
            sum += i % SIZE;
            ++n;
        }
        return n ? static_cast<float>(sum / n) : -1.0f;
    }

    void hold_key(const char* key, int steps) {
        Engine& engine = window_->engine();
        const KeyCode code = std::string(key) == "Right" ? KEY_RIGHT : KEY_LEFT;
        ASSERT_TRUE(vo_test::RunXdotool({"keydown", key}));
        ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return engine.is_key_down(code); }));
        run(steps);
        ASSERT_TRUE(vo_test::RunXdotool({"keyup", key}));
        ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return !engine.is_key_down(code); }));
    }

    std::unique_ptr<vo_test::TestWindow> window_;
    std::string window_id_;
    vo_test::RecordingEventHandler events_;
    std::unique_ptr<Scene2d> scene_;
    vo_test::LevelBuilder level_;
    SteeredSlob* red_ = nullptr;
    SteeredSlob* blue_ = nullptr;
};

TEST_F(SoftBodiesOnScreen, ArrowKeysSteerTheBodies) {
    // The bodies fall onto the cave's floor and come to rest there.
    run(90);
    const vector3 red_rest = red_->center();
    const vector3 blue_rest = blue_->center();
    EXPECT_LT(red_rest.y, -9.0f);
    EXPECT_GT(red_rest.y, -12.0f);
    draw();
    const Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255}, white{255, 255, 255, 255};
    const float red_x = mean_x(red);
    const float blue_x = mean_x(blue);
    ASSERT_GT(red_x, 0.0f);
    ASSERT_GT(blue_x, red_x);
    // The level's outline is on screen: its bottom below the bodies.
    EXPECT_TRUE(window_->count_pixels(white, 10) > 100);

    // Holding the right arrow pushes both to the right: the red body across
    // the floor, the blue one up the cave's wall.
    hold_key("Right", 40);
    EXPECT_GT(red_->center().x, red_rest.x + 2.0f);
    EXPECT_GT(blue_->center().x, blue_rest.x + 0.5f);
    draw();
    EXPECT_GT(mean_x(red), red_x + 10.0f);
    window_->save_png("soft_bodies_on_screen.png");  // kept in the build folder for review

    // And the left arrow back.
    const vector3 red_pushed = red_->center();
    hold_key("Left", 60);
    EXPECT_LT(red_->center().x, red_pushed.x - 1.0f);

    // Without a key nothing pushes: the bodies settle inside the cave.
    run(120);
    for (SteeredSlob* slob : {red_, blue_}) {
        const vector3 c = slob->center();
        EXPECT_LT(c.x * c.x + c.y * c.y, 12.0f * 12.0f);
    }
}

}  // namespace
}  // namespace vo
