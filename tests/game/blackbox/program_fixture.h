#pragma once

// The real program run by black-box tests as a player starts it: from the
// build folder, on an X server of the test process's own, with a fresh user
// folder.

#include "support/engine/child_process.h"
#include "support/engine/media_files.h"
#include "support/engine/x_display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace vo_test {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
// Generous: the sanitizer build starts several times slower.
constexpr double kStartSeconds = 60.0;
constexpr double kEndSeconds = 30.0;

class ProgramTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_FALSE(UsePrivateXServer(kScreenWidth, kScreenHeight).empty()); }

    // The game with these arguments, run in folder with this test's user
    // folder.
    ChildProcess::Launch launch(std::vector<std::string> args, std::string const& folder = QV_BUILD_DIR) const {
        ChildProcess::Launch l;
        l.program = QV_GAME_BINARY;
        l.args = std::move(args);
        l.working_directory = folder;
        l.environment = {{"XDG_CONFIG_HOME", config_home_.path()}};
#if defined(__SANITIZE_ADDRESS__)
        // The program unloads the software GL driver when its window goes,
        // so the leak checker can no longer name the driver's own leaks
        // (suppressed by name in .ci/lsan.supp) and reports them from an
        // unknown module. The game's code is leak-checked by the in-process
        // tests; here addressing errors and undefined behaviour count.
        const char* asan = std::getenv("ASAN_OPTIONS");
        l.environment.push_back({"ASAN_OPTIONS", std::string(asan ? asan : "") + ":detect_leaks=0"});
#endif
        return l;
    }
    std::string user_file(std::string const& name) const { return config_home_.path() + "/Quorvane/" + name; }

    TempFolder config_home_;
};

}  // namespace vo_test
