// What a widget costs the back end per frame: draws and render-state pushes,
// counted by the real SFML back end with a counting layer over its draws.

#include "engine/sfml/sfml_engine.h"
#include "engine/widgets/widget.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace {

using vo::Frame;
using vo::Widget;

class CountingEngine : public vo::SFML_Engine {
public:
    int draws = 0;
    int viewports = 0;
    int scissors = 0;
    int matrices = 0;

    void reset() { draws = viewports = scissors = matrices = 0; }

    void draw_indexed(int first_vertex, int num_vertices, int first_index, int num_indices, int reserved,
                      vo::PrimitiveType type) override {
        ++draws;
        SFML_Engine::draw_indexed(first_vertex, num_vertices, first_index, num_indices, reserved, type);
    }
    void draw_arrays(int first, int count, vo::PrimitiveType type) override {
        ++draws;
        SFML_Engine::draw_arrays(first, count, type);
    }
    void push_viewport(int x, int y, int width, int height, bool relative) override {
        ++viewports;
        SFML_Engine::push_viewport(x, y, width, height, relative);
    }
    void push_scissor(int x, int y, int width, int height, bool relative) override {
        ++scissors;
        SFML_Engine::push_scissor(x, y, width, height, relative);
    }
    void push_matrix(bool modelview, bool texture, bool projection) override {
        ++matrices;
        SFML_Engine::push_matrix(modelview, texture, projection);
    }
};

struct Cost {
    int draws;
    int pushes;  // viewports, clip boxes and matrix pushes each
};

// Draws the tree once and compares what it cost; prints the difference.
bool Costs(CountingEngine& engine, Widget& root, Cost expected, const char* what) {
    engine.clear();
    engine.reset();
    root.draw();
    bool const ok = engine.draws == expected.draws && engine.viewports == expected.pushes &&
                    engine.scissors == expected.pushes && engine.matrices == expected.pushes;
    if (!ok) {
        std::cerr << what << ": " << engine.draws << " draws, " << engine.viewports << " viewports, "
                  << engine.scissors << " clip boxes, " << engine.matrices << " matrix pushes; expected "
                  << expected.draws << " draws and " << expected.pushes << " pushes each\n";
    }
    return ok;
}

int CountDrawCalls() {
    // The counting back end must be the engine before anything fetches it.
    static CountingEngine engine;
    vo::OverrideEngineInstance(&engine);
    vo_test::TestWindow window(320, 240);

    bool ok = true;
    Widget root(nullptr, 0x180E);
    ok &= Costs(engine, root, {0, 0}, "a virtual root");

    auto* plain = new Widget(&root);
    plain->set_frame(Frame(10, 10, 60, 60));
    // Background fill and the two border lines; the default overlay is clear.
    ok &= Costs(engine, root, {3, 1}, "a bordered widget");

    plain->disable_state(vo::WS_ENABLED);
    ok &= Costs(engine, root, {4, 1}, "a disabled widget with its overlay");
    plain->enable_state(vo::WS_ENABLED);

    plain->disable_state(vo::WS_BORDER);
    ok &= Costs(engine, root, {1, 1}, "a widget without border");
    plain->enable_state(vo::WS_BORDER);

    for (int i = 0; i < 9; ++i) {
        auto* child = new Widget(plain);
        child->set_frame(Frame(2, 2 + 5.0f * i, 40, 6 + 5.0f * i));
    }
    ok &= Costs(engine, root, {30, 10}, "ten bordered widgets");

    plain->disable_state(vo::WS_VISIBLE);
    ok &= Costs(engine, root, {0, 0}, "a hidden subtree");
    return ok ? 0 : 1;
}

TEST(WidgetDrawCalls, ABorderedWidgetCostsThreeDraws) {
    // A process of its own: the engine must not have been fetched before.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(CountDrawCalls()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
