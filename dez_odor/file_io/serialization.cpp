#include "dez_odor/file_io/serialization.h"

#include "common/error.h"

#include <cstring>
#include <limits>

namespace mg {

namespace {

// The bytes of an unsigned integer, least significant first.
template <class TUnsigned>
void WriteLittleEndian(BinaryBuffer& out, TUnsigned bits)
{
    unsigned char bytes[sizeof(TUnsigned)];
    for (size_t i = 0; i < sizeof(TUnsigned); ++i)
        bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    out.write(bytes, sizeof(TUnsigned));
}

void SerializeCharacters(BinaryBuffer& out, const char* chars, size_t length)
{
    if (length > std::numeric_limits<uint32_t>::max())
        MG_THROW("Serialize: string too long (" << length << " characters).");
    Serialize(out, static_cast<uint32_t>(length));
    out.write(chars, length);
}

}  // namespace

void Serialize(BinaryBuffer& out, uint8_t value)
{
    out.write(&value, 1);
}

void Serialize(BinaryBuffer& out, int32_t value)
{
    WriteLittleEndian(out, static_cast<uint32_t>(value));
}

void Serialize(BinaryBuffer& out, uint32_t value)
{
    WriteLittleEndian(out, value);
}

void Serialize(BinaryBuffer& out, float value)
{
    static_assert(sizeof(float) == 4, "IEEE single precision expected");
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    WriteLittleEndian(out, bits);
}

void Serialize(BinaryBuffer& out, double value)
{
    static_assert(sizeof(double) == 8, "IEEE double precision expected");
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    WriteLittleEndian(out, bits);
}

void Serialize(BinaryBuffer& out, const std::string& value)
{
    SerializeCharacters(out, value.data(), value.size());
}

void Serialize(BinaryBuffer& out, const Variant& value)
{
    const int type = value.type();
    Serialize(out, static_cast<uint32_t>(type));
    switch (type) {
    case Variant::VT_INVALID:
    case Variant::VT_POINTER:
        break;
    case Variant::VT_BOOL:
        Serialize(out, static_cast<uint8_t>(value.to_bool() ? 1 : 0));
        break;
    case Variant::VT_INT:
        Serialize(out, static_cast<int32_t>(value.to_int()));
        break;
    case Variant::VT_FLOAT:
        Serialize(out, value.to_float());
        break;
    case Variant::VT_DOUBLE:
        Serialize(out, value.to_double());
        break;
    case Variant::VT_CSTRING: {
        const char* s = value.to_cstring();
        SerializeCharacters(out, s ? s : "", s ? std::strlen(s) : 0);
        break;
    }
    case Variant::VT_STDSTRING:
        Serialize(out, value.to_stdstring());
        break;
    default:
        MG_THROW("Unknown variant type in Serialize:" << type);
    }
}

void Serialize(BinaryBuffer& out, const std::map<std::string, Variant>& values)
{
    if (values.size() > std::numeric_limits<uint32_t>::max())
        MG_THROW("Serialize: too many map entries (" << values.size() << ").");
    Serialize(out, static_cast<uint32_t>(values.size()));
    for (const auto& entry : values) {
        Serialize(out, entry.first);
        Serialize(out, entry.second);
    }
}

}  // namespace mg
