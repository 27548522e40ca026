#include "game/menus/screen_widget.h"

#include "game/app/screen.h"

namespace vo {

ScreenWidget::ScreenWidget(Widget* parent, int state) : Widget(parent, state) {}

ScreenWidget::~ScreenWidget() { screen_.reset(); }

void ScreenWidget::set_screen(SmartPtr<IScreen> screen) { screen_ = std::move(screen); }

void ScreenWidget::on_draw() {
    Widget::on_draw();
    if (screen_) screen_->draw();
}

}  // namespace vo
