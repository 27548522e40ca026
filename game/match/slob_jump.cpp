#include "game/match/slob_jump.h"

#include "engine/physics/soft_body.h"

namespace vo {

void LaunchJump(SoftBody& body, const vector3& up, float speed) {
    body.clear_sticky_particles();
    for (int i = 0; i < body.num_particles(); ++i) {
        vector3 v = body.particle_get_velocity(i);
        const float along = v.x * up.x + v.y * up.y + v.z * up.z;
        if (along < 0.0f) {
            v.x -= up.x * along;
            v.y -= up.y * along;
            v.z -= up.z * along;
        }
        v.x += up.x * speed;
        v.y += up.y * speed;
        v.z += up.z * speed;
        body.particle_set_velocity(i, v);
    }
}

}  // namespace vo
