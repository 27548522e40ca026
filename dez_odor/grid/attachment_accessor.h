#pragma once

#include "dez_odor/grid/attachment.h"
#include "dez_odor/grid/attachment_pipe.h"

namespace mg {

template <class TBase>
class ElementStorage;

// Per-element access to the values of one attachment: indexing with an
// element reads the container's value at the element's data index (one
// indexed load). An accessor whose container is null (unbound, or the
// attachment not attached) must not be indexed; valid() tells.
template <class TElem, class TValue, class THandler = ElementStorage<typename TElem::base_object>>
class AttachmentAccessor {
public:
    using element = TElem;
    using value_type = TValue;
    using pipe_type = AttachmentPipe<typename TElem::base_object*, THandler>;
    using container_type = AttachmentDataContainer<TValue>;

    AttachmentAccessor() : m_container(nullptr), m_handler(nullptr) {}
    // Container null when a is not attached; the handler is taken either way.
    AttachmentAccessor(pipe_type& pipe, const Attachment<TValue>& a)
        : m_container(pipe.get_data_container(a)), m_handler(pipe.get_element_handler())
    {
    }

    // Points the accessor at a's container in pipe; false (accessor
    // unchanged) when a is not attached there.
    bool bind(pipe_type& pipe, const Attachment<TValue>& a)
    {
        container_type* c = pipe.get_data_container(a);
        if (!c)
            return false;
        m_container = c;
        m_handler = pipe.get_element_handler();
        return true;
    }

    void invalidate()
    {
        m_container = nullptr;
        m_handler = nullptr;
    }

    bool valid() const { return m_container != nullptr; }

    TValue& operator[](const TElem* elem) const { return (*m_container)[elem->data_index()]; }

    container_type* container() const { return m_container; }
    THandler* element_handler() const { return m_handler; }

private:
    container_type* m_container;
    THandler* m_handler;
};

}  // namespace mg
