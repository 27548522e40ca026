#include "engine/widgets/widget.h"
#include "engine/core/resources.h"
#include "engine/widgets/widget_style_config.h"
#include "support/engine/allocation_counter.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"
#include "widget_probe.h"

#include <gtest/gtest.h>

#include <SFML/OpenGL.hpp>

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sstream>

#include <string>
#include <vector>

namespace {

using vo::Color;
using vo::Frame;
using vo::Widget;
using vo_test::Probe;
using vo_test::Rgba;

Rgba const kBlack{0, 0, 0, 255};
Rgba const kRed{255, 0, 0, 255};
Rgba const kGreen{0, 255, 0, 255};
Rgba const kBlue{0, 0, 255, 255};
Rgba const kYellow{255, 255, 0, 255};

// One letter per pixel colour: K black, R red, G green, B blue, Y yellow,
// ? anything else; runs of one colour count once.
std::string Runs(std::vector<Rgba> const& pixels) {
    std::string out;
    for (Rgba const& p : pixels) {
        char c = '?';
        if (vo_test::ColorNear(p, kBlack)) c = 'K';
        if (vo_test::ColorNear(p, kRed)) c = 'R';
        if (vo_test::ColorNear(p, kGreen)) c = 'G';
        if (vo_test::ColorNear(p, kBlue)) c = 'B';
        if (vo_test::ColorNear(p, kYellow)) c = 'Y';
        if (out.empty() || out.back() != c) out.push_back(c);
    }
    return out;
}

// A widget painted in plain colours: background red, light border green,
// dark border blue.
class Painted : public Probe {
public:
    Painted(Widget* parent, Frame const& frame, int state = vo::WS_DEFAULT_STATE) : Probe(parent, state) {
        set_color("background", Color(1, 0, 0, 1));
        set_color("borderLight", Color(0, 1, 0, 1));
        set_color("borderDark", Color(0, 0, 1, 1));
        set_frame(frame);
    }
};

// Notes the viewport, clip box and projection in force while it draws.
class StateProbe : public Probe {
public:
    using Probe::Probe;
    struct State {
        GLint viewport[4] = {};
        GLint scissor[4] = {};
        GLfloat projection[16] = {};
    };
    State drawn;
    State after_children;

protected:
    static void Note(State& s) {
        glGetIntegerv(GL_VIEWPORT, s.viewport);
        glGetIntegerv(GL_SCISSOR_BOX, s.scissor);
        glGetFloatv(GL_PROJECTION_MATRIX, s.projection);
    }
    void on_draw() override {
        Note(drawn);
        Probe::on_draw();
    }
    void on_draw_overlay() override {
        Note(after_children);
        Probe::on_draw_overlay();
    }
};

class WidgetDrawing : public ::testing::Test {
protected:
    WidgetDrawing() : window(320, 240), root(nullptr, 0x180E) {
        window.engine().set_clear_color(Color(0, 0, 0, 1));
    }

    void Draw() {
        window.use_pixel_coordinates();
        window.engine().clear();
        root.draw();
    }

    // The pixels of row y from x0 to x1 (exclusive).
    std::vector<Rgba> Row(int y, int x0, int x1) {
        std::vector<Rgba> all = window.pixels();
        return std::vector<Rgba>(all.begin() + y * window.width() + x0, all.begin() + y * window.width() + x1);
    }
    std::vector<Rgba> Column(int x, int y0, int y1) {
        std::vector<Rgba> all = window.pixels();
        std::vector<Rgba> out;
        for (int y = y0; y < y1; ++y) out.push_back(all[y * window.width() + x]);
        return out;
    }

    vo_test::TestWindow window;
    Probe root;
};

TEST_F(WidgetDrawing, BackgroundAndBorderLines) {
    new Painted(&root, Frame(20, 20, 120, 80));
    Draw();
    // Light line outside the inner frame, dark line inside it, fill between.
    EXPECT_EQ(Runs(Row(50, 0, 160)), "KGBRBGK");
    EXPECT_EQ(Runs(Column(70, 0, 120)), "KGBRBGK");
    EXPECT_EQ(window.pixel(21, 50), kGreen);
    EXPECT_EQ(window.pixel(22, 50), kBlue);
    EXPECT_EQ(window.pixel(23, 50), kRed);
    EXPECT_EQ(window.pixel(19, 50), kBlack);

    // Without the border bits: the fill alone, over the whole inner frame.
    root.child(0)->disable_state(vo::WS_BORDER);
    Draw();
    EXPECT_EQ(Runs(Row(50, 0, 160)), "KRK");
    EXPECT_EQ(window.count_pixels(kRed), 100 * 60);
    // Neither background nor border: nothing at all.
    root.child(0)->disable_state(vo::WS_BACKGROUND);
    Draw();
    EXPECT_EQ(window.count_pixels(kBlack), 320 * 240);
}

TEST_F(WidgetDrawing, ChildrenAreClippedToTheirParent) {
    auto* parent = new Painted(&root, Frame(20, 20, 120, 80), vo::WS_DEFAULT_STATE & ~vo::WS_BORDER);
    auto* child = new Painted(parent, Frame(50, 20, 200, 100), vo::WS_DEFAULT_STATE & ~vo::WS_BORDER);
    child->set_color("background", Color(1, 1, 0, 1));
    Draw();
    // The child starts at x 70 in the window and ends with its parent at 120.
    EXPECT_EQ(Runs(Row(60, 0, 320)), "KRYK");
    EXPECT_EQ(window.pixel(119, 79), kYellow);
    EXPECT_EQ(window.pixel(121, 60), kBlack);
    EXPECT_EQ(window.pixel(100, 81), kBlack);
    EXPECT_EQ(window.count_pixels(kYellow), 50 * 40);
}

TEST_F(WidgetDrawing, HiddenWidgetsDrawNothingOfTheirSubtree) {
    auto* parent = new Painted(&root, Frame(20, 20, 120, 80));
    new Painted(parent, Frame(10, 10, 30, 30));
    auto* sibling = new Painted(&root, Frame(200, 20, 250, 80));
    parent->disable_state(vo::WS_VISIBLE);
    Draw();
    EXPECT_EQ(Runs(Row(50, 0, 160)), "K");
    EXPECT_EQ(Runs(Row(50, 160, 320)), "KGBRBGK");

    // A hidden child alone is skipped; its parent draws.
    parent->enable_state(vo::WS_VISIBLE);
    parent->child(0)->disable_state(vo::WS_VISIBLE);
    sibling->disable_state(vo::WS_VISIBLE);
    Draw();
    EXPECT_EQ(Runs(Row(40, 0, 160)), "KGBRBGK");

    // A transparent widget skips its own drawing, not its children's.
    parent->enable_state(vo::WS_TRANSPARENT);
    parent->child(0)->enable_state(vo::WS_VISIBLE);
    Draw();
    EXPECT_EQ(Runs(Row(50, 0, 160)), "K");
    EXPECT_EQ(Runs(Row(40, 0, 160)), "KGBRBGK");
}

TEST_F(WidgetDrawing, TheDisabledOverlayVeilsTheWidgetAndItsChildren) {
    window.engine().set_state(2, true);
    window.engine().set_blend_mode(0);
    auto* on = new Probe(&root);
    on->set_frame(Frame(20, 20, 120, 80));
    auto* off = new Probe(&root, 0x1802);
    off->set_frame(Frame(160, 20, 260, 80));
    auto* inner = new Probe(off);
    inner->set_frame(Frame(10, 10, 50, 50));
    inner->set_color("background", Color(1, 1, 1, 1));
    inner->set_color("overlay", Color(1, 1, 1, 0));
    window.engine().clear();
    root.draw();

    // Enabled: white background, no overlay (alpha 0).
    EXPECT_TRUE(vo_test::ColorNear(window.pixel(70, 50), Rgba{255, 255, 255, 255}));
    // Disabled: background 0.7 at alpha 0.9 over black, then grey 0.5 at
    // alpha 0.5 over that; the white child is veiled by its parent's overlay.
    int const background = static_cast<int>(0.7f * 0.9f * 255.0f + 0.5f);
    int const veiled = static_cast<int>((0.5f * 0.5f + 0.7f * 0.9f * 0.5f) * 255.0f + 0.5f);
    int const child = static_cast<int>((0.5f * 0.5f + 1.0f * 0.5f) * 255.0f + 0.5f);
    EXPECT_TRUE(vo_test::ColorNear(window.pixel(240, 70), Rgba{veiled, veiled, veiled, 255}, 3))
        << window.pixel(240, 70) << " against " << background;
    EXPECT_TRUE(vo_test::ColorNear(window.pixel(190, 50), Rgba{child, child, child, 255}, 3))
        << window.pixel(190, 50);
    window.engine().set_state(2, false);
}

TEST_F(WidgetDrawing, FractionalFramesGetWholePixelViewports) {
    auto* w = new StateProbe(&root);
    w->set_frame(Frame(10.7f, 20.2f, 60.9f, 40.2f));
    Draw();
    // (10, 20) from the top left, 51 by 20 pixels: GL counts y from the bottom.
    std::vector<GLint> const expected{10, 240 - 20 - 20, 51, 20};
    EXPECT_EQ(std::vector<GLint>(w->drawn.viewport, w->drawn.viewport + 4), expected);
    EXPECT_EQ(std::vector<GLint>(w->drawn.scissor, w->drawn.scissor + 4), expected);
    // Projection (0, 50, 19, 0, -1, 1).
    EXPECT_FLOAT_EQ(w->drawn.projection[0], 2.0f / 50.0f);
    EXPECT_FLOAT_EQ(w->drawn.projection[5], 2.0f / -19.0f);
    EXPECT_FLOAT_EQ(w->drawn.projection[12], -1.0f);
    EXPECT_FLOAT_EQ(w->drawn.projection[13], 1.0f);
}

TEST_F(WidgetDrawing, ZeroSizeWidgetsPushNothing) {
    auto* parent = new StateProbe(&root);
    parent->set_frame(Frame(20, 20, 120, 80));
    auto* flat = new StateProbe(parent);
    flat->set_frame(Frame(10, 10, 10, 40));
    new StateProbe(flat);
    Draw();
    std::vector<GLint> const parent_viewport{20, 240 - 80, 100, 60};
    EXPECT_EQ(std::vector<GLint>(parent->after_children.viewport, parent->after_children.viewport + 4),
              parent_viewport);
    // The flat widget still ran its drawing, in its parent's viewport.
    EXPECT_EQ(std::vector<GLint>(flat->drawn.viewport, flat->drawn.viewport + 4), parent_viewport);
    EXPECT_EQ(std::vector<GLint>(flat->after_children.viewport, flat->after_children.viewport + 4),
              parent_viewport);
}

TEST_F(WidgetDrawing, OnePixelWidgetsDraw) {
    new Painted(&root, Frame(10, 10, 11, 50), vo::WS_VISIBLE | vo::WS_ENABLED | vo::WS_BACKGROUND);
    new Painted(&root, Frame(20, 30, 60, 31), vo::WS_VISIBLE | vo::WS_ENABLED | vo::WS_BACKGROUND);
    Draw();
    EXPECT_EQ(Runs(Column(10, 0, 80)), "KRK");
    EXPECT_EQ(window.count_pixels(kRed), 40 + 40);
}

TEST_F(WidgetDrawing, DeepNestingHasNoDepthLimit) {
    Widget* parent = &root;
    int const depth = 40;
    for (int i = 0; i < depth; ++i) {
        auto* w = new Painted(parent, Frame(2, 2, 240 - 4 * i, 200 - 4 * i),
                              vo::WS_VISIBLE | vo::WS_ENABLED | vo::WS_BACKGROUND);
        w->set_color("background", i + 1 == depth ? Color(1, 1, 0, 1) : Color(1, 0, 0, 1));
        parent = w;
    }
    Draw();
    // The innermost widget sits at 2 * depth from the window's corner.
    EXPECT_EQ(window.pixel(2 * depth + 2, 2 * depth + 2), kYellow);
    EXPECT_EQ(window.pixel(2 * depth - 1, 2 * depth + 2), kRed);
    // Every push was popped: a sibling drawn afterwards lands in its place.
    new Painted(&root, Frame(280, 200, 300, 220), vo::WS_VISIBLE | vo::WS_ENABLED | vo::WS_BACKGROUND);
    Draw();
    EXPECT_EQ(window.pixel(290, 210), kRed);
    EXPECT_EQ(window.pixel(279, 210), kBlack);
}

TEST_F(WidgetDrawing, BackgroundImagesAreTintedWithTheBackgroundColour) {
    vo::SmartPtr<vo::Texture> texture = window.engine().create_texture();
    ASSERT_TRUE(texture->create(4, 4));
    std::vector<unsigned char> white(4 * 4 * 4, 255);
    texture->update(0, 0, 4, 4, white.data());
    auto* w = new Painted(&root, Frame(20, 20, 120, 80), vo::WS_VISIBLE | vo::WS_ENABLED | vo::WS_BACKGROUND);
    w->set_background_image(vo::Image(texture));
    w->set_color("background", Color(0, 1, 0, 1));
    Draw();
    EXPECT_EQ(Runs(Row(50, 0, 160)), "KGK");
    EXPECT_EQ(window.count_pixels(kGreen), 100 * 60);
}

TEST_F(WidgetDrawing, ImageEntriesOfAStyleFile) {
    vo_test::TempFolder folder;
    ASSERT_TRUE(vo_test::WritePng(folder.file("white.png"), 4, 4, [](unsigned, unsigned) { return Rgba{255, 255, 255, 255}; }));
    vo::Textures().path = folder.path() + "/";
    std::istringstream text(
        "default { image { texture white.png\n name background }\n"
        "          color { name background\n r 0\n b 0 } }\n");
    boost::property_tree::ptree tree;
    boost::property_tree::read_info(text, tree);
    vo::SmartPtr<vo::WidgetStyleMap> map = vo::WidgetStyleMapFromConfig(tree, vo::DefaultStyleMap());
    vo::Image const& image = static_cast<vo::WidgetStyleMap const&>(*map).get("default").get<vo::Image>("background");
    EXPECT_TRUE(image.texture());

    auto* w = new Probe(&root, vo::WS_VISIBLE | vo::WS_ENABLED | vo::WS_BACKGROUND);
    w->set_frame(Frame(20, 20, 120, 80));
    w->set_style_map(map);
    Draw();
    EXPECT_EQ(window.count_pixels(kGreen), 100 * 60);
    vo::Textures().clear();
    vo::Textures().path.clear();
}

TEST_F(WidgetDrawing, DrawingAllocatesNothingOnceTheTreeIsBuilt) {
    for (int i = 0; i < 10; ++i) {
        float const x = 30.0f * i;
        auto* panel = new Probe(&root, i % 2 ? 0x1802 : 0x1806);  // every other one with its overlay
        panel->set_frame(Frame(x, 10, x + 28, 200));
        for (int j = 0; j < 3; ++j) {
            auto* child = new Probe(panel);
            child->set_frame(Frame(2, 10 + 40.0f * j, 26, 40 + 40.0f * j));
            new Probe(child);
        }
    }
    Draw();
    Draw();
    vo_test::AllocationScope scope;
    root.draw();
    EXPECT_EQ(scope.count(), 0u);
}

TEST(WidgetWindow, VirtualRootInAWideWindow) {
    vo_test::TestWindow wide(1280, 720);
    ASSERT_EQ(wide.width(), 1280);
    Probe virtual_root(nullptr, 0x180E);
    virtual_root.transform(vo::FrameTransform(vo::vector2(0.5f, 0.5f), vo::vector2(40, 0), false));
    EXPECT_FLOAT_EQ(virtual_root.transform().scale().x, 0.5f);
    EXPECT_FLOAT_EQ(virtual_root.transform().offset().x, 0.0f);
    EXPECT_FLOAT_EQ(virtual_root.transform().offset().y, 0.0f);
    Frame const f = virtual_root.frame();
    EXPECT_FLOAT_EQ(f.left(), 0.0f);
    EXPECT_FLOAT_EQ(f.top(), 0.0f);
    EXPECT_FLOAT_EQ(f.right(), 2560.0f);
    EXPECT_FLOAT_EQ(f.bottom(), 1440.0f);
    EXPECT_FLOAT_EQ(virtual_root.upper_left_corner_global().x, 0.0f);

    auto* child = new Probe(&virtual_root);
    child->set_frame(Frame(100, 200, 300, 400));
    EXPECT_FLOAT_EQ(child->transform().scale().x, 0.5f);
    vo::vector2 const local = child->global_to_local(vo::vector2(150, 260));
    EXPECT_FLOAT_EQ(local.x, 50.0f);
    EXPECT_FLOAT_EQ(local.y, 60.0f);
    Frame const g = child->global_transformed_frame();
    EXPECT_FLOAT_EQ(g.left(), 50.0f);
    EXPECT_FLOAT_EQ(g.bottom(), 200.0f);

    // A virtual child of the virtual root covers the window as well, and its
    // children are placed from the window's corner.
    auto* layer = new Probe(&virtual_root, 0x180E);
    auto* inside = new Probe(layer);
    inside->set_frame(Frame(10, 10, 20, 20));
    EXPECT_FLOAT_EQ(layer->frame().right(), 2560.0f);
    EXPECT_FLOAT_EQ(inside->global_transformed_frame().left(), 5.0f);

    // Alignment inside the virtual root's frame (no border).
    auto* centred = new Probe(&virtual_root, vo::WS_DEFAULT_STATE | vo::WS_ALIGN_LEFT | vo::WS_ALIGN_RIGHT |
                                                 vo::WS_ALIGN_BOTTOM);
    centred->set_frame(Frame(0, 0, 560, 40));
    virtual_root.align_children(true);
    EXPECT_FLOAT_EQ(centred->frame().left(), 1000.0f);
    EXPECT_FLOAT_EQ(centred->frame().top(), 1400.0f);
    EXPECT_FLOAT_EQ(child->frame().left(), 100.0f);
}

}  // namespace
