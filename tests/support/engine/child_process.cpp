#include "support/engine/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace vo_test {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> MergedEnvironment(std::vector<std::pair<std::string, std::string>> const& changes) {
    std::map<std::string, std::string> values;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string::size_type eq = entry.find('=');
        if (eq != std::string::npos) values[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    for (auto const& change : changes) {
        if (change.second.empty()) {
            values.erase(change.first);
        } else {
            values[change.first] = change.second;
        }
    }
    std::vector<std::string> merged;
    for (auto const& value : values) merged.push_back(value.first + "=" + value.second);
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
    std::vector<char*> pointers;
    for (auto& word : words) pointers.push_back(&word[0]);
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ChildProcess::ChildProcess(Launch const& launch) {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("no pipe");
    int err[2] = {-1, -1};
    if (launch.collect_error_output && pipe(err) != 0) throw std::runtime_error("no pipe");
    std::string terminal_name;
    int in[2] = {-1, -1};
    if (launch.input == Input::pipe) {
        if (pipe(in) != 0) throw std::runtime_error("no pipe");
        input_fd_ = in[1];
    } else {
        input_fd_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (input_fd_ < 0 || grantpt(input_fd_) != 0 || unlockpt(input_fd_) != 0)
            throw std::runtime_error("no pseudo terminal");
        terminal_name = ptsname(input_fd_);
    }
    fcntl(input_fd_, F_SETFD, FD_CLOEXEC);
    fcntl(out[0], F_SETFD, FD_CLOEXEC);
    if (err[0] >= 0) fcntl(err[0], F_SETFD, FD_CLOEXEC);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (launch.input == Input::pipe) {
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_addclose(&actions, in[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, terminal_name.c_str(), O_RDWR, 0);
    }
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    if (err[1] >= 0) {
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, err[1]);
    }
    if (!launch.working_directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, launch.working_directory.c_str());

    std::vector<std::string> argv_words = {launch.program};
    argv_words.insert(argv_words.end(), launch.args.begin(), launch.args.end());
    std::vector<std::string> env_words = MergedEnvironment(launch.environment);
    std::vector<char*> argv = Pointers(argv_words);
    std::vector<char*> envp = Pointers(env_words);
    const int spawned = posix_spawn(&pid_, launch.program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (err[1] >= 0) close(err[1]);
    if (in[0] >= 0) close(in[0]);
    output_fd_ = out[0];
    error_fd_ = err[0];
    fcntl(output_fd_, F_SETFL, O_NONBLOCK);
    if (error_fd_ >= 0) fcntl(error_fd_, F_SETFL, O_NONBLOCK);
    if (spawned != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start " + launch.program + ": " + std::strerror(spawned));
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !exited_) {
        kill(pid_, SIGKILL);
        reap(true);
    }
    if (output_fd_ >= 0) close(output_fd_);
    if (error_fd_ >= 0) close(error_fd_);
    if (input_fd_ >= 0) close(input_fd_);
}

void ChildProcess::collect(int wait_ms) {
    pollfd p[2] = {{output_fd_, POLLIN, 0}, {error_fd_, POLLIN, 0}};
    if (poll(p, error_fd_ >= 0 ? 2 : 1, wait_ms) <= 0) return;
    char buffer[4096];
    ssize_t n;
    while ((n = read(output_fd_, buffer, sizeof(buffer))) > 0) output_.append(buffer, static_cast<std::size_t>(n));
    while (error_fd_ >= 0 && (n = read(error_fd_, buffer, sizeof(buffer))) > 0)
        error_output_.append(buffer, static_cast<std::size_t>(n));
}

void ChildProcess::reap(bool block) {
    if (exited_ || pid_ <= 0) return;
    int status = 0;
    const pid_t r = waitpid(pid_, &status, block ? 0 : WNOHANG);
    if (r == pid_) {
        exited_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
}

bool ChildProcess::running() {
    reap(false);
    return !exited_;
}

bool ChildProcess::wait_for_output(std::string const& text, double seconds) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        collect(10);
        if (output_.find(text) != std::string::npos) return true;
        if (!running()) {
            collect(0);
            return output_.find(text) != std::string::npos;
        }
        if (Clock::now() >= deadline) return false;
    }
}

int ChildProcess::wait_for_exit(double seconds) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (running()) {
        collect(10);
        if (Clock::now() >= deadline) return -1;
    }
    collect(0);
    return status_;
}

std::string const& ChildProcess::output() {
    collect(0);
    return output_;
}

std::string const& ChildProcess::error_output() {
    collect(0);
    return error_output_;
}

void ChildProcess::send_input(std::string const& text) {
    if (write(input_fd_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("cannot write to the program's input");
}

std::vector<std::string> SplitLines(std::string const& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> LinesAmong(std::string const& text, std::vector<std::string> const& expected) {
    std::vector<std::string> found;
    for (std::string const& line : SplitLines(text)) {
        for (std::string const& e : expected) {
            if (line == e) found.push_back(line);
        }
    }
    return found;
}

}  // namespace vo_test
