#include "game/menus/team_representation_widget.h"

#include "engine/core/resources.h"
#include "engine/core/tree_readers.h"
#include "engine/visuals/font.h"
#include "engine/visuals/text.h"
#include "engine/widgets/input_widget.h"
#include "engine/widgets/text_widget.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <SFML/Graphics/Image.hpp>

#include <cstdlib>
#include <map>
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

const std::string kData = QV_GAME_DATA_DIR;

// The shipped menu configuration: the card's keys under "teamRepresentation".
boost::property_tree::ptree ShippedConfig() {
    boost::property_tree::ptree tree;
    boost::property_tree::read_info(kData + "/config/menu_config.info", tree);
    return tree;
}

Frame ConfigFrame(boost::property_tree::ptree const& config, std::string const& key) {
    return vo::ReadFrame(config.get_child("teamRepresentation." + key));
}

// A pixel of a shipped texture.
Rgba TexturePixel(std::string const& name, float x, float y) {
    static std::map<std::string, sf::Image> images;
    sf::Image& image = images[name];
    if (image.getSize().x == 0) image.loadFromFile(kData + "/textures/" + name);
    sf::Color const c = image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y));
    return Rgba{c.r, c.g, c.b, 255};
}

class TeamCard : public ::testing::Test {
protected:
    TeamCard() : window_(640, 400), root_(nullptr, 0x180E), config_(ShippedConfig()) {
        window_.engine().set_clear_color(vo::Color(0, 0, 0, 1));
        vo::Textures().path = kData + "/textures/";
        font_.reset(new vo::Font);
        font_->set_file((kData + "/fonts/DejaVuSans-Bold.ttf").c_str(), vo::Font::FONT_FREETYPE);
        vo::Text::set_default_font(font_);
        scale_ = config_.get<float>("teamRepresentation.scale");
        texture_ = config_.get<std::string>("teamRepresentation.texture");

        TeamDesc team;
        team.cpuControlled = false;
        card_ = new TeamRepresentationWidget(team, &root_, vo::WS_DEFAULT_STATE, config_);
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

    // The portrait of a shipped character.
    TeamDesc Record(std::string const& name, bool cpu) {
        TeamDesc team;
        team.name = name;
        team.cpuControlled = cpu;
        team.character.portrait = vo::Image(vo::GetTexture(kPortrait));
        return team;
    }

    // An area of the card in card units (scaled).
    Frame Area(const char* key) { return ConfigFrame(config_, key) * scale_; }

    // A press and release at a point in card units.
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

    // The colour the atlas region src holds at the offset (dx, dy) pixels from
    // its top left corner, and the card point that shows it in area.
    Rgba AtlasAt(const char* src, float dx, float dy) {
        Frame const r = ConfigFrame(config_, src);
        return TexturePixel(texture_, r.left() + dx, r.top() + dy);
    }
    Rgba CardAt(const char* area, float dx, float dy) {
        Frame const a = Area(area);
        return PixelAt(a.left() + dx * scale_, a.top() + dy * scale_);
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
        EXPECT_FLOAT_EQ(h, Area("areaHumanText").height());
        EXPECT_FLOAT_EQ(card_->human_label()->text_height(), (cpu ? 0.5f : 0.6f) * h);
        EXPECT_FLOAT_EQ(card_->cpu_label()->text_height(), (cpu ? 0.6f : 0.5f) * h);
    }

    static inline const char* const kPortrait = "portraits/pudge.png";

    vo_test::TestWindow window_;
    Widget root_;
    boost::property_tree::ptree config_;
    vo::SmartPtr<vo::Font> font_;
    float scale_ = 1.0f;
    std::string texture_;
    TeamRepresentationWidget* card_ = nullptr;
    std::vector<std::string> log_;
};

TEST_F(TeamCard, BuildsItsChildrenFromTheConfiguration) {
    // The selected background's size, scaled.
    Frame const background = ConfigFrame(config_, "srcBGSelected");
    EXPECT_FLOAT_EQ(card_->inner_frame().width(), background.width() * scale_);
    EXPECT_FLOAT_EQ(card_->inner_frame().height(), background.height() * scale_);
    EXPECT_TRUE(card_->state_is_enabled(vo::WS_FIXED_SIZE | vo::WS_CHILDREN_IGNORE_MOUSE));
    ASSERT_EQ(card_->num_children(), 3u);
    EXPECT_STREQ(card_->human_label()->text(), "Human");
    EXPECT_STREQ(card_->cpu_label()->text(), "CPU");
    EXPECT_FLOAT_EQ(card_->name_input()->frame().width(), Area("areaText").width());
    EXPECT_FLOAT_EQ(card_->name_input()->text_height(), 0.75f * Area("areaText").height());
    EXPECT_FALSE(card_->name_input()->state_is_enabled(vo::WS_BORDER));
    ExpectSwitch(false);
}

TEST_F(TeamCard, ConstructorTakesOnlyTheCpuFlagAndStartsWithHumanLarger) {
    TeamDesc team = Record("Given", true);
    auto* other = new TeamRepresentationWidget(team, &root_, vo::WS_DEFAULT_STATE, config_);
    EXPECT_TRUE(other->is_cpu());
    EXPECT_EQ(other->team().name, "");
    EXPECT_FLOAT_EQ(other->human_label()->text_height(), 0.6f * Area("areaHumanText").height());
    EXPECT_FLOAT_EQ(other->cpu_label()->text_height(), 0.5f * Area("areaHumanText").height());
}

TEST_F(TeamCard, MissingKeyNamesIt) {
    boost::property_tree::ptree broken = config_;
    broken.get_child("teamRepresentation").erase("areaCpu");
    try {
        TeamRepresentationWidget card(TeamDesc(), nullptr, vo::WS_DEFAULT_STATE, broken);
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
    Frame const human = Area("areaHuman");
    Frame const cpu = Area("areaCpu");
    Frame const card = card_->inner_frame();
    struct Case {
        float x, y;
        bool cpu_before, cpu_after;
    };
    const Case cases[] = {
        {cpu.center().x, cpu.center().y, false, true},      // CPU area
        {human.center().x, human.center().y, true, false},  // Human area
        {human.center().x, human.center().y, false, false}, // Human again: nothing changes
        {cpu.right(), cpu.bottom(), true, true},            // CPU corner, edges included
        {card.width() - 5, card.height() - 5, false, false},  // elsewhere on the card
        {card.width() - 5, card.height() - 5, true, true},
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

// The shipped card keeps a gap between its buttons; a copy whose CPU area
// starts where the Human area ends shows which side wins on the shared edge.
TEST_F(TeamCard, OnTheEdgeTwoAreasShareHumanWins) {
    boost::property_tree::ptree touching = config_;
    Frame const human = Area("areaHuman");
    touching.put("teamRepresentation.areaCpu.left", human.right() / scale_);
    auto* other = new TeamRepresentationWidget(TeamDesc(), &root_, vo::WS_DEFAULT_STATE, touching);
    other->set_frame(Frame(0, 0, other->frame().width(), other->frame().height()));
    TeamDesc team = Record("T", true);
    other->set_team(team);
    const Frame at = other->global_transformed_frame(Frame(human.right(), human.center().y, human.right(), human.center().y));
    root_.process_mouse_event(MouseEvent(vo::MOUSE_PRESSED, vo::MOUSE_BUTTON_LEFT, 1, at.left(), at.top()));
    root_.process_mouse_event(MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, at.left(), at.top()));
    EXPECT_FALSE(other->is_cpu());
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

// Where the card shows plain background: near its bottom right corner, away
// from the wells, buttons and labels.
TEST_F(TeamCard, DrawsBackgroundSwitchAndPortrait) {
    Frame const card = card_->inner_frame();
    float const bx = card.width() - 60, by = card.height() - 40;
    Frame const picture = Area("areaCharacter");
    Rgba const portrait = TexturePixel(kPortrait, 64, 60);  // the centre of the 128 x 128 portrait

    card_->set_team(Record("T", false));
    Draw();
    EXPECT_TRUE(vo_test::ColorNear(PixelAt(bx, by), AtlasAt("srcBGUnselected", bx / scale_, by / scale_), 6));
    EXPECT_TRUE(vo_test::ColorNear(CardAt("areaHuman", 14, 14), AtlasAt("srcBtnHumanSelected", 14, 14), 6));
    EXPECT_TRUE(vo_test::ColorNear(CardAt("areaCpu", 14, 14), AtlasAt("srcBtnCpu", 14, 14), 6));
    EXPECT_TRUE(vo_test::ColorNear(PixelAt(picture.center().x, picture.center().y - picture.height() * 4 / 128), portrait, 12))
        << PixelAt(picture.center().x, picture.center().y) << " " << portrait;
    if (const char* shots = std::getenv("QV_SCREENSHOTS")) window_.save_png(std::string(shots) + "/team_card.png");

    card_->set_selected(true);
    Press(Area("areaCpu").center().x, Area("areaCpu").center().y);
    Draw();
    EXPECT_TRUE(vo_test::ColorNear(PixelAt(bx, by), AtlasAt("srcBGSelected", bx / scale_, by / scale_), 6));
    EXPECT_TRUE(vo_test::ColorNear(CardAt("areaHuman", 14, 14), AtlasAt("srcBtnHuman", 14, 14), 6));
    EXPECT_TRUE(vo_test::ColorNear(CardAt("areaCpu", 14, 14), AtlasAt("srcBtnCpuSelected", 14, 14), 6));
    EXPECT_TRUE(vo_test::ColorNear(PixelAt(picture.center().x, picture.center().y - picture.height() * 4 / 128), portrait, 12));
    // The states look apart.
    EXPECT_FALSE(vo_test::ColorNear(AtlasAt("srcBGSelected", bx, by), AtlasAt("srcBGUnselected", bx, by), 20));
    EXPECT_FALSE(vo_test::ColorNear(AtlasAt("srcBtnCpuSelected", 14, 14), AtlasAt("srcBtnCpu", 14, 14), 20));
    // Nothing of the card is drawn outside its frame.
    EXPECT_EQ(PixelAt(-3, 30), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(PixelAt(card.width() + 3, 30), (Rgba{0, 0, 0, 255}));
    if (const char* shots = std::getenv("QV_SCREENSHOTS")) {
        window_.save_png(std::string(shots) + "/team_card_selected.png");
    }
}

TEST_F(TeamCard, NoPortraitDrawsNoPicture) {
    Frame const picture = Area("areaCharacter");
    float const x = picture.center().x, y = picture.center().y;
    Draw();
    EXPECT_TRUE(vo_test::ColorNear(PixelAt(x, y), AtlasAt("srcBGUnselected", x / scale_, y / scale_), 6));
    TeamDesc without = Record("T", false);
    without.character.portrait = vo::Image();
    card_->set_team(Record("T", false));
    card_->set_team(without);
    Draw();
    EXPECT_TRUE(vo_test::ColorNear(PixelAt(x, y), AtlasAt("srcBGUnselected", x / scale_, y / scale_), 6));
}

}  // namespace
