#include "game/menus/menu_kit.h"

#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/core/resources.h"
#include "engine/visuals/font.h"
#include "engine/visuals/text.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <boost/property_tree/ptree.hpp>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

using vo::Frame;
using vo_test::Rgba;

// A configuration folder of this process: menu_config.info (rewritten by
// the tests and reloaded) and a widget_styles.info with a broken group.
class MenuKitTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new vo_test::TempFolder;
        vo::PathProvider::set_path(1, folder_->path() + "/");
        vo::Textures().path = folder_->path() + "/";
        Write("widget_styles.info", R"(
brokenBox
{
    geometry
    {
        frame { name main left 400 top 200 right 1200 bottom 700 yUp false }
    }
}
)");
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }

    static void Write(const char* name, std::string const& text) {
        std::ofstream(folder_->file(name)) << text;
    }
    // Writes menu_config.info with the reference frame and extra entries,
    // and reloads it.
    static void UseMenuConfig(float ref_width, float ref_height, std::string const& extra = "") {
        Write("menu_config.info", "referenceFrame { left 0 top 0 right " + std::to_string(ref_width) +
                                      " bottom " + std::to_string(ref_height) + " yUp false }\n" + extra);
        vo::MenuConfig(true);
    }

    static inline vo_test::TempFolder* folder_ = nullptr;
};

TEST_F(MenuKitTest, TransformKeepsTheDesignsAspectAndCentresItWithBars) {
    struct Case {
        unsigned window_w, window_h;
        Frame expected;  // the reference frame in window pixels
    };
    const Case cases[] = {
        {1600, 1200, Frame(0, 150, 1600, 1050)},  // bars above and below
        {2000, 900, Frame(200, 0, 1800, 900)},    // bars left and right
        {800, 450, Frame(0, 0, 800, 450)},        // same shape, half size
    };
    UseMenuConfig(1600, 900);
    for (Case const& c : cases) {
        SCOPED_TRACE(std::to_string(c.window_w) + "x" + std::to_string(c.window_h));
        vo_test::TestWindow window(c.window_w, c.window_h);
        ASSERT_EQ(window.engine().screen_width(), static_cast<int>(c.window_w));
        ASSERT_EQ(window.engine().screen_height(), static_cast<int>(c.window_h));
        vo::FrameTransform const t = vo::MenuTransform();
        EXPECT_FLOAT_EQ(t.scale().x, t.scale().y);
        Frame const mapped = t * Frame(0, 0, 1600, 900);
        EXPECT_FLOAT_EQ(mapped.left(), c.expected.left());
        EXPECT_FLOAT_EQ(mapped.top(), c.expected.top());
        EXPECT_FLOAT_EQ(mapped.right(), c.expected.right());
        EXPECT_FLOAT_EQ(mapped.bottom(), c.expected.bottom());
    }
}

TEST_F(MenuKitTest, OnlyTheSizeOfTheReferenceFrameCounts) {
    Write("menu_config.info", std::string("referenceFrame { left 300 top 100 right 1900 bottom 1000 yUp false }\n"));
    vo::MenuConfig(true);
    vo_test::TestWindow window(1600, 1200);
    Frame const mapped = vo::MenuTransform() * Frame(0, 0, 1600, 900);
    EXPECT_FLOAT_EQ(mapped.top(), 150);
    EXPECT_FLOAT_EQ(mapped.bottom(), 1050);
}

TEST_F(MenuKitTest, AReferenceFrameWithoutAreaIsAClearError) {
    UseMenuConfig(1600, 0);
    try {
        vo::MenuReferenceFrame();
        FAIL() << "no error";
    } catch (vo::Error const& e) {
        EXPECT_STREQ(e.message(), "referenceFrame in menu_config.info needs a positive width and height");
    }
}

TEST_F(MenuKitTest, TypedGettersReadTheFileAndHaveNoDefaults) {
    UseMenuConfig(1600, 900, R"(
menuFont DejaVuSans.ttf
credits { hspacer 12.5 colour { r 0.25 } }
)");
    EXPECT_EQ(vo::MenuString("menuFont"), "DejaVuSans.ttf");
    EXPECT_FLOAT_EQ(vo::MenuFloat("credits", "hspacer"), 12.5f);
    EXPECT_FLOAT_EQ(vo::MenuFloat("credits.hspacer"), 12.5f);

    vo::Color const c = vo::MenuColor("credits.colour");
    EXPECT_FLOAT_EQ(c.r, 0.25f);
    EXPECT_FLOAT_EQ(c.g, 1);
    EXPECT_FLOAT_EQ(c.b, 1);
    EXPECT_FLOAT_EQ(c.a, 1);

    EXPECT_THROW(vo::MenuFloat("credits.vspacer"), std::runtime_error);
    EXPECT_THROW(vo::MenuFloat("menuFont"), std::runtime_error);  // not a number
    EXPECT_THROW(vo::MenuString("nothing.here"), std::runtime_error);
    EXPECT_THROW(vo::MenuColor("nothing"), std::runtime_error);
}

TEST_F(MenuKitTest, AFailedReloadKeepsTheTreeInUse) {
    UseMenuConfig(1600, 900, "menuFont a.ttf\n");
    Write("menu_config.info", "broken { \n");
    EXPECT_THROW(vo::MenuConfig(true), std::runtime_error);
    EXPECT_EQ(vo::MenuString("menuFont"), "a.ttf");
}

// The shipped menu configuration and widget styles, as the game reads them.
class MenuKitOnShippedData : public testing::Test {
protected:
    void SetUp() override {
        vo::PathProvider::set_path(1, std::string(QV_GAME_DATA_DIR) + "/config/");
        vo::Textures().path = std::string(QV_GAME_DATA_DIR) + "/textures/";
        vo::MenuConfig(true);
    }
    void TearDown() override {
        vo::Textures().clear();
        vo::Textures().path.clear();
    }
};

TEST_F(MenuKitOnShippedData, MenuButtonTakesTheMenuFrameStylesAndText) {
    vo_test::TestWindow window(160, 90);
    vo::Widget root(nullptr, vo::WS_VISIBLE | vo::WS_ENABLED);
    vo::ButtonWidget* button = vo::CreateMenuButton(&root, "START", vo::WS_ALIGN_LEFT);

    EXPECT_EQ(button->parent(), &root);
    EXPECT_EQ(button->state(), vo::WS_VISIBLE | vo::WS_ENABLED | vo::WS_BACKGROUND | vo::WS_FIXED_SIZE |
                                   vo::WS_ALIGN_LEFT);
    // The default face of the shipped button atlas is 320 x 64, drawn white.
    Frame const f = button->frame();
    EXPECT_FLOAT_EQ(f.width(), 320);
    EXPECT_FLOAT_EQ(f.height(), 64);
    EXPECT_EQ(button->text(), "START");
    vo::Color const bg = button->get_color("background");
    EXPECT_FLOAT_EQ(bg.r, 1.0f);
}

// Every text the game shows on a menu button, in the menu font at the
// buttons' text height, stands clear of the button's side edges.
TEST_F(MenuKitOnShippedData, EveryMenuButtonTextStandsClearOfTheEdges) {
    vo_test::TestWindow window(160, 90);
    vo::SmartPtr<vo::Font> font(new vo::Font);
    font->set_file((std::string(QV_GAME_DATA_DIR) + "/fonts/" + vo::MenuString("menuFont")).c_str(),
                   vo::Font::FONT_FREETYPE);
    vo::Text::set_default_font(font);
    vo::Widget root(nullptr, vo::WS_VISIBLE | vo::WS_ENABLED);
    const float width = vo::CreateMenuButton(&root, "", 0)->frame().width();
    constexpr float kMargin = 12.0f;  // design units on either side
    for (const char* text :
         {"START", "How To Play", "Credits", "Options", "Quit", "CPU: EASY", "CPU: NORMAL", "CPU: HARD", "Previous",
          "Next", "Fullscreen: On", "Fullscreen: Off", "Music: On", "Music: Off", "Ok", "OK!", "CONTINUE",
          "Restart Match", "Main Menu", "Fight again!", "Back", "Visit"}) {
        vo::Text measure;
        measure.set_text_height(35.0f);
        measure.set_text(text);
        EXPECT_GE(width - measure.content_frame().width(), 2.0f * kMargin) << text;
    }
    vo::Text::set_default_font(vo::SmartPtr<vo::Font>());
}

TEST_F(MenuKitOnShippedData, MessageBoxCoversTheDesignAndItsButtonRemovesIt) {
    vo_test::TestWindow window(800, 450);  // half the design size
    vo::Widget root(nullptr, vo::WS_VISIBLE | vo::WS_ENABLED | vo::WS_FIXED_SIZE);
    root.set_frame(vo::MenuReferenceFrame());
    new vo::Widget(&root, vo::WS_VISIBLE);  // something of the screen below
    unsigned const before = root.num_children();

    vo::Widget* box = vo::ShowMessageBox(&root, "At least two teams have to\nparticipate!", "OK!", "messageBox");
    root.transform(vo::MenuTransform());
    ASSERT_EQ(root.num_children(), before + 1);
    EXPECT_EQ(box->parent(), &root);
    Frame const covered = box->global_transformed_frame();
    EXPECT_FLOAT_EQ(covered.left(), 0);
    EXPECT_FLOAT_EQ(covered.top(), 0);
    EXPECT_FLOAT_EQ(covered.right(), 800);
    EXPECT_FLOAT_EQ(covered.bottom(), 450);
    // The surrounding fills the design space, outside the box's main panel:
    // the shipped colour (0.02, 0.02, 0.05), drawn here without blending over
    // a white window; textured, as the screens draw.
    window.use_pixel_coordinates();
    window.engine().set_state(vo::STATE_TEXTURING, true);
    window.engine().set_clear_color(vo::Color(1, 1, 1, 1));
    window.engine().clear();
    root.draw();
    Rgba const surrounding{5, 5, 13};
    EXPECT_TRUE(vo_test::ColorNear(window.pixel(3, 3), surrounding)) << window.pixel(3, 3);
    EXPECT_TRUE(vo_test::ColorNear(window.pixel(796, 446), surrounding)) << window.pixel(796, 446);
    if (const char* shots = std::getenv("QV_SCREENSHOTS")) window.save_png(std::string(shots) + "/message_box.png");

    // main > (text area, button area > button)
    ASSERT_EQ(box->num_children(), 1u);
    vo::Widget* main = box->child(0);
    ASSERT_EQ(main->num_children(), 2u);
    auto* text = dynamic_cast<vo::TextWidget*>(main->child(0));
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text->text(), "At least two teams have to\nparticipate!");
    ASSERT_EQ(main->child(1)->num_children(), 1u);
    auto* button = dynamic_cast<vo::ButtonWidget*>(main->child(1)->child(0));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "OK!");
    // The button shows the shipped face (sand, not the panel's white).
    vo::vector2 const face = button->global_transformed_frame().center();
    EXPECT_FALSE(vo_test::ColorNear(window.pixel(int(face.x), int(face.y) - 8), Rgba{255, 255, 255}, 20))
        << window.pixel(int(face.x), int(face.y) - 8);

    // A press and a release at the centre of the button: the box is gone and
    // the widgets below stay.
    vo::vector2 const centre = button->global_transformed_frame().center();
    root.process_mouse_event(vo::MouseEvent(vo::MOUSE_PRESSED, vo::MOUSE_BUTTON_LEFT, 1, centre.x, centre.y));
    EXPECT_EQ(root.num_children(), before + 1);
    root.process_mouse_event(vo::MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, centre.x, centre.y));
    EXPECT_EQ(root.num_children(), before);
    root.process_mouse_event(vo::MouseEvent(vo::MOUSE_MOVED, vo::MOUSE_BUTTON_NONE, 0, centre.x, centre.y));
}

TEST_F(MenuKitTest, MessageBoxWithAMissingGeometryEntryLeavesTheTreeAlone) {
    UseMenuConfig(1600, 900);
    vo::Widget root(nullptr, vo::WS_VISIBLE);
    try {
        vo::ShowMessageBox(&root, "text", "OK!", "brokenBox");
        FAIL() << "no error";
    } catch (vo::Error const& e) {
        EXPECT_STREQ(e.message(), "WidgetStyle entry not found: surrounding");
    }
    EXPECT_EQ(root.num_children(), 0u);
}

}  // namespace
