#pragma once

#include <type_traits>
#include <typeinfo>

namespace vo {

// A named event delivered to the behaviors of entities. The type id is the
// crc32 of the name; receivers compare it with the id of the name they handle
// and then cast with cast<T>().
//
// Derived events may declare `static const char* EVENT_NAME()` returning the
// name they pass to this constructor; a failed cast then names the target by
// it (otherwise by the class name).
class GameEvent {
public:
    explicit GameEvent(const char* name);
    virtual ~GameEvent();

    // The event as T when its dynamic class is T or derived from T; throws
    // Error otherwise.
    template <class T>
    const T* cast() const {
        static_assert(std::is_base_of<GameEvent, T>::value, "GameEvent::cast needs an event class");
        if (const T* event = dynamic_cast<const T*>(this)) return event;
        throw_cast_error(event_name_of<T>(0), typeid(T));
    }

    unsigned int type;  // crc32 of name
    const char* name;   // borrowed; a string literal of the event's class

private:
    template <class T>
    static auto event_name_of(int) -> decltype(static_cast<const char*>(T::EVENT_NAME())) {
        return T::EVENT_NAME();
    }
    template <class T>
    static const char* event_name_of(long) {
        return nullptr;
    }

    // target_name may be null: the class name of target is used then.
    [[noreturn]] void throw_cast_error(const char* target_name, const std::type_info& target) const;
};

}  // namespace vo
