#include "support/game/level_invariants.h"

#include "dez_odor/algorithms/topology_queries.h"
#include "game/level/mesh/boundary_edge_normal.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <utility>

namespace vo_test {

using namespace vo;

namespace {

std::ostream& operator<<(std::ostream& os, const MeshVector& p)
{
    return os << "(" << p[0] << ", " << p[1] << ")";
}

// Collects problems, keeping only the first few of each kind.
class Problems {
public:
    explicit Problems(LevelInvariantReport& report) : report_(report) {}

    template <class... Parts>
    void add(const char* kind, Parts&&... parts)
    {
        int& n = counts_[kind];
        if (++n > MAX_PER_KIND)
            return;
        std::ostringstream line;
        line << kind << ": ";
        (line << ... << parts);
        report_.problems.push_back(line.str());
    }

private:
    static constexpr int MAX_PER_KIND = 5;
    LevelInvariantReport& report_;
    std::map<std::string, int> counts_;
};

void CheckBoundary(LevelGeometryImpl& level, LevelInvariantReport& report, Problems& problems)
{
    LevelMesh& mesh = level.mesh();
    mg::Grid& grid = mesh.grid;
    const MeshPositions& pos = mesh.position;
    std::set<mg::Vertex*> collisionVertices;
    const auto end = mesh.subsets.end<mg::Edge>(LEVEL_SUBSET_COLLISION);
    for (auto it = mesh.subsets.begin<mg::Edge>(LEVEL_SUBSET_COLLISION); it != end; ++it) {
        mg::Edge* e = *it;
        ++report.num_collision_edges;
        collisionVertices.insert(e->vertex(0));
        collisionVertices.insert(e->vertex(1));
        mg::Face* face = nullptr;
        const int numFaces = mg::GetAssociatedFaces(&face, grid, e, 1);
        if (numFaces != 1) {
            problems.add("collision edge without exactly one face", pos[e->vertex(0)], " - ",
                         pos[e->vertex(1)], " has ", numFaces);
            continue;
        }
        // Running in the corner order of a counter-clockwise face (checked
        // with the faces), the edge has its face on its left.
        if (!mg::EdgeOrientationMatches(e, face))
            problems.add("collision edge with its face not on its left", pos[e->vertex(0)], " - ",
                         pos[e->vertex(1)]);
    }
    // Closed loops: at every collision vertex as many boundary edges leave
    // as enter it, each running in its face's corner order.
    mg::ElementPointerArray<mg::Edge*> edges;
    for (mg::Vertex* v : collisionVertices) {
        grid.get_associated(edges, v);
        int leaving = 0;
        int entering = 0;
        for (mg::Edge* e : edges) {
            mg::Face* face = nullptr;
            if (mg::GetAssociatedFaces(&face, grid, e, 1) != 1)
                continue;
            const bool forward = mg::EdgeOrientationMatches(e, face);
            const bool starts = (e->vertex(0) == v) == forward;
            (starts ? leaving : entering) += 1;
        }
        if (leaving != entering || leaving == 0)
            problems.add("open boundary", pos[v], " has ", leaving, " boundary edges leaving and ",
                         entering, " entering");
        else if (leaving > 1)
            report.irregular_vertices.push_back(ToVector3(pos[v]));
    }
}

void CheckVertices(LevelGeometryImpl& level, const std::vector<LevelCircle>& carved,
                   Problems& problems)
{
    LevelMesh& mesh = level.mesh();
    // The box of the level's vertices: only there can a vertex lie inside
    // a circle, whatever the circle's size or place.
    float lowX = std::numeric_limits<float>::max(), lowY = lowX;
    float highX = -lowX, highY = -lowX;
    for (auto it = mesh.grid.begin<mg::Vertex>(); it != mesh.grid.end<mg::Vertex>(); ++it) {
        const MeshVector& p = mesh.position[*it];
        lowX = std::min(lowX, p[0]);
        highX = std::max(highX, p[0]);
        lowY = std::min(lowY, p[1]);
        highY = std::max(highY, p[1]);
    }
    // The circles by the cells of a square grid that their boxes, cut to
    // the level's box, overlap, each cell's in the order given: a vertex
    // meets only those of its cell.
    const float cellSize = 8.0f;
    auto cellOf = [cellSize](float v) { return static_cast<long long>(std::floor(v / cellSize)); };
    auto key = [](long long i, long long j) { return std::make_pair(i, j); };
    std::map<std::pair<long long, long long>, std::vector<size_t>> cells;
    for (size_t k = 0; k < carved.size(); ++k) {
        const LevelCircle& c = carved[k];
        const float inner = c.radius - mesh.snap_distance;
        if (!(inner > 0))
            continue;
        // Comparisons with NaN fail, so a circle with one is left out too.
        const float fromX = std::max(c.x - inner, lowX), toX = std::min(c.x + inner, highX);
        const float fromY = std::max(c.y - inner, lowY), toY = std::min(c.y + inner, highY);
        if (!(fromX <= toX && fromY <= toY))
            continue;
        for (long long i = cellOf(fromX); i <= cellOf(toX); ++i) {
            for (long long j = cellOf(fromY); j <= cellOf(toY); ++j)
                cells[key(i, j)].push_back(k);
        }
    }
    for (auto it = mesh.grid.begin<mg::Vertex>(); it != mesh.grid.end<mg::Vertex>(); ++it) {
        const MeshVector& p = mesh.position[*it];
        const auto cell = cells.find(key(cellOf(p[0]), cellOf(p[1])));
        if (cell == cells.end())
            continue;
        for (size_t k : cell->second) {
            const LevelCircle& c = carved[k];
            const float inner = c.radius - mesh.snap_distance;
            const float d = std::hypot(p[0] - c.x, p[1] - c.y);
            if (d < inner)
                problems.add("vertex inside a carved circle", p, " lies ", inner - d,
                             " inside the circle at (", c.x, ", ", c.y, ") of radius ", c.radius);
        }
    }
}

void CheckFaces(LevelGeometryImpl& level, LevelInvariantReport& report, Problems& problems)
{
    LevelMesh& mesh = level.mesh();
    for (auto it = mesh.grid.begin<mg::Face>(); it != mesh.grid.end<mg::Face>(); ++it) {
        mg::Face* f = *it;
        if (f->num_vertices() != 3) {
            problems.add("face that is no triangle", f->num_vertices(), " corners");
            continue;
        }
        ++report.num_triangles;
        if (!(TwiceSignedArea(f, mesh.position) > 0))
            problems.add("triangle not counter-clockwise", mesh.position[f->vertex(0)], " ",
                         mesh.position[f->vertex(1)], " ", mesh.position[f->vertex(2)],
                         " twice area ", TwiceSignedArea(f, mesh.position));
    }
}

void CheckCollisionTree(LevelGeometryImpl& level, const LevelInvariantReport& report,
                        Problems& problems)
{
    const SmartPtr<GroupNode> node = level.collision_node();
    const SmartPtr<CollisionTreeRootNode> tree = level.collision_tree();
    if (report.num_collision_edges == 0) {
        if (node->num_children() != 0 || tree)
            problems.add("collision node", "a child or tree without collision edges");
        return;
    }
    if (node->num_children() != 1 || node->get_child(0).get() != tree.get() || !tree) {
        problems.add("collision node", "does not hold exactly the collision tree");
        return;
    }
    const size_t treeEdges = CountCollisionTreeEdges(tree);
    if (treeEdges != report.num_collision_edges)
        problems.add("collision tree", treeEdges, " edges for ", report.num_collision_edges,
                     " collision edges");
    if (static_cast<size_t>(tree->num_points()) != level.collision_vertices().size())
        problems.add("collision tree", tree->num_points(), " points for ",
                     level.collision_vertices().size(), " collision vertices");
}

void CheckBuffers(LevelGeometryImpl& level, Problems& problems)
{
    LevelMesh& mesh = level.mesh();
    const SmartPtr<StaticVisual> visual = level.visual();
    const unsigned numVertices = static_cast<unsigned>(mesh.grid.num_vertices());
    if (visual->vertex_buffer()->num_vertices() != numVertices)
        problems.add("vertex buffer", visual->vertex_buffer()->num_vertices(), " vertices for ",
                     numVertices);

    size_t expected = 0;
    for (const LevelDrawPass& pass : level.draw_passes())
        expected += 3 * mesh.subsets.num<mg::Triangle>(pass.subset);
    IndexBuffer& indices = *visual->index_buffer();
    if (indices.num_indices() != expected) {
        problems.add("index buffer", indices.num_indices(), " indices for ", expected);
        return;
    }
    unsigned* data = nullptr;
    if (!indices.lock(&data, 0, indices.num_indices())) {
        problems.add("index buffer", "cannot be locked");
        return;
    }
    for (unsigned i = 0; i < indices.num_indices(); ++i) {
        if (data[i] >= numVertices) {
            problems.add("index buffer", "index ", data[i], " at ", i, " beyond the vertices");
            break;
        }
    }
    indices.unlock();

    int next = 0;
    for (const StaticVisual::Subset& s : visual->subsets()) {
        if (s.first_index != next || s.num_indices <= 0 ||
            s.num_vertices != static_cast<int>(numVertices))
            problems.add("visual subsets", "a draw call at index ", s.first_index, " of ",
                         s.num_indices, " indices does not follow at ", next);
        next = s.first_index + s.num_indices;
    }
    if (static_cast<size_t>(next) != expected)
        problems.add("visual subsets", "cover ", next, " of ", expected, " indices");
}

}  // namespace

std::string LevelInvariantReport::text() const
{
    std::string out;
    for (const std::string& p : problems)
        out += p + "\n";
    return out;
}

size_t CountCollisionTreeEdges(const SmartPtr<Node>& node)
{
    if (!node)
        return 0;
    if (auto* leaf = dynamic_cast<CollisionEdgesNode*>(node.get()))
        return static_cast<size_t>(leaf->num_edges());
    size_t n = 0;
    if (auto* group = dynamic_cast<GroupNode*>(node.get())) {
        for (int i = 0; i < group->num_children(); ++i)
            n += CountCollisionTreeEdges(group->get_child(i));
    }
    return n;
}

LevelInvariantReport CheckLevelInvariants(LevelGeometryImpl& level,
                                          const std::vector<LevelCircle>& carved)
{
    LevelInvariantReport report;
    Problems problems(report);
    CheckBoundary(level, report, problems);
    CheckVertices(level, carved, problems);
    CheckFaces(level, report, problems);
    CheckCollisionTree(level, report, problems);
    CheckBuffers(level, problems);
    return report;
}

std::vector<LevelCircle> CarvedCircles(const LevelGeometryImpl& level)
{
    std::vector<LevelCircle> circles;
    for (const LevelEditRecord& r : level.edit_log()) {
        if (r.op == LEVEL_EDIT_CARVE)
            circles.push_back({r.x, r.y, r.radius});
    }
    return circles;
}

std::vector<LevelCircle> CarveInteriors(const LevelGeometryImpl& level)
{
    // The longest boundary chord of a mesh of spacing 2.
    constexpr float LONGEST_CHORD = 3.0f;
    const float half = LONGEST_CHORD / 2.0f;
    std::vector<LevelCircle> circles = CarvedCircles(level);
    for (LevelCircle& c : circles)
        c.radius = c.radius > half ? std::sqrt(c.radius * c.radius - half * half) : 0.0f;
    return circles;
}

}  // namespace vo_test
