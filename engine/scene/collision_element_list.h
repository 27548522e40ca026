#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "engine/scene/collision_element_id.h"

namespace vo {

// Storage shared by the edge and triangle leaves: point indices, PER_ELEMENT
// of them per element, and optionally one id per element. While no id has been
// given the ids array stays empty and every element reads the empty id; once
// ids are kept, every element has one.
//
// Every change first makes room in both arrays, so a failed allocation leaves
// the list as it was.
template <int PER_ELEMENT>
class CollisionElementList {
public:
    size_t count() const { return indices_.size() / PER_ELEMENT; }
    const int* indices() const { return indices_.data(); }
    const int* element(size_t k) const { return indices_.data() + k * PER_ELEMENT; }

    void add(const int* element_indices) {
        if (has_ids_) {
            add(element_indices, CollisionElementID());
            return;
        }
        make_room(1, 0);
        indices_.insert(indices_.end(), element_indices, element_indices + PER_ELEMENT);
    }

    void add(const int* element_indices, CollisionElementID id) {
        size_t k = count();
        make_room(1, k + 1);
        has_ids_ = true;
        if (ids_.size() < k + 1) ids_.resize(k + 1);
        ids_[k] = id;
        indices_.insert(indices_.end(), element_indices, element_indices + PER_ELEMENT);
    }

    void add_many(const int* element_indices, size_t n) {
        if (n == 0) return;
        size_t first = count();
        make_room(n, has_ids_ ? first + n : 0);
        if (has_ids_ && ids_.size() < first + n) ids_.resize(first + n);
        indices_.insert(indices_.end(), element_indices, element_indices + n * PER_ELEMENT);
    }

    void add_many(const int* element_indices, const CollisionElementID* ids, size_t n) {
        size_t first = count();
        make_room(n, first + n);
        has_ids_ = true;
        if (ids_.size() < first + n) ids_.resize(first + n);
        for (size_t i = 0; i < n; ++i) ids_[first + i] = ids[i];
        indices_.insert(indices_.end(), element_indices, element_indices + n * PER_ELEMENT);
    }

    // Sets the id of element k. With lengthen, an index at or beyond the end of
    // the ids array first lengthens it; without, an index at or beyond the
    // element count is ignored.
    void set_id(size_t k, CollisionElementID id, bool lengthen) {
        size_t needed = std::max(count(), lengthen ? k + 1 : 0);
        if (!lengthen && k >= count()) return;
        make_room(0, needed);
        has_ids_ = true;
        if (ids_.size() < needed) ids_.resize(needed);
        ids_[k] = id;
    }

    CollisionElementID id(size_t k) const { return k < ids_.size() ? ids_[k] : CollisionElementID(); }

    // Removes every element and id, keeping the room they took.
    void clear() {
        indices_.clear();
        ids_.clear();
        has_ids_ = false;
    }

    bool has_ids() const { return has_ids_; }
    size_t num_ids() const { return ids_.size(); }

private:
    // Capacity for n more elements and for id_count ids, growing geometrically.
    void make_room(size_t n, size_t id_count) {
        grow_capacity(indices_, indices_.size() + n * PER_ELEMENT);
        grow_capacity(ids_, id_count);
    }
    template <class V>
    static void grow_capacity(V& v, size_t needed) {
        if (needed > v.capacity()) v.reserve(std::max(needed, 2 * v.capacity()));
    }

    std::vector<int> indices_;
    std::vector<CollisionElementID> ids_;
    bool has_ids_ = false;
};

}  // namespace vo
