#include "engine/core/intersection.h"

#include <cmath>

namespace vo {

namespace {

struct V3 {
    float x, y, z;
};

V3 Load(float const p[3]) { return {p[0], p[1], p[2]}; }
V3 Sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float At(V3 v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

// ------------------------------------------------------------ the unit cube

// Bits: 1 x > .5, 2 x < -.5, 4 y > .5, 8 y < -.5, 16 z > .5, 32 z < -.5.
unsigned FaceCode(V3 p) {
    unsigned code = 0;
    if (p.x > 0.5f) code |= 0x01;
    if (p.x < -0.5f) code |= 0x02;
    if (p.y > 0.5f) code |= 0x04;
    if (p.y < -0.5f) code |= 0x08;
    if (p.z > 0.5f) code |= 0x10;
    if (p.z < -0.5f) code |= 0x20;
    return code;
}

// The twelve planes through the cube's edges, at 45 degrees.
unsigned EdgeBevelCode(V3 p) {
    unsigned code = 0;
    if (p.x + p.y > 1.0f) code |= 0x001;
    if (p.x - p.y > 1.0f) code |= 0x002;
    if (-p.x + p.y > 1.0f) code |= 0x004;
    if (-p.x - p.y > 1.0f) code |= 0x008;
    if (p.x + p.z > 1.0f) code |= 0x010;
    if (p.x - p.z > 1.0f) code |= 0x020;
    if (-p.x + p.z > 1.0f) code |= 0x040;
    if (-p.x - p.z > 1.0f) code |= 0x080;
    if (p.y + p.z > 1.0f) code |= 0x100;
    if (p.y - p.z > 1.0f) code |= 0x200;
    if (-p.y + p.z > 1.0f) code |= 0x400;
    if (-p.y - p.z > 1.0f) code |= 0x800;
    return code;
}

// The eight planes cutting off the cube's corners.
unsigned CornerBevelCode(V3 p) {
    unsigned code = 0;
    if (p.x + p.y + p.z > 1.5f) code |= 0x01;
    if (p.x + p.y - p.z > 1.5f) code |= 0x02;
    if (p.x - p.y + p.z > 1.5f) code |= 0x04;
    if (p.x - p.y - p.z > 1.5f) code |= 0x08;
    if (-p.x + p.y + p.z > 1.5f) code |= 0x10;
    if (-p.x + p.y - p.z > 1.5f) code |= 0x20;
    if (-p.x - p.y + p.z > 1.5f) code |= 0x40;
    if (-p.x - p.y - p.z > 1.5f) code |= 0x80;
    return code;
}

// Whether the segment from s to e, whose end points lie beyond the face
// planes in `faces`, passes through a face of the cube.
bool SegmentMeetsCube(V3 s, V3 e, unsigned faces) {
    struct Plane {
        unsigned bit;
        int axis;
        float value;
    };
    static Plane const planes[6] = {{0x01, 0, 0.5f},  {0x02, 0, -0.5f}, {0x04, 1, 0.5f},
                                    {0x08, 1, -0.5f}, {0x10, 2, 0.5f},  {0x20, 2, -0.5f}};
    for (Plane const& plane : planes) {
        if (!(faces & plane.bit)) continue;
        float const t = (plane.value - At(s, plane.axis)) / (At(e, plane.axis) - At(s, plane.axis));
        V3 const hit = {s.x + t * (e.x - s.x), s.y + t * (e.y - s.y), s.z + t * (e.z - s.z)};
        if ((FaceCode(hit) & ~plane.bit & 0x3f) == 0) return true;
    }
    return false;
}

// Per component two bits, set when the component is below 1e-4 (not
// clearly positive) and when it is above -1e-4 (not clearly negative):
// x 4 and 32, y 2 and 16, z 1 and 8.
unsigned SignCode(V3 v) {
    float const eps = 1e-4f;
    unsigned code = 0;
    if (v.x < eps) code |= 4;
    if (v.x > -eps) code |= 32;
    if (v.y < eps) code |= 2;
    if (v.y > -eps) code |= 16;
    if (v.z < eps) code |= 1;
    if (v.z > -eps) code |= 8;
    return code;
}

// Whether h, a point in the plane of the triangle, lies in it. The three
// edge cross products are parallel to the triangle's normal and point its
// way exactly when h is inside, so they must agree in sign on every axis
// (a component near zero agrees with either sign).
bool PointInTriangle(V3 p0, V3 p1, V3 p2, V3 h) {
    for (int axis = 0; axis < 3; ++axis) {
        float const lo = std::fmin(At(p0, axis), std::fmin(At(p1, axis), At(p2, axis)));
        float const hi = std::fmax(At(p0, axis), std::fmax(At(p1, axis), At(p2, axis)));
        if (At(h, axis) > hi || At(h, axis) < lo) return false;
    }
    unsigned const c0 = SignCode(Cross(Sub(p0, p1), Sub(p0, h)));
    unsigned const c1 = SignCode(Cross(Sub(p1, p2), Sub(p1, h)));
    unsigned const c2 = SignCode(Cross(Sub(p2, p0), Sub(p2, h)));
    unsigned const shared = c0 & c1 & c2;
    return (shared & (4 | 32)) && (shared & (2 | 16)) && (shared & (1 | 8));
}

}  // namespace

int TriangleIntersectsCube(float const t[3][3]) {
    V3 const p[3] = {Load(t[0]), Load(t[1]), Load(t[2])};

    // A vertex inside.
    unsigned face[3];
    for (int i = 0; i < 3; ++i) {
        face[i] = FaceCode(p[i]);
        if (face[i] == 0) return 0;
    }
    // All vertices beyond one face plane, one edge plane or one corner plane.
    if (face[0] & face[1] & face[2]) return 1;
    unsigned full[3];
    for (int i = 0; i < 3; ++i) full[i] = face[i] | (EdgeBevelCode(p[i]) << 6);
    if (full[0] & full[1] & full[2]) return 1;
    for (int i = 0; i < 3; ++i) full[i] |= CornerBevelCode(p[i]) << 18;
    if (full[0] & full[1] & full[2]) return 1;

    // An edge through a face of the cube.
    static int const edges[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (auto const& edge : edges) {
        int const i = edge[0], j = edge[1];
        if ((full[i] & full[j]) == 0 && SegmentMeetsCube(p[i], p[j], face[i] | face[j])) return 0;
    }

    // The cube pierces the inside of the triangle: then one of its four
    // diagonals meets the triangle within the cube.
    V3 const n = Cross(Sub(p[0], p[1]), Sub(p[0], p[2]));
    float const d = Dot(n, p[0]);
    static V3 const diagonals[4] = {{1, 1, 1}, {1, 1, -1}, {1, -1, 1}, {1, -1, -1}};
    for (V3 const& diagonal : diagonals) {
        float const denominator = Dot(n, diagonal);
        if (denominator == 0.0f) continue;
        float const s = d / denominator;
        if (std::fabs(s) <= 0.5f) {
            V3 const hit = {diagonal.x * s, diagonal.y * s, diagonal.z * s};
            if (PointInTriangle(p[0], p[1], p[2], hit)) return 0;
        }
    }
    return 1;
}

bool TriangleIntersectsBox(float const a[3], float const b[3], float const c[3], float const box_min[3],
                           float const box_max[3]) {
    float centre[3], factor[3];
    for (int axis = 0; axis < 3; ++axis) {
        centre[axis] = (box_min[axis] + box_max[axis]) * 0.5f;
        float half = box_max[axis] - centre[axis];
        // A flat box would divide by zero: give it a thickness just above
        // float resolution at its position, so that geometry lying in its
        // plane maps to 0 and anything clearly off it lies beyond.
        float const thin = 1e-6f * std::fmax(1.0f, std::fabs(centre[axis]));
        if (!(std::fabs(half) >= thin)) half = thin;
        factor[axis] = 0.5f / half;
    }
    float cube[3][3];
    float const* const corners[3] = {a, b, c};
    for (int v = 0; v < 3; ++v)
        for (int axis = 0; axis < 3; ++axis) cube[v][axis] = (corners[v][axis] - centre[axis]) * factor[axis];
    return TriangleIntersectsCube(cube) == 0;
}

// ------------------------------------------------------------ triangles

namespace {

float const kEpsilon = 1e-6f;

// Where a triangle meets the line common to both planes: the parameters
// along the projection axis and the two 3-D points, cut on the two edges
// from the vertex alone on its side (`alone`, others o1 and o2).
struct Interval {
    float t[2];
    V3 point[2];
};

Interval Cut(V3 alone, V3 o1, V3 o2, float p_alone, float p1, float p2, float d_alone, float d1, float d2) {
    Interval in;
    float s = d_alone / (d_alone - d1);
    in.t[0] = p_alone + (p1 - p_alone) * s;
    V3 diff = Sub(o1, alone);
    in.point[0] = {alone.x + diff.x * s, alone.y + diff.y * s, alone.z + diff.z * s};
    s = d_alone / (d_alone - d2);
    in.t[1] = p_alone + (p2 - p_alone) * s;
    diff = Sub(o2, alone);
    in.point[1] = {alone.x + diff.x * s, alone.y + diff.y * s, alone.z + diff.z * s};
    return in;
}

// false when all three distances are 0 (the triangles are coplanar).
bool ComputeInterval(V3 const v[3], float const p[3], float const d[3], Interval& out) {
    if (d[0] * d[1] > 0.0f) {
        out = Cut(v[2], v[0], v[1], p[2], p[0], p[1], d[2], d[0], d[1]);
    } else if (d[0] * d[2] > 0.0f) {
        out = Cut(v[1], v[0], v[2], p[1], p[0], p[2], d[1], d[0], d[2]);
    } else if (d[1] * d[2] > 0.0f || d[0] != 0.0f) {
        out = Cut(v[0], v[1], v[2], p[0], p[1], p[2], d[0], d[1], d[2]);
    } else if (d[1] != 0.0f) {
        out = Cut(v[1], v[0], v[2], p[1], p[0], p[2], d[1], d[0], d[2]);
    } else if (d[2] != 0.0f) {
        out = Cut(v[2], v[0], v[1], p[2], p[0], p[1], d[2], d[0], d[1]);
    } else {
        return false;
    }
    return true;
}

// Signed distances of v from the plane n . x + d = 0, snapped to 0 within
// the tolerance; true when all three lie strictly on one side.
bool Distances(V3 n, float d, V3 const v[3], float out[3]) {
    for (int i = 0; i < 3; ++i) {
        out[i] = Dot(n, v[i]) + d;
        if (std::fabs(out[i]) < kEpsilon) out[i] = 0.0f;
    }
    return out[0] * out[1] > 0.0f && out[0] * out[2] > 0.0f;
}

void Store(V3 v, float* out) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

struct P2 {
    float x, y;
};

bool EdgesMeet(P2 as, P2 ae, P2 bs, P2 be) {
    P2 const A = {ae.x - as.x, ae.y - as.y};
    P2 const B = {bs.x - be.x, bs.y - be.y};
    P2 const C = {as.x - bs.x, as.y - bs.y};
    float const f = A.y * B.x - A.x * B.y;
    float const d = B.y * C.x - B.x * C.y;
    float const e = A.x * C.y - A.y * C.x;
    if (f > 0.0f) return d >= 0.0f && d <= f && e >= 0.0f && e <= f;
    if (f < 0.0f) return d <= 0.0f && d >= f && e <= 0.0f && e >= f;
    return false;
}

bool VertexInside(P2 x, P2 const t[3]) {
    float e[3];
    for (int i = 0; i < 3; ++i) {
        P2 const p = t[i], q = t[(i + 1) % 3];
        float const k = q.y - p.y;
        float const m = p.x - q.x;
        float const c = -k * p.x - m * p.y;
        e[i] = k * x.x + m * x.y + c;
    }
    return e[0] * e[1] > 0.0f && e[0] * e[2] > 0.0f;
}

}  // namespace

int IntersectCoplanarTriangles(float const n[3], float const a0[3], float const a1[3], float const a2[3],
                               float const b0[3], float const b1[3], float const b2[3]) {
    float const ax = std::fabs(n[0]), ay = std::fabs(n[1]), az = std::fabs(n[2]);
    int i0, i1;
    if (ax > ay) {
        if (ax > az) {
            i0 = 1;
            i1 = 2;
        } else {
            i0 = 0;
            i1 = 1;
        }
    } else if (az > ay) {
        i0 = 0;
        i1 = 1;
    } else {
        i0 = 0;
        i1 = 2;
    }
    P2 const a[3] = {{a0[i0], a0[i1]}, {a1[i0], a1[i1]}, {a2[i0], a2[i1]}};
    P2 const b[3] = {{b0[i0], b0[i1]}, {b1[i0], b1[i1]}, {b2[i0], b2[i1]}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (EdgesMeet(a[i], a[(i + 1) % 3], b[j], b[(j + 1) % 3])) return 2;
    if (VertexInside(a[0], b) || VertexInside(b[0], a)) return 2;
    return 0;
}

int IntersectTriangles(float const a0[3], float const a1[3], float const a2[3], float const b0[3],
                       float const b1[3], float const b2[3], float* point1, float* point2) {
    V3 const a[3] = {Load(a0), Load(a1), Load(a2)};
    V3 const b[3] = {Load(b0), Load(b1), Load(b2)};

    V3 const na = Cross(Sub(a[1], a[0]), Sub(a[2], a[0]));
    float const da = -Dot(na, a[0]);
    float distB[3];
    if (Distances(na, da, b, distB)) return 0;

    V3 const nb = Cross(Sub(b[1], b[0]), Sub(b[2], b[0]));
    float const db = -Dot(nb, b[0]);
    float distA[3];
    if (Distances(nb, db, a, distA)) return 0;

    V3 const D = Cross(na, nb);
    int axis = 0;
    float largest = std::fabs(D.x);
    if (std::fabs(D.y) > largest) {
        axis = 1;
        largest = std::fabs(D.y);
    }
    if (std::fabs(D.z) > largest) axis = 2;
    float const pa[3] = {At(a[0], axis), At(a[1], axis), At(a[2], axis)};
    float const pb[3] = {At(b[0], axis), At(b[1], axis), At(b[2], axis)};

    float const n[3] = {na.x, na.y, na.z};
    Interval ia, ib;
    if (!ComputeInterval(a, pa, distA, ia)) return IntersectCoplanarTriangles(n, a0, a1, a2, b0, b1, b2);
    if (!ComputeInterval(b, pb, distB, ib)) return IntersectCoplanarTriangles(n, a0, a1, a2, b0, b1, b2);

    // Ascending, with the cut points in the same order.
    auto sort = [](Interval& in) {
        if (in.t[0] > in.t[1]) {
            float const t = in.t[0];
            in.t[0] = in.t[1];
            in.t[1] = t;
            V3 const p = in.point[0];
            in.point[0] = in.point[1];
            in.point[1] = p;
        }
    };
    sort(ia);
    sort(ib);
    if (ia.t[1] < ib.t[0] || ib.t[1] < ia.t[0]) return 0;

    if (!point1 || !point2) return 1;
    Store(ia.t[0] > ib.t[0] ? ia.point[0] : ib.point[0], point1);
    Store(ia.t[1] < ib.t[1] ? ia.point[1] : ib.point[1], point2);
    return 1;
}

bool TrianglesIntersect(float const a0[3], float const a1[3], float const a2[3], float const b0[3],
                        float const b1[3], float const b2[3], float* point1, float* point2) {
    return IntersectTriangles(a0, a1, a2, b0, b1, b2, point1, point2) == 1;
}

}  // namespace vo
