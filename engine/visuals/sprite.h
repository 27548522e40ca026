#pragma once

#include "engine/core/vector.h"
#include "engine/visuals/image.h"
#include "engine/visuals/visual.h"

namespace vo {

// An image drawn as a quad with its own position, scaling, rotation and
// visibility; the image's destination frame is given in the sprite's own
// units around its position.
class Sprite : public IVisual {
public:
    struct Transform {
        vector3 position = vector3(0.0f, 0.0f, 0.0f);
        vector2 scaling = vector2(1.0f, 1.0f);
        float rotation = 0.0f;  // degrees, clockwise on a y-up screen
    };

    static const char* TYPE_NAME();
    static unsigned int TYPE_ID();

    Sprite();
    Sprite(vector3 const& position, vector2 const& scaling, float rotation, Image const& image);
    ~Sprite() override;

    const char* object_type_name() const override;
    unsigned int object_type_id() const override;
    bool is_animated() const override;
    // Nothing when invisible. Otherwise, on the model-view matrix only:
    // translate to the position, scale, rotate about -z, draw the image.
    void draw() const override;

    void set_image(Image const& image) { image_ = image; }
    Image& image() { return image_; }
    Image const& image() const { return image_; }

    void set_position(vector3 const& position) { transform_.position = position; }
    void set_scaling(vector2 const& scaling) { transform_.scaling = scaling; }
    void set_rotation(float degrees) { transform_.rotation = degrees; }
    void set_transform(Transform const& transform) { transform_ = transform; }
    Transform const& transform() const { return transform_; }

    void set_visible(bool visible) { visible_ = visible; }
    bool is_visible() const { return visible_; }

private:
    // Drawing an image is not const (its draw operations are not).
    mutable Image image_;
    Transform transform_;
    bool visible_ = true;
};

}  // namespace vo
