#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "engine/core/error.h"
#include "engine/physics/particle_grid.h"
#include "engine/physics/particle_handler.h"

namespace {

using vo::ParticleGrid;
using vo::ParticleHandler;
using vo::Rect;
using vo::Sphere;
using vo::vector2;
using vo::vector3;

// A handler holding never-ending particles at the given points.
class PointHandler : public ParticleHandler {
public:
    explicit PointHandler(const std::vector<vector2>& points) {
        ParticleDesc d;
        d.massInv = 1.0;
        set_particle_desc(d);
        std::vector<vo::ParticleSource::ParticleDesc> descs(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) descs[i].position = vector3(points[i]);
        create_particles(static_cast<unsigned int>(descs.size()), descs.data());
    }
};

class WrappingGrid : public ParticleGrid {
public:
    using ParticleGrid::generation;
    using ParticleGrid::set_generation;
};

std::vector<unsigned int> Indices(const std::vector<ParticleGrid::Entry>& entries) {
    std::vector<unsigned int> out;
    for (const auto& e : entries) out.push_back(e.index);
    return out;
}

TEST(ParticleGrid, NewGridHasOneEmptyCellAndFindsNothing) {
    ParticleGrid g;
    EXPECT_EQ(g.num_columns(), 1u);
    EXPECT_EQ(g.num_rows(), 1u);
    EXPECT_EQ(g.cell_width(), 0.0f);
    PointHandler h({vector2(0, 0)});
    g.insert_particle(&h, 0);
    EXPECT_EQ(g.entries().size(), 1u);
    std::vector<ParticleGrid::Entry> out;
    EXPECT_EQ(g.collect_particles(out, Sphere(vector3(), 10.0f), true), 0u);
    EXPECT_TRUE(out.empty());
}

TEST(ParticleGrid, PointsGoToTheCellsTheirTruncatedCoordinatesName) {
    ParticleGrid g;
    g.set_resolution(10, 10);
    g.set_bounding_box(Rect(0, 0, 10, 10));
    EXPECT_EQ(g.cell_width(), 1.0f);
    const struct {
        vector2 p;
        int cell;
    } cases[] = {
        {vector2(3.5f, 7.2f), 73},  {vector2(-0.5f, 2.0f), 20},  // truncation toward zero
        {vector2(10.0f, 5.0f), -1}, {vector2(0.0f, 0.0f), 0},
        {vector2(9.99f, 9.99f), 99}, {vector2(-1.5f, 2.0f), -1},
        {vector2(5.0f, -0.99f), 5}, {vector2(1e30f, 1.0f), -1},
        {vector2(std::numeric_limits<float>::quiet_NaN(), 1.0f), -1},
    };
    for (const auto& c : cases) EXPECT_EQ(g.cell_index(c.p.x, c.p.y), c.cell) << c.p.x << ", " << c.p.y;

    // Outside points are appended but found by no query.
    PointHandler h({vector2(10.0f, 5.0f), vector2(9.5f, 5.0f)});
    g.insert_particle(&h, 0);
    g.insert_particle(&h, 1);
    EXPECT_EQ(g.entries().size(), 2u);
    std::vector<ParticleGrid::Entry> out;
    EXPECT_EQ(g.collect_particles(out, Sphere(vector3(10, 5, 0), 1.0f), true), 1u);
    EXPECT_EQ(Indices(out), std::vector<unsigned int>{1});
}

TEST(ParticleGrid, QueryOrderIsRowByRowAndNewestFirstInACell) {
    ParticleGrid g;
    g.set_resolution(10, 10);
    g.set_bounding_box(Rect(0, 0, 10, 10));
    // Slots 0, 1 in cell (5, 5); 2 in (4, 5); 3 in (5, 4); 4 at distance 1.
    PointHandler h({vector2(5.2f, 5.2f), vector2(5.7f, 5.1f), vector2(4.5f, 5.5f), vector2(5.5f, 4.5f),
                    vector2(6.0f, 5.0f), vector2(6.1f, 5.0f)});
    for (unsigned int i = 0; i < 6; ++i) g.insert_particle(&h, i);
    std::vector<ParticleGrid::Entry> out;
    EXPECT_EQ(g.collect_particles(out, Sphere(vector3(5, 5, 0), 1.0f), true), 5u);
    EXPECT_EQ(Indices(out), (std::vector<unsigned int>{3, 2, 1, 0, 4}));
    EXPECT_EQ(out[0].x, 5.5f);
    EXPECT_EQ(out[0].handler, &h);

    // Without clearing, the results are appended and only those are counted.
    EXPECT_EQ(g.collect_particles(out, Sphere(vector3(6.1f, 5, 0), 0.05f), false), 1u);
    EXPECT_EQ(out.size(), 6u);
    EXPECT_EQ(out.back().index, 5u);
}

TEST(ParticleGrid, AgreesWithABruteForceFilter) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> coord(-20.0f, 20.0f);
    std::uniform_real_distribution<float> radius(0.0f, 8.0f);
    std::uniform_int_distribution<int> res(1, 16);
    for (int round = 0; round < 20; ++round) {
        float x0 = coord(rng), x1 = coord(rng), y0 = coord(rng), y1 = coord(rng);
        if (x1 < x0) std::swap(x0, x1);
        if (y1 < y0) std::swap(y0, y1);
        const Rect rect(x0, y0, x1, y1);
        std::vector<vector2> points(500);
        const unsigned int columns = static_cast<unsigned int>(res(rng));
        const unsigned int rows = static_cast<unsigned int>(res(rng));
        const float cw = (x1 - x0) / static_cast<float>(columns);
        const float ch = (y1 - y0) / static_cast<float>(rows);
        // Points inside the rectangle or clear of it; the band of less than
        // a cell below its min truncates into the first cells, which a query
        // reaches only from inside (the physics handler's rectangle always
        // holds every particle).
        for (auto& p : points) {
            do {
                p = vector2(coord(rng), coord(rng));
            } while (((p.x - x0) / cw > -1.0f && p.x < x0) || ((p.y - y0) / ch > -1.0f && p.y < y0));
        }
        PointHandler h(points);
        ParticleGrid g;
        g.set_resolution(columns, rows);
        g.set_bounding_box(rect);
        for (unsigned int i = 0; i < points.size(); ++i) g.insert_particle(&h, i);

        std::vector<ParticleGrid::Entry> out;
        for (int q = 0; q < 50; ++q) {
            Sphere s(vector3(coord(rng), coord(rng), 0.0f), radius(rng));
            if (q % 10 == 0) {
                // A point exactly on the sphere.
                const vector2& p = points[static_cast<std::size_t>(q)];
                s = Sphere(vector3(p.x - 3.0f, p.y, 0.0f), 3.0f);
            }
            g.collect_particles(out, s, true);
            std::vector<unsigned int> got = Indices(out);
            std::sort(got.begin(), got.end());
            std::vector<unsigned int> want;
            for (unsigned int i = 0; i < points.size(); ++i) {
                // Linked: the truncated cell coordinates lie in the grid.
                const float qx = (points[i].x - x0) / g.cell_width();
                const float qy = (points[i].y - y0) / g.cell_height();
                const bool linked = qx >= 0.0f && qx < static_cast<float>(g.num_columns()) && qy >= 0.0f &&
                                    qy < static_cast<float>(g.num_rows());
                if (linked && s.contains_point(points[i])) {
                    want.push_back(i);
                }
            }
            ASSERT_EQ(got, want) << "round " << round << " query " << q;
        }
    }
}

// The cell range of a query box on one axis, as the cells are walked:
// first = max(0, trunc(q(min))), end = min(count, trunc(q(max) + 1)).
std::pair<int, int> CellRange(float lo, float hi, float origin, float size, unsigned int count) {
    auto to_int = [count](float q) {
        return q < -1.0f ? -1 : q > static_cast<float>(count) + 1.0f ? static_cast<int>(count) + 1 : static_cast<int>(q);
    };
    return {std::max(0, to_int((lo - origin) / size)), std::min(static_cast<int>(count), to_int((hi - origin) / size + 1.0f))};
}

// A query walks the cells in its range row by row, column by column, and
// each cell's chain from its newest entry; the grid may find the entries
// any way it likes, but must give exactly these in exactly this order, also
// when it searches the sub-cells of its crowded cells. The points sit on
// cell and quarter-cell borders, in the band below the grid that is filed
// into its first cells, and outside it; the spheres touch points exactly
// and are centred on borders.
TEST(ParticleGrid, FindsEntriesInTheOrderOfTheCellChains) {
    std::mt19937 rng(3);
    const struct {
        unsigned int columns, rows;
        Rect rect;
    } grids[] = {{10, 10, Rect(-3, -2, 21, 17)}, {3, 7, Rect(0, 0, 9, 7)}, {1, 1, Rect(-1, -1, 1, 1)},
                 {40, 40, Rect(0, 0, 20, 20)}, {2, 2, Rect(0, 0, 8, 8)}};
    // No sub-cells, and sub-cells a fifth, a twentieth and a hundredth of a
    // cell wide (the last held to four per entry).
    const float splits[] = {0.0f, 0.2f, 0.05f, 0.01f};
    for (const auto& grid : grids) {
        const float x0 = grid.rect.min().x, y0 = grid.rect.min().y;
        const float w = grid.rect.max().x - x0, h = grid.rect.max().y - y0;
        std::uniform_real_distribution<float> along(-0.2f, 1.2f);
        std::uniform_int_distribution<int> quarter(-4, 4 * 40 + 4);
        std::vector<vector2> points;
        for (int i = 0; i < 600; ++i) {
            vector2 p(x0 + w * along(rng), y0 + h * along(rng));
            // Every third on a quarter-cell border in x, every fifth in y.
            if (i % 3 == 0) p.x = x0 + w / static_cast<float>(grid.columns) * 0.25f * static_cast<float>(quarter(rng) % (4 * grid.columns + 4));
            if (i % 5 == 0) p.y = y0 + h / static_cast<float>(grid.rows) * 0.25f * static_cast<float>(quarter(rng) % (4 * grid.rows + 4));
            points.push_back(p);
        }
        PointHandler handler(points);
        ParticleGrid g;
        g.set_resolution(grid.columns, grid.rows);
        g.set_bounding_box(grid.rect);
        for (unsigned int i = 0; i < points.size(); ++i) g.insert_particle(&handler, i);

        std::uniform_real_distribution<float> radius(0.0f, 0.3f * std::max(w, h));
        std::vector<ParticleGrid::Entry> out;
        for (int q = 0; q < 200; ++q) {
            vector3 c(x0 + w * along(rng), y0 + h * along(rng), 0.0f);
            float r = radius(rng);
            if (q % 4 == 1) {  // through a point
                const vector2& p = points[static_cast<std::size_t>(q)];
                c = vector3(p.x - r, p.y, 0.0f);
            } else if (q % 4 == 2) {  // centred on a point on the borders
                c = vector3(points[static_cast<std::size_t>(3 * q)]);
            } else if (q % 8 == 3) {
                r = 0.0f;
                c = vector3(points[static_cast<std::size_t>(q)]);
            }
            const Sphere s(c, r);
            std::vector<unsigned int> want;
            const auto columns = CellRange(c.x - r, c.x + r, x0, g.cell_width(), g.num_columns());
            const auto rows = CellRange(c.y - r, c.y + r, y0, g.cell_height(), g.num_rows());
            for (int row = rows.first; row < rows.second; ++row) {
                for (int column = columns.first; column < columns.second; ++column) {
                    const int cell = row * static_cast<int>(g.num_columns()) + column;
                    for (std::size_t e = g.entries().size(); e-- > 0;) {
                        const ParticleGrid::Entry& entry = g.entries()[e];
                        if (g.cell_index(entry.x, entry.y) == cell && s.contains_point(vector2(entry.x, entry.y))) {
                            want.push_back(entry.index);
                        }
                    }
                }
            }
            for (float split : splits) {
                g.set_search_radius(split * g.cell_width());
                g.collect_particles(out, s, true);
                ASSERT_EQ(Indices(out), want) << grid.columns << " x " << grid.rows << ", query " << q << ", split " << split;
                // The in-place form finds the same.
                const unsigned int found = g.find_particles(s);
                ASSERT_EQ(found, want.size());
                for (unsigned int k = 0; k < found; ++k) ASSERT_EQ(g.entries()[g.found_particles()[k]].index, want[k]);
            }
            if (grid.columns * grid.rows <= 4) {
                EXPECT_GT(g.num_split_cells(), 0u) << grid.columns << " x " << grid.rows;
            }
        }
    }
}

TEST(ParticleGrid, ABadBoxThrowsAndKeepsTheResolution) {
    ParticleGrid g;
    g.set_resolution(10, 10);
    try {
        g.set_bounding_box(Rect(0, 0, -1, 5));
        FAIL() << "no error";
    } catch (const vo::Error& e) {
        EXPECT_STREQ(e.message(), "Bad bounding box specified for ParticleGrid!");
    }
    EXPECT_EQ(g.num_columns(), 10u);
    EXPECT_THROW(g.set_bounding_box(Rect(0, 3, 1, 2)), vo::Error);
}

TEST(ParticleGrid, DegenerateExtentsLinkNothingAndFindNothing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (const Rect& r : {Rect(0, 0, 0, 10), Rect(0, 0, nan, 1), Rect(-inf, 0, inf, 1)}) {
        ParticleGrid g;
        g.set_resolution(10, 10);
        g.set_bounding_box(r);
        PointHandler h({vector2(0, 0), vector2(0.5f, 0.5f)});
        g.insert_particle(&h, 0);
        g.insert_particle(&h, 1);
        std::vector<ParticleGrid::Entry> out;
        EXPECT_EQ(g.collect_particles(out, Sphere(vector3(), 100.0f), true), 0u);
    }
    // A query that is not a number finds nothing either.
    ParticleGrid g;
    g.set_resolution(10, 10);
    g.set_bounding_box(Rect(0, 0, 10, 10));
    PointHandler h({vector2(5, 5)});
    g.insert_particle(&h, 0);
    std::vector<ParticleGrid::Entry> out;
    EXPECT_EQ(g.collect_particles(out, Sphere(vector3(nan, 5, 0), 1.0f), true), 0u);
    EXPECT_EQ(g.collect_particles(out, Sphere(vector3(5, 5, 0), inf), true), 1u);
}

TEST(ParticleGrid, ClearingEmptiesEveryCellAndSurvivesTheCounterWrap) {
    WrappingGrid g;
    g.set_resolution(10, 10);
    g.set_bounding_box(Rect(0, 0, 10, 10));
    PointHandler h({vector2(5, 5), vector2(1, 1)});
    std::vector<ParticleGrid::Entry> out;

    g.set_generation(0xFFFFFFFEu);
    g.insert_particle(&h, 0);  // cell 55 stamped 0xFFFFFFFE
    g.clear();                 // 0xFFFFFFFF
    EXPECT_EQ(g.collect_particles(out, Sphere(vector3(5, 5, 0), 1.0f), true), 0u);
    g.insert_particle(&h, 1);  // cell 11 stamped 0xFFFFFFFF
    g.clear();                 // wraps: every cell reset, generation 1
    EXPECT_EQ(g.generation(), 1u);
    EXPECT_TRUE(g.entries().empty());
    EXPECT_EQ(g.collect_particles(out, Sphere(vector3(1, 1, 0), 1.0f), true), 0u);
    g.clear();  // 2
    g.clear();  // 3
    // No stale cell is taken as current.
    EXPECT_EQ(g.collect_particles(out, Sphere(vector3(5, 5, 0), 10.0f), true), 0u);
    g.insert_particle(&h, 0);
    EXPECT_EQ(g.collect_particles(out, Sphere(vector3(5, 5, 0), 10.0f), true), 1u);
}

}  // namespace
