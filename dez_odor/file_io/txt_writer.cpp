#include "dez_odor/file_io/txt_writer.h"

#include "dez_odor/file_io/writer_common.h"
#include "dez_odor/grid/grid.h"

#include <fstream>

namespace mg {

bool SaveGridToTXT(Grid& grid, const char* filename, const Attachment<MathVector<3, float>>& aPos)
{
    if (!filename || !grid.has_vertex_attachment(aPos))
        return false;

    std::ofstream out(filename);
    if (!out)
        return false;
    UseClassicNumbers(out);

    out << grid.num_vertices() << " " << grid.num<Triangle>() << "\n";

    const AttachmentAccessor<Vertex, MathVector<3, float>> aaPos(grid.vertex_attachment_pipe(), aPos);
    const ScopedIndexAttachment<Vertex> vertexIndex(grid);
    int i = 0;
    for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it) {
        const MathVector<3, float>& p = aaPos[*it];
        out << i << " " << p[0] << " " << p[1] << " " << p[2] << "\n";
        vertexIndex[*it] = i;
        ++i;
    }

    int j = 0;
    for (Face* tri : GridSection<Face>(grid, Triangle::CONTAINER_SECTION)) {
        out << j;
        for (unsigned int c = 0; c < 3; ++c)
            out << " " << vertexIndex[tri->vertex(c)];
        out << "\n";
        ++j;
    }

    return FinishFile(out);
}

}  // namespace mg
