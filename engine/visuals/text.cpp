#include "engine/visuals/text.h"

#include "engine/sfml/engine.h"
#include "engine/visuals/font.h"
#include "engine/visuals/text_layout.h"

#include <cmath>

namespace vo {

SmartPtr<Font> Text::s_defaultFont;

Text::Text()
    : position_(0.0f, 0.0f, 0.0f),
      vertex_buffer_(Engine::instance().create_vertex_buffer()),
      index_buffer_(Engine::instance().create_index_buffer()),
      font_(s_defaultFont),
      text_height_(20.0f),
      max_width_(-1.0f),
      color_(0.5f, 0.5f, 0.5f, 1.0f) {}

Text::Text(const Text& other) = default;
Text& Text::operator=(const Text& other) = default;
Text::~Text() = default;

void Text::set_default_font(SmartPtr<Font> font) { s_defaultFont = font; }

void Text::set(SmartPtr<Font> font, const char* text, float height, Color const& color, float max_width) {
    font_ = font;
    text_ = text ? text : "";
    text_height_ = height;
    color_ = color;
    max_width_ = max_width;
    wrap_text();
    refresh_visuals();
}

void Text::set_text(const char* text) {
    text_ = text ? text : "";
    wrap_text();
    refresh_visuals();
}

void Text::set_font(SmartPtr<Font> font) {
    font_ = font;
    wrap_text();
    refresh_visuals();
}

void Text::set_text_height(float height) {
    text_height_ = height;
    wrap_text();
    refresh_visuals();
}

void Text::set_max_width(float width) {
    max_width_ = width;
    wrap_text();
    refresh_visuals();
}

void Text::set_color(Color const& color) {
    color_ = color;
    refresh_visuals();
}

void Text::set_position(vector3 const& position) { position_ = position; }

Frame Text::content_frame() const {
    return Frame(position_.x, position_.y, position_.x + content_frame_.right(), position_.y + content_frame_.bottom());
}

float Text::text_scale(float h) const { return h / font_->character_height(); }

void Text::wrap_text() {
    if (text_.empty() || !font_ || !(max_width_ > 0.0f)) {
        wrapped_text_ = text_;
        return;
    }
    // Measure with the face the text is drawn with, not whichever face of the
    // font another text left current.
    font_->set_character_height(std::trunc(text_height_));
    if (!(font_->character_height() > 0.0f)) {
        wrapped_text_ = text_;
        return;
    }
    wrapped_text_ = WrapText(text_.c_str(), *font_, text_scale(text_height_), max_width_);
}

void Text::refresh_visuals() {
    if (!font_ || text_.empty()) return;
    font_->set_character_height(std::trunc(text_height_));
    texture_ = font_->texture();
    const AABox box = CreateTextGeometry(*vertex_buffer_, *index_buffer_, wrapped_text_.c_str(), *font_,
                                         vector3(-0.5f, -0.5f, 0.0f), vector3(1.0f, 0.0f, 0.0f),
                                         vector3(0.0f, 1.0f, 0.0f), color_);
    content_frame_ = Frame(0.0f, 0.0f, box.max.x - box.min.x, box.max.y - box.min.y);
}

void Text::draw() const {
    if (text_.empty() || !vertex_buffer_) return;
    Engine& engine = Engine::instance();
    engine.push_matrix(true, false, false);
    engine.translate(position_.x, position_.y, position_.z);
    engine.set_texture(texture_);
    engine.set_vertex_buffer(vertex_buffer_);
    engine.set_index_buffer(index_buffer_);
    engine.set_state(STATE_LIGHTING, false);
    engine.set_state(STATE_BLENDING, true);
    engine.draw_indexed(0, static_cast<int>(vertex_buffer_->num_vertices()), 0,
                        static_cast<int>(index_buffer_->num_indices()), 0, PRIMITIVE_TRIANGLES);
    engine.pop_matrix(true, false, false);
}

}  // namespace vo
