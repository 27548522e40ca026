#pragma once

// Real input for window tests: a private X server per test process, xdotool
// driving it, and the window manager's close request sent by hand.

#include <string>
#include <vector>

namespace vo_test {

// Starts an Xvfb server of its own for this process (once; later calls
// return the same display) and points DISPLAY at it, so that input sent with
// xdotool reaches only this process's windows even while other tests run
// beside it. Must run before the process opens its first window. The server
// ends by itself when the process exits. Returns the display name (":N"), or
// an empty string when no server could be started.
std::string UsePrivateXServer(int width = 640, int height = 480);

// Runs xdotool with the arguments on the current DISPLAY; true when it
// exited with status 0.
bool RunXdotool(std::vector<std::string> const& args);

// Sends the window manager's close request (WM_DELETE_WINDOW) to a window,
// as a user clicking the close box would.
bool SendCloseRequest(unsigned long window);

}  // namespace vo_test
