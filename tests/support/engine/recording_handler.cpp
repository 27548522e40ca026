#include "support/engine/recording_handler.h"

#include <chrono>
#include <ostream>
#include <thread>

namespace vo_test {

std::ostream& operator<<(std::ostream& out, RecordedEvent const& e) {
    switch (e.kind) {
        case RecordedEvent::KEY:
            return out << "key(type " << e.key.type() << ", code " << e.key.key() << ", char "
                       << static_cast<int>(e.key.character()) << ")";
        case RecordedEvent::MOUSE:
            return out << "mouse(type " << e.mouse.type() << ", button " << e.mouse.button() << ", held "
                       << e.mouse.pressed_buttons() << ", " << e.mouse.x() << ", " << e.mouse.y() << ")";
        case RecordedEvent::RESOLUTION:
            return out << "resolution(" << e.width << ", " << e.height << ")";
    }
    return out;
}

bool RecordingEventHandler::process_mouse_event(vo::MouseEvent const& event) {
    RecordedEvent e;
    e.kind = RecordedEvent::MOUSE;
    e.mouse = event;
    events_.push_back(e);
    return true;
}

bool RecordingEventHandler::process_key_event(vo::KeyEvent const& event) {
    RecordedEvent e;
    e.kind = RecordedEvent::KEY;
    e.key = event;
    events_.push_back(e);
    return true;
}

void RecordingEventHandler::new_resolution(int width, int height) {
    RecordedEvent e;
    e.kind = RecordedEvent::RESOLUTION;
    e.width = width;
    e.height = height;
    events_.push_back(e);
}

std::vector<vo::KeyEvent> RecordingEventHandler::key_events() const {
    std::vector<vo::KeyEvent> out;
    for (auto const& e : events_) {
        if (e.kind == RecordedEvent::KEY) out.push_back(e.key);
    }
    return out;
}

std::vector<vo::MouseEvent> RecordingEventHandler::mouse_events() const {
    std::vector<vo::MouseEvent> out;
    for (auto const& e : events_) {
        if (e.kind == RecordedEvent::MOUSE) out.push_back(e.mouse);
    }
    return out;
}

bool PumpUntil(vo::Engine& engine, std::function<bool()> const& done, double timeout_seconds, bool* closed) {
    if (closed) *closed = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
    for (;;) {
        if (!engine.process_events()) {
            if (closed) *closed = true;
            return done();
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

bool WaitUntil(std::function<bool()> const& done, double timeout_seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace vo_test
