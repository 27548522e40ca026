#pragma once

// Scene2d::set_event_listener, kept apart from scene2d.h so that only its
// callers pay for the signal library's connection header.

#include "engine/core/error.h"
#include "engine/scene/scene2d.h"

#include <boost/signals2/connection.hpp>

namespace vo {

template <class T>
boost::signals2::connection Scene2d::set_event_listener(T* object, bool (T::*method)(const GameEvent*)) {
    static bool connected = false;
    if (connected) {
        throw Error(
            "SORRY - due to implementation restrictions Scene2d::set_event_listener should currently only be "
            "called once!");
    }
    connected = true;
    return connect_event_listener([object, method](const GameEvent* event) { return (object->*method)(event); });
}

}  // namespace vo
