// The head-up display of a running match: the round timer, the weapon panel
// with the fuse timer buttons, the world-rotate button, the rotation hint
// and the notices.

#include "game/match/match.h"

#include "engine/core/config.h"
#include "engine/core/path_provider.h"
#include "engine/core/resources.h"
#include "engine/core/tree_readers.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/font.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget_style_config.h"
#include "game/app/int_to_string.h"
#include "game/match/match_config.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_kit.h"
#include "game/menus/notification_widget.h"
#include "game/menus/weapon_select_widget.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/signals2/connection.hpp>

#include <algorithm>
#include <iostream>

namespace vo {

namespace {

const char* const kStylesFile = "ingame_widget_styles.info";

constexpr unsigned kTextCentred = 0x3c0;
constexpr int kNumFuseButtons = 6;
constexpr float kPauseNoticeHeight = 56.0f;
const Color kNoticeCream(1.0f, 0.92f, 0.72f, 1.0f);

std::string StylesPath() { return PathProvider::get_path(1) + kStylesFile; }

SmartPtr<WidgetStyleMap> HudStyles(std::string const& group) {
    return WidgetStyleMapFromInfoFile(StylesPath(), group, DefaultStyleMap());
}

// The frame of a button of the style: exactly the source frame of its
// default image.
Frame ButtonFrame(std::string const& style) {
    return ReadFrame(GetConfig(kStylesFile, (style + ".default.image.srcFrame").c_str()));
}

}  // namespace

void Match::init_widgets() {
    if (hud_built_) return;
    hud_built_ = true;

    root_widget_->enable_state(WS_VIRTUAL);
    std::cout << "initializing match widgets\n" << std::flush;

    // The world-rotation hint (hidden: nothing shows it).
    rotation_hint_ = new TextWidget(root_widget_, WS_DEFAULT_STATE);
    rotation_hint_->enable_state(WS_ALIGN_LEFT | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM);
    rotation_hint_->disable_state(WS_VISIBLE);
    rotation_hint_->set_text_height(20.0f);
    rotation_hint_->set_text("World rotation with AWSD and arrow Keys.\nPress RETURN to start movement.");
    rotation_hint_->set_text_color(Color(0.0f, 0.0f, 0.0f, 1.0f));

    // The round timer at the top right.
    const float h = config_->roundTimeTextHeight;
    round_timer_box_ = new Widget(root_widget_, WS_DEFAULT_STATE);
    round_timer_box_->enable_state(WS_ALIGN_TOP | WS_ALIGN_RIGHT | WS_FIXED_SIZE);
    round_timer_box_->disable_state(WS_BORDER);
    round_timer_box_->set_frame(Frame(0.0f, 0.0f, 2.0f * h, 1.5f * h));
    round_timer_box_->set_style_map(HudStyles("timer"));

    round_timer_text_ = new TextWidget(round_timer_box_, WS_DEFAULT_STATE);
    round_timer_text_->set_frame(Frame(0.0f, 0.0f, 1.9f * h, 1.4f * h));
    round_timer_text_->enable_state(WS_FIXED_SIZE);
    round_timer_text_->set_text_align(kTextCentred);
    round_timer_text_->disable_state(WS_BACKGROUND | WS_BORDER);
    round_timer_text_->set_font(hud_font_);
    round_timer_text_->set_text_height(h);
    round_timer_text_->set_text_color(Color(1.0f, 1.0f, 1.0f, 1.0f));
    round_timer_text_->set_text("99");

    // The weapon panel: the weapons, "contact" and the fuse seconds in one row.
    auto* panel = new GridWidget(root_widget_, WS_DEFAULT_STATE);
    panel->enable_state(WS_TRANSPARENT | WS_ALIGN_BOTTOM | WS_ALIGN_LEFT);
    weapon_select_ = new WeaponSelectWidget(scene_.weapons, hud_font_, panel, WS_VISIBLE | WS_ENABLED | WS_TRANSPARENT);
    panel->set_widget(weapon_select_, 0, 0);
    weapon_select_->create_info_box(root_widget_);

    timer_buttons_.clear();
    ButtonWidget* contact = create_timer_button(panel, "contactButton", "contact", 0x1a06);
    contact->press();
    panel->set_widget(contact, 0, 1);
    timer_buttons_.push_back(contact);
    for (int n = 1; n <= kNumFuseButtons; ++n) {
        ButtonWidget* button = create_timer_button(panel, "timerButton", IntToString(n), 0x1a06);
        panel->set_widget(button, 0, static_cast<unsigned>(n + 1));
        timer_buttons_.push_back(button);
    }

    world_rotate_rest_frame_ = Frame();

    // The world-rotate button at the bottom right.
    world_rotate_button_ = new ButtonWidget(root_widget_, WS_DEFAULT_STATE);
    world_rotate_button_->set_style_map(HudStyles("worldRotateButton"));
    world_rotate_button_->set_frame(ButtonFrame("worldRotateButton"));
    world_rotate_button_->enable_state(WS_CHILDREN_IGNORE_MOUSE | WS_ALIGN_BOTTOM | WS_ALIGN_RIGHT | WS_FIXED_SIZE);
    world_rotate_button_->disable_state(WS_BORDER);
    Image icon = ReadImage(GetConfig(kStylesFile, "worldRotateIconImage"));
    icon.dest_frame = ReadFrame(GetConfig(kStylesFile, "worldRotateIconImage.srcFrame"));
    world_rotate_button_->set_image(icon);
    world_rotate_button_->set_text_overlays_image(true);
    world_rotate_button_->connect_on_click(this, &Match::world_rotate_clicked);
    world_rotate_button_->set_font(hud_font_);
    world_rotate_button_->set_text_height(20.0f);
    const float w = icon.dest_frame.width();
    world_rotate_button_->set_text_align_offset(vector2(-0.3f * w, 0.3f * w));

    // The notices.
    notifications_ = new NotificationWidget(root_widget_, WS_DEFAULT_STATE);
    notifications_->enable_state(WS_VIRTUAL | WS_CHILDREN_IGNORE_MOUSE);
    notifications_->set_color("background", Color(1.0f, 1.0f, 1.0f, 0.1f));
    // Cream, as the timer's digits: the text widget's black is lost on the
    // dark cave.
    notifications_->set_line_color(kNoticeCream);

    // The pause notice at the top centre, in the notices' cream, a little
    // below the window's edge: shown exactly while the match is paused.
    pause_notice_ = new TextWidget(root_widget_, WS_DEFAULT_STATE);
    pause_notice_->enable_state(WS_ALIGN_LEFT | WS_ALIGN_RIGHT | WS_ALIGN_TOP | WS_FIXED_SIZE | WS_IGNORE_MOUSE);
    pause_notice_->disable_state(WS_BACKGROUND | WS_BORDER);
    pause_notice_->set_frame(Frame(0.0f, 0.0f, 16.0f * kPauseNoticeHeight, 1.8f * kPauseNoticeHeight));
    pause_notice_->set_text_align(kTextCentred);
    pause_notice_->set_text_height(kPauseNoticeHeight);
    pause_notice_->set_text_color(kNoticeCream);
    pause_notice_->set_text("Paused - P to go on");
    if (!paused_) pause_notice_->disable_state(WS_VISIBLE);

    // Layout in the menus' design space.
    root_widget_->adjust_to_content(true);
    Engine& engine = Engine::instance();
    const Frame reference = MenuReferenceFrame();
    scale_hud(std::min(static_cast<float>(engine.screen_width()) / reference.width(),
                       static_cast<float>(engine.screen_height()) / reference.height()));

    // The ring drawn around the acting slob while a throw is charged.
    charge_ring_ = Image(GetTexture("ring_of_power.png"), Frame(-1.5f, 1.5f, 1.5f, -1.5f), Frame(0.0f, 0.0f, 1.0f, 1.0f),
                         Color(1.0f, 1.0f, 1.0f, 1.0f));
    charge_ring_.set_dissolve_texture(GetTexture("ring_of_power_dissolve.png"));
}

void Match::scale_hud(float scale) {
    root_widget_->transform(FrameTransform(vector2(scale, scale), vector2(0.0f, 0.0f), true));
    root_widget_->align_children(true);
    name_text_height_ = static_cast<int>(config_->teamNameTextHeight * scale);
}

ButtonWidget* Match::create_timer_button(Widget* parent, std::string const& style, std::string const& text,
                                         unsigned flags) {
    const Frame frame = ButtonFrame(style);
    auto* button = new ButtonWidget(parent, WS_DEFAULT_STATE);
    button->enable_state(static_cast<int>(flags) | WS_FIXED_SIZE);
    button->disable_state(WS_BORDER);
    button->set_style_map(HudStyles(style));
    button->set_frame(frame);
    ptree const& styles = GetConfig(kStylesFile);
    if (!text.empty() && styles.get<bool>("general.weaponButtonTextOverlay", true)) {
        button->set_text_height(frame.height() * styles.get<float>("general.weaponButtonTextScale", 0.75f));
        button->set_text(text.c_str());
    }
    button->set_checkable(true);
    button->set_uncheckable(false);
    button->set_exclusive(true);
    return button;
}

void Match::world_rotate_clicked(Widget*) {
    TeamState* team = current_team_state();
    if (!team || team->cpu_controlled != 0) return;
    align_world_to_acting_slob();
    if (team->world_rotations_left > 0) team->world_rotations_left -= 1;
    world_rotate_button_->set_text(IntToString(team->world_rotations_left).c_str());
    if (team->world_rotations_left == 0) world_rotate_button_->disable_state(WS_ENABLED);
}

void Match::update_world_rotate_button() {
    TeamState* team = current_team_state();
    if (!team || !world_rotate_button_) return;
    if (team->world_rotations_left < 1) {
        world_rotate_button_->set_text("");
    } else {
        world_rotate_button_->set_text(IntToString(team->world_rotations_left).c_str());
        world_rotate_button_->adjust_to_content(false);
        world_rotate_button_->align_children(true);
    }
}

void Match::reset_hud_for_turn(TeamState* team) {
    if (world_rotate_button_) {
        world_rotate_button_->disable_state(WS_ENABLED);
        world_rotate_button_->set_text("");
    }
    select_timer(0.0);
    if (weapon_select_) {
        weapon_select_->select_weapon();
        if (team) weapon_select_->set_weapon_counts(team->weapon_counts);
        select_available_weapon();
    }
}

void Match::set_round_timer(double t) {
    if (t >= 0.0 && static_cast<int>(t) != static_cast<int>(round_timer_) && round_timer_text_)
        round_timer_text_->set_text(IntToString(static_cast<int>(t)).c_str());
    round_timer_ = t;
}

int Match::pressed_timer_button() const {
    const int count = static_cast<int>(timer_buttons_.size());
    for (int i = 0; i < count; ++i)
        if (timer_buttons_[static_cast<std::size_t>(i)]->is_checked()) return i;
    return count;
}

void Match::hold_timer_selection() {
    if (timer_selection_ < 0 || timer_selection_ >= static_cast<int>(timer_buttons_.size())) return;
    ButtonWidget* button = timer_buttons_[static_cast<std::size_t>(timer_selection_)];
    if (!button->is_checked()) button->press();
}

void Match::select_timer(double index) {
    const double count = static_cast<double>(timer_buttons_.size());
    double v = index;
    if (index > count) v = count;
    if (index < 0.0) v = 0.0;
    timer_selection_ = static_cast<int>(v);
    if (timer_selection_ < static_cast<int>(timer_buttons_.size())) {
        ButtonWidget* button = timer_buttons_[static_cast<std::size_t>(timer_selection_)];
        if (!button->is_checked()) button->press();
    }
}

}  // namespace vo
