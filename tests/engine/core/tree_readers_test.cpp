#include "engine/core/tree_readers.h"

#include "engine/core/error.h"
#include "engine/core/resources.h"
#include "engine/visuals/image.h"
#include "support/case_name.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

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
        FrameCase{"", 0, 0, 0, 0, kNoLeft}),
    // Named by their INFO text.
    [](const ::testing::TestParamInfo<FrameCase>& info) { return test_names::CaseName(info.param.info); });

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

// Images over real textures written by the test.
class ReadImageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { vo_test::PrepareDisplay(); }
    void SetUp() override {
        square = folder.file("square.png");
        ASSERT_TRUE(vo_test::WritePng(square, 64, 64, [](unsigned, unsigned) { return vo_test::Rgba{0, 0, 255, 255}; }));
    }
    void TearDown() override { Textures().clear(); }

    ptree ImageNode(const std::string& rest) { return ParseInfo("texture \"" + square + "\"\n" + rest); }

    static void ExpectFrame(const Frame& f, float left, float top, float right, float bottom) {
        EXPECT_FLOAT_EQ(left, f.left());
        EXPECT_FLOAT_EQ(top, f.top());
        EXPECT_FLOAT_EQ(right, f.right());
        EXPECT_FLOAT_EQ(bottom, f.bottom());
    }

    vo_test::TempFolder folder;
    std::string square;
};

TEST_F(ReadImageTest, TextureAloneCoversTheUnitFrame) {
    const Image image = ReadImage(ImageNode(""));
    EXPECT_EQ(GetTexture(square).get(), image.texture().get());
    ExpectFrame(image.src_frame, 0, 0, 1, 1);
    ExpectFrame(image.dest_frame, 0, 0, 1, 1);
    EXPECT_FLOAT_EQ(1.0f, image.color.r);
    EXPECT_FLOAT_EQ(1.0f, image.color.a);
}

TEST_F(ReadImageTest, SourceFrameIsNormalisedAndSizesTheDestination) {
    const Image image = ReadImage(ImageNode("srcFrame { left 0 top 0 right 32 bottom 16 }"));
    ExpectFrame(image.src_frame, 0, 0, 0.5f, 0.25f);
    ExpectFrame(image.dest_frame, 0, 0, 32, 16);

    const Image flipped = ReadImage(ImageNode("srcFrame { left 16 top 0 right 32 bottom 16 }\ninvertSrcY true"));
    ExpectFrame(flipped.src_frame, 0.25f, 1.0f, 0.5f, 0.75f);
    ExpectFrame(flipped.dest_frame, 0, 0, 16, 16);

    // invertSrcY alone does nothing
    ExpectFrame(ReadImage(ImageNode("invertSrcY true")).src_frame, 0, 0, 1, 1);
}

TEST_F(ReadImageTest, DestinationFrameAndColourAsGiven) {
    const Image image = ReadImage(ImageNode(
        "srcFrame { left 0 top 0 width 8 height 8 yUp false }\n"
        "destFrame { centerX 100 width 20 top 10 height 4 yUp false }\n"
        "color { g 0.5 a 0.25 }"));
    ExpectFrame(image.src_frame, 0, 0, 0.125f, 0.125f);
    ExpectFrame(image.dest_frame, 90, 10, 110, 14);
    EXPECT_FLOAT_EQ(1.0f, image.color.r);
    EXPECT_FLOAT_EQ(0.5f, image.color.g);
    EXPECT_FLOAT_EQ(1.0f, image.color.b);
    EXPECT_FLOAT_EQ(0.25f, image.color.a);
}

TEST_F(ReadImageTest, ErrorsPassThrough) {
    EXPECT_THROW(ReadImage(ParseInfo("srcFrame { left 0 }")), boost::property_tree::ptree_bad_path);
    try {
        ReadImage(ImageNode("destFrame { left 0 right 1 }"));
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ("Can't read frame. Neither 'top' nor 'height' specified", e.message());
    }
    // a texture that does not load fails every time, never as an empty texture
    const std::string missing = folder.file("missing.png");
    for (int attempt = 0; attempt < 2; ++attempt) {
        ::testing::internal::CaptureStdout();
        EXPECT_THROW(ReadImage(ParseInfo("texture \"" + missing + "\"")), Error) << attempt;
        EXPECT_EQ("WARNING: Couldn't load texture: " + missing + "\n", ::testing::internal::GetCapturedStdout());
    }
}

}  // namespace
}  // namespace vo
