#include "engine/core/variant.h"

#include "engine/core/error.h"

#include <cmath>
#include <limits>
#include <string>
#include <utility>

static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "Variant relies on IEEE floating point");

namespace vo {

namespace {

// Truncation toward zero that never leaves the range of int: out-of-range
// values saturate, a NaN gives 0.
template <class F>
int truncate_to_int(F value) {
    if (std::isnan(value)) return 0;
    // 2^31 is exact in float and double. Every value in (-2^31 - 1, 2^31)
    // truncates into int; at or below -2^31 the result is INT_MIN either way.
    constexpr F limit = static_cast<F>(2147483648.0);
    if (value >= limit) return std::numeric_limits<int>::max();
    if (value <= -limit) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

}  // namespace

Variant::Variant() noexcept : type_(VT_INVALID) { value_.d = 0.0; }
Variant::Variant(bool value) noexcept : type_(VT_BOOL) {
    value_.d = 0.0;
    value_.b = value;
}
Variant::Variant(int value) noexcept : type_(VT_INT) {
    value_.d = 0.0;
    value_.i = value;
}
Variant::Variant(float value) noexcept : type_(VT_FLOAT) {
    value_.d = 0.0;
    value_.f = value;
}
Variant::Variant(double value) noexcept : type_(VT_DOUBLE) { value_.d = value; }
Variant::Variant(const char* value) noexcept : type_(VT_CSTRING) {
    value_.d = 0.0;
    value_.cstr = value;
}
Variant::Variant(const std::string& value) : type_(VT_STDSTRING) { value_.str = new std::string(value); }
Variant::Variant(const vector2& value) : type_(VT_VECTOR2) { value_.v2 = new vector2(value); }
Variant::Variant(const vector3& value) : type_(VT_VECTOR3) { value_.v3 = new vector3(value); }
Variant::Variant(const vector4& value) : type_(VT_VECTOR4) { value_.v4 = new vector4(value); }
Variant::Variant(Object* value) noexcept : type_(VT_OBJECT) {
    value_.d = 0.0;
    value_.obj = value;
}

Variant::Variant(const Variant& other) : type_(other.type_) {
    value_ = other.value_;
    switch (type_) {
        case VT_STDSTRING: value_.str = new std::string(*other.value_.str); break;
        case VT_VECTOR2: value_.v2 = new vector2(*other.value_.v2); break;
        case VT_VECTOR3: value_.v3 = new vector3(*other.value_.v3); break;
        case VT_VECTOR4: value_.v4 = new vector4(*other.value_.v4); break;
        case VT_INVALID:
        case VT_BOOL:
        case VT_INT:
        case VT_FLOAT:
        case VT_DOUBLE:
        case VT_CSTRING:
        case VT_OBJECT: break;
        default:
            // A tag outside the known kinds carries no value.
            value_.d = 0.0;
            break;
    }
}

Variant::Variant(Variant&& other) noexcept : value_(other.value_), type_(other.type_) {
    other.type_ = VT_INVALID;
    other.value_.d = 0.0;
}

Variant::~Variant() { release(); }

void Variant::release() noexcept {
    switch (type_) {
        case VT_STDSTRING: delete value_.str; break;
        case VT_VECTOR2: delete value_.v2; break;
        case VT_VECTOR3: delete value_.v3; break;
        case VT_VECTOR4: delete value_.v4; break;
        default: break;
    }
    type_ = VT_INVALID;
    value_.d = 0.0;
}

void Variant::swap(Variant& other) noexcept {
    std::swap(value_, other.value_);
    std::swap(type_, other.type_);
}

const Variant& Variant::operator=(const Variant& other) {
    if (this != &other) {
        Variant copy(other);  // may throw; this value is untouched until the swap
        swap(copy);
    }
    return *this;
}

const Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        release();
        value_ = other.value_;
        type_ = other.type_;
        other.type_ = VT_INVALID;
        other.value_.d = 0.0;
    }
    return *this;
}

const char* Variant::type_name() const noexcept {
    switch (type_) {
        case VT_INVALID: return "invalid_type";
        case VT_BOOL: return "bool";
        case VT_INT: return "int";
        case VT_FLOAT: return "float";
        case VT_DOUBLE: return "double";
        case VT_CSTRING: return "cstring";
        case VT_STDSTRING: return "stdstring";
        case VT_VECTOR2: return "vector2";
        case VT_VECTOR3: return "vector3";
        case VT_VECTOR4: return "vector4";
        case VT_OBJECT: return "object";
    }
    return "unknown_type";
}

void Variant::throw_conversion_error(const char* suffix) const {
    std::string msg = "Variant: can't convert ";
    msg += type_name();
    msg += suffix;
    throw Error(msg);
}

bool Variant::to_bool() const {
    switch (type_) {
        case VT_BOOL: return value_.b;
        case VT_INT: return value_.i != 0;
        case VT_FLOAT: return value_.f != 0.0f;
        case VT_DOUBLE: return value_.d != 0.0;
        default: throw_conversion_error(" to bool.");
    }
}

int Variant::to_int() const {
    switch (type_) {
        case VT_BOOL: return value_.b ? 1 : 0;
        case VT_INT: return value_.i;
        case VT_FLOAT: return truncate_to_int(value_.f);
        case VT_DOUBLE: return truncate_to_int(value_.d);
        default: throw_conversion_error(" to int.");
    }
}

float Variant::to_float() const {
    switch (type_) {
        case VT_BOOL: return value_.b ? 1.0f : 0.0f;
        case VT_INT: return static_cast<float>(value_.i);
        case VT_FLOAT: return value_.f;
        // Nearest float; with IEEE floats a magnitude beyond float's range
        // becomes an infinity.
        case VT_DOUBLE: return static_cast<float>(value_.d);
        default: throw_conversion_error(" to float.");
    }
}

double Variant::to_double() const {
    switch (type_) {
        case VT_BOOL: return value_.b ? 1.0 : 0.0;
        case VT_INT: return static_cast<double>(value_.i);
        case VT_FLOAT: return static_cast<double>(value_.f);
        case VT_DOUBLE: return value_.d;
        default: throw_conversion_error(" to double.");
    }
}

const char* Variant::to_c_string() const {
    if (type_ != VT_CSTRING) throw_conversion_error(" to cstring.");
    return value_.cstr;
}

const std::string& Variant::to_std_string() const {
    if (type_ != VT_STDSTRING) throw_conversion_error(" to stdstring.");
    return *value_.str;
}

const vector2& Variant::to_vector2() const {
    if (type_ != VT_VECTOR2) throw_conversion_error(" to vector2.");
    return *value_.v2;
}

const vector3& Variant::to_vector3() const {
    if (type_ != VT_VECTOR3) throw_conversion_error(" to vector3.");
    return *value_.v3;
}

const vector4& Variant::to_vector4() const {
    if (type_ != VT_VECTOR4) throw_conversion_error(" to vector4.");
    return *value_.v4;
}

Object* Variant::to_object() const {
    if (type_ != VT_OBJECT) throw_conversion_error(" to object.");
    return value_.obj;
}

}  // namespace vo
