#include "dez_odor/algorithms/triangulation.h"

#include "dez_odor/grid/grid.h"

#include <algorithm>
#include <cmath>

namespace mg {

namespace {

// The vector divided by its length when that is greater than 0. The length
// is the root (taken in double precision) of the single-precision sum of
// squares.
vector3 normalized(const vector3& v)
{
    const float sq = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const float len = static_cast<float>(std::sqrt(static_cast<double>(sq)));
    if (len > 0)
        return vector3(v[0] / len, v[1] / len, v[2] / len);
    return v;
}

float dot(const vector3& a, const vector3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

}  // namespace

float TriangleQuality(const vector3& p0, const vector3& p1, const vector3& p2)
{
    const vector3* p[3] = {&p0, &p1, &p2};
    float q = 1.0f;
    // The sides meeting at corner i are d (towards the previous corner) and
    // e (from the next corner towards this one).
    vector3 d = normalized(p2 - p0);
    for (int i = 0; i < 3; ++i) {
        const vector3 e = normalized(*p[i] - *p[(i + 1) % 3]);
        const float v = static_cast<float>(1.0 - std::fabs(static_cast<double>(dot(e, d))));
        if (v < q)
            q = v;
        d = e * -1.0f;
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
