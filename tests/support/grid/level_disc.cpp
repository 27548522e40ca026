#include "support/grid/level_disc.h"

#include "dez_odor/grid/global_attachments.h"

#include <algorithm>
#include <cmath>

namespace mg_test {

using namespace mg;

namespace {

const double TWO_PI_F = 6.2831854820251465;  // 2 pi in single precision

float dist_sq(const vector3& a, const vector3& b)
{
    const float dx = a[0] - b[0];
    const float dy = a[1] - b[1];
    const float dz = a[2] - b[2];
    return dx * dx + dy * dy + dz * dz;
}

}  // namespace

LevelDisc BuildLevelDisc(Grid& grid, PositionAccessor& aaPos, const vector3& centre, float radius,
                         float spacing)
{
    LevelDisc disc;
    const int n = std::max(1, static_cast<int>(static_cast<double>(radius) / spacing + 0.5));
    const float dr = radius / static_cast<float>(n);

    Vertex* c = *grid.create<RegularVertex>();
    aaPos[c] = centre;
    disc.rings.push_back({c});

    for (int i = 1; i <= n; ++i) {
        const int m = static_cast<int>(i * TWO_PI_F);
        const float r = static_cast<float>(i) * dr;
        std::vector<Vertex*> ring;
        ring.reserve(static_cast<size_t>(m));
        for (int j = 0; j < m; ++j) {
            Vertex* v = *grid.create<RegularVertex>();
            if (j == 0) {
                aaPos[v] = vector3(centre[0], centre[1] + r, centre[2]);
            } else {
                const double a =
                    static_cast<double>(static_cast<float>(j) / static_cast<float>(m)) * TWO_PI_F;
                aaPos[v] = vector3(static_cast<float>(centre[0] + std::sin(a) * r),
                                   static_cast<float>(centre[1] + std::cos(a) * r), centre[2]);
            }
            ring.push_back(v);
        }
        disc.rings.push_back(std::move(ring));
    }

    auto triangle = [&](Vertex* a, Vertex* b, Vertex* d) {
        grid.create<Triangle>(TriangleDescriptor(a, b, d));
        ++disc.num_triangles;
    };

    // ring 1: a fan around the centre
    {
        const std::vector<Vertex*>& ring = disc.rings[1];
        const size_t m = ring.size();
        for (size_t j = 0; j < m; ++j)
            triangle(c, ring[(j + 1) % m], ring[j]);
    }

    // every further ring: a zipper along the ring inside it
    for (int i = 2; i <= n; ++i) {
        const std::vector<Vertex*>& inner = disc.rings[static_cast<size_t>(i - 1)];
        const std::vector<Vertex*>& outer = disc.rings[static_cast<size_t>(i)];
        const size_t mp = inner.size();
        const size_t mq = outer.size();
        size_t pi = 0;
        size_t qi = 0;
        for (;;) {
            Vertex* p = inner[pi];
            Vertex* q = outer[qi];
            Vertex* pNext = inner[(pi + 1) % mp];
            Vertex* qNext = outer[(qi + 1) % mq];
            if (dist_sq(aaPos[q], aaPos[pNext]) > dist_sq(aaPos[p], aaPos[qNext])) {
                triangle(p, qNext, q);
                if (++qi == mq) {
                    if (pi == 0)
                        break;
                    qi = 0;
                }
            } else {
                triangle(p, pNext, q);
                if (++pi == mp) {
                    if (qi == 0)
                        break;
                    pi = 0;
                }
            }
        }
    }

    // the outer border moves out to twice the radius
    for (Vertex* v : disc.rings.back()) {
        vector3& p = aaPos[v];
        p = vector3(p[0] * 2, p[1] * 2, p[2] * 2);
    }
    return disc;
}

LevelDiscGrid::LevelDiscGrid(float radius, float spacing, unsigned int options) : grid(options)
{
    grid.attach_to_vertices(aPosition);
    aaPos.bind(grid.vertex_attachment_pipe(), aPosition);
    disc = BuildLevelDisc(grid, aaPos, vector3(0, 0, 0), radius, spacing);
}

}  // namespace mg_test
