#include "widget_probe.h"

#include <boost/signals2/connection.hpp>

namespace vo_test {

namespace {

std::string NameOf(vo::Widget* w) {
    auto* r = dynamic_cast<Recorder*>(w);
    return r ? r->name : std::string("?");
}

void OnMouse(vo::Widget* w, vo::MouseEvent const& e) {
    Log().push_back(NameOf(w) + ":signal:" + std::to_string(static_cast<int>(e.type())));
}

void OnKey(vo::Widget* w, vo::KeyEvent const& e) {
    Log().push_back(NameOf(w) + ":keysignal:" + std::to_string(static_cast<int>(e.type())));
}

}  // namespace

std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}

Recorder::Recorder(std::string name_, vo::Widget* parent, int state) : Probe(parent, state), name(std::move(name_)) {
    add_mouse_callback(&OnMouse);
    add_key_callback(&OnKey);
}

Recorder::~Recorder() { Log().push_back(name + ":deleted"); }

void Recorder::activate_style(std::string const& style) {
    styles.push_back(style);
    Probe::activate_style(style);
}

void Recorder::mouse_event(vo::MouseEvent const& e) {
    Log().push_back(name + ":hook:" + std::to_string(static_cast<int>(e.type())));
}

void Recorder::key_event(vo::KeyEvent const& e) {
    Log().push_back(name + ":keyhook:" + std::to_string(static_cast<int>(e.type())));
}

void Recorder::got_focus() { Log().push_back(name + ":got_focus"); }

void Recorder::lost_focus() { Log().push_back(name + ":lost_focus"); }

void Recorder::frame_changed() {
    ++frame_changes;
    Probe::frame_changed();
}

}  // namespace vo_test
