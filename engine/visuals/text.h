#pragma once

#include "engine/core/color.h"
#include "engine/core/frame.h"
#include "engine/core/smart_ptr.h"
#include "engine/core/vector.h"
#include "engine/visuals/font.h"

#include <string>

namespace vo {

class IndexBuffer;
class Texture;
class VertexBuffer;

// A drawable piece of text: a string in a font at a character height, a
// colour, an optional wrapping width and a position (its upper-left corner,
// in pixels with y downward). Its geometry is rebuilt by every setter that
// changes it, so that drawing is one indexed draw call. Copies share the
// font, the atlas and the buffers.
class Text {
public:
    Text();
    Text(const Text& other);
    Text& operator=(const Text& other);
    ~Text();

    // The font new texts start with; texts made earlier keep theirs.
    static void set_default_font(SmartPtr<Font> font);
    static SmartPtr<Font> s_defaultFont;

    // Stores all five, then wraps and rebuilds once.
    void set(SmartPtr<Font> font, const char* text, float height, Color const& color, float max_width);
    void set_text(const char* text);
    void set_font(SmartPtr<Font> font);
    void set_text_height(float height);
    // No wrapping while the width is not above 0.
    void set_max_width(float width);
    void set_color(Color const& color);
    // Applied when drawing; rebuilds nothing.
    void set_position(vector3 const& position);

    const char* text() const { return text_.c_str(); }
    const char* wrapped_text() const { return wrapped_text_.c_str(); }
    bool empty() const { return text_.empty(); }
    SmartPtr<Font> font() const { return font_; }
    float text_height() const { return text_height_; }
    float max_width() const { return max_width_; }
    Color color() const { return color_; }
    vector3 position() const { return position_; }

    // The laid-out extent placed at the position: left = x, top = y.
    Frame content_frame() const;

    virtual void draw() const;

protected:
    void wrap_text();
    void refresh_visuals();
    // h over the character height of the font's current face.
    float text_scale(float h) const;

private:
    vector3 position_;
    SmartPtr<Texture> texture_;
    SmartPtr<VertexBuffer> vertex_buffer_;
    SmartPtr<IndexBuffer> index_buffer_;
    Frame content_frame_;
    SmartPtr<Font> font_;
    std::string text_;
    std::string wrapped_text_;
    float text_height_;
    float max_width_;
    Color color_;
};

}  // namespace vo
