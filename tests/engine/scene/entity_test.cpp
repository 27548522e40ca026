#include "engine/core/crc32.h"
#include "engine/core/error.h"
#include "engine/core/parameter_stack.h"
#include "engine/scene/behavior.h"
#include "engine/scene/entity.h"
#include "engine/scene/game_event.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using vo::AABox;
using vo::Entity;
using vo::GameEvent;
using vo::IBehavior;
using vo::vector3;

using Log = std::vector<std::string>;

// A behavior that writes every call into a shared log.
class Recorder : public IBehavior {
public:
    ~Recorder() override {
        if (log) log->push_back("delete " + tag);
    }
    IBehavior* clone() const override { return new Recorder(*this); }
    void get_properties(vo::ParameterStack& params) const override { params.push(vo::Variant(1), tag.c_str()); }
    void set_properties(vo::ParameterStack&) override { note("set"); }
    void initialize(Entity* entity) override {
        note("init");
        seen = entity;
    }
    void update(float) override { note("update"); }
    void finalize(Entity* entity) override {
        note(entity->get_scene() ? "finalize in scene" : "finalize");
        if (on_finalize) on_finalize(entity);
    }
    bool bounding_box(AABox& out) const override {
        if (has_box) out = box;
        return has_box;
    }

    void note(const std::string& what) {
        if (log) log->push_back(what + " " + tag);
    }

    Log* log = nullptr;
    std::string tag;
    bool has_box = false;
    AABox box;
    Entity* seen = nullptr;
    void (*on_finalize)(Entity*) = nullptr;
};

// A subclass: never found as a Recorder.
class SubRecorder : public Recorder {
public:
    IBehavior* clone() const override { return new SubRecorder(*this); }
};

class Listener : public Recorder {
public:
    IBehavior* clone() const override { return new Listener(*this); }
    bool accepts_game_events() const override { return accepts; }
    void handle_game_event(const GameEvent& event) override {
        note(std::string("event ") + event.name);
        if (spawn_on_event) {
            spawn_on_event = false;
            Listener* late = owner->add_behavior<Listener>();
            late->log = log;
            late->tag = tag + "'";
        }
    }
    bool accepts = true;
    bool spawn_on_event = false;
    Entity* owner = nullptr;
};

template <class T>
T* Add(Entity& e, Log& log, const std::string& tag, const char* name = nullptr) {
    T* b = e.add_behavior<T>(name);
    b->log = &log;
    b->tag = tag;
    return b;
}

vo::IScene* FakeScene() {
    static int marker;
    return reinterpret_cast<vo::IScene*>(&marker);  // never dereferenced
}

class Hit : public GameEvent {
public:
    static const char* EVENT_NAME() { return "hit"; }
    Hit() : GameEvent(EVENT_NAME()) {}
};

class HardHit : public Hit {};

class Unnamed : public GameEvent {
public:
    Unnamed() : GameEvent("unnamed") {}
};

bool SameBox(const AABox& a, const AABox& b) {
    return a.min.x == b.min.x && a.min.y == b.min.y && a.min.z == b.min.z && a.max.x == b.max.x &&
           a.max.y == b.max.y && a.max.z == b.max.z;
}

TEST(Entity, TypeNameAndId) {
    Entity e;
    EXPECT_STREQ(Entity::TYPE_NAME(), "Entity");
    EXPECT_EQ(Entity::TYPE_ID(), vo::crc32("Entity"));
    EXPECT_EQ(Entity::TYPE_ID(), Entity::TYPE_ID());
    EXPECT_STREQ(e.object_type_name(), "Entity");
    EXPECT_EQ(e.object_type_id(), vo::crc32("Entity"));
}

TEST(Entity, WithoutBehaviorsUpdatesWithoutBox) {
    Entity e;
    AABox box;
    EXPECT_FALSE(e.was_killed());
    EXPECT_EQ(e.get_scene(), nullptr);
    EXPECT_EQ(e.last_dt(), 0.0);
    e.update(0.25f);
    e.update(0.5f);
    EXPECT_FALSE(e.bounding_box(box));
    EXPECT_FALSE(e.last_bounding_box(box));
    EXPECT_EQ(e.last_dt(), 0.5);
}

TEST(Entity, CallsBehaviorsInTheOrderOfAddition) {
    Log log;
    Entity e;
    Recorder* a = Add<Recorder>(e, log, "A");
    Add<Listener>(e, log, "B");
    Add<Recorder>(e, log, "C", "named");
    e.initialize();
    e.update(0.1f);
    vo::ParameterStack props;
    e.set_properties(props);
    EXPECT_EQ(log, (Log{"init A", "init B", "init C", "update A", "update B", "update C", "set A", "set B",
                        "set C"}));
    EXPECT_EQ(a->seen, &e);

    e.get_properties(props);
    std::string order;
    for (; !props.empty(); props.pop()) order += props.param_desc().name;
    EXPECT_EQ(order, "ABC");
}

TEST(Entity, MergesTheBehaviorsBoxes) {
    Log log;
    Entity e;
    Recorder* first = Add<Recorder>(e, log, "A");
    Add<Recorder>(e, log, "no box");
    Recorder* second = Add<Recorder>(e, log, "B");
    first->has_box = true;
    first->box = AABox(vector3(0, 0, 0), vector3(1, 1, 0));
    second->has_box = true;
    second->box = AABox(vector3(2, -1, 0), vector3(3, 0, 0));

    AABox box;
    e.update(0.1f);
    ASSERT_TRUE(e.bounding_box(box));
    EXPECT_TRUE(SameBox(box, AABox(vector3(0, -1, 0), vector3(3, 1, 0))));
    EXPECT_FALSE(e.last_bounding_box(box));

    // A step in which no behavior has a box: the union becomes the last box.
    first->has_box = false;
    second->has_box = false;
    e.update(0.2f);
    EXPECT_FALSE(e.bounding_box(box));
    ASSERT_TRUE(e.last_bounding_box(box));
    EXPECT_TRUE(SameBox(box, AABox(vector3(0, -1, 0), vector3(3, 1, 0))));
    EXPECT_DOUBLE_EQ(e.last_dt(), static_cast<double>(0.2f));

    // A single box is taken as it stands, even with min above max.
    second->has_box = true;
    second->box = AABox(vector3(5, 5, 5), vector3(4, 4, 4));
    e.update(0.1f);
    ASSERT_TRUE(e.bounding_box(box));
    EXPECT_TRUE(SameBox(box, second->box));
    EXPECT_FALSE(e.last_bounding_box(box));
}

TEST(Entity, EventsReachOnlyBehaviorsThatAcceptedThem) {
    Log log;
    Entity e;
    Add<Recorder>(e, log, "plain");
    Add<Listener>(e, log, "L1");
    Listener* refusing = Add<Listener>(e, log, "never");
    refusing->accepts = false;  // asked again only at addition: too late
    Listener* spawner = Add<Listener>(e, log, "L2");
    Listener* shy = e.add_behavior<Listener>();
    shy->accepts = false;
    e.add_behavior<Recorder>();
    log.clear();

    // The answer was given at addition; changing it later has no effect.
    refusing->accepts = false;
    Hit hit;
    e.handle_game_event(hit);
    EXPECT_EQ(log, (Log{"event hit L1", "event hit never", "event hit L2"}));

    // A behavior added while an event is delivered receives it as well.
    log.clear();
    spawner->spawn_on_event = true;
    spawner->owner = &e;
    e.handle_game_event(hit);
    EXPECT_EQ(log, (Log{"event hit L1", "event hit never", "event hit L2", "event hit L2'"}));
}

TEST(Entity, BehaviorsAddedDuringUpdateAreUpdatedInTheSameStep) {
    struct Grower : Recorder {
        IBehavior* clone() const override { return new Grower(*this); }
        void update(float dt) override {
            Recorder::update(dt);
            // Enough additions to move the list in memory while it is walked.
            for (; spawn > 0; --spawn) Add<Recorder>(*owner, *log, "new");
        }
        Entity* owner = nullptr;
        int spawn = 0;
    };
    Log log;
    Entity e;
    Grower* g = Add<Grower>(e, log, "grower");
    g->owner = &e;
    g->spawn = 20;
    e.update(0.1f);
    Log want{"update grower"};
    want.insert(want.end(), 20, "update new");
    EXPECT_EQ(log, want);
}

TEST(Entity, GetBehaviorMatchesTheExactClassAndTheName) {
    Log log;
    Entity e;
    SubRecorder* sub = Add<SubRecorder>(e, log, "sub");
    Recorder* named = Add<Recorder>(e, log, "named", "transform");
    Recorder* other = Add<Recorder>(e, log, "other", "other");
    Recorder* unnamed = Add<Recorder>(e, log, "unnamed");

    EXPECT_EQ(e.get_behavior<Recorder>(), named);  // the first, whatever its name
    EXPECT_EQ(e.get_behavior<Recorder>("other"), other);
    EXPECT_EQ(e.get_behavior<Recorder>("missing"), nullptr);
    EXPECT_EQ(e.get_behavior<SubRecorder>(), sub);
    EXPECT_EQ(e.get_behavior<SubRecorder>("transform"), nullptr);
    EXPECT_EQ(e.get_behavior<Listener>(), nullptr);

    EXPECT_EQ(e.get_behavior_by_name("transform"), named);
    EXPECT_EQ(e.get_behavior_by_name("other"), other);
    EXPECT_EQ(e.get_behavior_by_name("Transform"), nullptr);
    EXPECT_EQ(e.get_behavior_by_name(nullptr), nullptr);
    (void)unnamed;

    Entity only_sub;
    Add<SubRecorder>(only_sub, log, "s");
    EXPECT_EQ(only_sub.get_behavior<Recorder>(), nullptr);
}

TEST(Entity, CloneCopiesBehaviorsButNotTheSceneOrTheLastStep) {
    Log log;
    Entity e;
    Recorder* boxed = Add<Recorder>(e, log, "A", "first");
    boxed->has_box = true;
    boxed->box = AABox(vector3(1, 2, 3), vector3(4, 5, 6));
    Add<Listener>(e, log, "B", "second");
    Add<SubRecorder>(e, log, "C");
    e.set_scene(FakeScene(), &log);
    e.update(0.5f);
    e.update(0.5f);
    e.kill_entity();
    log.clear();

    std::unique_ptr<Entity> copy(e.clone());
    EXPECT_STREQ(copy->object_type_name(), "Entity");
    EXPECT_TRUE(copy->was_killed());
    EXPECT_EQ(copy->get_scene(), nullptr);
    EXPECT_EQ(copy->get_scene_info_object(), nullptr);
    EXPECT_EQ(copy->last_dt(), 0.0);
    AABox box;
    ASSERT_TRUE(copy->bounding_box(box));
    EXPECT_TRUE(SameBox(box, boxed->box));
    EXPECT_FALSE(copy->last_bounding_box(box));
    EXPECT_TRUE(log.empty());  // clones are not initialized

    Recorder* cloned = copy->get_behavior<Recorder>("first");
    ASSERT_NE(cloned, nullptr);
    EXPECT_NE(cloned, boxed);
    EXPECT_EQ(cloned->tag, "A");
    EXPECT_EQ(copy->get_behavior_by_name("second"), copy->get_behavior<Listener>());
    EXPECT_NE(copy->get_behavior<SubRecorder>(), nullptr);

    copy->update(0.1f);
    EXPECT_EQ(log, (Log{"update A", "update B", "update C"}));
    log.clear();
    copy->handle_game_event(Hit());
    EXPECT_EQ(log, (Log{"event hit B"}));

    Entity fresh;
    std::unique_ptr<Entity> fresh_copy(fresh.clone());
    EXPECT_FALSE(fresh_copy->was_killed());
}

TEST(Entity, DestructionFinalizesEachBehaviorBeforeDeletingIt) {
    Log log;
    {
        Entity e;
        Add<Recorder>(e, log, "A");
        Recorder* b = Add<Listener>(e, log, "B");
        Add<Recorder>(e, log, "C", "c");
        // A finalize that looks up its siblings finds none already deleted.
        b->on_finalize = [](Entity* entity) {
            Recorder* first = entity->get_behavior<Recorder>();
            ASSERT_NE(first, nullptr);
            EXPECT_EQ(first->tag, "C");
        };
        e.set_scene(FakeScene(), nullptr);
        log.clear();
    }
    EXPECT_EQ(log, (Log{"finalize in scene A", "delete A", "finalize in scene B", "delete B", "finalize in scene C",
                        "delete C"}));
}

TEST(GameEvent, TypeIsTheCrcOfTheName) {
    Hit hit;
    EXPECT_STREQ(hit.name, "hit");
    EXPECT_EQ(hit.type, vo::crc32("hit"));
    EXPECT_EQ(GameEvent("health").type, 0xCEDA2313u);
}

TEST(GameEvent, CastChecksTheDynamicClass) {
    HardHit hard;
    const GameEvent& as_base = hard;
    EXPECT_EQ(as_base.cast<Hit>(), &hard);  // a derived class is accepted
    EXPECT_EQ(as_base.cast<HardHit>(), &hard);

    const auto message_of = [](auto cast) -> std::string {
        try {
            cast();
        } catch (const vo::Error& e) {
            return e.message();
        }
        return "no Error thrown";
    };
    Unnamed unnamed;
    const GameEvent& other = unnamed;
    EXPECT_EQ(message_of([&] { other.cast<Hit>(); }),
              "Can't perform queried cast on GameEvent:\nSource event: unnamed\nTarget event: hit");
    // Without EVENT_NAME the target is named by its class.
    Hit hit;
    const GameEvent& plain = hit;
    EXPECT_EQ(message_of([&] { plain.cast<Unnamed>(); }),
              "Can't perform queried cast on GameEvent:\nSource event: hit\nTarget event: (anonymous "
              "namespace)::Unnamed");
}

}  // namespace
