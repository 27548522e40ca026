// The engine as a whole on screen: a small menu under a virtual root, drawn
// into a real window and driven by real mouse and key input.

#include "engine/sfml/engine.h"
#include "engine/visuals/font.h"
#include "engine/visuals/text.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/input_widget.h"
#include "engine/widgets/text_widget.h"
#include "support/engine/recording_handler.h"
#include "support/engine/test_window.h"
#include "support/engine/text_fixtures.h"
#include "support/engine/x_display.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <boost/signals2/connection.hpp>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vo {
namespace {

using vo_test::Rgba;
using vo_test::RunXdotool;

struct Clicks {
    std::vector<std::string> seen;
    void play(Widget*) { seen.push_back("play"); }
    void quit(Widget*) { seen.push_back("quit"); }
};

// The menu is laid out in a 1600 x 900 reference frame and shown in an
// 800 x 450 window, so every layout unit is half a pixel.
class MenuOnScreen : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(vo_test::UsePrivateXServer(1024, 768).empty()) << "Xvfb did not start";
        window_.reset(new vo_test::TestWindow(800, 450, "quorvane menu"));
        window_id_ = std::to_string(window_->window().getSystemHandle());

        font_.reset(new Font);
        font_->set_file(vo_test::DEJAVU_SANS, Font::FONT_FREETYPE);
        Text::set_default_font(font_);

        root_.reset(new Widget(nullptr, WS_DEFAULT_STATE | WS_VIRTUAL));
        root_->transform(FrameTransform(Frame(0, 0, 1600, 900), Frame(0, 0, 800, 450), false));

        title_ = new TextWidget(root_.get(), WS_VISIBLE | WS_ENABLED);  // a label: no background, no border
        title_->set_frame(Frame(400, 60, 1200, 180));
        title_->set_text_height(80.0f);
        title_->set_text_color(Color(1, 1, 1, 1));
        title_->set_text("Quorvane");

        play_ = new ButtonWidget(root_.get());
        play_->set_frame(Frame(600, 240, 1000, 340));
        play_->set_text_height(50.0f);
        play_->set_text("Play");
        play_->connect_on_click(&clicks_, &Clicks::play);

        quit_ = new ButtonWidget(root_.get());
        quit_->set_frame(Frame(600, 380, 1000, 480));
        quit_->set_text_height(50.0f);
        quit_->set_text("Quit");
        quit_->connect_on_click(&clicks_, &Clicks::quit);

        name_ = new InputWidget(root_.get(), WS_DEFAULT_STATE);
        name_->set_frame(Frame(600, 540, 1000, 640));
        name_->set_text_height(50.0f);
        name_->set_max_string_length(16);

        window_->engine().set_event_handler(root_.get());
    }

    void TearDown() override {
        if (window_) window_->engine().set_event_handler(nullptr);
        root_.reset();
        Text::set_default_font(SmartPtr<Font>());
    }

    // Draws the whole menu the way a screen does, and leaves the frame to
    // be read back.
    void draw() {
        Engine& engine = window_->engine();
        engine.set_clear_color(Color(0.1f, 0.2f, 0.4f, 1.0f));
        engine.clear();
        window_->use_pixel_coordinates();
        engine.set_state(STATE_TEXTURING, true);
        engine.set_state(STATE_BLENDING, true);
        engine.set_blend_mode(BLEND_ALPHA);
        root_->draw();
    }

    // Moves the pointer to a window pixel and waits until the engine saw it.
    void point_at(int x, int y) {
        Engine& engine = window_->engine();
        ASSERT_TRUE(RunXdotool({"mousemove", "--window", window_id_, std::to_string(x), std::to_string(y)}));
        ASSERT_TRUE(vo_test::PumpUntil(engine, [&] {
            return engine.mouse_x() == static_cast<float>(x) && engine.mouse_y() == static_cast<float>(y);
        }));
    }

    void click_at(int x, int y) {
        point_at(x, y);
        ASSERT_TRUE(RunXdotool({"click", "1"}));
        Engine& engine = window_->engine();
        ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return !engine.mouse_buttons_down(MOUSE_BUTTON_LEFT); }));
        vo_test::PumpUntil(engine, [] { return false; }, 0.1);
    }

    // Pixels of the window rectangle that are not the background colour.
    int lit_pixels(int left, int top, int right, int bottom) {
        const Rgba background = window_->pixel(left, top);
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) n += vo_test::ColorNear(window_->pixel(x, y), background, 8) ? 0 : 1;
        }
        return n;
    }

    std::unique_ptr<vo_test::TestWindow> window_;
    std::string window_id_;
    SmartPtr<Font> font_;
    std::unique_ptr<Widget> root_;
    TextWidget* title_ = nullptr;
    ButtonWidget* play_ = nullptr;
    ButtonWidget* quit_ = nullptr;
    InputWidget* name_ = nullptr;
    Clicks clicks_;
};

TEST_F(MenuOnScreen, DrawnThroughTheVirtualRoot) {
    draw();
    window_->save_png("menu_on_screen.png");  // kept in the build folder for review

    // The play button covers window pixels (300, 120) to (500, 170): white
    // inside its border, with its dark label in the middle.
    EXPECT_EQ(play_->global_transformed_frame().left(), 300.0f);
    EXPECT_EQ(play_->global_transformed_frame().bottom(), 170.0f);
    EXPECT_TRUE(vo_test::ColorNear(window_->pixel(310, 130), Rgba{255, 255, 255, 255}));
    EXPECT_TRUE(vo_test::ColorNear(window_->pixel(290, 130), Rgba{26, 51, 102, 255}));
    EXPECT_GT(lit_pixels(370, 130, 430, 162), 50);
    // Text heights follow the root's scale: 50 units are 25 pixels.
    EXPECT_EQ(play_->text_height(), 25.0f);
    // The white title on the background.
    EXPECT_GT(lit_pixels(200, 30, 600, 90), 200);
}

TEST_F(MenuOnScreen, ClickHeldOnAButtonShowsItPressed) {
    Engine& engine = window_->engine();
    point_at(400, 145);
    ASSERT_TRUE(RunXdotool({"mousedown", "1"}));
    ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return play_->is_pressed(); }));
    draw();
    // The "pressed" grey of the default styles.
    EXPECT_TRUE(vo_test::ColorNear(window_->pixel(310, 130), Rgba{153, 153, 153, 255})) << window_->pixel(310, 130);
    EXPECT_TRUE(clicks_.seen.empty());

    ASSERT_TRUE(RunXdotool({"mouseup", "1"}));
    ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return !clicks_.seen.empty(); }));
    EXPECT_EQ(clicks_.seen, std::vector<std::string>{"play"});
    EXPECT_FALSE(play_->is_pressed());
    draw();
    EXPECT_TRUE(vo_test::ColorNear(window_->pixel(310, 130), Rgba{255, 255, 255, 255}));

    // A press that leaves the button before the release is no click.
    point_at(400, 215);
    ASSERT_TRUE(RunXdotool({"mousedown", "1"}));
    ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return quit_->is_pressed(); }));
    point_at(100, 400);
    ASSERT_TRUE(RunXdotool({"mouseup", "1"}));
    ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return !quit_->is_pressed(); }));
    vo_test::PumpUntil(engine, [] { return false; }, 0.1);
    EXPECT_EQ(clicks_.seen, std::vector<std::string>{"play"});
}

TEST_F(MenuOnScreen, TypingFillsTheField) {
    Engine& engine = window_->engine();
    draw();
    const int before = lit_pixels(302, 272, 498, 318);
    click_at(400, 295);  // the field takes the focus
    ASSERT_TRUE(RunXdotool({"type", "--delay", "20", "ab"}));
    ASSERT_TRUE(vo_test::PumpUntil(engine, [&] { return std::string(name_->text()) == "ab"; }));
    // Stray key releases and a press of an untyped key change nothing.
    ASSERT_TRUE(RunXdotool({"key", "Escape"}));
    vo_test::PumpUntil(engine, [] { return false; }, 0.2);
    EXPECT_STREQ(name_->text(), "ab");

    draw();
    EXPECT_GT(lit_pixels(302, 272, 498, 318), before + 50);
    window_->save_png("menu_on_screen_typed.png");
}

// A message box whose OK button closes the box from its own click handler:
// the box, the button and its signals go while the click is delivered.
TEST_F(MenuOnScreen, MessageBoxClosesItselfFromItsClickHandler) {
    Widget* box = new Widget(root_.get());
    box->set_frame(Frame(400, 200, 1200, 700));
    TextWidget* message = new TextWidget(box);
    message->set_frame(Frame(20, 20, 780, 300));
    message->set_text_height(40.0f);
    message->set_text("Really quit?");
    ButtonWidget* ok = new ButtonWidget(box);
    ok->set_frame(Frame(300, 350, 500, 450));
    ok->set_text("OK");
    ok->connect_on_click<Widget>(box, &Widget::close);
    ASSERT_EQ(root_->num_children(), 5u);

    draw();
    // OK covers window pixels (350, 275) to (450, 325).
    click_at(400, 300);
    EXPECT_EQ(root_->num_children(), 4u);
    for (unsigned i = 0; i < root_->num_children(); ++i) EXPECT_NE(root_->child(i), box);

    // The menu under it works on: hover, press and click reach the buttons.
    point_at(420, 310);
    point_at(400, 145);
    click_at(400, 145);
    EXPECT_EQ(clicks_.seen, std::vector<std::string>{"play"});
    draw();
}

}  // namespace
}  // namespace vo
