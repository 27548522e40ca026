// Drawing rectangles through the shared drawer into a real window (Xvfb in
// the test runs): the innermost path of image and widget drawing.

#include "engine/visuals/drawer.h"
#include "engine/visuals/image.h"
#include "support/engine/test_window.h"

#include <benchmark/benchmark.h>

namespace {

vo_test::TestWindow& Window() {
    static vo_test::TestWindow window(320, 240, "drawer benchmark");
    return window;
}

void BM_ThousandRectangles(benchmark::State& state) {
    vo_test::TestWindow& window = Window();
    window.use_pixel_coordinates();
    vo::Drawer& drawer = vo::SharedDrawer();
    const bool filled = state.range(0) != 0;
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const float x = static_cast<float>(i % 300);
            const float y = static_cast<float>((i * 7) % 220);
            drawer.set_color(0.2f, 0.4f, 0.6f, 1.0f);
            drawer.draw_rect(x, y, x + 12.0f, y + 8.0f, filled, 0.5f);
        }
        window.engine().clear();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ThousandRectangles)->Arg(1)->Arg(0)->ArgName("filled");

void BM_ThousandImages(benchmark::State& state) {
    vo_test::TestWindow& window = Window();
    window.use_pixel_coordinates();
    vo::Image image;
    image.color = vo::Color(1.0f, 0.5f, 0.0f, 1.0f);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            const float x = static_cast<float>(i % 300);
            image.dest_frame = vo::Frame(x, 10.0f, x + 16.0f, 26.0f);
            image.angle = static_cast<float>(i % 360);
            image.draw();
        }
        window.engine().clear();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_ThousandImages);

}  // namespace
