// The new-team form in the running application: filling it in by clicks and
// keys, the message for a missing entry, the length limit, cancel and a
// second opening.

#include "engine/widgets/button_widget.h"
#include "engine/widgets/input_widget.h"
#include "engine/widgets/text_widget.h"
#include "game/menus/new_team_screen.h"
#include "support/game/app_harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vo {
namespace {

using vo_test::AppHarness;
using vo_test::FindButton;

class NewTeamForm : public testing::Test {
protected:
    void SetUp() override {
        harness_.init();
        PushScreen(SmartPtr<IScreen>(new vo_test::PlainScreen()));
        screen_ = SmartPtr<NewTeamScreen>(new NewTeamScreen());
        PushScreen(screen_);
    }
    void TearDown() override { screen_ = SmartPtr<NewTeamScreen>(); }

    // The six entries top to bottom: team, owner, members 1 to 4.
    std::vector<InputWidget*> entries() const {
        std::vector<InputWidget*> all = {screen_->team_name_input(), screen_->owner_name_input()};
        for (InputWidget* member : screen_->member_inputs()) all.push_back(member);
        return all;
    }
    void fill(InputWidget* entry, std::string const& text) {
        harness_.click(entry);
        harness_.type(text);
    }
    void press(const char* button) { harness_.click(FindButton(screen_->root_widget(), button)); }
    std::string message() const { return screen_->message()->text(); }
    bool form_on_top() const { return harness_.top<NewTeamScreen>() != nullptr; }

    AppHarness harness_;
    SmartPtr<NewTeamScreen> screen_;
};

TEST_F(NewTeamForm, OkWithAnEmptyEntryAsksForItAndClosesOnceAllAreFilled) {
    ASSERT_EQ(entries().size(), 6u);
    const std::vector<std::string> names = {"Lava Lords", "Ann", "Bo", "Cy", "Di"};
    for (std::size_t i = 0; i < names.size(); ++i) fill(entries()[i], names[i]);
    EXPECT_EQ(std::string(screen_->team_name_input()->text()), "Lava Lords");
    harness_.screenshot("new_team_screen_before_ok");

    press("ok");
    EXPECT_EQ(message(), "Please fill in all entries!");
    harness_.step();
    EXPECT_TRUE(form_on_top());
    harness_.screenshot("new_team_screen");

    fill(entries()[5], "Ed");
    press("ok");
    harness_.step();
    EXPECT_FALSE(form_on_top());

    // Opened again: the entries as typed, no message.
    PushScreen(screen_);
    EXPECT_EQ(message(), "");
    EXPECT_EQ(std::string(entries()[5]->text()), "Ed");
    EXPECT_TRUE(screen_->all_entries_filled());
}

TEST_F(NewTeamForm, AnEntryRefusesASeventeenthCharacter) {
    fill(screen_->owner_name_input(), "abcdefghijklmnopq");
    EXPECT_EQ(std::string(screen_->owner_name_input()->text()), "abcdefghijklmnop");
}

TEST_F(NewTeamForm, CancelEmptiesEveryEntryAndCloses) {
    fill(entries()[0], "Half");
    fill(entries()[3], "Done");
    press("cancel");
    for (InputWidget* entry : entries()) EXPECT_EQ(std::string(entry->text()), "");
    harness_.step();
    EXPECT_FALSE(form_on_top());
}

TEST_F(NewTeamForm, EscapeDoesNotCloseTheForm) {
    harness_.key(KEY_RELEASED, KEY_ESCAPE);
    harness_.step();
    EXPECT_TRUE(form_on_top());
}

}  // namespace
}  // namespace vo
