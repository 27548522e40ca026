#pragma once

#include <vector>

#include "engine/core/tweener.h"

namespace vo {

// Owns tweeners, starts them at once or after a delay on its own clock,
// advances them with the caller's time step and deletes the finished ones.
//
// A tween's callback may call add, clear or cancel_tweens on the machine
// that is updating it: tweeners removed during an update are deleted only
// after the update has finished with them.
class TweenMachine {
public:
    TweenMachine();
    ~TweenMachine();
    TweenMachine(TweenMachine const&) = delete;
    TweenMachine& operator=(TweenMachine const&) = delete;

    // Takes ownership. With delay <= 0 the tweener is updated by 0 at once
    // (its target receives the start value) and runs from then on; otherwise
    // it starts `delay` seconds later on the machine's clock.
    void add(ITweener* tweener, double delay = 0.0);

    void update(double dt);

    // Deletes every running tweener; scheduled ones stay and start in time.
    void clear();

    // Deletes the running and the scheduled tweeners that write into target.
    void cancel_tweens(void const* target);

    double time() const { return time_; }
    std::size_t num_running() const;
    std::size_t num_scheduled() const;

private:
    struct Scheduled {
        double start;
        ITweener* tweener;
    };

    void discard(ITweener*& slot);
    void sweep();

    double time_ = 0.0;
    std::vector<ITweener*> running_;
    std::vector<Scheduled> scheduled_;
    // While an update runs, removed tweeners wait here and their slots hold
    // null, so that the loops never touch a deleted tweener.
    bool updating_ = false;
    std::vector<ITweener*> doomed_;
};

}  // namespace vo
