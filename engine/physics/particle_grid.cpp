#include "engine/physics/particle_grid.h"

#include <cmath>

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
    layout_current_ = true;
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
    for (int row = first_row; row < end_row; ++row) {
        // The cells of one row of the range lie next to each other.
        const std::size_t row_base = static_cast<std::size_t>(row) * columns_;
        const unsigned int begin = cell_start_[row_base + static_cast<std::size_t>(first_column)];
        const unsigned int end = cell_start_[row_base + static_cast<std::size_t>(end_column)];
        unsigned int k = begin;
#if defined(__SSE2__)
        // Four points at a time; the same operations in the same order as
        // the scalar test, so the same points pass. The entries that pass
        // are packed without branches.
        const __m128 vcx = _mm_set1_ps(cx);
        const __m128 vcy = _mm_set1_ps(cy);
        const __m128 vr2 = _mm_set1_ps(r2);
        for (; k + 4 <= end; k += 4) {
            const __m128 dx = _mm_sub_ps(vcx, _mm_loadu_ps(&sorted_x_[k]));
            const __m128 dy = _mm_sub_ps(vcy, _mm_loadu_ps(&sorted_y_[k]));
            const __m128 d2 = _mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy));
            const unsigned int mask = static_cast<unsigned int>(_mm_movemask_ps(_mm_cmple_ps(d2, vr2)));
            found[n] = sorted_[k];
            n += mask & 1u;
            found[n] = sorted_[k + 1];
            n += (mask >> 1) & 1u;
            found[n] = sorted_[k + 2];
            n += (mask >> 2) & 1u;
            found[n] = sorted_[k + 3];
            n += (mask >> 3) & 1u;
        }
#endif
        for (; k < end; ++k) {
            const float dx = cx - sorted_x_[k];
            const float dy = cy - sorted_y_[k];
            if (dx * dx + dy * dy <= r2) found[n++] = sorted_[k];
        }
    }
    return n;
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
