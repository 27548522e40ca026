#pragma once

#include <cstddef>
#include <utility>

namespace vo {

// Shared owning handle: the object pointer plus a separately allocated
// reference count. A null handle has no count. The last release deletes the
// object through its (virtual) destructor, so an object made in one binary
// is destroyed by its own class's code wherever the last handle dies.
template <class T>
class SmartPtr {
public:
    using element_type = T;

    SmartPtr() noexcept = default;
    SmartPtr(std::nullptr_t) noexcept {}
    explicit SmartPtr(T* object) : object_(object), count_(object ? new int(1) : nullptr) {}

    SmartPtr(const SmartPtr& other) noexcept : object_(other.object_), count_(other.count_) { retain(); }
    SmartPtr(SmartPtr&& other) noexcept : object_(other.object_), count_(other.count_) {
        other.object_ = nullptr;
        other.count_ = nullptr;
    }

    // Derived-to-base conversion shares the count.
    template <class U>
    SmartPtr(const SmartPtr<U>& other) noexcept : object_(other.get()), count_(other.count_ptr()) {
        retain();
    }

    ~SmartPtr() { release(); }

    SmartPtr& operator=(const SmartPtr& other) noexcept {
        SmartPtr(other).swap(*this);
        return *this;
    }
    SmartPtr& operator=(SmartPtr&& other) noexcept {
        SmartPtr(std::move(other)).swap(*this);
        return *this;
    }
    SmartPtr& operator=(std::nullptr_t) noexcept {
        reset();
        return *this;
    }

    void reset() noexcept { SmartPtr().swap(*this); }
    void reset(T* object) { SmartPtr(object).swap(*this); }

    void swap(SmartPtr& other) noexcept {
        std::swap(object_, other.object_);
        std::swap(count_, other.count_);
    }

    T* get() const noexcept { return object_; }
    T& operator*() const noexcept { return *object_; }
    T* operator->() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

    // Number of handles sharing the object; 0 for a null handle.
    int use_count() const noexcept { return count_ ? *count_ : 0; }

    // Cast sharing the count (static or dynamic); a failed dynamic cast gives null.
    template <class U>
    SmartPtr<U> static_cast_to() const noexcept {
        return SmartPtr<U>(static_cast<U*>(object_), count_);
    }
    template <class U>
    SmartPtr<U> dynamic_cast_to() const noexcept {
        U* p = dynamic_cast<U*>(object_);
        return p ? SmartPtr<U>(p, count_) : SmartPtr<U>();
    }

    // Internal: the shared count, for conversions between handle types.
    int* count_ptr() const noexcept { return count_; }

private:
    template <class U>
    friend class SmartPtr;

    SmartPtr(T* object, int* count) noexcept : object_(object), count_(count) { retain(); }

    void retain() noexcept {
        if (count_) ++*count_;
    }
    void release() noexcept {
        if (count_ && --*count_ == 0) {
            delete object_;
            delete count_;
        }
        object_ = nullptr;
        count_ = nullptr;
    }

    T* object_ = nullptr;
    int* count_ = nullptr;
};

template <class T, class U>
bool operator==(const SmartPtr<T>& a, const SmartPtr<U>& b) noexcept { return a.get() == b.get(); }
template <class T, class U>
bool operator!=(const SmartPtr<T>& a, const SmartPtr<U>& b) noexcept { return a.get() != b.get(); }
template <class T>
bool operator==(const SmartPtr<T>& a, std::nullptr_t) noexcept { return !a; }
template <class T>
bool operator!=(const SmartPtr<T>& a, std::nullptr_t) noexcept { return static_cast<bool>(a); }
template <class T, class U>
bool operator<(const SmartPtr<T>& a, const SmartPtr<U>& b) noexcept { return a.get() < b.get(); }

// The same handle to a const object.
template <class T>
using ConstSmartPtr = SmartPtr<const T>;

}  // namespace vo
