#include "engine/sfml/sfml_texture.h"

#include "engine/sfml/default_buffers.h"

namespace vo {

Texture::~Texture() = default;

bool SFML_Texture::load(const char* file) {
    if (!file || !texture_.loadFromFile(file)) return false;
    set_smooth(true);
    return true;
}

bool SFML_Texture::create(unsigned width, unsigned height) { return texture_.create(width, height); }

void SFML_Texture::set_repeated(bool repeated) { texture_.setRepeated(repeated); }

void SFML_Texture::set_smooth(bool smooth) { texture_.setSmooth(smooth); }

Frame SFML_Texture::frame() const {
    const sf::Vector2u size = texture_.getSize();
    return Frame(0.0f, 0.0f, static_cast<float>(size.x), static_cast<float>(size.y));
}

void SFML_Texture::update(unsigned x, unsigned y, unsigned width, unsigned height, const void* rgba_pixels) {
    // The graphics library aborts the process on a rectangle outside the
    // texture, so such updates (and updates of a texture never created) are
    // dropped here.
    const sf::Vector2u size = texture_.getSize();
    if (!rgba_pixels || width == 0 || height == 0) return;
    if (!RangeFits(x, width, size.x) || !RangeFits(y, height, size.y)) return;
    texture_.update(static_cast<const sf::Uint8*>(rgba_pixels), width, height, x, y);
}

void SFML_Texture::set_render_target_name(const char* name) { render_target_name_ = name ? name : ""; }

}  // namespace vo
