#pragma once

#include "engine/core/frame.h"

namespace vo {

// A texture of the back end. Made by Engine::create_texture.
class Texture {
public:
    Texture() = default;
    Texture(const Texture&) {}
    Texture& operator=(const Texture&) { return *this; }
    virtual ~Texture();

    // Loads a whole image file; false when it cannot be loaded.
    virtual bool load(const char* file) = 0;
    // An empty texture of that size.
    virtual bool create(unsigned width, unsigned height) = 0;
    virtual void set_repeated(bool repeated) = 0;
    virtual void set_smooth(bool smooth) = 0;
    // Left 0, top 0, right = width, bottom = height, in pixels.
    virtual Frame frame() const = 0;
    // Uploads width x height tightly packed 8-bit RGBA pixels, row after
    // row, into the rectangle at (x, y). A rectangle that does not lie
    // inside the texture is ignored.
    virtual void update(unsigned x, unsigned y, unsigned width, unsigned height,
                        const void* rgba_pixels) = 0;
};

}  // namespace vo
