#pragma once

// What the X display shows, for black-box tests of the real program: its
// windows by title and the screen's pixels.

#include <SFML/Graphics/Image.hpp>

#include <string>

namespace vo_test {

// The top-level window with that title on the current DISPLAY, waiting up
// to the given seconds for it to appear; 0 when there is none.
unsigned long FindWindowByTitle(std::string const& title, double seconds);

// The window's size in pixels; false when it cannot be asked.
bool WindowSize(unsigned long window, int* width, int* height);

// The whole screen of the current DISPLAY as an image (what a screenshot
// tool would save); empty when it cannot be read.
sf::Image GrabScreen();

}  // namespace vo_test
