#include "game/menus/team_representation_widget.h"

#include "engine/core/resources.h"
#include "engine/visuals/text.h"
#include "engine/widgets/input_widget.h"
#include "engine/widgets/text_widget.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"
#include "support/engine/text_fixtures.h"

#include <gtest/gtest.h>

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vo::Frame;
using vo::MouseEvent;
using vo::TeamDesc;
using vo::TeamRepresentationWidget;
using vo::Widget;
using vo_test::Rgba;

Rgba const kBlue{0, 0, 255, 255};      // background, not selected
Rgba const kGreen{0, 255, 0, 255};     // background, selected
Rgba const kRed{255, 0, 0, 255};       // Human button, switch on CPU
Rgba const kYellow{255, 255, 0, 255};  // Human button, switch on Human
Rgba const kPurple{255, 0, 255, 255};  // CPU button, switch on Human
Rgba const kCyan{0, 255, 255, 255};    // CPU button, switch on CPU
Rgba const kOrange{255, 128, 0, 255};  // the portrait

// The card atlas: 40 x 10 pixels, one colour per 10 (backgrounds) or 5
// (buttons) columns.
Rgba AtlasPixel(unsigned x) {
    if (x < 10) return kBlue;
    if (x < 20) return kGreen;
    if (x < 25) return kRed;
    if (x < 30) return kYellow;
    if (x < 35) return kPurple;
    return kCyan;
}

// At scale 10 the card is 90 x 90 units; the two buttons are 30 x 30 and
// overlap by one unit in x (40..50 would be a gap; here Human 10..45,
// CPU 45..80, so x 45 lies on both edges).
const char* const kConfig =
    "teamRepresentation {\n"
    " scale 10\n"
    " texture card.png\n"
    " srcBGUnselected { left 0 top 0 right 9 bottom 9 }\n"
    " srcBGSelected { left 10 top 0 right 19 bottom 9 }\n"
    " srcBtnHuman { left 20 top 0 right 24 bottom 9 }\n"
    " srcBtnHumanSelected { left 25 top 0 right 29 bottom 9 }\n"
    " srcBtnCpu { left 30 top 0 right 34 bottom 9 }\n"
    " srcBtnCpuSelected { left 35 top 0 right 39 bottom 9 }\n"
    " areaHuman { left 1 top 5.5 right 4.5 bottom 8.5 }\n"
    " areaCpu { left 4.5 top 5.5 right 8 bottom 8.5 }\n"
    " areaText { left 0.5 top 0.2 right 8.5 bottom 1.2 }\n"
    " areaHumanText { left 1 top 4.6 right 4 bottom 5.2 }\n"
    " areaCpuText { left 5 top 4.6 right 8 bottom 5.2 }\n"
    " areaCharacter { left 3 top 1.5 right 6 bottom 4.5 }\n"
    "}\n";

boost::property_tree::ptree ReadConfig(std::string const& text) {
    std::istringstream in(text);
    boost::property_tree::ptree tree;
    boost::property_tree::read_info(in, tree);
    return tree;
}

struct Senders {
    std::vector<std::string> log;
};

class TeamCard : public ::testing::Test {
protected:
    TeamCard() : window_(320, 240), root_(nullptr, 0x180E) {
        window_.engine().set_clear_color(vo::Color(0, 0, 0, 1));
        vo::Textures().path = folder_.path() + "/";
        vo_test::WritePng(folder_.file("card.png"), 40, 10, [](unsigned x, unsigned) { return AtlasPixel(x); });
        vo_test::WritePng(folder_.file("portrait.png"), 4, 4, [](unsigned, unsigned) { return kOrange; });
        const std::string font = vo_test::WriteBlockFont(folder_.path(), vo_test::UniqueName("cardfont"), 4, 6, 5);
        vo::Text::set_default_font(vo_test::LoadBlockFont(font, 6));

        TeamDesc team;
        team.cpuControlled = false;
        card_ = new TeamRepresentationWidget(team, &root_, vo::WS_DEFAULT_STATE, ReadConfig(kConfig));
        // Placed at (100, 50) with the size it made for itself.
        const Frame size = card_->frame();
        card_->set_frame(Frame(100, 50, 100 + size.width(), 50 + size.height()));
        card_->on_select.connect([this](Widget* w) { Note("select", w); });
        card_->on_press.connect([this](Widget* w) { Note("press", w); });
        card_->on_change.connect([this](Widget* w) { Note("change", w); });
    }
    ~TeamCard() override {
        root_.process_mouse_event(MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, 0, 0));
        vo::Text::set_default_font(vo::SmartPtr<vo::Font>());
        vo::Textures().clear();
        vo::Textures().path.clear();
    }

    void Note(const char* what, Widget* sender) { log_.push_back(std::string(what) + (sender == card_ ? "" : "?")); }

    TeamDesc Record(std::string const& name, bool cpu) {
        TeamDesc team;
        team.name = name;
        team.cpuControlled = cpu;
        team.character.portrait = vo::Image(vo::GetTexture("portrait.png"));
        return team;
    }

    // A press and release at the centre of the card frame (in card units).
    void Press(float x, float y) {
        const Frame at = card_->global_transformed_frame(Frame(x, y, x, y));
        root_.process_mouse_event(MouseEvent(vo::MOUSE_PRESSED, vo::MOUSE_BUTTON_LEFT, 1, at.left(), at.top()));
        root_.process_mouse_event(MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, at.left(), at.top()));
    }

    // The colour drawn at a point in card units.
    Rgba PixelAt(float x, float y) {
        const Frame at = card_->global_transformed_frame(Frame(x, y, x, y));
        return window_.pixel(int(at.left()), int(at.top()));
    }

    void Draw() {
        // Texturing and alpha blending on, as every screen sets up its view.
        window_.use_pixel_coordinates();
        window_.engine().set_state(vo::STATE_TEXTURING, true);
        window_.engine().set_state(vo::STATE_BLENDING, true);
        window_.engine().set_blend_mode(0);
        window_.engine().clear();
        root_.draw();
    }

    void ExpectSwitch(bool cpu) {
        EXPECT_EQ(card_->is_cpu(), cpu);
        EXPECT_EQ(card_->team().cpuControlled, cpu);
        const float h = card_->label_height();
        EXPECT_FLOAT_EQ(h, 6.0f);
        EXPECT_FLOAT_EQ(card_->human_label()->text_height(), (cpu ? 0.5f : 0.6f) * h);
        EXPECT_FLOAT_EQ(card_->cpu_label()->text_height(), (cpu ? 0.6f : 0.5f) * h);
    }

    vo_test::TempFolder folder_;
    vo_test::TestWindow window_;
    Widget root_;
    TeamRepresentationWidget* card_ = nullptr;
    std::vector<std::string> log_;
};

TEST_F(TeamCard, BuildsItsChildrenFromTheConfiguration) {
    EXPECT_FLOAT_EQ(card_->inner_frame().width(), 90.0f);
    EXPECT_FLOAT_EQ(card_->inner_frame().height(), 90.0f);
    EXPECT_TRUE(card_->state_is_enabled(vo::WS_FIXED_SIZE | vo::WS_CHILDREN_IGNORE_MOUSE));
    ASSERT_EQ(card_->num_children(), 3u);
    EXPECT_STREQ(card_->human_label()->text(), "Human");
    EXPECT_STREQ(card_->cpu_label()->text(), "CPU");
    EXPECT_FLOAT_EQ(card_->name_input()->frame().width(), 80.0f);
    EXPECT_FLOAT_EQ(card_->name_input()->text_height(), 7.5f);
    EXPECT_FALSE(card_->name_input()->state_is_enabled(vo::WS_BORDER));
    ExpectSwitch(false);
}

TEST_F(TeamCard, ConstructorTakesOnlyTheCpuFlagAndStartsWithHumanLarger) {
    TeamDesc team = Record("Given", true);
    auto* other = new TeamRepresentationWidget(team, &root_, vo::WS_DEFAULT_STATE, ReadConfig(kConfig));
    EXPECT_TRUE(other->is_cpu());
    EXPECT_EQ(other->team().name, "");
    EXPECT_FLOAT_EQ(other->human_label()->text_height(), 3.6f);
    EXPECT_FLOAT_EQ(other->cpu_label()->text_height(), 3.0f);
}

TEST_F(TeamCard, MissingKeyNamesIt) {
    std::string text = kConfig;
    text.replace(text.find(" areaCpu {"), 1, " x");
    try {
        TeamRepresentationWidget card(TeamDesc(), nullptr, vo::WS_DEFAULT_STATE, ReadConfig(text));
        FAIL() << "no error";
    } catch (std::exception const& e) {
        EXPECT_NE(std::string(e.what()).find("teamRepresentation.areaCpu"), std::string::npos) << e.what();
    }
}

TEST_F(TeamCard, SetTeamShowsTheRecord) {
    card_->set_team(Record("Blue Slobs", true));
    EXPECT_STREQ(card_->name_input()->text(), "Blue Slobs");
    EXPECT_EQ(card_->team().name, "Blue Slobs");
    ExpectSwitch(true);
    card_->set_team(Record("Red", false));
    ExpectSwitch(false);
}

TEST_F(TeamCard, OverlongNameIsCutAndTheRecordFollows) {
    card_->set_team(Record("An extremely long team name", false));
    EXPECT_STREQ(card_->name_input()->text(), "An extremely lon");
    EXPECT_EQ(card_->team().name, "An extremely lon");
}

TEST_F(TeamCard, PressesFlipTheSwitchAndAlwaysSignalSelectThenPress) {
    struct Case {
        float x, y;
        bool cpu_before, cpu_after;
    };
    const Case cases[] = {
        {60, 70, false, true},   // CPU area
        {20, 70, true, false},   // Human area
        {20, 70, false, false},  // Human again: nothing changes
        {45, 70, true, false},   // on the shared edge: Human wins
        {80, 85, true, true},    // CPU corner, edges included
        {5, 30, false, false},   // elsewhere on the card
        {5, 30, true, true},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        card_->set_team(Record("T", c.cpu_before));
        log_.clear();
        Press(c.x, c.y);
        EXPECT_EQ(log_, (std::vector<std::string>{"select", "press"}));
        ExpectSwitch(c.cpu_after);
    }
}

TEST_F(TeamCard, TypingEditsTheRecordKeyByKey) {
    card_->set_team(Record("ab", false));
    card_->name_input()->set_focus();
    auto key = [this](vo::KeyCode code) {
        EXPECT_TRUE(root_.process_key_event(vo::KeyEvent(vo::KEY_PRESSED, code, false)));
    };
    key(vo::KEY_C);
    EXPECT_EQ(card_->team().name, "abc");
    key(vo::KEY_BACKSPACE);
    key(vo::KEY_BACKSPACE);
    EXPECT_EQ(card_->team().name, "a");
    key(vo::KEY_BACKSPACE);
    EXPECT_EQ(card_->team().name, "");
    for (int i = 0; i < 17; ++i) key(vo::KEY_X);
    EXPECT_EQ(card_->team().name, std::string(16, 'x'));
    EXPECT_STREQ(card_->name_input()->text(), card_->team().name.c_str());
}

TEST_F(TeamCard, DrawsBackgroundSwitchAndPortrait) {
    card_->set_team(Record("T", false));
    Draw();
    EXPECT_EQ(PixelAt(2, 30), kBlue);
    EXPECT_EQ(PixelAt(20, 70), kYellow);
    EXPECT_EQ(PixelAt(70, 70), kPurple);
    EXPECT_EQ(PixelAt(45, 25), kOrange);
    if (const char* shots = std::getenv("QV_SCREENSHOTS")) window_.save_png(std::string(shots) + "/team_card.png");

    card_->set_selected(true);
    Press(70, 70);
    Draw();
    EXPECT_EQ(PixelAt(2, 30), kGreen);
    EXPECT_EQ(PixelAt(20, 70), kRed);
    EXPECT_EQ(PixelAt(70, 70), kCyan);
    EXPECT_EQ(PixelAt(45, 25), kOrange);
    // Nothing of the card is drawn outside its 90 x 90 units.
    EXPECT_EQ(PixelAt(-3, 30), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(PixelAt(93, 30), (Rgba{0, 0, 0, 255}));
    if (const char* shots = std::getenv("QV_SCREENSHOTS")) {
        window_.save_png(std::string(shots) + "/team_card_selected.png");
    }
}

TEST_F(TeamCard, NoPortraitDrawsNoPicture) {
    Draw();
    EXPECT_EQ(PixelAt(45, 25), kBlue);
    TeamDesc without = Record("T", false);
    without.character.portrait = vo::Image();
    card_->set_team(Record("T", false));
    card_->set_team(without);
    Draw();
    EXPECT_EQ(PixelAt(45, 25), kBlue);
}

}  // namespace
