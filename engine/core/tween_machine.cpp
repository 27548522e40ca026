#include "engine/core/tween_machine.h"

#include <algorithm>

namespace vo {

TweenMachine::TweenMachine() = default;

TweenMachine::~TweenMachine() {
    for (ITweener* t : running_) delete t;
    for (Scheduled& s : scheduled_) delete s.tweener;
    for (ITweener* t : doomed_) delete t;
}

void TweenMachine::add(ITweener* tweener, double delay) {
    if (!tweener) return;
    if (delay > 0.0) {
        scheduled_.push_back({time_ + delay, tweener});
    } else {
        running_.push_back(tweener);
        // Appended first, so that a callback clearing the machine also
        // removes this tweener instead of losing track of it.
        bool const outer = !updating_;
        updating_ = true;
        tweener->update(0.0);
        if (outer) {
            updating_ = false;
            sweep();
        }
    }
}

void TweenMachine::discard(ITweener*& slot) {
    if (!slot) return;
    if (updating_) {
        doomed_.push_back(slot);
    } else {
        delete slot;
    }
    slot = nullptr;
}

void TweenMachine::sweep() {
    running_.erase(std::remove(running_.begin(), running_.end(), nullptr), running_.end());
    scheduled_.erase(std::remove_if(scheduled_.begin(), scheduled_.end(),
                                    [](Scheduled const& s) { return s.tweener == nullptr; }),
                     scheduled_.end());
    std::vector<ITweener*> doomed;
    doomed.swap(doomed_);
    for (ITweener* t : doomed) delete t;
}

void TweenMachine::update(double dt) {
    bool const outer = !updating_;
    updating_ = true;
    time_ += dt;

    // The count is read again on every pass: tweens started by a callback
    // with no delay run in this update too.
    for (std::size_t i = 0; i < running_.size(); ++i) {
        ITweener* t = running_[i];
        if (!t) continue;
        t->update(dt);
        if (running_[i] == t && t->is_finished()) discard(running_[i]);
    }

    for (std::size_t i = 0; i < scheduled_.size(); ++i) {
        Scheduled& s = scheduled_[i];
        if (!s.tweener || time_ < s.start) continue;
        ITweener* t = s.tweener;
        double const ran = time_ - s.start;
        s.tweener = nullptr;
        running_.push_back(t);
        // Tested for being finished only at the next update.
        t->update(ran);
    }

    if (outer) {
        updating_ = false;
        sweep();
    }
}

void TweenMachine::clear() {
    for (ITweener*& t : running_) discard(t);
    if (!updating_) sweep();
}

void TweenMachine::cancel_tweens(void const* target) {
    for (ITweener*& t : running_) {
        if (t && t->has_target(target)) discard(t);
    }
    for (Scheduled& s : scheduled_) {
        if (s.tweener && s.tweener->has_target(target)) discard(s.tweener);
    }
    if (!updating_) sweep();
}

std::size_t TweenMachine::num_running() const {
    return static_cast<std::size_t>(std::count_if(running_.begin(), running_.end(),
                                                  [](ITweener* t) { return t != nullptr; }));
}

std::size_t TweenMachine::num_scheduled() const {
    return static_cast<std::size_t>(std::count_if(scheduled_.begin(), scheduled_.end(),
                                                  [](Scheduled const& s) { return s.tweener != nullptr; }));
}

}  // namespace vo
