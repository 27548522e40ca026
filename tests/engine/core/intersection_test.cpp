#include "engine/core/intersection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace {

using P = std::array<float, 3>;

bool TriBox(P a, P b, P c, P lo, P hi) {
    return vo::TriangleIntersectsBox(a.data(), b.data(), c.data(), lo.data(), hi.data());
}

int TriTri(P a0, P a1, P a2, P b0, P b1, P b2, float* p1 = nullptr, float* p2 = nullptr) {
    return vo::IntersectTriangles(a0.data(), a1.data(), a2.data(), b0.data(), b1.data(), b2.data(), p1, p2);
}

// ------------------------------------------------------------ references

struct D3 {
    double x, y, z;
};
D3 ToD(P p) { return {p[0], p[1], p[2]}; }
D3 Sub(D3 a, D3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(D3 a, D3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3 Cross(D3 a, D3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Length(D3 a) { return std::sqrt(Dot(a, a)); }

// The largest gap between the projections of two convex point sets over
// the given axes (normalised): > 0 separated, < 0 overlapping on all axes.
// Axes along `ignore` (when given) are left out.
double LargestGap(std::vector<D3> const& s, std::vector<D3> const& t, std::vector<D3> const& axes,
                  D3 ignore = {0, 0, 0}) {
    double largest = -1e300;
    for (D3 axis : axes) {
        double const len = Length(axis);
        if (len < 1e-9) continue;
        if (Length(ignore) > 0 && Length(Cross(axis, ignore)) < 1e-9 * len) continue;
        double smin = 1e300, smax = -1e300, tmin = 1e300, tmax = -1e300;
        for (D3 p : s) {
            double const d = Dot(p, axis) / len;
            smin = std::min(smin, d);
            smax = std::max(smax, d);
        }
        for (D3 p : t) {
            double const d = Dot(p, axis) / len;
            tmin = std::min(tmin, d);
            tmax = std::max(tmax, d);
        }
        largest = std::max(largest, std::max(tmin - smax, smin - tmax));
    }
    return largest;
}

// Separating axes of a triangle and a box: the box's faces, the triangle's
// normal and the nine cross products of their edges.
double TriBoxGap(P a, P b, P c, P lo, P hi, D3 ignore = {0, 0, 0}) {
    std::vector<D3> tri = {ToD(a), ToD(b), ToD(c)};
    std::vector<D3> box;
    for (int i = 0; i < 8; ++i) box.push_back({i & 1 ? hi[0] : lo[0], i & 2 ? hi[1] : lo[1], i & 4 ? hi[2] : lo[2]});
    D3 const edges[3] = {Sub(tri[1], tri[0]), Sub(tri[2], tri[1]), Sub(tri[0], tri[2])};
    D3 const units[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    std::vector<D3> axes(units, units + 3);
    axes.push_back(Cross(edges[0], edges[1]));
    for (D3 u : units)
        for (D3 e : edges) axes.push_back(Cross(u, e));
    return LargestGap(tri, box, axes, ignore);
}

// Separating axes of two triangles in general position: both normals and
// the nine cross products of their edges.
double TriTriGap(std::vector<D3> const& s, std::vector<D3> const& t) {
    D3 const es[3] = {Sub(s[1], s[0]), Sub(s[2], s[1]), Sub(s[0], s[2])};
    D3 const et[3] = {Sub(t[1], t[0]), Sub(t[2], t[1]), Sub(t[0], t[2])};
    std::vector<D3> axes = {Cross(es[0], es[1]), Cross(et[0], et[1])};
    for (D3 u : es)
        for (D3 v : et) axes.push_back(Cross(u, v));
    return LargestGap(s, t, axes);
}

// Distance of p from the triangle (double, brute force over the plane and
// the edges).
double DistanceToTriangle(D3 p, std::vector<D3> const& t) {
    D3 const n = Cross(Sub(t[1], t[0]), Sub(t[2], t[0]));
    double best = 1e300;
    bool inside = true;
    for (int i = 0; i < 3; ++i) {
        D3 const a = t[i], b = t[(i + 1) % 3];
        if (Dot(Cross(Sub(b, a), Sub(p, a)), n) < 0) inside = false;
        D3 const ab = Sub(b, a);
        double s = Dot(Sub(p, a), ab) / Dot(ab, ab);
        s = std::clamp(s, 0.0, 1.0);
        D3 const q = {a.x + ab.x * s, a.y + ab.y * s, a.z + ab.z * s};
        best = std::min(best, Length(Sub(p, q)));
    }
    if (inside) best = std::min(best, std::fabs(Dot(Sub(p, t[0]), n)) / Length(n));
    return best;
}

// ------------------------------------------------------------ box

TEST(TriangleIntersectsBox, DeterministicCases) {
    P const lo = {0, 0, 0}, hi = {2, 2, 2};
    struct Case {
        P a, b, c;
        bool expected;
        char const* what;
    };
    Case const cases[] = {
        {{1, 1, 1}, {5, 5, 5}, {5, 6, 5}, true, "a vertex inside"},
        {{3, 0, 0}, {4, 1, 1}, {3, 2, 2}, false, "beyond one face"},
        {{2, 0.5f, 0.5f}, {3, 1, 1}, {3, 0.5f, 1.5f}, true, "a vertex on a face"},
        {{2, 0, 0}, {2, 2, 0}, {2, 0, 2}, true, "lying in a face"},
        {{-1, 3, 1}, {3, -1, 1}, {3, 3, 1}, true, "an edge through the box"},
        {{-10, -10, 1}, {30, -10, 1}, {-10, 30, 1}, true, "a large triangle through the box, nothing inside"},
        {{-10, -10, -21}, {30, -10, 19}, {-10, 30, 19}, true, "a large slanted triangle through the box"},
        {{-10, -10, -9}, {30, -10, 31}, {-10, 30, 31}, false, "a large slanted triangle past a corner"},
        {{3, 3, -10}, {3, 3, 10}, {10, -10, 0}, false, "beyond an edge of the box only"},
        {{2.6f, 2.6f, 2.6f}, {5, 2.1f, 2.1f}, {2.1f, 5, 2.1f}, false, "beyond a corner only"},
        {{-5, 1, -5}, {5, 1, -5}, {0, 1, -2.5f}, false, "in a plane through the box, off to the side"},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(TriBox(c.a, c.b, c.c, lo, hi), c.expected) << c.what;
        EXPECT_EQ(TriBox(c.c, c.a, c.b, lo, hi), c.expected) << c.what << " (rotated vertex order)";
    }
    float cube[3][3] = {{0, 0, 0}, {1, 1, 1}, {1, 2, 1}};
    EXPECT_EQ(vo::TriangleIntersectsCube(cube), 0);
    float beyond[3][3] = {{0.6f, 0, 0}, {0.7f, 1, 1}, {0.8f, -1, 0}};
    EXPECT_EQ(vo::TriangleIntersectsCube(beyond), 1);
}

TEST(TriangleIntersectsBox, AgreesWithSeparatingAxesOnRandomCases) {
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> coord(-3.0f, 3.0f);
    std::uniform_real_distribution<float> size(0.2f, 2.0f);
    int checked = 0, hits = 0;
    for (int i = 0; i < 20000; ++i) {
        P lo, hi;
        for (int k = 0; k < 3; ++k) {
            lo[k] = coord(rng) * 0.3f;
            hi[k] = lo[k] + size(rng);
        }
        P a, b, c;
        // Larger triangles often pass through the box with no vertex in it.
        float const scale = (i % 3 == 0) ? 4.0f : 1.0f;
        for (int k = 0; k < 3; ++k) {
            a[k] = coord(rng) * scale;
            b[k] = coord(rng) * scale;
            c[k] = coord(rng) * scale;
        }
        double const gap = TriBoxGap(a, b, c, lo, hi);
        if (std::fabs(gap) < 1e-3) continue;  // too close to call in float
        ++checked;
        hits += gap < 0;
        ASSERT_EQ(TriBox(a, b, c, lo, hi), gap < 0) << "case " << i << " gap " << gap;
    }
    EXPECT_GT(checked, 19000);
    EXPECT_GT(hits, 2000);
}

TEST(TriangleIntersectsBox, FlatBoxAnswersLikeAThinOne) {
    // A cell of flat geometry: zero extent in z.
    P const lo = {0, 0, 0.1f}, hi = {1, 1, 0.1f};
    struct Case {
        P a, b, c;
        bool expected;
        char const* what;
    };
    Case const cases[] = {
        {{-5, -5, 0.1f}, {10, -5, 0.1f}, {-5, 10, 0.1f}, true, "covering the cell, no vertex or edge in it"},
        {{0.5f, 0.5f, 0.1f}, {3, 3, 0.1f}, {3, 4, 0.1f}, true, "a vertex in the cell"},
        {{2, 2, 0.1f}, {3, 2, 0.1f}, {2, 3, 0.1f}, false, "in the plane, off to the side"},
        {{-5, -5, 0.2f}, {10, -5, 0.2f}, {-5, 10, 0.2f}, false, "parallel, above"},
        {{-5, 0.5f, -1}, {5, 0.5f, -1}, {0, 0.5f, 1}, true, "standing across the cell"},
    };
    for (Case const& c : cases) EXPECT_EQ(TriBox(c.a, c.b, c.c, lo, hi), c.expected) << c.what;

    // Random triangles against flat boxes, judged by separating axes.
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> coord(-3.0f, 3.0f);
    int checked = 0;
    for (int i = 0; i < 5000; ++i) {
        int const flat = i % 3;
        P blo, bhi;
        for (int k = 0; k < 3; ++k) {
            blo[k] = coord(rng) * 0.3f;
            bhi[k] = k == flat ? blo[k] : blo[k] + 1.0f;
        }
        P a, b, c;
        for (int k = 0; k < 3; ++k) {
            a[k] = coord(rng);
            b[k] = coord(rng);
            c[k] = coord(rng);
        }
        // Half of them lie in the box's plane, where only the in-plane axes
        // can separate.
        D3 ignore = {0, 0, 0};
        if (i % 2) {
            a[flat] = b[flat] = c[flat] = blo[flat];
            (flat == 0 ? ignore.x : flat == 1 ? ignore.y : ignore.z) = 1.0;
        }
        double const gap = TriBoxGap(a, b, c, blo, bhi, ignore);
        if (std::fabs(gap) < 1e-3) continue;
        ++checked;
        ASSERT_EQ(TriBox(a, b, c, blo, bhi), gap < 0) << "case " << i;
    }
    EXPECT_GT(checked, 4500);
}

// ------------------------------------------------------------ triangles

TEST(IntersectTriangles, CrossingTrianglesGiveTheCommonSegment) {
    P const a0 = {0, 0, 0}, a1 = {4, 0, 0}, a2 = {0, 4, 0};
    P const b0 = {1, 1, -1}, b1 = {1, 1, 3}, b2 = {3, -1, 1};
    float p1[3], p2[3];
    EXPECT_EQ(TriTri(a0, a1, a2, b0, b1, b2, p1, p2), 1);
    std::vector<D3> const ta = {ToD(a0), ToD(a1), ToD(a2)}, tb = {ToD(b0), ToD(b1), ToD(b2)};
    for (float const* p : {p1, p2}) {
        D3 const q = {p[0], p[1], p[2]};
        EXPECT_LT(DistanceToTriangle(q, ta), 1e-5);
        EXPECT_LT(DistanceToTriangle(q, tb), 1e-5);
    }
    // The segment runs from (1, 1, 0) to (2, 0, 0).
    EXPECT_NEAR(std::fabs(p1[0] - p2[0]), 1.0f, 1e-5f);
    EXPECT_EQ(TriTri(a0, a1, a2, b0, b1, b2), 1);  // no output points
    EXPECT_TRUE(vo::TrianglesIntersect(a0.data(), a1.data(), a2.data(), b0.data(), b1.data(), b2.data(), nullptr,
                                       nullptr));
}

TEST(IntersectTriangles, CoplanarAndParallelCases) {
    P const a0 = {0, 0, 1}, a1 = {4, 0, 1}, a2 = {0, 4, 1};
    struct Case {
        P b0, b1, b2;
        int expected;
        char const* what;
    };
    Case const cases[] = {
        {{1, 1, 1}, {5, 1, 1}, {1, 5, 1}, 2, "coplanar, edges crossing"},
        {{0.5f, 0.5f, 1}, {1, 0.5f, 1}, {0.5f, 1, 1}, 2, "coplanar, one inside the other"},
        {{-1, -1, 1}, {10, -1, 1}, {-1, 10, 1}, 2, "coplanar, the other inside this one"},
        {{5, 5, 1}, {6, 5, 1}, {5, 6, 1}, 0, "coplanar, apart"},
        {{0, 0, 2}, {4, 0, 2}, {0, 4, 2}, 0, "parallel planes"},
        {{5, 5, -1}, {5, 5, 3}, {7, 3, 1}, 0, "crossing the plane away from the triangle"},
        {{2, 2, 0}, {2, 2, 2}, {6, -2, 1}, 1, "touching along the hypotenuse"},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(TriTri(a0, a1, a2, c.b0, c.b1, c.b2), c.expected) << c.what;
        EXPECT_EQ(vo::TrianglesIntersect(a0.data(), a1.data(), a2.data(), c.b0.data(), c.b1.data(), c.b2.data(),
                                         nullptr, nullptr),
                  c.expected == 1)
            << c.what;
    }
    float const n[3] = {0, 0, 1};
    P const b0 = {1, 1, 1}, b1 = {5, 1, 1}, b2 = {1, 5, 1};
    EXPECT_EQ(vo::IntersectCoplanarTriangles(n, a0.data(), a1.data(), a2.data(), b0.data(), b1.data(), b2.data()), 2);
}

TEST(IntersectTriangles, AgreesWithSeparatingAxesOnRandomCases) {
    std::mt19937 rng(77);
    std::uniform_real_distribution<float> coord(-2.0f, 2.0f);
    int checked = 0, hits = 0;
    for (int i = 0; i < 20000; ++i) {
        P a[3], b[3];
        for (auto& p : a)
            for (float& v : p) v = coord(rng);
        for (auto& p : b)
            for (float& v : p) v = coord(rng);
        std::vector<D3> const ta = {ToD(a[0]), ToD(a[1]), ToD(a[2])}, tb = {ToD(b[0]), ToD(b[1]), ToD(b[2])};
        double const gap = TriTriGap(ta, tb);
        if (std::fabs(gap) < 1e-3) continue;
        ++checked;
        float p1[3], p2[3];
        int const result = TriTri(a[0], a[1], a[2], b[0], b[1], b[2], p1, p2);
        ASSERT_EQ(result, gap < 0 ? 1 : 0) << "case " << i << " gap " << gap;
        if (result == 1) {
            ++hits;
            for (float const* p : {p1, p2}) {
                D3 const q = {p[0], p[1], p[2]};
                ASSERT_LT(DistanceToTriangle(q, ta), 1e-3) << "case " << i;
                ASSERT_LT(DistanceToTriangle(q, tb), 1e-3) << "case " << i;
            }
        }
    }
    EXPECT_GT(checked, 19000);
    EXPECT_GT(hits, 2000);
}

TEST(IntersectTriangles, CoplanarOverlapAgreesWithSeparatingAxes) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> coord(-2.0f, 2.0f);
    int overlaps = 0;
    for (int i = 0; i < 5000; ++i) {
        P a[3], b[3];
        for (auto& p : a) p = {coord(rng), coord(rng), 0.5f};
        for (auto& p : b) p = {coord(rng), coord(rng), 0.5f};
        std::vector<D3> const ta = {ToD(a[0]), ToD(a[1]), ToD(a[2])}, tb = {ToD(b[0]), ToD(b[1]), ToD(b[2])};
        // In one plane the separating axes are the edges' in-plane normals.
        std::vector<D3> axes;
        for (auto const* t : {&ta, &tb})
            for (int k = 0; k < 3; ++k) axes.push_back(Cross(Sub((*t)[(k + 1) % 3], (*t)[k]), D3{0, 0, 1}));
        double const gap = LargestGap(ta, tb, axes);
        if (std::fabs(gap) < 1e-3) continue;
        int const result = TriTri(a[0], a[1], a[2], b[0], b[1], b[2]);
        ASSERT_EQ(result, gap < 0 ? 2 : 0) << "case " << i;
        overlaps += result == 2;
    }
    EXPECT_GT(overlaps, 500);
}

}  // namespace
