#include "common/error.h"
#include "common/util/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>

namespace {

int g_freeCalls = 0;
void free_int(void* p)
{
    ++g_freeCalls;
    delete static_cast<int*>(p);
}

// One row per kind: what each conversion gives, or nothing when it must throw.
struct VariantRow {
    const char* label;
    std::function<mg::Variant()> make;
    const char* typeName;
    std::optional<bool> asBool;
    std::optional<int> asInt;
    std::optional<float> asFloat;
    std::optional<double> asDouble;
    std::optional<std::string> asCString;
    std::optional<std::string> asStdString;
};

const char kText[] = "abc";

std::vector<VariantRow> variant_rows()
{
    const size_t big = 4294967295u;
    const size_t wide = (size_t(1) << 32) + 5;
    return {
        {"invalid", [] { return mg::Variant(); }, "invalid_type", {}, {}, {}, {}, {}, {}},
        {"true", [] { return mg::Variant(true); }, "bool", true, 1, 1.0f, 1.0, {}, {}},
        {"false", [] { return mg::Variant(false); }, "bool", false, 0, 0.0f, 0.0, {}, {}},
        {"int", [] { return mg::Variant(-7); }, "int", true, -7, -7.0f, -7.0, {}, {}},
        {"zero int", [] { return mg::Variant(0); }, "int", false, 0, 0.0f, 0.0, {}, {}},
        {"size_t max32", [big] { return mg::Variant(big); }, "size_t", true, -1,
         static_cast<float>(big), 4294967295.0, {}, {}},
        {"size_t wide", [wide] { return mg::Variant(wide); }, "size_t", true, 5,
         static_cast<float>(wide), static_cast<double>(wide), {}, {}},
        {"float", [] { return mg::Variant(2.9f); }, "float", true, 2, 2.9f,
         static_cast<double>(2.9f), {}, {}},
        {"negative float", [] { return mg::Variant(-2.9f); }, "float", true, -2, -2.9f,
         static_cast<double>(-2.9f), {}, {}},
        {"double", [] { return mg::Variant(0.1); }, "double", true, 0, 0.1f, 0.1, {}, {}},
        {"negative double", [] { return mg::Variant(-3.75); }, "double", true, -3, -3.75f, -3.75,
         {}, {}},
        {"cstring", [] { return mg::Variant(kText); }, "cstring", {}, {}, {}, {}, "abc", {}},
        {"stdstring", [] { return mg::Variant(std::string("hello")); }, "stdstring", {}, {}, {},
         {}, "hello", "hello"},
        {"pointer", [] { return mg::Variant(static_cast<void*>(&g_freeCalls)); }, "pointer", {},
         {}, {}, {}, {}, {}},
        {"constpointer", [] { return mg::Variant(static_cast<const void*>(&g_freeCalls)); },
         "constpointer", {}, {}, {}, {}, {}, {}},
        {"smartpointer",
         [] { return mg::Variant(mg::SmartPointerHolder(new int(1), free_int)); }, "smartpointer",
         {}, {}, {}, {}, {}, {}},
        {"constsmartpointer",
         [] { return mg::Variant(mg::SmartPointerHolder(new int(1), free_int), true); },
         "constsmartpointer", {}, {}, {}, {}, {}, {}},
    };
}

// Runs a conversion that must throw and checks the message and its origin.
template <class F>
void expect_refused(F convert, const std::string& message)
{
    try {
        convert();
        ADD_FAILURE() << "no MGError for: " << message;
    } catch (const mg::MGError& err) {
        EXPECT_EQ(err.get_msg(), message);
        const std::string file = err.get_file(0);
        EXPECT_NE(file.find("common/util/variant"), std::string::npos) << file;
        EXPECT_GT(err.get_line(0), 0);
    }
}

TEST(VariantTest, EveryKindAgainstEveryConversion)
{
    for (const VariantRow& row : variant_rows()) {
        SCOPED_TRACE(row.label);
        const mg::Variant v = row.make();
        EXPECT_STREQ(v.type_name(), row.typeName);
        const std::string prefix = std::string("Variant: can't convert ") + row.typeName;

        if (row.asBool)
            EXPECT_EQ(v.to_bool(), *row.asBool);
        else
            expect_refused([&] { return v.to_bool(); }, prefix + " to bool.");
        if (row.asInt)
            EXPECT_EQ(v.to_int(), *row.asInt);
        else
            expect_refused([&] { return v.to_int(); }, prefix + " to int.");
        if (row.asFloat)
            EXPECT_EQ(v.to_float(), *row.asFloat);
        else
            expect_refused([&] { return v.to_float(); }, prefix + " to float.");
        if (row.asDouble)
            EXPECT_EQ(v.to_double(), *row.asDouble);
        else
            expect_refused([&] { return v.to_double(); }, prefix + " to double.");
        if (row.asCString)
            EXPECT_EQ(std::string(v.to_cstring()), *row.asCString);
        else
            expect_refused([&] { return v.to_cstring(); }, prefix + " to cstring.");
        if (row.asStdString)
            EXPECT_EQ(v.to_stdstring(), *row.asStdString);
        else
            expect_refused([&] { return v.to_stdstring(); }, prefix + " to stdstring.");
    }
}

TEST(VariantTest, TagsAndSpecialValues)
{
    EXPECT_EQ(mg::Variant().type(), mg::Variant::VT_INVALID);
    EXPECT_EQ(mg::Variant(size_t(3)).type(), 3);
    EXPECT_EQ(mg::Variant(mg::SmartPointerHolder(), true).type(), 11);
    EXPECT_STREQ(mg::Variant::type_name_of(12), "unknown_type");
    EXPECT_STREQ(mg::Variant::type_name_of(-1), "unknown_type");

    EXPECT_TRUE(mg::Variant(std::numeric_limits<float>::quiet_NaN()).to_bool());
    EXPECT_TRUE(mg::Variant(std::nan("")).to_bool());
    // A cstring variant keeps the caller's pointer itself.
    EXPECT_EQ(mg::Variant(kText).to_cstring(), kText);
}

TEST(VariantTest, CopiesOwnTheirStrings)
{
    auto* first = new mg::Variant(std::string("hello"));
    mg::Variant copy(*first);
    mg::Variant assigned;
    assigned = *first;
    EXPECT_NE(copy.to_cstring(), first->to_cstring());
    delete first;
    EXPECT_EQ(copy.to_stdstring(), "hello");
    EXPECT_EQ(assigned.to_stdstring(), "hello");

    assigned = mg::Variant(5);  // releases the string it held
    EXPECT_EQ(assigned.to_int(), 5);
    assigned = assigned;
    EXPECT_EQ(assigned.to_int(), 5);
    copy = copy;
    EXPECT_EQ(copy.to_stdstring(), "hello");
}

TEST(VariantTest, SmartPointerHoldersShareOneCountAndFreeOnce)
{
    g_freeCalls = 0;
    {
        mg::SmartPointerHolder holder(new int(42), free_int);
        EXPECT_EQ(holder.ref_count(), 1);
        {
            mg::Variant v(holder);
            EXPECT_EQ(holder.ref_count(), 2);
            mg::Variant copy(v);
            EXPECT_EQ(holder.ref_count(), 3);
            mg::Variant assigned(true);
            assigned = copy;
            EXPECT_EQ(holder.ref_count(), 4);
        }
        EXPECT_EQ(holder.ref_count(), 1);
        EXPECT_EQ(g_freeCalls, 0);
    }
    EXPECT_EQ(g_freeCalls, 1);

    g_freeCalls = 0;
    {
        mg::Variant a(mg::SmartPointerHolder(new int(1), free_int), true);
        mg::Variant b(a);
    }
    EXPECT_EQ(g_freeCalls, 1);
}

}  // namespace
