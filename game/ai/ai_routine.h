#pragma once

// A piece of a computer player's thinking, queued by the player and run
// step by step until it reports that it is done.

namespace vo {

class AIRoutine {
public:
    virtual ~AIRoutine();
    // Does (part of) the work; true once the routine has finished.
    virtual bool run() = 0;
    // Debug drawing; nothing by default.
    virtual void debug_draw();
};

}  // namespace vo
