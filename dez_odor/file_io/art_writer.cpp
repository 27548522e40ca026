#include "dez_odor/file_io/art_writer.h"

#include "common/log.h"
#include "dez_odor/file_io/writer_common.h"
#include "dez_odor/grid/associated_elements.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/grid_subset_handler.h"

#include <fstream>
#include <vector>

namespace mg {

namespace {

int EdgeOrFaceMark(const ISubsetHandler* sh, unsigned int kindBit, int subset)
{
    if (!sh || !sh->elements_are_supported(kindBit) || subset < 0)
        return 0;
    return subset == 0 ? 10000 : subset;
}

template <class TBase>
int Mark(const ISubsetHandler* sh, const Grid& grid, TBase* elem)
{
    return EdgeOrFaceMark(sh, SupportedElementBit<TBase>(), SubsetIndexIn(sh, grid, elem));
}

int VolumeMark(const ISubsetHandler* sh, const Grid& grid, Volume* vol)
{
    if (!sh)
        return 1;
    if (!sh->elements_are_supported(SE_VOLUME))
        return 0;
    const int subset = SubsetIndexIn(sh, grid, vol);
    return subset < 0 ? 0 : subset + 1;
}

// Gives the copy the positions of the original, vertex by vertex in list
// order, when copying the grid did not take them along.
bool CopyPositions(Grid& from, Grid& to, const Attachment<MathVector<3, float>>& aPos)
{
    if (to.has_vertex_attachment(aPos))
        return true;
    const AttachmentAccessor<Vertex, MathVector<3, float>> aaFrom(from.vertex_attachment_pipe(), aPos);
    if (!aaFrom.valid())
        return false;
    to.attach_to_vertices(aPos);
    const AttachmentAccessor<Vertex, MathVector<3, float>> aaTo(to.vertex_attachment_pipe(), aPos);
    auto src = from.begin<Vertex>();
    auto dest = to.begin<Vertex>();
    for (; src != from.end<Vertex>() && dest != to.end<Vertex>(); ++src, ++dest)
        aaTo[*dest] = aaFrom[*src];
    return true;
}

}  // namespace

bool SaveGridToART(Grid& grid, const char* filename, ISubsetHandler* sh,
                   const Attachment<MathVector<3, float>>& aPos)
{
    if (!grid.has_vertex_attachment(aPos)) {
        MG_LOG("  Aborting SaveGridToART: position attachment is missing.\n");
        return false;
    }
    if (!filename)
        return false;

    // Faces are written through their edges and volumes through their faces:
    // a grid that does not generate them is written from a copy that does.
    Grid tmpGrid;
    GridSubsetHandler tmpSH(&tmpGrid, SE_ALL);
    Grid* workGrid = &grid;
    if (!grid.option_is_enabled(FACEOPT_AUTOGENERATE_EDGES | VOLOPT_AUTOGENERATE_FACES)) {
        tmpGrid = grid;
        if (sh) {
            tmpSH = *sh;
            sh = &tmpSH;
        }
        tmpGrid.enable_options(VOLOPT_AUTOGENERATE_FACES);
        tmpGrid.enable_options(FACEOPT_AUTOGENERATE_EDGES);
        if (!CopyPositions(grid, tmpGrid, aPos))
            return false;
        workGrid = &tmpGrid;
    }
    Grid& g = *workGrid;

    // Only now is the file touched.
    std::ofstream out(filename);
    if (!out)
        return false;
    UseClassicNumbers(out);
    out.setf(std::ios::scientific, std::ios::floatfield);
    out.precision(20);

    out << "%% Version 3.0\n"
        << "%% VertexNumber: " << g.num_vertices() << "\n"
        << "%% EdgeNumber: " << g.num_edges() << "\n"
        << "%% FaceNumber: " << g.num_faces() << "\n"
        << "%% ElementNumber: " << g.num_volumes() << "\n"
        << "%% Translation: (0, 0, 0)\n"
        << "%% Cornermark: 10001\n"
        << "%% DO NOT CHANGE LINES ABOVE !!!!\n"
        << "% NET: Vertices <-> Edges <-> Faces <-> Elements\n"
        << "% Vertices: x y z\n";

    const AttachmentAccessor<Vertex, MathVector<3, float>> aaPos(g.vertex_attachment_pipe(), aPos);
    for (auto it = g.begin<Vertex>(); it != g.end<Vertex>(); ++it) {
        const MathVector<3, float>& p = aaPos[*it];
        out << p[0] << " " << p[1] << " " << p[2] << "\n";
    }
    out << "$\n";

    {
        const ScopedIndexAttachment<Vertex> vertexIndex(g);
        int index = 0;
        for (auto it = g.begin<Vertex>(); it != g.end<Vertex>(); ++it)
            vertexIndex[*it] = index++;

        out << "% Edges (Indices to List of Points):\n";
        for (auto it = g.begin<Edge>(); it != g.end<Edge>(); ++it) {
            Edge* e = *it;
            out << Mark(sh, g, e) << ": " << vertexIndex[e->vertex(0)] << " "
                << vertexIndex[e->vertex(1)] << "\n";
        }
        out << "$\n";
    }

    {
        const ScopedIndexAttachment<Edge> edgeIndex(g);
        int index = 0;
        for (auto it = g.begin<Edge>(); it != g.end<Edge>(); ++it)
            edgeIndex[*it] = index++;

        out << "% Faces (Indices to List of Edges):\n";
        std::vector<Edge*> edges;
        for (auto it = g.begin<Face>(); it != g.end<Face>(); ++it) {
            out << Mark(sh, g, *it) << ":";
            CollectEdges(edges, g, *it);
            for (Edge* e : edges)
                out << " " << edgeIndex[e];
            out << "\n";
        }
        out << "$\n";
    }

    {
        const ScopedIndexAttachment<Face> faceIndex(g);
        int index = 0;
        for (auto it = g.begin<Face>(); it != g.end<Face>(); ++it)
            faceIndex[*it] = index++;

        out << "% Elements (Indices to List of Faces):\n";
        std::vector<Face*> faces;
        for (auto it = g.begin<Volume>(); it != g.end<Volume>(); ++it) {
            out << VolumeMark(sh, g, *it) << ":";
            CollectFaces(faces, g, *it);
            for (Face* f : faces)
                out << " " << faceIndex[f];
            out << "\n";
        }
        out << "$\n";
    }

    return FinishFile(out);
}

}  // namespace mg
