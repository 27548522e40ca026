// The instructions and the credits in the running application: every line's
// text, size and alignment, the panel around them, and how they close.

#include "engine/core/frame.h"
#include "engine/core/frame_transform.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "game/menus/credits_screen.h"
#include "game/menus/grid_widget.h"
#include "game/menus/how_to_play_screen.h"
#include "game/menus/menu_kit.h"
#include "support/game/app_harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vo {
namespace {

using vo_test::AppHarness;

// One line as the tables give it: B big, S small; C centred, L left.
struct Row {
    const char* text;
    char size;
    char align;
};

const std::vector<Row> kInstructions = {
    {"INSTRUCTIONS", 'B', 'C'},
    {" ", 'S', 'L'},
    {"CAMERA", 'B', 'L'},
    {"  MOVE: Move mouse while pressing the left mouse button.", 'S', 'L'},
    {"  ZOOM: Mouse-wheel up/down.", 'S', 'L'},
    {" ", 'S', 'L'},
    {"MOVEMENT", 'B', 'L'},
    {"  LEFT: 'A' or LEFT-ARROW key.", 'S', 'L'},
    {"  RIGHT: 'D' or RIGHT-ARROW key.", 'S', 'L'},
    {"  JUMP: 'W' or UP-ARROW key.", 'S', 'L'},
    {"  SLIDE: 'S' or DOWN-ARROW key.", 'S', 'L'},
    {" ", 'S', 'L'},
    {"SHOOTING", 'B', 'L'},
    {"  AIM: Move the mouse cursor to define the direction of the shot.", 'S', 'L'},
    {"  SHOOT: Press and release the SPACE-BAR.", 'S', 'L'},
    {"           The longer you'll press, the harder you'll shoot.", 'S', 'L'},
    {" ", 'S', 'L'},
    {" ", 'S', 'L'},
};

const std::vector<Row> kCredits = {
    {" ", 'S', 'L'},
    {"BRANNIKOS presents:", 'S', 'C'},
    {"QUORVANE (alpha)", 'B', 'C'},
    {" ", 'S', 'L'},
    {"Visit WWW.QUORVANE.EXAMPLE.ORG for updates", 'S', 'C'},
    {"Please send feedback to MAKERS@QUORVANE.EXAMPLE.ORG", 'S', 'C'},
    {"  ", 'S', 'L'},
    {"  ", 'S', 'L'},
    {"Programming and Game Design", 'S', 'L'},
    {"Talvik Kellbrand", 'B', 'C'},
    {"  ", 'S', 'L'},
    {"Graphics and Character Design", 'S', 'L'},
    {"Orsemund Kellbrand", 'B', 'C'},
    {"  ", 'S', 'L'},
    {"  ", 'S', 'L'},
    {"External Libraries", 'S', 'L'},
    {"boost, enet, glew, OpenAL, OpenGL, SFML", 'S', 'C'},
    {" ", 'S', 'L'},
    {" ", 'S', 'L'},
};

class TextPanelScreens : public testing::Test {
protected:
    void SetUp() override {
        harness_.init();
        PushScreen(SmartPtr<IScreen>(new vo_test::PlainScreen()));
    }

    // The screen's rows against the table, and the "Ok" button after them.
    void expect_rows(TextPanelScreen& screen, std::vector<Row> const& rows) {
        const float scale = MenuTransform().scale().y;
        GridWidget* grid = screen.text_grid();
        ASSERT_EQ(grid->num_rows(), rows.size() + 1);
        EXPECT_EQ(grid->num_columns(), 1u);
        for (unsigned i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(i);
            auto* line = dynamic_cast<TextWidget*>(grid->widget_at(i, 0));
            ASSERT_TRUE(line);
            EXPECT_EQ(std::string(line->text()), rows[i].text);
            const bool big = rows[i].size == 'B';
            EXPECT_FLOAT_EQ(line->text_height(),
                            (big ? screen.big_text_height() : screen.small_text_height()) * scale);
            EXPECT_EQ(line->color().r, (big ? screen.big_text_color() : screen.small_text_color()).r);
            const int align = line->state() & (WS_ALIGN_LEFT | WS_ALIGN_TOP | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM);
            EXPECT_EQ(align, rows[i].align == 'C' ? 0x3c0 : 0x40);
        }
        EXPECT_EQ(grid->widget_at(static_cast<unsigned>(rows.size()), 0), screen.ok_button());
        EXPECT_EQ(screen.ok_button()->text(), "Ok");
        EXPECT_EQ(screen.big_text_height(), MenuFloat("credits.bigTextHeight"));
        EXPECT_EQ(screen.small_text_height(), MenuFloat("credits.smallTextHeight"));

        // The panel spans the design's height and the text's width plus one
        // big text height on either side, centred, and it fits the window.
        const Frame reference = MenuReferenceFrame();
        const Frame panel = screen.text_panel()->frame();
        EXPECT_FLOAT_EQ(panel.height(), reference.height());
        EXPECT_NEAR(panel.width(), grid->frame().width() + 2 * screen.big_text_height(), 0.5f);
        EXPECT_NEAR(panel.left() + panel.right(), reference.width(), 0.5f);
        EXPECT_LE(panel.width(), reference.width());
        EXPECT_LE(grid->frame().height(), reference.height());
    }

    AppHarness harness_;
};

TEST_F(TextPanelScreens, EveryLineIsAsTheTableSays) {
    struct Case {
        SmartPtr<TextPanelScreen> screen;
        std::vector<Row> const* rows;
        const char* screenshot;
    };
    const Case cases[] = {{SmartPtr<TextPanelScreen>(new HowToPlayScreen()), &kInstructions, "how_to_play_screen"},
                          {SmartPtr<TextPanelScreen>(new CreditsScreen()), &kCredits, "credits_screen"}};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.screenshot);
        PushScreen(c.screen);
        EXPECT_TRUE(c.screen->is_opaque());
        expect_rows(*c.screen, *c.rows);
        harness_.screenshot(c.screenshot);
        c.screen->finished = true;
        harness_.step();
    }
}

TEST_F(TextPanelScreens, AReleaseOfEscapeClosesAPressDoesNot) {
    for (int kind = 0; kind < 2; ++kind) {
        SCOPED_TRACE(kind);
        SmartPtr<TextPanelScreen> screen(kind == 0 ? static_cast<TextPanelScreen*>(new HowToPlayScreen())
                                                   : new CreditsScreen());
        PushScreen(screen);
        harness_.key(KEY_PRESSED, KEY_ESCAPE);
        EXPECT_TRUE(harness_.step());
        EXPECT_EQ(harness_.app().top_screen().get(), screen.get());
        EXPECT_TRUE(harness_.key(KEY_RELEASED, KEY_ESCAPE));
        harness_.step();
        EXPECT_TRUE(harness_.top<vo_test::PlainScreen>());
    }
}

TEST_F(TextPanelScreens, OkClosesAndAScreenPushedAgainIsOpenAgain) {
    SmartPtr<CreditsScreen> screen(new CreditsScreen());
    PushScreen(screen);
    harness_.click(screen->ok_button());
    EXPECT_TRUE(screen->finished);
    harness_.step();
    EXPECT_TRUE(harness_.top<vo_test::PlainScreen>());

    PushScreen(screen);
    EXPECT_FALSE(screen->finished);
    harness_.step();
    EXPECT_EQ(harness_.app().top_screen().get(), screen.get());
}

}  // namespace
}  // namespace vo
