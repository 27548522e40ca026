#include "engine/scene/closest_point_on_triangle.h"

#include <cmath>

namespace vo {

namespace {

float Distance(const vector3& p, const vector3& q) {
    const float dx = p.x - q.x, dy = p.y - q.y, dz = p.z - q.z;
    return static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy + dz * dz)));
}

// Nearest point of the segment e-f to q: the parameter p in [0, 1] and the
// distance. A side shorter than about 1e-3 counts as its start point.
float ClosestOnSide(float& p, vector3& point, const vector3& q, const vector3& e, const vector3& f) {
    const float fx = f.x - e.x, fy = f.y - e.y, fz = f.z - e.z;
    const float len2 = fx * fx + fy * fy + fz * fz;
    p = 0.0f;
    if (std::fabs(len2) > 1e-6f) p = ((q.x - e.x) * fx + (q.y - e.y) * fy + (q.z - e.z) * fz) / len2;
    if (p > 1.0f)
        p = 1.0f;
    else if (!(p >= 0.0f))
        p = 0.0f;
    point = vector3(e.x + p * fx, e.y + p * fy, e.z + p * fz);
    return Distance(q, point);
}

}  // namespace

bool ProjectPointOntoTriangle(vector3& point, float& s, float& t, const vector3& q, const vector3& a,
                              const vector3& b, const vector3& c, const vector3& direction) {
    // Rows are the axes; columns the unknowns s, t, u; r the right side.
    float m[3][3];
    float r[3];
    for (unsigned int i = 0; i < 3; ++i) {
        m[i][0] = b[i] - a[i];
        m[i][1] = c[i] - a[i];
        m[i][2] = -direction[i];
        r[i] = q[i] - a[i];
    }
    s = t = 0.0f;
    float u = 0.0f;

    int p = 0;
    for (int i = 1; i < 3; ++i)
        if (std::fabs(m[i][0]) > std::fabs(m[p][0])) p = i;
    if (m[p][0] == 0.0f) return false;
    for (int i = 0; i < 3; ++i) {
        if (i == p || m[i][0] == 0.0f) continue;
        const float f = -(m[i][0] / m[p][0]);
        for (int k = 0; k < 3; ++k) m[i][k] += f * m[p][k];
        r[i] += f * r[p];
    }

    const int r1 = (p + 1) % 3, r2 = (p + 2) % 3;
    const int p2 = std::fabs(m[r2][1]) > std::fabs(m[r1][1]) ? r2 : r1;
    const int p3 = p2 == r1 ? r2 : r1;
    if (m[p2][1] != 0.0f && m[p3][1] != 0.0f) {
        const float f = -(m[p3][1] / m[p2][1]);
        for (int k = 1; k < 3; ++k) m[p3][k] += f * m[p2][k];
        r[p3] += f * r[p2];
    }

    if (m[p3][2] != 0.0f)
        u = r[p3] / m[p3][2];
    else if (r[p3] != 0.0f)
        return false;

    const float rest_t = r[p2] - m[p2][2] * u;
    if (m[p2][1] != 0.0f)
        t = rest_t / m[p2][1];
    else if (rest_t != 0.0f)
        return false;

    s = (r[p] - m[p][1] * t - m[p][2] * u) / m[p][0];

    const float eps = 1e-6f;
    if (!(s >= -eps && t >= -eps && static_cast<double>(s) + static_cast<double>(t) <= 1.0 + static_cast<double>(eps)))
        return false;
    point = vector3(q.x + u * direction.x, q.y + u * direction.y, q.z + u * direction.z);
    return true;
}

float ClosestPointOnTriangle(vector3& point, float& s, float& t, const vector3& q, const vector3& a,
                             const vector3& b, const vector3& c, const vector3& normal) {
    if (ProjectPointOntoTriangle(point, s, t, q, a, b, c, normal)) return Distance(point, q);

    // The foot lies outside the triangle (or the triangle is degenerate): the
    // nearest point is on one of its sides.
    float p;
    vector3 x;
    float best = ClosestOnSide(p, x, q, a, b);
    point = x;
    s = p;
    t = 0.0f;
    float d = ClosestOnSide(p, x, q, a, c);
    if (d < best) {
        best = d;
        point = x;
        s = 0.0f;
        t = p;
    }
    d = ClosestOnSide(p, x, q, b, c);
    if (d < best) {
        best = d;
        point = x;
        s = 1.0f - p;
        t = p;
    }
    return best;
}

}  // namespace vo
