#include "dez_odor/file_io/stl_writer.h"

#include "common/log.h"
#include "dez_odor/algorithms/topology_queries.h"
#include "dez_odor/file_io/text_out.h"
#include "dez_odor/file_io/writer_common.h"
#include "dez_odor/grid/grid.h"

#include <fstream>

namespace mg {

bool SaveGridToSTL(Grid& grid, const char* filename, ISubsetHandler* /*sh*/,
                   const Attachment<MathVector<3, float>>& aPos)
{
    if (!grid.has_vertex_attachment(aPos)) {
        MG_LOG("Specified vertex-position attachment missing!\n");
        return false;
    }

    std::ofstream out;
    if (filename)
        out.open(filename);
    if (!out.is_open()) {
        MG_LOG("Couldn't load file " << (filename ? filename : "") << "\n");
        return false;
    }
    UseClassicNumbers(out);

    if (grid.element_storage<Face>().section_container().num_elements(Quadrilateral::CONTAINER_SECTION) > 0)
        MG_LOG("WARNING: The specified grid contains quadrilaterals. Those won't be written to the stl file!\n");

    const char* solidName = "stlFromMG4";
    {
        TextOut text(out);
        text << "solid " << solidName << "\n";

        const AttachmentAccessor<Vertex, vector3> aaPos(grid.vertex_attachment_pipe(), aPos);
        for (Face* tri : GridSection<Face>(grid, Triangle::CONTAINER_SECTION)) {
            vector3 n;
            CalculateNormal(n, tri, aaPos);
            text << "facet normal " << n[0] << " " << n[1] << " " << n[2] << "\n";
            text << "outer loop\n";
            for (unsigned int c = 0; c < 3; ++c) {
                const vector3& p = aaPos[tri->vertex(c)];
                text << "vertex " << p[0] << " " << p[1] << " " << p[2] << "\n";
            }
            text << "endloop\n";
            text << "endfacet\n";
        }

        text << "endsolid " << solidName << "\n";
    }
    return FinishFile(out);
}

}  // namespace mg
