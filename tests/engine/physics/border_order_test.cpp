#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/random.h"
#include "engine/physics/border_order.h"

namespace {

using vo::vector3;

// The walk as first written: every step scans the whole triangle list for
// the current point, and the outermost candidate is found by comparing every
// pair. Slow, plain, and the reference the edge map must match.
bool DirectWalk(const std::vector<vector3>& pos, const std::vector<int>& triangles, std::vector<int>& new_index) {
    const int border = static_cast<int>(pos.size());
    if (border < 2) return false;
    int start = 0;
    for (int i = 1; i < border; ++i) {
        const vector3& p = pos[i];
        const vector3& s = pos[start];
        if (p.y > s.y || (p.y == s.y && (std::fabs(p.x) < std::fabs(s.x) ||
                                         (std::fabs(p.x) == std::fabs(s.x) && p.x < s.x)))) {
            start = i;
        }
    }
    std::vector<int> order(pos.size(), -1);
    order[start] = 0;
    int count = 1;
    int current = start;
    vector3 direction(1.0f, 0.0f, 0.0f);
    while (count < border) {
        std::vector<int> candidates;
        for (std::size_t t = 0; t + 2 < triangles.size(); t += 3) {
            for (int k = 0; k < 3; ++k) {
                if (triangles[t + k] != current) continue;
                for (int m = 1; m <= 2; ++m) {
                    const int q = triangles[t + (k + m) % 3];
                    if (q >= 0 && q < border && order[q] == -1) candidates.push_back(q);
                }
            }
        }
        const vector3 c = pos[current];
        std::vector<int> filtered;
        int accepted = -1;
        for (int pass = 0; pass < 3 && accepted < 0; ++pass) {
            for (int q : candidates) {
                const vector3& pq = pos[q];
                if ((((pq.x - c.x) * direction.x + 0.0f) + (pq.y - c.y) * direction.y) + (pq.z - c.z) * direction.z >
                    0.0f) {
                    filtered.push_back(q);
                }
            }
            for (std::size_t j = 0; j < filtered.size() && accepted < 0; ++j) {
                const vector3& pj = pos[filtered[j]];
                bool outermost = true;
                for (std::size_t k = 0; k < filtered.size() && outermost; ++k) {
                    if (k == j) continue;
                    const vector3& pk = pos[filtered[k]];
                    const float side = (((pk.x - c.x) * -(pj.y - c.y) + 0.0f) + (pk.y - c.y) * (pj.x - c.x)) +
                                       (pk.z - c.z) * (pj.z - c.z);
                    if (!(side <= 0.0f)) outermost = false;
                }
                if (outermost) accepted = filtered[j];
            }
            if (accepted < 0) direction = vector3(direction.y, -direction.x, direction.z);
        }
        if (accepted < 0) return false;
        order[accepted] = count++;
        const vector3& pa = pos[accepted];
        float dx = pa.x - c.x, dy = pa.y - c.y, dz = pa.z - c.z;
        const float len = static_cast<float>(std::sqrt(static_cast<double>(((dx * dx + 0.0f) + dy * dy) + dz * dz)));
        if (len > 0.0f) {
            const float inv = 1.0f / len;
            dx = dx * inv;
            dy = dy * inv;
            dz = dz * inv;
        }
        direction = vector3(-dy, dx, dz);
        current = accepted;
    }
    new_index = order;
    return true;
}

float Coordinate(int spread) { return static_cast<float>(vo::Rand() % (2 * spread + 1) - spread) * 0.5f; }

// Random outlines and triangle soups (repeated points and triangles, indices
// beyond the border, points off the plane): the same order, or the same
// failure, as the direct walk.
TEST(BorderOrder, MatchesTheDirectWalk) {
    vo::SeedRand(4);
    int ordered = 0;
    for (int sample = 0; sample < 3000; ++sample) {
        const int border = 2 + vo::Rand() % 12;
        const int spread = 1 + vo::Rand() % 4;
        std::vector<vector3> pos;
        for (int i = 0; i < border; ++i) {
            pos.emplace_back(Coordinate(spread), Coordinate(spread), sample % 5 == 0 ? Coordinate(1) : 0.0f);
        }
        std::vector<int> triangles;
        if (sample % 2 == 0) {
            // A fan of the points in angular order around the centre, as
            // real outlines are, shuffled.
            std::vector<int> ids;
            for (int i = 0; i < border; ++i) ids.push_back(i);
            for (int i = border - 1; i > 0; --i) std::swap(ids[i], ids[vo::Rand() % (i + 1)]);
            for (int i = 0; i < border; ++i) {
                const float a = 6.2831855f * static_cast<float>(i) / static_cast<float>(border);
                pos[ids[i]] = vector3(std::sin(a) * spread, std::cos(a) * spread, pos[ids[i]].z);
                triangles.insert(triangles.end(), {ids[(i + 1) % border], ids[i], border});
            }
        }
        const int extra = vo::Rand() % (3 * border);
        for (int t = 0; t < extra * 3; ++t) triangles.push_back(vo::Rand() % (border + 2) - 1);

        std::vector<int> expected, got;
        const bool direct = DirectWalk(pos, triangles, expected);
        ASSERT_EQ(direct, vo::ClockwiseBorderOrder(pos.data(), border, triangles, got)) << "sample " << sample;
        if (direct) {
            ++ordered;
            ASSERT_EQ(expected, got) << "sample " << sample;
        }
    }
    EXPECT_GT(ordered, 1000);
}

}  // namespace
