#pragma once

#include <vector>

namespace vo {

// A sparse float matrix stored in fixed-width row slots: every row owns
// `entries_per_row` consecutive slots of (column, value); column -1 marks an
// empty slot. There is no compaction and no overflow area.
//
// Row and column arguments are not range-checked: callers keep row < rows()
// and column < cols().
class SparseMatrix {
public:
    SparseMatrix() = default;

    // Discards all entries and allocates rows x entries_per_row empty slots.
    void create(int rows, int cols, int entries_per_row);

    // Writes (col, value) into the first empty slot of the row. The row is
    // not searched for col: setting one position twice stores two entries,
    // which both take part in products. Returns false, storing nothing, when
    // the row has no empty slot left.
    bool set(int row, int col, float value);

    // The value of the first slot of the row with this column; 0 when none.
    float get(int row, int col) const;

    // Empties every slot; sizes and storage stay.
    void clear_entries();

    // Releases the storage; the matrix is empty (0 x 0) afterwards.
    void clear();

    // out = A in (out has rows() elements, in has cols()).
    void vmult(float* out, float const* in) const;
    // out = A^T in (out has cols() elements, in has rows()).
    void vmultT(float* out, float const* in) const;

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    int entries_per_row() const { return entries_per_row_; }
    int slot_count() const { return slot_count_; }

private:
    std::vector<float> values_;
    std::vector<int> columns_;
    int rows_ = 0;
    int cols_ = 0;
    int entries_per_row_ = 0;
    int slot_count_ = 0;
};

}  // namespace vo
