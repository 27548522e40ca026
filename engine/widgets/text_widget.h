#pragma once

#include "engine/core/frame.h"
#include "engine/visuals/text.h"
#include "engine/widgets/widget.h"

namespace vo {

class Font;

// A widget showing one text aligned inside its inner frame, with its own
// character height in layout units, an optional wrapping width and an
// alignment made of the WS_ALIGN_* bits (both bits of an axis centre).
class TextWidget : public Widget {
public:
    explicit TextWidget(Widget* parent = nullptr, unsigned state = WS_DEFAULT_STATE);
    ~TextWidget() override;

    using Widget::estimate_height;
    using Widget::estimate_width;
    using Widget::transform;

    // Overridden operations of Widget.
    float estimate_width() const override;
    float estimate_height() const override;
    void adjust_to_content(bool resize) override;
    void transform(FrameTransform const& transform) override;

    // Appended operations, in this order.
    virtual void set_text(const char* text);
    virtual void set_font(SmartPtr<Font> const& font);
    // In layout units; the text gets it times the transform's y scale.
    virtual void set_text_height(float height);
    // Changes the text's colour only; styles do not reach it.
    virtual void set_text_color(Color const& color);
    // Wrapping width; 0 for none of its own.
    virtual void set_max_width(float width);
    virtual void set_text_align(unsigned alignment);
    virtual SmartPtr<Font> font() const;
    virtual const char* text() const;
    // The text's height in pixels.
    virtual float text_height() const;
    virtual Color color() const;
    virtual float max_width() const;

protected:
    // Where the laid-out text lies, in pixels relative to the widget's corner.
    virtual Frame local_text_frame();

    void on_draw() override;
    void frame_changed() override;

private:
    void update_text_position();

    Text text_;
    Frame local_text_frame_;
    float text_height_;
    float text_scale_;
    float max_width_ = 0.0f;
    unsigned text_alignment_ = WS_ALIGN_LEFT | WS_ALIGN_TOP | WS_ALIGN_RIGHT | WS_ALIGN_BOTTOM;
};

}  // namespace vo
