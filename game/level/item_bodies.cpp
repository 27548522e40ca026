// The level scene's item bodies: round soft bodies lying on the level, drawn
// with the item's image, that a slob picks up by touching them.

#include "engine/core/tree_readers.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_circle.h"
#include "engine/physics/soft_body_desc.h"
#include "engine/scene/transform_behavior.h"
#include "engine/visuals/image.h"
#include "game/behaviors/item.h"
#include "game/behaviors/soft_body.h"
#include "game/behaviors/soft_body_entities.h"
#include "game/level/level_scene.h"

#include <memory>

namespace vo {

namespace {

// Item bodies are drawn this many times their physical size.
constexpr float kItemVisualScale = 1.2f;

}  // namespace

Entity* LevelScene::create_item(const std::string& path, const vector3& position) {
    const ptree& item = items.get_child(path);
    SoftBodyDesc desc;
    InitSoftBodyDescNoTexture(desc, items, "itemBody.");
    const Image image = ReadImage(item.get_child("image"));
    desc.tex_x1 = image.src_frame.left();
    desc.tex_y1 = image.src_frame.top();
    desc.tex_x2 = image.src_frame.right();
    desc.tex_y2 = image.src_frame.bottom();

    SmartPtr<SoftBody> body(new SoftBody());
    CreateSoftBody_Circle(*body, desc);
    body->set_sticky_scale(settings().stickyScale, 0.0);

    std::unique_ptr<SoftBodyEntity> entity(new SoftBodyEntity());
    entity->set_soft_body(body);
    entity->soft_body_behavior()->set_visual_scale(kItemVisualScale);
    entity->set_texture(image.texture());
    entity->add_behavior<behaviors::Item>()->description = item;

    SoftBodyEntity* result = entity.get();
    add_entity(entity.release(), true);
    SetPosition(result, position);
    body->clear_sticky_particles();
    result->update(0.0f);
    return result;
}

}  // namespace vo
