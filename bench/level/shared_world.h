#pragma once

// The one level scene harness of the level benchmarks: the application
// starts once per process, so every benchmark of this binary shares it.

#include "support/game/level_scene_harness.h"

namespace vo_bench {

// Made on first use and kept to the end of the process without being
// destroyed: destroyed at exit it would shut the application down after the
// engine's managers made during the run have already gone.
inline vo_test::LevelSceneHarness& LevelWorld() {
    static vo_test::LevelSceneHarness* world = new vo_test::LevelSceneHarness();
    return *world;
}

}  // namespace vo_bench
