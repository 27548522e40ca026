#pragma once

#include <cstddef>
#include <string>

namespace mg {

// A shared reference to an object of any type: the object pointer, a
// reference count shared by all holders of the object, and the function that
// destroys the object when the last holder is released.
class SmartPointerHolder {
public:
    using FreeFunction = void (*)(void*);

    // An empty holder: no object, no count.
    SmartPointerHolder();
    // Takes over obj with a new count of 1.
    SmartPointerHolder(void* obj, FreeFunction freeFunc);
    SmartPointerHolder(const SmartPointerHolder& other);
    SmartPointerHolder& operator=(const SmartPointerHolder& other);
    ~SmartPointerHolder();

    void* get() const { return m_obj; }
    // Current count; 0 for an empty holder.
    int ref_count() const { return m_refCount ? *m_refCount : 0; }

private:
    void release();

    void* m_obj;
    int* m_refCount;
    FreeFunction m_free;
};

// The grid library's tagged value: one value of one of eleven kinds. It owns
// its std::string and its smart-pointer holder; a cstring is only a pointer
// to characters owned elsewhere. Distinct from the engine's Variant.
class Variant {
public:
    enum Type {
        VT_INVALID = 0,
        VT_BOOL = 1,
        VT_INT = 2,
        VT_SIZE_T = 3,
        VT_FLOAT = 4,
        VT_DOUBLE = 5,
        VT_CSTRING = 6,
        VT_STDSTRING = 7,
        VT_POINTER = 8,
        VT_CONST_POINTER = 9,
        VT_SMART_POINTER = 10,
        VT_CONST_SMART_POINTER = 11
    };

    Variant();
    Variant(bool val);
    Variant(int val);
    Variant(size_t val);
    Variant(float val);
    Variant(double val);
    Variant(const char* val);
    Variant(const std::string& val);
    Variant(void* val);
    Variant(const void* val);
    // A smartpointer variant, or a constsmartpointer one when pointeeIsConst.
    Variant(const SmartPointerHolder& val, bool pointeeIsConst = false);

    Variant(const Variant& other);
    Variant& operator=(const Variant& other);
    ~Variant();

    void swap(Variant& other) noexcept;

    int type() const { return m_type; }
    const char* type_name() const { return type_name_of(m_type); }
    static const char* type_name_of(int type);

    // Conversions; each throws MGError "Variant: can't convert <type> to <x>."
    // for a kind it does not accept.
    bool to_bool() const;
    int to_int() const;
    float to_float() const;
    double to_double() const;
    const char* to_cstring() const;
    const std::string& to_stdstring() const;

private:
    union Value {
        bool valBool;
        int valInt;
        size_t valSizeT;
        float valFloat;
        double valDouble;
        const char* valCString;
        std::string* valStdString;
        void* valPointer;
        const void* valConstPointer;
        SmartPointerHolder* valSmartPointer;
    };

    void release();

    Value m_value;
    int m_type;
};

}  // namespace mg
