#pragma once

namespace vo {

// A scaled clock that can hang below another timeline. Without a parent it
// reads the engine's clock (Engine::time); with one, the parent's time. Its
// own time advances by what its source advanced since the last reading,
// times its factor; the mark lets the owner measure and consume elapsed
// time.
class Timeline {
public:
    explicit Timeline(Timeline* parent = nullptr, float time_factor = 1.0f);

    // Restarts the timeline (time and mark) at the new source's time. The
    // parent is not owned and must outlive this timeline.
    void set_parent_timeline(Timeline* parent);

    float time();
    // Time since the mark.
    float elapsed_time();
    // Sets the mark to now.
    void reset();
    // The time so far counts at the old factor.
    void set_time_factor(float factor);
    float time_factor() const { return time_factor_; }
    // Moves the mark on by factor x t, without reading the clock.
    void subtract_time(float t);

protected:
    void update_current_time();

private:
    float source_time();

    Timeline* parent_;
    float current_time_;
    float last_source_time_;
    float mark_;
    float time_factor_;
};

}  // namespace vo
