#pragma once

#include <cstdint>

namespace vo {

// The tag a collision-tree edge or triangle may carry; every collision query
// hands it back. The value with all bits set is the empty id. The value is as
// wide as a pointer, so an id may hold the address of the owning object.
struct CollisionElementID {
    using value_type = std::uintptr_t;
    static constexpr value_type EMPTY = ~value_type(0);

    CollisionElementID() : value(EMPTY) {}
    // Sign-extended, so that -1 is the empty id as well.
    CollisionElementID(int v) : value(static_cast<value_type>(static_cast<std::intptr_t>(v))) {}
    explicit CollisionElementID(const void* p) : value(reinterpret_cast<value_type>(p)) {}

    bool is_valid() const { return value != EMPTY; }

    bool operator==(const CollisionElementID& other) const { return value == other.value; }
    bool operator!=(const CollisionElementID& other) const { return value != other.value; }

    value_type value;
};

}  // namespace vo
