#include "engine/visuals/sprite.h"

#include "engine/core/crc32.h"

namespace vo {

const char* Sprite::TYPE_NAME() { return "Sprite"; }
unsigned int Sprite::TYPE_ID() {
    static const unsigned int id = crc32(TYPE_NAME());
    return id;
}

Sprite::Sprite() = default;

Sprite::Sprite(vector3 const& position, vector2 const& scaling, float rotation, Image const& image) : image_(image) {
    transform_.position = position;
    transform_.scaling = scaling;
    transform_.rotation = rotation;
}

Sprite::~Sprite() = default;

const char* Sprite::object_type_name() const { return TYPE_NAME(); }
unsigned int Sprite::object_type_id() const { return TYPE_ID(); }
bool Sprite::is_animated() const { return false; }

void Sprite::draw() const {
    if (!visible_) return;
    Engine& engine = Engine::instance();
    engine.push_matrix(true, false, false);
    // Keep the matrix stack balanced even when the image's draw throws.
    struct Pop {
        Engine& engine;
        ~Pop() { engine.pop_matrix(true, false, false); }
    } pop{engine};
    engine.translate(transform_.position.x, transform_.position.y, transform_.position.z);
    engine.scale(transform_.scaling.x, transform_.scaling.y, 1.0f);
    engine.rotate(transform_.rotation, 0.0f, 0.0f, -1.0f);
    image_.draw();
}

}  // namespace vo
