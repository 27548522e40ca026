#pragma once

// Everything drawn from a region of a texture. All of Image is defined here,
// inline: the game program compiles it into itself.

#include "engine/core/color.h"
#include "engine/core/frame.h"
#include "engine/core/frame_transform.h"
#include "engine/core/smart_ptr.h"
#include "engine/sfml/engine.h"
#include "engine/visuals/drawer.h"

namespace vo {

// A texture, the rectangle it covers (in the units of whoever draws it), the
// part of the texture shown (0..1 texture coordinates), a colour, an
// optional shader effect and a rotation in degrees; drawn as one filled quad
// at z 0.5 through the shared drawer.
//
// An image may also carry a dissolve effect: the shader "dissolve_shader"
// reading a mask (sampler 0) and the image's texture (sampler 1) with the
// parameters "threshold", "alphaRange" and "interval".
class Image {
public:
    Image()
        : effect(),
          dest_frame(0.0f, 0.0f, 0.0f, 0.0f),
          src_frame(0.0f, 0.0f, 1.0f, 1.0f),
          color(1.0f, 1.0f, 1.0f, 1.0f),
          angle(0.0f) {}

    // Covers the texture's own frame (its size in pixels). The texture must
    // not be null.
    explicit Image(SmartPtr<Texture> texture) : Image() {
        texture_ = texture;
        dest_frame = texture_->frame();
    }

    Image(SmartPtr<Texture> texture, Frame const& dest, Frame const& src, Color const& colour)
        : texture_(texture), effect(), dest_frame(dest), src_frame(src), color(colour), angle(0.0f) {}

    Image(Image const&) = default;
    Image& operator=(Image const&) = default;
    virtual ~Image() {}

    // Images are not animated.
    virtual bool is_animated() const { return false; }

    // Draws with the destination frame mapped through `transform`.
    virtual void draw(FrameTransform const& transform) {
        Engine& engine = Engine::instance();
        Drawer& drawer = SharedDrawer();
        drawer.set_color(color);
        engine.set_state(STATE_LIGHTING, false);
        const Frame dest = transform * dest_frame;
        if (effect.valid) {
            // The effect samples its own textures; the image's is not bound
            // and the quad is not turned.
            engine.apply_effect(effect);
            drawer.draw_rect(dest, src_frame, true, 0.5f, ConstSmartPtr<Texture>(), 0.0f);
            engine.unapply_effect();
        } else {
            drawer.draw_rect(dest, src_frame, true, 0.5f, texture_, angle);
        }
    }

    // Draws with the identity transform (no offset, unit scale, no rounding).
    virtual void draw() { draw(FrameTransform(false)); }

    SmartPtr<Texture> texture() const { return texture_; }

    // Replaces the texture; an attached effect samples the new one as its
    // texture 1.
    void set_texture(SmartPtr<Texture> texture) {
        texture_ = texture;
        if (effect.valid) Engine::instance().update_effect_texture(effect, 1, texture_);
    }

    // Attaches (or, with null, frees) the dissolve effect with this mask; a
    // second mask only replaces the effect's texture 0.
    void set_dissolve_texture(SmartPtr<Texture> mask) {
        Engine& engine = Engine::instance();
        if (!mask) {
            if (effect.valid) effect = engine.free_effect(effect);
            return;
        }
        if (effect.valid) {
            engine.update_effect_texture(effect, 0, mask);
            return;
        }
        EffectDesc desc;
        desc.name = "dissolve_shader";
        desc.textures.push_back(mask);
        desc.textures.push_back(texture_);
        desc.parameters["threshold"] = Variant(threshold);
        desc.parameters["alphaRange"] = Variant(alpha_range);
        desc.parameters["interval"] = Variant(interval);
        effect = engine.create_effect(desc);
    }

    // Stores the dissolve parameters and hands them to the effect, if any.
    void set_dissolve_parameters(float threshold_, float alpha_range_, float interval_) {
        threshold = threshold_;
        alpha_range = alpha_range_;
        interval = interval_;
        if (!effect.valid) return;
        Engine& engine = Engine::instance();
        engine.set_effect_parameter(effect, "threshold", Variant(threshold));
        engine.set_effect_parameter(effect, "alphaRange", Variant(alpha_range));
        engine.set_effect_parameter(effect, "interval", Variant(interval));
    }

private:
    SmartPtr<Texture> texture_;

public:
    EffectHandle effect;
    Frame dest_frame;
    Frame src_frame;
    Color color;
    float angle;
    // Dissolve parameters.
    float threshold = 0.0f;
    float alpha_range = 0.0f;
    float interval = 1e6f;
};

}  // namespace vo
