#pragma once

// A program run in a child process as a user runs it: the real game for
// black-box tests, or a test program run again on its own. Its own working
// directory and environment, its standard output collected (and its standard
// error apart when asked), its standard input a pipe that stays open or a
// terminal.

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace vo_test {

class ChildProcess {
public:
    enum class Input {
        pipe,     // an open pipe nobody writes to (a launcher, a script)
        terminal  // a pseudo terminal (a console window)
    };

    struct Launch {
        std::string program;
        std::vector<std::string> args;
        std::string working_directory;
        // Set (or, with an empty value, removed) on top of this process's
        // environment.
        std::vector<std::pair<std::string, std::string>> environment;
        Input input = Input::pipe;
        // Standard error collected into error_output(); otherwise it goes
        // where this process's goes.
        bool collect_error_output = false;
    };

    explicit ChildProcess(Launch const& launch);
    // A process still running is killed.
    ~ChildProcess();
    ChildProcess(ChildProcess const&) = delete;
    ChildProcess& operator=(ChildProcess const&) = delete;

    // Waits until the output holds text; false when the process ended or
    // the time ran out first.
    bool wait_for_output(std::string const& text, double seconds);
    // Waits for the end; the exit status, or -1 when the time ran out (the
    // process keeps running) and 128 + the signal when a signal ended it.
    int wait_for_exit(double seconds);
    bool running();
    // Everything written to standard output so far.
    std::string const& output();
    // Everything written to standard error so far, when collected.
    std::string const& error_output();
    // Writes to the standard input (pipe or terminal).
    void send_input(std::string const& text);
    pid_t pid() const { return pid_; }

private:
    // Moves what the program wrote into output_ and error_output_, waiting
    // at most the given milliseconds for something to arrive.
    void collect(int wait_ms);
    void reap(bool block);

    pid_t pid_ = -1;
    int output_fd_ = -1;
    int error_fd_ = -1;
    int input_fd_ = -1;
    bool exited_ = false;
    int status_ = 0;
    std::string output_;
    std::string error_output_;
};

// The lines of text in order.
std::vector<std::string> SplitLines(std::string const& text);
// The lines of text that equal one of expected, in their order: the
// progress lines of a program among whatever else it prints.
std::vector<std::string> LinesAmong(std::string const& text, std::vector<std::string> const& expected);

}  // namespace vo_test
