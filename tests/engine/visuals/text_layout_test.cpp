#include "engine/visuals/text_layout.h"

#include "engine/core/resources.h"
#include "engine/core/vertex.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/font.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"
#include "support/engine/text_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vo {
namespace {

// One font for the whole file: every glyph 8 x 10 advancing 10, no kerning, at height 10 (one texture pixel per unit).
class TextLayout : public testing::Test {
protected:
    static void SetUpTestSuite() {
        window_ = new vo_test::TestWindow(32, 32);
        folder_ = new vo_test::TempFolder;
        Textures().path = folder_->path() + "/";
        const std::string info = vo_test::WriteBlockFont(folder_->path(), vo_test::UniqueName("layout"), 8, 10, 10);
        testing::internal::CaptureStdout();
        font_ = new SmartPtr<Font>(vo_test::LoadBlockFont(info, 10.0f));
        testing::internal::GetCapturedStdout();
    }
    static void TearDownTestSuite() {
        delete font_;
        delete folder_;
        delete window_;
    }

    static const Font& font() { return **font_; }

    static vo_test::TestWindow* window_;
    static vo_test::TempFolder* folder_;
    static SmartPtr<Font>* font_;
};

vo_test::TestWindow* TextLayout::window_ = nullptr;
vo_test::TempFolder* TextLayout::folder_ = nullptr;
SmartPtr<Font>* TextLayout::font_ = nullptr;

struct WrapCase {
    const char* text;
    float max_width;
    const char* wrapped;
};

TEST_F(TextLayout, WrapTextCases) {
    const WrapCase cases[] = {
        // The blank does not fit behind aaa and is dropped.
        {"aaa bbb", 35.0f, "aaa\nbbb"},
        // The blank fits and stays at the end of the first line.
        {"aaa bbbb", 55.0f, "aaa \nbbbb"},
        // A word wider than a line gets a line of its own and is not split.
        {"aaaaaa", 35.0f, "\naaaaaa"},
        // A '\n' of the text restarts the width and travels with its word.
        {"ab\ncd ef", 35.0f, "ab\ncd \nef"},
        // Room for everything: unchanged, blanks kept.
        {"aa bb  cc", 1000.0f, "aa bb  cc"},
        {"", 35.0f, ""},
        // A tab is four advances wide.
        {"a\tb", 45.0f, "ab"},
        {"a\tb", 55.0f, "a\t\nb"},
        {"a\tb", 65.0f, "a\tb"},
    };
    for (const WrapCase& c : cases) {
        EXPECT_EQ(WrapText(c.text, font(), 1.0f, c.max_width), c.wrapped) << '"' << c.text << "\" at " << c.max_width;
    }
    // The scale multiplies every width: at scale 2 "aaa" needs 60.
    EXPECT_EQ(WrapText("aaa bbb", font(), 2.0f, 70.0f), "aaa\nbbb");
    // Bytes from 128 up take the fallback glyph, which has no width here.
    EXPECT_EQ(WrapText("aa\xe9\xe9\xe9 bb", font(), 1.0f, 35.0f), "aa\xe9\xe9\xe9 \nbb");
}

// The vertices of a text laid out at the origin.
struct Layout {
    SmartPtr<VertexBuffer> vertices = Engine::instance().create_vertex_buffer();
    SmartPtr<IndexBuffer> indices = Engine::instance().create_index_buffer();
    AABox box;

    std::vector<ColorVertex> read_vertices() {
        std::vector<ColorVertex> out(vertices->num_vertices());
        void* data = nullptr;
        EXPECT_TRUE(vertices->lock(&data, 0, vertices->num_vertices()));
        if (!out.empty()) std::memcpy(out.data(), data, out.size() * sizeof(ColorVertex));
        vertices->unlock();
        return out;
    }
    std::vector<unsigned> read_indices() {
        std::vector<unsigned> out(indices->num_indices());
        unsigned* data = nullptr;
        EXPECT_TRUE(indices->lock(&data, 0, indices->num_indices()));
        if (!out.empty()) std::memcpy(out.data(), data, out.size() * sizeof(unsigned));
        indices->unlock();
        return out;
    }
};

TEST_F(TextLayout, GeometryOfTwoLines) {
    Layout layout;
    const Color red(1, 0, 0, 1);
    const vector3 origin(5.0f, 7.0f, 0.0f);
    layout.box = CreateTextGeometry(*layout.vertices, *layout.indices, "A\nB", font(), origin,
                                    vector3(1, 0, 0), vector3(0, 1, 0), red);
    ASSERT_EQ(layout.vertices->num_vertices(), 12u);  // four per byte, the break's left unused
    EXPECT_EQ(layout.vertices->format(), 0xBu);
    EXPECT_EQ(layout.vertices->vertex_size(), 36u);
    EXPECT_FALSE(layout.vertices->is_locked());
    EXPECT_FALSE(layout.indices->is_locked());

    const std::vector<ColorVertex> v = layout.read_vertices();
    const Font::Glyph& a = font().glyph('A');
    // A: upper left, lower left, lower right, upper right.
    EXPECT_EQ(v[0].position.x, 5.0f);
    EXPECT_EQ(v[0].position.y, 7.0f);
    EXPECT_EQ(v[1].position.y, 17.0f);
    EXPECT_EQ(v[2].position.x, 13.0f);
    EXPECT_EQ(v[2].position.y, 17.0f);
    EXPECT_EQ(v[3].position.x, 13.0f);
    EXPECT_EQ(v[0].tex_coord.x, a.xmin);
    EXPECT_EQ(v[0].tex_coord.y, a.ymin);
    EXPECT_EQ(v[2].tex_coord.x, a.xmax);
    EXPECT_EQ(v[2].tex_coord.y, a.ymax);
    EXPECT_EQ(v[2].color.r, 1.0f);
    EXPECT_EQ(v[2].color.g, 0.0f);
    // B starts the next line: origin plus one line step (1.1 x 10).
    EXPECT_EQ(v[4].position.x, 5.0f);
    EXPECT_FLOAT_EQ(v[4].position.y, 7.0f + 11.0f);

    const std::vector<unsigned> idx = layout.read_indices();
    EXPECT_EQ(idx, (std::vector<unsigned>{0, 1, 2, 2, 3, 0, 4, 5, 6, 6, 7, 4}));

    EXPECT_EQ(layout.box.min.x, 5.0f);
    EXPECT_EQ(layout.box.min.y, 7.0f);
    EXPECT_EQ(layout.box.max.x, 13.0f);
    EXPECT_FLOAT_EQ(layout.box.max.y, 28.0f);

    // An empty text re-creates the buffers empty.
    CreateTextGeometry(*layout.vertices, *layout.indices, "", font(), origin, vector3(1, 0, 0), vector3(0, 1, 0),
                       red);
    EXPECT_EQ(layout.vertices->num_vertices(), 0u);
    EXPECT_EQ(layout.indices->num_indices(), 0u);
}

TEST_F(TextLayout, BoxAlwaysHoldsTheOrigin) {
    Layout layout;
    const AABox box = CreateTextGeometry(*layout.vertices, *layout.indices, "ab", font(), vector3(0, 0, 0),
                                         vector3(1, 0, 0), vector3(0, 1, 0), Color(1, 1, 1, 1));
    EXPECT_EQ(box.min.x, 0.0f);
    EXPECT_EQ(box.max.x, 18.0f);  // pen 10 + width 8
    EXPECT_EQ(box.max.y, 10.0f);

    const AABox estimate =
        EstimateTextDimensions("ab\nc", font(), vector3(0, 0, 0), vector3(1, 0, 0), vector3(0, 1, 0));
    EXPECT_EQ(estimate.max.x, 18.0f);
    // The last line reaches down to its bottom line.
    EXPECT_FLOAT_EQ(estimate.max.y, 11.0f + 10.0f);
}

TEST(TextLayoutKerning, KerningMovesThePenOnly) {
    vo_test::TestWindow window(32, 32);
    Font font;
    font.set_file(vo_test::DEJAVU_SANS, Font::FONT_FREETYPE);
    testing::internal::CaptureStdout();
    font.set_character_height(20.0f);
    testing::internal::GetCapturedStdout();

    SmartPtr<VertexBuffer> vertices = Engine::instance().create_vertex_buffer();
    SmartPtr<IndexBuffer> indices = Engine::instance().create_index_buffer();
    const vector3 right(1, 0, 0), down(0, 1, 0);
    auto second_x = [&](const char* text) {
        CreateTextGeometry(*vertices, *indices, text, font, vector3(0, 0, 0), right, down, Color(1, 1, 1, 1));
        void* data = nullptr;
        vertices->lock(&data, 0, 8);
        const float x = static_cast<const ColorVertex*>(data)[4].position.x;
        vertices->unlock();
        return x;
    };
    const float av = second_x("AV");
    const float xv = second_x("\x01V");  // a zero glyph before V: no advance, no kerning
    EXPECT_EQ(av, font.glyph('A').advance - 1.0f + xv);
    // The same pair across a line break is not kerned.
    const float broken = second_x("A\nV");
    EXPECT_EQ(broken, xv);

    // WrapText counts the kerning too: "AV" is one pixel narrower than A + V.
    const float wide = font.glyph('A').advance + font.glyph('V').advance;
    EXPECT_EQ(WrapText("AV", font, 1.0f, wide - 1.0f), "AV");
    // One pixel less and the word moves to a line of its own.
    EXPECT_EQ(WrapText("AV", font, 1.0f, wide - 1.5f), "\nAV");
}

}  // namespace
}  // namespace vo
