// The exit screen and the escape menu in the running application: the flags
// each button leaves for the screen below, Escape, the web page opened
// through a stand-in opener, and a missing opener.

#include "engine/sfml/engine.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "game/menus/esc_menu_screen.h"
#include "game/menus/exit_screen.h"
#include "game/menus/how_to_play_screen.h"
#include "support/engine/media_files.h"
#include "support/game/app_harness.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace vo {
namespace {

using vo_test::AppHarness;
using vo_test::FindButton;

// PATH set for one test, restored afterwards.
class PathOverride {
public:
    explicit PathOverride(std::string const& path) : old_(std::getenv("PATH") ? std::getenv("PATH") : "") {
        setenv("PATH", path.c_str(), 1);
    }
    ~PathOverride() { setenv("PATH", old_.c_str(), 1); }

private:
    std::string old_;
};

class MenuScreens : public testing::Test {
protected:
    void SetUp() override {
        harness_.init();
        PushScreen(SmartPtr<IScreen>(new vo_test::PlainScreen()));
    }
    bool plain_on_top() const { return harness_.top<vo_test::PlainScreen>() != nullptr; }

    AppHarness harness_;
};

TEST_F(MenuScreens, ExitScreenThanksThePlayerAndOnlyBackKeepsTheGame) {
    SmartPtr<ExitScreen> screen(new ExitScreen());
    PushScreen(screen);
    EXPECT_TRUE(screen->is_opaque());
    auto texts = vo_test::FindAll<TextWidget>(screen->root_widget());
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(std::string(texts.front()->text()),
              "Thank you for playing QUORVANE!\n\nVisit WWW.QUORVANE.EXAMPLE.ORG for updates and new versions.\n\n"
              "If you happen to like this game and if you'd like to support its development,\n"
              "we'd greatly appreciate a small donation. Thank you very much!");
    harness_.screenshot("exit_screen");
    // Every line of it is on the screen, whatever the width of the font.
    const Frame message = texts.front()->global_transformed_frame();
    EXPECT_GE(message.left(), 0.0f);
    EXPECT_LE(message.right(), static_cast<float>(Engine::instance().screen_width()));

    harness_.click(FindButton(screen->root_widget(), "Back"));
    EXPECT_TRUE(screen->finished);
    EXPECT_TRUE(screen->back_pressed);
    harness_.step();
    EXPECT_TRUE(plain_on_top());

    // Pushed again, the flags start clear; Escape leaves like "Quit".
    PushScreen(screen);
    EXPECT_FALSE(screen->finished);
    EXPECT_FALSE(screen->back_pressed);
    harness_.key(KEY_PRESSED, KEY_ESCAPE);
    EXPECT_FALSE(screen->finished);
    harness_.key(KEY_RELEASED, KEY_ESCAPE);
    EXPECT_TRUE(screen->finished);
    EXPECT_FALSE(screen->back_pressed);
    harness_.step();
    EXPECT_TRUE(plain_on_top());

    PushScreen(screen);
    harness_.click(FindButton(screen->root_widget(), "Quit"));
    EXPECT_TRUE(screen->finished);
    EXPECT_FALSE(screen->back_pressed);
}

TEST_F(MenuScreens, VisitOpensTheWebPageThenQuits) {
    vo_test::TempFolder bin;
    const std::string record = bin.file("opened");
    std::ofstream(bin.file("xdg-open")) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record << "'\n";
    ASSERT_EQ(chmod(bin.file("xdg-open").c_str(), 0755), 0);
    PathOverride path(bin.path() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : ""));

    SmartPtr<ExitScreen> screen(new ExitScreen());
    PushScreen(screen);
    harness_.click(FindButton(screen->root_widget(), "Visit"));
    EXPECT_EQ(vo_test::ReadTextFile(record), "https://www.quorvane.example.org");
    EXPECT_TRUE(screen->finished);
    EXPECT_FALSE(screen->back_pressed);
}

TEST_F(MenuScreens, VisitWithoutAnOpenerWarnsAndStillQuits) {
    vo_test::TempFolder empty;
    PathOverride path(empty.path());

    SmartPtr<ExitScreen> screen(new ExitScreen());
    PushScreen(screen);
    testing::internal::CaptureStdout();
    harness_.click(FindButton(screen->root_widget(), "Visit"));
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("WARNING: couldn't open https://www.quorvane.example.org"), std::string::npos) << out;
    EXPECT_TRUE(screen->finished);
    EXPECT_FALSE(screen->back_pressed);
    EXPECT_TRUE(harness_.step());
}

TEST_F(MenuScreens, EachEscapeMenuButtonLeavesItsFlags) {
    SmartPtr<EscMenuScreen> menu(new EscMenuScreen());
    EXPECT_FALSE(menu->is_opaque());
    struct Case {
        const char* button;
        bool restart;
        bool main_menu;
    };
    for (Case const& c : {Case{"CONTINUE", false, false}, Case{"Restart Match", true, false},
                          Case{"Main Menu", false, true}}) {
        SCOPED_TRACE(c.button);
        // As the match does before every push.
        menu->finished = menu->restart_requested = menu->main_menu_requested = false;
        PushScreen(menu);
        harness_.click(FindButton(menu->root_widget(), c.button));
        EXPECT_TRUE(menu->finished);
        EXPECT_EQ(menu->restart_requested, c.restart);
        EXPECT_EQ(menu->main_menu_requested, c.main_menu);
        harness_.step();
        EXPECT_TRUE(plain_on_top());
    }

    // Escape resumes like "CONTINUE"; the menu never clears its own flags.
    menu->finished = false;
    PushScreen(menu);
    harness_.screenshot("esc_menu_screen");
    harness_.key(KEY_RELEASED, KEY_ESCAPE);
    EXPECT_TRUE(menu->finished);
    EXPECT_TRUE(menu->main_menu_requested);
}

TEST_F(MenuScreens, HowToPlayFromTheEscapeMenuReturnsToTheEscapeMenu) {
    SmartPtr<EscMenuScreen> menu(new EscMenuScreen());
    PushScreen(menu);
    harness_.click(FindButton(menu->root_widget(), "How To Play"));
    ASSERT_TRUE(harness_.top<HowToPlayScreen>());
    // The instructions hide everything below them.
    EXPECT_EQ(harness_.app().draw_start_index(), 2u);
    EXPECT_FALSE(menu->finished);

    harness_.key(KEY_RELEASED, KEY_ESCAPE);
    harness_.step();
    EXPECT_EQ(harness_.app().top_screen().get(), menu.get());
    EXPECT_FALSE(menu->finished);
    EXPECT_FALSE(menu->restart_requested);
    EXPECT_FALSE(menu->main_menu_requested);
}

}  // namespace
}  // namespace vo
