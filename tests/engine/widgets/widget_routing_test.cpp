#include "engine/widgets/widget.h"
#include "widget_probe.h"

#include <gtest/gtest.h>

#include <boost/signals2/connection.hpp>

#include <string>
#include <vector>

namespace {

using vo::Frame;
using vo::KeyEvent;
using vo::MouseEvent;
using vo_test::Log;
using vo_test::Probe;
using vo_test::Recorder;
using Lines = std::vector<std::string>;

MouseEvent Mouse(vo::MouseEvents type, float x, float y, vo::MouseButtons button = vo::MOUSE_BUTTON_LEFT) {
    int const held = type == vo::MOUSE_PRESSED ? button : 0;
    return MouseEvent(type, type == vo::MOUSE_MOVED ? vo::MOUSE_BUTTON_NONE : button, held, x, y);
}

MouseEvent Press(float x, float y) { return Mouse(vo::MOUSE_PRESSED, x, y); }
MouseEvent Release(float x, float y) { return Mouse(vo::MOUSE_RELEASED, x, y); }
MouseEvent Move(float x, float y) { return Mouse(vo::MOUSE_MOVED, x, y); }

// A virtual root over the window; a panel at (100, 100)-(300, 300) holding
// button a at (10, 10)-(60, 40) and button b at (100, 10)-(150, 40) in the
// panel's coordinates, so a covers (110, 110)-(160, 140) and b covers
// (200, 110)-(250, 140) in the window; widget c at (400, 100)-(500, 200).
class Routing : public ::testing::Test {
protected:
    Routing()
        : root("root", nullptr, 0x180E),
          panel(new Recorder("panel", &root)),
          a(new Recorder("a", panel)),
          b(new Recorder("b", panel)),
          c(new Recorder("c", &root)) {
        panel->set_frame(Frame(100, 100, 300, 300));
        a->set_frame(Frame(10, 10, 60, 40));
        b->set_frame(Frame(100, 10, 150, 40));
        c->set_frame(Frame(400, 100, 500, 200));
        Log().clear();
    }
    ~Routing() override { Log().clear(); }

    Lines Take() {
        Lines out;
        out.swap(Log());
        return out;
    }

    Recorder root;
    Recorder* panel;
    Recorder* a;
    Recorder* b;
    Recorder* c;
};

TEST_F(Routing, PressGoesToTheDeepestWidgetWhichTakesFocusAndGrab) {
    c->set_focus();
    Take();
    EXPECT_TRUE(root.process_mouse_event(Press(120, 120)));
    EXPECT_EQ(Take(), (Lines{"c:lost_focus", "a:got_focus", "a:signal:1", "a:hook:1"}));
    EXPECT_EQ(Probe::s_focusWidget, a);
    EXPECT_EQ(Probe::s_mouseWidget, a);
    EXPECT_TRUE(a->has_focus());

    EXPECT_TRUE(root.process_mouse_event(Release(125, 125)));
    EXPECT_EQ(Take(), (Lines{"a:signal:2", "a:hook:2", "a:signal:6", "a:hook:6"}));
    EXPECT_EQ(Probe::s_mouseWidget, nullptr);

    // Empty space of the panel: the panel itself takes the press.
    EXPECT_TRUE(root.process_mouse_event(Press(105, 250)));
    EXPECT_EQ(Take(), (Lines{"a:lost_focus", "panel:got_focus", "panel:signal:1", "panel:hook:1"}));
    root.process_mouse_event(Release(105, 250));
    Take();
    // Empty space of the virtual root: nobody, and the focus stays.
    EXPECT_FALSE(root.process_mouse_event(Press(700, 700)));
    EXPECT_EQ(Take(), Lines{});
    EXPECT_EQ(Probe::s_focusWidget, panel);
}

TEST_F(Routing, ReleaseOutsideGivesNoClickAndEndsTheGrab) {
    root.process_mouse_event(Press(120, 120));
    Take();
    EXPECT_TRUE(root.process_mouse_event(Release(600, 600)));
    EXPECT_EQ(Take(), (Lines{"a:signal:2", "a:hook:2"}));
    EXPECT_EQ(Probe::s_mouseWidget, nullptr);
    EXPECT_FALSE(root.process_mouse_event(Release(120, 120)));
    EXPECT_EQ(Take(), Lines{});
}

TEST_F(Routing, MovesUnderAGrabGoOnlyToTheGrabbingWidget) {
    root.process_mouse_event(Move(120, 120));
    root.process_mouse_event(Press(120, 120));
    Take();
    EXPECT_TRUE(root.process_mouse_event(Move(210, 120)));
    EXPECT_TRUE(root.process_mouse_event(Move(900, 900)));
    EXPECT_EQ(Take(), (Lines{"a:signal:3", "a:hook:3", "a:signal:3", "a:hook:3"}));
    EXPECT_EQ(Probe::s_mouseMoveWidget, a);
}

TEST_F(Routing, HoverEntersAndLeaves) {
    EXPECT_TRUE(root.process_mouse_event(Move(120, 120)));
    EXPECT_EQ(Take(), (Lines{"a:signal:4", "a:hook:4", "a:signal:3", "a:hook:3"}));
    EXPECT_TRUE(root.process_mouse_event(Move(121, 121)));
    EXPECT_EQ(Take(), (Lines{"a:signal:3", "a:hook:3"}));
    EXPECT_TRUE(root.process_mouse_event(Move(210, 120)));
    EXPECT_EQ(Take(), (Lines{"a:signal:5", "a:hook:5", "b:signal:4", "b:hook:4", "b:signal:3", "b:hook:3"}));

    // Onto the empty area of the virtual root: b leaves, nothing is hovered.
    EXPECT_FALSE(root.process_mouse_event(Move(700, 700)));
    EXPECT_EQ(Take(), (Lines{"b:signal:5", "b:hook:5"}));
    EXPECT_EQ(Probe::s_mouseMoveWidget, nullptr);
    EXPECT_FALSE(root.process_mouse_event(Move(701, 701)));
    EXPECT_EQ(Take(), Lines{});
}

TEST_F(Routing, OutsideANonVirtualRootHoverStays) {
    Recorder box("box", nullptr);
    box.set_frame(Frame(0, 0, 50, 50));
    Take();
    EXPECT_TRUE(box.process_mouse_event(Move(10, 10)));
    EXPECT_FALSE(box.process_mouse_event(Move(60, 60)));
    EXPECT_EQ(Take(), (Lines{"box:signal:4", "box:hook:4", "box:signal:3", "box:hook:3"}));
    EXPECT_EQ(Probe::s_mouseMoveWidget, &box);
}

TEST_F(Routing, IgnoreFlagsAndDisabledOrHiddenWidgets) {
    // A widget over a, ignoring the mouse with its subtree.
    auto* cover = new Recorder("cover", panel);
    cover->set_frame(Frame(0, 0, 200, 200));
    new Recorder("inside", cover);
    cover->enable_state(vo::WS_IGNORE_MOUSE);
    Take();
    EXPECT_TRUE(root.process_mouse_event(Press(120, 120)));
    EXPECT_EQ(Take(), (Lines{"a:got_focus", "a:signal:1", "a:hook:1"}));
    root.process_mouse_event(Release(120, 120));

    // Hidden and disabled widgets are skipped like it.
    cover->disable_state(vo::WS_IGNORE_MOUSE | vo::WS_VISIBLE);
    a->disable_state(vo::WS_ENABLED);
    Take();
    EXPECT_TRUE(root.process_mouse_event(Press(120, 120)));
    EXPECT_EQ(Take(), (Lines{"a:lost_focus", "panel:got_focus", "panel:signal:1", "panel:hook:1"}));
    root.process_mouse_event(Release(120, 120));

    // Children ignoring the mouse: the panel takes presses over them itself.
    a->enable_state(vo::WS_ENABLED);
    panel->enable_state(vo::WS_CHILDREN_IGNORE_MOUSE);
    Take();
    EXPECT_TRUE(root.process_mouse_event(Press(120, 120)));
    EXPECT_EQ(Take(), (Lines{"panel:signal:1", "panel:hook:1"}));
    root.process_mouse_event(Release(120, 120));

    // A disabled root takes nothing and offers nothing.
    root.disable_state(vo::WS_ENABLED);
    Take();
    EXPECT_FALSE(root.process_mouse_event(Press(120, 120)));
    EXPECT_FALSE(root.process_mouse_event(Move(120, 120)));
    EXPECT_FALSE(root.process_mouse_event(Release(120, 120)));
    EXPECT_FALSE(root.process_key_event(KeyEvent(vo::KEY_PRESSED, vo::KEY_A, false)));
    EXPECT_EQ(Take(), Lines{});
}

TEST_F(Routing, EveryButtonRoutesAlikeAndASecondPressMovesTheGrab) {
    EXPECT_TRUE(root.process_mouse_event(Mouse(vo::MOUSE_PRESSED, 120, 120, vo::MOUSE_BUTTON_RIGHT)));
    EXPECT_TRUE(root.process_mouse_event(Mouse(vo::MOUSE_PRESSED, 210, 120, vo::MOUSE_BUTTON_MIDDLE)));
    EXPECT_EQ(Probe::s_mouseWidget, b);
    Take();
    EXPECT_TRUE(root.process_mouse_event(Mouse(vo::MOUSE_RELEASED, 120, 120, vo::MOUSE_BUTTON_RIGHT)));
    EXPECT_EQ(Take(), (Lines{"b:signal:2", "b:hook:2"}));
    EXPECT_EQ(Probe::s_mouseWidget, nullptr);
}

TEST_F(Routing, AReleaseEndsTheGrabOfAWidgetThatCannotTakeIt) {
    struct SelfDisabling : Recorder {
        using Recorder::Recorder;
        void mouse_event(MouseEvent const& e) override {
            Recorder::mouse_event(e);
            if (e.type() == vo::MOUSE_PRESSED) disable_state(vo::WS_ENABLED);
        }
    };
    auto* d = new SelfDisabling("d", &root);
    d->set_frame(Frame(600, 0, 700, 50));
    EXPECT_TRUE(root.process_mouse_event(Press(650, 20)));
    EXPECT_EQ(Probe::s_mouseWidget, d);
    Take();
    EXPECT_FALSE(root.process_mouse_event(Release(650, 20)));
    EXPECT_EQ(Probe::s_mouseWidget, nullptr);
    // Later moves reach the tree again instead of the stale grab.
    EXPECT_TRUE(root.process_mouse_event(Move(450, 150)));
    EXPECT_EQ(Take(), (Lines{"c:signal:4", "c:hook:4", "c:signal:3", "c:hook:3"}));
}

TEST_F(Routing, AClickMayCloseItsWidget) {
    // The click is the last thing delivered: a receiver may delete the panel
    // around the button, as a dialog's OK button does.
    static Recorder* s_panel;
    s_panel = panel;
    a->add_mouse_callback([](vo::Widget*, MouseEvent const& e) {
        if (e.type() == vo::MOUSE_CLICKED) s_panel->close(nullptr);
    });
    root.process_mouse_event(Move(120, 120));
    root.process_mouse_event(Press(120, 120));
    Take();
    EXPECT_TRUE(root.process_mouse_event(Release(120, 120)));
    EXPECT_EQ(Take(), (Lines{"a:signal:2", "a:hook:2", "a:signal:6", "panel:deleted", "a:deleted", "b:deleted"}));
    EXPECT_EQ(root.num_children(), 1u);
    EXPECT_EQ(Probe::s_focusWidget, nullptr);
    EXPECT_EQ(Probe::s_mouseMoveWidget, nullptr);
    EXPECT_EQ(Probe::s_mouseWidget, nullptr);
    EXPECT_TRUE(root.process_mouse_event(Move(450, 150)));
}

TEST_F(Routing, KeysGoFromTheFocusUpToTheNearestAcceptingWidget) {
    KeyEvent const press(vo::KEY_PRESSED, vo::KEY_A, false);
    KeyEvent const release(vo::KEY_RELEASED, vo::KEY_A, false);
    EXPECT_FALSE(root.process_key_event(press));  // no focus

    a->set_focus();
    Take();
    EXPECT_FALSE(root.process_key_event(press));  // nobody accepts keys
    panel->enable_state(vo::WS_ACCEPTS_KEYS);
    EXPECT_TRUE(root.process_key_event(press));
    EXPECT_TRUE(root.process_key_event(release));
    EXPECT_EQ(Take(), (Lines{"panel:keyhook:1", "panel:keysignal:1", "panel:keyhook:2", "panel:keysignal:2"}));

    // Only the receiving widget's own bits count on the way up.
    a->disable_state(vo::WS_ENABLED | vo::WS_VISIBLE);
    EXPECT_TRUE(panel->process_key_event(press));
    EXPECT_FALSE(b->process_key_event(press));  // not an ancestor of the focus
    EXPECT_FALSE(c->process_key_event(press));
    a->enable_state(vo::WS_ACCEPTS_KEYS);
    EXPECT_FALSE(a->process_key_event(press));
    a->enable_state(vo::WS_ENABLED | vo::WS_VISIBLE);
    EXPECT_TRUE(a->process_key_event(press));
    EXPECT_EQ(Take(), (Lines{"panel:keyhook:1", "panel:keysignal:1", "a:keyhook:1", "a:keysignal:1"}));

    // Focusing the focused widget again notifies nobody.
    a->set_focus();
    EXPECT_EQ(Take(), Lines{});
    b->set_focus();
    EXPECT_EQ(Take(), (Lines{"a:lost_focus", "b:got_focus"}));
}

TEST_F(Routing, CallbacksConnectInOrderAndDisconnect) {
    static std::vector<int> calls;
    calls.clear();
    boost::signals2::connection first =
        c->add_mouse_callback([](vo::Widget*, MouseEvent const&) { calls.push_back(1); });
    c->add_mouse_callback([](vo::Widget*, MouseEvent const&) { calls.push_back(2); });
    root.process_mouse_event(Move(450, 150));
    first.disconnect();
    root.process_mouse_event(Move(451, 150));
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 1, 2, 2}));
}

}  // namespace
