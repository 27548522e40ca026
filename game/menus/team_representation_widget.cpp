#include "game/menus/team_representation_widget.h"

#include "engine/core/resources.h"
#include "engine/core/tree_readers.h"
#include "engine/widgets/input_widget.h"
#include "engine/widgets/text_widget.h"
#include "game/menus/menu_kit.h"

#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <string>

namespace vo {

namespace {

using boost::property_tree::ptree;

constexpr unsigned kCentred = WS_ALIGN_LEFT | WS_ALIGN_RIGHT | WS_ALIGN_TOP | WS_ALIGN_BOTTOM;  // 0x3c0
constexpr int kMaxNameLength = 16;
constexpr float kActiveLabel = 0.6f;
constexpr float kInactiveLabel = 0.5f;

Frame ConfigFrame(ptree const& config, std::string const& key) {
    return ReadFrame(config.get_child("teamRepresentation." + key));
}

// A pixel rectangle of the texture in texture coordinates, at texel centres.
Frame TextureRegion(Frame const& pixels, float width, float height) {
    if (width == 0.0f || height == 0.0f) return Frame();
    return Frame((pixels.left() + 0.5f) / width, (pixels.top() + 0.5f) / height, (pixels.right() + 0.5f) / width,
                 (pixels.bottom() + 0.5f) / height);
}

// Edges count as inside, whichever way the frame's edges are ordered.
bool Contains(Frame const& frame, float x, float y) {
    return std::min(frame.left(), frame.right()) <= x && x <= std::max(frame.left(), frame.right()) &&
           std::min(frame.top(), frame.bottom()) <= y && y <= std::max(frame.top(), frame.bottom());
}

TextWidget* ConfigureText(TextWidget* text, Frame const& frame) {
    text->set_text_align(kCentred);
    text->set_frame(frame);
    text->enable_state(WS_FIXED_SIZE);
    text->disable_state(WS_BACKGROUND | WS_BORDER);
    return text;
}

}  // namespace

TeamRepresentationWidget::TeamRepresentationWidget(TeamDesc const& team, Widget* parent, int state)
    : TeamRepresentationWidget(team, parent, state, MenuConfig()) {}

TeamRepresentationWidget::TeamRepresentationWidget(TeamDesc const& team, Widget* parent, int state,
                                                   ptree const& menu_config)
    : Widget(parent, state), cpu_(team.cpuControlled) {
    const float s = menu_config.get<float>("teamRepresentation.scale");
    SmartPtr<Texture> texture = GetTexture(menu_config.get<std::string>("teamRepresentation.texture"));
    const Frame texture_frame = texture->frame();
    const float tw = texture_frame.width();
    const float th = texture_frame.height();
    const Color white(1.0f, 1.0f, 1.0f, 1.0f);

    auto image = [&](const char* src_key, Frame const& dest) {
        return Image(texture, dest, TextureRegion(ConfigFrame(menu_config, src_key), tw, th), white);
    };
    auto background = [&](const char* src_key) {
        const Frame src = ConfigFrame(menu_config, src_key);
        return image(src_key, Frame(0.0f, 0.0f, src.width() * s, src.height() * s));
    };
    background_ = background("srcBGUnselected");
    background_selected_ = background("srcBGSelected");
    const Frame area_human = ConfigFrame(menu_config, "areaHuman") * s;
    human_button_ = image("srcBtnHuman", area_human);
    human_button_selected_ = image("srcBtnHumanSelected", area_human);
    const Frame area_cpu = ConfigFrame(menu_config, "areaCpu") * s;
    cpu_button_ = image("srcBtnCpu", area_cpu);
    cpu_button_selected_ = image("srcBtnCpuSelected", area_cpu);

    set_inner_frame_dimensions(background_selected_.dest_frame.width(), background_selected_.dest_frame.height());
    // The card keeps its size in layout passes and takes every press itself;
    // the main menu hands the key focus to the name input.
    enable_state(WS_FIXED_SIZE | WS_CHILDREN_IGNORE_MOUSE);

    const Frame area_text = ConfigFrame(menu_config, "areaText") * s;
    name_input_ = new InputWidget(this, WS_DEFAULT_STATE);
    ConfigureText(name_input_, area_text);
    name_input_->set_text_height(0.75f * area_text.height());
    name_input_->set_max_string_length(kMaxNameLength);
    name_input_->connect_on_value_changed(this, &TeamRepresentationWidget::on_name_changed);

    const Frame area_human_text = ConfigFrame(menu_config, "areaHumanText") * s;
    label_height_ = area_human_text.height();
    human_label_ = ConfigureText(new TextWidget(this, WS_DEFAULT_STATE), area_human_text);
    human_label_->set_text_height(kActiveLabel * label_height_);
    human_label_->set_text("Human");
    cpu_label_ = ConfigureText(new TextWidget(this, WS_DEFAULT_STATE), ConfigFrame(menu_config, "areaCpuText") * s);
    cpu_label_->set_text_height(kInactiveLabel * label_height_);
    cpu_label_->set_text("CPU");

    // The whole portrait texture, which set_team hands over.
    character_picture_.dest_frame = ConfigFrame(menu_config, "areaCharacter") * s;
}

TeamRepresentationWidget::~TeamRepresentationWidget() = default;

void TeamRepresentationWidget::set_team(TeamDesc const& team) {
    team_ = team;
    // The input may cut the name to its length limit; its value-changed
    // signal then brings the record's name in line with what is shown.
    name_input_->set_text(team_.name.c_str());
    character_picture_.set_texture(team_.character.portrait.texture());
    cpu_ = team_.cpuControlled;
    show_switch();
}

void TeamRepresentationWidget::on_name_changed(Widget*, const char* text) { team_.name = text ? text : ""; }

void TeamRepresentationWidget::show_switch() {
    human_label_->set_text_height((cpu_ ? kInactiveLabel : kActiveLabel) * label_height_);
    cpu_label_->set_text_height((cpu_ ? kActiveLabel : kInactiveLabel) * label_height_);
}

void TeamRepresentationWidget::on_draw() {
    FrameTransform const& t = transform();
    (selected_ == 1 ? background_selected_ : background_).draw(t);
    if (cpu_) {
        human_button_.draw(t);
        cpu_button_selected_.draw(t);
    } else {
        human_button_selected_.draw(t);
        cpu_button_.draw(t);
    }
    // No portrait yet (or a record without one): nothing rather than a
    // blank quad.
    if (character_picture_.texture()) character_picture_.draw(t);
}

void TeamRepresentationWidget::mouse_event(MouseEvent const& event) {
    if (event.type() != MOUSE_PRESSED) return;
    on_select(this);
    on_press(this);
    if (Contains(global_transformed_frame(human_button_.dest_frame), event.x(), event.y())) {
        cpu_ = false;
    } else if (Contains(global_transformed_frame(cpu_button_.dest_frame), event.x(), event.y())) {
        cpu_ = true;
    } else {
        return;
    }
    team_.cpuControlled = cpu_;
    show_switch();
}

}  // namespace vo
