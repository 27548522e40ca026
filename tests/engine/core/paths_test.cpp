#include "engine/core/command_line.h"
#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/core/platform.h"
#include "engine/core/table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using vo::PathProvider;

// A fresh folder under the system's temporary folder, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "vo-paths-XXXXXX").string();
        char const* made = mkdtemp(pattern.data());
        EXPECT_NE(made, nullptr);
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string path(std::string const& name = "") const { return name.empty() ? path_ : path_ + "/" + name; }

private:
    std::string path_;
};

// Sets environment variables for its lifetime and restores them afterwards.
class EnvironmentGuard {
public:
    ~EnvironmentGuard() {
        for (auto const& [name, old] : saved_) {
            if (old.first) {
                setenv(name.c_str(), old.second.c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    void set(std::string const& name, char const* value) {
        if (!saved_.count(name)) {
            char const* old = std::getenv(name.c_str());
            saved_[name] = {old != nullptr, old ? old : ""};
        }
        if (value) {
            setenv(name.c_str(), value, 1);
        } else {
            unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::pair<bool, std::string>> saved_;
};

void WriteFile(std::string const& path, std::string const& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string ReadFile(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// ------------------------------------------------------------ PathProvider

int UnusedPathId() {
    int id = 5000;
    while (PathProvider::has_path(id)) ++id;
    return id;
}

TEST(PathProvider, GetPathOfAnUnknownIdRegistersIt) {
    int const id = UnusedPathId();
    EXPECT_EQ(PathProvider::get_path(id), "");
    EXPECT_TRUE(PathProvider::has_path(id));
    PathProvider::set_path(id, "data/fonts/");
    PathProvider::set_path(id, "data/textures/");
    EXPECT_EQ(PathProvider::get_path(id), "data/textures/");
}

TEST(PathProvider, CurrentPathStack) {
    int const id = UnusedPathId();
    PathProvider::set_path(id, "config/");
    ASSERT_FALSE(PathProvider::has_current_path());
    EXPECT_EQ(PathProvider::get_current_path(id), "config/");
    PathProvider::push_current_path("a/");
    PathProvider::push_current_path("b/");
    EXPECT_EQ(PathProvider::get_current_path(id), "b/");
    PathProvider::pop_current_path();
    EXPECT_EQ(PathProvider::get_current_path(id), "a/");
    PathProvider::pop_current_path();
    EXPECT_FALSE(PathProvider::has_current_path());
    EXPECT_EQ(PathProvider::get_current_path(id), "config/");
    // Popping an empty stack does nothing.
    PathProvider::pop_current_path();
    EXPECT_FALSE(PathProvider::has_current_path());
    EXPECT_EQ(PathProvider::get_current_path(id), "config/");
}

// ------------------------------------------------------------ parameters

TEST(CommandLine, ParameterFunctions) {
    struct Case {
        std::vector<char const*> argv;
        int expected_int;     // ParamToInt("-n", ..., -1)
        bool found_value;     // ParamToInt(out, "-n", ...)
        double expected_double;
    };
    Case const cases[] = {
        {{"prog", "-n", "1"}, 1, true, 1.0},
        {{"prog", "-n"}, -1, false, -1.0},  // the name is the last argument
        {{"prog"}, -1, false, -1.0},
        {{"prog", "-n", "x1"}, 0, true, 0.0},
        {{"prog", "-n", "12abc"}, 12, true, 12.0},
        {{"prog", "-n", " -7"}, -7, true, -7.0},
        {{"prog", "-n", "-"}, 0, true, 0.0},
        {{"prog", "-n", ""}, 0, true, 0.0},
        {{"prog", "-n", "0x10"}, 0, true, 16.0},  // strtod reads hexadecimal
        {{"prog", "-n", "99999999999"}, INT_MAX, true, 99999999999.0},
        {{"prog", "-n", "-99999999999999999999999"}, INT_MIN, true, -99999999999999999999999.0},
        {{"prog", "-n", "2.5"}, 2, true, 2.5},
        {{"prog", "-n", "-m", "3"}, 0, true, 0.0},  // a following name is the value
        {{"prog", "-N", "3"}, -1, false, -1.0},     // case-sensitive
        {{"prog", "-n", "4", "-n", "5"}, 4, true, 4.0},
    };
    for (Case const& c : cases) {
        int const argc = static_cast<int>(c.argv.size());
        char const* const* argv = c.argv.data();
        SCOPED_TRACE(argc > 2 ? c.argv[2] : "(none)");
        EXPECT_EQ(vo::ParamToInt("-n", argc, argv, -1), c.expected_int);
        int out = 42;
        EXPECT_EQ(vo::ParamToInt(out, "-n", argc, argv), c.found_value);
        EXPECT_EQ(out, c.found_value ? c.expected_int : 42);
        EXPECT_DOUBLE_EQ(vo::ParamToDouble("-n", argc, argv, -1.0), c.expected_double);
        double d = 42.0;
        EXPECT_EQ(vo::ParamToDouble(d, "-n", argc, argv), c.found_value);
        char const* text = nullptr;
        EXPECT_EQ(vo::ParamToString(&text, "-n", argc, argv), c.found_value);
        if (c.found_value) {
            EXPECT_EQ(text, argv[vo::GetParamIndex("-n", argc, argv) + 1]);
        }
    }
    EXPECT_TRUE(std::isinf(vo::ParamToDouble("-n", 3, std::vector<char const*>{"p", "-n", "1e400"}.data(), 0.0)));
}

TEST(CommandLine, IndexAndFind) {
    char const* argv[] = {"-drawDebugScreen", "-x", "1"};
    EXPECT_EQ(vo::GetParamIndex("-drawDebugScreen", 3, argv), 0);  // argv[0] counts
    EXPECT_EQ(vo::GetParamIndex("-x", 3, argv), 1);
    EXPECT_EQ(vo::GetParamIndex("-y", 3, argv), -1);
    EXPECT_EQ(vo::GetParamIndex("-x", 0, argv), -1);
    EXPECT_TRUE(vo::FindParam("-x", 3, argv));
    EXPECT_FALSE(vo::FindParam("x", 3, argv));
    char* mutable_argv[] = {const_cast<char*>("prog"), const_cast<char*>("-drawDebugScreen"), const_cast<char*>("1")};
    EXPECT_EQ(vo::ParamToInt("-drawDebugScreen", 3, mutable_argv, -1), 1);
}

TEST(Table, EntryToString) {
    vo::Table<std::string> strings;
    strings.entry(1, 2) = "cell";
    EXPECT_EQ(vo::EntryToString(strings, 1, 2), "cell");
    EXPECT_EQ(vo::EntryToString(strings, 0, 0), "");
    EXPECT_EQ(vo::EntryToString(strings, 7, 7), "");
    vo::Table<std::stringstream> streams;
    streams.entry(0, 0) << "a" << 1 << ' ' << 2.5;
    EXPECT_EQ(vo::EntryToString(streams, 0, 0), "a1 2.5");
}

// ------------------------------------------------------------ files

TEST(Files, CreatePathMakesTheLastComponentOnly) {
    TempFolder tmp;
    vo::CreatePath(tmp.path("a"));
    EXPECT_TRUE(fs::is_directory(tmp.path("a")));
    vo::CreatePath(tmp.path("a"));  // exists already: no complaint
    vo::CreatePath(tmp.path("b/c"));
    EXPECT_FALSE(fs::exists(tmp.path("b")));
    EXPECT_FALSE(vo::FileExists(tmp.path("b/c")));
}

TEST(Files, DuplicateFileOverwrites) {
    TempFolder tmp;
    WriteFile(tmp.path("from.txt"), "new text");
    WriteFile(tmp.path("to.txt"), "old text that is longer");
    EXPECT_TRUE(vo::DuplicateFile(tmp.path("from.txt"), tmp.path("to.txt")));
    EXPECT_EQ(ReadFile(tmp.path("to.txt")), "new text");
    EXPECT_TRUE(vo::DuplicateFile(tmp.path("from.txt"), tmp.path("copy.txt")));
    EXPECT_EQ(ReadFile(tmp.path("copy.txt")), "new text");
    EXPECT_FALSE(vo::DuplicateFile(tmp.path("missing.txt"), tmp.path("x.txt")));
    EXPECT_FALSE(vo::DuplicateFile(tmp.path("from.txt"), tmp.path("no/such/folder.txt")));
}

TEST(Files, FileExistsFindsFilesFoldersAndWildcardMatches) {
    TempFolder tmp;
    WriteFile(tmp.path("options.info"), "x");
    fs::create_directory(tmp.path("saves"));
    EXPECT_TRUE(vo::FileExists(tmp.path("options.info")));
    EXPECT_TRUE(vo::FileExists(tmp.path("saves")));
    EXPECT_FALSE(vo::FileExists(tmp.path("nothing.info")));
    EXPECT_FALSE(vo::FileExists(""));
    EXPECT_TRUE(vo::FileExists(tmp.path("*.info")));
    EXPECT_TRUE(vo::FileExists(tmp.path("opt?ons.info")));
    EXPECT_FALSE(vo::FileExists(tmp.path("*.png")));
}

// ------------------------------------------------------------ user folder

TEST(UserPath, TakesAbsoluteXdgConfigHomeAndMakesIt) {
    TempFolder tmp;
    EnvironmentGuard env;
    env.set("XDG_CONFIG_HOME", (tmp.path("xdg//config") + "/").c_str());
    env.set("HOME", tmp.path("home").c_str());
    std::string const path = vo::GetUserPath();
    EXPECT_EQ(path, tmp.path("xdg/config"));
    EXPECT_TRUE(fs::is_directory(path));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_FALSE(fs::exists(tmp.path("home")));
}

TEST(UserPath, FallsBackToHomeConfig) {
    TempFolder tmp;
    EnvironmentGuard env;
    fs::create_directory(tmp.path("home"));
    env.set("HOME", (tmp.path("home") + "/").c_str());
    for (char const* xdg : {static_cast<char const*>(nullptr), "", "relative/config"}) {
        env.set("XDG_CONFIG_HOME", xdg);
        std::string const path = vo::GetUserPath();
        EXPECT_EQ(path, tmp.path("home/.config"));
        EXPECT_TRUE(fs::is_directory(path));
        EXPECT_NE(path.back(), '/');
    }
}

TEST(UserPath, EmptyWhenTheFolderCannotBeMade) {
    TempFolder tmp;
    EnvironmentGuard env;
    WriteFile(tmp.path("file"), "x");
    env.set("XDG_CONFIG_HOME", tmp.path("file/config").c_str());
    EXPECT_EQ(vo::GetUserPath(), "");
}

// ------------------------------------------------------------ OpenURL

// An xdg-open of our own, first on PATH, that records its arguments.
class FakeOpener {
public:
    explicit FakeOpener(int exit_code) {
        std::string const script = tmp_.path("xdg-open");
        WriteFile(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + tmp_.path("args") +
                              "'\nexit " + std::to_string(exit_code) + "\n");
        fs::permissions(script, fs::perms::owner_all);
        char const* path = std::getenv("PATH");
        env_.set("PATH", (tmp_.path() + (path ? std::string(":") + path : std::string())).c_str());
    }
    std::string args() const { return ReadFile(tmp_.path("args")); }
    std::string folder() const { return tmp_.path(); }
    EnvironmentGuard& env() { return env_; }

private:
    TempFolder tmp_;
    EnvironmentGuard env_;
};

std::string OpenUrlError(std::string const& url) {
    try {
        vo::OpenURL(url);
    } catch (vo::Error const& e) {
        return e.message();
    }
    return "(no error)";
}

TEST(OpenURL, RunsXdgOpenWithTheAddressAsOneArgument) {
    FakeOpener opener(0);
    std::string const url = "https://example.org/a b?x=1&y=$(touch pwned);'\"`id`";
    EXPECT_EQ(OpenUrlError(url), "(no error)");
    EXPECT_EQ(opener.args(), url + "\n");
    EXPECT_FALSE(fs::exists(opener.folder() + "/pwned"));
    EXPECT_FALSE(fs::exists("pwned"));
}

TEST(OpenURL, ThrowsWhenTheOpenerFails) {
    FakeOpener opener(4);
    EXPECT_EQ(OpenUrlError("https://example.org/"),
              "An error occurred in OpenURL with the following URL: https://example.org/");
    EXPECT_EQ(opener.args(), "https://example.org/\n");
}

TEST(OpenURL, ThrowsWhenThereIsNoOpener) {
    TempFolder empty;
    EnvironmentGuard env;
    env.set("PATH", empty.path().c_str());
    EXPECT_EQ(OpenUrlError("https://example.org/x"),
              "An error occurred in OpenURL with the following URL: https://example.org/x");
}

}  // namespace
