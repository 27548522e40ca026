// The data folder as a whole: the generator makes the same bytes on every
// run, and the checker passes the shipped folder, refuses broken copies of
// it, each with the line that names the file and key, and passes copies the
// game's readers repair, with a warning where one likely hides a typo.

#include "support/engine/media_files.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

const std::string kData = QV_GAME_DATA_DIR;

struct ProgramRun {
    int exit_code = -1;
    std::string output;
};

// Runs a command through the shell and collects its standard output.
ProgramRun Execute(std::string const& command) {
    ProgramRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.output.append(buffer.data(), n);
    int const status = pclose(pipe);
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string Quote(std::string const& s) { return "'" + s + "'"; }

std::string Slurp(fs::path const& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(DataFolder, TheGeneratorWritesTheSameBytesAsTheBuildDid) {
    vo_test::TempFolder out;
    std::string const list = out.file("files.txt");
    ProgramRun const run = Execute(std::string(QV_ASSET_GEN_PROGRAM) + " " + Quote(out.path() + "/data") + " " +
                            Quote(QV_BOLD_FONT) + " " + Quote(list));
    ASSERT_EQ(run.exit_code, 0) << run.output;
    std::istringstream files(Slurp(list));
    std::string name;
    int compared = 0;
    while (std::getline(files, name)) {
        SCOPED_TRACE(name);
        std::string const fresh = Slurp(out.path() + "/data/" + name);
        EXPECT_FALSE(fresh.empty());
        EXPECT_TRUE(fresh == Slurp(kData + "/" + name));
        ++compared;
    }
    EXPECT_GT(compared, 70);
}

TEST(DataFolder, TheCheckerPassesTheShippedData) {
    ProgramRun const run = Execute(std::string(QV_CHECK_DATA_PROGRAM) + " " + Quote(kData));
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_NE(run.output.find("is sound"), std::string::npos) << run.output;
}

// A copy of the data folder: the configuration files copied (to be broken),
// every other file linked.
class BrokenCopy {
public:
    BrokenCopy() {
        for (auto const& entry : fs::recursive_directory_iterator(kData)) {
            fs::path const rel = fs::relative(entry.path(), kData);
            fs::path const to = fs::path(folder_.path()) / rel;
            if (entry.is_directory()) {
                fs::create_directories(to);
            } else if (*rel.begin() == "config") {
                fs::copy_file(entry.path(), to);
            } else {
                fs::create_symlink(entry.path(), to);
            }
        }
    }
    std::string path() const { return folder_.path(); }

    // Replaces the one place of `from` in a configuration file by `to`.
    bool edit(std::string const& file, std::string const& from, std::string const& to) {
        fs::path const p = fs::path(folder_.path()) / "config" / file;
        std::string text = Slurp(p);
        std::size_t const at = text.find(from);
        if (at == std::string::npos || text.find(from, at + 1) != std::string::npos) return false;
        text.replace(at, from.size(), to);
        std::ofstream(p, std::ios::binary | std::ios::trunc) << text;
        return true;
    }
    bool remove(std::string const& rel) { return fs::remove(fs::path(folder_.path()) / rel); }

private:
    vo_test::TempFolder folder_;
};

// A copy changed by a function (false: it found nothing to change), with a
// line the checker prints (null: none).
struct CopyCase {
    const char* what;
    std::function<bool(BrokenCopy&)> changes;
    const char* line;
};

// The checker run over the changed copy.
ProgramRun CheckCopy(CopyCase const& c) {
    BrokenCopy copy;
    EXPECT_TRUE(c.changes(copy));
    return Execute(std::string(QV_CHECK_DATA_PROGRAM) + " " + Quote(copy.path()));
}

TEST(DataFolder, TheCheckerNamesTheFileAndKeyOfEachDefect) {
    const CopyCase cases[] = {
        {"a missing key",
         [](BrokenCopy& d) { return d.edit("menu_config.info", "    areaMenu { left 1236 top 310 right 1580 bottom 850 }\n", ""); },
         "menu_config.info: mainMenu.areaMenu: missing"},
        {"a missing texture", [](BrokenCopy& d) { return d.remove("textures/weapons/mine.png"); },
         "weapons.info: availableWeapons.mine.icon.texture: no texture file 'weapons/mine.png'"},
        {"a cluster cycle",
         [](BrokenCopy& d) {
             return d.edit("weapons.info", "    explosionType bomblet\n",
                           "    explosionType bomblet\n    cluster { type clusterBomb num 2 }\n");
         },
         "weapons.info: bomblet.cluster.type: cluster types form a cycle: bomblet -> clusterBomb -> bomblet"},
        {"an unknown addWeapon", [](BrokenCopy& d) { return d.edit("items.info", "addWeapon clusterBomb", "addWeapon bazooka"); },
         "items.info: items.clusters.addWeapon: names no available weapon 'bazooka'"},
        {"a cluster type that is no weapon", [](BrokenCopy& d) { return d.edit("weapons.info", "type bomblet", "type pebble"); },
         "weapons.info: clusterBomb.cluster.type: names no weapon description 'pebble'"},
        {"fixedVelocity 0",
         [](BrokenCopy& d) { return d.edit("weapons.info", "    maxVelocity 3\n", "    maxVelocity 3\n    fixedVelocity 0\n"); },
         "weapons.info: mine.fixedVelocity: 0 reads as fixed"},
        {"a defaultWeapon naming nothing",
         [](BrokenCopy& d) { return d.edit("weapons.info", "availableWeapons\n{\n", "availableWeapons\n{\n    defaultWeapon bazooka\n"); },
         "weapons.info: availableWeapons.defaultWeapon: names no listed weapon 'bazooka'"},
        {"a mine the ground sets off",
         [](BrokenCopy& d) {
             return d.edit("weapons.info", "    groundTriggered false\n", "    groundTriggered true\n");
         },
         "weapons.info: mine.groundTriggered: true sets every mine off where it is laid"},
        {"an explosion sound that is missing", [](BrokenCopy& d) { return d.remove("sounds/explosion_small.wav"); },
         "weapons.info: explosionTypes.small.soundFile: no sound file 'explosion_small.wav'"},
        {"a frame off the atlas",
         [](BrokenCopy& d) { return d.edit("menu_config.info", "srcFrame { left 0 top 0 right 320 bottom 64 }", "srcFrame { left 0 top 0 right 310 bottom 64 }"); },
         "menu_config.info: menuButton.default.image.srcFrame: is no region of the atlas 'main_menu/button.png'"},
        {"team cards that do not fit", [](BrokenCopy& d) { return d.edit("menu_config.info", "scale 1\n", "scale 1.2\n"); },
         "menu_config.info: mainMenu.areaTeams: cannot hold four team cards 20 units apart"},
        {"two characters of one name", [](BrokenCopy& d) { return d.edit("characters.info", "name Zyra", "name Gronk"); },
         "characters.info: character[3].name: 'Gronk' is taken by an earlier character"},
        {"a music description missing", [](BrokenCopy& d) { return d.edit("music.info", "\nresults\n", "\nresultz\n"); },
         "music.info: results: missing"},
        {"a missing parallax texture", [](BrokenCopy& d) { return d.remove("textures/parallax/cave_near.png"); },
         "game_config.info: parallaxLayers.layer[1].texture: no texture file 'parallax/cave_near.png'"},
        {"a config file that does not parse", [](BrokenCopy& d) { return d.edit("items.info", "items\n{\n", "items\n{\n{\n"); },
         "items.info: -: cannot be read"},
        {"a slob texture that a character draws with, missing",
         [](BrokenCopy& d) {
             return d.edit("characters.info", "textureName chars/gronk.png", "textureName \"\"") &&
                    d.edit("game_config.info", "texture tarvessa_ball.png", "texture gone.png");
         },
         "game_config.info: slob.texture: no texture file 'gone.png'"},
    };
    for (CopyCase const& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramRun const run = CheckCopy(c);
        EXPECT_EQ(run.exit_code, 1) << run.output;
        EXPECT_NE(run.output.find(c.line), std::string::npos) << run.output;
    }
}

TEST(DataFolder, TheCheckerWarnsOfWhatTheReadersRepairAndPasses) {
    const CopyCase cases[] = {
        {"a negative cluster num: no clusters", [](BrokenCopy& d) { return d.edit("weapons.info", "num 5", "num -3"); },
         nullptr},
        {"a character drawn with the slob texture",
         [](BrokenCopy& d) { return d.edit("characters.info", "textureName chars/gronk.png", "textureName \"\""); },
         nullptr},
        {"a cluster num that does not read", [](BrokenCopy& d) { return d.edit("weapons.info", "num 5", "num five"); },
         "WARNING: weapons.info: clusterBomb.cluster.num: 'five' is not a whole number, 0 used"},
        {"a count of game_config.info that is no whole number",
         [](BrokenCopy& d) { return d.edit("game_config.info", "\nnumMines 2\n", "\nnumMines 2.5\n"); },
         "WARNING: game_config.info: numMines: '2.5' is not a whole number, 4 used"},
        {"a count the match lowers to its bound",
         [](BrokenCopy& d) { return d.edit("game_config.info", "\nnumMines 2\n", "\nnumMines 100\n"); },
         "WARNING: game_config.info: numMines: 100 is out of range, 64 used"},
        {"a turn transition the match raises to one step",
         [](BrokenCopy& d) {
             return d.edit("game_config.info", "\nnewTurnTransitionTime 1\n", "\nnewTurnTransitionTime 0\n");
         },
         "WARNING: game_config.info: newTurnTransitionTime: 0 is out of range, 0.0166667 used"},
        {"a field of view the camera forces into range",
         [](BrokenCopy& d) { return d.edit("game_config.info", "fieldOfViewY 90", "fieldOfViewY 200"); },
         "WARNING: game_config.info: camera.fieldOfViewY: 200 is out of range, 179 used"},
    };
    for (CopyCase const& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramRun const run = CheckCopy(c);
        EXPECT_EQ(run.exit_code, 0) << run.output;
        EXPECT_NE(run.output.find("is sound"), std::string::npos) << run.output;
        std::size_t warnings = 0;
        for (std::size_t at = run.output.find("WARNING"); at != std::string::npos; at = run.output.find("WARNING", at + 1))
            ++warnings;
        EXPECT_EQ(warnings, c.line ? 1u : 0u) << run.output;
        if (c.line) {
            EXPECT_NE(run.output.find(c.line), std::string::npos) << run.output;
        }
    }
}

}  // namespace
