#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace mg {

// The values of one attachment for all elements of one kind, indexed by the
// elements' data indices. Owned by the attachment pipe that created it.
class IAttachmentDataContainer {
public:
    virtual ~IAttachmentDataContainer() = default;

    // Holds n values afterwards; new values are the default value when one is
    // set, else the zero value. n = 0 empties the container but keeps its
    // capacity.
    virtual void resize(size_t n) = 0;
    virtual size_t size() const = 0;
    // value[to] = value[from]
    virtual void copy_data(size_t from, size_t to) = 0;
    // value[i] = the default (or zero) value; vectors release their memory.
    virtual void reset_entry(size_t i) = 0;
    // dest.value[i] = value[indexMap[i]] for i < num, when dest has the same
    // concrete type; a container of another type is left untouched. Entries
    // whose source index lies outside this container (0xFFFFFFFF marks an
    // unused entry) and targets beyond dest's size are skipped.
    virtual void copy_to_container(IAttachmentDataContainer* dest, const uint32_t* indexMap,
                                   size_t num) const = 0;
    // Moves every value i whose newIndices[i] is not 0xFFFFFFFF to
    // newIndices[i] in a container of numValid values.
    virtual void defragment(const uint32_t* newIndices, size_t numValid) = 0;
    // Bytes reserved for values: capacity times the size of one value.
    virtual size_t occupied_memory() const = 0;
};

namespace detail {

template <class T>
struct is_std_vector : std::false_type {};
template <class T, class A>
struct is_std_vector<std::vector<T, A>> : std::true_type {};

}  // namespace detail

// The values of an attachment of value type T.
template <class T>
class AttachmentDataContainer : public IAttachmentDataContainer {
public:
    static_assert(!std::is_same<T, bool>::value,
                  "bool values would be packed bits; attach unsigned char instead");

    AttachmentDataContainer() : m_hasDefault(false), m_default() {}
    explicit AttachmentDataContainer(const T& defaultValue)
        : m_hasDefault(true), m_default(defaultValue)
    {
    }

    void resize(size_t n) override
    {
        if (m_hasDefault)
            m_values.resize(n, m_default);
        else
            m_values.resize(n);
    }

    size_t size() const override { return m_values.size(); }

    void copy_data(size_t from, size_t to) override { m_values[to] = m_values[from]; }

    void reset_entry(size_t i) override
    {
        if constexpr (detail::is_std_vector<T>::value) {
            if (m_hasDefault)
                m_values[i] = m_default;
            else
                T().swap(m_values[i]);
        } else {
            m_values[i] = m_hasDefault ? m_default : T();
        }
    }

    void copy_to_container(IAttachmentDataContainer* dest, const uint32_t* indexMap,
                           size_t num) const override
    {
        auto* target = dynamic_cast<AttachmentDataContainer<T>*>(dest);
        if (!target || num == 0 || !indexMap)
            return;
        const size_t n = num < target->m_values.size() ? num : target->m_values.size();
        for (size_t i = 0; i < n; ++i) {
            const size_t src = indexMap[i];
            if (src < m_values.size())
                target->m_values[i] = m_values[src];
        }
    }

    void defragment(const uint32_t* newIndices, size_t numValid) override
    {
        std::vector<T> old;
        old.swap(m_values);
        m_values.reserve(old.capacity());
        resize(numValid);
        for (size_t i = 0; i < old.size(); ++i) {
            const uint32_t ni = newIndices[i];
            if (ni != 0xFFFFFFFF && ni < numValid)
                m_values[ni] = std::move(old[i]);
        }
    }

    size_t occupied_memory() const override { return m_values.capacity() * sizeof(T); }

    T& operator[](size_t i) { return m_values[i]; }
    const T& operator[](size_t i) const { return m_values[i]; }

    bool has_default_value() const { return m_hasDefault; }
    const T& default_value() const { return m_default; }

private:
    std::vector<T> m_values;
    bool m_hasDefault;
    T m_default;
};

}  // namespace mg
