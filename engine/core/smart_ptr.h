#pragma once

#include <cstddef>
#include <type_traits>
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
    explicit SmartPtr(T* object) : object_(object) {
        if (!object) return;
        try {
            count_ = new int(1);
        } catch (...) {
            delete object;  // the handle took the object: do not leak it
            throw;
        }
    }

    SmartPtr(const SmartPtr& other) noexcept : object_(other.object_), count_(other.count_) { retain(); }
    SmartPtr(SmartPtr&& other) noexcept : object_(other.object_), count_(other.count_) {
        other.object_ = nullptr;
        other.count_ = nullptr;
    }

    // Derived-to-base (and to-const) conversion shares the count. The last
    // release deletes through T, so a base needs a virtual destructor.
    template <class U, class = std::enable_if_t<std::is_convertible<U*, T*>::value>>
    SmartPtr(const SmartPtr<U>& other) noexcept : object_(other.get()), count_(other.count_ptr()) {
        static_assert(std::is_same<std::remove_cv_t<U>, std::remove_cv_t<T>>::value ||
                          std::has_virtual_destructor<T>::value,
                      "SmartPtr: converting to a base class without a virtual destructor");
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
        static_assert(sizeof(T) > 0, "SmartPtr: the object's class must be complete where a handle is released");
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
template <class T>
bool operator==(std::nullptr_t, const SmartPtr<T>& a) noexcept { return !a; }
template <class T>
bool operator!=(std::nullptr_t, const SmartPtr<T>& a) noexcept { return static_cast<bool>(a); }
template <class T, class U>
bool operator<(const SmartPtr<T>& a, const SmartPtr<U>& b) noexcept { return a.get() < b.get(); }

// The same handle to a const object.
template <class T>
using ConstSmartPtr = SmartPtr<const T>;

}  // namespace vo
