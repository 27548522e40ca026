// Damaged or hostile INFO files of the player and of the game: the player's
// own files are kept as .bad and the defaults taken, the game's are refused
// with an Error naming the file and the limit; all of it quickly and in
// little memory.

#include "character_files.h"
#include "engine/core/error.h"
#include "engine/core/platform.h"
#include "game/app/characters.h"
#include "game/app/debug_config.h"
#include "game/app/game_options.h"
#include "game/app/team_settings.h"
#include "game/app/user_file.h"
#include "support/engine/bounded_run.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace vo {
namespace {

// Standard output while it lives.
class CapturedOutput {
public:
    CapturedOutput() : saved_(std::cout.rdbuf(text_.rdbuf())) {}
    ~CapturedOutput() { std::cout.rdbuf(saved_); }
    std::string text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::streambuf* saved_;
};

long long SizeOf(std::string const& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// What became of the file: gone from its place, kept whole as .bad.
std::string Aftermath(std::string const& path, long long size) {
    return std::string(FileExists(path) ? "file still there" : "file gone") +
           (SizeOf(path + ".bad") == size ? ", kept whole as .bad" : ", no whole .bad");
}

struct Case {
    const char* label;
    std::string text;  // empty: a file of NUL bytes of the size below
    long long size;
    bool pipe;
    std::string reason;  // after "INFO file <path>"
};

std::vector<Case> Cases() {
    return {
        {"200,000 nested groups, 800 KB", vo_test::NestedInfoText(200000), 0, false,
         " nests groups deeper than the limit of 64 levels (line 1)"},
        {"a value continued over 20,000 lines, 900 KB", vo_test::ContinuedInfoText(20000), 0, false,
         " continues a value over more than the limit of 1000 lines (line 1001)"},
        {"a 2 MB file", "", 2 << 20, false, " is larger than the limit of 1048576 bytes"},
        {"a named pipe", "", 0, true, " is not a regular file"},
    };
}

// Writes the case's file at path; its size.
long long Make(Case const& c, std::string const& path) {
    ::unlink(path.c_str());
    ::unlink((path + ".bad").c_str());
    if (c.pipe) {
        EXPECT_EQ(0, ::mkfifo(path.c_str(), 0600));
        return 0;
    }
    if (c.text.empty()) {
        EXPECT_TRUE(vo_test::WriteSparseFile(path, c.size));
        return c.size;
    }
    EXPECT_TRUE(vo_test::WriteTextFile(path, c.text));
    return static_cast<long long>(c.text.size());
}

std::string Warnings(std::string const& path, std::string const& reason, std::string const& instead) {
    return "WARNING: couldn't read " + path + ": INFO file " + path + reason + "\nWARNING: kept the broken file as " +
           path + ".bad, using " + instead + "\n";
}

TEST(HostileUserFiles, TeamSettingsAreKeptAsBadAndTheDefaultTeamsUsed) {
    vo_test::CharacterFiles files;
    files.load_characters({"c0", "c1", "c2", "c3", "c4"});
    const std::string path = files.file("team_settings.info");
    for (Case const& c : Cases()) {
        const long long size = Make(c, path);
        vo_test::ExpectQuickAndSmall(
            std::string("team settings: ") + c.label,
            [&] {
                CapturedOutput out;
                std::string teams;
                for (TeamDesc const& team : ReadTeamDescs("team_settings.info")) {
                    teams += team.name + " (" + team.character.name + ") ";
                }
                return out.text() + teams + "; " + Aftermath(path, size);
            },
            Warnings(path, c.reason, "the default teams") +
                "Player 1 (c2) CPU 1 (c3) CPU 2 (c4) Player 4 (char_none) ; file gone, kept whole as .bad");
    }
}

// As start-up reads the options: through the user-file fallback.
TEST(HostileUserFiles, GameOptionsAreKeptAsBadAndTheDefaultsUsed) {
    vo_test::TempFolder folder;
    const std::string path = folder.file("game_options.info");
    for (Case const& c : Cases()) {
        const long long size = Make(c, path);
        vo_test::ExpectQuickAndSmall(
            std::string("game options: ") + c.label,
            [&] {
                CapturedOutput out;
                GameOptions options;
                const bool read = ReadUserFileOrSetAside(path, "the default options", [&] { options.load(path); });
                return out.text() + (read ? "read" : "not read") + ", " + std::to_string(options.windowWidth) + "x" +
                       std::to_string(options.windowHeight) + (options.fullscreen ? " full screen" : " windowed") +
                       "; " + Aftermath(path, size);
            },
            Warnings(path, c.reason, "the default options") +
                "not read, 1000x700 full screen; file gone, kept whole as .bad");
    }
}

// The game's own configuration: refused with the Error, nothing set aside;
// a reload of the debug switches only warns.
TEST(HostileConfigurationFiles, AreRefusedWithTheLimit) {
    vo_test::CharacterFiles files;
    files.write("deep.info", vo_test::NestedInfoText(200000));
    const std::string deep = files.file("deep.info");
    const std::string refused = "INFO file " + deep + " nests groups deeper than the limit of 64 levels (line 1)";

    CharacterHandler handler;  // made here: it loads its fallback texture
    vo_test::ExpectQuickAndSmall(
        "characters: 200,000 nested groups",
        [&] {
            handler.load(deep.c_str());
            return std::string("loaded");
        },
        "Error: " + refused);

    files.write("debug_config.info", "renderer { drawScene false }\n");
    vo_test::ExpectQuickAndSmall(
        "debug configuration reload: 200,000 nested groups",
        [&] {
            DebugConfig config;
            config.load(files.file("debug_config.info"));
            files.write("debug_config.info", vo_test::NestedInfoText(200000));
            CapturedOutput out;
            config.reload();
            return out.text() + (config.drawScene ? "flags lost" : "flags kept");
        },
        "WARNING: couldn't reload " + files.file("debug_config.info") + ": INFO file " +
            files.file("debug_config.info") + " nests groups deeper than the limit of 64 levels (line 1)\nflags kept");
}

}  // namespace
}  // namespace vo
