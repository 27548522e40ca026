// Matches between computer teams, several rounds each, with the match's
// health checked all along (see soak_runner.h).
//
// CI plays the shipped game, two seeds of two rounds at each difficulty, and
// checks that one seed of the soak's own data plays the same in two
// processes. Under the sanitizers one round is played. "Soak.Configured"
// plays whatever QV_SOAK asks for (the long run and the tables of the
// developer notes); without it, it is skipped.

#include "soak_runner.h"

#include "support/engine/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
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
// maxcpu, roundtime, maxround (simulated seconds before a round is given up),
// decide (simulated seconds within which a round counts as decided), clusters (0/1), items (0/1: shipped or every turn),
// jump (speed), shipped (0/1: the shipped data as it is).
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
        if (key == "maxround") options.max_round_seconds = std::stod(value);
        if (key == "decide") options.decision_seconds = std::stod(value);
        if (key == "clusters") options.clusters_first = value == "1";
        if (key == "jump") options.jump_velocity = std::stod(value);
        if (key == "items") options.many_items = value == "1";
        if (key == "shipped") options.shipped_data = value == "1";
    }
    return options;
}

std::string ReportLine(SoakReport const& r) {
    int won = 0;
    for (int w : r.winners) won += w == 0;
    std::ostringstream line;
    line << "SOAK_REPORT rounds=" << r.rounds << " given_up=" << r.rounds_given_up << " won_by_team0=" << won
         << " cpu_turns=" << r.cpu_turns << " throws=" << r.throws << " hits=" << r.hits
         << " enemy_damage=" << r.enemy_damage << " own_damage=" << r.own_damage << " carves=" << r.carves
         << " lava_lost=" << r.lava_lost << " steps=" << r.steps
         << " sim_s=" << std::fixed << std::setprecision(1) << r.simulated_seconds << " wall_s=" << r.wall_seconds
         << " speed=" << (r.wall_seconds > 0 ? r.simulated_seconds / r.wall_seconds : 0.0)
         << std::setprecision(3) << " own_damage_share=" << r.own_damage_share()
         << " own_kill_share=" << r.own_kill_share() << " decided=" << r.decided << "/"
         << r.rounds + r.rounds_given_up << std::setprecision(1) << " median_round_s=" << r.median_round_seconds()
         << " enemy_kills=" << r.enemy_kills << " own_kills=" << r.own_kills << " lava_kills=" << r.lava_kills
         << " fall_kills=" << r.fall_kills << std::hex << " trace=" << r.trace_hash;
    return line.str();
}

void Play(SoakOptions const& options) {
    const SoakReport report = RunSoak(options);
    std::cout << ReportLine(report) << std::endl;
    EXPECT_TRUE(report.ok()) << report.failure_text();
    EXPECT_EQ(report.rounds + report.rounds_given_up, options.rounds);
    EXPECT_GT(report.cpu_turns, 0);
}

// The report line's field, or "" when it has none.
std::string Field(std::string const& line, std::string const& key) {
    const auto at = line.find(" " + key + "=");
    if (at == std::string::npos) return std::string();
    const auto start = at + key.size() + 2;
    return line.substr(start, line.find(' ', start) - start);
}

// The shipped game played by computer teams: two seeds of two rounds at each
// difficulty (the sizes of the matches differ by seed), each seed in a
// process of its own (one environment per process), all at once. Every
// match stays sound, and over all of them the computer teams do at most a
// quarter of their damage to their own side (they do 15 % on these seeds;
// teams that destroyed themselves did two thirds). Under the sanitizers one
// round of the soak's own data (cluster bombs first, items every turn, more
// mines and lava) is played instead.
TEST(Soak, ComputerTeamsAtEveryDifficulty) {
    if (kSanitized) {
        SoakOptions one;
        one.teams = 3;
        one.seed = 7;
        one.max_round_seconds = 300.0;
        Play(one);
        return;
    }
    std::vector<std::string> set_ups;
    for (int level = 0; level < 3; ++level) {
        std::ostringstream first;
        first << "shipped=1 rounds=2 level=" << level << " seed=" << 10 + level << " teams=" << 2 + level % 3
              << " members=" << 3 - level % 2;  // 2, 3, 4 teams
        set_ups.push_back(first.str());
        std::ostringstream second;
        second << "shipped=1 rounds=2 level=" << level << " seed=" << 20 + level << " teams=" << 2 + (level + 1) % 3
               << " members=2";  // 3, 4, 2 teams
        set_ups.push_back(second.str());
    }
    std::vector<std::unique_ptr<vo_test::ChildProcess>> children;
    for (std::string const& set_up : set_ups) {
        vo_test::ChildProcess::Launch launch;
        launch.program = "/proc/self/exe";
        launch.args = {"--gtest_filter=Soak.Configured"};
        launch.working_directory = ".";
        launch.environment = {{"QV_SOAK", set_up}};
        children.emplace_back(new vo_test::ChildProcess(launch));
    }
    // Read all of them as they go, so that none waits on a full pipe.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
    for (bool any = true; any && std::chrono::steady_clock::now() < deadline;) {
        any = false;
        for (auto& child : children) {
            child->output();
            any = any || child->running();
        }
        if (any) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    long own = 0;
    long enemy = 0;
    for (std::size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE(set_ups[i]);
        vo_test::ChildProcess& child = *children[i];
        EXPECT_EQ(child.wait_for_exit(1.0), 0) << child.output();
        std::string line;
        for (std::string const& l : vo_test::SplitLines(child.output()))
            if (l.rfind("SOAK_REPORT", 0) == 0) line = l;
        ASSERT_FALSE(line.empty()) << child.output();
        std::cout << set_ups[i] << ": " << line << std::endl;
        EXPECT_EQ(std::stoi(Field(line, "rounds")) + std::stoi(Field(line, "given_up")), 2);
        EXPECT_GT(std::stoi(Field(line, "cpu_turns")), 0);
        own += std::stol(Field(line, "own_damage"));
        enemy += std::stol(Field(line, "enemy_damage"));
    }
    ASSERT_GT(own + enemy, 0);
    const double share = static_cast<double>(own) / static_cast<double>(own + enemy);
    std::cout << "own damage share over all: " << share << std::endl;
    EXPECT_LE(share, 0.25);
}

// The report line of a child run with these options.
std::string RunChild(std::string const& options) {
    vo_test::ChildProcess::Launch launch;
    launch.program = "/proc/self/exe";
    launch.args = {"--gtest_filter=Soak.Configured"};
    launch.working_directory = ".";
    launch.environment = {{"QV_SOAK", options}};
    vo_test::ChildProcess child(launch);
    const int status = child.wait_for_exit(1800.0);
    EXPECT_EQ(status, 0) << child.output();
    for (std::string const& line : vo_test::SplitLines(child.output()))
        if (line.rfind("SOAK_REPORT", 0) == 0) return line;
    ADD_FAILURE() << "no report from " << options << ":\n" << child.output();
    return std::string();
}

TEST(Soak, OneSeedPlaysTheSameInTwoProcesses) {
    if (kSanitized) GTEST_SKIP() << "played once under the sanitizers is enough";
    // The soak's own data (cluster bombs first, items every turn, more mines
    // and lava), the round given up after ten simulated minutes.
    const std::string options = "teams=3 members=2 level=1 seed=5 rounds=1 maxround=600";
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
