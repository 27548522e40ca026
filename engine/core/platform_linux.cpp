// The Linux side of the file and desktop services.

#include "engine/core/platform.h"

#include <glob.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "engine/core/error.h"

extern char** environ;

namespace vo {

namespace fs = std::filesystem;

void CreatePath(std::string path) {
    std::error_code ec;
    fs::create_directory(path, ec);
}

bool DuplicateFile(std::string from, std::string to) {
    std::error_code ec;
    bool const copied = fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    return copied && !ec;
}

bool FileExists(std::string name) {
    if (name.empty()) return false;
    if (name.find_first_of("*?") != std::string::npos) {
        glob_t found{};
        int const result = glob(name.c_str(), GLOB_NOSORT, nullptr, &found);
        bool const any = result == 0 && found.gl_pathc > 0;
        globfree(&found);
        return any;
    }
    std::error_code ec;
    return fs::exists(name, ec);
}

namespace {

std::string HomeFolder() {
    char const* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 && result && result->pw_dir &&
        result->pw_dir[0] == '/')
        return result->pw_dir;
    return std::string();
}

// Drops trailing separators and repeated ones.
std::string TidyFolder(std::string const& path) {
    std::string out;
    for (char c : path) {
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out += c;
    }
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}

// mkdir -p with mode 0700 for the folders it makes.
bool MakeFolders(std::string const& path) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i != path.size() && path[i] != '/') continue;
        std::string const part = path.substr(0, i);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::string GetUserPath() {
    std::string folder;
    char const* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        folder = config;
    } else {
        std::string const home = HomeFolder();
        if (home.empty()) return std::string();
        folder = home + "/.config";
    }
    folder = TidyFolder(folder);
    if (folder == "/" || !MakeFolders(folder)) return std::string();
    return folder;
}

namespace {

// Openers that outlived the wait; reaped by later calls so that they do not
// stay behind as zombies.
std::vector<pid_t>& LingeringOpeners() {
    static std::vector<pid_t> pids;
    return pids;
}

void ReapLingeringOpeners() {
    std::vector<pid_t>& pids = LingeringOpeners();
    pids.erase(std::remove_if(pids.begin(), pids.end(),
                              [](pid_t pid) {
                                  int status = 0;
                                  pid_t const r = waitpid(pid, &status, WNOHANG);
                                  return r == pid || (r < 0 && errno == ECHILD);
                              }),
               pids.end());
}

[[noreturn]] void ThrowOpenUrlError(std::string const& url) {
    throw Error("An error occurred in OpenURL with the following URL: " + url);
}

}  // namespace

void OpenURL(std::string url) {
    ReapLingeringOpeners();

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // The opener (and the browser it may start) gets no descriptor of ours
    // but the standard three.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    char opener[] = "xdg-open";
    std::vector<char> address(url.begin(), url.end());
    address.push_back('\0');
    char* argv[] = {opener, address.data(), nullptr};

    pid_t pid = 0;
    int const spawned = posix_spawnp(&pid, opener, &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) ThrowOpenUrlError(url);

    // Desktop openers hand the address on and exit at once; wait a little
    // for their verdict, but never for a browser run in the foreground.
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        int status = 0;
        pid_t const r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
            ThrowOpenUrlError(url);
        }
        if (r < 0) {
            if (errno == EINTR) continue;
            return;  // reaped elsewhere (SIGCHLD ignored): no verdict to read
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            LingeringOpeners().push_back(pid);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace vo
