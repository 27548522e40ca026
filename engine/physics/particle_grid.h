#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/rect.h"
#include "engine/core/sphere.h"

namespace vo {

class ParticleHandler;

// A uniform two-dimensional bucket grid over a rectangle, through which the
// physics handler finds the fluid particles near a point. Entries sit in one
// array in insertion order; each cell chains its entries by index, newest
// first. Clearing costs one counter increment: a cell holds entries only
// while its generation equals the grid's.
//
// For the queries, the first query after an insertion lays the linked
// entries out once more, cell by cell in chain order, with their points in
// flat arrays, so that a query reads each row of cells as one contiguous
// run. Given the radius of the usual query (set_search_radius), it also
// splits every cell crowded far beyond what such a query needs (many entries
// over many times the query's area) into sub-cells of about that size, each
// holding its share of the cell's entries in chain order; a query reads only
// the sub-cells its sphere reaches and puts what it found back into chain
// order, so the work follows the number of neighbours found rather than the
// cell's.
class ParticleGrid {
public:
    struct Cell {
        unsigned int generation = 0;
        unsigned int first = 0;
    };
    struct Entry {
        ParticleHandler* handler;
        unsigned int index;  // the particle's slot in handler
        float x;             // the particle's position when inserted
        float y;
        unsigned int next;  // the next entry of the same cell; kEndOfChain ends it
    };
    static constexpr unsigned int kEndOfChain = 0xFFFFFFFFu;

    // A zero rectangle of one cell.
    ParticleGrid();
    ParticleGrid(const ParticleGrid&) = default;
    ParticleGrid& operator=(const ParticleGrid&) = default;
    virtual ~ParticleGrid();

    // Clears the grid and spans columns x rows cells over the rectangle.
    // Throws Error when the rectangle's max lies below its min on an axis
    // (the new resolution stays stored).
    void set_resolution(unsigned int columns, unsigned int rows);
    // Stores the rectangle, then set_resolution with the current counts.
    void set_bounding_box(const Rect& rect);
    // Empties the grid.
    void clear();
    // The radius of the queries the grid mostly answers; 0 (the default)
    // searches every cell whole. What a query finds, and in which order, is
    // the same either way.
    void set_search_radius(float radius);
    // The cells that the queries since the last insertion search by their
    // sub-cells.
    unsigned int num_split_cells() const { return static_cast<unsigned int>(sub_grids_.size()); }

    // Appends an entry for particle i of h at its current position; links it
    // into its cell when the position lies inside the rectangle.
    void insert_particle(ParticleHandler* h, unsigned int i);

    // Appends to out the entries of the cells that box overlaps whose point
    // lies in s (x and y only, boundary included): row by row, column by
    // column, newest first within a cell. Empties out first when clear_out.
    // Returns the number appended.
    unsigned int collect_particles(std::vector<Entry>& out, const Rect& box, const Sphere& s, bool clear_out);
    // The same over the square around s.
    unsigned int collect_particles(std::vector<Entry>& out, const Sphere& s, bool clear_out);

    // The entries that collect_particles over the square around s would
    // append, in the same order, as indices into entries(): they stay in
    // found_particles() until the next query, insertion or clear. Nothing is
    // copied or allocated once the grid has been queried after its last
    // insertion; for the physics step, which asks around every particle.
    unsigned int find_particles(const Sphere& s);
    const unsigned int* found_particles() const { return found_.data(); }

    const std::vector<Entry>& entries() const { return entries_; }
    const Rect& bounding_box() const { return rect_; }
    unsigned int num_columns() const { return columns_; }
    unsigned int num_rows() const { return rows_; }
    float cell_width() const { return cell_width_; }
    float cell_height() const { return cell_height_; }
    // The cell an entry was linked into is column + columns x row; -1 when
    // the point lies outside the rectangle or the grid has no extent.
    int cell_index(float x, float y) const;

protected:
    unsigned int generation() const { return generation_; }
    // Lets tests bring the generation counter near its wrap.
    void set_generation(unsigned int g) { generation_ = g; }

private:
    // Lays the linked entries out cell by cell for the queries.
    void build_query_layout();
    // Splits the crowded cells into sub-cells (part of the query layout).
    void build_sub_cells();
    // Replaces the count places in one cell's chain at found by the entries
    // at those places of chain, in the chain's order.
    void put_in_chain_order(unsigned int* found, unsigned int count, const unsigned int* chain);
    // Puts the indices of the entries in the cells that box overlaps whose
    // point lies in s into found_, in query order; returns their number.
    unsigned int find(const Rect& box, const Sphere& s);

    Rect rect_;
    unsigned int columns_ = 0;
    unsigned int rows_ = 0;
    float cell_width_ = 0.0f;
    float cell_height_ = 0.0f;
    unsigned int generation_ = 1;
    std::vector<Cell> cells_;
    std::vector<Entry> entries_;

    // Query layout: the cell of every entry (-1: not linked); the entries of
    // cell k, in chain order, are sorted_[cell_start_[k] .. cell_start_[k + 1]),
    // their points at the same places in sorted_x_ and sorted_y_.
    std::vector<int> entry_cell_;
    std::vector<unsigned int> cell_start_;
    std::vector<unsigned int> sorted_;
    std::vector<float> sorted_x_;
    std::vector<float> sorted_y_;
    std::vector<unsigned int> scratch_fill_;
    std::vector<unsigned int> found_;  // the last query's entries; room for every linked entry
    bool layout_current_ = false;

    // The sub-cells of the crowded cells: a sub-grid of columns x rows cells
    // of width x height from the lower corner (x0, y0) of the box of the
    // cell's points, row by row.
    // The entries of its sub-cell k, in chain order, are given by their
    // places in the cell's chain in
    // sub_position_[sub_start_[first + k] .. sub_start_[first + k + 1]),
    // their points at the same places in sub_x_ and sub_y_.
    struct SubGrid {
        float x0, y0;
        float width, height;
        unsigned int columns, rows;
        unsigned int first;
    };
    float search_radius_ = 0.0f;
    std::vector<int> cell_sub_grid_;  // per cell: its sub-grid, -1 when whole
    std::vector<SubGrid> sub_grids_;
    std::vector<unsigned int> sub_start_;
    std::vector<unsigned int> sub_position_;
    std::vector<float> sub_x_;
    std::vector<float> sub_y_;
    // Marks of the places found in one cell, kept all clear between queries.
    std::vector<std::uint64_t> found_bits_;
    std::vector<std::uint64_t> found_words_;
};

}  // namespace vo
