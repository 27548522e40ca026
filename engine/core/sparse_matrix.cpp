#include "engine/core/sparse_matrix.h"

#include <algorithm>

namespace vo {

void SparseMatrix::create(int rows, int cols, int entries_per_row) {
    clear();
    rows_ = std::max(rows, 0);
    cols_ = std::max(cols, 0);
    entries_per_row_ = std::max(entries_per_row, 0);
    slot_count_ = rows_ * entries_per_row_;
    values_.assign(static_cast<std::size_t>(slot_count_), 0.0f);
    columns_.assign(static_cast<std::size_t>(slot_count_), -1);
}

bool SparseMatrix::set(int row, int col, float value) {
    int const begin = row * entries_per_row_;
    for (int i = begin; i < begin + entries_per_row_; ++i) {
        if (columns_[i] == -1) {
            columns_[i] = col;
            values_[i] = value;
            return true;
        }
    }
    return false;
}

float SparseMatrix::get(int row, int col) const {
    int const begin = row * entries_per_row_;
    for (int i = begin; i < begin + entries_per_row_; ++i) {
        if (columns_[i] == col) return values_[i];
    }
    return 0.0f;
}

void SparseMatrix::clear_entries() {
    std::fill(values_.begin(), values_.end(), 0.0f);
    std::fill(columns_.begin(), columns_.end(), -1);
}

void SparseMatrix::clear() {
    std::vector<float>().swap(values_);
    std::vector<int>().swap(columns_);
    rows_ = 0;
    cols_ = 0;
    entries_per_row_ = 0;
    slot_count_ = 0;
}

void SparseMatrix::vmult(float* out, float const* in) const {
    float const* value = values_.data();
    int const* column = columns_.data();
    for (int r = 0; r < rows_; ++r) {
        float sum = 0.0f;
        for (int k = 0; k < entries_per_row_; ++k, ++value, ++column) {
            if (*column != -1) sum += *value * in[*column];
        }
        out[r] = sum;
    }
}

void SparseMatrix::vmultT(float* out, float const* in) const {
    std::fill(out, out + cols_, 0.0f);
    float const* value = values_.data();
    int const* column = columns_.data();
    for (int r = 0; r < rows_; ++r) {
        float const x = in[r];
        for (int k = 0; k < entries_per_row_; ++k, ++value, ++column) {
            if (*column != -1) out[*column] += x * *value;
        }
    }
}

}  // namespace vo
