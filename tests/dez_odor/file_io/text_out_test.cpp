// The buffered text of the OBJ and STL writers: the same bytes as the
// stream it replaces.

#include "dez_odor/file_io/text_out.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// What a stream in the classic locale with default flags writes.
template <class T>
std::string StreamText(const std::vector<T>& values)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    for (const T& v : values)
        out << v << ' ';
    return out.str();
}

template <class T>
std::string BufferedText(const std::vector<T>& values)
{
    std::ostringstream out;
    {
        mg::TextOut text(out);
        for (const T& v : values)
            text << v << ' ';
    }
    return out.str();
}

TEST(TextOut, FloatsComeOutAsTheStreamWritesThem)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<float> values = {0.0f, -0.0f, inf, -inf, nan, -nan, 1.0f, -1.0f, 0.1f, 1.0f / 3.0f,
                                 // Where %g switches between its forms and rounds up a digit.
                                 1e-4f, 9.99999e-5f, 1e-5f, 999999.0f, 999999.5f, 1e6f, 9999995.0f, 123456.5f,
                                 0.000123456789f, 2.5e-7f,
                                 std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min(),
                                 std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest()};
    // Every float of a few binades near 1 and 100 in steps, and random bit
    // patterns over the whole range.
    for (float v = 0.5f; v < 4.0f; v = std::nextafter(v, 5.0f) + 1e-5f)
        values.push_back(v);
    for (float v = 99.0f; v < 101.0f; v = std::nextafter(v, 200.0f) + 3e-4f)
        values.push_back(v);
    std::mt19937 rng(17);
    for (int i = 0; i < 300000; ++i) {
        const std::uint32_t bits = rng();
        float v;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v);
    }
    const std::string expected = StreamText(values);
    const std::string got = BufferedText(values);
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected);
}

TEST(TextOut, IntegersAndTextComeOutUnchangedAcrossFlushes)
{
    const std::vector<long long> numbers = {0, 1, -1, 7, INT_MAX, INT_MIN, LLONG_MAX, LLONG_MIN};
    EXPECT_EQ(BufferedText(numbers), StreamText(numbers));
    const std::vector<size_t> sizes = {0, 42, SIZE_MAX};
    EXPECT_EQ(BufferedText(sizes), StreamText(sizes));
    const std::vector<unsigned int> counts = {0u, 3u, UINT_MAX};
    EXPECT_EQ(BufferedText(counts), StreamText(counts));

    // Pieces of text shorter and longer than the buffer, in order.
    std::ostringstream out;
    std::string expected;
    {
        mg::TextOut text(out);
        const std::string longer(200000, 'x');
        for (int i = 0; i < 5000; ++i) {
            text << "v " << i << ' ' << 0.5f << "\n";
            expected += "v " + std::to_string(i) + " 0.5\n";
            if (i % 1000 == 0) {
                text << longer;
                expected += longer;
            }
        }
        text.flush();
        EXPECT_EQ(out.str(), expected);  // all there after flush()
        text << "end";
    }
    EXPECT_EQ(out.str(), expected + "end");  // and when the object goes
}

}  // namespace
