#pragma once

// Template members of Grid; included at the end of grid.h.

#include <type_traits>

namespace mg {

template <class TBase>
ElementStorage<TBase>& Grid::storage()
{
    static_assert(std::is_same<typename TBase::base_object, TBase>::value,
                  "storages are per element kind");
    if constexpr (std::is_same<TBase, Vertex>::value)
        return m_vertices;
    else if constexpr (std::is_same<TBase, Edge>::value)
        return m_edges;
    else if constexpr (std::is_same<TBase, Face>::value)
        return m_faces;
    else
        return m_volumes;
}

template <class TBase>
const ElementStorage<TBase>& Grid::storage() const
{
    return const_cast<Grid*>(this)->storage<TBase>();
}

template <class TElem>
void Grid::register_element(TElem* elem, GridObject* parent)
{
    using base = typename TElem::base_object;
    if constexpr (std::is_same<base, Vertex>::value)
        register_vertex(elem, parent);
    else if constexpr (std::is_same<base, Edge>::value)
        register_edge(elem, parent);
    else if constexpr (std::is_same<base, Face>::value)
        register_face(elem, parent);
    else
        register_volume(elem, parent);
}

template <class TElem>
Grid::iterator<TElem> Grid::create(GridObject* parent)
{
    TElem* elem = new TElem;
    register_element(elem, parent);
    return iterator<TElem>(storage<typename TElem::base_object>().get_iterator(elem));
}

template <class TElem, class TDescriptor, class>
Grid::iterator<TElem> Grid::create(const TDescriptor& desc, GridObject* parent)
{
    TElem* elem = new TElem(desc);
    register_element(elem, parent);
    return iterator<TElem>(storage<typename TElem::base_object>().get_iterator(elem));
}

template <class TElem>
size_t Grid::num() const
{
    return storage<typename TElem::base_object>().template num<TElem>();
}

template <class TElem>
Grid::iterator<TElem> Grid::begin() const
{
    return storage<typename TElem::base_object>().template begin<TElem>();
}

template <class TElem>
Grid::iterator<TElem> Grid::end() const
{
    return storage<typename TElem::base_object>().template end<TElem>();
}

}  // namespace mg
