#include "engine/physics/particle_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/core/error.h"
#include "engine/core/profiler.h"
#include "engine/physics/particle_handler.h"

namespace vo {

namespace {

// A cell coordinate quotient brought into [-1, count + 1], so that converting
// it to int is defined whatever the point; NaN is left for the caller.
float ClampQuotient(float q, unsigned int count) {
    const float hi = static_cast<float>(count) + 1.0f;
    if (q < -1.0f) return -1.0f;
    if (q > hi) return hi;
    return q;
}

bool UsableCellSize(float s) { return s != 0.0f && std::isfinite(s); }

// A cell is split for the search when it holds at least kCrowdedCell
// entries spread over at least kCrowdedArea squared search radii: a query
// reads about nine sub-cells of a radius across, and the entries it finds
// there have to be put back into the chain's order, which costs some eight
// times as much per entry as reading one; below that the cell is read whole
// faster. No more than kSubCellsPerEntry sub-cells per entry.
constexpr unsigned int kCrowdedCell = 128;
constexpr float kCrowdedArea = 64.0f;
constexpr unsigned int kSubCellsPerEntry = 4;

// Sub-cells of about the search radius across an extent.
unsigned int SubDivisions(float extent, float radius) {
    const float q = extent / radius;
    if (!(q >= 2.0f)) return 1;  // also NaN
    return q < 4096.0f ? static_cast<unsigned int>(q) : 4096u;
}

// The sub-cell of a coordinate, counted from origin in steps of size and
// clamped to the count; never decreases as v grows, so the sub-cells of a
// query's bounds enclose those of every point between them.
unsigned int SubIndex(float v, float origin, float size, unsigned int count) {
    const float q = (v - origin) / size;
    if (!(q >= 1.0f)) return 0;  // also NaN
    if (!(q < static_cast<float>(count))) return count - 1;
    return static_cast<unsigned int>(q);
}

// Appends to found, from n on, ids[k] for every k in [begin, end) whose
// point (xs[k], ys[k]) lies within the circle around (cx, cy) whose squared
// radius is r2, in order; the new count. Writes up to three places past the
// last point found.
unsigned int ScanRun(const float* xs, const float* ys, const unsigned int* ids, unsigned int begin, unsigned int end,
                     float cx, float cy, float r2, unsigned int* found, unsigned int n) {
    unsigned int k = begin;
#if defined(__SSE2__)
    // Four points at a time; the same operations in the same order as
    // the scalar test, so the same points pass. The entries that pass
    // are packed without branches.
    const __m128 vcx = _mm_set1_ps(cx);
    const __m128 vcy = _mm_set1_ps(cy);
    const __m128 vr2 = _mm_set1_ps(r2);
    for (; k + 4 <= end; k += 4) {
        const __m128 dx = _mm_sub_ps(vcx, _mm_loadu_ps(xs + k));
        const __m128 dy = _mm_sub_ps(vcy, _mm_loadu_ps(ys + k));
        const __m128 d2 = _mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy));
        const unsigned int mask = static_cast<unsigned int>(_mm_movemask_ps(_mm_cmple_ps(d2, vr2)));
        found[n] = ids[k];
        n += mask & 1u;
        found[n] = ids[k + 1];
        n += (mask >> 1) & 1u;
        found[n] = ids[k + 2];
        n += (mask >> 2) & 1u;
        found[n] = ids[k + 3];
        n += (mask >> 3) & 1u;
    }
#endif
    for (; k < end; ++k) {
        const float dx = cx - xs[k];
        const float dy = cy - ys[k];
        if (dx * dx + dy * dy <= r2) found[n++] = ids[k];
    }
    return n;
}

}  // namespace

ParticleGrid::ParticleGrid() { set_resolution(1, 1); }

ParticleGrid::~ParticleGrid() = default;

void ParticleGrid::set_resolution(unsigned int columns, unsigned int rows) {
    VO_PROFILE_ZONE("vo::ParticleGrid::set_resolution");
    clear();
    columns_ = columns;
    rows_ = rows;
    cells_.resize(static_cast<std::size_t>(columns) * rows);
    cell_width_ = 0.0f;
    cell_height_ = 0.0f;
    if (columns != 0) cell_width_ = (rect_.max().x - rect_.min().x) / static_cast<float>(columns);
    if (rows != 0) cell_height_ = (rect_.max().y - rect_.min().y) / static_cast<float>(rows);
    if (cell_width_ < 0.0f || cell_height_ < 0.0f) throw Error("Bad bounding box specified for ParticleGrid!");
}

void ParticleGrid::set_bounding_box(const Rect& rect) {
    rect_ = rect;
    set_resolution(columns_, rows_);
}

void ParticleGrid::set_search_radius(float radius) {
    if (radius == search_radius_) return;
    search_radius_ = radius;
    layout_current_ = false;
}

void ParticleGrid::clear() {
    VO_PROFILE_ZONE("vo::ParticleGrid::clear");
    entries_.clear();
    entry_cell_.clear();
    layout_current_ = false;
    ++generation_;
    if (generation_ == 0) {
        for (Cell& c : cells_) c.generation = 0;
        generation_ = 1;
    }
}

int ParticleGrid::cell_index(float x, float y) const {
    if (!UsableCellSize(cell_width_) || !UsableCellSize(cell_height_)) return -1;
    const float qx = (x - rect_.min().x) / cell_width_;
    const float qy = (y - rect_.min().y) / cell_height_;
    if (std::isnan(qx) || std::isnan(qy)) return -1;
    const int column = static_cast<int>(ClampQuotient(qx, columns_));
    const int row = static_cast<int>(ClampQuotient(qy, rows_));
    if (column < 0 || row < 0 || column >= static_cast<int>(columns_) || row >= static_cast<int>(rows_)) return -1;
    return static_cast<int>(columns_) * row + column;
}

void ParticleGrid::insert_particle(ParticleHandler* h, unsigned int i) {
    const vector3 p = h->position(i);
    const unsigned int k = static_cast<unsigned int>(entries_.size());
    entries_.push_back(Entry{h, i, p.x, p.y, kEndOfChain});
    const int c = cell_index(p.x, p.y);
    entry_cell_.push_back(c);
    layout_current_ = false;
    if (c < 0) return;
    Cell& cell = cells_[static_cast<std::size_t>(c)];
    if (cell.generation != generation_) {
        cell.first = k;
        cell.generation = generation_;
    } else {
        entries_[k].next = cell.first;
        cell.first = k;
    }
}

void ParticleGrid::build_query_layout() {
    const std::size_t cells = cells_.size();
    cell_start_.assign(cells + 1, 0);
    for (int c : entry_cell_) {
        if (c >= 0) ++cell_start_[static_cast<std::size_t>(c) + 1];
    }
    for (std::size_t k = 0; k < cells; ++k) cell_start_[k + 1] += cell_start_[k];
    const std::size_t linked = cell_start_[cells];
    sorted_.resize(linked);
    sorted_x_.resize(linked);
    sorted_y_.resize(linked);
    // A query finds each linked entry at most once; the four-point test
    // below writes up to three places past its last find.
    if (found_.size() < linked + 4) found_.resize(linked + 4);
    // Newest first within a cell, as the chains run: fill from the back.
    std::vector<unsigned int>& fill = scratch_fill_;
    fill.assign(cell_start_.begin(), cell_start_.end() - 1);
    for (std::size_t e = entries_.size(); e-- > 0;) {
        const int c = entry_cell_[e];
        if (c < 0) continue;
        const unsigned int slot = fill[static_cast<std::size_t>(c)]++;
        sorted_[slot] = static_cast<unsigned int>(e);
        sorted_x_[slot] = entries_[e].x;
        sorted_y_[slot] = entries_[e].y;
    }
    build_sub_cells();
    layout_current_ = true;
}

void ParticleGrid::build_sub_cells() {
    const std::size_t cells = cells_.size();
    sub_grids_.clear();
    sub_start_.clear();
    cell_sub_grid_.assign(cells, -1);
    const float radius = search_radius_;
    if (!(radius > 0.0f) || !std::isfinite(radius)) return;
    // Room for every cell to be split, so that a fluid whose cells grow
    // crowded over time is searched without allocating.
    const std::size_t linked = cell_start_[cells];
    sub_grids_.reserve(cells);
    sub_start_.reserve(kSubCellsPerEntry * linked + cells);
    sub_position_.reserve(linked);
    sub_x_.reserve(linked);
    sub_y_.reserve(linked);
    scratch_fill_.reserve(kSubCellsPerEntry * linked);
    found_bits_.reserve((linked + 63) / 64);
    found_words_.reserve((linked + 4095) / 4096);

    unsigned int total = 0;
    unsigned int most = 0;
    for (std::size_t k = 0; k < cells; ++k) {
        const unsigned int begin = cell_start_[k];
        const unsigned int n = cell_start_[k + 1] - begin;
        if (n < kCrowdedCell) continue;
        // The sub-grid spans the box of the cell's points.
        float x0 = sorted_x_[begin], x1 = x0, y0 = sorted_y_[begin], y1 = y0;
        for (unsigned int e = begin + 1; e < begin + n; ++e) {
            x0 = std::min(x0, sorted_x_[e]);
            x1 = std::max(x1, sorted_x_[e]);
            y0 = std::min(y0, sorted_y_[e]);
            y1 = std::max(y1, sorted_y_[e]);
        }
        const float width = x1 - x0;
        const float height = y1 - y0;
        if (!(width * height >= kCrowdedArea * radius * radius)) continue;
        unsigned int columns = SubDivisions(width, radius);
        unsigned int rows = SubDivisions(height, radius);
        const double limit = static_cast<double>(kSubCellsPerEntry) * n;
        const double wanted = static_cast<double>(columns) * rows;
        if (wanted > limit) {
            const double f = std::sqrt(limit / wanted);
            columns = std::max(1u, static_cast<unsigned int>(columns * f));
            rows = std::max(1u, static_cast<unsigned int>(rows * f));
        }
        most = std::max(most, n);
        cell_sub_grid_[k] = static_cast<int>(sub_grids_.size());
        sub_grids_.push_back(SubGrid{x0, y0, width / static_cast<float>(columns), height / static_cast<float>(rows),
                                     columns, rows, static_cast<unsigned int>(sub_start_.size())});
        sub_start_.resize(sub_start_.size() + columns * rows + 1, 0);
        total += n;
    }
    if (sub_grids_.empty()) return;
    if (found_bits_.size() < (most + 63) / 64) found_bits_.resize((most + 63) / 64, 0);
    if (found_words_.size() < (most + 4095) / 4096) found_words_.resize((most + 4095) / 4096, 0);

    // Each sub-cell takes its entries in the order of the cell's chain.
    sub_position_.resize(total);
    sub_x_.resize(total);
    sub_y_.resize(total);
    std::vector<unsigned int>& fill = scratch_fill_;
    unsigned int at = 0;
    for (std::size_t k = 0; k < cells; ++k) {
        if (cell_sub_grid_[k] < 0) continue;
        const SubGrid& g = sub_grids_[static_cast<std::size_t>(cell_sub_grid_[k])];
        const unsigned int begin = cell_start_[k];
        const unsigned int end = cell_start_[k + 1];
        unsigned int* const start = &sub_start_[g.first];
        const unsigned int count = g.columns * g.rows;
        auto sub_cell = [&](unsigned int slot) {
            return g.columns * SubIndex(sorted_y_[slot], g.y0, g.height, g.rows) +
                   SubIndex(sorted_x_[slot], g.x0, g.width, g.columns);
        };
        for (unsigned int slot = begin; slot < end; ++slot) ++start[sub_cell(slot) + 1];
        start[0] = at;
        for (unsigned int c = 0; c < count; ++c) start[c + 1] += start[c];
        if (fill.size() < count) fill.resize(count);
        std::copy(start, start + count, fill.begin());
        for (unsigned int slot = begin; slot < end; ++slot) {
            const unsigned int to = fill[sub_cell(slot)]++;
            sub_position_[to] = slot - begin;
            sub_x_[to] = sorted_x_[slot];
            sub_y_[to] = sorted_y_[slot];
        }
        at = start[count];
    }
}

unsigned int ParticleGrid::find(const Rect& box, const Sphere& s) {
    if (!UsableCellSize(cell_width_) || !UsableCellSize(cell_height_)) return 0;

    const float x0 = (box.min().x - rect_.min().x) / cell_width_;
    const float y0 = (box.min().y - rect_.min().y) / cell_height_;
    const float x1 = (box.max().x - rect_.min().x) / cell_width_ + 1.0f;
    const float y1 = (box.max().y - rect_.min().y) / cell_height_ + 1.0f;
    if (std::isnan(x0) || std::isnan(y0) || std::isnan(x1) || std::isnan(y1)) return 0;

    int first_column = static_cast<int>(ClampQuotient(x0, columns_));
    int first_row = static_cast<int>(ClampQuotient(y0, rows_));
    int end_column = static_cast<int>(ClampQuotient(x1, columns_));
    int end_row = static_cast<int>(ClampQuotient(y1, rows_));
    if (first_column < 0) first_column = 0;
    if (first_row < 0) first_row = 0;
    if (end_column > static_cast<int>(columns_)) end_column = static_cast<int>(columns_);
    if (end_row > static_cast<int>(rows_)) end_row = static_cast<int>(rows_);

    if (first_column >= end_column) return 0;
    if (!layout_current_) build_query_layout();
    // The same test as Sphere::contains_point on a vector2.
    const float cx = s.center().x;
    const float cy = s.center().y;
    const float r2 = s.radius() * s.radius();
    unsigned int* const found = found_.data();
    unsigned int n = 0;

    // The square in which a point passing the test can lie, a little wider
    // than the sphere against the rounding of the test; it picks the
    // sub-cells to read. When it is not a number every cell is read whole.
    const float reach = std::fabs(s.radius());
    const float margin = (std::fabs(cx) + std::fabs(cy) + reach) * (1.0f / 65536.0f) + 1e-6f;
    const float lo_x = (cx - reach) - margin;
    const float hi_x = (cx + reach) + margin;
    const float lo_y = (cy - reach) - margin;
    const float hi_y = (cy + reach) + margin;
    const bool sub_cells = !sub_grids_.empty() && std::isfinite(lo_x) && std::isfinite(hi_x) &&
                           std::isfinite(lo_y) && std::isfinite(hi_y);

    for (int row = first_row; row < end_row; ++row) {
        const std::size_t row_base = static_cast<std::size_t>(row) * columns_;
        int column = first_column;
        while (column < end_column) {
            const int split = sub_cells ? cell_sub_grid_[row_base + static_cast<std::size_t>(column)] : -1;
            if (split >= 0) {
                const SubGrid& g = sub_grids_[static_cast<std::size_t>(split)];
                const unsigned int c0 = SubIndex(lo_x, g.x0, g.width, g.columns);
                const unsigned int c1 = SubIndex(hi_x, g.x0, g.width, g.columns);
                const unsigned int r0 = SubIndex(lo_y, g.y0, g.height, g.rows);
                const unsigned int r1 = SubIndex(hi_y, g.y0, g.height, g.rows);
                // The places in the cell's chain of the entries found.
                const unsigned int cell_first = n;
                for (unsigned int r = r0; r <= r1; ++r) {
                    const unsigned int base = g.first + r * g.columns;
                    n = ScanRun(sub_x_.data(), sub_y_.data(), sub_position_.data(), sub_start_[base + c0],
                                sub_start_[base + c1 + 1], cx, cy, r2, found, n);
                }
                const unsigned int* const chain = sorted_.data() + cell_start_[row_base + static_cast<std::size_t>(column)];
                if (n - cell_first > 1 && (c0 != c1 || r0 != r1)) {
                    put_in_chain_order(found + cell_first, n - cell_first, chain);
                } else {
                    for (unsigned int j = cell_first; j < n; ++j) found[j] = chain[found[j]];
                }
                ++column;
                continue;
            }
            // The cells of a run lie next to each other.
            int end = column + 1;
            while (end < end_column && (!sub_cells || cell_sub_grid_[row_base + static_cast<std::size_t>(end)] < 0)) ++end;
            n = ScanRun(sorted_x_.data(), sorted_y_.data(), sorted_.data(),
                        cell_start_[row_base + static_cast<std::size_t>(column)],
                        cell_start_[row_base + static_cast<std::size_t>(end)], cx, cy, r2, found, n);
            column = end;
        }
    }
    return n;
}

void ParticleGrid::put_in_chain_order(unsigned int* found, unsigned int count, const unsigned int* chain) {
    // Each place marks its bit, and every 64 bits one bit of a word above
    // them; reading the marks back in order clears them again.
    std::uint64_t* const bits = found_bits_.data();
    std::uint64_t* const words = found_words_.data();
    unsigned int last_word = 0;
    for (unsigned int j = 0; j < count; ++j) {
        const unsigned int place = found[j];
        bits[place >> 6] |= std::uint64_t{1} << (place & 63u);
        words[place >> 12] |= std::uint64_t{1} << ((place >> 6) & 63u);
        last_word = std::max(last_word, place >> 12);
    }
    unsigned int out = 0;
    for (unsigned int w = 0; w <= last_word; ++w) {
        std::uint64_t word = words[w];
        words[w] = 0;
        while (word) {
            const unsigned int b = (w << 6) + static_cast<unsigned int>(__builtin_ctzll(word));
            word &= word - 1;
            std::uint64_t marks = bits[b];
            bits[b] = 0;
            while (marks) {
                found[out++] = chain[(b << 6) + static_cast<unsigned int>(__builtin_ctzll(marks))];
                marks &= marks - 1;
            }
        }
    }
}

unsigned int ParticleGrid::collect_particles(std::vector<Entry>& out, const Rect& box, const Sphere& s,
                                             bool clear_out) {
    VO_PROFILE_ZONE("vo::ParticleGrid::collect_particles");
    if (clear_out) out.clear();
    const unsigned int n = find(box, s);
    for (unsigned int j = 0; j < n; ++j) out.push_back(entries_[found_[j]]);
    return n;
}

unsigned int ParticleGrid::collect_particles(std::vector<Entry>& out, const Sphere& s, bool clear_out) {
    const float r = s.radius();
    const vector3& c = s.center();
    return collect_particles(out, Rect(c.x - r, c.y - r, c.x + r, c.y + r), s, clear_out);
}

unsigned int ParticleGrid::find_particles(const Sphere& s) {
    const float r = s.radius();
    const vector3& c = s.center();
    return find(Rect(c.x - r, c.y - r, c.x + r, c.y + r), s);
}

}  // namespace vo
