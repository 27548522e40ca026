#pragma once

#include "dez_odor/grid/attachment_accessor.h"

#include <cstddef>
#include <iterator>
#include <type_traits>

namespace mg {

// The links of one element in an element list, stored as attachment values:
// previous and next element, null at the ends (and for elements not in the
// list).
template <class TElemPtr>
struct ElementListEntry {
    TElemPtr prev = nullptr;
    TElemPtr next = nullptr;
};

template <class TBase>
class ElementStorage;

// Walks an element list of TElem's kind and yields TElem*. It holds the
// list's entry accessor and the current element; the end iterator has a null
// element. Two iterators are equal when their elements are.
template <class TElem>
class ElementIterator {
public:
    using base_object = typename TElem::base_object;
    using entry_type = ElementListEntry<base_object*>;
    using entry_accessor = AttachmentAccessor<base_object, entry_type, ElementStorage<base_object>>;

    using iterator_category = std::forward_iterator_tag;
    using value_type = TElem*;
    using difference_type = std::ptrdiff_t;
    using pointer = TElem* const*;
    using reference = TElem*;

    ElementIterator() : m_elem(nullptr) {}
    ElementIterator(const entry_accessor& aaEntry, base_object* elem)
        : m_aaEntry(aaEntry), m_elem(elem)
    {
    }
    // Views an iterator over another class of the same kind as one over
    // TElem (for example a face-list position as a triangle position).
    template <class TOther,
              class = std::enable_if_t<std::is_same<typename TOther::base_object, base_object>::value>>
    explicit ElementIterator(const ElementIterator<TOther>& other)
        : m_aaEntry(other.get_entry_accessor()), m_elem(other.element())
    {
    }

    TElem* operator*() const { return static_cast<TElem*>(m_elem); }

    ElementIterator& operator++()
    {
        m_elem = m_aaEntry[m_elem].next;
        return *this;
    }
    ElementIterator operator++(int)
    {
        ElementIterator old(*this);
        ++(*this);
        return old;
    }

    base_object* element() const { return m_elem; }
    const entry_accessor& get_entry_accessor() const { return m_aaEntry; }

private:
    entry_accessor m_aaEntry;
    base_object* m_elem;
};

template <class A, class B>
inline std::enable_if_t<std::is_same<typename A::base_object, typename B::base_object>::value, bool>
operator==(const ElementIterator<A>& a, const ElementIterator<B>& b)
{
    return a.element() == b.element();
}

template <class A, class B>
inline std::enable_if_t<std::is_same<typename A::base_object, typename B::base_object>::value, bool>
operator!=(const ElementIterator<A>& a, const ElementIterator<B>& b)
{
    return a.element() != b.element();
}

class Vertex;
class Edge;
class Face;
class Volume;
class RegularVertex;
class RegularEdge;
class Triangle;
class Quadrilateral;

using VertexIterator = ElementIterator<Vertex>;
using EdgeIterator = ElementIterator<Edge>;
using FaceIterator = ElementIterator<Face>;
using VolumeIterator = ElementIterator<Volume>;
using RegularVertexIterator = ElementIterator<RegularVertex>;
using RegularEdgeIterator = ElementIterator<RegularEdge>;
using TriangleIterator = ElementIterator<Triangle>;
using QuadrilateralIterator = ElementIterator<Quadrilateral>;

}  // namespace mg
