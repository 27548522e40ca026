#include "engine/widgets/widget.h"
#include "widget_probe.h"

#include <gtest/gtest.h>

namespace {

using vo::Frame;
using vo::FrameTransform;
using vo::vector2;
using vo_test::Probe;
using vo_test::Recorder;

void ExpectFrame(Frame const& f, float left, float top, float right, float bottom) {
    EXPECT_FLOAT_EQ(f.left(), left);
    EXPECT_FLOAT_EQ(f.top(), top);
    EXPECT_FLOAT_EQ(f.right(), right);
    EXPECT_FLOAT_EQ(f.bottom(), bottom);
}

TEST(WidgetLayout, FramesAndInnerFrames) {
    Recorder w("w", nullptr);
    w.set_frame(Frame(10, 20, 110, 70));
    EXPECT_EQ(w.frame_changes, 1);
    ExpectFrame(w.inner_frame(), 2, 2, 98, 48);
    w.transform(FrameTransform(vector2(2, 3), vector2(5, 5), false));
    ExpectFrame(w.inner_transformed_frame(), 4, 6, 196, 144);
    ExpectFrame(w.transformed_frame(), 25, 65, 225, 215);
    w.set_transformed_frame(Frame(5, 5, 45, 35));
    ExpectFrame(w.frame(), 0, 0, 20, 10);
    w.set_inner_frame_dimensions(6, 8);
    ExpectFrame(w.frame(), 0, 0, 10, 12);
    w.disable_state(vo::WS_BORDER);
    w.set_inner_frame_dimensions(6, 8);
    ExpectFrame(w.frame(), 0, 0, 6, 8);
    ExpectFrame(w.inner_frame(), 0, 0, 6, 8);
}

TEST(WidgetLayout, TransformsReachTheChildrenWithoutOffset) {
    Probe root;
    root.set_frame(Frame(0, 0, 100, 100));
    auto* child = new Probe(&root);
    child->set_frame(Frame(10, 10, 30, 20));
    auto* grandchild = new Recorder("g", child);
    grandchild->set_frame(Frame(1, 2, 5, 6));

    root.transform(FrameTransform(vector2(2, 2), vector2(100, 50), false));
    EXPECT_FLOAT_EQ(root.transform().offset().x, 100.0f);
    for (vo::Widget const* w : {static_cast<vo::Widget const*>(child), static_cast<vo::Widget const*>(grandchild)}) {
        EXPECT_FLOAT_EQ(w->transform().scale().x, 2.0f);
        EXPECT_FLOAT_EQ(w->transform().scale().y, 2.0f);
        EXPECT_FLOAT_EQ(w->transform().offset().x, 0.0f);
        EXPECT_FLOAT_EQ(w->transform().offset().y, 0.0f);
    }
    EXPECT_GE(grandchild->frame_changes, 1);
    ExpectFrame(child->global_transformed_frame(), 120, 70, 160, 90);
    ExpectFrame(grandchild->global_transformed_frame(), 122, 74, 130, 82);
    ExpectFrame(grandchild->global_frame(), 11, 12, 15, 16);
    ExpectFrame(root.global_transformed_frame(), 100, 50, 300, 250);
    ExpectFrame(child->global_transformed_frame(Frame(0, 0, 1, 1)), 120, 70, 122, 72);
    ExpectFrame(root.global_transformed_frame(Frame(0, 0, 1, 1)), 100, 50, 102, 52);

    EXPECT_FLOAT_EQ(grandchild->upper_left_corner_global().x, 11.0f);
    EXPECT_FLOAT_EQ(grandchild->upper_left_corner_global_transformed().y, 74.0f);
    vector2 const local = grandchild->global_to_local(vector2(20, 20));
    EXPECT_FLOAT_EQ(local.x, 9.0f);
    EXPECT_FLOAT_EQ(local.y, 8.0f);
    EXPECT_FLOAT_EQ(grandchild->local_to_global(local).x, 20.0f);
    vector2 const pixel = grandchild->global_to_local_transformed(vector2(130, 80));
    EXPECT_FLOAT_EQ(pixel.x, 8.0f);
    EXPECT_FLOAT_EQ(pixel.y, 6.0f);
    EXPECT_FLOAT_EQ(grandchild->local_to_global_transformed(pixel).y, 80.0f);

    // A frame of no area hands its children the identity.
    child->set_frame(Frame(10, 10, 10, 20));
    EXPECT_FLOAT_EQ(grandchild->transform().scale().x, 1.0f);
}

TEST(WidgetLayout, AdjustToContent) {
    // Without children: the estimates, at least nothing, inside the border.
    Recorder leaf("leaf", nullptr);
    leaf.set_frame(Frame(3, 4, 50, 50));
    leaf.adjust_to_content(true);
    ExpectFrame(leaf.frame(), 3, 4, 7, 8);
    leaf.width_estimate = 24;
    leaf.height_estimate = -5;
    leaf.adjust_to_content(true);
    ExpectFrame(leaf.frame(), 3, 4, 27, 8);
    leaf.adjust_to_content(false);
    ExpectFrame(leaf.frame(), 3, 4, 27, 8);

    // With children: from the corner to the furthest child corner.
    Recorder box("box", nullptr);
    auto* a = new Recorder("a", &box, vo::WS_DEFAULT_STATE | vo::WS_FIXED_SIZE);
    auto* b = new Recorder("b", &box, vo::WS_DEFAULT_STATE | vo::WS_FIXED_SIZE);
    a->set_frame(Frame(10, 10, 50, 30));
    b->set_frame(Frame(60, 5, 80, 20));
    box.adjust_to_content(true);
    ExpectFrame(box.frame(), 0, 0, 84, 34);
    // The own estimate counts when it is larger.
    box.width_estimate = 104;
    box.adjust_to_content(true);
    ExpectFrame(box.frame(), 0, 0, 104, 34);

    // A fixed-size container keeps its frame but adjusts its children.
    auto* c = new Recorder("c", &box);
    c->set_frame(Frame(0, 0, 1, 1));
    box.enable_state(vo::WS_FIXED_SIZE);
    box.adjust_to_content(true);
    ExpectFrame(box.frame(), 0, 0, 104, 34);
    ExpectFrame(c->frame(), 0, 0, 4, 4);
    ExpectFrame(a->frame(), 10, 10, 50, 30);
}

TEST(WidgetLayout, AlignChildren) {
    struct Case {
        int bits;
        float left;
        float top;
    };
    Case const cases[] = {
        {vo::WS_ALIGN_LEFT | vo::WS_ALIGN_RIGHT | vo::WS_ALIGN_TOP | vo::WS_ALIGN_BOTTOM, 42, 22},
        {vo::WS_ALIGN_LEFT | vo::WS_ALIGN_TOP, 2, 2},
        {vo::WS_ALIGN_RIGHT | vo::WS_ALIGN_BOTTOM, 82, 42},
        {vo::WS_ALIGN_LEFT, 2, 7},
        {vo::WS_ALIGN_BOTTOM, 5, 42},
        {0, 5, 7},
    };
    for (Case const& c : cases) {
        Probe parent;
        parent.set_frame(Frame(0, 0, 104, 54));  // inner frame (2, 2)-(102, 52)
        auto* child = new Probe(&parent, vo::WS_DEFAULT_STATE | c.bits);
        child->set_frame(Frame(5, 7, 25, 17));
        parent.align_children(false);
        SCOPED_TRACE(c.bits);
        ExpectFrame(child->frame(), c.left, c.top, c.left + 20, c.top + 10);
    }
}

TEST(WidgetLayout, AlignOffsetsAndRecursion) {
    Probe parent;
    parent.set_frame(Frame(0, 0, 104, 54));
    auto* loose = new Probe(&parent);
    loose->set_frame(Frame(5, 7, 25, 17));
    loose->set_align_offset(vector2(5, 0));
    auto* inner = new Probe(loose, vo::WS_DEFAULT_STATE | vo::WS_ALIGN_RIGHT);
    inner->set_frame(Frame(0, 0, 4, 4));
    parent.align_children(false);
    ExpectFrame(loose->frame(), 10, 7, 30, 17);
    ExpectFrame(inner->frame(), 0, 0, 4, 4);
    parent.align_children(true);
    ExpectFrame(loose->frame(), 15, 7, 35, 17);
    ExpectFrame(inner->frame(), 14, 0, 18, 4);
    EXPECT_FLOAT_EQ(loose->align_offset().x, 5.0f);
}

TEST(WidgetLayout, FrameTweensHalfwayAndAtTheirEnd) {
    Recorder w("w", nullptr);
    w.set_frame(Frame(0, 0, 100, 100));
    w.tween_to(Frame(100, 50, 300, 100), 0.5);
    ExpectFrame(w.frame(), 0, 0, 100, 100);
    EXPECT_EQ(vo::Widget::s_tweenMachine.num_running(), 1u);
    vo::Widget::update(0.25);
    ExpectFrame(w.frame(), 50, 25, 200, 100);
    vo::Widget::update(0.25);
    ExpectFrame(w.frame(), 100, 50, 300, 100);
    EXPECT_EQ(vo::Widget::s_tweenMachine.num_running(), 0u);
    EXPECT_GE(w.frame_changes, 3);

    // A virtual widget ignores its tween.
    Recorder v("v", nullptr, 0x180E);
    v.tween_to(Frame(1, 2, 3, 4), 0.5);
    vo::Widget::update(0.5);
    EXPECT_EQ(v.frame_changes, 0);
}

TEST(WidgetLayout, DeletingATweeningWidgetRemovesItsTweens) {
    auto* parent = new Probe();
    auto* child = new Probe(parent);
    Probe other;
    child->tween_to(Frame(0, 0, 10, 10), 1.0);
    child->tween_to(Frame(0, 0, 20, 20), 2.0);
    other.tween_to(Frame(0, 0, 30, 30), 1.0);
    parent->tween_to(Frame(0, 0, 40, 40), 1.0);
    EXPECT_EQ(vo::Widget::s_tweenMachine.num_running(), 4u);
    delete parent;
    EXPECT_EQ(vo::Widget::s_tweenMachine.num_running(), 1u);
    vo::Widget::update(1.0);
    ExpectFrame(other.frame(), 0, 0, 30, 30);
}

TEST(WidgetLayout, AWidgetDeletedByATweenStepIsSafe) {
    // A frame change that closes the widget itself, during the tween update.
    struct Fragile : Probe {
        void frame_changed() override {
            if (frame().width() > 5) close(this);
        }
    };
    auto* w = new Fragile();
    new Probe(w);
    w->tween_to(Frame(0, 0, 10, 10), 1.0);
    vo::Widget::update(0.5);
    vo::Widget::update(0.5);
    EXPECT_EQ(vo::Widget::s_tweenMachine.num_running(), 0u);
}

}  // namespace
