#pragma once

#include "engine/core/crc32.h"

#include <typeinfo>

namespace vo {

namespace detail {
// A tag that is complete for any T, even one only declared. Its run-time
// type name is the mangled name of T wrapped in the tag: the same text in
// every binary of the process, and no type information of T itself is needed.
template <class T>
struct TypeTag {};
}  // namespace detail

// A 32-bit key of the exact class T: crc32 of a per-class run-time type name,
// computed on the first use and cached. Equal in the engine library and in the
// program that links it, so the library can look up the program's classes.
// Only meaningful inside one process; never store it.
template <class T>
unsigned int TypeKey() {
    static const unsigned int key = crc32(typeid(detail::TypeTag<T>).name());
    return key;
}

}  // namespace vo
