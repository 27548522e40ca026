#include "game/level/mesh/coarse_refinement.h"

#include "dez_odor/algorithms/edge_split.h"
#include "dez_odor/algorithms/edge_swap.h"
#include "dez_odor/algorithms/topology_queries.h"
#include "game/level/mesh/boundary_edge_normal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vo {

namespace {

// A triangle with an edge longer than this many spacings is coarser than
// what the disc's inner rings and the carves in them make: only such a
// triangle at the circle starts a refinement.
const double COARSE_EDGE_FACTOR = 3.0;
// A refinement splits edges down to this many spacings.
const double MAX_EDGE_FACTOR = 1.5;
// An edge is swapped when the angles opposite it add up to more than half a
// turn by more than this (the sum of their cotangents below its negative).
const double SWAP_MARGIN = 1e-6;

// The squared distance from c to the segment a b.
float SegmentDistanceSq(const MeshVector& a, const MeshVector& b, const MeshVector& c)
{
    const MeshVector d = b - a;
    const float lenSq = Dot(d, d);
    float t = lenSq > 0 ? Dot(c - a, d) / lenSq : 0.0f;
    t = t < 0 ? 0.0f : (t > 1 ? 1.0f : t);
    const MeshVector q = a + d * t - c;
    return Dot(q, q);
}

// The cotangent of the angle at c in the triangle (a, b, c); false for a
// triangle without area.
bool CotangentAt(double& out, const MeshVector& c, const MeshVector& a, const MeshVector& b)
{
    const double ux = a[0] - c[0], uy = a[1] - c[1];
    const double vx = b[0] - c[0], vy = b[1] - c[1];
    const double cross = std::fabs(ux * vy - uy * vx);
    if (!(cross > 0))
        return false;
    out = (ux * vx + uy * vy) / cross;
    return true;
}

class Refinement {
public:
    Refinement(LevelMesh& mesh, float x, float y, float radius)
        : mesh_(mesh), centre_(x, y, 0), radius_(radius), radiusSq_(radius * radius)
    {
        const float maxEdge = static_cast<float>(MAX_EDGE_FACTOR * static_cast<double>(mesh.spacing));
        maxEdgeSq_ = maxEdge * maxEdge;
        const float coarseEdge = static_cast<float>(COARSE_EDGE_FACTOR * static_cast<double>(mesh.spacing));
        coarseEdgeSq_ = coarseEdge * coarseEdge;
    }

    // True when f is a triangle reaching into the circle with an edge that
    // is too long; coarse tells whether that edge is coarse.
    bool needs_split(mg::Face* f, bool* coarse = nullptr) const
    {
        if (f->num_vertices() != 3)
            return false;
        const MeshPositions& pos = mesh_.position;
        const MeshVector& a = pos[f->vertex(0)];
        const MeshVector& b = pos[f->vertex(1)];
        const MeshVector& c = pos[f->vertex(2)];
        // Most faces lie beside the circle's box.
        if (std::min({a[0], b[0], c[0]}) > centre_[0] + radius_ ||
            std::max({a[0], b[0], c[0]}) < centre_[0] - radius_ ||
            std::min({a[1], b[1], c[1]}) > centre_[1] + radius_ ||
            std::max({a[1], b[1], c[1]}) < centre_[1] - radius_)
            return false;
        const float longestSq = std::max({Dot(b - a, b - a), Dot(c - b, c - b), Dot(a - c, a - c)});
        if (!(longestSq > maxEdgeSq_) || !reaches_circle(a, b, c))
            return false;
        if (coarse)
            *coarse = longestSq > coarseEdgeSq_;
        return true;
    }

    // Splits the longest edge of f at its midpoint and swaps the edges
    // around the new vertex until the triangles there are Delaunay (where
    // both triangles of an edge lie in one subset), queueing every new face
    // that needs a split. False when the split would leave a triangle
    // without area.
    bool split_longest_edge(mg::Face* f)
    {
        mg::Grid& grid = mesh_.grid;
        mg::Edge* e = longest_edge(f);
        mg::Vertex* a = e->vertex(0);
        mg::Vertex* b = e->vertex(1);
        const MeshVector pa = mesh_.position[a];
        const MeshVector pb = mesh_.position[b];
        const MeshVector mid = (pa + pb) * 0.5f;
        mg::Face* faces[2];
        const int numFaces = mg::GetAssociatedFaces(faces, grid, e, 2);
        for (int i = 0; i < numFaces && i < 2; ++i) {
            const MeshVector& c = mesh_.position[mg::GetConnectedVertex(e, faces[i])];
            if (!(std::fabs(TwiceArea(pa, mid, c)) > 0) || !(std::fabs(TwiceArea(mid, pb, c)) > 0))
                return false;
        }
        const float rim = (mesh_.rim[a] + mesh_.rim[b]) * 0.5f;
        const float lava = (mesh_.lava[a] + mesh_.lava[b]) * 0.5f;
        const float light = (mesh_.light[a] + mesh_.light[b]) * 0.5f;
        mg::RegularVertex* m = mg::SplitEdge<mg::RegularVertex>(grid, grid, e, nullptr, false);
        if (!m)
            return false;
        mesh_.position[m] = mid;
        mesh_.rim[m] = rim;
        mesh_.lava[m] = lava;
        mesh_.light[m] = light;
        grid.get_associated(edges_, m);
        for (mg::Edge* me : edges_) {
            if (mesh_.subsets.subset_index(me) == -1)
                mesh_.subsets.assign_subset(me, LEVEL_SUBSET_EDGES);
        }

        // Lawson's swaps around m: the sides opposite m are looked at, and
        // a swap brings two new sides opposite m.
        std::vector<mg::Edge*> pending;
        grid.get_associated(faces_, m);
        for (mg::Face* nf : faces_) {
            if (mg::Edge* oe = mg::GetOppositeEdge(grid, m, nf))
                pending.push_back(oe);
        }
        int swaps = 0;
        while (!pending.empty() && swaps < MAX_SWAPS_PER_SPLIT) {
            mg::Edge* oe = pending.back();
            pending.pop_back();
            if (!should_swap(oe))
                continue;
            mg::Edge* diagonal = mg::SwapEdge(grid, oe);
            if (!diagonal)
                continue;
            ++swaps;
            pending.erase(std::remove(pending.begin(), pending.end(), oe), pending.end());
            grid.get_associated(faces_, diagonal);
            for (mg::Face* nf : faces_) {
                mg::Edge* side = mg::GetOppositeEdge(grid, m, nf);
                if (side && side != diagonal)
                    pending.push_back(side);
            }
        }
        grid.get_associated(faces_, m);
        for (mg::Face* nf : faces_) {
            if (needs_split(nf))
                mesh_.selector.select(nf);
        }
        return true;
    }

private:
    static const int MAX_SWAPS_PER_SPLIT = 64;

    bool reaches_circle(const MeshVector& a, const MeshVector& b, const MeshVector& c) const
    {
        if (SegmentDistanceSq(a, b, centre_) < radiusSq_ || SegmentDistanceSq(b, c, centre_) < radiusSq_ ||
            SegmentDistanceSq(c, a, centre_) < radiusSq_)
            return true;
        // The centre inside the triangle.
        const float s0 = TwiceArea(a, b, centre_);
        const float s1 = TwiceArea(b, c, centre_);
        const float s2 = TwiceArea(c, a, centre_);
        return (s0 > 0 && s1 > 0 && s2 > 0) || (s0 < 0 && s1 < 0 && s2 < 0);
    }

    // The first of the longest sides of the triangle f.
    mg::Edge* longest_edge(mg::Face* f) const
    {
        const MeshPositions& pos = mesh_.position;
        unsigned int longest = 0;
        float longestSq = -1;
        for (unsigned int i = 0; i < 3; ++i) {
            const MeshVector d = pos[f->vertex((i + 1) % 3)] - pos[f->vertex(i)];
            if (Dot(d, d) > longestSq) {
                longestSq = Dot(d, d);
                longest = i;
            }
        }
        return mesh_.grid.get_edge(f->vertex(longest), f->vertex((longest + 1) % 3));
    }

    // An inner edge of two triangles of one subset whose opposite angles
    // add up to more than half a turn, and whose swap makes a new edge and
    // leaves both new triangles with area.
    bool should_swap(mg::Edge* e)
    {
        mg::Grid& grid = mesh_.grid;
        mg::Face* faces[2];
        if (mg::GetAssociatedFaces(faces, grid, e, 2) != 2)
            return false;
        if (faces[0]->num_vertices() != 3 || faces[1]->num_vertices() != 3)
            return false;
        if (mesh_.subsets.subset_index(faces[0]) != mesh_.subsets.subset_index(faces[1]))
            return false;
        mg::Vertex* v0 = mg::GetConnectedVertex(e, faces[0]);
        mg::Vertex* v1 = mg::GetConnectedVertex(e, faces[1]);
        if (grid.get_edge(v0, v1))
            return false;
        const MeshVector& a = mesh_.position[e->vertex(0)];
        const MeshVector& b = mesh_.position[e->vertex(1)];
        const MeshVector& c0 = mesh_.position[v0];
        const MeshVector& c1 = mesh_.position[v1];
        double cot0 = 0, cot1 = 0;
        if (!CotangentAt(cot0, c0, a, b) || !CotangentAt(cot1, c1, a, b))
            return false;
        if (!(cot0 + cot1 < -SWAP_MARGIN))
            return false;
        // The new diagonal c0 c1 must leave a and b on either side of it.
        const float sa = TwiceArea(c0, c1, a);
        const float sb = TwiceArea(c0, c1, b);
        return (sa > 0 && sb < 0) || (sa < 0 && sb > 0);
    }

    LevelMesh& mesh_;
    MeshVector centre_;
    float radius_;
    float radiusSq_;
    float maxEdgeSq_;
    float coarseEdgeSq_;
    mg::ElementPointerArray<mg::Edge*> edges_;
    mg::ElementPointerArray<mg::Face*> faces_;
};

}  // namespace

void RefineCoarseTriangles(LevelMesh& mesh, float x, float y, float radius)
{
    mg::Selector& sel = mesh.selector;
    Refinement refinement(mesh, x, y, radius);
    bool anyCoarse = false;
    for (auto it = mesh.grid.begin<mg::Face>(); it != mesh.grid.end<mg::Face>(); ++it) {
        bool coarse = false;
        if (refinement.needs_split(*it, &coarse)) {
            sel.select(*it);
            anyCoarse = anyCoarse || coarse;
        }
    }
    if (!anyCoarse) {
        sel.clear();
        return;
    }
    // The selection is the queue: a split or swap erases faces (and so
    // takes them out of it) and appends the new ones that need a split.
    int budget = COARSE_REFINEMENT_BUDGET;
    while (sel.num<mg::Face>() > 0 && budget > 0) {
        mg::Face* f = *sel.begin<mg::Face>();
        sel.deselect(f);
        if (refinement.needs_split(f) && refinement.split_longest_edge(f))
            --budget;
    }
    sel.clear();
}

}  // namespace vo
