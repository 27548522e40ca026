#include "engine/visuals/text_layout.h"

#include "engine/core/vertex.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/font.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vo {
namespace {

TEST(TextLayoutKerning, KerningMovesThePenOnly) {
    vo_test::TestWindow window(32, 32);
    Font font;
    font.set_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", Font::FONT_FREETYPE);
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
