#pragma once

#include <cstdint>
#include <vector>

namespace mg {

// An element list divided into sections, one per concrete element class
// (faces: triangles in section 0, quadrilaterals in section 1). The elements
// of a section are contiguous and keep their insertion order; sections follow
// each other in index order.
//
// A non-empty section ends where the next non-empty section begins (or at the
// list's end). An empty section has begin == end, and both always sit at the
// begin of the next non-empty section (or the list's end): they are kept up to
// date on every insertion and erasure, so no section ever refers to an
// element that has left the list.
template <class TElemPtr, class TList>
class SectionContainer {
public:
    using element = TElemPtr;
    using list_type = TList;
    using iterator = typename TList::iterator;

    SectionContainer() : m_numElements(0) {}
    explicit SectionContainer(const typename TList::EntryAttachment& sharedEntryAttachment)
        : m_list(sharedEntryAttachment), m_numElements(0)
    {
    }

    SectionContainer(const SectionContainer&) = delete;
    SectionContainer& operator=(const SectionContainer&) = delete;

    // Inserts elem as the last element of section s, creating empty sections
    // up to s as needed.
    iterator insert(element elem, int s)
    {
        if (static_cast<size_t>(s) >= m_sections.size())
            m_sections.resize(static_cast<size_t>(s) + 1);

        Section& sec = m_sections[s];
        if (sec.num > 0) {
            iterator it = m_list.insert(m_list.get_iterator(sec.end), elem);
            ++sec.num;
            ++m_numElements;
            return it;
        }

        const element following = begin_of_next_non_empty(s);
        const int prev = previous_non_empty(s);
        iterator it = m_list.insert(m_list.get_iterator(following), elem);
        sec.begin = elem;
        sec.end = following;
        sec.num = 1;
        ++m_numElements;
        if (prev >= 0)
            m_sections[prev].end = elem;
        place_empty_sections(prev + 1, s, elem);
        return it;
    }

    // Removes the element at it, which belongs to section s, from the list.
    void erase(const iterator& it, int s)
    {
        Section& sec = m_sections[s];
        const element e = it.element();
        if (e != sec.begin) {
            m_list.erase(it);
            --sec.num;
            --m_numElements;
            return;
        }

        const int prev = previous_non_empty(s);
        const element following = m_list.erase(it).element();
        --sec.num;
        sec.begin = following;
        if (sec.num == 0)
            sec.end = following;
        if (prev >= 0)
            m_sections[prev].end = following;
        place_empty_sections(prev + 1, s, following);
        --m_numElements;
    }

    // Empties the list (the elements are untouched) and every section.
    void clear()
    {
        m_list.clear();
        m_numElements = 0;
        for (Section& sec : m_sections)
            sec = Section();
    }

    // A negative index: the whole list; an index past the last section: the
    // list's end.
    iterator section_begin(int s) const
    {
        if (s < 0)
            return m_list.begin();
        if (static_cast<size_t>(s) < m_sections.size())
            return m_list.get_iterator(m_sections[s].begin);
        return m_list.end();
    }

    iterator section_end(int s) const
    {
        if (s >= 0 && static_cast<size_t>(s) < m_sections.size())
            return m_list.get_iterator(m_sections[s].end);
        return m_list.end();
    }

    // Elements of section s; 0 past the last section, all for a negative s.
    uint32_t num_elements(int s) const
    {
        if (s < 0)
            return m_numElements;
        if (static_cast<size_t>(s) < m_sections.size())
            return m_sections[s].num;
        return 0;
    }

    uint32_t num_elements() const { return m_numElements; }
    int num_sections() const { return static_cast<int>(m_sections.size()); }

    iterator begin() const { return m_list.begin(); }
    iterator end() const { return m_list.end(); }
    iterator get_iterator(element e) const { return m_list.get_iterator(e); }

    TList& get_container() { return m_list; }
    const TList& get_container() const { return m_list; }

private:
    struct Section {
        element begin = nullptr;
        element end = nullptr;
        uint32_t num = 0;
    };

    element begin_of_next_non_empty(int s) const
    {
        for (size_t j = static_cast<size_t>(s) + 1; j < m_sections.size(); ++j)
            if (m_sections[j].num > 0)
                return m_sections[j].begin;
        return nullptr;
    }

    int previous_non_empty(int s) const
    {
        for (int j = s - 1; j >= 0; --j)
            if (m_sections[j].num > 0)
                return j;
        return -1;
    }

    // Empty sections in [from, to) sit at elem.
    void place_empty_sections(int from, int to, element elem)
    {
        for (int j = from; j < to; ++j)
            m_sections[j].begin = m_sections[j].end = elem;
    }

    TList m_list;
    std::vector<Section> m_sections;
    uint32_t m_numElements;
};

}  // namespace mg
