// The team panel of the head-up display, at its top left: a row per team
// with the team's name and a life bar with a segment per slob. The ghost of
// a bar keeps the health its slobs had when the turn began, so the damage of
// the turn stays visible until the next one starts.

#include "game/match/match.h"

#include "engine/core/path_provider.h"
#include "engine/scene/entity.h"
#include "engine/scene/health.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget_style_config.h"
#include "game/match/match_config.h"
#include "game/match/match_entities.h"
#include "game/menus/bar_widget.h"
#include "game/menus/grid_widget.h"

#include <algorithm>
#include <iostream>

namespace vo {

namespace {

constexpr unsigned kTextCentred = 0x3c0;
// Left, centred vertically, fixed size.
constexpr int kCellState = WS_ALIGN_LEFT | WS_ALIGN_TOP | WS_ALIGN_BOTTOM | WS_FIXED_SIZE;

SmartPtr<WidgetStyleMap> PanelStyles(std::string const& group) {
    return WidgetStyleMapFromInfoFile(PathProvider::get_path(1) + "ingame_widget_styles.info", group,
                                      DefaultStyleMap());
}

}  // namespace

void Match::init_team_widgets() {
    if (team_panel_) {
        delete team_panel_;
        team_panel_ = nullptr;
        life_bars_.clear();
    }
    auto* panel = new GridWidget(root_widget_, WS_DEFAULT_STATE);
    team_panel_ = panel;
    panel->enable_state(WS_ALIGN_TOP | WS_ALIGN_LEFT);
    panel->disable_state(WS_BACKGROUND | WS_BORDER);
    panel->set_horizontal_spacing(0.0f);
    panel->set_vertical_spacing(0.0f);

    const float h = config_->teamNameTextHeight;
    SmartPtr<WidgetStyleMap> name_styles = PanelStyles("teamName");
    SmartPtr<WidgetStyleMap> bar_styles = PanelStyles("lifebar");
    std::vector<TextWidget*> labels;
    for (std::size_t i = 0; i < teams_.size(); ++i) {
        TeamState const& team = teams_[i];
        auto* label = new TextWidget(panel, WS_DEFAULT_STATE);
        label->set_text_height(h);
        label->set_text(team.desc->name.c_str());
        label->set_text_color(Color(0.9f, 0.9f, 0.9f, 1.0f));
        label->set_text_align(kTextCentred);
        label->enable_state(kCellState);
        label->disable_state(WS_BORDER);
        label->set_style_map(name_styles);
        panel->set_widget(label, static_cast<unsigned>(i), 0);
        labels.push_back(label);

        auto* bar = new BarWidget(panel, WS_DEFAULT_STATE);
        const float m = static_cast<float>(team.desc->members.size());
        bar->set_frame(Frame(0.0f, 0.0f, static_cast<float>(static_cast<int>(m * 1.5f * h)),
                             static_cast<float>(static_cast<int>(1.25f * h))));
        bar->enable_state(kCellState);
        bar->disable_state(WS_BORDER);
        bar->ghost_color = Color(team.color.r, team.color.g, team.color.b, team.color.a * 0.35f);
        bar->fill_color = team.color;
        bar->min_value = 0.0f;
        bar->max_value = 100.0f;
        bar->set_style_map(bar_styles);
        panel->set_widget(bar, static_cast<unsigned>(i), 1);
        life_bars_.push_back(bar);
    }

    // Every name as wide as the widest.
    float widest = 0.0f;
    for (TextWidget* label : labels) widest = std::max(widest, label->estimate_width());
    for (TextWidget* label : labels)
        label->set_frame(Frame(0.0f, 0.0f, static_cast<float>(static_cast<int>(widest + h / 5.0f)),
                               static_cast<float>(static_cast<int>(1.25f * h))));

    refresh_life_bars();

    std::cout << "adjusting to content...\n" << std::flush;
    panel->adjust_to_content(true);
    std::cout << "aligning...\n" << std::flush;
    root_widget_->align_children(true);
    std::cout << "alginment done\n" << std::flush;
}

void Match::refresh_life_bars() {
    const std::size_t n = std::min(teams_.size(), life_bars_.size());
    for (std::size_t t = 0; t < n; ++t) {
        std::vector<float> values;
        for (int index : teams_[t].members) {
            const behaviors::Health* health = HealthOf(slobs_[static_cast<std::size_t>(index)].entity);
            values.push_back(health ? health->value : 0.0f);
        }
        life_bars_[t]->values = values;
    }
}

void Match::reset_life_bar_ghosts() {
    for (BarWidget* bar : life_bars_) bar->reset_ghost();
}

void Match::clear_life_bar_ghosts() {
    for (BarWidget* bar : life_bars_) bar->ghost_values.clear();
}

}  // namespace vo
