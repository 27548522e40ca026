// Matches between computer teams, several rounds each, with the match's
// health checked all along (see soak_runner.h).
//
// CI plays two seeds of two rounds at each difficulty, and checks that one
// seed plays the same in two processes. Under the sanitizers one round is
// played. "Soak.Configured" plays whatever QV_SOAK asks for (the long run
// and the difficulty table of the developer notes); without it, it is
// skipped.

#include "soak_runner.h"

#include "support/game/game_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using vo_test::RunSoak;
using vo_test::SoakOptions;
using vo_test::SoakReport;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// "key=value key=value": teams, members, level, seed, rounds, idle (0/1),
// maxcpu, roundtime, clusters (0/1), items (0/1: shipped or every turn),
// jump (speed).
SoakOptions ParseOptions(std::string const& text) {
    SoakOptions options;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        const auto eq = word.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = word.substr(0, eq);
        const std::string value = word.substr(eq + 1);
        if (key == "teams") options.teams = std::stoi(value);
        if (key == "members") options.members = std::stoi(value);
        if (key == "level") options.cpu_level = std::stoi(value);
        if (key == "seed") options.seed = std::stoi(value);
        if (key == "rounds") options.rounds = std::stoi(value);
        if (key == "idle") options.idle_last_team = value == "1";
        if (key == "maxcpu") options.max_cpu_turns = std::stoi(value);
        if (key == "roundtime") options.round_time = std::stod(value);
        if (key == "clusters") options.clusters_first = value == "1";
        if (key == "jump") options.jump_velocity = std::stod(value);
        if (key == "items") options.many_items = value == "1";
    }
    return options;
}

std::string ReportLine(SoakReport const& r) {
    int won = 0;
    for (int w : r.winners) won += w == 0;
    std::ostringstream line;
    line << "SOAK_REPORT rounds=" << r.rounds << " given_up=" << r.rounds_given_up << " won_by_team0=" << won
         << " cpu_turns=" << r.cpu_turns << " throws=" << r.throws << " hits=" << r.hits
         << " enemy_damage=" << r.enemy_damage << " carves=" << r.carves << " lava_lost=" << r.lava_lost
         << " steps=" << r.steps
         << " sim_s=" << std::fixed << std::setprecision(1) << r.simulated_seconds << " wall_s=" << r.wall_seconds
         << " speed=" << (r.wall_seconds > 0 ? r.simulated_seconds / r.wall_seconds : 0.0) << std::hex
         << " trace=" << r.trace_hash;
    return line.str();
}

void Play(SoakOptions const& options) {
    const SoakReport report = RunSoak(options);
    std::cout << ReportLine(report) << std::endl;
    EXPECT_TRUE(report.ok()) << report.failure_text();
    EXPECT_EQ(report.rounds + report.rounds_given_up, options.rounds);
    EXPECT_GT(report.cpu_turns, 0);
}

// Two seeds of two rounds; the sizes of the matches differ by seed.
void PlayLevel(int level) {
    if (kSanitized) {
        if (level != 1) GTEST_SKIP() << "one round under the sanitizers";
        SoakOptions one;
        one.cpu_level = level;
        one.teams = 3;
        one.seed = 7;
        Play(one);
        return;
    }
    // One environment per process: the second seed is played by a child.
    const char* child = std::getenv("QV_SOAK_SECOND_SEED");
    SoakOptions options;
    options.cpu_level = level;
    options.rounds = 2;
    if (child) {
        options.seed = 20 + level;
        options.teams = 2 + (level + 1) % 3;  // 4, 2, 3 teams
        options.members = 2;
        Play(options);
        return;
    }
    options.seed = 10 + level;
    options.teams = 2 + level % 3;  // 2, 3, 4 teams
    options.members = 3 - level % 2;
    vo_test::GameProcess::Launch launch;
    launch.program = "/proc/self/exe";
    launch.args = {"--gtest_filter=" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()) +
                   "." + ::testing::UnitTest::GetInstance()->current_test_info()->name()};
    launch.working_directory = ".";
    launch.environment = {{"QV_SOAK_SECOND_SEED", "1"}};
    vo_test::GameProcess second(launch);
    Play(options);
    EXPECT_EQ(second.wait_for_exit(600.0), 0) << second.output();
    for (std::string const& line : vo_test::SplitLines(second.output()))
        if (line.rfind("SOAK_REPORT", 0) == 0) std::cout << line << std::endl;
}

TEST(Soak, EasyComputerTeams) { PlayLevel(0); }
TEST(Soak, NormalComputerTeams) { PlayLevel(1); }
TEST(Soak, HardComputerTeams) { PlayLevel(2); }

// The report line of a child run with these options.
std::string RunChild(std::string const& options) {
    vo_test::GameProcess::Launch launch;
    launch.program = "/proc/self/exe";
    launch.args = {"--gtest_filter=Soak.Configured"};
    launch.working_directory = ".";
    launch.environment = {{"QV_SOAK", options}};
    vo_test::GameProcess child(launch);
    const int status = child.wait_for_exit(1800.0);
    EXPECT_EQ(status, 0) << child.output();
    for (std::string const& line : vo_test::SplitLines(child.output()))
        if (line.rfind("SOAK_REPORT", 0) == 0) return line;
    ADD_FAILURE() << "no report from " << options << ":\n" << child.output();
    return std::string();
}

std::string Field(std::string const& line, std::string const& key) {
    const auto at = line.find(" " + key + "=");
    if (at == std::string::npos) return std::string();
    const auto start = at + key.size() + 2;
    return line.substr(start, line.find(' ', start) - start);
}

TEST(Soak, OneSeedPlaysTheSameInTwoProcesses) {
    if (kSanitized) GTEST_SKIP() << "played once under the sanitizers is enough";
    const std::string options = "teams=3 members=2 level=1 seed=5 rounds=1";
    const std::string first = RunChild(options);
    const std::string second = RunChild(options);
    ASSERT_FALSE(Field(first, "trace").empty());
    EXPECT_EQ(Field(first, "trace"), Field(second, "trace"));
    EXPECT_EQ(Field(first, "steps"), Field(second, "steps"));
    std::cout << first << "\n" << second << std::endl;
}

TEST(Soak, Configured) {
    const char* text = std::getenv("QV_SOAK");
    if (!text) GTEST_SKIP() << "QV_SOAK not set";
    const SoakOptions options = ParseOptions(text);
    // QV_SOAK_TRACE=1 prints the trace too.
    const SoakReport report = RunSoak(options, std::getenv("QV_SOAK_TRACE") ? &std::cout : nullptr);
    std::cout << ReportLine(report) << std::endl;
    EXPECT_TRUE(report.ok()) << report.failure_text();
}

}  // namespace
