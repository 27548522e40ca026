// Costs of text: building a FreeType face (a first-use hitch inside a frame),
// wrapping and laying out strings of growing length.

#include "engine/sfml/engine.h"
#include "engine/visuals/font.h"
#include "engine/visuals/text_layout.h"

#include <benchmark/benchmark.h>

#include <iostream>
#include <sstream>
#include <string>

namespace {

const char* const SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Prose of about `bytes` bytes, words of varying length.
std::string Prose(std::size_t bytes) {
    static const char* const words[] = {"the", "slob", "throws", "a", "grenade", "across", "lava", "cave"};
    std::string text;
    for (std::size_t i = 0; text.size() < bytes; ++i) {
        text += words[i % 8];
        text += (i % 23 == 22) ? '\n' : ' ';
    }
    return text;
}

vo::Font& SansAt20() {
    static vo::Font font;
    static bool built = false;
    if (!built) {
        std::streambuf* old = std::cout.rdbuf(nullptr);  // the face build reports itself
        font.set_file(SANS, vo::Font::FONT_FREETYPE);
        font.set_character_height(20.0f);
        std::cout.rdbuf(old);
        built = true;
    }
    return font;
}

void BM_BuildFreeTypeFace(benchmark::State& state) {
    const float height = static_cast<float>(state.range(0));
    std::streambuf* old = std::cout.rdbuf(nullptr);
    for (auto _ : state) {
        vo::Font font;
        font.set_file(SANS, vo::Font::FONT_FREETYPE);
        font.set_character_height(height);
        benchmark::DoNotOptimize(font.texture().get());
    }
    std::cout.rdbuf(old);
}
BENCHMARK(BM_BuildFreeTypeFace)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);

void BM_WrapText(benchmark::State& state) {
    vo::Font& font = SansAt20();
    const std::string text = Prose(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(vo::WrapText(text.c_str(), font, 1.0f, 300.0f));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_WrapText)->Arg(100)->Arg(1000)->Arg(10000);

void BM_CreateTextGeometry(benchmark::State& state) {
    vo::Font& font = SansAt20();
    const std::string text = vo::WrapText(Prose(static_cast<std::size_t>(state.range(0))).c_str(), font, 1.0f, 300.0f);
    vo::Engine& engine = vo::Engine::instance();
    vo::SmartPtr<vo::VertexBuffer> vertices = engine.create_vertex_buffer();
    vo::SmartPtr<vo::IndexBuffer> indices = engine.create_index_buffer();
    for (auto _ : state) {
        benchmark::DoNotOptimize(vo::CreateTextGeometry(*vertices, *indices, text.c_str(), font,
                                                        vo::vector3(0, 0, 0), vo::vector3(1, 0, 0),
                                                        vo::vector3(0, 1, 0), vo::Color(1, 1, 1, 1)));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_CreateTextGeometry)->Arg(100)->Arg(1000)->Arg(10000);

}  // namespace
