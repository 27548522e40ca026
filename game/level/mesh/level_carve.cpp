#include "game/level/mesh/level_carve.h"

#include "dez_odor/algorithms/topology_queries.h"
#include "dez_odor/algorithms/triangulation.h"
#include "game/level/mesh/boundary_edge_normal.h"
#include "game/level/mesh/coarse_refinement.h"
#include "game/level/mesh/spike_removal.h"

#include <algorithm>
#include <cmath>

namespace vo {

namespace {

// A turn of 60 degrees or more at a boundary vertex makes a spike.
const float SPIKE_MAX_COS = 0.5f;

// Two split vertices of one triangle closer than this (times the spacing)
// would leave a sliver too thin to keep its orientation.
const float SPLIT_MERGE_FACTOR = 0.01f;

}  // namespace

LevelCarve::LevelCarve(LevelMesh& mesh, float x, float y, float radius, CarveResult* result)
    : mesh_(mesh), result_(result), centre_(x, y, 0), radius_(radius)
{
    // Never below 0: a radius smaller than the snap distance would otherwise
    // remove vertices outside the circle.
    const float inner = std::max(radius - mesh.snap_distance, 0.0f);
    inner_sq_ = inner * inner;
}

float LevelCarve::dist_sq(const MeshVector& p) const
{
    const MeshVector d = p - centre_;
    return Dot(d, d);
}

bool LevelCarve::move_onto_circle(mg::Vertex* v)
{
    MeshPositions& pos = mesh_.position;
    const MeshVector target = centre_ + Unit(pos[v] - centre_) * radius_;
    // An edge at v split already in this carve keeps its split vertex where
    // it is: moving v would take the edge away from it.
    mg::ElementPointerArray<mg::Edge*> edges;
    mesh_.grid.get_associated(edges, v);
    for (mg::Edge* e : edges) {
        if (mesh_.selector.is_selected(e) && mesh_.split_vertex[e])
            return false;
    }
    mg::ElementPointerArray<mg::Face*> faces;
    mesh_.grid.get_associated(faces, v);
    for (mg::Face* f : faces) {
        // The triangle as it would be, from v's corner. Triangles at inside
        // vertices count too: the cut keeps the part of them outside.
        if (f->num_vertices() != 3)
            continue;
        unsigned int k = 0;
        while (k < 2 && f->vertex(k) != v)
            ++k;
        const MeshVector& b = pos[f->vertex((k + 1) % 3)];
        const MeshVector& c = pos[f->vertex((k + 2) % 3)];
        const float twiceArea =
            (b[0] - target[0]) * (c[1] - target[1]) - (c[0] - target[0]) * (b[1] - target[1]);
        if (!(twiceArea > 0))
            return false;
    }
    pos[v] = target;
    return true;
}

bool LevelCarve::near_split_vertex(mg::Edge* e, const MeshVector& point)
{
    const float limit = SPLIT_MERGE_FACTOR * mesh_.spacing;
    mg::ElementPointerArray<mg::Face*> faces;
    mg::ElementPointerArray<mg::Edge*> sides;
    mesh_.grid.get_associated(faces, e);
    for (mg::Face* f : faces) {
        mesh_.grid.get_associated(sides, f);
        for (mg::Edge* side : sides) {
            if (side == e || !mesh_.selector.is_selected(side) || !mesh_.split_vertex[side])
                continue;
            const MeshVector d = mesh_.position[mesh_.split_vertex[side]] - point;
            if (Dot(d, d) < limit * limit)
                return true;
        }
    }
    return false;
}

void LevelCarve::run()
{
    cut();
    remove_spikes();
    finish();
}

void LevelCarve::cut()
{
    prepare();
    refine();
    vertex_pass();
    edge_pass();
    cut_faces();
    assign_new_edges();
    find_boundary();
    gather_removed_triangles();
    remove();
    gather_lava_edges();
    mark_boundary_ends();
}

void LevelCarve::prepare()
{
    if (result_)
        result_->clear();
    autoselect_ = mesh_.selector.autoselect_new_enabled();
    mesh_.selector.set_autoselect_new(false);
    mesh_.selector.clear();
}

void LevelCarve::refine() { RefineCoarseTriangles(mesh_, centre_[0], centre_[1], radius_); }

void LevelCarve::vertex_pass()
{
    mg::Grid& grid = mesh_.grid;
    mg::Selector& sel = mesh_.selector;
    const ShadeZones zones(mesh_, radius_);

    mg::ElementPointerArray<mg::Edge*> edges;
    for (auto it = grid.begin<mg::Vertex>(); it != grid.end<mg::Vertex>(); ++it) {
        mg::Vertex* v = *it;
        const float dSq = dist_sq(mesh_.position[v]);
        if (dSq < inner_sq_) {
            sel.select(v);
            mesh_.rim[v] = 0.0f;
            mesh_.light[v] = 1.0f;
            // An edge with both ends inside is toggled twice: afterwards
            // exactly the crossing edges are selected.
            grid.get_associated(edges, v);
            for (mg::Edge* e : edges) {
                if (sel.is_selected(e))
                    sel.deselect(e);
                else
                    sel.select(e);
            }
        } else if (dSq < zones.radius_sq) {
            mesh_.rim[v] = 0.0f;
            mesh_.light[v] = 1.0f;
            move_onto_circle(v);
        } else if (dSq < zones.rim_sq) {
            const float d = std::sqrt(dSq);
            mesh_.rim[v] = std::min(mesh_.rim[v], (d - radius_) / mesh_.rim_width);
            mesh_.light[v] = 1.0f;
        } else if (dSq < zones.light_min_sq) {
            mesh_.light[v] = 1.0f;
        } else if (dSq < zones.light_max_sq) {
            mesh_.light[v] = std::max(mesh_.light[v], zones.fading_light(std::sqrt(dSq)));
        }
    }
}

void LevelCarve::edge_pass()
{
    mg::Grid& grid = mesh_.grid;
    mg::Selector& sel = mesh_.selector;
    MeshPositions& pos = mesh_.position;
    std::vector<mg::Edge*> halves;
    mg::ElementPointerArray<mg::Face*> faces;

    for (auto it = sel.begin<mg::Edge>(); it != sel.end<mg::Edge>();) {
        mg::Edge* e = *it;
        ++it;
        mg::Vertex* vi = sel.is_selected(e->vertex(0)) ? e->vertex(0) : e->vertex(1);
        mg::Vertex* vo = vi == e->vertex(0) ? e->vertex(1) : e->vertex(0);

        // Where the line from vi (t = 0) to vo (t = 1) meets the circle.
        const MeshVector P = pos[vi];
        const MeshVector D = pos[vo] - P;
        const float lenSq = Dot(D, D);
        const float t0 = lenSq > 1e-12f ? Dot(centre_ - P, D) / lenSq : 0.0f;
        const float h = Length(P + D * t0 - centre_);

        float t = 0;
        bool crossing = false;
        if (h > radius_) {
            crossing = false;
        } else if (h > radius_ - 1e-12f) {
            t = t0;
            crossing = t >= 0 && t <= 1;
        } else {
            const float L = std::sqrt(lenSq);
            if (L > 0) {
                const float s = std::sqrt(radius_ * radius_ - h * h) / L;
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

        // A crossing that close to vo: vo moves onto the circle instead (or
        // stays, where moving it would turn a triangle over).
        const float rest = Length(pos[vi] - pos[vo]) * (1 - t);
        if (rest < mesh_.snap_distance) {
            move_onto_circle(vo);
            sel.deselect(e);
            continue;
        }

        const MeshVector splitPoint = pos[vi] * (1 - t) + pos[vo] * t;
        if (near_split_vertex(e, splitPoint)) {
            sel.deselect(e);
            continue;
        }
        mg::Vertex* n = *grid.create<mg::RegularVertex>(e);
        pos[n] = splitPoint;
        mesh_.split_vertex[e] = n;
        mesh_.rim[n] = 0.0f;
        mesh_.lava[n] = (mesh_.lava[e->vertex(0)] + mesh_.lava[e->vertex(1)]) * 0.5f;
        mesh_.light[n] = 1.0f;
        e->refine(halves, n, nullptr);
        for (mg::Edge* half : halves)
            grid.register_edge(half, e);
        grid.get_associated(faces, e);
        for (mg::Face* f : faces)
            sel.select(f);
        ++num_split_edges_;
    }
}

void LevelCarve::cut_faces()
{
    mg::Grid& grid = mesh_.grid;
    mg::Selector& sel = mesh_.selector;
    inside_vertices_.assign(sel.begin<mg::Vertex>(), sel.end<mg::Vertex>());
    sel.set_autoselect_new(true);

    const std::vector<mg::Face*> faces(sel.begin<mg::Face>(), sel.end<mg::Face>());
    mg::ElementPointerArray<mg::Edge*> edges;
    std::vector<mg::Face*> newFaces;
    for (mg::Face* f : faces) {
        grid.get_associated(edges, f);
        mg::Vertex* edgeVertices[4] = {nullptr, nullptr, nullptr, nullptr};
        for (size_t i = 0; i < edges.size() && i < 4; ++i) {
            if (sel.is_selected(edges[i]))
                edgeVertices[i] = mesh_.split_vertex[edges[i]];
        }
        if (!f->refine(newFaces, nullptr, edgeVertices, nullptr, nullptr))
            continue;
        for (mg::Face* nf : newFaces)
            grid.register_face(nf, f);
        grid.erase(f);
    }
    if (grid.num<mg::Quadrilateral>() > 0)
        mg::Triangulate(grid, grid.begin<mg::Quadrilateral>(), grid.end<mg::Quadrilateral>(),
                        &mesh_.position);
}

void LevelCarve::assign_new_edges()
{
    mg::Selector& sel = mesh_.selector;
    for (auto it = sel.begin<mg::Edge>(); it != sel.end<mg::Edge>(); ++it) {
        if (mesh_.subsets.subset_index(*it) == -1)
            mesh_.subsets.assign_subset(*it, LEVEL_SUBSET_EDGES);
    }
}

void LevelCarve::find_boundary()
{
    mg::Grid& grid = mesh_.grid;
    mg::Selector& sel = mesh_.selector;
    sel.clear<mg::Edge>();
    sel.clear<mg::Face>();
    mg::ElementPointerArray<mg::Face*> faces;
    for (mg::Vertex* v : inside_vertices_) {
        grid.get_associated(faces, v);
        for (mg::Face* f : faces) {
            if (sel.is_selected(f))
                continue;
            sel.select(f);
            mg::Edge* oe = mg::GetOppositeEdge(grid, v, f);
            if (!oe || sel.is_selected(oe))
                continue;
            if (mg::NumAssociatedFaces(grid, oe) == 1) {
                // an old boundary edge that loses its face
                sel.select(oe);
            } else if (!sel.is_selected(oe->vertex(0)) && !sel.is_selected(oe->vertex(1))) {
                // Listed once, also when both its faces go (it is erased then).
                if (mesh_.subsets.subset_index(oe) == LEVEL_SUBSET_COLLISION)
                    continue;
                mesh_.subsets.assign_subset(oe, LEVEL_SUBSET_COLLISION);
                new_boundary_.push_back(oe);
            }
        }
    }
}

void LevelCarve::gather_removed_triangles()
{
    if (!result_)
        return;
    mg::Grid& grid = mesh_.grid;
    mg::ElementPointerArray<mg::Face*> faces;
    grid.begin_marking();
    for (mg::Vertex* v : inside_vertices_) {
        grid.get_associated(faces, v);
        for (mg::Face* f : faces) {
            if (grid.is_marked(f))
                continue;
            grid.mark(f);
            RecordRemovedTriangle(*result_, mesh_, f);
        }
    }
    grid.end_marking();
}

void LevelCarve::remove()
{
    mg::Grid& grid = mesh_.grid;
    mg::Selector& sel = mesh_.selector;
    for (auto it = sel.begin<mg::Edge>(); it != sel.end<mg::Edge>();) {
        mg::Edge* e = *it;
        ++it;
        grid.erase(e);
    }
    for (mg::Vertex* v : inside_vertices_)
        grid.erase(v);
    sel.clear();

    // A new boundary edge whose faces were both removed would be left
    // hanging in the collision subset: it goes, with its ends when nothing
    // else holds them.
    auto faceless = [&](mg::Edge* e) { return mg::NumAssociatedFaces(grid, e) == 0; };
    std::vector<mg::Edge*> dangling;
    for (mg::Edge* e : new_boundary_) {
        if (faceless(e))
            dangling.push_back(e);
    }
    if (dangling.empty())
        return;
    new_boundary_.erase(std::remove_if(new_boundary_.begin(), new_boundary_.end(), faceless),
                        new_boundary_.end());
    for (mg::Edge* e : dangling)
        EraseEdgeAndLonelyEnds(grid, e);
}

void LevelCarve::gather_lava_edges()
{
    if (!result_)
        return;
    for (mg::Edge* e : new_boundary_) {
        if (!(mesh_.lava[e->vertex(0)] > 0.5f) && !(mesh_.lava[e->vertex(1)] > 0.5f))
            continue;
        MeshVector n;
        if (!BoundaryEdgeNormal(n, mesh_.grid, e, mesh_.position))
            continue;
        result_->lava_edges.push_back(ToVector3(mesh_.position[e->vertex(0)]));
        result_->lava_edges.push_back(ToVector3(mesh_.position[e->vertex(1)]));
        result_->lava_edge_normals.push_back(ToVector3(Unit(n)));
    }
}

void LevelCarve::mark_boundary_ends()
{
    mg::Grid& grid = mesh_.grid;
    mg::Selector& sel = mesh_.selector;
    grid.begin_marking();
    for (mg::Edge* e : new_boundary_)
        grid.mark(e);
    mg::ElementPointerArray<mg::Edge*> edges;
    for (mg::Edge* e : new_boundary_) {
        sel.select(e);
        for (unsigned int i = 0; i < 2; ++i) {
            grid.get_associated(edges, e->vertex(i));
            int numMarked = 0;
            for (mg::Edge* ve : edges)
                numMarked += grid.is_marked(ve);
            if (numMarked == 1)
                sel.select(e->vertex(i));
        }
    }
    grid.end_marking();
}

void LevelCarve::remove_spikes()
{
    if (mesh_.selector.num<mg::Vertex>() > 0) {
        const CarveCircle circle{centre_[0], centre_[1], radius_};
        RemoveSpikes(mesh_, SPIKE_MAX_COS, result_, &circle);
    }
}

void LevelCarve::finish() { mesh_.selector.set_autoselect_new(autoselect_); }

}  // namespace vo
