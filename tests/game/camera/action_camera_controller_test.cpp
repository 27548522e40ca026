#include "game/camera/action_camera_controller.h"

#include "engine/scene/entity.h"
#include "engine/scene/health.h"
#include "engine/scene/scene2d.h"
#include "game/behaviors/rest.h"
#include "game/behaviors/trigger.h"
#include "game/camera/bspline_tween.h"
#include "game/match/match_config.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace vo;

const double kStep = 1.0 / 60.0;

// Reports the box the test gives it (or none).
struct FixedBox : IBehavior {
    IBehavior* clone() const override { return new FixedBox(*this); }
    bool bounding_box(AABox& out) const override {
        out = box;
        return has_box;
    }
    AABox box;
    bool has_box = true;
};

AABox Square(float cx, float cy, float half) {
    return AABox(vector3(cx - half, cy - half, 0), vector3(cx + half, cy + half, 0));
}

void ExpectVector(const vector3& v, float x, float y, float z, const std::string& what) {
    EXPECT_NEAR(v.x, x, 1e-4f) << what;
    EXPECT_NEAR(v.y, y, 1e-4f) << what;
    EXPECT_NEAR(v.z, z, 1e-4f) << what;
}

void ExpectBox(const AABox& b, const AABox& expected, const std::string& what) {
    ExpectVector(b.min, expected.min.x, expected.min.y, expected.min.z, what + ", min");
    ExpectVector(b.max, expected.max.x, expected.max.y, expected.max.z, what + ", max");
}

// A level scene stand-in with entities that report fixed boxes, and a
// camera on it. Level radius 1000 unless a test says otherwise.
class ActionCamera : public ::testing::Test {
protected:
    ActionCamera() {
        configure(20.0f, 0.5, 1.0);
        camera.set_scene(&scene);
        camera.level_sphere = Sphere(vector3(), 1000.0f);
    }

    void configure(float min_box, double interval, double history) {
        MatchConfig config;
        config.camera.minBoxSize = min_box;
        config.camera.refreshInterval = interval;
        config.camera.historyDuration = history;
        config.camera.maxCustomOffset = 1000.0f;
        camera.apply_settings(config);
    }

    // An entity in the scene whose box has stood at box for two updates.
    Entity* add(const AABox& box) {
        Entity* entity = new Entity;
        entity->add_behavior<FixedBox>()->box = box;
        scene.add_entity(entity, true);
        entity->update(static_cast<float>(kStep));
        entity->update(static_cast<float>(kStep));
        return entity;
    }

    // Starts following; the first update refreshes.
    void refresh_now() {
        camera.set_following(true);
        camera.update(kStep);
    }

    // Flies the planned box and zoom tweens to their end without a refresh
    // in between.
    void finish_flight() {
        camera.set_refresh_countdown(100.0);
        camera.update(2.0 * 0.5);
    }

    Scene2d scene;
    ActionCameraController camera;
};

TEST_F(ActionCamera, FocusAloneGivesTheSmallestBoxAroundIt) {
    struct Case {
        float aspect;
        AABox expected;
    };
    const Case cases[] = {
        {1.0f, AABox(vector3(0, -5, 0), vector3(20, 15, 0))},
        {2.0f, AABox(vector3(-10, -5, 0), vector3(30, 15, 0))},
    };
    for (const Case& c : cases) {
        scene.clear(true);
        camera.set_following(false);
        camera.aspect = c.aspect;
        camera.set_zoom(1.0f);
        camera.set_focus_entity(add(Square(10, 5, 1)));
        refresh_now();
        ASSERT_EQ(camera.history().size(), 1u);
        ExpectBox(camera.history().back(), c.expected, "history");
        EXPECT_FLOAT_EQ(camera.fit_zoom(), 0.1f);  // 2 / 20
        finish_flight();
        ExpectBox(camera.box(), c.expected, "box after the flight");
        EXPECT_FLOAT_EQ(camera.zoom(), 0.1f);
        ExpectVector(camera.position(), 10, 5, 0, "position");
    }
}

TEST_F(ActionCamera, FollowsTheFocusAndWhatMovesDiesOrTicks) {
    struct Case {
        std::string name;
        int rest;  // 0: none, 1: never rests, 2: resting
        float health;  // > 1000: no health behavior
        double fuse;  // < 0: none
        bool focus;
        bool killed;
        bool has_box;
        bool followed;
    };
    const float none = 1e9f;
    const Case cases[] = {
        {"no rest behavior", 0, none, -1, false, false, true, true},
        {"awake", 1, none, -1, false, false, true, true},
        {"resting", 2, none, -1, false, false, true, false},
        {"resting with health", 2, 1.0f, -1, false, false, true, false},
        {"resting at health 0", 2, 0.0f, -1, false, false, true, true},
        {"resting below health 0", 2, -3.0f, -1, false, false, true, true},
        {"resting fuse still burning", 2, none, 5.0, false, false, true, true},
        {"resting focus", 2, 1.0f, -1, true, false, true, true},
        {"killed", 0, none, -1, false, true, true, false},
        {"killed focus", 0, none, -1, true, true, true, false},
        {"without a box", 0, none, -1, false, false, false, false},
    };
    for (const Case& c : cases) {
        scene.clear(true);
        camera.set_following(false);
        camera.set_focus_entity(nullptr);
        add(Square(0, 0, 1));  // moving, always followed
        Entity* entity = new Entity;
        FixedBox* box = entity->add_behavior<FixedBox>();
        box->box = Square(200, 0, 1);
        box->has_box = c.has_box;
        behaviors::Health* health = c.health < 1000 ? entity->add_behavior<behaviors::Health>() : nullptr;
        if (c.fuse >= 0) entity->add_behavior<behaviors::TimedTrigger>()->timer = c.fuse;
        if (c.rest) entity->add_behavior<behaviors::Rest>()->rest_without_transform = c.rest == 2;
        scene.add_entity(entity, true);
        if (health) health->value = c.health;
        entity->update(static_cast<float>(kStep));
        if (c.focus) camera.set_focus_entity(entity);
        refresh_now();
        if (c.killed) {
            // Flagged during the step, after the camera's look at the focus.
            entity->kill_entity();
            camera.set_refresh_countdown(0.0);
            camera.update(kStep);
        }
        ASSERT_FALSE(camera.history().empty()) << c.name;
        EXPECT_FLOAT_EQ(camera.history().back().max.x, c.followed ? 201.0f : 10.0f) << c.name;
    }
}

TEST_F(ActionCamera, HistoryLeadsAMovingEntityWhileTheFirstFlightGoesWhereItIs) {
    Entity* entity = new Entity;
    FixedBox* box = entity->add_behavior<FixedBox>();
    box->box = Square(0, 0, 10);
    scene.add_entity(entity, true);
    entity->update(static_cast<float>(kStep));
    box->box = Square(1, 0, 10);  // 60 units a second to the right
    entity->update(static_cast<float>(kStep));

    refresh_now();
    // One flight (two intervals, 1 s) ahead: 60 units further.
    ExpectBox(camera.history().back(), AABox(vector3(-9, -10, 0), vector3(71, 10, 0)), "history");
    finish_flight();
    ExpectBox(camera.box(), Square(1, 0, 10), "box after the flight");
}

TEST_F(ActionCamera, ZoomingInIsLimitedZoomingOutIsNot) {
    struct Case {
        float start;
        float height;
        float limit;
        float expected;
    };
    const Case cases[] = {
        {0.1f, 4.0f, 1.0f, 0.2f},             // aims at 0.5, may only double per second
        {0.5f, 20.0f, 1.0f, 0.1f},            // out in one go
        {0.1f, 12.0f, 1.0f, 2.0f / 12.0f},    // within the rate
        {0.1f, 4.0f, 0.15f, 0.15f},           // the player's limit
    };
    configure(4.0f, 0.5, 1.0);
    for (const Case& c : cases) {
        scene.clear(true);
        camera.set_following(false);
        camera.set_zoom(c.start);
        camera.set_zoom_limit(c.limit);
        camera.set_focus_entity(add(Square(0, 0, c.height / 2)));
        refresh_now();
        EXPECT_FLOAT_EQ(camera.fit_zoom(), 2.0f / c.height) << c.start << " to " << c.height;
        finish_flight();
        EXPECT_FLOAT_EQ(camera.zoom(), c.expected) << c.start << " to " << c.height;
    }
}

TEST_F(ActionCamera, HistoryHoldsTheBoxesOfItsDuration) {
    struct Case {
        double interval;
        double duration;
        size_t size;
    };
    const Case cases[] = {{0.5, 1.0, 3}, {0.5, 0.25, 1}, {0.25, 1.0, 5}};
    add(Square(0, 0, 1));
    for (const Case& c : cases) {
        configure(20.0f, c.interval, c.duration);
        camera.set_following(true);
        camera.update(0.0);  // no step, no refresh
        EXPECT_TRUE(camera.history().empty());
        for (int i = 0; i < 10; ++i) camera.update(c.interval);  // each one refreshes
        EXPECT_EQ(camera.history().size(), c.size) << c.interval << ", " << c.duration;
        camera.set_following(false);
        EXPECT_TRUE(camera.history().empty());
        EXPECT_EQ(camera.box_tweens().num_running(), 0u);
    }
}

TEST_F(ActionCamera, BoxesStayWithinTheLevel) {
    struct Case {
        std::string name;
        float aspect;
        AABox focus;
        AABox expected;
    };
    // Level radius 100: the box may reach 110 out.
    const Case cases[] = {
        {"inside", 1, Square(0, 0, 10), Square(0, 0, 10)},
        {"beyond the right", 1, Square(500, 0, 10), AABox(vector3(90, -10, 0), vector3(110, 10, 0))},
        {"beyond the left", 1, Square(-500, 0, 10), AABox(vector3(-110, -10, 0), vector3(-90, 10, 0))},
        {"beyond the top", 1, Square(0, 500, 10), AABox(vector3(-10, 90, 0), vector3(10, 110, 0))},
        {"beyond the bottom", 1, Square(0, -500, 10), AABox(vector3(-10, -110, 0), vector3(10, -90, 0))},
        {"across the right", 1, Square(110, 0, 10), AABox(vector3(100, -10, 0), vector3(110, 10, 0))},
        {"wider than the level", 1, AABox(vector3(-200, -5, -3), vector3(200, 5, 3)),
         AABox(vector3(-110, -10, -3), vector3(110, 10, 3))},
        {"beyond the right, wide view", 2, Square(500, 0, 20), AABox(vector3(70, -20, 0), vector3(110, 20, 0))},
    };
    camera.level_sphere = Sphere(vector3(), 100.0f);
    for (const Case& c : cases) {
        scene.clear(true);
        camera.set_following(false);
        camera.aspect = c.aspect;
        camera.set_focus_entity(add(c.focus));
        refresh_now();
        ExpectBox(camera.history().back(), c.expected, c.name);
    }
}

TEST_F(ActionCamera, FlightStartsAtTheBoxTurnsWithTheWorldAndEndsAtTheTarget) {
    camera.set_look_at(vector3(30, 0, 0));
    camera.set_rotation(90.0f);
    camera.set_focus_entity(add(Square(10, 5, 1)));
    const vector3 before = camera.position();
    refresh_now();
    // The view does not jump: the box keeps its world centre in its new frame.
    ExpectVector(camera.position(), before.x, before.y, before.z, "first frame");
    OBox turned;
    turned.set_rotation_z(90.0f);
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(camera.box().rotation[i], turned.rotation[i]) << i;
    finish_flight();
    ExpectVector(camera.position(), 10, 5, 0, "end");
    ExpectVector(camera.box().extension(), 20, 20, 0, "size at the end");
    // In the turned frame a world point (x, y) lies at (-y, x).
    ExpectBox(camera.box(), AABox(vector3(-15, 0, 0), vector3(5, 20, 0)), "end in the frame");
}

TEST_F(ActionCamera, HistoryTurnsWithTheWorld) {
    camera.set_focus_entity(add(Square(10, 5, 1)));
    refresh_now();
    camera.set_rotation(90.0f);
    camera.set_refresh_countdown(0.0);
    camera.update(kStep);
    ASSERT_EQ(camera.history().size(), 2u);
    OBox turned;
    turned.set_rotation_z(90.0f);
    for (const OBox& h : camera.history()) {
        for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(h.rotation[i], turned.rotation[i]) << i;
        ExpectVector(h.world_center(), 10, 5, 0, "world centre");
        ExpectVector(h.extension(), 20, 20, 0, "size");
    }
}

TEST_F(ActionCamera, NothingFollowedWithOneOlderBoxFliesToThatBox) {
    Entity* entity = new Entity;
    entity->add_behavior<FixedBox>()->box = Square(50, 0, 10);
    behaviors::Rest* rest = entity->add_behavior<behaviors::Rest>();
    scene.add_entity(entity, true);
    entity->update(static_cast<float>(kStep));
    refresh_now();
    ASSERT_EQ(camera.history().size(), 1u);
    rest->rest_without_transform = true;  // now at rest: nothing is followed
    camera.set_refresh_countdown(0.0);
    camera.update(kStep);
    ASSERT_EQ(camera.history().size(), 1u);
    finish_flight();
    ExpectBox(camera.box(), Square(50, 0, 10), "box after the flight");
}

TEST(BSplineTween, BendsTheFlightByTheOuterControlValues) {
    OBox p0, p1, p2, p3;
    p0.min = vector3(0, 0, 0);
    p0.max = vector3(2, 2, 0);
    p1.min = vector3(4, 0, 0);  // present motion
    p1.max = vector3(4, 0, 0);
    p2.min = vector3(8, 8, 0);
    p2.max = vector3(10, 10, 0);
    p3.set_rotation_z(90.0f);
    p3.min = vector3(0, -4, 0);  // towards the older history
    p3.max = vector3(0, 0, 0);
    const SplineEnd<OBox> start{p0, p1};
    const SplineEnd<OBox> end{p2, p3};
    const OBox mid = BSplineTween<OBox>::interpolate(start, end, 0.5f).value;
    ExpectBox(mid, AABox(vector3(5, 3, 0), vector3(7, 6, 0)), "half way");
    for (int i = 0; i < 9; ++i) EXPECT_EQ(mid.rotation[i], p3.rotation[i]);
    ExpectBox(BSplineTween<OBox>::interpolate(start, end, 0.0f).value, p0, "start");
    ExpectBox(BSplineTween<OBox>::interpolate(start, end, 1.0f).value, p2, "end");
}

TEST_F(ActionCamera, LookAtAndZoomBuildTheBoxOnlyWhileNotFollowing) {
    camera.aspect = 2.0f;
    camera.set_zoom(0.1f);
    camera.set_look_at(vector3(3, 4, 0));
    ExpectBox(camera.box(), AABox(vector3(-17, -6, 0), vector3(23, 14, 0)), "look at");
    camera.set_zoom(0.2f);
    ExpectBox(camera.box(), AABox(vector3(-7, -1, 0), vector3(13, 9, 0)), "zoomed");
    ExpectVector(camera.position(), 3, 4, 0, "position");

    add(Square(3, 4, 1));
    camera.set_following(true);
    camera.set_zoom(0.5f);
    EXPECT_FLOAT_EQ(camera.zoom(), 0.5f);
    ExpectBox(camera.box(), AABox(vector3(-7, -1, 0), vector3(13, 9, 0)), "following");
    camera.update(kStep);
    EXPECT_EQ(camera.box_tweens().num_running(), 2u);  // box and zoom
    camera.set_following(true);  // already on: the flight goes on
    EXPECT_EQ(camera.box_tweens().num_running(), 2u);
    ASSERT_EQ(camera.history().size(), 1u);
}

TEST_F(ActionCamera, PanOffsetIsLimitedWidensTheFitAndIsAbsorbedWithoutAJump) {
    camera.set_custom_offset(vector3(1200, 1600, 0));
    ExpectVector(camera.custom_offset(), 600, 800, 0, "limited to 1000");

    // 500 of 1000 on x widens the fitted box by 1000 * 0.705².
    camera.set_custom_offset(vector3(500, 0, 0));
    camera.set_focus_entity(add(Square(0, 0, 10)));
    refresh_now();
    EXPECT_NEAR(camera.fit_zoom(), 2.0f / (20.0f + 1000.0f * 0.705f * 0.705f), 1e-6f);

    camera.set_following(false);
    camera.set_look_at(vector3(3, 4, 0));
    camera.set_zoom(0.1f);
    camera.set_custom_offset(vector3(50, 0, 0));
    ExpectVector(camera.position(), 53, 4, 0, "panned");
    camera.absorb_custom_offset();
    ExpectVector(camera.position(), 53, 4, 0, "absorbed");
    ExpectVector(camera.custom_offset(), 0, 0, 0, "offset");
    ExpectVector(camera.look_at(), 53, 4, 0, "look at");
    // The width grows by 1000 * 0.0705², the zoom fits it.
    EXPECT_NEAR(camera.zoom(), 2.0f / (20.0f + 1000.0f * 0.0705f * 0.0705f), 1e-5f);
}

TEST_F(ActionCamera, ForgetsAFocusThatIsKilledOrGone) {
    Entity* kept = add(Square(0, 0, 1));
    camera.set_focus_entity(kept);
    camera.update(kStep);
    EXPECT_EQ(camera.focus_entity(), kept);

    Entity* flagged = add(Square(0, 0, 1));
    camera.set_focus_entity(flagged);
    flagged->kill_entity();
    camera.update(kStep);
    EXPECT_EQ(camera.focus_entity(), nullptr);

    Entity* deleted = add(Square(0, 0, 1));
    camera.set_focus_entity(deleted);
    deleted->kill_entity();
    scene.update(static_cast<float>(kStep));  // deletes it
    camera.update(kStep);
    EXPECT_EQ(camera.focus_entity(), nullptr);
}

// The offset along x at the given times after a shake of amplitude 4 over
// 0.4 s with damping 0.75; sampled inside the tweens, away from their ends.
TEST_F(ActionCamera, ShakeScheduleSwingsAndDamps) {
    struct Sample {
        double time;
        float x;
    };
    struct Case {
        int count;
        size_t tweens;
        std::vector<Sample> samples;
    };
    const Case cases[] = {
        // 0 -> 2 over [0, 0.04]; 0 -> 2 over [0.04, 0.12]; 2 -> -1 over
        // [0.12, 0.2]; -1 -> 1.25 over [0.2, 0.28]; 1.25 -> 0 over [0.28, 0.32].
        {5, 5, {{0.02, 1.0f}, {0.06, 0.5f}, {0.1, 1.5f}, {0.16, 0.5f}, {0.24, 0.125f}, {0.3, 0.625f}, {0.4, 0.0f}}},
        // 0 -> 2 over [0, 0.1]; 0 -> 0 over [0.1, 0.2]: no swings.
        {2, 2, {{0.05, 1.0f}, {0.15, 0.0f}, {0.3, 0.0f}}},
        // 0 -> 2 over [0, 0.2]; 0 -> 0 over [0.2, 0.4].
        {1, 2, {{0.1, 1.0f}, {0.3, 0.0f}, {0.5, 0.0f}}},
        {0, 0, {{0.1, 0.0f}}},
        {-3, 0, {{0.1, 0.0f}}},
    };
    for (const Case& c : cases) {
        ActionCameraController shaken;
        shaken.shake(vector3(4, 0, -2), c.count, 0.4, 0.75f);
        EXPECT_EQ(shaken.shake_tweens().num_running() + shaken.shake_tweens().num_scheduled(), c.tweens) << c.count;
        double now = 0.0;
        for (const Sample& s : c.samples) {
            shaken.update(s.time - now);
            now = s.time;
            ExpectVector(shaken.shake_offset(), s.x, 0.0f, -s.x / 2,
                         "count " + std::to_string(c.count) + " at " + std::to_string(s.time));
        }
        EXPECT_EQ(shaken.shake_tweens().num_running() + shaken.shake_tweens().num_scheduled(), 0u) << c.count;
        ExpectVector(shaken.position(), 0, 0, 0, "after the shake");
    }
}

}  // namespace
