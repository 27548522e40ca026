#include "dez_odor/file_io/file_io_ele.h"

#include "common/log.h"
#include "dez_odor/file_io/text_writer_support.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/subset_handler_interface.h"

#include <fstream>
#include <string>

namespace mg {

namespace {

using Position = MathVector<3, float>;

bool IsTriangle(const Face* f)
{
    return f->num_vertices() == 3;
}

// Sets each element's marker to its subset index in sh, or -1 when sh does
// not handle the kind or belongs to another grid.
template <class TBase>
void FillMarkers(Grid& grid, ISubsetHandler& sh, const Attachment<int>& aMarker, unsigned int kindBit)
{
    AttachmentAccessor<TBase, int> aaMarker(grid.attachment_pipe<TBase>(), aMarker);
    const bool supported = sh.elements_are_supported(kindBit);
    for (auto it = grid.begin<TBase>(); it != grid.end<TBase>(); ++it)
        aaMarker[*it] = supported ? SubsetIndexIn(&sh, grid, *it) : -1;
}

}  // namespace

bool SaveGridToELE(Grid& grid, const char* filename, ISubsetHandler* sh, Attachment<Position>& aPos)
{
    const std::string name(filename);
    const std::string ending(".ele");
    std::string base;
    std::string eleName;
    if (name.size() >= ending.size() &&
        name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
        base = name.substr(0, name.size() - ending.size());
        eleName = name;
    } else {
        base = name;
        eleName = name + ending;
    }
    const std::string nodeName = base + ".node";
    const std::string faceName = base + ".face";

    if (NumTetrahedra(grid.get_element_collection()) < grid.num_volumes())
        MG_LOG("  INFO in SaveGridToELE: Non-tetrahedral elements will be skipped.\n");

    if (!sh)
        return WriteTetGenFiles(grid, nodeName.c_str(), faceName.c_str(), eleName.c_str(), aPos);

    // One marker attachment on both volumes and faces (two containers, one id).
    Attachment<int> aMarker;
    AttachmentGuard<Volume> volumeMarkers(grid, aMarker);
    FillMarkers<Volume>(grid, *sh, aMarker, SE_VOLUME);
    AttachmentGuard<Face> faceMarkers(grid, aMarker);
    FillMarkers<Face>(grid, *sh, aMarker, SE_FACE);
    return WriteTetGenFiles(grid, nodeName.c_str(), faceName.c_str(), eleName.c_str(), aPos, nullptr,
                            nullptr, &aMarker, &aMarker);
}

bool WriteTetGenFiles(Grid& grid, const char* nodeFilename, const char* faceFilename,
                      const char* eleFilename, Attachment<Position>& aPos,
                      std::vector<Attachment<float>>* vertexAttributes, Attachment<int>* vertexMarkers,
                      Attachment<int>* faceMarkers, Attachment<int>* volumeMarkers)
{
    if (!grid.has_vertex_attachment(aPos))
        return false;

    bool attached = true;
    if (vertexAttributes)
        for (const Attachment<float>& a : *vertexAttributes)
            attached = attached && grid.has_vertex_attachment(a);
    if (vertexMarkers)
        attached = attached && grid.has_vertex_attachment(*vertexMarkers);
    if (faceMarkers)
        attached = attached && grid.has_face_attachment(*faceMarkers);
    if (volumeMarkers)
        attached = attached && grid.has_volume_attachment(*volumeMarkers);
    if (!attached) {
        MG_LOG("ERROR in WriteTetGenFiles: an attribute or marker attachment is not attached to the grid.\n");
        return false;
    }

    std::ofstream nodeOut;
    if (!OpenTextFile(nodeOut, nodeFilename))
        return false;

    // Vertex numbers, 0, 1, 2, ... in list order.
    ScopedIndexAttachment<Vertex> aaIndex(grid);
    AttachmentAccessor<Vertex, Position> aaPos(grid.vertex_attachment_pipe(), aPos);

    std::vector<AttachmentAccessor<Vertex, float>> aaAttributes;
    if (vertexAttributes)
        for (const Attachment<float>& a : *vertexAttributes)
            aaAttributes.emplace_back(grid.vertex_attachment_pipe(), a);
    AttachmentAccessor<Vertex, int> aaVertexMarker;
    if (vertexMarkers)
        aaVertexMarker.bind(grid.vertex_attachment_pipe(), *vertexMarkers);

    nodeOut << grid.num_vertices() << " 3 " << aaAttributes.size() << " " << (vertexMarkers ? 1 : 0)
            << "\n";
    int i = 0;
    for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it, ++i) {
        Vertex* v = *it;
        aaIndex[v] = i;
        const Position& p = aaPos[v];
        nodeOut << i << " " << p[0] << " " << p[1] << " " << p[2];
        for (const auto& aa : aaAttributes)
            nodeOut << " " << aa[v];
        if (vertexMarkers)
            nodeOut << " " << aaVertexMarker[v];
        nodeOut << "\n";
    }
    bool result = FinishFile(nodeOut);

    if (faceFilename) {
        std::ofstream faceOut;
        if (OpenTextFile(faceOut, faceFilename)) {
            AttachmentAccessor<Face, int> aaFaceMarker;
            if (faceMarkers)
                aaFaceMarker.bind(grid.face_attachment_pipe(), *faceMarkers);

            // TetGen reads three corners per record: other faces are left out.
            size_t numTriangles = 0;
            for (auto it = grid.begin<Face>(); it != grid.end<Face>(); ++it)
                if (IsTriangle(*it))
                    ++numTriangles;
            if (numTriangles < grid.num_faces())
                MG_LOG("  INFO in WriteTetGenFiles: Faces that are not triangles will be skipped.\n");

            faceOut << numTriangles << (faceMarkers ? " 1" : " 0") << "\n";
            for (auto it = grid.begin<Face>(); it != grid.end<Face>(); ++it) {
                Face* f = *it;
                if (!IsTriangle(f))
                    continue;
                faceOut << f->num_vertices();
                for (unsigned int c = 0; c < f->num_vertices(); ++c)
                    faceOut << " " << aaIndex[f->vertex(c)];
                if (faceMarkers)
                    faceOut << " " << aaFaceMarker[f];
                faceOut << "\n";
            }
            result = FinishFile(faceOut) && result;
        } else {
            MG_LOG("ERROR in WriteTetGenFiles: Couldn't open face file " << faceFilename << "\n");
            result = false;
        }
    }

    if (eleFilename) {
        std::ofstream eleOut;
        if (OpenTextFile(eleOut, eleFilename)) {
            AttachmentAccessor<Volume, int> aaVolumeMarker;
            if (volumeMarkers)
                aaVolumeMarker.bind(grid.volume_attachment_pipe(), *volumeMarkers);

            const ElementCollection ec = grid.get_element_collection();
            eleOut << NumTetrahedra(ec) << (volumeMarkers ? " 4 1" : " 4 0") << "\n";
            int k = 0;
            for (Volume* t : Tetrahedra(ec)) {
                eleOut << k++;
                for (unsigned int c = 0; c < 4; ++c)
                    eleOut << " " << aaIndex[t->vertex(c)];
                if (volumeMarkers)
                    eleOut << " " << aaVolumeMarker[t];
                eleOut << "\n";
            }
            result = FinishFile(eleOut) && result;
        } else {
            MG_LOG("ERROR in WriteTetGenFiles: Couldn't open element file " << eleFilename << "\n");
            result = false;
        }
    }

    return result;
}

}  // namespace mg
