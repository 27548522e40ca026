// The game program: builds the application from the command line, starts it
// up, runs the main loop and shuts down. It is also the last place where an
// error that nothing else caught is reported, on standard output and on
// standard error; the program then exits with status 1 (0 after a normal
// end).

#include "engine/core/error.h"
#include "game/app/console_report.h"
#include "game/app/main_loop.h"
#include "game/app/my_app.h"

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>

namespace {

// Keeps the console open until the user presses a key, so that the message
// can be read. Only a terminal is waited for: a launcher or a script holding
// standard input as a pipe must never hang here.
void WaitForKeyWhenInteractive() {
    if (!isatty(STDIN_FILENO)) return;
    std::getchar();
}

}  // namespace

int main(int argc, char** argv) {
    std::cout << "program start...\n" << std::flush;

    std::unique_ptr<vo::MyApp> app;
    try {
        app.reset(new vo::MyApp(argc, argv));
        vo::g_app = app.get();

        app->init();
        vo::MainLoop loop(*app);
        loop.run();
        loop.shut_down();
        return 0;
    } catch (vo::Error const& e) {
        std::cout << "An Error occurred:\n" << std::flush;
        std::cout << e.message() << std::endl;
        vo::ReportToStandardError(e.message());
        std::cout << "Aborting... Press any button to exit.\n" << std::flush;
        WaitForKeyWhenInteractive();
    } catch (std::exception const& e) {
        // The property tree's errors (missing keys, unreadable files) and
        // every other standard error.
        std::cout << "runtime error:\n" << e.what() << std::endl;
        vo::ReportToStandardError(std::string("runtime error: ") + e.what());
    } catch (...) {
        std::cout << "unknown error\n" << std::flush;
        vo::ReportToStandardError("unknown error");
    }
    // Neither the application's termination nor the engine's stop runs
    // after an error; the application releases its screens as it goes.
    return 1;
}
