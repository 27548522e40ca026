#pragma once

// Small helpers the grid file writers share.

#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/subset_handler_interface.h"

#include <fstream>
#include <ios>
#include <locale>

namespace mg {

// The elements of one section of TBase's element list: begin() and end() of
// a range-for. A section the list does not have gives an empty range; a
// negative index gives the whole list.
template <class TBase>
struct SectionRange {
    ElementIterator<TBase> first;
    ElementIterator<TBase> last;

    ElementIterator<TBase> begin() const { return first; }
    ElementIterator<TBase> end() const { return last; }
};

template <class TBase>
SectionRange<TBase> GridSection(Grid& grid, int section)
{
    const auto& sc = grid.element_storage<TBase>().section_container();
    return SectionRange<TBase>{sc.section_begin(section), sc.section_end(section)};
}

// An int attachment ("undefined", pass-on off) on one element kind of a
// grid for as long as the object lives: the writers' element numbers.
template <class TBase>
class ScopedIndexAttachment {
public:
    explicit ScopedIndexAttachment(Grid& grid) : m_grid(grid)
    {
        grid.attach_to<TBase>(m_attachment, m_attachment.default_pass_on_behaviour());
        m_accessor = AttachmentAccessor<TBase, int>(grid.attachment_pipe<TBase>(), m_attachment);
    }
    ~ScopedIndexAttachment() { m_grid.attachment_pipe<TBase>().detach(m_attachment); }

    ScopedIndexAttachment(const ScopedIndexAttachment&) = delete;
    ScopedIndexAttachment& operator=(const ScopedIndexAttachment&) = delete;

    int& operator[](const TBase* elem) const { return m_accessor[elem]; }

private:
    Grid& m_grid;
    Attachment<int> m_attachment;
    AttachmentAccessor<TBase, int> m_accessor;
};

// The element's subset in sh; -1 when there is no handler or the handler
// belongs to another grid (its indices say nothing about this grid's
// elements) or does not support the element's kind.
template <class TBase>
int SubsetIndexIn(const ISubsetHandler* sh, const Grid& grid, TBase* elem)
{
    if (!sh || sh->grid() != &grid)
        return -1;
    return sh->subset_index(elem);
}

// A text stream for a grid file: numbers in the classic "C" format whatever
// the program's locale is.
inline void UseClassicNumbers(std::ios_base& stream)
{
    stream.imbue(std::locale::classic());
}

// Flushes and closes a written file; true when every write and the close
// succeeded (a full disk turns up here at the latest).
inline bool FinishFile(std::ofstream& out)
{
    out.flush();
    out.close();
    return !out.fail();
}

}  // namespace mg
