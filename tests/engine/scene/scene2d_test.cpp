#include "engine/scene/scene2d.h"
#include "engine/scene/scene2d_event_listener.h"

#include "engine/core/binary_buffer.h"
#include "engine/core/error.h"
#include "engine/scene/entity.h"
#include "engine/scene/game_event.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace vo {
namespace {

std::vector<std::string> g_log;

// A named event; the label tells the deliveries apart in the log.
class TestEvent : public GameEvent {
public:
    explicit TestEvent(std::string label_) : GameEvent("testEvent"), label(std::move(label_)) {}
    std::string label;
};

// Logs its entity's updates, events and finalization; can react to them.
class Recorder : public IBehavior {
public:
    IBehavior* clone() const override { return new Recorder(*this); }
    bool accepts_game_events() const override { return true; }
    void initialize(Entity* entity) override {
        entity_ = entity;
        g_log.push_back("init " + name);
    }
    void update(float) override {
        g_log.push_back("update " + name);
        if (kill_in_update) entity_->kill_entity();
        if (spawn_in_update) {
            spawn_in_update = false;
            Entity* child = new Entity();
            child->add_behavior<Recorder>()->name = name + ".child";
            entity_->get_scene()->add_entity(child, true);
        }
    }
    void handle_game_event(const GameEvent& event) override {
        const TestEvent* e = event.cast<TestEvent>();
        g_log.push_back("event " + e->label + " at " + name);
        if (e->label == kill_on) entity_->kill_entity();
        if (e->label == echo_on) entity_->get_scene()->emit_event(new TestEvent(e->label + "-echo"), 0.0);
    }
    void finalize(Entity*) override { g_log.push_back("finalize " + name); }

    std::string name;
    std::string kill_on;
    std::string echo_on;
    bool kill_in_update = false;
    bool spawn_in_update = false;

private:
    Entity* entity_ = nullptr;
};

// Gives the tests the scene time and the graph root.
class TestScene : public Scene2d {
public:
    using Scene2d::root;
    using Scene2d::scene_time;
};

Recorder* AddRecorded(Scene2d& scene, const std::string& name) {
    Entity* entity = new Entity();
    Recorder* recorder = entity->add_behavior<Recorder>();
    recorder->name = name;
    scene.add_entity(entity, true);
    return recorder;
}

class Scene2dTest : public ::testing::Test {
protected:
    void SetUp() override { g_log.clear(); }
    void TearDown() override { g_log.clear(); }
    std::vector<std::string> TakeLog() {
        std::vector<std::string> log;
        log.swap(g_log);
        return log;
    }
    using Log = std::vector<std::string>;
};

TEST_F(Scene2dTest, DueEventsInTimeOrderAndEqualTimesInEmissionOrder) {
    TestScene scene;
    AddRecorded(scene, "e");
    TakeLog();
    scene.emit_event(new TestEvent("a"), 0.5);
    scene.emit_event(new TestEvent("b"), 0.25);
    scene.emit_event(new TestEvent("c"), 0.25);

    scene.update(0.125f);
    EXPECT_EQ(Log({"update e"}), TakeLog());
    scene.update(0.125f);  // reaches 0.25 exactly: due
    EXPECT_EQ(Log({"event b at e", "event c at e", "update e"}), TakeLog());
    scene.update(0.125f);
    EXPECT_EQ(Log({"update e"}), TakeLog());
    scene.update(0.125f);
    EXPECT_EQ(Log({"event a at e", "update e"}), TakeLog());
    EXPECT_DOUBLE_EQ(0.5, scene.scene_time());
}

// Logs the steps the camera hands on.
class LoggingController : public ICameraController2D {
public:
    void update(double dt) override { g_log.push_back("camera " + std::to_string(dt)); }
    vector3 position() override { return vector3(); }
    float rotation() override { return 0.0f; }
    float zoom() override { return 1.0f; }
};

TEST_F(Scene2dTest, StepOrderEndsWithTheCameraController) {
    TestScene scene;
    scene.camera().set_camera_controller(SmartPtr<ICameraController2D>(new LoggingController));
    Recorder* a = AddRecorded(scene, "a");
    AddRecorded(scene, "b");
    scene.update(0.0f);
    a->kill_in_update = true;
    scene.emit_event(new TestEvent("e"), 0.0);
    TakeLog();
    scene.update(0.5f);
    scene.update(0.25f);
    EXPECT_EQ(Log({"event e at a", "event e at b", "update a", "update b", "camera 0.500000",  //
                   "finalize a", "update b", "camera 0.250000"}),
              TakeLog());
}

TEST_F(Scene2dTest, EventsEmittedDuringDeliveryWaitForTheNextUpdate) {
    TestScene scene;
    AddRecorded(scene, "e")->echo_on = "ping";
    TakeLog();
    scene.emit_event(new TestEvent("ping"), 0.0);
    scene.update(0.0f);
    EXPECT_EQ(Log({"event ping at e", "update e"}), TakeLog());
    scene.update(0.0f);
    EXPECT_EQ(Log({"event ping-echo at e", "update e"}), TakeLog());
}

TEST_F(Scene2dTest, NonFiniteDelaysCountAsZero) {
    TestScene scene;
    AddRecorded(scene, "e");
    scene.update(1.0f);
    TakeLog();
    scene.emit_event(new TestEvent("later"), 0.5);
    scene.emit_event(new TestEvent("nan"), std::numeric_limits<double>::quiet_NaN());
    scene.emit_event(new TestEvent("inf"), std::numeric_limits<double>::infinity());
    scene.emit_event(new TestEvent("-inf"), -std::numeric_limits<double>::infinity());
    scene.emit_event(new TestEvent("past"), -3.0);
    scene.update(0.25f);
    EXPECT_EQ(Log({"event past at e", "event nan at e", "event inf at e", "event -inf at e", "update e"}),
              TakeLog());
    scene.update(0.25f);
    EXPECT_EQ(Log({"event later at e", "update e"}), TakeLog());
}

class ConsumingListener {
public:
    bool on_event(const GameEvent* event) {
        seen.push_back(event->cast<TestEvent>()->label);
        return seen.back() == "secret";
    }
    std::vector<std::string> seen;
};

TEST_F(Scene2dTest, ListenerSeesEventsFirstAndMayConsumeThem) {
    TestScene scene;
    AddRecorded(scene, "x");
    AddRecorded(scene, "y");
    ConsumingListener listener;
    scene.set_event_listener(&listener, &ConsumingListener::on_event);
    TakeLog();
    scene.emit_event(new TestEvent("secret"), 0.0);
    scene.emit_event(new TestEvent("public"), 0.0);
    scene.update(0.0f);
    EXPECT_EQ(std::vector<std::string>({"secret", "public"}), listener.seen);
    EXPECT_EQ(Log({"event public at x", "event public at y", "update x", "update y"}), TakeLog());
}

TEST_F(Scene2dTest, WithoutListenerEveryEntitySeesEveryEvent) {
    TestScene scene;
    AddRecorded(scene, "x");
    AddRecorded(scene, "y");
    TakeLog();
    scene.emit_event(new TestEvent("secret"), 0.0);
    scene.update(0.0f);
    EXPECT_EQ(Log({"event secret at x", "event secret at y", "update x", "update y"}), TakeLog());
}

class OnceOnlyListener {
public:
    bool on_event(const GameEvent*) { return false; }
};

TEST_F(Scene2dTest, ListenerClassCanBeConnectedOncePerProcess) {
    TestScene first;
    TestScene second;
    OnceOnlyListener listener;
    first.set_event_listener(&listener, &OnceOnlyListener::on_event);
    try {
        second.set_event_listener(&listener, &OnceOnlyListener::on_event);
        FAIL() << "second connection accepted";
    } catch (const Error& e) {
        EXPECT_STREQ(
            "SORRY - due to implementation restrictions Scene2d::set_event_listener should currently only be called "
            "once!",
            e.message());
    }
}

TEST_F(Scene2dTest, EntityKilledInItsUpdateIsDeletedAfterTheNextDelivery) {
    TestScene scene;
    Recorder* a = AddRecorded(scene, "a");
    AddRecorded(scene, "b");
    a->kill_in_update = true;
    TakeLog();
    scene.update(0.0f);
    EXPECT_EQ(2u, scene.num_entities());
    EXPECT_EQ(Log({"update a", "update b"}), TakeLog());

    scene.emit_event(new TestEvent("e"), 0.0);
    scene.update(0.0f);
    EXPECT_EQ(1u, scene.num_entities());
    EXPECT_EQ(Log({"event e at a", "event e at b", "finalize a", "update b"}), TakeLog());
}

TEST_F(Scene2dTest, EntityKilledByAnEventIsDeletedInTheSameUpdate) {
    TestScene scene;
    AddRecorded(scene, "a");
    AddRecorded(scene, "b")->kill_on = "boom";
    AddRecorded(scene, "c");
    TakeLog();
    scene.emit_event(new TestEvent("boom"), 0.0);
    scene.update(0.0f);
    EXPECT_EQ(Log({"event boom at a", "event boom at b", "event boom at c", "finalize b", "update a", "update c"}),
              TakeLog());
    ASSERT_EQ(2u, scene.num_entities());
    EXPECT_EQ("a", scene.entity(0)->get_behavior<Recorder>()->name);
    EXPECT_EQ("c", scene.entity(1)->get_behavior<Recorder>()->name);
}

TEST_F(Scene2dTest, EntityAddedDuringTheUpdateIsUpdatedInTheSameStep) {
    TestScene scene;
    AddRecorded(scene, "p")->spawn_in_update = true;
    TakeLog();
    scene.update(0.0f);
    EXPECT_EQ(Log({"update p", "init p.child", "update p.child"}), TakeLog());
    EXPECT_EQ(2u, scene.num_entities());
}

TEST_F(Scene2dTest, AddEntitySetsTheSceneAndInitializesOnRequest) {
    TestScene scene;
    Entity* later = new Entity();
    later->add_behavior<Recorder>()->name = "later";
    scene.add_entity(later, false);
    EXPECT_EQ(&scene, later->get_scene());
    EXPECT_EQ(nullptr, later->get_scene_info_object());
    EXPECT_TRUE(TakeLog().empty());
    AddRecorded(scene, "now");
    EXPECT_EQ(Log({"init now"}), TakeLog());
}

TEST_F(Scene2dTest, EvaluateEntitiesCallsThePredicateForEveryEntity) {
    TestScene scene;
    int calls = 0;
    auto is_a = [&calls](Entity* e) {
        ++calls;
        return e->get_behavior<Recorder>()->name == "a";
    };
    EXPECT_FALSE(scene.evaluate_entities(is_a, BOOLEAN_EVALUATION_ALL));
    EXPECT_FALSE(scene.evaluate_entities(is_a, BOOLEAN_EVALUATION_ANY));
    EXPECT_EQ(0, calls);

    AddRecorded(scene, "a");
    AddRecorded(scene, "b");
    EXPECT_FALSE(scene.evaluate_entities(is_a, BOOLEAN_EVALUATION_ALL));
    EXPECT_EQ(2, calls);
    EXPECT_TRUE(scene.evaluate_entities(is_a, BOOLEAN_EVALUATION_ANY));
    EXPECT_EQ(4, calls);
    EXPECT_FALSE(scene.evaluate_entities(is_a, static_cast<BooleanEvaluation>(3)));

    auto any = [](Entity*) { return true; };
    EXPECT_TRUE(scene.evaluate_entities(any, BOOLEAN_EVALUATION_ALL));
    EXPECT_TRUE(scene.evaluate_entities(any, BOOLEAN_EVALUATION_ANY));
}

TEST_F(Scene2dTest, ClearDetachesOrDeletesAndKeepsTheTime) {
    TestScene scene;
    scene.update(0.5f);
    Recorder* kept = AddRecorded(scene, "kept");
    (void)kept;
    Entity* detached = scene.entity(0);
    scene.emit_event(new TestEvent("dropped"), 0.0);
    TakeLog();

    scene.clear(false);
    EXPECT_EQ(0u, scene.num_entities());
    EXPECT_EQ(nullptr, detached->get_scene());
    EXPECT_DOUBLE_EQ(0.5, scene.scene_time());
    EXPECT_TRUE(TakeLog().empty());
    scene.update(0.0f);  // the queued event went with the clear
    EXPECT_TRUE(TakeLog().empty());
    delete detached;
    EXPECT_EQ(Log({"finalize kept"}), TakeLog());

    AddRecorded(scene, "deleted");
    TakeLog();
    scene.clear(true);
    EXPECT_EQ(Log({"finalize deleted"}), TakeLog());
    EXPECT_DOUBLE_EQ(0.5, scene.scene_time());
}

TEST_F(Scene2dTest, DestructionDeletesEntitiesAndQueuedEvents) {
    {
        TestScene scene;
        AddRecorded(scene, "a");
        scene.emit_event(new TestEvent("never"), 1.0);
        TakeLog();
    }
    EXPECT_EQ(Log({"finalize a"}), TakeLog());
}

// Snapshots

std::vector<unsigned char> Bytes(const BinaryBuffer& buffer) {
    const unsigned char* data = reinterpret_cast<const unsigned char*>(buffer.buffer());
    return std::vector<unsigned char>(data, data + buffer.write_pos());
}

BinaryBuffer BufferOf(const std::vector<unsigned char>& bytes) {
    BinaryBuffer buffer;
    if (!bytes.empty()) buffer.write(bytes.data(), static_cast<unsigned int>(bytes.size()));
    return buffer;
}

std::string DeserializeError(const std::vector<unsigned char>& bytes) {
    TestScene scene;
    AddRecorded(scene, "old");
    BinaryBuffer buffer = BufferOf(bytes);
    try {
        scene.deserialize(buffer);
    } catch (const Error& e) {
        EXPECT_EQ(0u, scene.num_entities());  // cleared before anything was read
        return e.message();
    }
    EXPECT_EQ(0u, scene.num_entities());
    return "ok";
}

TEST_F(Scene2dTest, EmptySnapshotIsTwelveBytesAndRoundTrips) {
    TestScene scene;
    BinaryBuffer buffer;
    scene.serialize(buffer);
    const std::vector<unsigned char> expected = {0xCF, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0xCF, 0x00, 0x01, 0x00};
    EXPECT_EQ(expected, Bytes(buffer));

    TestScene restored;
    AddRecorded(restored, "old");
    restored.deserialize(buffer);
    EXPECT_EQ(0u, restored.num_entities());
    EXPECT_EQ(12u, buffer.read_pos());
}

TEST_F(Scene2dTest, SnapshotWithEntitiesIsWrittenButNotRestored) {
    TestScene scene;
    AddRecorded(scene, "a");
    BinaryBuffer buffer;
    scene.serialize(buffer);
    ASSERT_EQ(16u, buffer.write_pos());
    const std::vector<unsigned char> bytes = Bytes(buffer);
    const unsigned int id = Entity::TYPE_ID();
    EXPECT_EQ(std::vector<unsigned char>({1, 0, 0, 0}), std::vector<unsigned char>(bytes.begin() + 4, bytes.begin() + 8));
    EXPECT_EQ(std::vector<unsigned char>({static_cast<unsigned char>(id), static_cast<unsigned char>(id >> 8),
                                          static_cast<unsigned char>(id >> 16), static_cast<unsigned char>(id >> 24)}),
              std::vector<unsigned char>(bytes.begin() + 8, bytes.begin() + 12));
    EXPECT_EQ("Incomplete implementation. Please create the entity!", DeserializeError(bytes));
}

TEST_F(Scene2dTest, BadSnapshotsGiveErrorsWithoutReadingPastTheData) {
    const std::vector<unsigned char> empty = {0xCF, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0xCF, 0x00, 0x01, 0x00};
    EXPECT_EQ("ok", DeserializeError(empty));
    // every truncation is refused
    for (std::size_t n = 0; n < empty.size(); ++n) {
        const std::string error = DeserializeError(std::vector<unsigned char>(empty.begin(), empty.begin() + n));
        EXPECT_NE("ok", error) << n << " bytes";
    }
    EXPECT_EQ("Magic number mismatch at check 1.",
              DeserializeError({0xCE, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0xCF, 0x00, 0x01, 0x00}));
    EXPECT_EQ("Magic number mismatch at check 2.",
              DeserializeError({0xCF, 0x00, 0x01, 0x00, 0, 0, 0, 0, 0xCF, 0x00, 0x01, 0x01}));
    // a huge count with nothing behind it reserves nothing and fails on the read
    const std::string huge = DeserializeError({0xCF, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_NE("ok", huge);
    EXPECT_NE("Incomplete implementation. Please create the entity!", huge);
    EXPECT_EQ("Incomplete implementation. Please create the entity!",
              DeserializeError({0xCF, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4}));
}

TEST_F(Scene2dTest, SnapshotIsReadFromTheReadPosition) {
    TestScene scene;
    BinaryBuffer buffer;
    buffer.write<std::uint32_t>(7u);
    scene.serialize(buffer);
    buffer.set_read_pos(4);
    EXPECT_NO_THROW(scene.deserialize(buffer));
    EXPECT_TRUE(buffer.eof());
}

TEST_F(Scene2dTest, TypeNames) {
    TestScene scene;
    EXPECT_STREQ("Scene2d", scene.object_type_name());
    EXPECT_EQ(Scene2d::TYPE_ID(), scene.object_type_id());
    EXPECT_STREQ("IScene", IScene::TYPE_NAME());
}

}  // namespace
}  // namespace vo
