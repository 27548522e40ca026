// The weapon select widget on the shipped weapons.info in a real window:
// buttons, counts, the info box under the mouse, the pulse, the default
// weapon and unknown names, and tearing the head-up display down.

#include "game/menus/weapon_select_widget.h"

#include "engine/core/config.h"
#include "engine/core/frame.h"
#include "engine/core/tree_readers.h"
#include "engine/core/vector.h"
#include "engine/visuals/font.h"
#include "engine/widgets/button_widget.h"
#include "engine/widgets/text_widget.h"
#include "engine/widgets/widget.h"
#include "game/app/screen.h"
#include "game/menus/grid_widget.h"
#include "game/menus/menu_kit.h"
#include "shipped_data.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <boost/property_tree/ptree.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using vo::ButtonWidget;
using vo::Frame;
using vo::MouseEvent;
using vo::ptree;
using vo::TextWidget;
using vo::WeaponSelectWidget;
using vo::Widget;

// The weapon buttons the widget should build: every child of
// availableWeapons but the default weapon's key.
std::vector<std::string> WeaponNames(ptree const& weapons) {
    std::vector<std::string> names;
    for (auto const& entry : weapons.get_child("availableWeapons")) {
        if (entry.first != "defaultWeapon") names.push_back(entry.first);
    }
    return names;
}

int Occurrences(std::string const& text, std::string const& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

void ExpectFrameNear(Frame const& actual, Frame const& expected) {
    EXPECT_NEAR(actual.left(), expected.left(), 1e-3f);
    EXPECT_NEAR(actual.top(), expected.top(), 1e-3f);
    EXPECT_NEAR(actual.right(), expected.right(), 1e-3f);
    EXPECT_NEAR(actual.bottom(), expected.bottom(), 1e-3f);
}

class WeaponSelect : public testing::Test {
protected:
    void SetUp() override {
        window_.reset(new vo_test::TestWindow(800, 450, "quorvane weapon select"));
        window_->engine().set_clear_color(vo::Color(0.1f, 0.1f, 0.15f, 1.0f));
        vo_test::UseShippedData();
        font_ = vo_test::ShippedMenuFont();
        weapons_ = vo::GetConfig("weapons.info");
        names_ = WeaponNames(weapons_);
        // The head-up display's widget over the whole design space.
        hud_ = new Widget(nullptr, vo::WS_DEFAULT_STATE);
        hud_->enable_state(vo::WS_TRANSPARENT);
        hud_->set_frame(vo::MenuReferenceFrame());
    }
    void TearDown() override {
        hud_->process_mouse_event(MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, 0, 0));
        delete hud_;
        vo_test::ForgetShippedData();
    }

    // The widget under the display, placed at (40, 80) and mapped into the
    // window like the display.
    WeaponSelectWidget* Build(ptree const& weapons) {
        auto* widget = new WeaponSelectWidget(weapons, font_, hud_, vo::WS_DEFAULT_STATE);
        widget->enable_state(vo::WS_TRANSPARENT);
        widget->adjust_to_content(true);
        widget->align_children(true);
        Frame placed = widget->frame();
        placed.move_to(vo::vector2(40.0f, 80.0f), vo::vector2(0.0f, 0.0f));
        widget->set_frame(placed);
        hud_->transform(vo::MenuTransform());
        return widget;
    }

    void MoveTo(float x, float y) { hud_->process_mouse_event(MouseEvent(vo::MOUSE_MOVED, vo::MOUSE_BUTTON_NONE, 0, x, y)); }
    void MoveOnto(Widget const* widget) {
        vo_test::Point const p = vo_test::CentreOf(widget);
        MoveTo(p.x, p.y);
    }

    static std::string Text(Widget* cell) {
        auto* text = dynamic_cast<TextWidget*>(cell);
        return text ? text->text() : "<no text widget>";
    }

    std::unique_ptr<vo_test::TestWindow> window_;
    vo::SmartPtr<vo::Font> font_;
    ptree weapons_;
    std::vector<std::string> names_;
    Widget* hud_ = nullptr;
};

TEST_F(WeaponSelect, OneButtonPerListedWeaponInListOrder) {
    ASSERT_GE(names_.size(), 3u) << "the shipped weapons.info offers too few weapons";
    testing::internal::CaptureStdout();
    WeaponSelectWidget* widget = Build(weapons_);
    std::string const out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Occurrences(out, "FONT HEIGHT: "), 2) << out;
    EXPECT_EQ(Occurrences(out, "WARNING"), 0) << out;

    Frame const size = vo::ReadFrame(vo::GetConfig("ingame_widget_styles.info", "worldRotateButton.default.image.srcFrame"));
    ASSERT_EQ(widget->list()->num_rows(), names_.size());
    EXPECT_EQ(widget->list()->num_columns(), 1u);
    EXPECT_EQ(widget->button("defaultWeapon"), nullptr);
    for (std::size_t i = 0; i < names_.size(); ++i) {
        SCOPED_TRACE(names_[i]);
        ButtonWidget* button = widget->button(names_[i]);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(widget->list()->widget_at(static_cast<unsigned>(i), 0), button);
        EXPECT_TRUE(button->is_checkable());
        EXPECT_TRUE(button->is_exclusive());
        EXPECT_FLOAT_EQ(button->frame().width(), size.width());
        EXPECT_FLOAT_EQ(button->frame().height(), size.height());
    }
    // Stacked downwards in list order.
    for (std::size_t i = 1; i < names_.size(); ++i) {
        EXPECT_GT(widget->button(names_[i])->global_frame().top(), widget->button(names_[i - 1])->global_frame().top());
    }

    std::string const expected_default = weapons_.get<std::string>("availableWeapons.defaultWeapon", names_.back());
    EXPECT_EQ(widget->default_weapon(), expected_default);
    EXPECT_EQ(widget->selected_weapon(), expected_default);
    for (std::string const& name : names_) EXPECT_EQ(widget->button(name)->is_pressed(), name == expected_default) << name;
}

TEST_F(WeaponSelect, CountsEnableDisableOrKeepTheText) {
    WeaponSelectWidget* widget = Build(weapons_);
    ButtonWidget* a = widget->button(names_[0]);
    ButtonWidget* b = widget->button(names_[1]);
    ButtonWidget* c = widget->button(names_[2]);
    widget->set_weapon_counts({{names_[2], 7}});
    ASSERT_EQ(c->text(), "7");

    widget->set_weapon_counts({{names_[0], 3}, {names_[1], 0}, {names_[2], -1}});
    EXPECT_TRUE(a->is_enabled());
    EXPECT_EQ(a->text(), "3");
    EXPECT_FALSE(b->is_enabled());
    EXPECT_EQ(b->text(), "0");
    EXPECT_TRUE(c->is_enabled());
    EXPECT_EQ(c->text(), "7");  // unlimited keeps what it showed

    widget->set_weapon_counts({{names_[1], 12}});
    EXPECT_TRUE(b->is_enabled());
    EXPECT_EQ(b->text(), "12");
}

TEST_F(WeaponSelect, ClickSelectsAndSelectWeaponReturnsToTheDefault) {
    WeaponSelectWidget* widget = Build(weapons_);
    std::string const other = names_[0] == widget->default_weapon() ? names_[1] : names_[0];
    vo_test::Point const p = vo_test::CentreOf(widget->button(other));
    hud_->process_mouse_event(MouseEvent(vo::MOUSE_PRESSED, vo::MOUSE_BUTTON_LEFT, 1, p.x, p.y));
    hud_->process_mouse_event(MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, p.x, p.y));
    EXPECT_EQ(widget->selected_weapon(), other);
    EXPECT_TRUE(widget->button(other)->is_pressed());
    EXPECT_FALSE(widget->button(widget->default_weapon())->is_pressed());

    widget->select_weapon();
    EXPECT_EQ(widget->selected_weapon(), widget->default_weapon());
    EXPECT_TRUE(widget->button(widget->default_weapon())->is_pressed());
    EXPECT_FALSE(widget->button(other)->is_pressed());
}

// The info box texts for weapons of the shipped file and for variants that
// only a changed copy has.
TEST_F(WeaponSelect, InfoBoxDescribesTheWeapon) {
    struct Case {
        const char* what;
        std::string weapon;
        std::vector<std::pair<std::string, std::string>> change;  // keys of the weapon's description set
        std::vector<std::string> remove;                           // keys removed from it
        std::string captions, values;
    };
    std::vector<Case> const cases = {
        {"shipped, charged", "grenade", {}, {}, "grenade\npower:\n", "\ndynamic\n"},
        {"shipped, cluster", "clusterBomb", {}, {}, "clusterBomb\npower:\nclusters:\n", "\ndynamic\ndirectional\n"},
        {"fixed velocity", "timedGrenade", {{"fixedVelocity", "12"}}, {}, "timedGrenade\npower:\n", "\nfixed\n"},
        {"fixed velocity 0", "grenade", {{"fixedVelocity", "0"}}, {}, "grenade\npower:\n", "\nfixed\n"},
        {"negative fixed velocity", "grenade", {{"fixedVelocity", "-2"}}, {}, "grenade\npower:\n", "\ndynamic\n"},
        {"clusters only", "clusterBomb", {{"clustersOnly", "true"}, {"cluster.num", "4"}}, {},
         "clusterBomb\npower:\n", "\ndynamic\n"},
        {"undirected clusters", "clusterBomb", {{"cluster.directionalRelative", "0"}}, {},
         "clusterBomb\npower:\nclusters:\n", "\ndynamic\nnon-directional\n"},
        {"no cluster count", "clusterBomb", {}, {"cluster.num"}, "clusterBomb\npower:\n", "\ndynamic\n"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        ptree weapons = weapons_;
        ptree& desc = weapons.get_child(c.weapon);
        for (auto const& kv : c.change) desc.put(kv.first, kv.second);
        for (auto const& key : c.remove) desc.get_child(key.substr(0, key.find('.'))).erase(key.substr(key.find('.') + 1));
        WeaponSelectWidget* widget = Build(weapons);
        ButtonWidget* button = widget->button(c.weapon);
        ASSERT_NE(button, nullptr);
        widget->show_info_box(button);
        EXPECT_EQ(Text(widget->info_box()->widget_at(0, 0)), c.captions);
        EXPECT_EQ(Text(widget->info_box()->widget_at(0, 1)), c.values);
        delete widget;
    }
}

TEST_F(WeaponSelect, InfoBoxFollowsTheMouseAcrossTwoButtons) {
    WeaponSelectWidget* widget = Build(weapons_);
    ButtonWidget* first = widget->button(names_[0]);
    ButtonWidget* second = widget->button(names_[1]);
    vo::GridWidget* box = widget->info_box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parent(), hud_);
    EXPECT_FALSE(box->is_visible());

    MoveOnto(first);
    ASSERT_TRUE(box->is_visible());
    EXPECT_EQ(Text(box->widget_at(0, 0)).substr(0, names_[0].size() + 1), names_[0] + "\n");
    // The box stands right of the button, its bottom edge level with the button's.
    Frame const b = first->global_transformed_frame();
    Frame const i = box->global_transformed_frame();
    EXPECT_NEAR(i.left(), b.right(), 0.01f);
    EXPECT_NEAR(i.bottom(), b.bottom(), 0.01f);
    EXPECT_GT(i.width(), 0.0f);

    MoveOnto(second);  // leaves the first, enters the second
    ASSERT_TRUE(box->is_visible());
    EXPECT_EQ(Text(box->widget_at(0, 0)).substr(0, names_[1].size() + 1), names_[1] + "\n");
    EXPECT_NEAR(box->global_transformed_frame().bottom(), second->global_transformed_frame().bottom(), 0.01f);

    // Onto the empty display: the box goes.
    MoveTo(static_cast<float>(window_->width() - 5), static_cast<float>(window_->height() - 5));
    EXPECT_FALSE(box->is_visible());
}

TEST_F(WeaponSelect, PulseReturnsToTheRestingFrame) {
    WeaponSelectWidget* widget = Build(weapons_);
    ButtonWidget* button = widget->button(names_[1]);
    Frame const rest = button->frame();
    Frame doubled = rest;
    doubled.scale(2.0f, 2.0f, 0.2f, 0.5f);

    widget->update_weapon(names_[1]);
    ExpectFrameNear(button->frame(), doubled);
    for (int step = 0; step < 12; ++step) Widget::update(1.0 / 60.0);
    EXPECT_LT(button->frame().width(), doubled.width());
    EXPECT_GT(button->frame().width(), rest.width());

    // A second pulse while shrinking starts again from twice the rest.
    widget->update_weapon(names_[1]);
    ExpectFrameNear(button->frame(), doubled);
    for (int step = 0; step < 31; ++step) Widget::update(1.0 / 60.0);
    ExpectFrameNear(button->frame(), rest);

    widget->update_weapon("no such weapon");  // ignored
    ExpectFrameNear(button->frame(), rest);
}

TEST_F(WeaponSelect, DefaultWeaponKeyIsNeverAButton) {
    struct Case {
        const char* what;
        const char* default_weapon;  // null: no defaultWeapon key
        std::string expected;
        int warnings;
    };
    std::vector<Case> const cases = {
        {"no key", nullptr, names_.back(), 0},
        {"the first weapon", names_[0].c_str(), names_[0], 0},
        {"a weapon without a button", "bazooka", names_.back(), 1},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        ptree weapons = weapons_;
        ptree& available = weapons.get_child("availableWeapons");
        available.erase("defaultWeapon");
        if (c.default_weapon) available.put("defaultWeapon", c.default_weapon);
        testing::internal::CaptureStdout();
        WeaponSelectWidget* widget = Build(weapons);
        std::string const out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(Occurrences(out, "WARNING"), c.warnings) << out;
        if (c.warnings) {
            EXPECT_NE(out.find("bazooka"), std::string::npos) << out;
        }
        EXPECT_EQ(widget->list()->num_rows(), names_.size());
        EXPECT_EQ(widget->button("defaultWeapon"), nullptr);
        EXPECT_EQ(widget->selected_weapon(), c.expected);
        EXPECT_TRUE(widget->button(c.expected)->is_pressed());
        delete widget;
    }
}

TEST_F(WeaponSelect, CountsOfWeaponsWithoutAButtonAreSkippedWithOneWarning) {
    WeaponSelectWidget* widget = Build(weapons_);
    testing::internal::CaptureStdout();
    widget->set_weapon_counts({{"bazooka", 2}, {names_[0], 4}});
    widget->set_weapon_counts({{"bazooka", 1}, {names_[0], 5}});
    std::string const out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Occurrences(out, "WARNING"), 1) << out;
    EXPECT_NE(out.find("bazooka"), std::string::npos) << out;
    EXPECT_EQ(widget->button(names_[0])->text(), "5");
}

// The match's display goes with the widget and its info box in one delete;
// an info parent may also go first, or be replaced.
TEST_F(WeaponSelect, TornDownInAnyOrder) {
    Build(weapons_);
    MoveOnto(hud_->child(0));
    delete hud_;  // the widget deletes the box, which the display must not meet again
    hud_ = new Widget(nullptr, vo::WS_DEFAULT_STATE);

    WeaponSelectWidget* widget = Build(weapons_);
    auto* other = new Widget(nullptr, vo::WS_DEFAULT_STATE);
    widget->create_info_box(other);
    EXPECT_EQ(hud_->num_children(), 1u);  // the first box is gone
    ASSERT_EQ(other->num_children(), 1u);
    delete other;  // takes the box along
    EXPECT_EQ(widget->info_box(), nullptr);
    widget->show_info_box(widget->button(names_[0]));  // nothing to show
    widget->create_info_box(hud_);
    EXPECT_EQ(hud_->num_children(), 2u);
}

TEST_F(WeaponSelect, Screenshot) {
    WeaponSelectWidget* widget = Build(weapons_);
    std::map<std::string, int> counts;
    for (std::size_t i = 0; i < names_.size(); ++i) counts[names_[i]] = static_cast<int>(i) - 1;
    widget->set_weapon_counts(counts);
    ButtonWidget* hovered = widget->button(names_[names_.size() / 2]);
    MoveOnto(hovered);
    ASSERT_TRUE(widget->info_box()->is_visible());

    window_->engine().clear();
    vo::SetupOrthoView();
    hud_->draw();
    vo_test::SaveArtefact(*window_, "weapon_select_info_box");

    // The box is opaque black with white text.
    Frame const box = widget->info_box()->global_transformed_frame();
    int black = 0, white = 0;
    for (int y = static_cast<int>(box.top()) + 2; y < static_cast<int>(box.bottom()) - 2; ++y) {
        for (int x = static_cast<int>(box.left()) + 2; x < static_cast<int>(box.right()) - 2; ++x) {
            vo_test::Rgba const p = window_->pixel(x, y);
            if (vo_test::ColorNear(p, vo_test::Rgba{0, 0, 0}, 8)) ++black;
            if (vo_test::ColorNear(p, vo_test::Rgba{255, 255, 255}, 40)) ++white;
        }
    }
    int const area = static_cast<int>(box.width() * box.height());
    EXPECT_GT(black, area / 2);
    EXPECT_GT(white, 20);
}

}  // namespace
