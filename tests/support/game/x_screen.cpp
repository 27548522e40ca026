#include "support/game/x_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

namespace vo_test {

namespace {

// One connection per call: these helpers run seldom and must not hold the
// display the program under test draws on.
class Connection {
public:
    Connection() : display_(XOpenDisplay(nullptr)) {}
    ~Connection() {
        if (display_) XCloseDisplay(display_);
    }
    Connection(Connection const&) = delete;
    Connection& operator=(Connection const&) = delete;
    Display* get() const { return display_; }

private:
    Display* display_;
};

unsigned long FindOnce(Display* display, std::string const& title) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
    unsigned long found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name) found = children[i];
            XFree(name);
        }
    }
    if (children) XFree(children);
    return found;
}

}  // namespace

unsigned long FindWindowByTitle(std::string const& title, double seconds) {
    Connection connection;
    if (!connection.get()) return 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (unsigned long window = FindOnce(connection.get(), title)) return window;
        if (std::chrono::steady_clock::now() >= deadline) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool WindowSize(unsigned long window, int* width, int* height) {
    Connection connection;
    XWindowAttributes attributes;
    if (!connection.get() || !XGetWindowAttributes(connection.get(), window, &attributes)) return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

sf::Image GrabScreen() {
    sf::Image image;
    Connection connection;
    Display* display = connection.get();
    if (!display) return image;
    const int screen = DefaultScreen(display);
    const unsigned width = static_cast<unsigned>(DisplayWidth(display, screen));
    const unsigned height = static_cast<unsigned>(DisplayHeight(display, screen));
    XImage* shot = XGetImage(display, RootWindow(display, screen), 0, 0, width, height, AllPlanes, ZPixmap);
    if (!shot) return image;
    image.create(width, height);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(shot, static_cast<int>(x), static_cast<int>(y));
            image.setPixel(x, y,
                           sf::Color(static_cast<sf::Uint8>((p & shot->red_mask) >> 16),
                                     static_cast<sf::Uint8>((p & shot->green_mask) >> 8),
                                     static_cast<sf::Uint8>(p & shot->blue_mask)));
        }
    }
    XDestroyImage(shot);
    return image;
}

}  // namespace vo_test
