#pragma once

// What an explosion type (a child of "explosionTypes" in weapons.info)
// gives for a key it leaves out or that does not read. A weapon whose
// explosion type names none explodes with all of them and no sound.

namespace vo {

struct ExplosionTypeDefaults {
    static constexpr float radius = 1.0f;
    static constexpr float damage = 10.0f;
    static constexpr float force = 1000.0f;
    static constexpr float peak_delay = 0.2f;  // seconds
    static constexpr float sound_volume = 100.0f;
};

}  // namespace vo
