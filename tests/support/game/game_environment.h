#pragma once

// The game as its start-up leaves it, without a menu, and the one Match of
// the test process laid out for the window as the main menu lays it out:
// paths, configuration, window under Xvfb, default font, characters and
// object types from MyApp::init, then Match::transform once. A test process
// holds at most one (the scene's event listener can be connected once).

#include "game/match/match.h"
#include "game/match/match_settings.h"
#include "support/game/app_harness.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vo_test {

class GameEnvironment {
public:
    // config_files: configuration files (name -> text) used instead of the
    // shipped ones, the rest of the shipped folder as it is.
    explicit GameEnvironment(AppSetup setup = AppSetup(),
                             std::map<std::string, std::string> const& config_files = {});
    ~GameEnvironment();
    GameEnvironment(GameEnvironment const&) = delete;
    GameEnvironment& operator=(GameEnvironment const&) = delete;

    AppHarness& app() { return app_; }
    vo::Match& match() { return *match_; }
    vo::SmartPtr<vo::Match> match_screen() const { return match_; }

    // Pushes the match on the application's stack, as the main menu's START
    // does.
    void push_match();
    // Steps of 1/60 s through the application (the top screen is updated).
    bool step(int count = 1) { return app_.step(count); }
    // Steps until done answers true or max_steps have passed; true when done
    // answered true.
    template <class Done>
    bool step_until(Done done, int max_steps) {
        for (int i = 0; i < max_steps; ++i) {
            if (done()) return true;
            app_.step();
        }
        return done();
    }

private:
    AppHarness app_;
    std::unique_ptr<TempFolder> config_copy_;
    vo::SmartPtr<vo::Match> match_;
};

// num_teams teams "Team 0", "Team 1", ... of num_members members each
// ("T0 m0", ...), with the characters of the shipped list in turn; human
// unless cpu is set.
vo::MatchSettings TeamsOf(int num_teams, int num_members, bool cpu = false);

}  // namespace vo_test
