#include "game/level/mesh/spike_removal.h"

#include "dez_odor/algorithms/edge_split.h"
#include "dez_odor/algorithms/edge_swap.h"
#include "dez_odor/algorithms/topology_queries.h"
#include "game/level/mesh/boundary_edge_normal.h"

#include <iostream>
#include <vector>

namespace vo {

namespace {

// Swaps the interior edges at v whose quadrilateral is convex enough, so
// that removing v takes as little rock as possible.
void FlipEdgesAway(LevelMesh& mesh, mg::Vertex* v)
{
    mg::Grid& grid = mesh.grid;
    const MeshPositions& pos = mesh.position;
    mg::ElementPointerArray<mg::Edge*> view;
    grid.get_associated(view, v);
    const std::vector<mg::Edge*> edges(view.begin(), view.end());
    for (mg::Edge* e : edges) {
        mg::Face* faces[2];
        if (mg::GetAssociatedFaces(faces, grid, e, 2) != 2)
            continue;
        if (faces[0]->num_vertices() != 3 || faces[1]->num_vertices() != 3)
            continue;
        const MeshVector& p0 = pos[e->vertex(0)];
        const MeshVector& p1 = pos[e->vertex(1)];
        const MeshVector& q0 = pos[mg::GetConnectedVertex(e, faces[0])];
        const MeshVector& q1 = pos[mg::GetConnectedVertex(e, faces[1])];
        // p0 and p1 on opposite sides of the line through q0 and q1
        const MeshVector D = q1 - q0;
        const float lenSq = Dot(D, D);
        MeshVector projection = q0;
        if (lenSq > 1e-12f)
            projection = q0 + D * (Dot(p0 - q0, D) / lenSq);
        const MeshVector alpha = Unit(p0 - projection);
        const MeshVector beta = Unit(p1 - q0);
        if (Dot(alpha, beta) <= -1e-12f)
            mg::SwapEdge(grid, e);
    }
}

// Splits a long new boundary edge, pushing the midpoint outwards by an
// eighth of its length where both halves of its triangle stay
// counter-clockwise and the point stays out of the carved circle (else the
// midpoint itself is taken; nothing is split when that lies in the circle).
void SplitLongEdge(LevelMesh& mesh, mg::Edge* e, const CarveCircle* carved)
{
    mg::Grid& grid = mesh.grid;
    MeshPositions& pos = mesh.position;
    mg::Face* face = nullptr;
    if (mg::GetAssociatedFaces(&face, grid, e, 1) != 1)
        return;
    const MeshVector p0 = pos[e->vertex(0)];
    const MeshVector p1 = pos[e->vertex(1)];
    const MeshVector c = pos[mg::GetConnectedVertex(e, face)];
    const bool forward = mg::EdgeOrientationMatches(e, face);
    const float length = Length(p1 - p0);
    const MeshVector mid = (p0 + p1) * 0.5f;
    const float lavaMid = (mesh.lava[e->vertex(0)] + mesh.lava[e->vertex(1)]) * 0.5f;

    auto keepsTriangles = [&](const MeshVector& m) {
        const MeshVector& a = forward ? p0 : p1;
        const MeshVector& b = forward ? p1 : p0;
        return TwiceArea(a, m, c) > 0 && TwiceArea(m, b, c) > 0;
    };
    auto outsideCarve = [&](const MeshVector& m) {
        if (!carved)
            return true;
        const float inner = carved->radius - mesh.snap_distance;
        const MeshVector d = m - MeshVector(carved->x, carved->y, 0);
        return inner <= 0 || !(Dot(d, d) < inner * inner);
    };

    MeshVector target = mid;
    MeshVector n;
    if (BoundaryEdgeNormal(n, grid, e, pos) && Length(n) > 0) {
        const MeshVector pushed = mid + Unit(n) * (length * 0.125f);
        if (keepsTriangles(pushed) && outsideCarve(pushed))
            target = pushed;
    }
    if (!outsideCarve(target))
        return;

    mg::RegularVertex* m = mg::SplitEdge<mg::RegularVertex>(grid, grid, e, nullptr, false);
    if (!m)
        return;
    pos[m] = target;
    mesh.lava[m] = lavaMid;
    mesh.light[m] = 1.0f;

    // The edge from m into its face was made by the face: it has no subset.
    mg::ElementPointerArray<mg::Edge*> edges;
    grid.get_associated(edges, m);
    for (mg::Edge* me : edges) {
        if (mesh.subsets.subset_index(me) == -1)
            mesh.subsets.assign_subset(me, LEVEL_SUBSET_EDGES);
    }
}

}  // namespace

void RemoveSpikes(LevelMesh& mesh, float maxCos, CarveResult* result, const CarveCircle* carved)
{
    mg::Grid& grid = mesh.grid;
    mg::Selector& sel = mesh.selector;
    MeshPositions& pos = mesh.position;
    const bool autoselect = sel.autoselect_new_enabled();
    sel.set_autoselect_new(false);

    const float longEdge = static_cast<float>(1.25 * static_cast<double>(mesh.spacing));
    const float longEdgeSq = longEdge * longEdge;

    int budget = SPIKE_REMOVAL_BUDGET;
    mg::ElementPointerArray<mg::Edge*> edges;
    mg::ElementPointerArray<mg::Face*> faces;
    std::vector<mg::Edge*> newBoundary;
    std::vector<mg::Vertex*> neighbours;
    while (sel.num<mg::Vertex>() > 0) {
        if (--budget < 0) {
            std::cout << "max iterations reached in remove_spikes. Security bail out!" << std::endl;
            break;
        }
        mg::Vertex* v = *sel.begin<mg::Vertex>();
        sel.deselect(v);

        // the two boundary edges at v
        grid.get_associated(edges, v);
        mg::Edge* boundary[2] = {nullptr, nullptr};
        int numBoundary = 0;
        for (mg::Edge* e : edges) {
            if (!mg::IsBoundaryEdge(grid, e))
                continue;
            if (numBoundary < 2)
                boundary[numBoundary] = e;
            ++numBoundary;
        }
        if (numBoundary != 2) {
            std::cout << "Irregular vertex encountered. Please implement removal method in "
                         "LevelGeometryImpl::remove_spikes!\n"
                      << std::endl;
            continue;
        }

        // a sharp corner that turns towards the rock?
        const MeshVector& a = pos[mg::GetConnectedVertex(boundary[0], v)];
        const MeshVector& b = pos[mg::GetConnectedVertex(boundary[1], v)];
        const MeshVector u = Unit(pos[v] - a);
        const MeshVector w = Unit(b - pos[v]);
        if (Dot(u, w) > maxCos)
            continue;
        MeshVector n;
        if (!BoundaryEdgeNormal(n, grid, boundary[0], pos))
            continue;
        if (Dot(w, n) > 0)
            continue;

        FlipEdgesAway(mesh, v);

        grid.get_associated(edges, v);
        neighbours.clear();
        for (mg::Edge* e : edges) {
            neighbours.push_back(mg::GetConnectedVertex(e, v));
            if (result && mesh.subsets.subset_index(e) == LEVEL_SUBSET_COLLISION) {
                result->removed_boundary_points.push_back(ToVector3(pos[e->vertex(0)]));
                result->removed_boundary_points.push_back(ToVector3(pos[e->vertex(1)]));
            }
        }
        for (mg::Vertex* nb : neighbours)
            sel.select(nb);

        newBoundary.clear();
        std::vector<mg::Edge*> losingLastFace;
        grid.get_associated(faces, v);
        for (mg::Face* f : faces) {
            mg::Edge* oe = mg::GetOppositeEdge(grid, v, f);
            if (oe) {
                const int numFaces = mg::NumAssociatedFaces(grid, oe);
                if (numFaces > 1) {
                    newBoundary.push_back(oe);
                    mesh.subsets.assign_subset(oe, LEVEL_SUBSET_COLLISION);
                    sel.select(oe);
                } else {
                    losingLastFace.push_back(oe);
                }
            }
            if (result)
                RecordRemovedTriangle(*result, mesh, f);
        }

        grid.erase(v);

        // An edge whose last face went with v would hang in the air.
        for (mg::Edge* e : losingLastFace)
            EraseEdgeAndLonelyEnds(grid, e);

        for (mg::Edge* e : newBoundary) {
            if (mg::NumAssociatedFaces(grid, e) != 1)
                continue;
            const MeshVector d = pos[e->vertex(1)] - pos[e->vertex(0)];
            if (Dot(d, d) > longEdgeSq)
                SplitLongEdge(mesh, e, carved);
        }
    }
    sel.set_autoselect_new(autoselect);
}

}  // namespace vo
