#include "grid_file_checks.h"

#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid_objects/constrained_element.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "support/grid/constrained_elements.h"
#include "support/grid/test_tetrahedron.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

namespace mg_test {

using namespace mg;

std::string FileIoTestFile(const std::string& name)
{
    return std::string(QV_TESTS_SOURCE_DIR "/dez_odor/file_io/") + name;
}

ToolResult RunReaderScript(const std::string& script, const std::vector<std::string>& args)
{
    std::vector<std::string> all{FileIoTestFile(script)};
    all.insert(all.end(), args.begin(), args.end());
    return RunExternalTool(kDebianPython, all);
}

std::string FloatBits(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    char buf[9];
    std::snprintf(buf, sizeof(buf), "%08x", bits);
    return buf;
}

std::string HexBytes(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

WriterTestGrid::WriterTestGrid() : grid(GRIDOPT_DEFAULT), sh(&grid, SE_ALL), shFaces(&grid, SE_EDGE | SE_FACE)
{
    grid.attach_to_vertices(aPosition);
    aaPos = PosAccessor3(grid.vertex_attachment_pipe(), aPosition);
}

Vertex* WriterTestGrid::vertex(float x, float y, float z)
{
    Vertex* v = *grid.create<RegularVertex>();
    aaPos[v] = Vec3(x, y, z);
    return v;
}

void FillRandomGrid(WriterTestGrid& g, unsigned int seed, bool withSpecialSections)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> coord(-100.0f, 100.0f);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); };

    std::vector<Vertex*> vrts;
    vrts.push_back(g.vertex(0.1f, -0.0f, 1e-30f));
    vrts.push_back(g.vertex(123456.7f, -3.4e38f, 0.5f));
    for (int i = 0; i < 40; ++i)
        vrts.push_back(g.vertex(coord(rng), coord(rng), coord(rng)));

    // distinct corners
    auto corners = [&](size_t n) {
        std::vector<Vertex*> c;
        while (c.size() < n) {
            Vertex* v = vrts[pick(vrts.size())];
            bool fresh = true;
            for (Vertex* w : c)
                fresh = fresh && w != v;
            if (fresh)
                c.push_back(v);
        }
        return c;
    };

    for (int i = 0; i < 25; ++i) {
        const auto c = corners(3);
        g.grid.create<Triangle>(TriangleDescriptor(c[0], c[1], c[2]));
    }
    for (int i = 0; i < 8; ++i) {
        const auto c = corners(4);
        g.grid.register_face(new Quadrilateral(c[0], c[1], c[2], c[3]));
    }
    for (int i = 0; i < 5; ++i) {
        const auto c = corners(4);
        g.grid.register_volume(new TestTetrahedron(c[0], c[1], c[2], c[3]));
    }
    // a few lone edges
    for (int i = 0; i < 4; ++i) {
        const auto c = corners(2);
        if (!g.grid.get_edge(c[0], c[1]))
            g.grid.create<RegularEdge>(EdgeDescriptor(c[0], c[1]));
    }

    if (withSpecialSections) {
        auto constrainedVertex = [&](float x, float y, float z) {
            auto* v = new ConstrainedVertex;
            g.grid.register_vertex(v);
            g.aaPos[v] = Vec3(x, y, z);
            vrts.push_back(v);
            return v;
        };
        // coordinates that six significant digits hold exactly
        ConstrainedVertex* cv0 = constrainedVertex(0.25f, -1.5f, 2.0f);
        ConstrainedVertex* cv1 = constrainedVertex(-7.75f, 0.125f, 64.0f);
        ConstrainedVertex* cv2 = constrainedVertex(1000.5f, 3.0f, -0.0f);

        auto* cing = new ConstrainingEdge(vrts[2], vrts[3]);
        g.grid.register_edge(cing);
        auto* ced = new ConstrainedEdge(cv0, vrts[4]);
        g.grid.register_edge(ced);
        ced->set_constraint(cing);
        auto* ced2 = new ConstrainedEdge(cv1, cv2);
        g.grid.register_edge(ced2);

        auto* cingTri = new ConstrainingTriangle(vrts[5], vrts[6], vrts[7]);
        g.grid.register_face(cingTri);
        auto* cedTri = new ConstrainedTriangle(cv0, cv1, vrts[8]);
        g.grid.register_face(cedTri);
        cedTri->set_constraint(cingTri);
        auto* cedTri2 = new ConstrainedTriangle(cv2, vrts[9], vrts[10]);
        g.grid.register_face(cedTri2);
        cedTri2->set_constraint(cing);  // an edge never constrains a face: written as none
        auto* cingQuad = new ConstrainingQuadrilateral(vrts[11], vrts[12], vrts[13], vrts[14]);
        g.grid.register_face(cingQuad);
        auto* cedQuad = new ConstrainedQuadrilateral(vrts[15], vrts[16], cv0, vrts[17]);
        g.grid.register_face(cedQuad);
        cedQuad->set_constraint(cingQuad);
        ced2->set_constraint(cingQuad);

        cv0->set_constraint(cing, 0.25f);
        cv1->set_constraint(cingTri, 0.5f, 0.75f);

        const int sections[] = {1, 2, 3, 4};
        const size_t numCorners[] = {8, 6, 5, 6};
        for (int k = 0; k < 2; ++k)
            for (size_t s = 0; s < 4; ++s)
                g.grid.register_volume(new TestPolyhedron(sections[s], corners(numCorners[s])));
    }

    // subsets
    const char* names[] = {"defSub", "Lava <&> \"hot\" 'rim'", "R\xc3\xa4nder", "", "rock"};
    for (int i = 0; i < 5; ++i) {
        SubsetInfo& info = g.sh.subset_info(i);
        info.name = names[i];
        info.color = {coord(rng) / 100.0f, 0.5f, 0.25f, 1.0f};
        info.state = static_cast<uint32_t>(i * 7);
        info.material_index = i - 1;
    }
    g.sh.subset_info(1).property_map["alpha"] = Variant(0.75f);
    g.sh.subset_info(1).property_map["lava"] = Variant(true);
    g.sh.subset_info(1).property_map["count"] = Variant(-12);
    g.sh.subset_info(2).property_map["name"] = Variant(std::string("Rand \xc3\xa4"));
    g.sh.subset_info(2).property_map["c"] = Variant("cstring");
    g.sh.subset_info(2).property_map["d"] = Variant(2.5e-300);
    g.sh.subset_info(2).property_map["none"] = Variant();
    g.sh.subset_info(2).property_map["ptr"] = Variant(static_cast<void*>(&g));
    g.shFaces.subset_info(0).name = "outline";
    g.shFaces.subset_info(1).name = "inside";

    auto assignSome = [&](auto begin, auto end, int numSubsets) {
        std::vector<decltype(*begin)> elems(begin, end);
        for (auto* e : elems) {
            const int s = static_cast<int>(pick(static_cast<size_t>(numSubsets) + 1)) - 1;
            if (s >= 0) {
                g.sh.assign_subset(e, s);
                g.shFaces.assign_subset(e, s % 2);
            }
        }
    };
    assignSome(g.grid.begin<Vertex>(), g.grid.end<Vertex>(), 5);
    assignSome(g.grid.begin<Edge>(), g.grid.end<Edge>(), 5);
    assignSome(g.grid.begin<Face>(), g.grid.end<Face>(), 5);
    assignSome(g.grid.begin<Volume>(), g.grid.end<Volume>(), 5);
}

std::string ElementKey(const Vertex* vrt, const PosAccessor3& aaPos, const char*)
{
    return PositionKey(aaPos[vrt]);
}

std::string ElementKey(const IVertexGroup* elem, const PosAccessor3& aaPos, const char* sep)
{
    std::string key;
    for (unsigned int i = 0; i < elem->num_vertices(); ++i)
        key += (i ? sep : "") + PositionKey(aaPos[elem->vertex(i)]);
    return key;
}

namespace {

struct ListSection {
    const char* name;
    int kind;
    int section;
};

const ListSection kMgxLists[] = {
    {"vertices", BOK_VERTEX, 0},
    {"constrained_vertices", BOK_VERTEX, 1},
    {"edges", BOK_EDGE, 0},
    {"constraining_edges", BOK_EDGE, 2},
    {"constrained_edges", BOK_EDGE, 1},
    {"triangles", BOK_FACE, 0},
    {"constraining_triangles", BOK_FACE, 4},
    {"constrained_triangles", BOK_FACE, 2},
    {"quadrilaterals", BOK_FACE, 1},
    {"constraining_quadrilaterals", BOK_FACE, 5},
    {"constrained_quadrilaterals", BOK_FACE, 3},
    {"tetrahedrons", BOK_VOLUME, 0},
    {"hexahedrons", BOK_VOLUME, 1},
    {"prisms", BOK_VOLUME, 2},
    {"pyramids", BOK_VOLUME, 3},
    {"octahedrons", BOK_VOLUME, 4},
};

template <class TBase>
std::vector<TBase*> SectionElements(Grid& grid, int section)
{
    std::vector<TBase*> out;
    for (auto it = grid.begin<TBase>(); it != grid.end<TBase>(); ++it)
        if ((*it)->container_section() == section)
            out.push_back(*it);
    return out;
}

std::string ConstraintText(GridObject* elem, const ListSection& list, const PosAccessor3& aaPos)
{
    const auto* c = dynamic_cast<const IConstrainedElement*>(elem);
    GridObject* obj = c ? c->constraining_object() : nullptr;
    auto* edge = dynamic_cast<Edge*>(obj);
    auto* face = dynamic_cast<Face*>(obj);
    std::string text;
    if (edge && list.kind != BOK_FACE)
        text = "edge " + ElementKey(edge, aaPos);
    else if (face)
        text = "face " + ElementKey(face, aaPos);
    else
        return "none";
    if (list.kind == BOK_VERTEX) {
        const auto* cv = dynamic_cast<const IConstrainedVertex*>(elem);
        text += " " + FloatBits(cv->local_coordinate(0));
        if (face)
            text += " " + FloatBits(cv->local_coordinate(1));
    }
    return text;
}

template <class TBase>
void AppendSubsetList(std::ostringstream& out, const ISubsetHandler& sh, int subset, const char* kind,
                      const PosAccessor3& aaPos)
{
    const ElementCollection ec = sh.get_element_collection(subset);
    for (size_t level = 0; level < ec.num_levels(); ++level) {
        const auto* c = ec.container<TBase>(level);
        if (!c)
            continue;
        for (auto it = c->begin(); it != c->end(); ++it)
            out << "in " << kind << " " << ElementKey(*it, aaPos) << "\n";
    }
}

// What "%.6g" makes of a float, as the readers print the colours.
std::string Six(float f)
{
    char buf[32];
    std::snprintf(buf, sizeof(buf), "%.6g", static_cast<double>(f));
    return buf;
}

}  // namespace

std::string ExpectedMgxReading(Grid& grid, const PosAccessor3& aaPos, const std::string& gridName,
                               const std::vector<std::pair<ISubsetHandler*, std::string>>& handlers)
{
    std::ostringstream out;
    out << "grid " << HexBytes(gridName) << "\n";
    for (const ListSection& list : kMgxLists) {
        std::vector<GridObject*> elems;
        switch (list.kind) {
        case BOK_VERTEX:
            for (Vertex* v : SectionElements<Vertex>(grid, list.section))
                elems.push_back(v);
            break;
        case BOK_EDGE:
            for (Edge* e : SectionElements<Edge>(grid, list.section))
                elems.push_back(e);
            break;
        case BOK_FACE:
            for (Face* f : SectionElements<Face>(grid, list.section))
                elems.push_back(f);
            break;
        default:
            for (Volume* v : SectionElements<Volume>(grid, list.section))
                elems.push_back(v);
            break;
        }
        if (elems.empty())
            continue;
        out << "list " << list.name << "\n";
        const bool constrained = std::strncmp(list.name, "constrained_", 12) == 0;
        for (GridObject* e : elems) {
            if (list.kind == BOK_VERTEX) {
                out << "v " << PositionKey(aaPos[static_cast<Vertex*>(e)]);
            } else {
                const auto* group = dynamic_cast<const IVertexGroup*>(e);
                out << "e " << ElementKey(group, aaPos, " ");
            }
            if (constrained)
                out << " | " << ConstraintText(e, list, aaPos);
            out << "\n";
        }
    }
    for (const auto& [sh, name] : handlers) {
        out << "handler " << HexBytes(name) << "\n";
        const ISubsetHandler& csh = *sh;
        for (int i = 0; i < csh.num_subsets(); ++i) {
            const SubsetInfo& info = csh.subset_info(i);
            out << "subset " << HexBytes(info.name) << " " << Six(info.color[0]) << ","
                << Six(info.color[1]) << "," << Six(info.color[2]) << "," << Six(info.color[3]) << " "
                << info.state << "\n";
            AppendSubsetList<Vertex>(out, csh, i, "vertices", aaPos);
            AppendSubsetList<Edge>(out, csh, i, "edges", aaPos);
            AppendSubsetList<Face>(out, csh, i, "faces", aaPos);
            AppendSubsetList<Volume>(out, csh, i, "volumes", aaPos);
        }
    }
    return out.str();
}

namespace {

std::string VariantText(const Variant& v)
{
    char buf[64];
    switch (v.type()) {
    case Variant::VT_INVALID:
        return "invalid";
    case Variant::VT_POINTER:
        return "pointer";
    case Variant::VT_BOOL:
        return std::string("b ") + (v.to_bool() ? "1" : "0");
    case Variant::VT_INT:
        return "i " + std::to_string(v.to_int());
    case Variant::VT_FLOAT:
        return "f " + FloatBits(v.to_float());
    case Variant::VT_DOUBLE: {
        const double d = v.to_double();
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        std::snprintf(buf, sizeof(buf), "d %016llx", static_cast<unsigned long long>(bits));
        return buf;
    }
    case Variant::VT_CSTRING:
        return "s " + HexBytes(v.to_cstring());
    case Variant::VT_STDSTRING:
        return "s " + HexBytes(v.to_stdstring());
    default:
        return "?";
    }
}

struct LgbRecord {
    int tag;
    int kind;
    int section;
};

const LgbRecord kLgbRecords[] = {
    {21, BOK_EDGE, 0},   {31, BOK_FACE, 0},   {40, BOK_FACE, 1},   {61, BOK_VOLUME, 0},
    {70, BOK_VOLUME, 1}, {80, BOK_VOLUME, 2}, {90, BOK_VOLUME, 3},
};

template <class TBase>
void AppendRecord(std::ostringstream& out, Grid& grid, const LgbRecord& r, const PosAccessor3& aaPos)
{
    const std::vector<TBase*> elems = SectionElements<TBase>(grid, r.section);
    if (elems.empty())
        return;
    out << "record " << r.tag << " " << elems.size() << "\n";
    for (TBase* e : elems)
        out << "el " << r.tag << " " << ElementKey(e, aaPos, " ") << "\n";
}

template <class TBase>
void AppendIndices(std::ostringstream& out, Grid& grid, const ISubsetHandler& sh, const char* kind,
                   int maxWrittenSection, const PosAccessor3& aaPos)
{
    for (auto it = grid.begin<TBase>(); it != grid.end<TBase>(); ++it) {
        TBase* e = *it;
        const std::string key =
            e->container_section() <= maxWrittenSection ? ElementKey(e, aaPos) : std::string("?");
        out << "idx " << kind << " " << key << " " << sh.subset_index(e) << "\n";
    }
}

}  // namespace

std::string ExpectedLgbReading(Grid& grid, const PosAccessor3& aaPos,
                               const std::vector<ISubsetHandler*>& handlers)
{
    std::ostringstream out;
    out << "flags " << (handlers.empty() ? 2 : 6) << "\n";
    const std::vector<Vertex*> regular = SectionElements<Vertex>(grid, 0);
    const std::vector<Vertex*> constrained = SectionElements<Vertex>(grid, 1);
    out << "vertices " << regular.size() << " " << constrained.size() << "\n";
    for (Vertex* v : constrained) {
        const auto* cv = dynamic_cast<const IConstrainedVertex*>(v);
        out << "cv " << FloatBits(cv->local_coordinate(0)) << " " << FloatBits(cv->local_coordinate(1))
            << "\n";
    }
    for (const LgbRecord& r : kLgbRecords) {
        if (r.kind == BOK_EDGE)
            AppendRecord<Edge>(out, grid, r, aaPos);
        else if (r.kind == BOK_FACE)
            AppendRecord<Face>(out, grid, r, aaPos);
        else
            AppendRecord<Volume>(out, grid, r, aaPos);
    }
    for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it)
        out << "pos " << PositionKey(aaPos[*it]) << "\n";
    if (!handlers.empty()) {
        out << "handlers " << handlers.size() << "\n";
        for (ISubsetHandler* sh : handlers) {
            const ISubsetHandler& csh = *sh;
            for (int i = 0; i < csh.num_subsets(); ++i) {
                const SubsetInfo& info = csh.subset_info(i);
                out << "subset " << HexBytes(info.name) << " " << info.material_index << " "
                    << FloatBits(info.color[0]) << "," << FloatBits(info.color[1]) << ","
                    << FloatBits(info.color[2]) << "," << FloatBits(info.color[3]) << " " << info.state
                    << "\n";
                for (const auto& [key, value] : info.property_map)
                    out << "prop " << HexBytes(key) << " " << VariantText(value) << "\n";
            }
            AppendIndices<Vertex>(out, grid, csh, "vertices", 1, aaPos);
            AppendIndices<Edge>(out, grid, csh, "edges", 0, aaPos);
            AppendIndices<Face>(out, grid, csh, "faces", 1, aaPos);
            AppendIndices<Volume>(out, grid, csh, "volumes", 3, aaPos);
        }
    }
    out << "end\n";
    return out.str();
}

}  // namespace mg_test
