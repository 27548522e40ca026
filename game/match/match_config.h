#pragma once

// The match's own settings, read from "game_config.info" of the configuration
// folder. Every field is named after its key (a dotted key is a member of a
// group: "camera.minBoxSize" is camera.minBoxSize) and holds the key's default
// from construction on, so nothing reads an unset value before the first load.

#include "engine/core/color.h"
#include "engine/core/config.h"
#include "engine/physics/particle_handler.h"

#include <functional>
#include <string>
#include <vector>

namespace vo {

// One drawn background (or foreground) layer, from a child "layer" of the
// section "parallaxLayers".
struct ParallaxLayer {
    float distance = 100.0f;  // >= 0 behind the level, < 0 in front of it
    std::string texture;
    float scrollSpeedX = 0.0f;
    float scrollSpeedY = 0.0f;
    float textureScaleX = 1.0f;
    float textureScaleY = 1.0f;
    float textureOffsetX = 0.0f;
    float textureOffsetY = 0.0f;
    float geometryScaleX = 1.0f;
    float geometryScaleY = 1.0f;
    float geometryOffsetX = 0.0f;
    float geometryOffsetY = 0.0f;
    float opacity = 1.0f;
    Color color = Color(1.0f, 1.0f, 1.0f, 1.0f);  // "colorR", "colorG", "colorB"; alpha = opacity
    float rotation = 0.0f;
    bool textureRepeat = true;
};

// The particle description of lava with its own extra key.
struct LavaParticleDesc : ParticleHandler::ParticleDesc {
    float explosionDensityInv = 1.5f;
};

// The particle description of stone debris with its own extra key.
struct StoneParticleDesc : ParticleHandler::ParticleDesc {
    float numParticlesPerSquare = 1.0f;
};

// Most mines the match lays: each is a body placed on the level at the
// start of a round.
constexpr int kMaxMines = 64;

class MatchConfig {
public:
    // The file's name in the configuration folder.
    static const char* const FILE_NAME;  // "game_config.info"

    // Every field at its default, no layers.
    MatchConfig();

    // Sets every field from its key of tree, or to its default when the key
    // is missing or its text does not convert completely (whole numbers take
    // no fractional part). The layer list is rebuilt. Values that would stall
    // the match or make its arithmetic infinite are raised into range, with
    // one warning line each on standard output.
    void read(const ptree& tree);

    // A value read brought into its range: the key, the value as read and
    // the value used instead.
    struct Repair {
        std::string key;
        double read;
        double used;
    };
    // read without a word: what it brought into range, in the order of its
    // checks.
    std::vector<Repair> read_quietly(const ptree& tree);

    // The field of view the scene camera is given for "camera.fieldOfViewY":
    // forced into 1 .. 179 degrees (a NaN gives 1).
    static float applied_field_of_view(float degrees);

    // The fourteen particle keys below prefix ("lavaDesc", "stoneParticleDesc"),
    // each with its default.
    static ParticleHandler::ParticleDesc read_particle_desc(const ptree& tree, const std::string& prefix);

    // Looks at the tree of a file just read, before anything takes it over,
    // and refuses the file by throwing Error.
    using Check = std::function<void(const ptree&)>;

    // Reads the INFO file at path, lets check (when given) look at it, then
    // reads the record from it; on success the parsed tree is swapped into
    // tree. A file that cannot be opened or parsed raises the INFO parser's
    // error (its text names the file and the line), a refused one the
    // check's Error; the record and tree then keep what they held.
    void load(const std::string& path, ptree& tree, const Check& check = Check());

    // load for a file read again during play: a file that has become
    // unreadable or is refused is reported as a warning and the record and
    // tree keep the values of the last good load. True when the file was
    // read.
    bool reload(const std::string& path, ptree& tree, const Check& check = Check());

    std::string roundTimerFont;
    float teamNameTextHeight = 30.0f;
    float accelerationForce = 20.0f;
    float airAccelerationForce = 2.0f;
    float airAccelerationDamping = 0.0f;
    float jumpVelocity = 500.0f;
    float jumpNormalThreshold = 0.1f;
    float gravity = 10.0f;
    float touchDelay = 0.2f;
    float stickyDelay = 0.2f;
    float stickyScale = 1.0f;
    int numPowerupsPerTeam = 4;
    int numWorldRotates = 2;
    double roundTime = 45.0;  // <= 0: no turn limit
    float roundTimeTextHeight = 40.0f;
    float stickyDotThreshold = -0.9f;
    float restRadius = 0.2f;
    double restTime = 0.5;
    int numMines = 4;
    double newTurnTransitionTime = 1.0;  // at least one step
    float newTurnBodyDamping = 1.0f;
    double minTimeBetweenScreams = 0.75;
    double maxTimeBetweenScreams = 1.5;

    struct Camera {
        float minBoxSize = 20.0f;         // > 0
        double refreshInterval = 0.5;     // > 0
        double historyDuration = 1.0;
        float maxCustomOffset = 100.0f;   // > 0
        float nearClippingPlane = 0.1f;
        float farClippingPlane = 1500.0f;
        float fieldOfViewY = 90.0f;
        float speed = 1.0f;
        float offsetFactor = 0.0f;
        float zoomSpeed = 0.1f;
        int interpStepSize = 2;           // read as a number, truncated; >= 1
        float interpMaxSteps = 5.0f;      // read as a whole number; 1 .. 100
        float explosionShakeAmplitude = 2.0f;
        float explosionShakeIterations = 5.0f;
        double explosionShakeTime = 0.4;
        float explosionShakeDamping = 0.75f;
    } camera;

    float aimRotationSpeed = 90.0f;
    double maxShootTime = 1.0;  // > 0

    struct Background {
        bool rotates = true;
    } background;

    struct Area {
        float rimWidth = 3.0f;
        float uvScale = 0.1f;
        std::string blendTexture1 = "bw_test.png";
        std::string blendTexture2 = "bw_test.png";
        std::string diffuseTexture1 = "tmp_lvl_tex.png";
        std::string diffuseTexture2 = "tmp_lvl_tex.png";
        std::string lavaTexture = "tmp_lvl_tex.png";
        std::string lavaBorderTexture = "tmp_lvl_tex.png";
        std::string lavaFlowTexture = "tmp_lvl_tex.png";
        float lavaTextureScale = 1.0f;
        float lavaFlowPhaseDuration = 4.0f;
        float lightRadiusMinFac = 1.0f;
        float lightRadiusMaxFac = 3.0f;
    } area;

    struct RandArea {
        int seed = 1;
        float radius = 40.0f;
        float numCircles = 30.0f;
        float minCircleRadius = 5.0f;
        float maxCircleRadius = 15.0f;
    } randArea;

    struct RandLava {
        int seed = 54645;
        float innerRimRadius = 20.0f;
        float outerRimRadius = 40.0f;
        float numFields = 20.0f;
        float fieldRadius = 5.0f;
        float numSubCirclesPerField = 8.0f;
        float subCircleRadius = 2.0f;
    } randLava;

    LavaParticleDesc lavaDesc;
    double lavaEmissionDuration = 2.0;      // >= 0
    float lavaEmissionVelocity = 3.0f;
    double lavaEmissionBaseInterval = 0.1;  // >= 0
    float lavaEmissionUVSpeed = 3.0f;
    StoneParticleDesc stoneParticleDesc;

    std::vector<ParallaxLayer> parallaxLayers;  // in file order
};

// The particle description every particle key defaults to.
ParticleHandler::ParticleDesc DefaultParticleDesc();

}  // namespace vo
