#include "engine/physics/border_order.h"

#include <cmath>
#include <cstddef>

namespace vo {

namespace {

// Where point k lies relative to the line from c towards point j: above 0 on
// its left (seen from c), that is outside of j for a clockwise walk.
float Side(const vector3& c, const vector3& pj, const vector3& pk) {
    const float nx = -(pj.y - c.y);
    const float ny = pj.x - c.x;
    const float nz = pj.z - c.z;
    return (((pk.x - c.x) * nx + 0.0f) + (pk.y - c.y) * ny) + (pk.z - c.z) * nz;
}

// For every border point, the border points it shares a triangle with, in
// the order a scan of the triangle list meets them (repeats kept): the
// neighbours of point p are neighbours[first[p] .. first[p + 1]).
struct EdgeMap {
    std::vector<int> first;
    std::vector<int> neighbours;

    EdgeMap(int border, const std::vector<int>& triangles) : first(static_cast<std::size_t>(border) + 1, 0) {
        const std::size_t corners = triangles.size() / 3 * 3;
        auto inside = [border](int q) { return q >= 0 && q < border; };
        auto each_edge = [&](auto&& visit) {
            for (std::size_t t = 0; t < corners; t += 3) {
                for (std::size_t k = 0; k < 3; ++k) {
                    const int owner = triangles[t + k];
                    if (!inside(owner)) continue;
                    for (std::size_t m = 1; m <= 2; ++m) {
                        const int q = triangles[t + (k + m) % 3];
                        if (inside(q)) visit(owner, q);
                    }
                }
            }
        };
        each_edge([&](int owner, int) { ++first[static_cast<std::size_t>(owner) + 1]; });
        for (std::size_t p = 1; p < first.size(); ++p) first[p] += first[p - 1];
        neighbours.resize(static_cast<std::size_t>(first.back()));
        std::vector<int> next(first.begin(), first.end() - 1);
        each_edge([&](int owner, int q) { neighbours[static_cast<std::size_t>(next[static_cast<std::size_t>(owner)]++)] = q; });
    }
};

}  // namespace

bool ClockwiseBorderOrder(const vector3* pos, int border, const std::vector<int>& triangles,
                          std::vector<int>& new_index) {
    if (border < 2) return false;

    // Start: the topmost border point; ties go to the one nearest the
    // vertical axis, then to the one on the negative side.
    int start = 0;
    for (int i = 1; i < border; ++i) {
        const vector3& p = pos[i];
        const vector3& s = pos[start];
        if (p.y > s.y) {
            start = i;
        } else if (p.y == s.y) {
            const float ap = std::fabs(p.x);
            const float as = std::fabs(s.x);
            if (ap < as || (ap == as && p.x < s.x)) start = i;
        }
    }

    const EdgeMap edges(border, triangles);
    std::vector<int> order(static_cast<std::size_t>(border), -1);
    order[static_cast<std::size_t>(start)] = 0;
    int count = 1;
    int current = start;
    vector3 direction(1.0f, 0.0f, 0.0f);

    std::vector<int> candidates;
    std::vector<int> filtered;
    while (count < border) {
        candidates.clear();
        const std::size_t from = static_cast<std::size_t>(edges.first[static_cast<std::size_t>(current)]);
        const std::size_t to = static_cast<std::size_t>(edges.first[static_cast<std::size_t>(current) + 1]);
        for (std::size_t e = from; e < to; ++e) {
            const int q = edges.neighbours[e];
            if (order[static_cast<std::size_t>(q)] == -1) candidates.push_back(q);
        }

        const vector3 c = pos[current];
        filtered.clear();
        int accepted = -1;
        for (int pass = 0; pass < 3 && accepted < 0; ++pass) {
            for (int q : candidates) {
                const vector3& pq = pos[q];
                const float ahead = (((pq.x - c.x) * direction.x + 0.0f) + (pq.y - c.y) * direction.y) +
                                    (pq.z - c.z) * direction.z;
                if (ahead > 0.0f) filtered.push_back(q);
            }
            // The outermost candidate: the first one with no other outside
            // of it. A witness found in one sweep rules most of them out at
            // once, so that a point with many triangles costs no more than
            // its triangles.
            const std::size_t n = filtered.size();
            std::size_t witness = 0;
            for (std::size_t k = 1; k < n; ++k) {
                if (!(Side(c, pos[filtered[witness]], pos[filtered[k]]) <= 0.0f)) witness = k;
            }
            for (std::size_t j = 0; j < n && accepted < 0; ++j) {
                const vector3& pj = pos[filtered[j]];
                if (j != witness && !(Side(c, pj, pos[filtered[witness]]) <= 0.0f)) continue;
                bool outermost = true;
                for (std::size_t k = 0; k < n && outermost; ++k) {
                    if (k == j) continue;
                    if (!(Side(c, pj, pos[filtered[k]]) <= 0.0f)) outermost = false;
                }
                if (outermost) accepted = filtered[j];
            }
            if (accepted < 0) {
                // A quarter turn clockwise; the filtered list is kept.
                direction = vector3(direction.y, -direction.x, direction.z);
            }
        }
        if (accepted < 0) return false;

        order[static_cast<std::size_t>(accepted)] = count;
        ++count;
        const vector3& pa = pos[accepted];
        float dx = pa.x - c.x;
        float dy = pa.y - c.y;
        float dz = pa.z - c.z;
        const float len2 = ((dx * dx + 0.0f) + dy * dy) + dz * dz;
        const float len = static_cast<float>(std::sqrt(static_cast<double>(len2)));
        if (len > 0.0f) {
            const float inv = 1.0f / len;
            dx = dx * inv;
            dy = dy * inv;
            dz = dz * inv;
        }
        direction = vector3(-dy, dx, dz);
        current = accepted;
    }
    new_index.swap(order);
    return true;
}

}  // namespace vo
