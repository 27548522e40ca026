#pragma once

// A bare opaque screen with the controls' help text, shown instead of the
// main menu when the program starts with "-drawDebugScreen 0".

#include "game/app/screen.h"

namespace vo {

class FrameTransform;

class DebugScreen : public IScreen {
public:
    // The text height follows the vertical scale of the menu transform
    // (reference frame to window), so it keeps its size in the design space.
    explicit DebugScreen(FrameTransform const& menu_transform);
    // The same with the game's menu transform (MenuTransform()).
    DebugScreen();
    // Deletes the widget tree it built.
    ~DebugScreen() override;

    bool update(double dt) override;
    void draw() override;
    bool is_opaque() override;

private:
    Widget* root_ = nullptr;
};

}  // namespace vo
