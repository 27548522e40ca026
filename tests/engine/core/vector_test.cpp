#include "engine/core/color.h"
#include "engine/core/math_matrix.h"
#include "engine/core/vector.h"
#include "engine/core/vertex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

namespace {

using vo::Color;
using vo::vector2;
using vo::vector3;
using vo::vector4;

TEST(Vector, ConstantsAreLibraryData) {
    // Read through addresses: the constants are exported objects, not enumerators.
    const unsigned int* sizes[] = {&vector2::SIZE, &vector3::SIZE, &vector4::SIZE, &Color::SIZE};
    EXPECT_EQ(*sizes[0], 2u);
    EXPECT_EQ(*sizes[1], 3u);
    EXPECT_EQ(*sizes[2], 4u);
    EXPECT_EQ(*sizes[3], 4u);
    EXPECT_EQ(vo::ColorVertex::VRT_DESC, 11u);
    EXPECT_EQ(vo::NormalVertex::VRT_DESC, 13u);
    EXPECT_EQ(sizeof(vo::ColorVertex), 36u);
    EXPECT_EQ(sizeof(vo::NormalVertex), 32u);
}

TEST(Vector, IndexingAndInPlaceArithmetic) {
    vector4 v(1, 2, 3, 4);
    for (unsigned int i = 0; i < v.size(); ++i) EXPECT_EQ(v[i], float(i + 1));
    v[3] = 8;
    EXPECT_EQ(v.w, 8);

    vector3 a(1, 2, 3);
    a += vector3(10, 20, 30);
    a -= vector3(1, 1, 1);
    a *= 2;
    EXPECT_EQ(a.x, 20);
    EXPECT_EQ(a.y, 42);
    EXPECT_EQ(a.z, 64);
    EXPECT_EQ(a.size(), 3u);

    vector2 b(3, 4);
    b *= 0.5f;
    EXPECT_EQ(b[0], 1.5f);
    EXPECT_EQ(b[1], 2.0f);
}

TEST(Vector, ConversionsBetweenTwoAndThreeComponents) {
    const vector2 flat(vector3(1, 2, 3));
    EXPECT_EQ(flat.x, 1);
    EXPECT_EQ(flat.y, 2);
    const vector3 lifted(vector2(5, 6));
    EXPECT_EQ(lifted.x, 5);
    EXPECT_EQ(lifted.y, 6);
    EXPECT_EQ(lifted.z, 0);
}

TEST(Vector, DefaultsAreZero) {
    const vector4 v;
    const Color c;
    EXPECT_EQ(v.x + v.y + v.z + v.w, 0.0f);
    EXPECT_EQ(c.r + c.g + c.b + c.a, 0.0f);
}

TEST(Vector, NormalizeVector3) {
    vector3 out;
    vo::NormalizeVector3(out, vector3(3, 0, 4));
    EXPECT_FLOAT_EQ(out.x, 0.6f);
    EXPECT_FLOAT_EQ(out.y, 0.0f);
    EXPECT_FLOAT_EQ(out.z, 0.8f);

    // In place.
    vector3 v(0, -2, 0);
    vo::NormalizeVector3(v, v);
    EXPECT_EQ(v.y, -1.0f);

    // Zero length and NaN leave the vector as it is.
    vo::NormalizeVector3(out, vector3(0, 0, 0));
    EXPECT_EQ(out.x, 0.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    vo::NormalizeVector3(out, vector3(nan, 1, 1));
    EXPECT_TRUE(std::isnan(out.x));
    EXPECT_EQ(out.y, 1.0f);
}

TEST(Color, IndexingAndScaleIncludingAlpha) {
    Color c(0.2f, 0.4f, 0.6f, 0.8f);
    c *= 0.5f;
    EXPECT_FLOAT_EQ(c[0], 0.1f);
    EXPECT_FLOAT_EQ(c[1], 0.2f);
    EXPECT_FLOAT_EQ(c[2], 0.3f);
    EXPECT_FLOAT_EQ(c[3], 0.4f);
    c[3] = 1.0f;
    EXPECT_EQ(c.a, 1.0f);
    const Color& cc = c;
    EXPECT_EQ(cc[3], 1.0f);
}

template <class T>
std::string Text(const T& value) {
    std::ostringstream os;
    os << value;
    return os.str();
}

TEST(StreamOutput, Vectors) {
    EXPECT_EQ(Text(vector2(1, 2)), "(1, 2)");
    EXPECT_EQ(Text(vector3(1, 2, 3)), "(1, 2, 3)");
    EXPECT_EQ(Text(vector4(1.5f, -2, 0, 4)), "(1.5, -2, 0, 4)");

    // The stream's own float format applies.
    std::ostringstream os;
    os << std::fixed;
    os.precision(1);
    os << vector2(0.25f, 2);
    EXPECT_EQ(os.str(), "(0.2, 2.0)");
}

TEST(StreamOutput, MatricesWriteOneLinePerRowAndKeepTheFormat) {
    vo::MathMatrix<2, 2, float> m;
    m(0, 0) = 1;
    m(0, 1) = -2.5f;
    m(1, 0) = 0;
    m(1, 1) = 123456789.0f;
    std::ostringstream os;
    os << m;
    EXPECT_EQ(os.str(),
              "| 1.00000000e+00-2.50000000e+00 |\n"
              "| 0.00000000e+00 1.23456792e+08 |\n");
    // Precision 8 and scientific stay; the width applied per element only.
    os.str("");
    os << 0.5f;
    EXPECT_EQ(os.str(), "5.00000000e-01");

    vo::MathMatrix<2, 3, float> m23;
    vo::MathMatrix<3, 2, float> m32;
    vo::MathMatrix<3, 3, float> m33 = vo::MathMatrix<3, 3, float>::identity();
    EXPECT_EQ(Text(m23),
              "| 0.00000000e+00 0.00000000e+00 0.00000000e+00 |\n"
              "| 0.00000000e+00 0.00000000e+00 0.00000000e+00 |\n");
    EXPECT_EQ(Text(m32).size(), 3u * (1 + 2 * 15 + 2 + 1));
    EXPECT_EQ(Text(m33).substr(0, 49), "| 1.00000000e+00 0.00000000e+00 0.00000000e+00 |\n");
}

TEST(MathMatrix, LayoutIdentityAndProduct) {
    using M4 = vo::MathMatrix<4, 4, float>;
    const M4 id = M4::identity();
    for (unsigned int i = 0; i < 16; ++i) EXPECT_EQ(id[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;

    // Row-vector convention: a translation in elements 12..14 moves a point
    // when the point's row is multiplied from the left.
    M4 t = M4::identity();
    t[12] = 1;
    t[13] = 2;
    t[14] = 3;
    vo::MathMatrix<1, 4, float> p;
    p[0] = 10;
    p[1] = 20;
    p[2] = 30;
    p[3] = 1;
    const vo::MathMatrix<1, 4, float> q = p * t;
    EXPECT_EQ(q[0], 11);
    EXPECT_EQ(q[1], 22);
    EXPECT_EQ(q[2], 33);
    EXPECT_EQ(q[3], 1);

    const M4 tt = t * t;
    EXPECT_EQ(tt[12], 2);
    EXPECT_EQ(tt[14], 6);
    EXPECT_EQ(tt(3, 3), 1);
    EXPECT_EQ(tt(3, 2), tt[14]);
}

}  // namespace
