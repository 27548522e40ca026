#include "game/level/mesh/level_disc.h"

#include "common/error.h"

#include <algorithm>
#include <cmath>

namespace vo {

namespace {

const double TWO_PI_F = 6.2831854820251465;  // 2 pi in single precision

// More rings than this would not fit into memory (about 12.6 million
// vertices at 2000 rings).
const double MAX_RINGS = 2000;

float dist_sq(const MeshVector& a, const MeshVector& b)
{
    const float dx = a[0] - b[0];
    const float dy = a[1] - b[1];
    const float dz = a[2] - b[2];
    return dx * dx + dy * dy + dz * dz;
}

}  // namespace

LevelDisc BuildLevelDisc(mg::Grid& grid, MeshPositions& position, const MeshVector& centre,
                         float radius, float spacing)
{
    const double numRings = static_cast<double>(radius) / spacing + 0.5;
    if (!std::isfinite(numRings) || !std::isfinite(radius) || numRings > MAX_RINGS)
        MG_THROW("a disc of radius " << radius << " and spacing " << spacing
                                     << " needs more than " << MAX_RINGS << " rings");

    LevelDisc disc;
    const int n = std::max(1, static_cast<int>(numRings));
    const float dr = radius / static_cast<float>(n);

    mg::Vertex* c = *grid.create<mg::RegularVertex>();
    position[c] = centre;
    disc.rings.push_back({c});

    for (int i = 1; i <= n; ++i) {
        const int m = static_cast<int>(i * TWO_PI_F);
        const float r = static_cast<float>(i) * dr;
        std::vector<mg::Vertex*> ring;
        ring.reserve(static_cast<size_t>(m));
        for (int j = 0; j < m; ++j) {
            mg::Vertex* v = *grid.create<mg::RegularVertex>();
            if (j == 0) {
                position[v] = MeshVector(centre[0], centre[1] + r, centre[2]);
            } else {
                const double a =
                    static_cast<double>(static_cast<float>(j) / static_cast<float>(m)) * TWO_PI_F;
                position[v] = MeshVector(static_cast<float>(centre[0] + std::sin(a) * r),
                                         static_cast<float>(centre[1] + std::cos(a) * r), centre[2]);
            }
            ring.push_back(v);
        }
        disc.rings.push_back(std::move(ring));
    }

    auto triangle = [&](mg::Vertex* a, mg::Vertex* b, mg::Vertex* d) {
        grid.create<mg::Triangle>(mg::TriangleDescriptor(a, b, d));
        ++disc.num_triangles;
    };

    // ring 1: a fan around the centre
    {
        const std::vector<mg::Vertex*>& ring = disc.rings[1];
        const size_t m = ring.size();
        for (size_t j = 0; j < m; ++j)
            triangle(c, ring[(j + 1) % m], ring[j]);
    }

    // every further ring: a zipper along the ring inside it
    for (int i = 2; i <= n; ++i) {
        const std::vector<mg::Vertex*>& inner = disc.rings[static_cast<size_t>(i - 1)];
        const std::vector<mg::Vertex*>& outer = disc.rings[static_cast<size_t>(i)];
        const size_t mp = inner.size();
        const size_t mq = outer.size();
        size_t pi = 0;
        size_t qi = 0;
        for (;;) {
            mg::Vertex* p = inner[pi];
            mg::Vertex* q = outer[qi];
            mg::Vertex* pNext = inner[(pi + 1) % mp];
            mg::Vertex* qNext = outer[(qi + 1) % mq];
            if (dist_sq(position[q], position[pNext]) > dist_sq(position[p], position[qNext])) {
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
    for (mg::Vertex* v : disc.rings.back()) {
        MeshVector& p = position[v];
        p = MeshVector(p[0] * 2, p[1] * 2, p[2] * 2);
    }
    return disc;
}

}  // namespace vo
