#include "engine/core/error.h"
#include "engine/widgets/widget.h"
#include "widget_probe.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using vo::Color;
using vo::Frame;
using vo_test::Log;
using vo_test::Probe;
using vo_test::Recorder;

void ExpectColor(Color const& c, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_FLOAT_EQ(c.a, a);
}

void ExpectFrame(Frame const& f, float left, float top, float right, float bottom) {
    EXPECT_FLOAT_EQ(f.left(), left);
    EXPECT_FLOAT_EQ(f.top(), top);
    EXPECT_FLOAT_EQ(f.right(), right);
    EXPECT_FLOAT_EQ(f.bottom(), bottom);
}

std::string ErrorText(std::function<void()> const& f) {
    try {
        f();
    } catch (vo::Error const& e) {
        return e.message();
    }
    return "no error";
}

class WidgetTree : public ::testing::Test {
protected:
    void SetUp() override { Log().clear(); }
    void TearDown() override { vo::Widget::s_colMap.clear(); }
};

TEST_F(WidgetTree, DefaultAndDisabledConstruction) {
    Probe w;
    EXPECT_EQ(w.state(), 0x1806);
    EXPECT_EQ(w.parent(), nullptr);
    EXPECT_EQ(w.num_children(), 0u);
    EXPECT_FLOAT_EQ(w.border_width(), 2.0f);
    ExpectFrame(w.frame(), 0, 0, 0, 0);
    ExpectColor(w.get_color("background"), 1, 1, 1, 1);
    ExpectColor(w.get_color("overlay"), 1, 1, 1, 0);
    ExpectColor(w.get_color("borderLight"), 0.1f, 0.1f, 0.1f, 1);
    ExpectColor(w.get_color("borderDark"), 0, 0, 0, 1);
    ExpectColor(w.get_color("textColor"), 0, 0, 0, 1);

    Probe disabled(nullptr, 0x1802);
    ExpectColor(disabled.get_color("background"), 0.7f, 0.7f, 0.7f, 0.9f);
    ExpectColor(disabled.get_color("overlay"), 0.5f, 0.5f, 0.5f, 0.5f);
    ExpectColor(disabled.get_color("textColor"), 0.2f, 0.2f, 0.2f, 1);
}

TEST_F(WidgetTree, StylesFollowOnlyTheEnabledTransitions) {
    Recorder w("w", nullptr);
    w.disable_state(vo::WS_ENABLED);
    w.disable_state(vo::WS_ENABLED);
    w.enable_state(vo::WS_BORDER | vo::WS_VISIBLE);
    w.enable_state(vo::WS_ENABLED);
    EXPECT_EQ(w.styles, (std::vector<std::string>{"disabled", "default"}));
    ExpectColor(w.get_color("background"), 1, 1, 1, 1);
}

TEST_F(WidgetTree, BorderWidthFollowsTheState) {
    struct Case {
        int state;
        float border;
    };
    Case const cases[] = {{0x1806, 2.0f}, {0x180E, 0.0f}, {0x1C06, 0.0f}, {0x0806, 0.0f}, {0x1000, 2.0f}};
    Probe w;
    for (Case const& c : cases) {
        w.set_state(c.state);
        EXPECT_EQ(w.state(), c.state);
        EXPECT_FLOAT_EQ(w.border_width(), c.border) << std::hex << c.state;
    }
}

TEST_F(WidgetTree, ColourValues) {
    Probe w;
    EXPECT_EQ(ErrorText([&] { w.get_color("shadow"); }), "trying retrieve a unregistered color: shadow");
    EXPECT_EQ(ErrorText([&] { w.set_color("shadow", Color()); }), "trying to set a unregistered color: shadow");
    w.set_color("textColor", Color(0.5f, 0.5f, 0.5f, 1));
    ExpectColor(w.get_color("textColor"), 0.5f, 0.5f, 0.5f, 1);

    // Application colours apply at registration; the style then overwrites
    // the names it holds.
    vo::Widget::s_colMap["borderDark"] = Color(0, 1, 0, 1);
    vo::Widget::s_colMap["shadow"] = Color(0, 0, 1, 1);
    Probe v;
    ExpectColor(v.get_color("borderDark"), 0, 0, 0, 1);
    Color shadow;
    v.register_color_value("shadow", &shadow);
    ExpectColor(shadow, 0, 0, 1, 1);
    v.set_color("shadow", Color(1, 0, 0, 1));
    ExpectColor(shadow, 1, 0, 0, 1);
}

TEST_F(WidgetTree, PropertiesAndStyles) {
    Probe w;
    w.set_frame(Frame(10, 20, 30, 40));
    w.set_property("inner", Frame(0, 0, 100, 50));
    ExpectFrame(w.frame(), 10, 20, 114, 74);
    w.set_property("main", Frame(1, 2, 3, 4));
    ExpectFrame(w.frame(), 1, 2, 3, 4);
    w.set_property("anything", Frame(5, 5, 6, 6));
    w.set_property("anything", 1.0f);
    w.set_property("anything", vo::vector2(1, 2));
    ExpectFrame(w.frame(), 1, 2, 3, 4);

    // Virtual widgets have no frame of their own to set.
    Recorder v("v", nullptr, 0x180E);
    v.set_property("main", Frame(1, 2, 3, 4));
    v.set_frame(Frame(1, 2, 3, 4));
    EXPECT_EQ(v.frame_changes, 0);

    w.set_property("background", Color(0, 0, 1, 1));
    ExpectColor(w.get_color("background"), 0, 0, 1, 1);
    EXPECT_THROW(w.set_property("shadow", Color()), vo::Error);

    // A style applies floats, vectors, colours, frames, then images; a
    // colour the widget lacks throws after the entries before it.
    vo::SmartPtr<vo::WidgetStyleMap> map(new vo::WidgetStyleMap());
    vo::WidgetStyle& style = map->get("default");
    style.colors()["background"] = Color(0, 1, 0, 1);
    style.colors()["shadow"] = Color(0, 0, 0, 1);
    style.frames()["main"] = Frame(0, 0, 8, 8);
    EXPECT_EQ(ErrorText([&] { w.set_style_map(map); }), "trying to set a unregistered color: shadow");
    ExpectColor(w.get_color("background"), 0, 1, 0, 1);
    ExpectFrame(w.frame(), 1, 2, 3, 4);
    EXPECT_EQ(w.style_map().get(), map.get());

    style.colors().erase("shadow");
    w.activate_style("default");
    ExpectFrame(w.frame(), 0, 0, 8, 8);
    w.activate_style("no such style");
}

TEST_F(WidgetTree, DeletingAParentDeletesItsChildren) {
    struct Child : Recorder {
        using Recorder::Recorder;
        ~Child() override {
            // The parent's list is left alone while the parent deletes it.
            Log().push_back(name + ":siblings:" + std::to_string(parent()->num_children()));
        }
    };
    auto* root = new Recorder("root", nullptr);
    new Child("a", root);
    auto* b = new Child("b", root);
    new Child("c", root);
    new Recorder("b1", b);
    root->set_focus();
    b->set_focus();
    delete root;
    // Each class's own destructor runs before the base deletes the children.
    EXPECT_EQ(Log(), (std::vector<std::string>{"root:got_focus", "root:lost_focus", "b:got_focus", "root:deleted",
                                               "a:siblings:3", "a:deleted", "b:siblings:3", "b:deleted",
                                               "b1:deleted", "c:siblings:3", "c:deleted"}));
    EXPECT_EQ(Probe::s_focusWidget, nullptr);
}

TEST_F(WidgetTree, DeletingAChildLeavesItsParent) {
    Probe root;
    auto* a = new Probe(&root);
    auto* b = new Probe(&root);
    auto* c = new Probe(&root);
    EXPECT_EQ(a->parent(), &root);
    b->set_focus();
    delete b;
    ASSERT_EQ(root.num_children(), 2u);
    EXPECT_EQ(root.child(0), a);
    EXPECT_EQ(root.child(1), c);
    EXPECT_EQ(Probe::s_focusWidget, nullptr);
    c->close(a);
    EXPECT_EQ(root.num_children(), 1u);
}

TEST_F(WidgetTree, MovingAWidgetBetweenParents) {
    Probe one;
    Probe two;
    auto* a = new Probe(&one);
    auto* b = new Probe(&one);
    two.add_child(a);
    EXPECT_EQ(a->parent(), &two);
    ASSERT_EQ(one.num_children(), 1u);
    EXPECT_EQ(one.child(0), b);
    ASSERT_EQ(two.num_children(), 1u);

    // Adding a widget to its own parent again does not list it twice.
    two.add_child(a);
    EXPECT_EQ(two.num_children(), 1u);
    // A widget cannot hold its own ancestor.
    auto* deep = new Probe(a);
    EXPECT_THROW(static_cast<Probe*>(deep)->add_child(&two), vo::Error);
    EXPECT_THROW(a->add_child(a), vo::Error);
    EXPECT_EQ(two.parent(), nullptr);

    // A removed widget belongs to whoever holds it.
    two.remove_child(a);
    EXPECT_EQ(a->parent(), nullptr);
    EXPECT_EQ(two.num_children(), 0u);
    two.remove_child(b);
    EXPECT_EQ(one.num_children(), 1u);
    delete a;
}

}  // namespace
