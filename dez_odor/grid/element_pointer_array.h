#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>

namespace mg {

// Result of Grid::get_associated: a list of element pointers that is either a
// view on a neighbourhood the grid stores (nothing copied) or owns its
// entries. A view stays valid only until the viewed neighbourhood changes.
// Appending to a view first copies the viewed entries into an own buffer, so
// the grid's stored neighbourhood never changes through this array.
template <class TElemPtr>
class ElementPointerArray {
public:
    using value_type = TElemPtr;
    using const_iterator = TElemPtr const*;

    ElementPointerArray() = default;

    ElementPointerArray(ElementPointerArray const& other) { assign_copy(other); }

    ElementPointerArray& operator=(ElementPointerArray const& other)
    {
        if (this != &other)
            assign_copy(other);
        return *this;
    }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    // Room of the own buffer (0 while viewing).
    std::size_t capacity() const { return m_capacity; }
    // True while the array views a neighbourhood stored in the grid.
    bool is_view() const { return m_data != nullptr && m_data != m_own.get(); }

    TElemPtr operator[](std::size_t i) const { return m_data[i]; }
    TElemPtr front() const { return m_data[0]; }
    TElemPtr back() const { return m_data[m_size - 1]; }
    const_iterator begin() const { return m_data; }
    const_iterator end() const { return m_data + m_size; }

    // Empties the array; an own buffer keeps its room.
    void clear()
    {
        m_data = m_own.get();
        m_size = 0;
    }

    void push_back(TElemPtr elem)
    {
        if (is_view()) {
            // Take the viewed entries over into an own buffer first.
            if (m_capacity < m_size) {
                std::size_t newCap = std::max<std::size_t>(2 * m_size, 1);
                std::unique_ptr<TElemPtr[]> buf(new TElemPtr[newCap]);
                m_own = std::move(buf);
                m_capacity = newCap;
            }
            std::copy(m_data, m_data + m_size, m_own.get());
            m_data = m_own.get();
        }
        if (m_size == m_capacity) {
            std::size_t newCap = std::max<std::size_t>(2 * m_capacity, 1);
            std::unique_ptr<TElemPtr[]> buf(new TElemPtr[newCap]);
            std::copy(m_own.get(), m_own.get() + m_size, buf.get());
            m_own = std::move(buf);
            m_capacity = newCap;
        }
        m_data = m_own.get();
        m_data[m_size++] = elem;
    }

    // Makes the array a view on num entries starting at data (used by the grid).
    void set_view(TElemPtr const* data, std::size_t num)
    {
        if (num == 0) {
            clear();
            return;
        }
        m_data = const_cast<TElemPtr*>(data);
        m_size = num;
    }

private:
    void assign_copy(ElementPointerArray const& other)
    {
        if (other.is_view()) {
            m_data = other.m_data;
            m_size = other.m_size;
            return;
        }
        clear();
        if (m_capacity < other.m_size) {
            m_own.reset(new TElemPtr[other.m_size]);
            m_capacity = other.m_size;
        }
        std::copy(other.begin(), other.end(), m_own.get());
        m_data = m_own.get();
        m_size = other.m_size;
    }

    TElemPtr* m_data = nullptr;
    std::unique_ptr<TElemPtr[]> m_own;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

}  // namespace mg
