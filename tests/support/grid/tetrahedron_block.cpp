#include "support/grid/tetrahedron_block.h"

#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "support/grid/test_tetrahedron.h"

#include <algorithm>
#include <array>
#include <utility>

namespace mg_test {

namespace {

using vector3 = mg::MathVector<3, float>;

double SignedVolume(const vector3& a, const vector3& b, const vector3& c, const vector3& d)
{
    const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const double w[3] = {d[0] - a[0], d[1] - a[1], d[2] - a[2]};
    return u[0] * (v[1] * w[2] - v[2] * w[1]) - u[1] * (v[0] * w[2] - v[2] * w[0]) +
           u[2] * (v[0] * w[1] - v[1] * w[0]);
}

}  // namespace

TetrahedronBlock::TetrahedronBlock(int nx, int ny, int nz, float spacing) : grid(mg::GRIDOPT_DEFAULT)
{
    grid.attach_to_vertices(mg::aPosition);
    aaPos.bind(grid.vertex_attachment_pipe(), mg::aPosition);

    const auto id = [&](int x, int y, int z) { return (z * (ny + 1) + y) * (nx + 1) + x; };
    for (int z = 0; z <= nz; ++z)
        for (int y = 0; y <= ny; ++y)
            for (int x = 0; x <= nx; ++x) {
                mg::Vertex* v = *grid.create<mg::RegularVertex>();
                aaPos[v] = vector3(x * spacing, y * spacing, z * spacing);
                vertices.push_back(v);
            }

    // Each cube: the six paths from its corner (0, 0, 0) to (1, 1, 1) along
    // the axes in every order.
    std::array<int, 3> axes = {0, 1, 2};
    for (int z = 0; z < nz; ++z)
        for (int y = 0; y < ny; ++y)
            for (int x = 0; x < nx; ++x) {
                std::sort(axes.begin(), axes.end());
                do {
                    int p[3] = {x, y, z};
                    mg::Vertex* c[4];
                    c[0] = vertices[id(p[0], p[1], p[2])];
                    for (int k = 0; k < 3; ++k) {
                        ++p[axes[k]];
                        c[k + 1] = vertices[id(p[0], p[1], p[2])];
                    }
                    if (SignedVolume(aaPos[c[0]], aaPos[c[1]], aaPos[c[2]], aaPos[c[3]]) < 0)
                        std::swap(c[1], c[2]);
                    auto* tet = new TestTetrahedron(c[0], c[1], c[2], c[3]);
                    grid.register_volume(tet);
                    tetrahedra.push_back(tet);
                } while (std::next_permutation(axes.begin(), axes.end()));
            }
}

}  // namespace mg_test
