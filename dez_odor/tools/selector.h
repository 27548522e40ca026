#pragma once

#include "dez_odor/grid/element_iterator.h"
#include "dez_odor/grid/element_storage.h"
#include "dez_odor/tools/selector_interface.h"

#include <cstddef>
#include <type_traits>

namespace mg {

// The selector of the library: besides the status bytes it keeps the
// selected elements of each kind in a list, in the order of selection and
// sectioned by concrete class like the grid's own lists (faces: triangles,
// then quadrilaterals). The list links live in attachments of the grid, so
// selecting and deselecting allocate nothing.
//
// A selector built on a grid observes it until either goes. When the grid is
// destroyed first, the selector is left unbound, empty and supports nothing.
class Selector : public ISelector {
public:
    template <class TBase>
    using SectionContainer = typename ElementStorage<TBase>::section_container_type;

    // Bound to grid (when not null) for the kinds given (SupportedElements).
    explicit Selector(Grid* grid = nullptr, unsigned int supportedElements = SE_ALL);
    ~Selector() override;

    void add_element_support(unsigned int bits) override;
    void remove_element_support(unsigned int bits) override;

    // Deselects everything, kind by kind.
    void clear() override;
    // Deselects every element of one kind (Vertex, Edge, Face or Volume).
    template <class TElem>
    void clear();

    ElementCollection get_element_collection() override;
    bool contains_vertices() const override { return !m_vertices.get_container().empty(); }
    bool contains_edges() const override { return !m_edges.get_container().empty(); }
    bool contains_faces() const override { return !m_faces.get_container().empty(); }
    bool contains_volumes() const override { return !m_volumes.get_container().empty(); }

    // The selected elements of a kind (the whole list, section after section)
    // or of a concrete class (its section), each in the order of selection.
    template <class TElem>
    ElementIterator<TElem> begin() const
    {
        return ElementIterator<TElem>(
            container<typename TElem::base_object>().section_begin(TElem::CONTAINER_SECTION));
    }
    template <class TElem>
    ElementIterator<TElem> end() const
    {
        return ElementIterator<TElem>(
            container<typename TElem::base_object>().section_end(TElem::CONTAINER_SECTION));
    }
    // The number of selected elements of a kind or a concrete class.
    template <class TElem>
    size_t num() const
    {
        return container<typename TElem::base_object>().num_elements(TElem::CONTAINER_SECTION);
    }

protected:
    void add_to_list(Volume* elem) override { insert_into_list(elem); }
    void add_to_list(Face* elem) override { insert_into_list(elem); }
    void add_to_list(Edge* elem) override { insert_into_list(elem); }
    void add_to_list(Vertex* elem) override { insert_into_list(elem); }
    void erase_from_list(Volume* elem) override { remove_from_list(elem); }
    void erase_from_list(Face* elem) override { remove_from_list(elem); }
    void erase_from_list(Edge* elem) override { remove_from_list(elem); }
    void erase_from_list(Vertex* elem) override { remove_from_list(elem); }

private:
    template <class TBase>
    SectionContainer<TBase>& container();
    template <class TBase>
    const SectionContainer<TBase>& container() const
    {
        return const_cast<Selector*>(this)->container<TBase>();
    }

    template <class TBase>
    void insert_into_list(TBase* elem)
    {
        container<TBase>().insert(elem, elem->container_section());
    }
    template <class TBase>
    void remove_from_list(TBase* elem)
    {
        SectionContainer<TBase>& sc = container<TBase>();
        sc.erase(sc.get_iterator(elem), elem->container_section());
    }

    template <class TBase>
    void bind_list();
    template <class TBase>
    void release_list();

    SectionContainer<Vertex> m_vertices;
    SectionContainer<Edge> m_edges;
    SectionContainer<Face> m_faces;
    SectionContainer<Volume> m_volumes;
};

template <class TBase>
Selector::SectionContainer<TBase>& Selector::container()
{
    static_assert(std::is_same<typename TBase::base_object, TBase>::value,
                  "selection lists are per element kind");
    if constexpr (std::is_same<TBase, Vertex>::value)
        return m_vertices;
    else if constexpr (std::is_same<TBase, Edge>::value)
        return m_edges;
    else if constexpr (std::is_same<TBase, Face>::value)
        return m_faces;
    else
        return m_volumes;
}

template <class TElem>
void Selector::clear()
{
    static_assert(std::is_same<typename TElem::base_object, TElem>::value,
                  "clear<TElem> takes an element kind: Vertex, Edge, Face or Volume");
    if (!kind_is_active<TElem>())
        return;
    SectionContainer<TElem>& sc = container<TElem>();
    MarkAccessor<TElem>& aa = marks<TElem>();
    for (auto it = sc.begin(); it != sc.end(); ++it)
        aa[*it] = 0;
    sc.clear();
}

}  // namespace mg
