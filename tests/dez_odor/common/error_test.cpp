#include "common/error.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(MGErrorTest, KeepsAStackOfMessagesWithTheirPositions)
{
    mg::MGError err("abc", "F", 7);
    ASSERT_EQ(err.num_msg(), 1u);
    EXPECT_EQ(err.get_msg(), "abc");
    EXPECT_EQ(err.get_file(0), "F");
    EXPECT_EQ(err.get_line(0), 7);

    err.push_msg(std::string("context"), "G", 12);
    err.push_msg("context", "G", 12);  // the same text may stand twice
    ASSERT_EQ(err.num_msg(), 3u);
    EXPECT_EQ(err.get_msg(), "abc");
    EXPECT_EQ(err.get_msg(1), "context");
    EXPECT_EQ(err.get_file(1), "G");
    EXPECT_EQ(err.get_line(1), 12);
    EXPECT_EQ(err.get_msg(2), "context");
    EXPECT_THROW(err.get_msg(3), std::out_of_range);
}

TEST(MGErrorTest, CopiesAreIndependentAndBothConstructorsAgree)
{
    char file[] = "src/a.cpp";
    mg::MGError fromChars("text", file, 3);
    file[0] = 'X';  // the file name is copied, not referenced
    const mg::MGError fromString(std::string("text"), "src/a.cpp", 3);
    EXPECT_EQ(fromChars.get_msg(), fromString.get_msg());
    EXPECT_EQ(fromChars.get_file(0), fromString.get_file(0));
    EXPECT_EQ(fromChars.get_line(0), fromString.get_line(0));

    mg::MGError copy(fromChars);
    copy.push_msg("more", "b.cpp", 9);
    EXPECT_EQ(fromChars.num_msg(), 1u);
    ASSERT_EQ(copy.num_msg(), 2u);
    EXPECT_EQ(copy.get_msg(0), "text");
    EXPECT_EQ(copy.get_msg(1), "more");
}

TEST(MGErrorTest, ThrowMacroComposesTheMessageAndRecordsTheThrowingStatement)
{
    int line = 0;
    try {
        const int index = 4;
        line = __LINE__ + 1;
        MG_THROW("bad index " << index << " of " << 3);
    } catch (mg::MGError& err) {
        err.push_msg("while testing", __FILE__, __LINE__);
        EXPECT_EQ(err.get_msg(), "bad index 4 of 3");
        EXPECT_EQ(err.get_file(0), __FILE__);
        EXPECT_EQ(err.get_line(0), line);
        EXPECT_EQ(err.num_msg(), 2u);
        return;
    }
    FAIL() << "no MGError thrown";
}

}  // namespace
