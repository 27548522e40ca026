#include "dez_odor/file_io/lgb_writer.h"

#include "dez_odor/file_io/serialization.h"
#include "dez_odor/file_io/writer_common.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/constrained_element.h"
#include "dez_odor/tools/subset_handler_interface.h"

#include <fstream>

namespace mg {

namespace {

const uint32_t kPositionMagic = 8304548;   // 0x007EB7A4
const uint32_t kHandlerMagic = 654664;     // 0x0009FD48
const uint32_t kEndMarker = 3478384;       // 0x00351370
const int32_t kElementsEndTag = -2;

// The element records after the vertices: tag, section, corners per entry.
struct ElementRecord {
    uint32_t tag;
    int kind;  // BaseObjectKind
    int section;
    unsigned int numCorners;
};

const ElementRecord kElementRecords[] = {
    {21, BOK_EDGE, 0, 2},   {31, BOK_FACE, 0, 3},   {40, BOK_FACE, 1, 4},
    {61, BOK_VOLUME, 0, 4}, {70, BOK_VOLUME, 1, 8}, {80, BOK_VOLUME, 2, 6},
    {90, BOK_VOLUME, 3, 5},
};

template <class TBase>
uint32_t SectionSize(const ElementCollection& elements, int section)
{
    const auto* container = elements.container<TBase>();
    return container ? container->num_elements(section) : 0;
}

template <class TBase>
void SerializeRecord(BinaryBuffer& out, const ElementCollection& elements,
                     const ElementRecord& record, const ScopedIndexAttachment<Vertex>& vertexIndex)
{
    const uint32_t count = SectionSize<TBase>(elements, record.section);
    if (count == 0)
        return;
    Serialize(out, record.tag);
    Serialize(out, count);
    const auto* container = elements.container<TBase>();
    ElementIterator<TBase> it(container->section_begin(record.section));
    const ElementIterator<TBase> end(container->section_end(record.section));
    for (; it != end; ++it)
        for (unsigned int i = 0; i < record.numCorners; ++i)
            Serialize(out, static_cast<uint32_t>(vertexIndex[(*it)->vertex(i)]));
}

// Every element of the kind in container order, all sections.
template <class TBase>
void SerializeSubsetIndices(BinaryBuffer& out, const ElementCollection& elements, const Grid& grid,
                            const ISubsetHandler& sh)
{
    const auto* container = elements.container<TBase>();
    if (!container)
        return;
    const bool supported = sh.elements_are_supported(SupportedElementBit<TBase>());
    for (auto it = container->begin(); it != container->end(); ++it)
        Serialize(out, static_cast<int32_t>(supported ? SubsetIndexIn(&sh, grid, *it) : -1));
}

}  // namespace

bool SerializeGridElements(Grid& grid, BinaryBuffer& out)
{
    const ElementCollection elements = grid.get_element_collection();
    const ScopedIndexAttachment<Vertex> vertexIndex(grid);

    for (uint32_t word : {1u, 3u, 0u, 2u})
        Serialize(out, word);

    int index = 0;
    const uint32_t numRegular = SectionSize<Vertex>(elements, 0);
    if (const auto* vertices = elements.container<Vertex>()) {
        ElementIterator<Vertex> it(vertices->section_begin(0));
        const ElementIterator<Vertex> end(vertices->section_end(0));
        for (; it != end; ++it)
            vertexIndex[*it] = index++;
    }
    if (numRegular > 0) {
        Serialize(out, 11u);
        Serialize(out, numRegular);
    }

    const uint32_t numConstrained = SectionSize<Vertex>(elements, 1);
    if (numConstrained > 0) {
        Serialize(out, 12u);
        Serialize(out, numConstrained);
        const auto* vertices = elements.container<Vertex>();
        ElementIterator<Vertex> it(vertices->section_begin(1));
        const ElementIterator<Vertex> end(vertices->section_end(1));
        for (; it != end; ++it) {
            const auto* cv = dynamic_cast<const IConstrainedVertex*>(*it);
            Serialize(out, cv ? cv->local_coordinate(0) : 0.0f);
            Serialize(out, cv ? cv->local_coordinate(1) : 0.0f);
            vertexIndex[*it] = index++;
        }
    }

    for (const ElementRecord& record : kElementRecords) {
        switch (record.kind) {
        case BOK_EDGE:
            SerializeRecord<Edge>(out, elements, record, vertexIndex);
            break;
        case BOK_FACE:
            SerializeRecord<Face>(out, elements, record, vertexIndex);
            break;
        default:
            SerializeRecord<Volume>(out, elements, record, vertexIndex);
            break;
        }
    }

    Serialize(out, kElementsEndTag);
    return true;
}

bool SerializeAttachment(Grid& grid, const Attachment<MathVector<3, float>>& a,
                         ElementIterator<Vertex> begin, ElementIterator<Vertex> end,
                         BinaryBuffer& out)
{
    const AttachmentAccessor<Vertex, MathVector<3, float>> aaPos(grid.vertex_attachment_pipe(), a);
    if (!aaPos.valid())
        return false;
    Serialize(out, kPositionMagic);
    for (; begin != end; ++begin) {
        const MathVector<3, float>& p = aaPos[*begin];
        Serialize(out, p[0]);
        Serialize(out, p[1]);
        Serialize(out, p[2]);
    }
    Serialize(out, kPositionMagic);
    return true;
}

bool SerializeSubsetHandler(Grid& grid, ISubsetHandler& sh, BinaryBuffer& out)
{
    const ISubsetHandler& csh = sh;
    Serialize(out, kHandlerMagic);
    const int numSubsets = csh.num_subsets();
    Serialize(out, static_cast<uint32_t>(numSubsets));
    for (int i = 0; i < numSubsets; ++i) {
        const SubsetInfo& info = csh.subset_info(i);
        // The name with its terminating zero.
        Serialize(out, static_cast<uint32_t>(info.name.size() + 1));
        out.write(info.name.c_str(), info.name.size() + 1);
        Serialize(out, static_cast<int32_t>(info.material_index));
        for (float c : info.color)
            Serialize(out, c);
        Serialize(out, static_cast<uint32_t>(info.state));
        Serialize(out, info.property_map);
    }

    const ElementCollection elements = grid.get_element_collection();
    SerializeSubsetIndices<Vertex>(out, elements, grid, csh);
    SerializeSubsetIndices<Edge>(out, elements, grid, csh);
    SerializeSubsetIndices<Face>(out, elements, grid, csh);
    SerializeSubsetIndices<Volume>(out, elements, grid, csh);

    Serialize(out, kHandlerMagic);
    return true;
}

bool SaveGridToLGB(Grid& grid, const char* filename, ISubsetHandler** handlers, int numHandlers,
                   Attachment<MathVector<3, float>> positions)
{
    if (!filename || !grid.has_vertex_attachment(positions))
        return false;
    if (numHandlers < 0)
        numHandlers = 0;
    for (int i = 0; i < numHandlers; ++i)
        if (!handlers || !handlers[i])
            return false;

    BinaryBuffer buffer;
    for (uint8_t byte : {uint8_t(1), uint8_t(4), uint8_t(4)})
        Serialize(buffer, byte);
    Serialize(buffer, 4u);
    Serialize(buffer, numHandlers > 0 ? 6u : 2u);

    SerializeGridElements(grid, buffer);
    SerializeAttachment(grid, positions, grid.begin<Vertex>(), grid.end<Vertex>(), buffer);
    if (numHandlers > 0) {
        Serialize(buffer, static_cast<uint32_t>(numHandlers));
        for (int i = 0; i < numHandlers; ++i)
            SerializeSubsetHandler(grid, *handlers[i], buffer);
    }
    Serialize(buffer, kEndMarker);

    std::ofstream out(filename, std::ios::binary | std::ios::out | std::ios::trunc);
    if (!out)
        return false;
    if (buffer.write_pos() > 0)
        out.write(buffer.buffer(), buffer.write_pos());
    return FinishFile(out);
}

}  // namespace mg
