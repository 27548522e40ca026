#include "common/util/variant.h"

#include "common/error.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>

namespace mg {

SmartPointerHolder::SmartPointerHolder() : m_obj(nullptr), m_refCount(nullptr), m_free(nullptr) {}

SmartPointerHolder::SmartPointerHolder(void* obj, FreeFunction freeFunc)
    : m_obj(obj), m_refCount(new int(1)), m_free(freeFunc)
{
}

SmartPointerHolder::SmartPointerHolder(const SmartPointerHolder& other)
    : m_obj(other.m_obj), m_refCount(other.m_refCount), m_free(other.m_free)
{
    if (m_refCount)
        ++(*m_refCount);
}

SmartPointerHolder& SmartPointerHolder::operator=(const SmartPointerHolder& other)
{
    if (this != &other) {
        SmartPointerHolder copy(other);
        release();
        m_obj = copy.m_obj;
        m_refCount = copy.m_refCount;
        m_free = copy.m_free;
        copy.m_refCount = nullptr;
    }
    return *this;
}

SmartPointerHolder::~SmartPointerHolder()
{
    release();
}

void SmartPointerHolder::release()
{
    if (m_refCount) {
        --(*m_refCount);
        if (*m_refCount < 1) {
            delete m_refCount;
            if (m_free)
                m_free(m_obj);
        }
    }
    m_obj = nullptr;
    m_refCount = nullptr;
}

Variant::Variant() : m_type(VT_INVALID) { m_value.valPointer = nullptr; }
Variant::Variant(bool val) : m_type(VT_BOOL) { m_value.valBool = val; }
Variant::Variant(int val) : m_type(VT_INT) { m_value.valInt = val; }
Variant::Variant(size_t val) : m_type(VT_SIZE_T) { m_value.valSizeT = val; }
Variant::Variant(float val) : m_type(VT_FLOAT) { m_value.valFloat = val; }
Variant::Variant(double val) : m_type(VT_DOUBLE) { m_value.valDouble = val; }
Variant::Variant(const char* val) : m_type(VT_CSTRING) { m_value.valCString = val; }
Variant::Variant(const std::string& val) : m_type(VT_STDSTRING)
{
    m_value.valStdString = new std::string(val);
}
Variant::Variant(void* val) : m_type(VT_POINTER) { m_value.valPointer = val; }
Variant::Variant(const void* val) : m_type(VT_CONST_POINTER) { m_value.valConstPointer = val; }
Variant::Variant(const SmartPointerHolder& val, bool pointeeIsConst)
    : m_type(pointeeIsConst ? VT_CONST_SMART_POINTER : VT_SMART_POINTER)
{
    m_value.valSmartPointer = new SmartPointerHolder(val);
}

Variant::Variant(const Variant& other) : m_type(other.m_type)
{
    switch (m_type) {
    case VT_STDSTRING:
        m_value.valStdString = new std::string(*other.m_value.valStdString);
        break;
    case VT_SMART_POINTER:
    case VT_CONST_SMART_POINTER:
        m_value.valSmartPointer = new SmartPointerHolder(*other.m_value.valSmartPointer);
        break;
    default:
        // Every other kind is a plain value or a pointer not owned here.
        m_value = other.m_value;
        break;
    }
}

Variant& Variant::operator=(const Variant& other)
{
    Variant copy(other);
    swap(copy);
    return *this;
}

Variant::~Variant()
{
    release();
}

void Variant::swap(Variant& other) noexcept
{
    std::swap(m_value, other.m_value);
    std::swap(m_type, other.m_type);
}

void Variant::release()
{
    switch (m_type) {
    case VT_STDSTRING:
        delete m_value.valStdString;
        break;
    case VT_SMART_POINTER:
    case VT_CONST_SMART_POINTER:
        delete m_value.valSmartPointer;
        break;
    default:
        break;
    }
    m_type = VT_INVALID;
}

const char* Variant::type_name_of(int type)
{
    switch (type) {
    case VT_INVALID: return "invalid_type";
    case VT_BOOL: return "bool";
    case VT_INT: return "int";
    case VT_SIZE_T: return "size_t";
    case VT_FLOAT: return "float";
    case VT_DOUBLE: return "double";
    case VT_CSTRING: return "cstring";
    case VT_STDSTRING: return "stdstring";
    case VT_POINTER: return "pointer";
    case VT_CONST_POINTER: return "constpointer";
    case VT_SMART_POINTER: return "smartpointer";
    case VT_CONST_SMART_POINTER: return "constsmartpointer";
    default: return "unknown_type";
    }
}

namespace {

// Truncation toward zero; NaN gives 0 and values beyond int's range are
// clamped instead of being undefined.
int truncate_to_int(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

bool Variant::to_bool() const
{
    switch (m_type) {
    case VT_BOOL: return m_value.valBool;
    case VT_INT: return m_value.valInt != 0;
    case VT_SIZE_T: return m_value.valSizeT != 0;
    case VT_FLOAT: return m_value.valFloat != 0;
    case VT_DOUBLE: return m_value.valDouble != 0;
    default: break;
    }
    MG_THROW("Variant: can't convert " << type_name() << " to bool.");
}

int Variant::to_int() const
{
    switch (m_type) {
    case VT_BOOL: return m_value.valBool ? 1 : 0;
    case VT_INT: return m_value.valInt;
    case VT_SIZE_T: return static_cast<int>(static_cast<uint32_t>(m_value.valSizeT));
    case VT_FLOAT: return truncate_to_int(m_value.valFloat);
    case VT_DOUBLE: return truncate_to_int(m_value.valDouble);
    default: break;
    }
    MG_THROW("Variant: can't convert " << type_name() << " to int.");
}

float Variant::to_float() const
{
    switch (m_type) {
    case VT_BOOL: return m_value.valBool ? 1.0f : 0.0f;
    case VT_INT: return static_cast<float>(m_value.valInt);
    case VT_SIZE_T: return static_cast<float>(m_value.valSizeT);
    case VT_FLOAT: return m_value.valFloat;
    case VT_DOUBLE: return static_cast<float>(m_value.valDouble);
    default: break;
    }
    MG_THROW("Variant: can't convert " << type_name() << " to float.");
}

double Variant::to_double() const
{
    switch (m_type) {
    case VT_BOOL: return m_value.valBool ? 1.0 : 0.0;
    case VT_INT: return static_cast<double>(m_value.valInt);
    case VT_SIZE_T: return static_cast<double>(m_value.valSizeT);
    case VT_FLOAT: return static_cast<double>(m_value.valFloat);
    case VT_DOUBLE: return m_value.valDouble;
    default: break;
    }
    MG_THROW("Variant: can't convert " << type_name() << " to double.");
}

const char* Variant::to_cstring() const
{
    switch (m_type) {
    case VT_CSTRING: return m_value.valCString;
    case VT_STDSTRING: return m_value.valStdString->c_str();
    default: break;
    }
    MG_THROW("Variant: can't convert " << type_name() << " to cstring.");
}

const std::string& Variant::to_stdstring() const
{
    if (m_type == VT_STDSTRING)
        return *m_value.valStdString;
    MG_THROW("Variant: can't convert " << type_name() << " to stdstring.");
}

}  // namespace mg
