#pragma once

#include "engine/core/vector.h"

#include <cstdint>
#include <string>

namespace vo {

class Object;

// The kind of value a Variant holds.
enum VariantType : std::uint32_t {
    VT_INVALID = 0,
    VT_BOOL = 1,
    VT_INT = 2,
    VT_FLOAT = 3,
    VT_DOUBLE = 4,
    VT_CSTRING = 5,    // borrowed: never copied or freed
    VT_STDSTRING = 6,  // owned copy
    VT_VECTOR2 = 7,    // owned copy
    VT_VECTOR3 = 8,    // owned copy
    VT_VECTOR4 = 9,    // owned copy
    VT_OBJECT = 10     // borrowed: never deleted
};

// A dynamically typed value. The numeric kinds (bool, int, float, double)
// convert into one another; every other kind converts only to itself. A
// refused conversion throws Error "Variant: can't convert <kind> to <kind>."
// and leaves the value unchanged.
class Variant {
public:
    Variant() noexcept;
    Variant(bool value) noexcept;
    Variant(int value) noexcept;
    Variant(float value) noexcept;
    Variant(double value) noexcept;
    Variant(const char* value) noexcept;
    Variant(const std::string& value);
    Variant(const vector2& value);
    Variant(const vector3& value);
    Variant(const vector4& value);
    Variant(Object* value) noexcept;

    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    ~Variant();

    const Variant& operator=(const Variant& other);
    const Variant& operator=(Variant&& other) noexcept;

    VariantType type() const noexcept { return type_; }
    // "invalid_type", "bool", "int", ..., "object"; "unknown_type" otherwise.
    const char* type_name() const noexcept;

    bool to_bool() const;
    // Floats and doubles are truncated toward zero; values beyond the range
    // of int saturate to its limits and a NaN gives 0.
    int to_int() const;
    float to_float() const;
    double to_double() const;
    const char* to_c_string() const;
    // The references stay valid while this Variant keeps its value.
    const std::string& to_std_string() const;
    const vector2& to_vector2() const;
    const vector3& to_vector3() const;
    const vector4& to_vector4() const;
    Object* to_object() const;

    void swap(Variant& other) noexcept;

private:
    [[noreturn]] void throw_conversion_error(const char* suffix) const;
    void release() noexcept;

    union Value {
        bool b;
        int i;
        float f;
        double d;
        const char* cstr;
        std::string* str;
        vector2* v2;
        vector3* v3;
        vector4* v4;
        Object* obj;
    };

    alignas(8) Value value_;
    VariantType type_;
};

}  // namespace vo
