// The debug screen in a real window: dark grey, the six help lines, never
// finishing, and the tree it builds released with it.

#include "engine/core/frame.h"
#include "engine/core/frame_transform.h"
#include "engine/core/path_provider.h"
#include "engine/visuals/font.h"
#include "engine/visuals/text.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "game/app/my_app.h"
#include "game/menus/debug_screen.h"
#include "game/menus/menu_kit.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace vo {
namespace {

using vo_test::Rgba;

class DebugScreenOnWindow : public testing::Test {
protected:
    void SetUp() override {
        PathProvider::set_path(1, config_.path() + "/");
        window_.reset(new vo_test::TestWindow(640, 480, "quorvane debug screen"));
        font_.reset(new Font);
        // The shipped menu font, as start-up sets it.
        font_->set_file((std::string(QV_GAME_DATA_DIR) + "/fonts/DejaVuSans-Bold.ttf").c_str(), Font::FONT_FREETYPE);
        Text::set_default_font(font_);
        g_app = &app_;
    }
    void TearDown() override {
        app_.pop_all_screens();
        g_app = nullptr;
        Text::set_default_font(SmartPtr<Font>());
    }

    // A 1600 x 900 design space shown across the 640 pixel width: scale 0.4.
    static FrameTransform menu_transform() {
        return FrameTransform(Frame(0, 0, 1600, 900), Frame(0, 60, 640, 420), false);
    }

    vo_test::TempFolder config_;
    std::unique_ptr<vo_test::TestWindow> window_;
    SmartPtr<Font> font_;
    MyApp app_;
};

TEST_F(DebugScreenOnWindow, ShowsTheHelpTextOnDarkGrey) {
    SmartPtr<DebugScreen> screen(new DebugScreen(menu_transform()));
    PushScreen(screen);
    ASSERT_TRUE(screen->root_widget());
    ASSERT_EQ(screen->root_widget()->num_children(), 1u);
    auto* text = dynamic_cast<TextWidget*>(screen->root_widget()->child(0));
    ASSERT_TRUE(text);
    EXPECT_FLOAT_EQ(text->text_height(), 12.0f);  // 30 design units at scale 0.4
    EXPECT_EQ(std::string(text->text()),
              "Press TAB to select the next slob.\nPlace it somewhere using the right mouse button.\n"
              "Use the left mouse button to scroll the camera.\nARROW-KEYS: move (left, right), jump (up).\n"
              "X, Y: rotate crosshairs.\nPress and release Space: SHOOTING!!!");

    screen->draw();
    if (const char* shot = std::getenv("QV_SCREENSHOT_DIR")) window_->save_png(std::string(shot) + "/debug_screen.png");
    for (auto xy : {std::make_pair(0, 0), std::make_pair(639, 0), std::make_pair(0, 479), std::make_pair(639, 479)})
        EXPECT_TRUE(vo_test::ColorNear(window_->pixel(xy.first, xy.second), Rgba{51, 51, 51})) << xy.first;

    // The text shows: glyph pixels lie inside the text widget's frame, and
    // it is about six lines of 12 pixels tall.
    const Frame frame = text->global_transformed_frame();
    EXPECT_GE(frame.height(), 6 * 12.0f * 0.9f);
    const int grey = window_->count_pixels(Rgba{51, 51, 51}, 4);
    EXPECT_GT(640 * 480 - grey, 500);
}

TEST_F(DebugScreenOnWindow, TakesTheMenuTransformFromTheMenuConfiguration) {
    PathProvider::set_path(1, std::string(QV_GAME_DATA_DIR) + "/config/");
    MenuConfig(true);
    SmartPtr<DebugScreen> screen(new DebugScreen());
    auto* text = dynamic_cast<TextWidget*>(screen->root_widget()->child(0));
    ASSERT_TRUE(text);
    EXPECT_FLOAT_EQ(text->text_height(), 12.0f);  // 1600 x 900 across 640 x 480: scale 0.4
}

TEST_F(DebugScreenOnWindow, IsOpaqueAndNoInputEndsIt) {
    SmartPtr<DebugScreen> screen(new DebugScreen(menu_transform()));
    EXPECT_TRUE(screen->is_opaque());
    PushScreen(screen);
    for (KeyCode key : {KEY_ESCAPE, KEY_SPACE, KEY_TAB, KEY_R}) {
        app_.process_key_event(KeyEvent(KEY_PRESSED, key, false));
        app_.process_key_event(KeyEvent(KEY_RELEASED, key, false));
    }
    app_.process_mouse_event(MouseEvent(MOUSE_PRESSED, MOUSE_BUTTON_LEFT, 1, 320, 240));
    app_.process_mouse_event(MouseEvent(MOUSE_RELEASED, MOUSE_BUTTON_LEFT, 0, 320, 240));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(app_.update(1.0 / 60.0));
    EXPECT_EQ(app_.num_screens(), 1u);
    EXPECT_EQ(app_.top_screen().get(), screen.get());
}

}  // namespace
}  // namespace vo
