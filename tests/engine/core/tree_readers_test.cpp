#include "engine/core/tree_readers.h"

#include "engine/core/error.h"

#include <gtest/gtest.h>

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sstream>
#include <string>

namespace vo {
namespace {

using boost::property_tree::ptree;

ptree ParseInfo(const std::string& text) {
    std::istringstream in(text);
    ptree tree;
    boost::property_tree::read_info(in, tree);
    return tree;
}

struct FrameCase {
    const char* info;
    float left, top, right, bottom;
    const char* error;  // null when the frame is complete
};

class ReadFrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(ReadFrameTest, SettlesEdgesOrNamesTheMissingPair) {
    const FrameCase& c = GetParam();
    const ptree node = ParseInfo(c.info);
    if (c.error) {
        try {
            ReadFrame(node);
            FAIL() << "no error for: " << c.info;
        } catch (const Error& e) {
            EXPECT_STREQ(c.error, e.message()) << c.info;
        }
        return;
    }
    const Frame f = ReadFrame(node);
    EXPECT_FLOAT_EQ(c.left, f.left()) << c.info;
    EXPECT_FLOAT_EQ(c.top, f.top()) << c.info;
    EXPECT_FLOAT_EQ(c.right, f.right()) << c.info;
    EXPECT_FLOAT_EQ(c.bottom, f.bottom()) << c.info;
}

const char* const kNoRight = "Can't read frame. Neither 'right' nor 'width' specified";
const char* const kNoLeft = "Can't read frame. Neither 'left' nor 'width' specified";
const char* const kNoHorizontalAnchor = "Can't read frame. Neither 'left', nor 'centerX' nor 'right' specified";
const char* const kNoBottom = "Can't read frame. Neither 'bottom' nor 'height' specified";
const char* const kNoTop = "Can't read frame. Neither 'top' nor 'height' specified";
const char* const kNoVerticalAnchor = "Can't read frame. Neither 'top', nor 'centerY' nor 'bottom' specified";

INSTANTIATE_TEST_SUITE_P(
    AllBranches, ReadFrameTest,
    ::testing::Values(
        // all four edges as given; width, height and centres are then ignored
        FrameCase{"left 1 right 2 top 3 bottom 4 width 99 centerX 99 height 99 centerY 99", 1, 3, 2, 4, nullptr},
        // left + width, top + height: top above bottom with yUp (default) ...
        FrameCase{"left 10 width 20 top 5 height 5", 10, 5, 30, 0, nullptr},
        // ... and below it with yUp false
        FrameCase{"yUp false left 10 width 20 top 5 height 5", 10, 5, 30, 10, nullptr},
        FrameCase{"yUp true left 10 width 20 top 5 height 5", 10, 5, 30, 0, nullptr},
        // right - width, bottom + height
        FrameCase{"right 8 width 3 bottom 1 height 2", 5, 3, 8, 1, nullptr},
        FrameCase{"yUp false right 8 width 3 bottom 1 height 2", 5, -1, 8, 1, nullptr},
        // centres with sizes
        FrameCase{"centerX 0 width 4 centerY 0 height 2", -2, 1, 2, -1, nullptr},
        FrameCase{"yUp false centerX 0 width 4 centerY 0 height 2", -2, -1, 2, 1, nullptr},
        // right wins over centerX when left is missing
        FrameCase{"right 10 centerX 0 width 4 top 0 bottom 1", 6, 0, 10, 1, nullptr},
        // text that does not convert counts as missing
        FrameCase{"left abc width 2 right 5 top 0 bottom 1", 3, 0, 5, 1, nullptr},
        FrameCase{"left 1.5x right 5 top 0 bottom 1", 0, 0, 0, 0, kNoLeft},
        FrameCase{"yUp maybe left 0 right 1 top 0 height 1", 0, 0, 1, -1, nullptr},
        // the five messages, the horizontal pair checked first
        FrameCase{"left 1 top 0 bottom 1", 0, 0, 0, 0, kNoRight},
        FrameCase{"right 3 centerX 0 top 0 bottom 1", 0, 0, 0, 0, kNoLeft},
        FrameCase{"top 0 height 1", 0, 0, 0, 0, kNoLeft},
        FrameCase{"width 3 top 0 bottom 1", 0, 0, 0, 0, kNoHorizontalAnchor},
        FrameCase{"left 0 right 1 top 0", 0, 0, 0, 0, kNoBottom},
        FrameCase{"left 0 right 1", 0, 0, 0, 0, kNoTop},
        FrameCase{"left 0 right 1 bottom 2 centerY 1", 0, 0, 0, 0, kNoTop},
        FrameCase{"left 0 right 1 height 2", 0, 0, 0, 0, kNoVerticalAnchor},
        FrameCase{"", 0, 0, 0, 0, kNoLeft}));

TEST(TreeReadersTest, ColourAndVectorTakeMissingComponentsFromTheDefault) {
    const Color c = ReadColor(ParseInfo("a 0.5"), Color(1, 0, 0, 1));
    EXPECT_FLOAT_EQ(1.0f, c.r);
    EXPECT_FLOAT_EQ(0.0f, c.g);
    EXPECT_FLOAT_EQ(0.0f, c.b);
    EXPECT_FLOAT_EQ(0.5f, c.a);

    const Color full = ReadColor(ParseInfo("r 0.1 g 0.2 b nan a 0.4"), Color(9, 9, 9, 9));
    EXPECT_FLOAT_EQ(0.1f, full.r);
    EXPECT_FLOAT_EQ(0.2f, full.g);
    EXPECT_FLOAT_EQ(9.0f, full.b);  // "nan" does not convert
    EXPECT_FLOAT_EQ(0.4f, full.a);

    const vector2 v = ReadVector2(ParseInfo("y -3.5"), vector2(7, 8));
    EXPECT_FLOAT_EQ(7.0f, v.x);
    EXPECT_FLOAT_EQ(-3.5f, v.y);
}

TEST(TreeReadersTest, FloatIsReadFromTheValueChild) {
    EXPECT_FLOAT_EQ(2.5f, ReadFloat(ParseInfo("value 2.5"), 1.0f));
    // the node's own text is not the value
    const ptree tree = ParseInfo("speed 4");
    EXPECT_FLOAT_EQ(1.0f, ReadFloat(tree.get_child("speed"), 1.0f));
    EXPECT_FLOAT_EQ(1.0f, ReadFloat(ParseInfo("value 1e999"), 1.0f));  // out of range
}

TEST(TreeReadersTest, MusicDescriptionsAndTransitionsHaveDefaults) {
    const MusicDesc empty = ReadMusicDesc(ptree());
    EXPECT_EQ("", empty.file);
    EXPECT_DOUBLE_EQ(100.0, empty.volume);
    EXPECT_FALSE(empty.repeat);

    const MusicDesc desc = ReadMusicDesc(ParseInfo("file \"menu theme.ogg\" volume 35.5 repeat true"));
    EXPECT_EQ("menu theme.ogg", desc.file);
    EXPECT_DOUBLE_EQ(35.5, desc.volume);
    EXPECT_TRUE(desc.repeat);

    const MusicTransition none = ReadMusicTransition(ptree());
    EXPECT_DOUBLE_EQ(0.0, none.fade_offset);
    EXPECT_DOUBLE_EQ(0.0, none.fade_duration);

    const MusicTransition t = ReadMusicTransition(ParseInfo("fadeOffset 1.25 fadeDuration x"));
    EXPECT_DOUBLE_EQ(1.25, t.fade_offset);
    EXPECT_DOUBLE_EQ(0.0, t.fade_duration);
}

}  // namespace
}  // namespace vo
