#include "engine/core/error.h"
#include "engine/core/frame.h"
#include "engine/core/frame_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using vo::Frame;
using vo::FrameTransform;
using vo::vector2;

::testing::AssertionResult SameFrame(const Frame& got, const Frame& want) {
    if (got.left() == want.left() && got.top() == want.top() && got.right() == want.right() &&
        got.bottom() == want.bottom())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (l " << got.left() << ", t " << got.top() << ", r " << got.right()
                                         << ", b " << got.bottom() << "), want (l " << want.left() << ", t "
                                         << want.top() << ", r " << want.right() << ", b " << want.bottom() << ")";
}

TEST(Frame, ConstructionAndQueries) {
    const Frame f(0, 0, 10, 20);
    EXPECT_EQ(f.left(), 0);
    EXPECT_EQ(f.top(), 0);
    EXPECT_EQ(f.right(), 10);
    EXPECT_EQ(f.bottom(), 20);
    EXPECT_EQ(f.width(), 10);
    EXPECT_EQ(f.height(), 20);
    EXPECT_EQ(f.center().x, 5);
    EXPECT_EQ(f.center().y, 10);
    EXPECT_EQ(f.center_x(), 5);
    EXPECT_EQ(f.center_y(), 10);
    EXPECT_EQ(f.center(0), 5);
    EXPECT_EQ(f.center(1), 10);
    EXPECT_EQ(f.min(0), 0);
    EXPECT_EQ(f.max(0), 10);
    EXPECT_EQ(f.min(1), 0);
    EXPECT_EQ(f.max(1), 20);
    EXPECT_EQ(f.coordinate(0, 0.25f), 2.5f);
    EXPECT_EQ(f.coordinate(1, 1.5f), 30);  // anchors may lie outside 0..1
    EXPECT_EQ(f.coordinate(vector2(1, 0.5f)).x, 10);
    EXPECT_EQ(f.coordinate(vector2(1, 0.5f)).y, 10);

    EXPECT_TRUE(f.contains_point(10, 20));
    EXPECT_TRUE(f.contains_point(0, 0));
    EXPECT_FALSE(f.contains_point(10.5f, 20));
    EXPECT_FALSE(f.contains_point(5, -0.5f));

    // Sizes are absolute; a frame with top below bottom holds no point.
    EXPECT_EQ(Frame(10, 0, 0, 20).width(), 10);
    EXPECT_EQ(Frame(0, 20, 10, 0).height(), 20);
    EXPECT_FALSE(Frame(0, 20, 10, 0).contains_point(5, 10));

    // From a rectangle, min.y goes to the bottom.
    EXPECT_TRUE(SameFrame(Frame(vo::Rect(1, 2, 3, 4)), Frame(1, 4, 3, 2)));
    EXPECT_TRUE(SameFrame(Frame::from_center_and_dim(5, 10, 4, 6), Frame(3, 7, 7, 13)));
    EXPECT_TRUE(SameFrame(Frame(1, 2, 3, 4) * 2, Frame(2, 4, 6, 8)));
}

struct EditCase {
    const char* what;
    Frame start;
    std::function<void(Frame&)> edit;
    Frame want;
};

TEST(Frame, EditsInPlace) {
    const std::vector<EditCase> cases = {
        {"move", Frame(0, 0, 10, 20), [](Frame& f) { f.move(1, -2); }, Frame(1, -2, 11, 18)},
        {"move by vector", Frame(0, 0, 10, 20), [](Frame& f) { f.move(vector2(-1, 2)); }, Frame(-1, 2, 9, 22)},
        {"move_to bottom right", Frame(0, 0, 10, 20), [](Frame& f) { f.move_to(vector2(100, 100), vector2(1, 1)); },
         Frame(90, 80, 100, 100)},
        {"move_to centre x", Frame(0, 0, 10, 20), [](Frame& f) { f.move_to(50, 0, 0.5f); }, Frame(45, 0, 55, 20)},
        {"move_to top y", Frame(0, 0, 10, 20), [](Frame& f) { f.move_to(7, 1, 0); }, Frame(0, 7, 10, 27)},
        {"grow", Frame(0, 0, 10, 20), [](Frame& f) { f.grow(1, 2); }, Frame(-1, -2, 11, 22)},
        {"grow collapses x", Frame(0, 0, 10, 20), [](Frame& f) { f.grow(-6, 0); }, Frame(5, 0, 5, 20)},
        {"grow collapses y", Frame(0, 0, 10, 20), [](Frame& f) { f.grow(vector2(0, -11)); }, Frame(0, 10, 10, 10)},
        {"shrink to a point", Frame(0, 0, 10, 20), [](Frame& f) { f.grow(-5, -10); }, Frame(5, 10, 5, 10)},
        {"scale about origin", Frame(1, 2, 3, 4), [](Frame& f) { f.scale(2, 3); }, Frame(2, 6, 6, 12)},
        {"scale about top left", Frame(10, 10, 20, 20), [](Frame& f) { f.scale(2, 2, 0, 0); },
         Frame(10, 10, 30, 30)},
        {"scale about bottom right", Frame(10, 10, 20, 20), [](Frame& f) { f.scale(2, 0.5f, 1, 1); },
         Frame(0, 15, 20, 20)},
        {"scale around centre", Frame(10, 10, 20, 30), [](Frame& f) { f.scale_around_center(2, 0.5f); },
         Frame(5, 15, 25, 25)},
        {"round halves away from zero", Frame(2.5f, -2.5f, 0.49f, -0.5f), [](Frame& f) { f.round(); },
         Frame(3, -3, 0, -1)},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.what);
        Frame f = c.start;
        c.edit(f);
        EXPECT_TRUE(SameFrame(f, c.want));
    }
}

TEST(Frame, InvalidAxisThrowsAndLeavesTheFrame) {
    const std::vector<std::pair<const char*, std::function<void(Frame&)>>> ops = {
        {"center", [](Frame& f) { f.center(2); }},
        {"coordinate", [](Frame& f) { f.coordinate(-1, 0.5f); }},
        {"min", [](Frame& f) { f.min(2); }},
        {"max", [](Frame& f) { f.max(7); }},
        {"move_to", [](Frame& f) { f.move_to(100, 2, 0.5f); }},
    };
    const std::vector<int> axes = {2, -1, 2, 7, 2};
    for (std::size_t i = 0; i < ops.size(); ++i) {
        SCOPED_TRACE(ops[i].first);
        Frame f(1, 2, 3, 4);
        try {
            ops[i].second(f);
            ADD_FAILURE() << "no Error thrown";
        } catch (const vo::Error& e) {
            EXPECT_EQ(std::string(e.message()), "Invalid frame coordinate specifed: " + std::to_string(axes[i]));
        }
        EXPECT_TRUE(SameFrame(f, Frame(1, 2, 3, 4)));
    }
}

TEST(FrameTransform, ConstructionAndMapping) {
    const FrameTransform id;
    EXPECT_EQ(id.scale().x, 1);
    EXPECT_EQ(id.scale().y, 1);
    EXPECT_EQ(id.offset().x, 0);
    EXPECT_FALSE(id.rounding_enabled());
    EXPECT_TRUE(FrameTransform(true).rounding_enabled());

    const FrameTransform t(Frame(0, 0, 100, 100), Frame(0, 0, 200, 50), false);
    EXPECT_EQ(t.scale().x, 2);
    EXPECT_EQ(t.scale().y, 0.5f);
    EXPECT_EQ(t.offset().x, 0);
    EXPECT_EQ(t.offset().y, 0);

    // Centre to centre, size to size, never mirrored.
    const Frame from(10, 10, 20, 30);
    const Frame to(100, 200, 140, 160);  // top below bottom in value
    const FrameTransform u(from, to, true);
    EXPECT_TRUE(u.rounding_enabled());
    EXPECT_EQ(u.scale().x, 4);
    EXPECT_EQ(u.scale().y, 2);
    EXPECT_TRUE(SameFrame(u * from, Frame(100, 160, 140, 200)));

    // A zero-width or zero-height source gives the identity, rounding kept.
    for (const Frame& flat : {Frame(5, 0, 5, 10), Frame(0, 5, 10, 5)}) {
        const FrameTransform f(flat, to, true);
        EXPECT_EQ(f.scale().x, 1);
        EXPECT_EQ(f.scale().y, 1);
        EXPECT_EQ(f.offset().x, 0);
        EXPECT_EQ(f.offset().y, 0);
        EXPECT_TRUE(f.rounding_enabled());
    }
}

TEST(FrameTransform, BothWaysAndRounding) {
    FrameTransform t(vector2(2, 4), vector2(10, -20), false);
    const Frame f(1, 2, 3, 4);
    const Frame mapped = t.transform(f);
    EXPECT_TRUE(SameFrame(mapped, Frame(12, -12, 16, -4)));
    EXPECT_TRUE(SameFrame(t * f, mapped));
    EXPECT_TRUE(SameFrame(t.transform_inv(mapped), f));

    // Rounding applies to the produced frames, halves away from zero.
    const FrameTransform half(vector2(0.5f, 0.5f), vector2(0, 0), true);
    EXPECT_TRUE(SameFrame(half.transform(Frame(5, -5, 1, 2)), Frame(3, -3, 1, 1)));
    EXPECT_TRUE(SameFrame(half.transform_inv(Frame(1.25f, -1.25f, 0.2f, 0)), Frame(3, -3, 0, 0)));
    t.enable_rounding(true);
    EXPECT_TRUE(SameFrame(t.transform(Frame(0.1f, 0.1f, 0.3f, 0.3f)), Frame(10, -20, 11, -19)));
    EXPECT_EQ(t.scale().x, 2);  // stored values are never rounded
}

TEST(FrameTransform, InverseOfACollapsedAxisStaysFinite) {
    // Mapping onto a frame of zero width makes the x scale 0.
    const FrameTransform t(Frame(0, 0, 10, 10), Frame(5, 0, 5, 20), false);
    ASSERT_EQ(t.scale().x, 0);
    const Frame back = t.transform_inv(Frame(5, 4, 5, 8));
    EXPECT_TRUE(std::isfinite(back.left()) && std::isfinite(back.right()));
    EXPECT_TRUE(SameFrame(back, Frame(5, 2, 5, 4)));  // x passed through, y inverted

    const float tiny = std::numeric_limits<float>::denorm_min();
    const FrameTransform sub(vector2(1, tiny), vector2(0, 0), false);
    const Frame b2 = sub.transform_inv(Frame(1, 1, 2, 2));
    EXPECT_TRUE(SameFrame(b2, Frame(1, 1, 2, 2)));
}

TEST(FrameLayout, AlignStackAndBound) {
    std::vector<Frame> frames = {Frame(0, 0, 10, 10), Frame(50, 50, 60, 70), Frame(-5, 3, 15, 4)};
    vo::AlignFrames(frames, 0, 0.5f);
    EXPECT_TRUE(SameFrame(frames[0], Frame(0, 0, 10, 10)));
    EXPECT_TRUE(SameFrame(frames[1], Frame(0, 50, 10, 70)));
    EXPECT_TRUE(SameFrame(frames[2], Frame(-5, 3, 15, 4)));

    vo::AlignFrames(frames, 1, 1);  // bottoms in line
    EXPECT_TRUE(SameFrame(frames[1], Frame(0, -10, 10, 10)));
    EXPECT_TRUE(SameFrame(frames[2], Frame(-5, 9, 15, 10)));

    std::vector<Frame> row = {Frame(0, 0, 10, 5), Frame(100, 0, 110, 5), Frame(-40, 1, -30, 2)};
    vo::StackFrames(row, 0, 5);
    EXPECT_EQ(row[0].left(), 0);
    EXPECT_EQ(row[1].left(), 15);
    EXPECT_EQ(row[2].left(), 30);
    EXPECT_EQ(row[2].top(), 1);

    std::vector<Frame> column = {Frame(0, 10, 1, 20), Frame(0, 0, 1, 4)};
    vo::StackFrames(column, 1, -2);
    EXPECT_TRUE(SameFrame(column[1], Frame(0, 18, 1, 22)));

    EXPECT_TRUE(SameFrame(vo::BoundingFrame({}), Frame(0, 0, 0, 0)));
    EXPECT_TRUE(SameFrame(vo::BoundingFrame({Frame(1, 2, 3, 4)}), Frame(1, 2, 3, 4)));
    EXPECT_TRUE(SameFrame(vo::BoundingFrame({Frame(1, 2, 3, 4), Frame(-1, 3, 2, 9), Frame(0, -5, 7, 0)}),
                          Frame(-1, -5, 7, 9)));
    EXPECT_TRUE(SameFrame(vo::FrameUnion(Frame(0, 0, 1, 1), Frame(-2, 0.5f, 0.5f, 3)), Frame(-2, 0, 1, 3)));
    // Ties keep a's values (visible on signed zeros).
    EXPECT_FALSE(std::signbit(vo::FrameUnion(Frame(0, 0, 0, 0), Frame(-0.0f, -0.0f, -0.0f, -0.0f)).left()));
    EXPECT_TRUE(std::signbit(vo::FrameUnion(Frame(-0.0f, 0, -0.0f, 0), Frame(0, 0, 0, 0)).right()));
}

TEST(FrameLayout, InvalidAxisFailsOnTheFirstFrameTouched) {
    std::vector<Frame> frames = {Frame(0, 0, 10, 10), Frame(50, 50, 60, 70)};
    EXPECT_THROW(vo::AlignFrames(frames, 3, 0), vo::Error);
    EXPECT_THROW(vo::StackFrames(frames, -1, 0), vo::Error);
    EXPECT_TRUE(SameFrame(frames[1], Frame(50, 50, 60, 70)));

    std::vector<Frame> single = {Frame(0, 0, 1, 1)};
    vo::AlignFrames(single, 3, 0);  // nothing to align: left alone
    vo::StackFrames(single, 3, 0);
    EXPECT_TRUE(SameFrame(single[0], Frame(0, 0, 1, 1)));
}

}  // namespace
