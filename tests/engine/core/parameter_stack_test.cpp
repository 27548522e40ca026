#include "engine/core/error.h"
#include "engine/core/parameter_stack.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using vo::ParameterStack;
using vo::Variant;
using vo::vector3;

// The stack a transform writes: three vectors in this order.
ParameterStack TransformLike() {
    ParameterStack s;
    s.push(Variant(vector3(1, 2, 3)), "pos");
    s.push(Variant(vector3(0, 0, 1.5f)), 7, "rot");
    s.push(Variant(vector3(2, 2, 2)), "scale");
    return s;
}

TEST(ParameterStack, GetSearchesForwardAndStaysOnTheMatch) {
    ParameterStack s = TransformLike();
    EXPECT_EQ(s.get("pos").to_vector3().x, 1.0f);
    EXPECT_EQ(s.get("rot").to_vector3().z, 1.5f);
    // The read position is on the match, not past it.
    EXPECT_FALSE(s.empty());
    EXPECT_EQ(s.top().to_vector3().z, 1.5f);
    EXPECT_STREQ(s.param_desc().name, "rot");
    EXPECT_EQ(s.param_desc().flags, 7u);
    EXPECT_EQ(s.get("rot").to_vector3().z, 1.5f);  // the same entry again
    s.pop();
    EXPECT_STREQ(s.param_desc().name, "scale");
    EXPECT_EQ(s.param_desc().flags, 0u);
    EXPECT_EQ(s.get("scale").to_vector3().y, 2.0f);
}

TEST(ParameterStack, GetNeverLooksBehindTheReadPosition) {
    ParameterStack s = TransformLike();
    s.get("rot");
    try {
        s.get("pos");
        ADD_FAILURE() << "no Error thrown";
    } catch (const vo::Error& e) {
        EXPECT_STREQ(e.message(), "ParameterStack::get: No parameter with name 'pos' was found on stack.");
    }
    // The failed lookup left the read position alone.
    EXPECT_STREQ(s.param_desc().name, "rot");
    // Names are compared exactly.
    EXPECT_THROW(s.get("Scale"), vo::Error);
    EXPECT_THROW(s.get("scal"), vo::Error);
}

TEST(ParameterStack, GetWithDefault) {
    ParameterStack s = TransformLike();
    s.get("rot");
    // No match: the default comes back and the read position stays.
    const Variant missing = s.get("missing", Variant(42));
    EXPECT_EQ(missing.to_int(), 42);
    EXPECT_STREQ(s.param_desc().name, "rot");
    // An entry behind the read position is not found either.
    EXPECT_EQ(s.get("pos", Variant(-1)).to_int(), -1);
    // A match moves the read position onto it.
    EXPECT_EQ(s.get("scale", Variant(0)).to_vector3().x, 2.0f);
    EXPECT_STREQ(s.param_desc().name, "scale");

    // The result is a value of its own: keeping it from a temporary default
    // is safe (checked by AddressSanitizer).
    const Variant& kept = s.get("other", Variant(std::string("fallback")));
    EXPECT_EQ(kept.to_std_string(), "fallback");
}

TEST(ParameterStack, EmptyMeansEverythingWasRead) {
    ParameterStack s;
    EXPECT_TRUE(s.empty());
    s.push(Variant(1), "a");
    s.push(Variant(2), "b");
    s.push(Variant(3), "c");
    std::string names;
    int sum = 0;
    while (!s.empty()) {
        names += s.param_desc().name;
        sum += s.top().to_int();
        s.pop();
    }
    EXPECT_EQ(names, "abc");
    EXPECT_EQ(sum, 6);
    // Pushing after reading appends behind the read position.
    s.push(Variant(4), "d");
    EXPECT_FALSE(s.empty());
    EXPECT_EQ(s.top().to_int(), 4);

    s.clear();
    EXPECT_TRUE(s.empty());
    s.push(Variant(5), "e");
    EXPECT_EQ(s.top().to_int(), 5);  // clear rewound the read position
}

TEST(ParameterStack, CopiesAreDeepAndKeepTheReadPosition) {
    ParameterStack* source = new ParameterStack(TransformLike());
    source->get("rot");
    ParameterStack copy(*source);
    ParameterStack assigned;
    assigned.push(Variant(std::string("old")), "old");
    assigned = *source;
    delete source;
    for (ParameterStack* s : {&copy, &assigned}) {
        EXPECT_STREQ(s->param_desc().name, "rot");
        EXPECT_EQ(s->top().to_vector3().z, 1.5f);
        EXPECT_EQ(s->get("scale").to_vector3().x, 2.0f);
    }
}

}  // namespace
