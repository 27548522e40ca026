// Widget hot paths: mouse routing through a large tree, layout propagation
// while a container's frame is tweened, and drawing a tree of bordered
// widgets into a real window.

#include "engine/widgets/widget.h"
#include "support/engine/test_window.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using vo::Frame;
using vo::Widget;

// A virtual root holding 10 panels of 10 rows of 10 cells: 1111 widgets.
std::unique_ptr<Widget> BuildGrid() {
    std::unique_ptr<Widget> root(new Widget(nullptr, 0x180E));
    for (int p = 0; p < 10; ++p) {
        auto* panel = new Widget(root.get());
        panel->set_frame(Frame(p * 100.0f, 0, p * 100.0f + 100, 1000));
        for (int r = 0; r < 10; ++r) {
            auto* row = new Widget(panel);
            row->set_frame(Frame(0, r * 100.0f, 100, r * 100.0f + 100));
            for (int c = 0; c < 10; ++c) {
                auto* cell = new Widget(row);
                cell->set_frame(Frame(c * 10.0f, 0, c * 10.0f + 10, 100));
            }
        }
    }
    return root;
}

void BM_RouteMoves(benchmark::State& state) {
    std::unique_ptr<Widget> root = BuildGrid();
    float x = 0.0f;
    for (auto _ : state) {
        x = x >= 999.0f ? 0.5f : x + 7.0f;
        vo::MouseEvent const move(vo::MOUSE_MOVED, vo::MOUSE_BUTTON_NONE, 0, x, 555.0f);
        benchmark::DoNotOptimize(root->process_mouse_event(move));
    }
}
BENCHMARK(BM_RouteMoves);

void BM_TweenedContainer(benchmark::State& state) {
    Widget panel;
    panel.set_frame(Frame(0, 0, 300, 600));
    for (int i = 0; i < 30; ++i) {
        auto* child = new Widget(&panel);
        child->set_frame(Frame(10, i * 20.0f, 290, i * 20.0f + 18));
    }
    bool out = true;
    for (auto _ : state) {
        if (Widget::s_tweenMachine.num_running() == 0) {
            panel.tween_to(out ? Frame(400, 0, 700, 600) : Frame(0, 0, 300, 600), 0.5);
            out = !out;
        }
        Widget::update(1.0 / 60.0);
    }
}
BENCHMARK(BM_TweenedContainer);

void BM_DrawTree(benchmark::State& state) {
    vo_test::TestWindow window(320, 240);
    Widget root(nullptr, 0x180E);
    for (int i = 0; i < 200; ++i) {
        auto* w = new Widget(&root);
        float const x = static_cast<float>((i % 20) * 16);
        float const y = static_cast<float>((i / 20) * 24);
        w->set_frame(Frame(x, y, x + 15, y + 22));
    }
    for (auto _ : state) {
        window.engine().clear();
        root.draw();
    }
    window.engine().display();
}
BENCHMARK(BM_DrawTree)->Unit(benchmark::kMicrosecond);

}  // namespace
