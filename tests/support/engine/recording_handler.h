#pragma once

// An event handler that keeps what the engine delivers, and a pump that
// waits for it.

#include "engine/sfml/engine.h"

#include <functional>
#include <iosfwd>
#include <vector>

namespace vo_test {

struct RecordedEvent {
    enum Kind { KEY, MOUSE, RESOLUTION };
    Kind kind = KEY;
    vo::KeyEvent key;
    vo::MouseEvent mouse;
    int width = 0;
    int height = 0;
};

std::ostream& operator<<(std::ostream& out, RecordedEvent const& e);

class RecordingEventHandler : public vo::IEventHandler {
public:
    bool process_mouse_event(vo::MouseEvent const& event) override;
    bool process_key_event(vo::KeyEvent const& event) override;
    void new_resolution(int width, int height) override;

    std::vector<RecordedEvent> const& events() const { return events_; }
    std::vector<vo::KeyEvent> key_events() const;
    std::vector<vo::MouseEvent> mouse_events() const;
    void clear() { events_.clear(); }

private:
    std::vector<RecordedEvent> events_;
};

// Calls Engine::process_events until `done` answers true (true), the engine
// reports the window closed (`closed` set, if given) or `timeout_seconds`
// pass (false). Real input arrives asynchronously: wait for it this way
// rather than with fixed sleeps.
bool PumpUntil(vo::Engine& engine, std::function<bool()> const& done, double timeout_seconds = 3.0,
               bool* closed = nullptr);

// Polls `done` every few milliseconds until it answers true or the time is
// up; true when it did.
bool WaitUntil(std::function<bool()> const& done, double timeout_seconds);

}  // namespace vo_test
