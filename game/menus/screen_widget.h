#pragma once

// A widget that shows a whole screen inside its rectangle: its own
// background first, then the embedded screen's drawing. The main menu shows
// the level preview of its match this way.

#include "engine/core/smart_ptr.h"
#include "engine/widgets/widget.h"

namespace vo {

class IScreen;

class ScreenWidget : public Widget {
public:
    ScreenWidget(Widget* parent, int state);
    // Releases the screen, then the widget part.
    ~ScreenWidget() override;

    // Replaces the embedded screen (empty for none), releasing the old one.
    void set_screen(SmartPtr<IScreen> screen);
    SmartPtr<IScreen> const& screen() const { return screen_; }

protected:
    void on_draw() override;

private:
    SmartPtr<IScreen> screen_;
};

}  // namespace vo
