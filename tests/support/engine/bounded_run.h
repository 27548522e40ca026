#pragma once

// Running a piece of work in a child process of its own, to measure what it
// costs (wall time, growth of the peak resident memory) and to survive it
// when it hangs or crashes.

#include <functional>
#include <string>

namespace vo_test {

struct BoundedRun {
    // The text the work returned, or how it ended: "timed out", "killed by
    // signal N", "exit N".
    std::string outcome;
    double seconds = 0.0;      // wall time
    double cpu_seconds = 0.0;  // user and system time of the child
    // Growth of the child's peak resident set while the work ran.
    long peak_kib = 0;
};

// Runs work in a forked child. An exception the work lets out becomes
// "Error: <message>" (vo::Error) or "exception: <what>". The child is killed
// after timeout_seconds.
BoundedRun RunBounded(std::function<std::string()> const& work, double timeout_seconds = 30.0);

// What a refused or well-read hostile file may cost at most, under the
// sanitizers too: processor time and peak memory. The wall time depends on
// what else the machine runs; it only has to stay far from a hang.
constexpr double kQuickSeconds = 1.0;
constexpr long kSmallPeakKib = 64 * 1024;
constexpr double kNoHangSeconds = 10.0;

// Runs work as RunBounded does, prints its figures to the test log and
// expects the outcome within kQuickSeconds of processor time, kSmallPeakKib
// and kNoHangSeconds.
BoundedRun ExpectQuickAndSmall(std::string const& label, std::function<std::string()> const& work,
                               std::string const& expected_outcome);

// One line for the test log:
// "<label>: <cpu> s cpu, <wall> s wall, <peak> KiB: <outcome>".
std::string Describe(std::string const& label, BoundedRun const& run);

// Files for hostile cases, made by code: nothing large is kept in the
// repository. NestedInfoText gives levels groups inside one another ("a {"
// per level, then the closing braces: 4 bytes a level); ContinuedInfoText a value continued
// with a trailing backslash over that many lines of 45 bytes each.
std::string NestedInfoText(int levels);
std::string ContinuedInfoText(int lines);
bool WriteTextFile(std::string const& path, std::string const& text);
// A file of size NUL bytes that takes no room on the disk.
bool WriteSparseFile(std::string const& path, long long size);

}  // namespace vo_test
