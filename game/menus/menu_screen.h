#pragma once

// The common part of the menus that own their widget tree and close on a
// release of Escape: the options, the instructions and credits, the exit
// screen and the escape menu.

#include "game/app/screen.h"

namespace vo {

class MenuScreen : public IScreen {
public:
    // Deletes the widget tree, also one left half-built by a constructor
    // that failed.
    ~MenuScreen() override;

    // False once the menu has closed.
    bool update(double dt) override;
    // A release of Escape closes the menu (escape_released); any other key
    // goes to the widget tree.
    bool process_key_event(KeyEvent const& event) override;

    // Set when the menu is to be closed; the stack pops it at the next step.
    bool finished = false;

protected:
    MenuScreen() = default;

    // The root of the menu's tree; the menu owns it from here on.
    void set_tree(Widget* root);
    Widget* tree() const { return tree_; }
    // Sizes the tree to its content, maps it from the menu's design space to
    // the window and places the widgets.
    void lay_out_for_window(bool resize);
    // Maps the tree with transform and places the widgets again.
    void transform_and_align(FrameTransform const& transform);

    // What a release of Escape does: close the menu.
    virtual void escape_released();

private:
    Widget* tree_ = nullptr;
};

}  // namespace vo
