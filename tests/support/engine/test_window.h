#pragma once

// A real engine window for drawing tests, with pixels read back from the
// frame being drawn.

#include "engine/sfml/engine.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace sf {
class RenderWindow;
}

namespace vo_test {

struct Rgba {
    int r = 0;
    int g = 0;
    int b = 0;
    int a = 255;
};

bool operator==(Rgba const& x, Rgba const& y);
std::ostream& operator<<(std::ostream& out, Rgba const& c);

// True when every channel of `actual` (alpha ignored) is within `tolerance`
// of `expected`.
bool ColorNear(Rgba const& actual, Rgba const& expected, int tolerance = 2);
// The 0..1 colour as 8-bit channels.
Rgba ToRgba(vo::Color const& c);

// Call before the process opens its first window without TestWindow (which
// calls it itself): waits until the X server answers, and keeps the software
// GL driver loaded so that leak reports at exit can name it.
void PrepareDisplay();

// Opens (or re-creates) the engine's window at the given size and reads back
// what is drawn into it. Reads come from the frame being drawn, before
// Engine::display, so other windows on the same display never mix in.
class TestWindow {
public:
    explicit TestWindow(unsigned width = 320, unsigned height = 240, const char* title = "quorvane test");

    vo::Engine& engine() { return engine_; }
    int width() const { return width_; }
    int height() const { return height_; }
    sf::RenderWindow& window();

    // Projection and model-view so that drawing units are window pixels
    // (origin top left, y downward); default viewport, no scissor, no
    // blending, lighting or texturing.
    void use_pixel_coordinates();

    // Pixel (x, y) of the frame, origin top left.
    Rgba pixel(int x, int y);
    // The whole frame, row after row from the top.
    std::vector<Rgba> pixels();
    // Counts the pixels of the frame within `tolerance` of `colour`.
    int count_pixels(Rgba const& colour, int tolerance = 2);
    // Writes the frame as PNG (for looking at a failing test).
    bool save_png(std::string const& path);

private:
    vo::Engine& engine_;
    int width_;
    int height_;
};

}  // namespace vo_test
