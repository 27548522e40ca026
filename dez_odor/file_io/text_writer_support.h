#pragma once

// Pieces the TetGen, OBJ, EXODUS CDL and TikZ writers and the file-name
// dispatch share beyond writer_common.h: attachments that are always
// detached again, and the tetrahedra of an element collection.

#include "dez_odor/file_io/writer_common.h"
#include "dez_odor/grid/attachment.h"
#include "dez_odor/grid/element_collection.h"
#include "dez_odor/grid/grid.h"

#include <cstdint>
#include <fstream>

namespace mg {

// Tetrahedra are the volumes of volume section 0.
constexpr int TETRAHEDRON_SECTION = 0;

// Attaches a given attachment to the elements of one kind (TBase: Vertex,
// Edge, Face or Volume) with its own pass-on flag for the guard's lifetime,
// and detaches it again when the guard goes, also when a writer throws. An
// attachment that was attached already stays attached.
template <class TBase>
class AttachmentGuard {
public:
    AttachmentGuard(Grid& grid, const IAttachment& a)
        : m_grid(grid), m_attachment(a), m_owned(!grid.attachment_pipe<TBase>().has_attachment(a))
    {
        if (m_owned)
            m_grid.attach_to<TBase>(a, a.default_pass_on_behaviour());
    }
    ~AttachmentGuard()
    {
        if (m_owned)
            m_grid.attachment_pipe<TBase>().detach(m_attachment);
    }

    AttachmentGuard(const AttachmentGuard&) = delete;
    AttachmentGuard& operator=(const AttachmentGuard&) = delete;

private:
    Grid& m_grid;
    const IAttachment& m_attachment;
    bool m_owned;
};

// The tetrahedra of one level of an element collection, in section order.
inline SectionRange<Volume> Tetrahedra(const ElementCollection& ec, size_t level = 0)
{
    auto* c = ec.container<Volume>(level);
    if (!c)
        return SectionRange<Volume>{VolumeIterator(), VolumeIterator()};
    return SectionRange<Volume>{c->section_begin(TETRAHEDRON_SECTION), c->section_end(TETRAHEDRON_SECTION)};
}
inline uint32_t NumTetrahedra(const ElementCollection& ec, size_t level = 0)
{
    auto* c = ec.container<Volume>(level);
    return c ? c->num_elements(TETRAHEDRON_SECTION) : 0;
}

// Opens a text file for writing (truncating) with numbers in the classic
// format; false when it cannot be opened.
inline bool OpenTextFile(std::ofstream& out, const char* filename)
{
    out.open(filename, std::ios::out | std::ios::trunc);
    if (!out)
        return false;
    UseClassicNumbers(out);
    return true;
}

}  // namespace mg
