#include "engine/core/tween_machine.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using vo::LinearTween;
using vo::SmoothTween;
using vo::TweenMachine;
using vo::TweenMethodCallback;
using vo::TweenMethodCallbackConstRef;
using vo::Tweener;

struct Target {
    std::vector<float> seen;
    void set(float v) { seen.push_back(v); }
    void set_ref(float const& v) { seen.push_back(v); }
};

using LinearFloat = Tweener<LinearTween<float>, TweenMethodCallback<float, Target>>;
using SmoothFloat = Tweener<SmoothTween<float>, TweenMethodCallback<float, Target>>;

TEST(Tween, LinearSequenceAndDeletionAfterTheLastUpdate) {
    Target target;
    TweenMachine machine;
    machine.add(new LinearFloat(2.0, 0.0f, 10.0f, &target, &Target::set), 0.0);
    EXPECT_EQ(target.seen, (std::vector<float>{0.0f}));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(machine.num_running(), 1u);
        machine.update(0.5);
    }
    EXPECT_EQ(target.seen, (std::vector<float>{0.0f, 2.5f, 5.0f, 7.5f, 10.0f}));
    EXPECT_EQ(machine.num_running(), 0u);
}

TEST(Tween, SmoothSequence) {
    Target target;
    TweenMachine machine;
    machine.add(new SmoothFloat(2.0, 0.0f, 10.0f, &target, &Target::set), 0.0);
    for (int i = 0; i < 4; ++i) machine.update(0.5);
    EXPECT_EQ(target.seen, (std::vector<float>{0.0f, 1.5625f, 5.0f, 8.4375f, 10.0f}));
    EXPECT_EQ(SmoothTween<float>::weight(0.25f), 0.15625f);
    EXPECT_EQ(SmoothTween<float>::weight(0.75f), 0.84375f);
    EXPECT_EQ(SmoothTween<float>::weight(1.5f), 1.0f);
    EXPECT_EQ(SmoothTween<float>::weight(-0.5f), 0.0f);
}

TEST(Tween, DelayedStartRunsForTheRemainderOfItsStep) {
    Target target;
    TweenMachine machine;
    auto* t = new LinearFloat(1.0, 0.0f, 4.0f, &target, &Target::set);
    machine.add(t, 1.0);
    machine.update(0.5);
    EXPECT_TRUE(target.seen.empty());
    EXPECT_EQ(machine.num_scheduled(), 1u);
    machine.update(0.75);
    EXPECT_EQ(target.seen, (std::vector<float>{1.0f}));  // elapsed 0.25
    EXPECT_DOUBLE_EQ(t->elapsed(), 0.25);
    EXPECT_EQ(machine.num_scheduled(), 0u);
    EXPECT_EQ(machine.num_running(), 1u);
}

TEST(Tween, StartedTweenIsTestedForFinishingOnlyAtTheNextUpdate) {
    Target target;
    TweenMachine machine;
    machine.add(new LinearFloat(0.1, 0.0f, 1.0f, &target, &Target::set), 0.5);
    machine.update(1.0);  // starts with 0.5 s already past its end
    EXPECT_EQ(target.seen, (std::vector<float>{1.0f}));
    EXPECT_EQ(machine.num_running(), 1u);
    machine.update(0.0);
    EXPECT_EQ(machine.num_running(), 0u);
}

TEST(Tween, ZeroDuration) {
    Target target;
    TweenMachine machine;
    machine.add(new LinearFloat(0.0, 3.0f, 7.0f, &target, &Target::set), 0.0);
    EXPECT_EQ(target.seen, (std::vector<float>{3.0f}));
    EXPECT_EQ(machine.num_running(), 1u);
    machine.update(0.1);
    EXPECT_EQ(target.seen, (std::vector<float>{3.0f, 7.0f}));
    EXPECT_EQ(machine.num_running(), 0u);
}

TEST(Tween, CallbackRunsBeforeTheStartAndTheConstRefFormSeesTheValueField) {
    Target target;
    using RefTween = Tweener<LinearTween<float>, TweenMethodCallbackConstRef<float, Target>>;
    RefTween t(1.0, 2.0f, 4.0f, &target, &Target::set_ref);
    t.update(-0.5);
    t.update(1.0);
    EXPECT_EQ(target.seen, (std::vector<float>{2.0f, 3.0f}));
    EXPECT_EQ(t.value(), 3.0f);

    // Null object or method: nothing is called, the value still advances.
    LinearFloat quiet(1.0, 0.0f, 1.0f, &target, nullptr);
    quiet.update(2.0);
    EXPECT_EQ(quiet.value(), 1.0f);
    EXPECT_EQ(target.seen.size(), 2u);
}

struct FrameTarget {
    vo::Frame frame;
    void set_frame(vo::Frame const& f) { frame = f; }
};

TEST(Tween, FramesBlendEveryEdgeWithTheSameWeight) {
    FrameTarget target;
    TweenMachine machine;
    using FrameTween = Tweener<SmoothTween<vo::Frame>, TweenMethodCallbackConstRef<vo::Frame, FrameTarget>>;
    machine.add(new FrameTween(2.0, vo::Frame(0, 0, 10, 20), vo::Frame(10, 40, 30, 20), &target,
                               &FrameTarget::set_frame));
    machine.update(0.5);  // s = 0.15625
    EXPECT_EQ(target.frame.left(), 1.5625f);
    EXPECT_EQ(target.frame.top(), 6.25f);
    EXPECT_EQ(target.frame.right(), 13.125f);
    EXPECT_EQ(target.frame.bottom(), 20.0f);
    machine.update(2.0);
    EXPECT_EQ(target.frame.left(), 10.0f);
    EXPECT_EQ(target.frame.top(), 40.0f);
}

TEST(Tween, CloneCopiesTheState) {
    Target target;
    LinearFloat t(2.0, 0.0f, 10.0f, &target, &Target::set);
    t.update(0.5);
    std::unique_ptr<vo::ITweener> copy(t.clone());
    copy->update(0.5);
    EXPECT_EQ(target.seen, (std::vector<float>{2.5f, 5.0f}));
    EXPECT_TRUE(copy->has_target(&target));
}

TEST(Tween, HasTargetComparesTheCallbackObject) {
    Target a, b;
    LinearFloat t(1.0, 0.0f, 1.0f, &a, &Target::set);
    EXPECT_TRUE(t.has_target(&a));
    EXPECT_FALSE(t.has_target(&b));
    EXPECT_FALSE(t.has_target(nullptr));
}

TEST(Tween, ClearKeepsScheduledTweens) {
    Target running, delayed;
    TweenMachine machine;
    machine.add(new LinearFloat(5.0, 0.0f, 1.0f, &running, &Target::set), 0.0);
    machine.add(new LinearFloat(5.0, 0.0f, 1.0f, &delayed, &Target::set), 1.0);
    machine.clear();
    EXPECT_EQ(machine.num_running(), 0u);
    machine.update(1.0);
    EXPECT_EQ(running.seen.size(), 1u);  // only the start value from add
    EXPECT_EQ(delayed.seen, (std::vector<float>{0.0f}));
    EXPECT_EQ(machine.num_running(), 1u);
}

TEST(Tween, CancelRemovesRunningAndScheduledTweensOfOneTarget) {
    Target a, b;
    TweenMachine machine;
    machine.add(new LinearFloat(5.0, 0.0f, 1.0f, &a, &Target::set), 0.0);
    machine.add(new LinearFloat(5.0, 0.0f, 1.0f, &b, &Target::set), 0.0);
    machine.add(new LinearFloat(5.0, 0.0f, 1.0f, &a, &Target::set), 0.5);
    machine.cancel_tweens(&a);
    EXPECT_EQ(machine.num_running(), 1u);
    EXPECT_EQ(machine.num_scheduled(), 0u);
    a.seen.clear();
    machine.update(1.0);
    EXPECT_TRUE(a.seen.empty());
    EXPECT_EQ(b.seen.size(), 2u);
}

// A target whose callback reaches back into the machine that runs it.
struct Meddler {
    TweenMachine* machine = nullptr;
    void const* victim = nullptr;
    enum Action { Cancel, Clear, AddMore } action = Cancel;
    int calls = 0;
    Target spawned;
    void set(float) {
        ++calls;
        switch (action) {
        case Cancel: machine->cancel_tweens(victim); break;
        case Clear: machine->clear(); break;
        case AddMore:
            if (calls == 2) machine->add(new LinearFloat(1.0, 0.0f, 1.0f, &spawned, &Target::set), 0.0);
            break;
        }
    }
};

using MeddlerTween = Tweener<LinearTween<float>, TweenMethodCallback<float, Meddler>>;

TEST(Tween, CallbackMayCancelItsOwnTweenAndOthers) {
    Meddler m;
    Target later, earlier;
    TweenMachine machine;
    m.machine = &machine;
    machine.add(new LinearFloat(5.0, 0.0f, 1.0f, &earlier, &Target::set), 0.0);
    machine.add(new MeddlerTween(5.0, 0.0f, 1.0f, &m, &Meddler::set), 0.0);
    machine.add(new LinearFloat(5.0, 0.0f, 1.0f, &later, &Target::set), 0.0);
    machine.add(new LinearFloat(5.0, 0.0f, 1.0f, &later, &Target::set), 2.0);
    earlier.seen.clear();
    later.seen.clear();

    // First the meddler cancels the later tween and its scheduled one.
    m.victim = &later;
    machine.update(0.5);
    EXPECT_TRUE(later.seen.empty());
    EXPECT_EQ(earlier.seen.size(), 1u);
    EXPECT_EQ(machine.num_running(), 2u);
    EXPECT_EQ(machine.num_scheduled(), 0u);

    // Then it cancels itself in the middle of its own update.
    m.victim = &m;
    machine.update(0.5);
    EXPECT_EQ(machine.num_running(), 1u);
    machine.update(0.5);
    EXPECT_EQ(earlier.seen.size(), 3u);
}

TEST(Tween, CallbackMayClearTheMachine) {
    Meddler m;
    Target other;
    TweenMachine machine;
    m.machine = &machine;
    m.action = Meddler::Clear;
    machine.add(new LinearFloat(5.0, 0.0f, 1.0f, &other, &Target::set), 0.0);
    machine.add(new LinearFloat(5.0, 0.0f, 1.0f, &other, &Target::set), 3.0);
    // The clear runs from inside add (the start value) and takes the new
    // tween with it.
    machine.add(new MeddlerTween(5.0, 0.0f, 1.0f, &m, &Meddler::set), 0.0);
    EXPECT_EQ(machine.num_running(), 0u);
    EXPECT_EQ(machine.num_scheduled(), 1u);
    machine.update(3.0);
    EXPECT_EQ(machine.num_running(), 1u);
}

TEST(Tween, TweenAddedByACallbackRunsInTheSameUpdate) {
    Meddler m;
    TweenMachine machine;
    m.machine = &machine;
    m.action = Meddler::AddMore;
    machine.add(new MeddlerTween(5.0, 0.0f, 1.0f, &m, &Meddler::set), 0.0);
    machine.update(0.25);
    EXPECT_EQ(m.spawned.seen, (std::vector<float>{0.0f, 0.25f}));
    EXPECT_EQ(machine.num_running(), 2u);
}

TEST(Tween, DestructorDeletesEverything) {
    struct Counted : vo::ITweener {
        int* deaths;
        explicit Counted(int* d) : deaths(d) {}
        ~Counted() override { ++*deaths; }
        ITweener* clone() const override { return new Counted(deaths); }
        void update(double) override {}
        bool is_finished() const override { return false; }
        bool has_target(void const*) const override { return false; }
    };
    int deaths = 0;
    {
        TweenMachine machine;
        machine.add(new Counted(&deaths), 0.0);
        machine.add(new Counted(&deaths), 1.0);
    }
    EXPECT_EQ(deaths, 2);
}

}  // namespace
