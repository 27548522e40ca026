#include "dez_odor/file_io/file_io.h"

#include "dez_odor/file_io/art_writer.h"
#include "dez_odor/file_io/file_io_ele.h"
#include "dez_odor/file_io/file_io_ncdf.h"
#include "dez_odor/file_io/file_io_obj.h"
#include "dez_odor/file_io/file_io_tikz.h"
#include "dez_odor/file_io/grid_writer_mgx.h"
#include "dez_odor/file_io/lgb_writer.h"
#include "dez_odor/file_io/stl_writer.h"
#include "dez_odor/file_io/text_writer_support.h"
#include "dez_odor/file_io/txt_writer.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/grid_subset_handler.h"

#include <cstring>

namespace mg {

namespace {

using Position1 = MathVector<1, float>;
using Position2 = MathVector<2, float>;
using Position3 = MathVector<3, float>;

// The part of the path after its last slash or backslash: folder names
// never choose a format.
const char* LastPathComponent(const char* path)
{
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '/' || *c == '\\')
            name = c + 1;
    return name;
}

bool NameContains(const char* filename, const char* text)
{
    return std::strstr(LastPathComponent(filename), text) != nullptr;
}

// One grid named "defGrid" with the handler named "defSH". A grid the writer
// cannot take (its vertices without the positions) gives false rather than
// a document without it.
template <size_t N>
bool SaveToMGX(Grid& grid, ISubsetHandler* psh, const char* filename,
               Attachment<MathVector<N, float>>& positions)
{
    GridWriterMGX writer;
    if (!writer.add_grid(grid, "defGrid", positions))
        return false;
    writer.add_subset_handler(*psh, "defSH", 0);
    return writer.write_to_file(filename);
}

template <size_t N>
bool SaveWithPositions(Grid& grid, ISubsetHandler* psh, const char* filename,
                       Attachment<MathVector<N, float>>& positions)
{
    if (!NameContains(filename, ".mgx"))
        return SaveGridToFile(grid, psh, filename, positions);
    if (psh)
        return SaveGridToMGX(grid, psh, filename, positions);
    GridSubsetHandler allKinds(&grid, SE_ALL);
    return SaveGridToMGX(grid, &allKinds, filename, positions);
}

template <size_t N>
bool CopyTo3d(Grid& grid, Attachment<MathVector<N, float>>& source, Attachment<Position3>& target)
{
    if (!grid.has_vertex_attachment(source))
        return false;
    if (!grid.has_vertex_attachment(target))
        grid.attach_to_vertices(target);
    auto* from = grid.vertex_attachment_pipe().get_data_container(source);
    auto* to = grid.vertex_attachment_pipe().get_data_container(target);
    for (size_t i = 0; i < from->size(); ++i) {
        const MathVector<N, float>& p = (*from)[i];
        if constexpr (N == 1)
            (*to)[i] = Position3(p[0], 0.0f, 0.0f);
        else
            (*to)[i] = Position3(p[0], p[1], 0.0f);
    }
    return true;
}

// The one- and two-dimensional dispatch: a temporary three-dimensional copy
// of the positions for the call.
template <size_t N>
bool SaveThroughCopy(Grid& grid, ISubsetHandler* psh, const char* filename,
                     Attachment<MathVector<N, float>>& positions)
{
    Attachment<Position3> aPos3;
    AttachmentGuard<Vertex> attached(grid, aPos3);
    CopyPositionsTo3d(grid, positions, aPos3);
    return SaveGridToFile(grid, psh, filename, aPos3);
}

}  // namespace

bool SaveGridToFile(Grid& grid, ISubsetHandler& sh, const char* filename)
{
    if (grid.has_vertex_attachment(aPosition))
        return SaveGridToFileWithPositions(grid, &sh, filename, aPosition);
    if (grid.has_vertex_attachment(aPosition2))
        return SaveGridToFileWithPositions(grid, &sh, filename, aPosition2);
    if (grid.has_vertex_attachment(aPosition1))
        return SaveGridToFileWithPositions(grid, &sh, filename, aPosition1);
    return false;
}

bool SaveGridToMGX(Grid& grid, ISubsetHandler* psh, const char* filename, Attachment<Position1>& positions)
{
    return SaveToMGX(grid, psh, filename, positions);
}

bool SaveGridToMGX(Grid& grid, ISubsetHandler* psh, const char* filename, Attachment<Position2>& positions)
{
    return SaveToMGX(grid, psh, filename, positions);
}

bool SaveGridToMGX(Grid& grid, ISubsetHandler* psh, const char* filename, Attachment<Position3>& positions)
{
    return SaveToMGX(grid, psh, filename, positions);
}

bool SaveGridToFileWithPositions(Grid& grid, ISubsetHandler* psh, const char* filename,
                                 Attachment<Position1>& positions)
{
    return SaveWithPositions(grid, psh, filename, positions);
}

bool SaveGridToFileWithPositions(Grid& grid, ISubsetHandler* psh, const char* filename,
                                 Attachment<Position2>& positions)
{
    return SaveWithPositions(grid, psh, filename, positions);
}

bool SaveGridToFileWithPositions(Grid& grid, ISubsetHandler* psh, const char* filename,
                                 Attachment<Position3>& positions)
{
    return SaveWithPositions(grid, psh, filename, positions);
}

bool SaveGridToFile(Grid& grid, ISubsetHandler* psh, const char* filename,
                    Attachment<Position1>& positions)
{
    return SaveThroughCopy(grid, psh, filename, positions);
}

bool SaveGridToFile(Grid& grid, ISubsetHandler* psh, const char* filename,
                    Attachment<Position2>& positions)
{
    return SaveThroughCopy(grid, psh, filename, positions);
}

bool SaveGridToFile(Grid& grid, ISubsetHandler* psh, const char* filename,
                    Attachment<Position3>& positions)
{
    if (NameContains(filename, ".txt"))
        return SaveGridToTXT(grid, filename, positions);
    if (NameContains(filename, ".obj"))
        return SaveGridToOBJ(grid, filename, positions, nullptr, psh, nullptr);
    if (NameContains(filename, ".lgb")) {
        ISubsetHandler* handlers[] = {psh};
        return SaveGridToLGB(grid, filename, handlers, psh ? 1 : 0, positions);
    }
    if (NameContains(filename, ".ele"))
        return SaveGridToELE(grid, filename, psh, positions);
    if (NameContains(filename, ".net") || NameContains(filename, ".art"))
        return SaveGridToART(grid, filename, psh, positions);
    if (NameContains(filename, ".ncdf"))
        return SaveGridToNCDF(grid, filename, psh, positions);
    if (NameContains(filename, ".stl"))
        return SaveGridToSTL(grid, filename, psh, positions);
    if (NameContains(filename, ".tikz") || NameContains(filename, ".tex"))
        return ExportGridToTIKZ(grid, filename, psh, positions, TikzExportStyle());
    return false;
}

bool CopyPositionsTo3d(Grid& grid, Attachment<Position1>& source, Attachment<Position3>& target)
{
    return CopyTo3d(grid, source, target);
}

bool CopyPositionsTo3d(Grid& grid, Attachment<Position2>& source, Attachment<Position3>& target)
{
    return CopyTo3d(grid, source, target);
}

}  // namespace mg
