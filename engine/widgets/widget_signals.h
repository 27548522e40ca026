#pragma once

// The signals of a widget, kept apart from widget.h so that only the code
// that emits or connects them compiles the signal library.

#include "engine/widgets/widget.h"

// g++ 12 warns of a maybe-uninitialized value inside the function wrapper
// that a slot holds; the value is written before it is read.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <boost/signals2/signal.hpp>
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace vo {

struct Widget::Signals {
    boost::signals2::signal<void(Widget*, MouseEvent const&)> mouse;
    boost::signals2::signal<void(Widget*, KeyEvent const&)> key;
    // Cleared by the widget's destructor; a delivery that outlives its widget
    // stops here.
    bool alive = true;
};

}  // namespace vo
