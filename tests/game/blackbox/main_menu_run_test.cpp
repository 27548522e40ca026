// The real program on its main menu, driven with xdotool as a player drives
// it: the controls are clicked at the window positions the layout probe
// prints (the same menu built from the same data at the same window size).
// A plain start, the team set-up saved by Options, leaving through the exit
// screen, a typed team name kept across runs, START with a single team, and
// a match played on a machine without an audio device.

#include "program_fixture.h"
#include "support/game/app_harness.h"
#include "support/game/x_screen.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace vo_test {
namespace {

// What the layout probe printed.
struct Layout {
    int width = 0;
    int height = 0;
    std::map<std::string, std::array<int, 2>> points;
    std::map<std::string, std::array<int, 4>> rects;
};

// Names may hold blanks ("How To Play"): the numbers are the last words.
Layout ParseLayout(std::string const& output) {
    Layout layout;
    for (std::string const& line : SplitLines(output)) {
        if (line.rfind("probe ", 0) != 0) continue;
        std::istringstream in(line.substr(6));
        std::string kind;
        in >> kind;
        std::vector<std::string> words;
        for (std::string w; in >> w;) words.push_back(w);
        const std::size_t numbers = kind == "rect" ? 4 : 2;
        if (words.size() < numbers) continue;
        std::string name;
        for (std::size_t i = 0; i + numbers < words.size(); ++i) name += (i ? " " : "") + words[i];
        std::vector<int> v;
        for (std::size_t i = words.size() - numbers; i < words.size(); ++i) v.push_back(std::stoi(words[i]));
        if (kind == "window") {
            layout.width = v[0];
            layout.height = v[1];
        } else if (kind == "point") {
            layout.points[name] = {v[0], v[1]};
        } else if (kind == "rect") {
            layout.rects[name] = {v[0], v[1], v[2], v[3]};
        }
    }
    return layout;
}

bool WaitFor(std::function<bool()> const& done, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool FileExists(std::string const& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

int Brightness(sf::Color c) { return c.r + c.g + c.b; }

bool Near(sf::Color a, sf::Color b) {
    return std::abs(a.r - b.r) <= 12 && std::abs(a.g - b.g) <= 12 && std::abs(a.b - b.b) <= 12;
}

// Pixels of the rectangle that differ between two screenshots.
int Differences(sf::Image const& a, sf::Image const& b, std::array<int, 4> const& r) {
    int count = 0;
    for (int y = r[1]; y < r[3]; ++y) {
        for (int x = r[0]; x < r[2]; ++x) {
            const unsigned ux = static_cast<unsigned>(x);
            const unsigned uy = static_cast<unsigned>(y);
            count += a.getPixel(ux, uy) == b.getPixel(ux, uy) ? 0 : 1;
        }
    }
    return count;
}

class MainMenuProgram : public ProgramTest {
protected:
    void SetUp() override {
        // One probe per test process: the layout only depends on the data
        // and the window size, which every run here shares.
        static Layout layout = Probe();
        layout_ = layout;
        ASSERT_EQ(layout_.width, kScreenWidth);
        ASSERT_EQ(layout_.height, kScreenHeight);
    }

    static Layout Probe() {
        ChildProcess::Launch l;
        l.program = QV_LAYOUT_PROBE;
        l.working_directory = QV_BUILD_DIR;
        ChildProcess probe(l);
        const int status = probe.wait_for_exit(kStartSeconds);
        EXPECT_EQ(status, 0) << probe.output();
        return ParseLayout(probe.output());
    }

    // Starts the game on its main menu and waits for its window.
    void start_game() { start_game(launch({})); }
    void start_game(ChildProcess::Launch const& how) {
        game_.reset(new ChildProcess(how));
        ASSERT_TRUE(game_->wait_for_output("initialization complete...\n", kStartSeconds)) << game_->output();
        window_ = FindWindowByTitle("Quorvane", 5.0);
        ASSERT_NE(window_, 0u);
        // The first frame is on the screen once the menu's START button is.
        const auto start = point("menu.START");
        ASSERT_TRUE(WaitFor([&] { return Brightness(GrabScreen().getPixel(start[0], start[1])) > 200; }, kStartSeconds));
        // A few more frames, and the menu is as a player first sees it.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        start_screen_ = GrabScreen();
    }

    std::array<unsigned, 2> point(std::string const& name) {
        auto it = layout_.points.find(name);
        EXPECT_NE(it, layout_.points.end()) << "the probe printed no " << name;
        if (it == layout_.points.end()) return {0, 0};
        return {static_cast<unsigned>(it->second[0]), static_cast<unsigned>(it->second[1])};
    }

    void click(std::string const& name) {
        const auto p = point(name);
        ASSERT_TRUE(RunXdotool({"mousemove", "--window", std::to_string(window_), std::to_string(p[0]),
                                std::to_string(p[1]), "click", "1"}))
            << name;
    }

    // Keys go to the window under the pointer (there is no window manager).
    void key(std::string const& name) { ASSERT_TRUE(RunXdotool({"key", name})); }

    // Quit, then Quit on the exit screen: the program ends normally.
    void quit_game() {
        wait_for_menu();
        click("menu.Quit");
        wait_for_exit_screen();
        click("exit.Quit");
        EXPECT_EQ(game_->wait_for_exit(kEndSeconds), 0) << game_->output();
    }

    // The face of a menu button beside its (short) text.
    static std::array<unsigned, 2> face(std::array<unsigned, 2> centre) { return {centre[0] - 30, centre[1]}; }

    // The face of the menu's Quit button as the start showed it.
    sf::Color button_face() {
        const auto reference = face(point("menu.Quit"));
        return start_screen_.getPixel(reference[0], reference[1]);
    }

    // The menu is the top screen again once its Quit button is neither
    // covered nor dimmed.
    void wait_for_menu() {
        const auto quit = face(point("menu.Quit"));
        const sf::Color button = button_face();
        ASSERT_TRUE(WaitFor([&] { return Near(GrabScreen().getPixel(quit[0], quit[1]), button); }, kEndSeconds));
    }

    // The exit screen is up once its buttons are drawn where the menu has
    // none: their faces look like the face of the menu's Quit button.
    void wait_for_exit_screen() {
        const sf::Color button = button_face();
        const auto back = face(point("exit.Back"));
        const auto quit = face(point("exit.Quit"));
        sf::Image shot;
        const bool shown = WaitFor(
            [&] {
                shot = GrabScreen();
                return Near(shot.getPixel(back[0], back[1]), button) && Near(shot.getPixel(quit[0], quit[1]), button);
            },
            kEndSeconds);
        if (!shown) shot.saveToFile(ArtefactPath("program_exit_screen_missing.png"));
        ASSERT_TRUE(shown);
    }

    Layout layout_;
    sf::Image start_screen_;
    std::unique_ptr<ChildProcess> game_;
    unsigned long window_ = 0;
};

TEST_F(MainMenuProgram, APlainStartShowsTheMenuOptionsSavesTheTeamsAndQuitEndsTheProgram) {
    start_game();
    start_screen_.saveToFile(ArtefactPath("program_main_menu.png"));
    const std::vector<std::string> lines = {"MainMenuScreen - START", "> Characters", "> TeamDescs",
                                            "> Team Representation", "> Level preview", "> MenuButtons",
                                            "> Character Widgets", "> TextInfo", "> StartPreview",
                                            "MainMenuScreen - END", "initialization complete..."};
    EXPECT_EQ(LinesAmong(game_->output(), lines), lines) << game_->output();

    // Options saves the teams; Escape closes it.
    const std::string teams = user_file("team_settings.info");
    EXPECT_FALSE(FileExists(teams));
    click("menu.Options");
    ASSERT_TRUE(WaitFor([&] { return FileExists(teams); }, kEndSeconds));
    EXPECT_NE(ReadTextFile(teams).find("teamName \"CPU 1\""), std::string::npos) << ReadTextFile(teams);
    key("Escape");
    wait_for_menu();

    // Quit, then Back: the menu still works (Options saves again).
    click("menu.Quit");
    wait_for_exit_screen();
    click("exit.Back");
    wait_for_menu();
    ASSERT_EQ(std::remove(teams.c_str()), 0);
    click("menu.Options");
    ASSERT_TRUE(WaitFor([&] { return FileExists(teams); }, kEndSeconds)) << game_->output();
    key("Escape");

    // Quit, then Quit: the program ends with 0 and the teams saved.
    ASSERT_EQ(std::remove(teams.c_str()), 0);
    quit_game();
    EXPECT_TRUE(FileExists(teams));
    const std::vector<std::string> end = {"TERMINATING APP", "STOPPING ENGINE"};
    EXPECT_EQ(LinesAmong(game_->output(), end), end);
}

TEST_F(MainMenuProgram, ATeamNameTypedOnItsCardIsOnTheCardAndInTheSettingsAfterARestart) {
    start_game();
    const sf::Image before = start_screen_;
    click("card.1");
    // The keys reach the program before the clicks that follow them.
    ASSERT_TRUE(RunXdotool({"type", "--delay", "30", "Zed"}));
    quit_game();
    EXPECT_NE(ReadTextFile(user_file("team_settings.info")).find("teamName \"CPU 1Zed\""), std::string::npos)
        << ReadTextFile(user_file("team_settings.info"));

    // The next run shows the name on the card and saves it from there.
    start_game();
    const sf::Image after = start_screen_;
    after.saveToFile(ArtefactPath("program_renamed_team.png"));
    const auto name = point("card.1.name");
    const std::array<int, 4> name_area = {static_cast<int>(name[0]) - 40, static_cast<int>(name[1]) - 8,
                                          static_cast<int>(name[0]) + 60, static_cast<int>(name[1]) + 8};
    EXPECT_GT(Differences(before, after, name_area), 20);
    ASSERT_EQ(std::remove(user_file("team_settings.info").c_str()), 0);
    click("menu.Options");
    ASSERT_TRUE(WaitFor([&] { return FileExists(user_file("team_settings.info")); }, kEndSeconds));
    EXPECT_NE(ReadTextFile(user_file("team_settings.info")).find("teamName \"CPU 1Zed\""), std::string::npos);
    key("Escape");
    quit_game();
}

TEST_F(MainMenuProgram, StartWithASingleTeamShowsTheMessageBoxPushesNothingAndOkRemovesIt) {
    start_game();
    // CPU 1 and CPU 2 get no character; Player 4 has none: one team left.
    click("card.1");
    click("character.0");
    click("card.2");
    click("character.0");
    const sf::Image& before = start_screen_;
    const std::array<int, 4> panel = layout_.rects.at("characters");
    const std::array<int, 4> box = layout_.rects.at("box.main");
    // Where the panel lies outside the box, the box's veil darkens it.
    const unsigned x = static_cast<unsigned>(panel[2] - 4);
    const unsigned y = static_cast<unsigned>(panel[3] - 4);
    ASSERT_TRUE(x > static_cast<unsigned>(box[2]) || y > static_cast<unsigned>(box[3]));

    click("menu.START");
    ASSERT_TRUE(WaitFor([&] { return Brightness(GrabScreen().getPixel(x, y)) < Brightness(before.getPixel(x, y)) - 30; },
                        kEndSeconds));
    const sf::Image with_box = GrabScreen();
    with_box.saveToFile(ArtefactPath("program_message_box.png"));
    // The box's middle is light.
    const unsigned cx = static_cast<unsigned>((box[0] + box[2]) / 2);
    const unsigned cy = static_cast<unsigned>(box[1] + 10);
    EXPECT_GT(Brightness(with_box.getPixel(cx, cy)), 600);
    // Nothing was pushed over the menu, so nothing was saved.
    EXPECT_FALSE(FileExists(user_file("team_settings.info")));

    click("box.OK!");
    ASSERT_TRUE(WaitFor([&] { return GrabScreen().getPixel(x, y) == before.getPixel(x, y); }, kEndSeconds));
    EXPECT_FALSE(FileExists(user_file("team_settings.info")));
    quit_game();
}

// With OpenAL pointed at a driver that does not exist, no audio device
// opens: the game says so once on standard error and plays on in silence,
// its music scheduled as ever (the match's track fades in), from the menu
// into a match.
TEST_F(MainMenuProgram, WithoutAnAudioDeviceSaysSoOnceAndPlaysAMatchInSilence) {
    ChildProcess::Launch how = launch({});
    how.environment.push_back({"ALSOFT_DRIVERS", "nosuchdriver"});
    how.environment.push_back({"ALSOFT_CONF", ""});  // no configuration naming another
    how.collect_error_output = true;
    start_game(how);
    const std::size_t menu_output = game_->output().size();
    click("menu.START");
    ASSERT_TRUE(WaitFor([&] { return game_->output().find("DBG: FADE_IN", menu_output) != std::string::npos; },
                        kStartSeconds))
        << game_->output().substr(menu_output);
    // A few seconds of the match.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    ASSERT_TRUE(game_->running());
    ASSERT_TRUE(SendCloseRequest(window_));
    EXPECT_EQ(game_->wait_for_exit(kEndSeconds), 0) << game_->output();

    const std::string errors = game_->error_output();
    const std::string message = "WARNING: no audio device: sound is off\n";
    const std::string::size_type first = errors.find(message);
    EXPECT_NE(first, std::string::npos) << errors.substr(0, 2000);
    EXPECT_EQ(errors.find(message, first + 1), std::string::npos) << errors.substr(0, 2000);
    EXPECT_LE(SplitLines(errors).size(), 3u) << errors.substr(0, 2000);
}

}  // namespace
}  // namespace vo_test
