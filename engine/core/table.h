#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vo {

// A grid of entries addressed by row and column; every entry is held by
// pointer and owned by the table. Rows may differ in length.
template <class T>
class Table {
public:
    Table() = default;
    ~Table() { clear(); }
    Table(Table const&) = delete;
    Table& operator=(Table const&) = delete;

    // The entry at (row, column), made (default-constructed) when missing.
    T& entry(unsigned row, unsigned column) {
        if (rows_.size() <= row) rows_.resize(row + 1);
        std::vector<T*>& r = rows_[row];
        if (r.size() <= column) r.resize(column + 1, nullptr);
        if (!r[column]) r[column] = new T();
        return *r[column];
    }
    // The entry at (row, column), or null when there is none.
    T const* find(unsigned row, unsigned column) const {
        if (row >= rows_.size() || column >= rows_[row].size()) return nullptr;
        return rows_[row][column];
    }

    unsigned num_rows() const { return static_cast<unsigned>(rows_.size()); }
    unsigned num_columns(unsigned row) const { return static_cast<unsigned>(rows_[row].size()); }

    void clear() {
        for (std::vector<T*>& r : rows_)
            for (T* e : r) delete e;
        rows_.clear();
    }

private:
    std::vector<std::vector<T*>> rows_;
};

// A copy of the entry at (row, column); "" when there is none.
std::string EntryToString(Table<std::string> const& table, unsigned row, unsigned column);
// The text accumulated in the entry's string stream; "" when there is none.
std::string EntryToString(Table<std::stringstream> const& table, unsigned row, unsigned column);

}  // namespace vo
