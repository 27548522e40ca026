#include "support/engine/x_display.h"

#include <X11/Xlib.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace vo_test {

namespace {

// Kept open for the life of the process: the server runs with -terminate and
// ends when its last client goes, which is this one at exit.
Display* g_connection = nullptr;

// Runs a program and waits for it; true when it exited with status 0.
// `error_text` receives what it wrote to its standard error.
bool SpawnAndWait(std::vector<std::string> const& args, std::string* error_text) {
    std::vector<char*> argv;
    for (auto const& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return false;
    }
    char buffer[256];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof(buffer))) > 0) {
        if (error_text) error_text->append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string StartServer(int width, int height) {
    int fds[2];
    if (pipe(fds) != 0) return "";
    const std::string fd_text = std::to_string(fds[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    std::vector<std::string> args = {"Xvfb", "-displayfd", fd_text, "-screen", "0", screen,
                                     "-nolisten", "tcp", "-terminate"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return "";
    }

    // The server writes its display number once it accepts connections.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    while (poll(&p, 1, 5000) > 0) {
        char buffer[16];
        const ssize_t n = read(fds[0], buffer, sizeof(buffer));
        if (n <= 0) break;
        number.append(buffer, static_cast<std::size_t>(n));
        if (number.find('\n') != std::string::npos) break;
    }
    close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) number.pop_back();
    if (number.empty()) return "";
    return ":" + number;
}

}  // namespace

std::string UsePrivateXServer(int width, int height) {
    static const std::string display = [&] {
        std::string name = StartServer(width, height);
        if (name.empty()) return name;
        setenv("DISPLAY", name.c_str(), 1);
        for (int attempt = 0; attempt < 10 && !g_connection; ++attempt) {
            g_connection = XOpenDisplay(name.c_str());
            if (!g_connection) usleep(20000);
        }
        return g_connection ? name : std::string();
    }();
    return display;
}

bool RunXdotool(std::vector<std::string> const& args) {
    std::vector<std::string> command = {"xdotool"};
    command.insert(command.end(), args.begin(), args.end());
    // A connection made right after another one closed is now and then
    // refused by a busy X server; the command then did nothing and can be
    // run again.
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::string errors;
        if (SpawnAndWait(command, &errors)) return true;
        if (errors.find("Can't open display") == std::string::npos) {
            std::fputs(errors.c_str(), stderr);
            return false;
        }
        usleep(20000);
    }
    return false;
}

bool SendCloseRequest(unsigned long window) {
    Display* display = g_connection ? g_connection : XOpenDisplay(nullptr);
    if (!display) return false;
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    if (display != g_connection) XCloseDisplay(display);
    return sent != 0;
}

}  // namespace vo_test

