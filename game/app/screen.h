#pragma once

// The interface of everything the program shows (menus, overlays, the match)
// and the two helpers every screen uses.

#include "engine/core/smart_ptr.h"

#include <boost/signals2/trackable.hpp>

namespace vo {

class Widget;
class MouseEvent;
class KeyEvent;
class FrameTransform;

class IScreen : public boost::signals2::trackable {
public:
    IScreen() = default;
    IScreen(IScreen const&) = delete;
    IScreen& operator=(IScreen const&) = delete;
    // The root widget is never deleted here: the screen that built the tree
    // decides when it goes.
    virtual ~IScreen();

    // False when the screen has finished and is to be popped.
    virtual bool update(double dt) = 0;
    // Draws the root widget when there is one.
    virtual void draw();
    // True when the screen covers the whole window.
    virtual bool is_opaque() = 0;
    virtual bool process_mouse_event(MouseEvent const& event);
    virtual bool process_key_event(KeyEvent const& event);
    virtual void new_resolution(int width, int height);
    // The screen became the top; `other` was the top before (null for the first).
    virtual void activate(IScreen* other);
    // The screen stopped being the top (covered or popped).
    virtual void deactivate();
    // Called on every screen of the stack, bottom first, once per step.
    virtual void step(double dt);
    virtual void transform(FrameTransform const& transform);

    Widget* root_widget() const { return root_widget_; }

protected:
    void set_root_widget(Widget* root) { root_widget_ = root; }

private:
    Widget* root_widget_ = nullptr;
};

// Pushes a screen on the application's stack.
void PushScreen(SmartPtr<IScreen> screen);

// 2D view in window pixels: origin top left, y downward; texturing and
// alpha blending on.
void SetupOrthoView();

}  // namespace vo
