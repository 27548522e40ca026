#include "dez_odor/algorithms/triangulation.h"

#include "dez_odor/grid/grid.h"

#include <algorithm>
#include <cmath>

namespace mg {

namespace {

// The root (taken in double precision) of the single-precision sum of
// squares.
float length(const vector3& v)
{
    const float sq = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    return static_cast<float>(std::sqrt(static_cast<double>(sq)));
}

float dot(const vector3& a, const vector3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

float TriangleQuality(const vector3& p0, const vector3& p1, const vector3& p2)
{
    // side i runs from corner i + 1 to corner i
    const vector3 sides[3] = {p0 - p1, p1 - p2, p2 - p0};
    vector3 unit[3];
    for (int i = 0; i < 3; ++i) {
        const float len = length(sides[i]);
        // Corners in one place make no triangle. (The angle measure below
        // would rate three such corners 2, better than an equilateral one.)
        if (!(len > 0))
            return 0.0f;
        unit[i] = vector3(sides[i][0] / len, sides[i][1] / len, sides[i][2] / len);
    }

    // At corner i the sides i - 1 (reversed) and i meet.
    float q = 1.0f;
    vector3 d = unit[2];
    for (int i = 0; i < 3; ++i) {
        const float v = static_cast<float>(1.0 - std::fabs(static_cast<double>(dot(unit[i], d))));
        if (v < q)
            q = v;
        d = unit[i] * -1.0f;
    }
    return static_cast<float>(2.0 * static_cast<double>(q));
}

void Triangulate(Grid& grid, Quadrilateral* q, PositionAccessor3* paaPos)
{
    Vertex* v0 = q->vertex(0);
    Vertex* v1 = q->vertex(1);
    Vertex* v2 = q->vertex(2);
    Vertex* v3 = q->vertex(3);

    bool diagonal13 = false;
    if (paaPos) {
        const PositionAccessor3& aaPos = *paaPos;
        const float qa = TriangleQuality(aaPos[v2], aaPos[v3], aaPos[v0]);
        const float qb = TriangleQuality(aaPos[v0], aaPos[v1], aaPos[v2]);
        const float qc = TriangleQuality(aaPos[v3], aaPos[v0], aaPos[v1]);
        const float qd = TriangleQuality(aaPos[v1], aaPos[v2], aaPos[v3]);
        diagonal13 = std::min(qa, qb) < std::min(qc, qd);
    }

    if (diagonal13) {
        grid.create<Triangle>(TriangleDescriptor(v1, v2, v3), q);
        grid.create<Triangle>(TriangleDescriptor(v3, v0, v1), q);
    } else {
        grid.create<Triangle>(TriangleDescriptor(v0, v1, v2), q);
        grid.create<Triangle>(TriangleDescriptor(v2, v3, v0), q);
    }
    grid.erase(q);
}

void Triangulate(Grid& grid, ElementIterator<Quadrilateral> begin,
                 ElementIterator<Quadrilateral> end, PositionAccessor3* paaPos)
{
    // The current quadrilateral leaves the list: step on first.
    for (ElementIterator<Quadrilateral> it = begin; it != end;) {
        Quadrilateral* q = *it;
        ++it;
        Triangulate(grid, q, paaPos);
    }
}

}  // namespace mg
