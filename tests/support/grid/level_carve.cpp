#include "support/grid/level_carve.h"

#include "dez_odor/algorithms/topology_queries.h"
#include "dez_odor/algorithms/triangulation.h"
#include "dez_odor/grid/global_attachments.h"

#include <cmath>

namespace mg_test {

using namespace mg;

namespace {

float dot(const vector3& a, const vector3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

float length(const vector3& v)
{
    return std::sqrt(dot(v, v));
}

}  // namespace

LevelMesh::LevelMesh(float radius, float spacing_)
    : grid(GRIDOPT_LEVEL_MESH),
      sh(&grid, SE_ALL),
      sel(&grid, SE_ALL),
      aSplitVertex("split_vertex"),
      spacing(spacing_),
      snapDistance(static_cast<float>(0.2 * static_cast<double>(spacing_)))
{
    grid.attach_to_vertices(aPosition);
    aaPos.bind(grid.vertex_attachment_pipe(), aPosition);
    grid.attach_to_edges_with_default<Vertex*>(aSplitVertex, nullptr);
    aaSplitVertex.bind(grid.edge_attachment_pipe(), aSplitVertex);

    sh.set_strict_inheritance(true);
    sel.set_autoselect_new(true);
    sel.set_inherit_selection(false);

    disc = BuildLevelDisc(grid, aaPos, vector3(0, 0, 0), radius, spacing);
    sh.assign_subset(grid.begin<Triangle>(), grid.end<Triangle>(), SUBSET_GEOMETRY);
    sh.assign_subset(grid.begin<Edge>(), grid.end<Edge>(), SUBSET_EDGES);
    sh.subset_info(SUBSET_GEOMETRY).name = "geometry";
    sh.subset_info(SUBSET_EDGES).name = "edgeGeometry";
    sh.subset_info(SUBSET_EDGES).color = {0.4f, 0.4f, 0.8f, 1.0f};
    sh.subset_info(SUBSET_COLLISION).name = "collision";
    sh.subset_info(SUBSET_COLLISION).color = {0.8f, 0.4f, 0.4f, 1.0f};
}

CircleCarve::CircleCarve(LevelMesh& level, float x, float y, float radius)
    : m_level(level), m_centre(x, y, 0), m_radius(radius)
{
    const float inner = radius - level.snapDistance;
    m_innerSq = inner * inner;
}

float CircleCarve::dist_sq(const vector3& p) const
{
    const vector3 d = p - m_centre;
    return dot(d, d);
}

void CircleCarve::move_onto_circle(Vertex* v)
{
    vector3& p = m_level.aaPos[v];
    vector3 d = p - m_centre;
    const float len = length(d);
    if (len > 0)
        d = d * (1.0f / len);
    p = m_centre + d * m_radius;
}

void CircleCarve::run()
{
    prepare();
    vertex_pass();
    edge_pass();
    cut_faces();
    assign_new_edges();
    find_boundary();
    remove();
    mark_boundary_ends();
    finish();
}

void CircleCarve::prepare()
{
    m_autoselect = m_level.sel.autoselect_new_enabled();
    m_level.sel.set_autoselect_new(false);
    m_level.sel.clear();
}

void CircleCarve::vertex_pass()
{
    Grid& grid = m_level.grid;
    Selector& sel = m_level.sel;
    const float rSq = m_radius * m_radius;
    ElementPointerArray<Edge*> edges;
    for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it) {
        Vertex* v = *it;
        const float dSq = dist_sq(m_level.aaPos[v]);
        if (dSq < m_innerSq) {
            sel.select(v);
            grid.get_associated(edges, v);
            for (size_t i = 0; i < edges.size(); ++i) {
                if (sel.is_selected(edges[i]))
                    sel.deselect(edges[i]);
                else
                    sel.select(edges[i]);
            }
        } else if (dSq < rSq) {
            move_onto_circle(v);
        }
    }
}

void CircleCarve::edge_pass()
{
    Grid& grid = m_level.grid;
    Selector& sel = m_level.sel;
    PositionAccessor& aaPos = m_level.aaPos;
    std::vector<Edge*> halves;
    ElementPointerArray<Face*> faces;

    for (auto it = sel.begin<Edge>(); it != sel.end<Edge>();) {
        Edge* e = *it;
        ++it;
        Vertex* vi = sel.is_selected(e->vertex(0)) ? e->vertex(0) : e->vertex(1);
        Vertex* vo = vi == e->vertex(0) ? e->vertex(1) : e->vertex(0);

        const vector3 P = aaPos[vi];
        const vector3 D = aaPos[vo] - P;
        const float lenSq = dot(D, D);
        const float t0 = lenSq > 1e-12f ? dot(m_centre - P, D) / lenSq : 0.0f;
        const vector3 Q = P + D * t0;
        const float h = length(Q - m_centre);

        float t = 0;
        bool crossing = false;
        if (h > m_radius) {
            crossing = false;
        } else if (h > m_radius - 1e-12f) {
            t = t0;
            crossing = t >= 0 && t <= 1;
        } else {
            const float L = length(D);
            if (L > 0) {
                const float s = std::sqrt(m_radius * m_radius - h * h) / L;
                const float t1 = t0 + s;
                const float t2 = t0 - s;
                const bool in1 = t1 >= 0 && t1 <= 1;
                const bool in2 = t2 >= 0 && t2 <= 1;
                crossing = in1 != in2;
                t = in1 ? t1 : t2;
            }
        }
        if (!crossing) {
            sel.deselect(e);
            continue;
        }

        const float rest = length(aaPos[vi] - aaPos[vo]) * (1 - t);
        if (rest < m_level.snapDistance) {
            move_onto_circle(vo);
            sel.deselect(e);
            continue;
        }

        Vertex* n = *grid.create<RegularVertex>(e);
        aaPos[n] = aaPos[vi] * (1 - t) + aaPos[vo] * t;
        m_level.aaSplitVertex[e] = n;
        e->refine(halves, n, nullptr);
        for (Edge* half : halves)
            grid.register_edge(half, e);
        grid.get_associated(faces, e);
        for (size_t i = 0; i < faces.size(); ++i)
            sel.select(faces[i]);
        ++m_numSplitEdges;
    }
}

void CircleCarve::cut_faces()
{
    Grid& grid = m_level.grid;
    Selector& sel = m_level.sel;
    m_insideVertices.assign(sel.begin<Vertex>(), sel.end<Vertex>());
    sel.set_autoselect_new(true);

    const std::vector<Face*> faces(sel.begin<Face>(), sel.end<Face>());
    ElementPointerArray<Edge*> edges;
    std::vector<Face*> newFaces;
    for (Face* f : faces) {
        grid.get_associated(edges, f);
        Vertex* edgeVertices[4] = {nullptr, nullptr, nullptr, nullptr};
        for (size_t i = 0; i < edges.size() && i < 4; ++i) {
            if (sel.is_selected(edges[i]))
                edgeVertices[i] = m_level.aaSplitVertex[edges[i]];
        }
        if (!f->refine(newFaces, nullptr, edgeVertices, nullptr, nullptr))
            continue;
        for (Face* nf : newFaces)
            grid.register_face(nf, f);
        grid.erase(f);
    }
    if (grid.num<Quadrilateral>() > 0)
        Triangulate(grid, grid.begin<Quadrilateral>(), grid.end<Quadrilateral>(), &m_level.aaPos);
}

void CircleCarve::assign_new_edges()
{
    Selector& sel = m_level.sel;
    GridSubsetHandler& sh = m_level.sh;
    for (auto it = sel.begin<Edge>(); it != sel.end<Edge>(); ++it) {
        if (sh.subset_index(*it) == -1)
            sh.assign_subset(*it, LevelMesh::SUBSET_EDGES);
    }
}

void CircleCarve::find_boundary()
{
    Grid& grid = m_level.grid;
    Selector& sel = m_level.sel;
    sel.clear<Edge>();
    sel.clear<Face>();
    ElementPointerArray<Face*> faces;
    for (Vertex* v : m_insideVertices) {
        grid.get_associated(faces, v);
        for (size_t i = 0; i < faces.size(); ++i) {
            Face* f = faces[i];
            if (sel.is_selected(f))
                continue;
            sel.select(f);
            Edge* oe = GetOppositeEdge(grid, v, f);
            if (!oe || sel.is_selected(oe))
                continue;
            if (NumAssociatedFaces(grid, oe) == 1) {
                sel.select(oe);
            } else if (!sel.is_selected(oe->vertex(0)) && !sel.is_selected(oe->vertex(1))) {
                m_level.sh.assign_subset(oe, LevelMesh::SUBSET_COLLISION);
                m_newBoundary.push_back(oe);
            }
        }
    }
}

void CircleCarve::remove()
{
    Grid& grid = m_level.grid;
    Selector& sel = m_level.sel;
    for (auto it = sel.begin<Edge>(); it != sel.end<Edge>();) {
        Edge* e = *it;
        ++it;
        grid.erase(e);
    }
    for (Vertex* v : m_insideVertices)
        grid.erase(v);
    sel.clear();
}

void CircleCarve::mark_boundary_ends()
{
    Grid& grid = m_level.grid;
    Selector& sel = m_level.sel;
    grid.begin_marking();
    for (Edge* e : m_newBoundary)
        grid.mark(e);
    ElementPointerArray<Edge*> edges;
    for (Edge* e : m_newBoundary) {
        sel.select(e);
        for (unsigned int i = 0; i < 2; ++i) {
            grid.get_associated(edges, e->vertex(i));
            int numMarked = 0;
            for (size_t j = 0; j < edges.size(); ++j)
                numMarked += grid.is_marked(edges[j]);
            if (numMarked == 1)
                sel.select(e->vertex(i));
        }
    }
    grid.end_marking();
}

void CircleCarve::finish()
{
    m_level.sel.set_autoselect_new(m_autoselect);
}

float TwiceSignedArea(Face* f, const PositionAccessor& aaPos)
{
    const unsigned int n = f->num_vertices();
    float twice = 0;
    for (unsigned int i = 0; i < n; ++i) {
        const vector3& a = aaPos[f->vertex(i)];
        const vector3& b = aaPos[f->vertex((i + 1) % n)];
        twice += a[0] * b[1] - b[0] * a[1];
    }
    return twice;
}

}  // namespace mg_test
