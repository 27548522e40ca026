// Random event sequences on a random tree, with widgets deleted, moved,
// hidden and tweened between events and by the event receivers themselves.
// Under the sanitizers this shows that routing never touches a deleted
// widget and that focus, grab and hover only ever name live widgets.

#include "engine/core/error.h"
#include "engine/widgets/widget.h"
#include "widget_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

namespace {

using vo::Frame;
using vo::Widget;

std::set<Widget*>& Live() {
    static std::set<Widget*> live;
    return live;
}

class Tracked : public vo_test::Probe {
public:
    Tracked(Widget* parent, int state, int mood) : Probe(parent, state), mood_(mood) { Live().insert(this); }
    ~Tracked() override { Live().erase(this); }

protected:
    void mouse_event(vo::MouseEvent const& e) override {
        // Some receivers close themselves or their parent on a click, as
        // dialogs do; some hide themselves on a press.
        if (e.type() == vo::MOUSE_CLICKED && mood_ == 1) {
            close(this);
        } else if (e.type() == vo::MOUSE_CLICKED && mood_ == 2 && parent() && parent()->parent()) {
            parent()->close(this);
        } else if (e.type() == vo::MOUSE_PRESSED && mood_ == 3) {
            disable_state(vo::WS_VISIBLE);
        }
    }
    void lost_focus() override {
        if (mood_ == 4) disable_state(vo::WS_ENABLED);
    }

private:
    int mood_;
};

bool LiveOrNull(Widget* w) { return !w || Live().count(w) == 1; }

TEST(WidgetEventSequences, PointersStayValid) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        auto coord = [&] { return static_cast<float>(pick(400)); };

        auto* root = new Tracked(nullptr, 0x180E, 0);
        auto grow = [&] {
            std::vector<Widget*> all(Live().begin(), Live().end());
            Widget* parent = all[pick(static_cast<int>(all.size()))];
            int state = vo::WS_DEFAULT_STATE;
            if (pick(8) == 0) state |= vo::WS_VIRTUAL;
            if (pick(8) == 0) state |= vo::WS_ACCEPTS_KEYS;
            if (pick(10) == 0) state |= vo::WS_CHILDREN_IGNORE_MOUSE;
            auto* w = new Tracked(parent, state, pick(6));
            float const x = coord() * 0.5f;
            float const y = coord() * 0.5f;
            w->set_frame(Frame(x, y, x + 10 + coord() * 0.5f, y + 10 + coord() * 0.5f));
        };
        for (int i = 0; i < 30; ++i) grow();

        for (int step = 0; step < 400 && Live().count(root); ++step) {
            std::vector<Widget*> all(Live().begin(), Live().end());
            Widget* some = all[pick(static_cast<int>(all.size()))];
            switch (pick(12)) {
                case 0:
                case 1:
                    root->process_mouse_event(vo::MouseEvent(vo::MOUSE_PRESSED, vo::MOUSE_BUTTON_LEFT, 1, coord(), coord()));
                    break;
                case 2:
                case 3:
                    root->process_mouse_event(vo::MouseEvent(vo::MOUSE_RELEASED, vo::MOUSE_BUTTON_LEFT, 0, coord(), coord()));
                    break;
                case 4:
                case 5:
                    root->process_mouse_event(vo::MouseEvent(vo::MOUSE_MOVED, vo::MOUSE_BUTTON_NONE, 0, coord(), coord()));
                    break;
                case 6:
                    root->process_key_event(vo::KeyEvent(vo::KEY_PRESSED, vo::KEY_A, false));
                    break;
                case 7:
                    if (some != root) delete some;
                    break;
                case 8:
                    if (some != root && !some->is_virtual()) {
                        try {
                            static_cast<Tracked*>(all[pick(static_cast<int>(all.size()))])->add_child(some);
                        } catch (vo::Error const&) {
                            // into its own subtree: refused
                        }
                    }
                    break;
                case 9:
                    some->set_state(some->state() ^ (pick(2) ? vo::WS_ENABLED : vo::WS_VISIBLE));
                    break;
                case 10:
                    some->tween_to(Frame(coord(), coord(), coord(), coord()), 0.05 * pick(4));
                    Widget::update(0.02);
                    break;
                default:
                    if (pick(2)) some->set_focus();
                    grow();
                    break;
            }
            ASSERT_TRUE(LiveOrNull(vo_test::Probe::s_focusWidget));
            ASSERT_TRUE(LiveOrNull(vo_test::Probe::s_mouseWidget));
            ASSERT_TRUE(LiveOrNull(vo_test::Probe::s_mouseMoveWidget));
        }
        delete root;
        EXPECT_TRUE(Live().empty());
        Widget::update(1.0);
        EXPECT_EQ(Widget::s_tweenMachine.num_running(), 0u);
    }
}

}  // namespace
