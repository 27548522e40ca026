#pragma once

// The application object: the stack of screens, what runs each step and
// each frame, and the receiver of the window's input events.

#include "engine/core/smart_ptr.h"
#include "engine/sfml/input_events.h"

#include <boost/signals2/trackable.hpp>

#include <cstddef>
#include <vector>

namespace vo {

class IScreen;

class MyApp : public IEventHandler, public boost::signals2::trackable {
public:
    MyApp();
    MyApp(MyApp const&) = delete;
    MyApp& operator=(MyApp const&) = delete;
    // Releases the screens still on the stack.
    ~MyApp() override;

    // The new screen becomes the top; the old top is deactivated first.
    void push_screen(SmartPtr<IScreen> screen);
    // One step: the r-key debug reload, every screen's step, the top screen's
    // update (popping finished screens), the music. False once no screen is
    // left.
    bool update(double dt);
    // One frame: the screens from the highest opaque one upward, each
    // covered screen dimmed once per drawn screen above it.
    void draw();
    // Pops every screen (top first) without updating any.
    void pop_all_screens();

    // Input goes to the top screen only; false when the stack is empty.
    bool process_mouse_event(MouseEvent const& event) override;
    bool process_key_event(KeyEvent const& event) override;
    // Reaches every screen, bottom first.
    void new_resolution(int width, int height) override;

    std::size_t num_screens() const { return screens_.size(); }
    SmartPtr<IScreen> top_screen() const;
    // The lowest stack index that draw() draws.
    unsigned draw_start_index() const { return draw_start_; }
    // The value of "-drawDebugScreen" on the command line, -1 when absent.
    int draw_debug_screen() const { return draw_debug_screen_; }

protected:
    int draw_debug_screen_ = -1;

private:
    void recompute_draw_start();
    void check_debug_reload_key();

    std::vector<SmartPtr<IScreen>> screens_;
    unsigned draw_start_ = 0;
};

// The one application of the process; set by main right after building it.
extern MyApp* g_app;

}  // namespace vo
