#pragma once

#include "dez_odor/grid/attached_element_list.h"
#include "dez_odor/grid/attachment_pipe.h"
#include "dez_odor/grid/element_iterator.h"
#include "dez_odor/grid/section_container.h"

namespace mg {

// The elements of one kind (TBase: Vertex, Edge, Face or Volume) of a grid:
// a sectioned element list and the attachment pipe that holds their data
// (the list's links among it). The pipe's element handler is the storage.
// Elements are owned by the grid, never by the storage.
template <class TBase>
class ElementStorage {
public:
    using element = TBase*;
    using pipe_type = AttachmentPipe<TBase*, ElementStorage<TBase>>;
    using list_type = AttachedElementList<pipe_type>;
    using section_container_type = SectionContainer<TBase*, list_type>;
    using iterator = typename list_type::iterator;

    ElementStorage() : m_sectionContainer(), m_pipe(this)
    {
        m_sectionContainer.get_container().set_pipe(&m_pipe);
    }

    // Detaches the list's entry attachment before the pipe goes.
    ~ElementStorage() { m_sectionContainer.get_container().set_pipe(nullptr); }

    ElementStorage(const ElementStorage&) = delete;
    ElementStorage& operator=(const ElementStorage&) = delete;

    section_container_type& section_container() { return m_sectionContainer; }
    const section_container_type& section_container() const { return m_sectionContainer; }
    pipe_type& pipe() { return m_pipe; }
    const pipe_type& pipe() const { return m_pipe; }

    // Gives elem its data index and appends it to the section of its class.
    iterator insert(element elem)
    {
        m_pipe.register_element(elem);
        return m_sectionContainer.insert(elem, elem->container_section());
    }

    // Takes elem out of its section and frees its data index.
    void erase(element elem)
    {
        m_sectionContainer.erase(m_sectionContainer.get_iterator(elem), elem->container_section());
        m_pipe.unregister_element(elem);
    }

    iterator get_iterator(element elem) const { return m_sectionContainer.get_iterator(elem); }

    // Iteration over one class (its section) or, for the kind itself, over
    // all elements. A section that does not exist gives begin == end.
    template <class TElem>
    ElementIterator<TElem> begin() const
    {
        static_assert(std::is_same<typename TElem::base_object, TBase>::value, "wrong element kind");
        return ElementIterator<TElem>(m_sectionContainer.section_begin(TElem::CONTAINER_SECTION));
    }

    template <class TElem>
    ElementIterator<TElem> end() const
    {
        static_assert(std::is_same<typename TElem::base_object, TBase>::value, "wrong element kind");
        return ElementIterator<TElem>(m_sectionContainer.section_end(TElem::CONTAINER_SECTION));
    }

    template <class TElem>
    uint32_t num() const
    {
        static_assert(std::is_same<typename TElem::base_object, TBase>::value, "wrong element kind");
        return m_sectionContainer.num_elements(TElem::CONTAINER_SECTION);
    }

    uint32_t num_elements() const { return m_sectionContainer.num_elements(); }

private:
    section_container_type m_sectionContainer;
    pipe_type m_pipe;
};

}  // namespace mg
