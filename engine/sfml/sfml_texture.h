#pragma once

#include "engine/sfml/texture.h"

#include <SFML/Graphics/Texture.hpp>

#include <string>

namespace vo {

// A texture of the graphics library. A texture with a render-target name
// stands for that offscreen target: binding it binds the target's current
// image, and its own image stays empty.
class SFML_Texture : public Texture {
public:
    SFML_Texture() = default;

    bool load(const char* file) override;
    bool create(unsigned width, unsigned height) override;
    void set_repeated(bool repeated) override;
    void set_smooth(bool smooth) override;
    Frame frame() const override;
    void update(unsigned x, unsigned y, unsigned width, unsigned height, const void* rgba_pixels) override;
    virtual void set_render_target_name(const char* name);

    const std::string& render_target_name() const { return render_target_name_; }
    sf::Texture& texture() { return texture_; }
    const sf::Texture& texture() const { return texture_; }

private:
    sf::Texture texture_;
    std::string render_target_name_;
};

}  // namespace vo
