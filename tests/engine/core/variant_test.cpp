#include "engine/core/error.h"
#include "engine/core/object.h"
#include "engine/core/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using vo::Variant;
using vo::vector2;
using vo::vector3;
using vo::vector4;

class Thing : public vo::Object {
public:
    const char* object_type_name() const override { return "Thing"; }
    unsigned int object_type_id() const override { return 1; }
};

struct Conversion {
    const char* suffix;
    std::function<void(const Variant&)> call;
};

const std::vector<Conversion>& Conversions() {
    static const std::vector<Conversion> all = {
        {" to bool.", [](const Variant& v) { v.to_bool(); }},
        {" to int.", [](const Variant& v) { v.to_int(); }},
        {" to float.", [](const Variant& v) { v.to_float(); }},
        {" to double.", [](const Variant& v) { v.to_double(); }},
        {" to cstring.", [](const Variant& v) { v.to_c_string(); }},
        {" to stdstring.", [](const Variant& v) { v.to_std_string(); }},
        {" to vector2.", [](const Variant& v) { v.to_vector2(); }},
        {" to vector3.", [](const Variant& v) { v.to_vector3(); }},
        {" to vector4.", [](const Variant& v) { v.to_vector4(); }},
        {" to object.", [](const Variant& v) { v.to_object(); }},
    };
    return all;
}

// Every kind against every conversion: the allowed ones succeed, every other
// one throws the exact text and leaves the value as it was.
TEST(Variant, ConversionTable) {
    Thing thing;
    struct Row {
        Variant value;
        vo::VariantType type;
        const char* name;
        const char* allowed;  // one letter per conversion above: 'x' allowed
    };
    const Row rows[] = {
        {Variant(), vo::VT_INVALID, "invalid_type", "----------"},
        {Variant(true), vo::VT_BOOL, "bool", "xxxx------"},
        {Variant(3), vo::VT_INT, "int", "xxxx------"},
        {Variant(1.5f), vo::VT_FLOAT, "float", "xxxx------"},
        {Variant(2.5), vo::VT_DOUBLE, "double", "xxxx------"},
        {Variant("text"), vo::VT_CSTRING, "cstring", "----x-----"},
        {Variant(std::string("text")), vo::VT_STDSTRING, "stdstring", "-----x----"},
        {Variant(vector2(1, 2)), vo::VT_VECTOR2, "vector2", "------x---"},
        {Variant(vector3(1, 2, 3)), vo::VT_VECTOR3, "vector3", "-------x--"},
        {Variant(vector4(1, 2, 3, 4)), vo::VT_VECTOR4, "vector4", "--------x-"},
        {Variant(&thing), vo::VT_OBJECT, "object", "---------x"},
    };
    const std::vector<Conversion>& conversions = Conversions();
    for (const Row& row : rows) {
        EXPECT_EQ(row.value.type(), row.type);
        EXPECT_STREQ(row.value.type_name(), row.name);
        for (std::size_t c = 0; c < conversions.size(); ++c) {
            SCOPED_TRACE(std::string(row.name) + conversions[c].suffix);
            if (row.allowed[c] == 'x') {
                EXPECT_NO_THROW(conversions[c].call(row.value));
                continue;
            }
            try {
                conversions[c].call(row.value);
                ADD_FAILURE() << "no Error thrown";
            } catch (const vo::Error& e) {
                EXPECT_EQ(std::string(e.message()),
                          std::string("Variant: can't convert ") + row.name + conversions[c].suffix);
            }
            EXPECT_EQ(row.value.type(), row.type);
        }
    }
}

TEST(Variant, NumericConversions) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const int imax = std::numeric_limits<int>::max();
    const int imin = std::numeric_limits<int>::min();
    struct Case {
        const char* what;
        Variant value;
        bool as_bool;
        int as_int;
        float as_float;
        double as_double;
    };
    const Case cases[] = {
        {"true", Variant(true), true, 1, 1.0f, 1.0},
        {"false", Variant(false), false, 0, 0.0f, 0.0},
        {"int", Variant(-7), true, -7, -7.0f, -7.0},
        {"int zero", Variant(0), false, 0, 0.0f, 0.0},
        {"int beyond float precision", Variant(16777217), true, 16777217, 16777216.0f, 16777217.0},
        {"float", Variant(-2.7f), true, -2, -2.7f, static_cast<double>(-2.7f)},
        {"float zero", Variant(0.0f), false, 0, 0.0f, 0.0},
        {"negative float zero", Variant(-0.0f), false, 0, -0.0f, -0.0},
        {"double", Variant(2.5), true, 2, 2.5f, 2.5},
        {"double to nearest float", Variant(0.1), true, 0, 0.1f, 0.1},
        {"double -2.9", Variant(-2.9), true, -2, -2.9f, -2.9},
        // Beyond int: saturated, never undefined.
        {"float 2^31", Variant(2147483648.0f), true, imax, 2147483648.0f, 2147483648.0},
        {"float -2^31", Variant(-2147483648.0f), true, imin, -2147483648.0f, -2147483648.0},
        {"float 1e20", Variant(1e20f), true, imax, 1e20f, static_cast<double>(1e20f)},
        {"float -1e20", Variant(-1e20f), true, imin, -1e20f, static_cast<double>(-1e20f)},
        {"float inf", Variant(inf), true, imax, inf, static_cast<double>(inf)},
        {"float -inf", Variant(-inf), true, imin, -inf, -static_cast<double>(inf)},
        {"double just below 2^31", Variant(2147483647.9), true, imax, 2147483648.0f, 2147483647.9},
        {"double just above -2^31 - 1", Variant(-2147483648.9), true, imin, -2147483648.0f, -2147483648.9},
        {"double 1e300", Variant(1e300), true, imax, inf, 1e300},
        {"double -1e300", Variant(-1e300), true, imin, -inf, -1e300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.value.to_bool(), c.as_bool);
        EXPECT_EQ(c.value.to_int(), c.as_int);
        EXPECT_EQ(c.value.to_float(), c.as_float);
        EXPECT_EQ(std::signbit(c.value.to_float()), std::signbit(c.as_float));
        EXPECT_EQ(c.value.to_double(), c.as_double);
    }

    // A NaN is true and converts to the int 0.
    for (const Variant& v : {Variant(nan), Variant(static_cast<double>(nan))}) {
        EXPECT_TRUE(v.to_bool());
        EXPECT_EQ(v.to_int(), 0);
        EXPECT_TRUE(std::isnan(v.to_float()));
        EXPECT_TRUE(std::isnan(v.to_double()));
    }
}

TEST(Variant, OtherKindsGiveTheirOwnValue) {
    Thing thing;
    const char* text = "borrowed";
    EXPECT_EQ(Variant(text).to_c_string(), text);
    EXPECT_EQ(Variant(std::string("owned")).to_std_string(), "owned");
    EXPECT_EQ(Variant(&thing).to_object(), &thing);
    const Variant v2(vector2(1, 2));
    EXPECT_EQ(v2.to_vector2().x, 1.0f);
    EXPECT_EQ(v2.to_vector2().y, 2.0f);
    const Variant v4(vector4(1, 2, 3, 4));
    EXPECT_EQ(v4.to_vector4().w, 4.0f);
}

TEST(Variant, CopiesOwnTheirValuesAndShareBorrowedOnes) {
    Variant* source = new Variant(vector3(1, 2, 3));
    const Variant copy(*source);
    EXPECT_NE(&copy.to_vector3(), &source->to_vector3());
    delete source;
    EXPECT_EQ(copy.to_vector3().x, 1.0f);
    EXPECT_EQ(copy.to_vector3().z, 3.0f);

    const char* text = "shared characters";
    const Variant c1(text);
    const Variant c2(c1);
    EXPECT_EQ(c2.to_c_string(), text);

    Variant s(std::string("first"));
    {
        const Variant other(std::string("second"));
        s = other;
    }
    EXPECT_EQ(s.to_std_string(), "second");
}

TEST(Variant, AssignmentReplacesTheValueOfAnyKind) {
    Variant v(std::string("text"));
    v = Variant(vector2(5, 6));
    EXPECT_EQ(v.type(), vo::VT_VECTOR2);
    EXPECT_EQ(v.to_vector2().y, 6.0f);
    const Variant four(vector4(1, 2, 3, 4));
    v = four;
    EXPECT_EQ(v.to_vector4().z, 3.0f);
    v = Variant(7);
    EXPECT_EQ(v.to_int(), 7);
    v = Variant();
    EXPECT_EQ(v.type(), vo::VT_INVALID);

    Variant self(vector3(7, 8, 9));
    const Variant& alias = self;
    self = alias;
    EXPECT_EQ(self.to_vector3().y, 8.0f);
}

}  // namespace
