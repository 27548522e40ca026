#include "engine/physics/particle_grid.h"

#include <cmath>

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

unsigned int ParticleGrid::collect_particles(std::vector<Entry>& out, const Rect& box, const Sphere& s,
                                             bool clear_out) {
    VO_PROFILE_ZONE("vo::ParticleGrid::collect_particles");
    if (clear_out) out.clear();
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

    const std::size_t before = out.size();
    for (int row = first_row; row < end_row; ++row) {
        for (int column = first_column; column < end_column; ++column) {
            const Cell& cell = cells_[static_cast<std::size_t>(row) * columns_ + static_cast<std::size_t>(column)];
            if (cell.generation != generation_) continue;
            for (unsigned int e = cell.first; e != kEndOfChain; e = entries_[e].next) {
                const Entry& entry = entries_[e];
                if (s.contains_point(vector2(entry.x, entry.y))) out.push_back(entry);
            }
        }
    }
    return static_cast<unsigned int>(out.size() - before);
}

unsigned int ParticleGrid::collect_particles(std::vector<Entry>& out, const Sphere& s, bool clear_out) {
    const float r = s.radius();
    const vector3& c = s.center();
    return collect_particles(out, Rect(c.x - r, c.y - r, c.x + r, c.y + r), s, clear_out);
}

}  // namespace vo
