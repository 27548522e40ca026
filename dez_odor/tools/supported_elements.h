#pragma once

#include "dez_odor/grid/base_elements.h"

#include <type_traits>

namespace mg {

// The element-kind bits with which selectors and subset handlers say which
// kinds they handle. Distinct from the observer bits of Grid::register_observer
// and from GridObject::base_object_kind.
enum SupportedElements : unsigned {
    SE_NONE = 0u,
    SE_VERTEX = 1u,
    SE_EDGE = 2u,
    SE_FACE = 4u,
    SE_VOLUME = 8u,
    SE_ALL = 15u,
};

// Names one element kind for ForEachKindIn.
template <class TKind>
struct KindTag {
    using type = TKind;
};

// Calls f(KindTag<K>{}) for each kind K whose bit is set in bits, in the order
// vertices, edges, faces, volumes.
template <class F>
void ForEachKindIn(unsigned bits, F&& f)
{
    if (bits & SE_VERTEX)
        f(KindTag<Vertex>{});
    if (bits & SE_EDGE)
        f(KindTag<Edge>{});
    if (bits & SE_FACE)
        f(KindTag<Face>{});
    if (bits & SE_VOLUME)
        f(KindTag<Volume>{});
}

// The bit of TElem's kind (TElem a kind or a concrete class).
template <class TElem>
constexpr unsigned SupportedElementBit()
{
    using base = typename TElem::base_object;
    if constexpr (std::is_same<base, Vertex>::value)
        return SE_VERTEX;
    else if constexpr (std::is_same<base, Edge>::value)
        return SE_EDGE;
    else if constexpr (std::is_same<base, Face>::value)
        return SE_FACE;
    else
        return SE_VOLUME;
}

// GridObject::base_object_kind of TElem's kind.
template <class TElem>
constexpr int BaseObjectKindOf()
{
    using base = typename TElem::base_object;
    if constexpr (std::is_same<base, Vertex>::value)
        return BOK_VERTEX;
    else if constexpr (std::is_same<base, Edge>::value)
        return BOK_EDGE;
    else if constexpr (std::is_same<base, Face>::value)
        return BOK_FACE;
    else
        return BOK_VOLUME;
}

}  // namespace mg
