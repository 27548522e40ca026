#include "support/engine/bounded_run.h"

#include "engine/core/error.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vo_test {

namespace {

long PeakKib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void WriteAll(int fd, std::string const& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

[[noreturn]] void RunChild(int fd, std::function<std::string()> const& work) {
    const long before = PeakKib();
    const double cpu_before = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::string outcome;
    try {
        outcome = work();
    } catch (vo::Error const& e) {
        outcome = std::string("Error: ") + e.message();
    } catch (std::exception const& e) {
        outcome = std::string("exception: ") + e.what();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpu_before;
    const long grown = PeakKib() - before;
    std::ostringstream report;
    report << seconds << ' ' << cpu << ' ' << grown << ' ' << outcome;
    WriteAll(fd, report.str());
    std::fflush(stdout);
    // No exit handlers: the parent's test framework and leak checker belong
    // to the parent.
    ::_exit(0);
}

}  // namespace

BoundedRun RunBounded(std::function<std::string()> const& work, double timeout_seconds) {
    BoundedRun run;
    int fds[2];
    if (::pipe(fds) != 0) {
        run.outcome = "no pipe";
        return run;
    }
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        run.outcome = "no fork";
        return run;
    }
    if (child == 0) {
        ::close(fds[0]);
        RunChild(fds[1], work);
    }
    ::close(fds[1]);

    std::string report;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
    bool timed_out = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timed_out = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) continue;
        char buffer[4096];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (timed_out) ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timed_out) {
        run.outcome = "timed out";
    } else if (WIFSIGNALED(status)) {
        run.outcome = "killed by signal " + std::to_string(WTERMSIG(status));
    } else if (report.empty()) {
        run.outcome = "exit " + std::to_string(WEXITSTATUS(status));
    } else {
        std::istringstream in(report);
        in >> run.seconds >> run.cpu_seconds >> run.peak_kib;
        in.get();
        std::getline(in, run.outcome, '\0');
    }
    return run;
}

std::string Describe(std::string const& label, BoundedRun const& run) {
    std::ostringstream line;
    line.setf(std::ios::fixed);
    line.precision(3);
    line << label << ": " << run.cpu_seconds << " s cpu, " << run.seconds << " s wall, " << run.peak_kib
         << " KiB: " << run.outcome;
    return line.str();
}

BoundedRun ExpectQuickAndSmall(std::string const& label, std::function<std::string()> const& work,
                               std::string const& expected_outcome) {
    const BoundedRun run = RunBounded(work);
    const std::string line = Describe(label, run);
    std::cout << "[ figures  ] " << line << std::endl;
    EXPECT_EQ(expected_outcome, run.outcome) << label;
    EXPECT_LT(run.cpu_seconds, kQuickSeconds) << line;
    EXPECT_LT(run.seconds, kNoHangSeconds) << line;
    EXPECT_LT(run.peak_kib, kSmallPeakKib) << line;
    return run;
}

std::string NestedInfoText(int levels) {
    std::string text;
    text.reserve(static_cast<std::size_t>(levels) * 4);
    for (int i = 0; i < levels; ++i) text += "a {";
    text.append(static_cast<std::size_t>(levels), '}');
    return text;
}

std::string ContinuedInfoText(int lines) {
    const std::string piece = "\"" + std::string(40, 'x') + "\" \\\n";
    std::string text = "key " + piece;
    text.reserve(static_cast<std::size_t>(lines) * piece.size() + 8);
    for (int i = 1; i < lines; ++i) text += piece;
    text += "\"end\"\n";
    return text;
}

bool WriteTextFile(std::string const& path, std::string const& text) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return !out.fail();
}

bool WriteSparseFile(std::string const& path, long long size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool sized = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    return ::close(fd) == 0 && sized;
}

}  // namespace vo_test
