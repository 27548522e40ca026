#include "common/math/math_vector.h"

#include <gtest/gtest.h>

namespace {

static_assert(sizeof(mg::MathVector<1, float>) == 4, "packed");
static_assert(sizeof(mg::MathVector<2, float>) == 8, "packed");
static_assert(sizeof(mg::MathVector<3, float>) == 12, "packed");

TEST(MathVectorTest, StartsAtZeroAndComputesPerComponent)
{
    const mg::MathVector<3, float> zero;
    EXPECT_EQ(zero, mg::MathVector<3>(0, 0, 0));

    mg::MathVector<3, float> v(1, 2, 3);
    EXPECT_EQ(v.x(), 1);
    EXPECT_EQ(v.y(), 2);
    EXPECT_EQ(v.z(), 3);
    v[1] = 5;
    EXPECT_EQ(v + mg::MathVector<3>(1, 1, 1), mg::MathVector<3>(2, 6, 4));
    EXPECT_EQ(v - mg::MathVector<3>(1, 1, 1), mg::MathVector<3>(0, 4, 2));
    EXPECT_EQ(2.0f * v, mg::MathVector<3>(2, 10, 6));
    EXPECT_NE(v, zero);

    const mg::MathVector<1, float> one(4.5f);
    EXPECT_EQ(one[0], 4.5f);
    EXPECT_EQ(mg::MathVector<2>(1, 2).y(), 2);
}

}  // namespace
