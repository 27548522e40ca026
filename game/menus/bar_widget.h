#pragma once

// A bar of segments, one per value: the life bar of a team, a segment per
// slob. A segment fills with its value between a minimum and a maximum (any
// positive whole value shows at least 15 %); behind the fill a paler ghost
// can keep an earlier fill, so that what was lost stays visible.

#include "engine/core/color.h"
#include "engine/core/frame.h"
#include "engine/core/vector.h"
#include "engine/visuals/image.h"
#include "engine/widgets/widget.h"

#include <vector>

namespace vo {

class BarWidget : public Widget {
public:
    // Inner frame 90 x 30, a single full value.
    BarWidget(Widget* parent, unsigned flags);
    ~BarWidget() override;

    // "bar": the image of a filled segment (after the widget's own handling).
    void set_property(const char* name, Image const& image) override;
    // "boundaryOffset": the inset of the segments from the inner frame.
    void set_property(const char* name, vector2 const& value) override;
    // "spacer": the gap between segments.
    void set_property(const char* name, float value) override;
    // Background and border, then every segment.
    void on_draw() override;

    // The shown part (0 .. 1) of a segment of value v: the whole-number part
    // of v between min_value and max_value, at least 0.15 when above the
    // minimum, 1 above the maximum, 0 at or below the minimum or when the
    // range is empty.
    float fill(float value) const;
    // Every segment's ghost becomes its current fill.
    void reset_ghost();

    Image bar_image;
    Color background_color = Color(0.1f, 0.1f, 0.1f, 0.8f);
    Color ghost_color = Color(0.0f, 1.0f, 0.0f, 0.35f);
    Color fill_color = Color(0.0f, 1.0f, 0.0f, 1.0f);
    float min_value = 0.0f;
    float max_value = 1.0f;
    std::vector<float> values;
    std::vector<float> ghost_values;  // fill fractions, drawn behind the fill
    float spacer = 1.0f;
    vector2 boundaryOffset;

protected:
    // One part of a segment: the bar image cut to the fraction of its width
    // and tinted, or without an image a filled rectangle with a black outline.
    void draw_segment(Frame const& rect, float fraction, Color const& colour);
};

}  // namespace vo
