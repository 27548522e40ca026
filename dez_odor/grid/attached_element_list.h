#pragma once

#include "dez_odor/grid/attachment.h"
#include "dez_odor/grid/attachment_accessor.h"
#include "dez_odor/grid/element_iterator.h"

#include <type_traits>

namespace mg {

// A doubly linked list of elements of one kind whose links are not fields of
// the elements but values of an entry attachment ("AttachedElementList_Entry")
// in the pipe of that kind. Every element of the kind has an entry; an element
// not in the list has both links null. The list never owns or deletes
// elements.
//
// A list makes its own entry attachment unless it is given one to share
// (subset handlers share one among all lists of a kind); a list never
// detaches a shared attachment.
template <class TPipe>
class AttachedElementList {
public:
    using pipe_type = TPipe;
    using element = typename TPipe::element;
    using base_object = std::remove_pointer_t<element>;
    using Entry = ElementListEntry<element>;
    using EntryAttachment = Attachment<Entry>;
    using iterator = ElementIterator<base_object>;
    using entry_accessor = typename iterator::entry_accessor;

    static_assert(std::is_same<typename entry_accessor::pipe_type, TPipe>::value,
                  "element lists live in the pipe of their element storage");

    explicit AttachedElementList(TPipe* pipe = nullptr)
        : m_pipe(nullptr),
          m_entryAttachment("AttachedElementList_Entry", false),
          m_front(nullptr),
          m_back(nullptr),
          m_sharedAttachment(false)
    {
        if (pipe)
            set_pipe(pipe);
    }

    AttachedElementList(const EntryAttachment& sharedEntryAttachment, TPipe* pipe = nullptr)
        : m_pipe(nullptr),
          m_entryAttachment(sharedEntryAttachment),
          m_front(nullptr),
          m_back(nullptr),
          m_sharedAttachment(true)
    {
        if (pipe)
            set_pipe(pipe);
    }

    // The destructor leaves the pipe alone: whoever binds a list unbinds it
    // (set_pipe(nullptr)) while the pipe still lives.
    ~AttachedElementList() = default;

    AttachedElementList(const AttachedElementList&) = delete;
    AttachedElementList& operator=(const AttachedElementList&) = delete;

    // Rebinds the list; a newly bound list starts empty. The entry attachment
    // of an old pipe is detached unless it is shared.
    void set_pipe(TPipe* pipe)
    {
        if (m_pipe && !m_sharedAttachment)
            m_pipe->detach(m_entryAttachment);
        m_pipe = pipe;
        m_front = m_back = nullptr;
        if (!pipe) {
            m_aaEntry.invalidate();
            return;
        }
        if (!pipe->has_attachment(m_entryAttachment))
            pipe->attach(m_entryAttachment, false);
        m_aaEntry.bind(*pipe, m_entryAttachment);
    }

    TPipe* get_pipe() const { return m_pipe; }
    const EntryAttachment& entry_attachment() const { return m_entryAttachment; }
    bool shares_entry_attachment() const { return m_sharedAttachment; }

    // Inserts elem before pos; at the back when pos is the end or the list is
    // empty.
    iterator insert(const iterator& pos, element elem)
    {
        Entry& ne = m_aaEntry[elem];
        element p = pos.element();
        if (m_front && p) {
            Entry& pe = m_aaEntry[p];
            ne.prev = pe.prev;
            if (pe.prev)
                m_aaEntry[pe.prev].next = elem;
            else
                m_front = elem;
            ne.next = p;
            pe.prev = elem;
        } else {
            ne.prev = m_back;
            ne.next = nullptr;
            if (m_back)
                m_aaEntry[m_back].next = elem;
            else
                m_front = elem;
            m_back = elem;
        }
        return iterator(m_aaEntry, elem);
    }

    // Unlinks the element and clears its links; returns the following one.
    iterator erase(const iterator& pos)
    {
        element e = pos.element();
        Entry& ee = m_aaEntry[e];
        if (ee.prev)
            m_aaEntry[ee.prev].next = ee.next;
        else
            m_front = ee.next;
        if (ee.next)
            m_aaEntry[ee.next].prev = ee.prev;
        else
            m_back = ee.prev;
        element next = ee.next;
        ee.prev = ee.next = nullptr;
        return iterator(m_aaEntry, next);
    }

    // Clears the links of every element in the list; the list is empty.
    void clear()
    {
        element e = m_front;
        while (e) {
            Entry& en = m_aaEntry[e];
            e = en.next;
            en.prev = en.next = nullptr;
        }
        m_front = m_back = nullptr;
    }

    bool empty() const { return m_front == nullptr; }
    element front() const { return m_front; }
    element back() const { return m_back; }
    bool is_in_list(element e) const
    {
        const Entry& en = m_aaEntry[e];
        return en.prev || en.next || m_front == e;
    }

    iterator begin() const { return iterator(m_aaEntry, m_front); }
    iterator end() const { return iterator(m_aaEntry, nullptr); }
    iterator get_iterator(element e) const { return iterator(m_aaEntry, e); }
    const entry_accessor& get_entry_accessor() const { return m_aaEntry; }

private:
    TPipe* m_pipe;
    EntryAttachment m_entryAttachment;
    entry_accessor m_aaEntry;
    element m_front;
    element m_back;
    bool m_sharedAttachment;
};

}  // namespace mg
