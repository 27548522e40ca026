#include "support/engine/test_window.h"

#include "engine/sfml/sfml_engine.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/OpenGL.hpp>

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <stdexcept>

namespace vo_test {

bool operator==(Rgba const& x, Rgba const& y) { return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a; }

std::ostream& operator<<(std::ostream& out, Rgba const& c) {
    return out << "rgba(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

bool ColorNear(Rgba const& actual, Rgba const& expected, int tolerance) {
    return std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
           std::abs(actual.b - expected.b) <= tolerance;
}

Rgba ToRgba(vo::Color const& c) {
    auto channel = [](float v) { return static_cast<int>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255.0f)); };
    return Rgba{channel(c.r), channel(c.g), channel(c.b), channel(c.a)};
}

// The window library aborts the process when its display connection fails.
// A busy X server now and then refuses a connection made right after another
// client left, so make sure the server answers before the library connects,
// and keep that connection for the life of the process.
void PrepareDisplay() {
    // The software GL driver is unloaded again when the last context goes;
    // pinned, it stays mapped, so that the leak checker can still name it
    // (.ci/lsan.supp) in what it reports at exit.
    static void* const driver = [] {
        for (const char* name : {"/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", "libGLX_mesa.so.0"}) {
            if (void* handle = dlopen(name, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) dlclose(handle);
        }
        return nullptr;
    }();
    (void)driver;
    static Display* connection = [] {
        Display* d = nullptr;
        for (int attempt = 0; attempt < 20 && !d; ++attempt) {
            d = XOpenDisplay(nullptr);
            if (!d) usleep(20000);
        }
        return d;
    }();
    (void)connection;
}

TestWindow::TestWindow(unsigned width, unsigned height, const char* title) : engine_(vo::Engine::instance()) {
    PrepareDisplay();
    if (!engine_.create_window(width, height, title, 7)) throw std::runtime_error("no window could be opened");
    width_ = engine_.screen_width();
    height_ = engine_.screen_height();
}

sf::RenderWindow& TestWindow::window() {
    auto* backend = dynamic_cast<vo::SFML_Engine*>(&engine_);
    if (!backend || !backend->render_window()) throw std::runtime_error("the engine has no window");
    return *backend->render_window();
}

void TestWindow::use_pixel_coordinates() {
    engine_.set_ortho(0.0f, static_cast<float>(width_), static_cast<float>(height_), 0.0f, -1.0f, 1.0f);
    engine_.load_identity();
    for (int i = 0; i < 3; ++i) engine_.set_state(i, false);
    glViewport(0, 0, width_, height_);
    glDisable(GL_SCISSOR_TEST);
}

Rgba TestWindow::pixel(int x, int y) {
    unsigned char c[4] = {0, 0, 0, 0};
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, height_ - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, c);
    return Rgba{c[0], c[1], c[2], c[3]};
}

std::vector<Rgba> TestWindow::pixels() {
    std::vector<unsigned char> raw(static_cast<std::size_t>(width_) * height_ * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
    std::vector<Rgba> out(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y) {
        const unsigned char* row = &raw[static_cast<std::size_t>(height_ - 1 - y) * width_ * 4];
        for (int x = 0; x < width_; ++x) {
            out[static_cast<std::size_t>(y) * width_ + x] = Rgba{row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]};
        }
    }
    return out;
}

int TestWindow::count_pixels(Rgba const& colour, int tolerance) {
    int n = 0;
    for (Rgba const& p : pixels()) n += ColorNear(p, colour, tolerance) ? 1 : 0;
    return n;
}

bool TestWindow::save_png(std::string const& path) {
    const std::vector<Rgba> frame = pixels();
    sf::Image image;
    image.create(static_cast<unsigned>(width_), static_cast<unsigned>(height_));
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            Rgba const& p = frame[static_cast<std::size_t>(y) * width_ + x];
            image.setPixel(static_cast<unsigned>(x), static_cast<unsigned>(y),
                           sf::Color(static_cast<sf::Uint8>(p.r), static_cast<sf::Uint8>(p.g),
                                     static_cast<sf::Uint8>(p.b), static_cast<sf::Uint8>(p.a)));
        }
    }
    return image.saveToFile(path);
}

}  // namespace vo_test

