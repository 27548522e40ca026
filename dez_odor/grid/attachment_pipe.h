#pragma once

#include "common/util/hash.h"
#include "dez_odor/grid/attachment.h"

#include <algorithm>
#include <cstdint>
#include <list>
#include <vector>

namespace mg {

// One attachment attached to a pipe: the pipe's own clone of the attachment,
// the container it created for it, and the pass-on flag given when attaching.
struct AttachmentEntry {
    IAttachment* attachment;
    IAttachmentDataContainer* container;
    bool passOn;
};

// The attachments of one element kind. It owns one data container per
// attached attachment and hands out the data indices of the elements:
// indices freed by unregistered elements are reused last-in-first-out (their
// values reset first), new ones are appended, and all containers then grow to
// max(2 x size, needed). Containers never shrink.
//
// TElem is the element pointer type (Vertex*, ...), THandler the element
// storage that owns the pipe; accessors take the handler from here.
template <class TElem, class THandler>
class AttachmentPipe {
public:
    using element = TElem;
    using element_handler = THandler;
    using AttachmentEntryList = std::list<AttachmentEntry>;
    using ConstAttachmentEntryIterator = typename AttachmentEntryList::const_iterator;

    explicit AttachmentPipe(THandler* handler = nullptr) : m_lookup(13), m_handler(handler) {}
    ~AttachmentPipe() { clear_attachments(); }

    AttachmentPipe(const AttachmentPipe&) = delete;
    AttachmentPipe& operator=(const AttachmentPipe&) = delete;

    THandler* get_element_handler() const { return m_handler; }

    // Attaches a to this element kind; no effect when an attachment with a's
    // id is already attached. Every element present gets a value at once.
    void attach(const IAttachment& a, bool passOn)
    {
        if (m_lookup.has_entry(a.id()))
            return;
        IAttachment* clone = a.clone();
        add_entry(clone, clone->create_container(), passOn);
    }

    // The same, with a container whose new and reset values are defaultValue.
    template <class T>
    void attach(const Attachment<T>& a, const typename Attachment<T>::value_type& defaultValue,
                bool passOn)
    {
        if (m_lookup.has_entry(a.id()))
            return;
        add_entry(a.clone(), new AttachmentDataContainer<T>(defaultValue), passOn);
    }

    // Removes the attachment and destroys its values; no effect when it is not
    // attached.
    void detach(const IAttachment& a)
    {
        typename AttachmentEntryList::iterator it;
        if (!m_lookup.get_entry(it, a.id()))
            return;
        delete it->attachment;
        delete it->container;
        m_entries.erase(it);
        m_lookup.erase(a.id());
    }

    bool has_attachment(const IAttachment& a) const { return m_lookup.has_entry(a.id()); }

    IAttachmentDataContainer* get_data_container(const IAttachment& a) const
    {
        typename AttachmentEntryList::iterator it;
        if (!m_lookup.get_entry(it, a.id()))
            return nullptr;
        return it->container;
    }

    template <class T>
    AttachmentDataContainer<T>* get_data_container(const Attachment<T>& a) const
    {
        return static_cast<AttachmentDataContainer<T>*>(
            get_data_container(static_cast<const IAttachment&>(a)));
    }

    // Gives the element its data index. Called by the element storage when an
    // element enters a grid.
    void register_element(TElem elem)
    {
        uint32_t index;
        if (!m_freeIndices.empty()) {
            index = m_freeIndices.back();
            m_freeIndices.pop_back();
            for (AttachmentEntry& e : m_entries)
                e.container->reset_entry(index);
        } else {
            index = m_numDataEntries++;
            if (m_containerSize < m_numDataEntries) {
                m_containerSize = std::max<uint32_t>(2 * m_containerSize, m_numDataEntries);
                for (AttachmentEntry& e : m_entries)
                    e.container->resize(m_containerSize);
            }
        }
        elem->m_dataIndex = index;
        ++m_numElements;
    }

    // Frees the element's data index; its values stay until the index is
    // handed out again.
    void unregister_element(TElem elem)
    {
        m_freeIndices.push_back(elem->m_dataIndex);
        --m_numElements;
    }

    uint32_t num_elements() const { return m_numElements; }
    // Data indices handed out so far (the high-water mark).
    uint32_t num_data_entries() const { return m_numDataEntries; }
    // Values every container holds.
    uint32_t container_size() const { return m_containerSize; }

    size_t num_attachments() const { return m_entries.size(); }
    ConstAttachmentEntryIterator attachments_begin() const { return m_entries.begin(); }
    ConstAttachmentEntryIterator attachments_end() const { return m_entries.end(); }

private:
    void add_entry(IAttachment* clone, IAttachmentDataContainer* container, bool passOn)
    {
        container->resize(m_containerSize);
        m_entries.push_back(AttachmentEntry{clone, container, passOn});
        m_lookup.insert(clone->id(), std::prev(m_entries.end()));
    }

    void clear_attachments()
    {
        for (AttachmentEntry& e : m_entries) {
            delete e.attachment;
            delete e.container;
        }
        m_entries.clear();
    }

    AttachmentEntryList m_entries;
    Hash<uint32_t, typename AttachmentEntryList::iterator> m_lookup;
    std::vector<uint32_t> m_freeIndices;
    uint32_t m_numElements = 0;
    uint32_t m_numDataEntries = 0;
    uint32_t m_containerSize = 0;
    THandler* m_handler;
};

// For every attachment of src attached with pass-on: attaches it to dest
// (pass-on) and copies its values, dest row i taking src row indexMap[i].
// Used when a whole grid is copied.
template <class TElem, class THandler>
void CopyAttachmentValues(const AttachmentPipe<TElem, THandler>& src,
                          AttachmentPipe<TElem, THandler>& dest,
                          const std::vector<uint32_t>& indexMap)
{
    for (auto it = src.attachments_begin(); it != src.attachments_end(); ++it) {
        if (!it->passOn)
            continue;
        dest.attach(*it->attachment, true);
        it->container->copy_to_container(dest.get_data_container(*it->attachment), indexMap.data(),
                                         indexMap.size());
    }
}

}  // namespace mg
