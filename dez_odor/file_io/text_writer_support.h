#pragma once

// Small pieces shared by the text writers of the grid library (TetGen, OBJ,
// EXODUS CDL, TikZ): temporary attachments that are always detached again,
// the tetrahedron section of a volume list, and closing a file with a check
// that everything reached it.

#include "dez_odor/grid/attachment.h"
#include "dez_odor/grid/element_collection.h"
#include "dez_odor/grid/grid.h"

#include <cstdint>
#include <fstream>
#include <locale>

namespace mg {

// Tetrahedra are the volumes of volume section 0.
constexpr int TETRAHEDRON_SECTION = 0;

// Attaches an attachment to the elements of one kind (TBase: Vertex, Edge,
// Face or Volume) with its own pass-on flag for the guard's lifetime, and
// detaches it again when the guard goes, also when a writer throws. An
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
inline VolumeIterator TetrahedraBegin(const ElementCollection& ec, size_t level = 0)
{
    auto* c = ec.container<Volume>(level);
    return c ? c->section_begin(TETRAHEDRON_SECTION) : VolumeIterator();
}
inline VolumeIterator TetrahedraEnd(const ElementCollection& ec, size_t level = 0)
{
    auto* c = ec.container<Volume>(level);
    return c ? c->section_end(TETRAHEDRON_SECTION) : VolumeIterator();
}
inline uint32_t NumTetrahedra(const ElementCollection& ec, size_t level = 0)
{
    auto* c = ec.container<Volume>(level);
    return c ? c->num_elements(TETRAHEDRON_SECTION) : 0;
}

// Opens the file for writing (truncating) with the classic locale, so that
// numbers never take a user's digit grouping or decimal comma.
inline bool OpenForWriting(std::ofstream& out, const char* filename)
{
    out.open(filename, std::ios::out | std::ios::trunc);
    if (!out)
        return false;
    out.imbue(std::locale::classic());
    return true;
}

// Flushes and closes the file; true when every write reached it (a full
// disk or a failing device makes it false).
inline bool CloseCheckedFile(std::ofstream& out)
{
    out.flush();
    const bool written = !out.fail();
    out.close();
    return written && !out.fail();
}

}  // namespace mg
