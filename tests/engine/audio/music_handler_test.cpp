// The music handler's schedule on its own clock, driven by the test through
// update(dt), with tracks that record what the handler does to them.

#include "engine/audio/music_handler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using vo::Music;
using vo::MusicHandler;
using vo::SmartPtr;

// A track with exact volumes and a state the test controls.
class FakeMusic : public Music {
public:
    explicit FakeMusic(bool* destroyed = nullptr) : destroyed_(destroyed) {}
    ~FakeMusic() override {
        if (destroyed_) *destroyed_ = true;
    }

    bool open(const char*) override { return true; }
    void set_loop(bool loop) override { loop_ = loop; }
    bool loop() const override { return loop_; }
    void play() override {
        state_ = PLAYING;
        ++plays;
    }
    void pause() override { state_ = PAUSED; }
    void stop() override {
        state_ = STOPPED;
        ++stops;
    }
    bool is_playing() const override { return state_ == PLAYING; }
    bool is_paused() const override { return state_ == PAUSED; }
    bool is_stopped() const override { return state_ == STOPPED; }
    void set_volume(float volume) override {
        volume_ = volume;
        volumes.push_back(volume);
    }
    float volume() const override { return volume_; }

    // The stream ran out without looping.
    void end() { state_ = STOPPED; }

    int plays = 0;
    int stops = 0;
    std::vector<float> volumes;

private:
    enum State { STOPPED, PAUSED, PLAYING };
    State state_ = STOPPED;
    bool loop_ = false;
    float volume_ = 100.0f;
    bool* destroyed_;
};

SmartPtr<FakeMusic> MakeMusic(float volume = 0.0f) {
    SmartPtr<FakeMusic> m(new FakeMusic);
    m->set_volume(volume);
    m->volumes.clear();
    return m;
}

// What `start` schedules, on a track the test made.
void StartFake(MusicHandler& h, SmartPtr<FakeMusic> const& m, const char* name, double delay, double fade,
               float volume) {
    m->set_volume(fade > 0.0 ? 0.0f : h.master_volume() * volume / 100.0f);
    h.schedule_start(m, delay, name);
    h.schedule_fade_in(m, delay, fade, volume);
}

TEST(MusicHandler, NonPositiveStepsChangeNothing) {
    MusicHandler h;
    SmartPtr<FakeMusic> m = MakeMusic();
    h.schedule_start(m, 0.5, "a");
    for (double dt : {0.0, -1.0}) {
        h.update(dt);
        EXPECT_EQ(h.time(), 0.0);
        EXPECT_EQ(h.schedule().size(), 1u);
        EXPECT_EQ(m->plays, 0);
    }
}

// start("a", false, 2, 1, 100) on a handler at time 0, master volume 100,
// stepped through as one table.
TEST(MusicHandler, DelayedStartAndFadeInFollowTheClock) {
    MusicHandler h;
    h.set_master_volume(80.0f, 0.0);
    SmartPtr<FakeMusic> m = MakeMusic(55.0f);
    StartFake(h, m, "a", 2.0, 1.0, 100.0f);
    ASSERT_EQ(h.schedule().size(), 2u);
    EXPECT_EQ(m->volume(), 0.0f);

    struct Step {
        double dt;
        bool playing;
        float volume;
        std::size_t scheduled;
        std::size_t fades;
    };
    const Step steps[] = {
        {1.0, false, 0.0f, 2, 0},  // clock 1: nothing yet
        {0.5, false, 0.0f, 2, 0},  // clock 1.5
        {0.5, true, 0.0f, 0, 1},   // clock 2: start, then the fade in from 0
        {0.25, true, 20.0f, 0, 1},  // a quarter of the way to 100 x 80 / 100
        {0.5, true, 60.0f, 0, 1},
        {0.25, true, 80.0f, 0, 0},  // reached, and the fade is gone
        {1.0, true, 80.0f, 0, 0},
    };
    double clock = 0.0;
    for (Step const& s : steps) {
        clock += s.dt;
        h.update(s.dt);
        SCOPED_TRACE(clock);
        EXPECT_DOUBLE_EQ(h.time(), clock);
        EXPECT_EQ(m->is_playing(), s.playing);
        EXPECT_FLOAT_EQ(m->volume(), s.volume);
        EXPECT_EQ(h.schedule().size(), s.scheduled);
        EXPECT_EQ(h.num_fades(), s.fades);
    }
    ASSERT_EQ(h.tracks().size(), 1u);
    EXPECT_EQ(h.tracks()[0].name, "a");
    EXPECT_EQ(h.tracks()[0].volume, 100.0f);
    EXPECT_EQ(m->plays, 1);
}

TEST(MusicHandler, ItemsDueNowRunInsideTheSchedulingCall) {
    MusicHandler h;
    h.set_master_volume(50.0f, 0.0);
    SmartPtr<FakeMusic> m = MakeMusic();
    testing::internal::CaptureStdout();
    StartFake(h, m, "a", 0.0, 0.0, 80.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "DBG: FADE_IN from 40 to 40 in 0 sec.\n");
    EXPECT_TRUE(m->is_playing());
    EXPECT_EQ(m->volume(), 40.0f);
    EXPECT_TRUE(h.schedule().empty());
    EXPECT_TRUE(h.track_is_active("a"));

    m->volumes.clear();
    h.update(0.1);
    EXPECT_EQ(m->volumes, (std::vector<float>{40.0f}));  // the zero-length fade ends
    EXPECT_EQ(h.num_fades(), 0u);
}

TEST(MusicHandler, FadeInLineHasAFixedFormat) {
    struct Case {
        bool playing;
        float volume;
        float master;
        double duration;
        float to;
        const char* line;
    };
    const Case cases[] = {
        {true, 30.0f, 50.0f, 2.0, 80.0f, "DBG: FADE_IN from 30 to 40 in 2 sec.\n"},
        {false, 30.0f, 100.0f, 1.5, 75.5f, "DBG: FADE_IN from 0 to 75.5 in 1.5 sec.\n"},
        {true, 12.25f, 33.0f, 0.125, 100.0f, "DBG: FADE_IN from 12.25 to 33 in 0.125 sec.\n"},
    };
    for (Case const& c : cases) {
        MusicHandler h;
        h.set_master_volume(c.master, 0.0);
        SmartPtr<FakeMusic> m = MakeMusic(c.volume);
        if (c.playing) m->play();
        testing::internal::CaptureStdout();
        h.schedule_fade_in(m, 0.0, c.duration, c.to);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.line);
    }
}

TEST(MusicHandler, StopFadesOutThenStopsAndCanBeCancelled) {
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel);
        MusicHandler h;
        SmartPtr<FakeMusic> m = MakeMusic();
        testing::internal::CaptureStdout();
        StartFake(h, m, "a", 0.0, 0.0, 100.0f);
        h.update(0.5);
        testing::internal::GetCapturedStdout();

        h.stop(m, 1.0, 2.0);
        ASSERT_EQ(h.schedule().size(), 2u);
        EXPECT_EQ(h.schedule()[0].kind, MusicHandler::ITEM_FADE_OUT);
        EXPECT_DOUBLE_EQ(h.schedule()[0].time, 1.5);
        EXPECT_DOUBLE_EQ(h.schedule()[0].duration, 2.0);
        EXPECT_EQ(h.schedule()[1].kind, MusicHandler::ITEM_STOP);
        EXPECT_DOUBLE_EQ(h.schedule()[1].time, 3.5);

        if (cancel) h.cancel_schedule(m);
        h.update(1.0);  // 1.5: the fade out starts from 100
        h.update(1.0);  // 2.5
        EXPECT_FLOAT_EQ(m->volume(), cancel ? 100.0f : 50.0f);
        EXPECT_TRUE(m->is_playing());
        h.update(1.0);  // 3.5: the fade has ended, then the stop runs
        EXPECT_EQ(m->is_stopped(), !cancel);
        EXPECT_FLOAT_EQ(m->volume(), cancel ? 100.0f : 0.0f);
        EXPECT_EQ(h.tracks().size(), 1u);  // dropped only at the next update
        h.update(0.1);
        EXPECT_EQ(h.tracks().size(), cancel ? 1u : 0u);
    }
}

TEST(MusicHandler, TrackThatEndsByItselfLeavesWithItsFades) {
    MusicHandler h;
    SmartPtr<FakeMusic> ends = MakeMusic();
    SmartPtr<FakeMusic> plays = MakeMusic();
    testing::internal::CaptureStdout();
    StartFake(h, ends, "ends", 0.0, 4.0, 100.0f);
    StartFake(h, plays, "plays", 0.0, 4.0, 100.0f);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(h.num_fades(), 2u);

    ends->end();
    ends->volumes.clear();
    h.update(1.0);
    ASSERT_EQ(h.tracks().size(), 1u);
    EXPECT_EQ(h.tracks()[0].name, "plays");
    EXPECT_EQ(h.num_fades(), 1u);
    EXPECT_FALSE(h.track_is_active("ends"));
    EXPECT_EQ(h.active_track_by_name("plays"), plays);
    EXPECT_FALSE(h.active_track_by_name("ends"));
    h.update(1.0);
    EXPECT_EQ(ends->volumes, (std::vector<float>{25.0f}));  // nothing after it was dropped
}

TEST(MusicHandler, MasterVolumeZeroSilencesAtOnceAndLaterFadesLeadToZero) {
    MusicHandler h;
    SmartPtr<FakeMusic> a = MakeMusic();
    testing::internal::CaptureStdout();
    StartFake(h, a, "a", 0.0, 0.0, 70.0f);
    h.set_master_volume(0.0f, 0.0);
    EXPECT_EQ(a->volume(), 0.0f);

    SmartPtr<FakeMusic> b = MakeMusic();
    StartFake(h, b, "b", 1.0, 2.0, 100.0f);
    for (int i = 0; i < 4; ++i) h.update(0.5);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(b->is_playing());
    EXPECT_EQ(b->volume(), 0.0f);
    EXPECT_EQ(a->volume(), 0.0f);

    // Back up with a fade: each track to its own volume.
    h.set_master_volume(50.0f, 1.0);
    h.update(0.5);
    EXPECT_FLOAT_EQ(a->volume(), 17.5f);
    h.update(0.5);
    EXPECT_FLOAT_EQ(a->volume(), 35.0f);
    EXPECT_FLOAT_EQ(b->volume(), 50.0f);
}

// Turning the master volume down while a fade in still runs: the old fade
// must not take the track back up after the master fade has ended.
TEST(MusicHandler, MasterVolumeCancelsRunningFades) {
    MusicHandler h;
    SmartPtr<FakeMusic> m = MakeMusic();
    testing::internal::CaptureStdout();
    StartFake(h, m, "a", 0.0, 4.0, 100.0f);
    testing::internal::GetCapturedStdout();
    h.update(1.0);
    EXPECT_FLOAT_EQ(m->volume(), 25.0f);

    h.set_master_volume(0.0f, 0.5);
    h.update(0.5);
    EXPECT_FLOAT_EQ(m->volume(), 0.0f);
    for (int i = 0; i < 6; ++i) h.update(0.5);
    EXPECT_FLOAT_EQ(m->volume(), 0.0f);
    EXPECT_EQ(h.num_fades(), 0u);
}

TEST(MusicHandler, FadeOutDuringMasterChangeStillStops) {
    MusicHandler h;
    SmartPtr<FakeMusic> m = MakeMusic();
    testing::internal::CaptureStdout();
    StartFake(h, m, "a", 0.0, 0.0, 100.0f);
    testing::internal::GetCapturedStdout();
    h.stop(m, 0.0, 2.0);
    h.update(1.0);
    h.set_master_volume(60.0f, 0.0);
    EXPECT_EQ(m->volume(), 0.0f);  // the track's own volume is 0 while it fades out
    h.update(1.0);
    EXPECT_TRUE(m->is_stopped());
    EXPECT_EQ(m->volume(), 0.0f);
}

TEST(MusicHandler, ClearStopsEverythingAtOnce) {
    MusicHandler h;
    SmartPtr<FakeMusic> a = MakeMusic();
    SmartPtr<FakeMusic> b = MakeMusic();
    SmartPtr<FakeMusic> later = MakeMusic();
    testing::internal::CaptureStdout();
    StartFake(h, a, "a", 0.0, 3.0, 100.0f);
    StartFake(h, b, "b", 0.0, 0.0, 100.0f);
    StartFake(h, later, "later", 5.0, 0.0, 100.0f);
    h.clear();
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(a->is_stopped());
    EXPECT_TRUE(b->is_stopped());
    EXPECT_TRUE(h.tracks().empty());
    EXPECT_TRUE(h.schedule().empty());
    EXPECT_EQ(h.num_fades(), 0u);
    for (int i = 0; i < 12; ++i) h.update(0.5);
    EXPECT_EQ(later->plays, 0);
}

TEST(MusicHandler, NamesOfActiveAndScheduledTracks) {
    MusicHandler h;
    SmartPtr<FakeMusic> a = MakeMusic();
    SmartPtr<FakeMusic> b = MakeMusic();
    testing::internal::CaptureStdout();
    StartFake(h, a, "a.ogg", 0.0, 0.0, 100.0f);
    StartFake(h, b, "b.ogg", 1.0, 0.0, 100.0f);
    testing::internal::GetCapturedStdout();

    struct Case {
        const char* name;
        bool active;
        bool scheduled;
    };
    for (Case const& c : {Case{"a.ogg", true, false}, Case{"b.ogg", false, true}, Case{"c.ogg", false, false},
                          Case{"a", false, false}}) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(h.track_is_active(c.name), c.active);
        EXPECT_EQ(h.track_is_scheduled(c.name), c.scheduled);
        EXPECT_EQ(h.track_is_active_or_scheduled(c.name), c.active || c.scheduled);
    }
    EXPECT_EQ(h.active_track_by_name("a.ogg"), a);

    h.clear_scheduled();
    EXPECT_FALSE(h.track_is_scheduled("b.ogg"));
}

TEST(MusicHandler, CancellingAnUnknownTrackFindsNothing) {
    MusicHandler h;
    SmartPtr<FakeMusic> known = MakeMusic();
    SmartPtr<FakeMusic> stranger = MakeMusic();
    testing::internal::CaptureStdout();
    StartFake(h, known, "k", 1.0, 1.0, 100.0f);
    testing::internal::GetCapturedStdout();
    h.cancel_schedule(stranger);
    h.cancel_tweens(stranger);
    h.cancel_tweens(SmartPtr<Music>());
    EXPECT_EQ(h.schedule().size(), 2u);

    // Stopping a track the handler never started works on it all the same.
    stranger->play();
    h.stop(stranger, 0.0, 0.0);
    EXPECT_TRUE(stranger->is_stopped());
}

TEST(MusicHandler, StopActiveFadesLeavesVolumesWhereTheyAre) {
    MusicHandler h;
    SmartPtr<FakeMusic> m = MakeMusic();
    testing::internal::CaptureStdout();
    StartFake(h, m, "a", 0.0, 2.0, 100.0f);
    testing::internal::GetCapturedStdout();
    h.update(1.0);
    h.stop_active_fades();
    h.update(1.0);
    EXPECT_FLOAT_EQ(m->volume(), 50.0f);
    EXPECT_EQ(h.num_fades(), 0u);
}

// A fade writes through a plain pointer; the caller's handle may go first.
TEST(MusicHandler, FadeKeepsItsTrackAliveUntilItEnds) {
    bool destroyed = false;
    MusicHandler h;
    {
        SmartPtr<Music> m(new FakeMusic(&destroyed));
        m->play();
        testing::internal::CaptureStdout();
        h.schedule_fade_in(m, 0.0, 1.0, 100.0f);
        testing::internal::GetCapturedStdout();
    }
    EXPECT_FALSE(destroyed);
    h.update(0.5);
    EXPECT_FALSE(destroyed);
    h.update(0.5);  // the fade ends and is deleted with its handle
    EXPECT_TRUE(destroyed);
}

}  // namespace
