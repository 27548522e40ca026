#include "dez_odor/file_io/file_io_obj.h"

#include "common/log.h"
#include "dez_odor/file_io/text_out.h"
#include "dez_odor/file_io/text_writer_support.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/subset_handler_interface.h"

#include <fstream>
#include <string>

namespace mg {

namespace {

using Position = MathVector<3, float>;
using TexCoord = MathVector<2, float>;

// Writes element lines ("l" for edges, "f" for faces) with the vertices'
// OBJ numbers; with texture coordinates each corner is number/number.
class ObjElementWriter {
public:
    ObjElementWriter(TextOut& out, const ScopedIndexAttachment<Vertex>& aaIndex, bool texCoords)
        : m_out(out), m_aaIndex(aaIndex), m_texCoords(texCoords)
    {
    }

    void write(const char* keyword, const IVertexGroup& elem)
    {
        m_out << keyword;
        for (unsigned int i = 0; i < elem.num_vertices(); ++i) {
            const int index = m_aaIndex[elem.vertex(i)];
            m_out << " " << index;
            if (m_texCoords)
                m_out << "/" << index;
        }
        m_out << "\n";
    }

    template <class TIterator>
    void write_edges(TIterator begin, TIterator end)
    {
        for (TIterator it = begin; it != end; ++it)
            write("l", **it);
    }

    template <class TIterator>
    void write_faces(TIterator begin, TIterator end)
    {
        for (TIterator it = begin; it != end; ++it)
            write("f", **it);
    }

private:
    TextOut& m_out;
    const ScopedIndexAttachment<Vertex>& m_aaIndex;
    bool m_texCoords;
};

// "dir/mesh.obj" -> "dir/mesh.mtl"; "mesh" -> "mesh.mtl".
std::string MaterialPath(const std::string& filename)
{
    std::string path = filename;
    if (path.size() >= 4 && path[path.size() - 4] == '.')
        path.erase(path.size() - 4);
    return path + ".mtl";
}

// The part after the last slash or backslash.
std::string FileNamePart(const std::string& path)
{
    const size_t sep = path.find_last_of("/\\");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

bool WriteMaterialFile(const std::string& path, const std::vector<MaterialDesc>& materials)
{
    std::ofstream out;
    if (!OpenTextFile(out, path.c_str()))
        return false;
    {
        TextOut text(out);
        text << "# exported from duvOriz\n";
        text << "# Material Count: " << materials.size() << "\n";
        for (const MaterialDesc& m : materials) {
            text << "newmtl " << m.name << "\n";
            text << "Kd " << m.diffuse[0] << " " << m.diffuse[1] << " " << m.diffuse[2] << "\n";
            text << "d " << m.alpha << "\n";
            if (!m.texture_name.empty())
                text << "map_Kd " << m.texture_name << "\n";
        }
    }
    return FinishFile(out);
}

}  // namespace

bool SaveGridToOBJ(Grid& grid, const char* filename, Attachment<Position>& aPos,
                   Attachment<TexCoord>* aTexCoord, ISubsetHandler* sh,
                   std::vector<MaterialDesc>* materials)
{
    if (!grid.has_vertex_attachment(aPos)) {
        MG_LOG("ERROR in SaveGridToOBJ: Position attachment missing.\n");
        return false;
    }
    if (aTexCoord && !grid.has_vertex_attachment(*aTexCoord)) {
        MG_LOG("ERROR in SaveGridToOBJ: Texture coordinate attachment missing.\n");
        return false;
    }

    if (sh && sh->grid() != &grid) {
        MG_LOG("ERROR in SaveGridToOBJ: The subset handler belongs to another grid.\n");
        return false;
    }

    std::string materialPath;
    if (materials)
        materialPath = MaterialPath(filename);

    std::ofstream out;
    if (!OpenTextFile(out, filename))
        return false;

    {
        TextOut text(out);
        text << "# exported from dezOdor\n";
        if (materials)
            text << "mtllib " << FileNamePart(materialPath) << "\n";

        ScopedIndexAttachment<Vertex> aaIndex(grid);
        AttachmentAccessor<Vertex, Position> aaPos(grid.vertex_attachment_pipe(), aPos);

        int number = 1;
        for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it, ++number) {
            const Position& p = aaPos[*it];
            text << "v " << p[0] << " " << p[1] << " " << p[2] << "\n";
            aaIndex[*it] = number;
        }

        if (aTexCoord) {
            AttachmentAccessor<Vertex, TexCoord> aaTex(grid.vertex_attachment_pipe(), *aTexCoord);
            for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it) {
                const TexCoord& t = aaTex[*it];
                text << "vt " << t[0] << " " << t[1] << " 0.0\n";
            }
        }

        ObjElementWriter elements(text, aaIndex, aTexCoord != nullptr);
        if (sh) {
            for (int i = 0; i < sh->num_subsets(); ++i) {
                const SubsetInfo& info = static_cast<const ISubsetHandler*>(sh)->subset_info(i);
                if (!info.name.empty())
                    text << "o " << info.name << "\n";
                else
                    text << "o sub_" << i << "\n";

                const int material = info.material_index;
                if (materials && material >= 0 && static_cast<size_t>(material) < materials->size())
                    text << "usemtl " << (*materials)[static_cast<size_t>(material)].name << "\n";
                else
                    text << "usemtl (null)\n";

                const ElementCollection ec = sh->get_element_collection(i);
                for (size_t level = 0; level < ec.num_levels(); ++level) {
                    elements.write_edges(ec.begin<Edge>(level), ec.end<Edge>(level));
                    elements.write_faces(ec.begin<Face>(level), ec.end<Face>(level));
                }
            }
        } else {
            text << "o nonameknown\n";
            text << "usemtl (null)\n";
            elements.write_edges(grid.begin<Edge>(), grid.end<Edge>());
            elements.write_faces(grid.begin<Face>(), grid.end<Face>());
        }
    }

    if (!FinishFile(out))
        return false;

    if (materials)
        return WriteMaterialFile(materialPath, *materials);
    return true;
}

}  // namespace mg
