#include "engine/visuals/timeline.h"

#include "engine/sfml/engine.h"

namespace vo {

Timeline::Timeline(Timeline* parent, float time_factor)
    : parent_(nullptr), current_time_(0.0f), last_source_time_(0.0f), mark_(0.0f), time_factor_(1.0f) {
    set_parent_timeline(parent);
    time_factor_ = time_factor;
}

float Timeline::source_time() {
    if (parent_) {
        parent_->update_current_time();
        return parent_->current_time_;
    }
    return Engine::instance().time();
}

void Timeline::set_parent_timeline(Timeline* parent) {
    parent_ = parent;
    const float now = source_time();
    last_source_time_ = now;
    mark_ = now;
    current_time_ = now;
}

void Timeline::update_current_time() {
    const float now = source_time();
    current_time_ += (now - last_source_time_) * time_factor_;
    last_source_time_ = now;
}

float Timeline::time() {
    update_current_time();
    return current_time_;
}

float Timeline::elapsed_time() {
    update_current_time();
    return current_time_ - mark_;
}

void Timeline::reset() {
    update_current_time();
    mark_ = current_time_;
}

void Timeline::set_time_factor(float factor) {
    update_current_time();
    time_factor_ = factor;
}

void Timeline::subtract_time(float t) { mark_ += time_factor_ * t; }

}  // namespace vo
