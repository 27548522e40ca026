#include "game/match/match_config.h"

#include "engine/core/error.h"
#include "engine/core/info_file.h"
#include <boost/property_tree/ptree.hpp>

#include <climits>
#include <iostream>
#include <locale>
#include <stdexcept>

namespace vo {

const char* const MatchConfig::FILE_NAME = "game_config.info";

namespace {

void WarnKept(const std::string& path, const char* why) {
    std::cout << "WARNING: couldn't reload " << path << ": " << why << "; keeping the previous values" << std::endl;
}

// The smallest value of the settings that must stay above 0: sizes, times and
// densities that are divided by.
constexpr float kSmallestPositive = 0.01f;
constexpr double kSmallestPositiveTime = 0.01;
// The shortest turn transition: one fixed step, so the phases that wait for
// it always end.
constexpr double kOneStep = 1.0 / 60.0;

template <class T>
void Repaired(std::vector<MatchConfig::Repair>& repairs, const std::string& key, T read, T used) {
    repairs.push_back(MatchConfig::Repair{key, static_cast<double>(read), static_cast<double>(used)});
}

// Raises value to at least low (a NaN becomes low too).
template <class T>
void AtLeast(std::vector<MatchConfig::Repair>& repairs, const std::string& key, T& value, T low) {
    if (value >= low) return;
    Repaired(repairs, key, value, low);
    value = low;
}

// Keeps value within low .. high.
template <class T>
void Within(std::vector<MatchConfig::Repair>& repairs, const char* key, T& value, T low, T high) {
    if (value > high) {
        Repaired(repairs, key, value, high);
        value = high;
        return;
    }
    AtLeast(repairs, key, value, low);
}

void ClampParticleDesc(std::vector<MatchConfig::Repair>& repairs, const std::string& prefix,
                       ParticleHandler::ParticleDesc& desc) {
    AtLeast(repairs, prefix + ".particleRadius", desc.particleRadius, kSmallestPositive);
    AtLeast(repairs, prefix + ".minLiveTime", desc.minLiveTime, 0.0);
    AtLeast(repairs, prefix + ".maxLiveTime", desc.maxLiveTime, 0.0);
}

// "camera.interpStepSize" is written as a number and kept as a whole number,
// truncated toward zero; it must be at least 1.
int ReadStepSize(std::vector<MatchConfig::Repair>& repairs, const ptree& tree, const char* key, int def) {
    const float read = tree.get<float>(key, static_cast<float>(def));
    if (!(read >= 1.0f)) {
        Repaired(repairs, key, read, 1.0f);
        return 1;
    }
    if (read >= static_cast<float>(INT_MAX)) {
        Repaired(repairs, key, read, static_cast<float>(INT_MAX));
        return INT_MAX;
    }
    return static_cast<int>(read);
}

ParallaxLayer ReadLayer(const ptree& node) {
    const ParallaxLayer d;
    ParallaxLayer layer;
    layer.distance = node.get("distance", d.distance);
    layer.texture = node.get("texture", d.texture);
    layer.scrollSpeedX = node.get("scrollSpeedX", d.scrollSpeedX);
    layer.scrollSpeedY = node.get("scrollSpeedY", d.scrollSpeedY);
    layer.textureScaleX = node.get("textureScaleX", d.textureScaleX);
    layer.textureScaleY = node.get("textureScaleY", d.textureScaleY);
    layer.textureOffsetX = node.get("textureOffsetX", d.textureOffsetX);
    layer.textureOffsetY = node.get("textureOffsetY", d.textureOffsetY);
    layer.geometryScaleX = node.get("geometryScaleX", d.geometryScaleX);
    layer.geometryScaleY = node.get("geometryScaleY", d.geometryScaleY);
    layer.geometryOffsetX = node.get("geometryOffsetX", d.geometryOffsetX);
    layer.geometryOffsetY = node.get("geometryOffsetY", d.geometryOffsetY);
    layer.opacity = node.get("opacity", d.opacity);
    layer.color = Color(node.get("colorR", d.color.r), node.get("colorG", d.color.g), node.get("colorB", d.color.b),
                        layer.opacity);
    layer.rotation = node.get("rotation", d.rotation);
    layer.textureRepeat = node.get("textureRepeat", d.textureRepeat);
    return layer;
}

}  // namespace

ParticleHandler::ParticleDesc DefaultParticleDesc() {
    ParticleHandler::ParticleDesc d;
    d.friction = 10.0f;
    d.hardness = 0.2f;
    d.particlesInteract = true;
    d.particleRadius = 0.5f;
    d.repulsionForce = 100.0f;
    d.repulsionMagnifier = 10.0f;
    d.attractionRadius = 0.75f;
    d.attractionForce = 5.0f;
    d.velocityInteraction = 10.0f;
    d.softbodyRepulsionForce = 0.1f;
    d.damagePerSecond = 1.0f;
    d.minLiveTime = 4.0;
    d.maxLiveTime = 6.0;
    d.massInv = 1.0;
    return d;
}

MatchConfig::MatchConfig() {
    static_cast<ParticleHandler::ParticleDesc&>(lavaDesc) = DefaultParticleDesc();
    static_cast<ParticleHandler::ParticleDesc&>(stoneParticleDesc) = DefaultParticleDesc();
}

ParticleHandler::ParticleDesc MatchConfig::read_particle_desc(const ptree& tree, const std::string& prefix) {
    const ParticleHandler::ParticleDesc d = DefaultParticleDesc();
    const auto key = [&prefix](const char* suffix) { return prefix + suffix; };
    ParticleHandler::ParticleDesc desc;
    desc.friction = tree.get(key(".friction"), d.friction);
    desc.hardness = tree.get(key(".hardness"), d.hardness);
    desc.particlesInteract = tree.get(key(".particlesInteract"), d.particlesInteract);
    desc.particleRadius = tree.get(key(".particleRadius"), d.particleRadius);
    desc.repulsionForce = tree.get(key(".repulsionForce"), d.repulsionForce);
    desc.repulsionMagnifier = tree.get(key(".repulsionMagnifier"), d.repulsionMagnifier);
    desc.attractionRadius = tree.get(key(".attractionRadius"), d.attractionRadius);
    desc.attractionForce = tree.get(key(".attractionForce"), d.attractionForce);
    desc.velocityInteraction = tree.get(key(".velocityInteraction"), d.velocityInteraction);
    desc.softbodyRepulsionForce = tree.get(key(".softbodyRepulsionForce"), d.softbodyRepulsionForce);
    desc.damagePerSecond = tree.get(key(".damagePerSecond"), d.damagePerSecond);
    desc.minLiveTime = tree.get(key(".minLiveTime"), d.minLiveTime);
    desc.maxLiveTime = tree.get(key(".maxLiveTime"), d.maxLiveTime);
    // Read in single precision, kept in double.
    desc.massInv = tree.get(key(".massInv"), static_cast<float>(d.massInv));
    return desc;
}

void MatchConfig::read(const ptree& tree) {
    for (const Repair& repair : read_quietly(tree))
        std::cout << "WARNING: " << FILE_NAME << ": " << repair.key << " " << repair.read << " is out of range, using "
                  << repair.used << std::endl;
}

float MatchConfig::applied_field_of_view(float degrees) {
    if (degrees > 179.0f) return 179.0f;
    if (!(degrees >= 1.0f)) return 1.0f;  // NaN too
    return degrees;
}

std::vector<MatchConfig::Repair> MatchConfig::read_quietly(const ptree& tree) {
    const MatchConfig d;  // the defaults
    std::vector<Repair> repairs;

    roundTimerFont = tree.get("roundTimerFont", d.roundTimerFont);
    teamNameTextHeight = tree.get("teamNameTextHeight", d.teamNameTextHeight);
    accelerationForce = tree.get("accelerationForce", d.accelerationForce);
    airAccelerationForce = tree.get("airAccelerationForce", d.airAccelerationForce);
    airAccelerationDamping = tree.get("airAccelerationDamping", d.airAccelerationDamping);
    jumpVelocity = tree.get("jumpVelocity", d.jumpVelocity);
    jumpNormalThreshold = tree.get("jumpNormalThreshold", d.jumpNormalThreshold);
    gravity = tree.get("gravity", d.gravity);
    touchDelay = tree.get("touchDelay", d.touchDelay);
    stickyDelay = tree.get("stickyDelay", d.stickyDelay);
    stickyScale = tree.get("stickyScale", d.stickyScale);
    numPowerupsPerTeam = tree.get("numPowerupsPerTeam", d.numPowerupsPerTeam);
    numWorldRotates = tree.get("numWorldRotates", d.numWorldRotates);
    roundTime = tree.get("roundTime", d.roundTime);
    roundTimeTextHeight = tree.get("roundTimeTextHeight", d.roundTimeTextHeight);
    stickyDotThreshold = tree.get("stickyDotThreshold", d.stickyDotThreshold);
    restRadius = tree.get("restRadius", d.restRadius);
    restTime = tree.get("restTime", d.restTime);
    numMines = tree.get("numMines", d.numMines);
    newTurnTransitionTime = tree.get("newTurnTransitionTime", d.newTurnTransitionTime);
    newTurnBodyDamping = tree.get("newTurnBodyDamping", d.newTurnBodyDamping);
    minTimeBetweenScreams = tree.get("minTimeBetweenScreams", d.minTimeBetweenScreams);
    maxTimeBetweenScreams = tree.get("maxTimeBetweenScreams", d.maxTimeBetweenScreams);

    camera.minBoxSize = tree.get("camera.minBoxSize", d.camera.minBoxSize);
    camera.refreshInterval = tree.get("camera.refreshInterval", d.camera.refreshInterval);
    camera.historyDuration = tree.get("camera.historyDuration", d.camera.historyDuration);
    camera.maxCustomOffset = tree.get("camera.maxCustomOffset", d.camera.maxCustomOffset);
    camera.nearClippingPlane = tree.get("camera.nearClippingPlane", d.camera.nearClippingPlane);
    camera.farClippingPlane = tree.get("camera.farClippingPlane", d.camera.farClippingPlane);
    camera.fieldOfViewY = tree.get("camera.fieldOfViewY", d.camera.fieldOfViewY);
    camera.speed = tree.get("camera.speed", d.camera.speed);
    camera.offsetFactor = tree.get("camera.offsetFactor", d.camera.offsetFactor);
    camera.zoomSpeed = tree.get("camera.zoomSpeed", d.camera.zoomSpeed);
    camera.interpStepSize = ReadStepSize(repairs, tree, "camera.interpStepSize", d.camera.interpStepSize);
    // Written as a whole number, kept as a float.
    camera.interpMaxSteps =
        static_cast<float>(tree.get("camera.interpMaxSteps", static_cast<int>(d.camera.interpMaxSteps)));
    camera.explosionShakeAmplitude = tree.get("camera.explosionShakeAmplitude", d.camera.explosionShakeAmplitude);
    camera.explosionShakeIterations = tree.get("camera.explosionShakeIterations", d.camera.explosionShakeIterations);
    camera.explosionShakeTime = tree.get("camera.explosionShakeTime", d.camera.explosionShakeTime);
    camera.explosionShakeDamping = tree.get("camera.explosionShakeDamping", d.camera.explosionShakeDamping);

    aimRotationSpeed = tree.get("aimRotationSpeed", d.aimRotationSpeed);
    maxShootTime = tree.get("maxShootTime", d.maxShootTime);
    background.rotates = tree.get("background.rotates", d.background.rotates);

    area.rimWidth = tree.get("area.rimWidth", d.area.rimWidth);
    area.uvScale = tree.get("area.uvScale", d.area.uvScale);
    area.blendTexture1 = tree.get("area.blendTexture1", d.area.blendTexture1);
    area.blendTexture2 = tree.get("area.blendTexture2", d.area.blendTexture2);
    area.diffuseTexture1 = tree.get("area.diffuseTexture1", d.area.diffuseTexture1);
    area.diffuseTexture2 = tree.get("area.diffuseTexture2", d.area.diffuseTexture2);
    area.lavaTexture = tree.get("area.lavaTexture", d.area.lavaTexture);
    area.lavaBorderTexture = tree.get("area.lavaBorderTexture", d.area.lavaBorderTexture);
    area.lavaFlowTexture = tree.get("area.lavaFlowTexture", d.area.lavaFlowTexture);
    area.lavaTextureScale = tree.get("area.lavaTextureScale", d.area.lavaTextureScale);
    area.lavaFlowPhaseDuration = tree.get("area.lavaFlowPhaseDuration", d.area.lavaFlowPhaseDuration);
    area.lightRadiusMinFac = tree.get("area.lightRadiusMinFac", d.area.lightRadiusMinFac);
    area.lightRadiusMaxFac = tree.get("area.lightRadiusMaxFac", d.area.lightRadiusMaxFac);

    randArea.seed = tree.get("randArea.seed", d.randArea.seed);
    randArea.radius = tree.get("randArea.radius", d.randArea.radius);
    randArea.numCircles = tree.get("randArea.numCircles", d.randArea.numCircles);
    randArea.minCircleRadius = tree.get("randArea.minCircleRadius", d.randArea.minCircleRadius);
    randArea.maxCircleRadius = tree.get("randArea.maxCircleRadius", d.randArea.maxCircleRadius);

    randLava.seed = tree.get("randLava.seed", d.randLava.seed);
    randLava.innerRimRadius = tree.get("randLava.innerRimRadius", d.randLava.innerRimRadius);
    randLava.outerRimRadius = tree.get("randLava.outerRimRadius", d.randLava.outerRimRadius);
    randLava.numFields = tree.get("randLava.numFields", d.randLava.numFields);
    randLava.fieldRadius = tree.get("randLava.fieldRadius", d.randLava.fieldRadius);
    randLava.numSubCirclesPerField = tree.get("randLava.numSubCirclesPerField", d.randLava.numSubCirclesPerField);
    randLava.subCircleRadius = tree.get("randLava.subCircleRadius", d.randLava.subCircleRadius);

    static_cast<ParticleHandler::ParticleDesc&>(lavaDesc) = read_particle_desc(tree, "lavaDesc");
    lavaDesc.explosionDensityInv = tree.get("lavaDesc.explosionDensityInv", d.lavaDesc.explosionDensityInv);
    lavaEmissionDuration = tree.get("lavaEmissionDuration", d.lavaEmissionDuration);
    lavaEmissionVelocity = tree.get("lavaEmissionVelocity", d.lavaEmissionVelocity);
    lavaEmissionBaseInterval = tree.get("lavaEmissionBaseInterval", d.lavaEmissionBaseInterval);
    lavaEmissionUVSpeed = tree.get("lavaEmissionUVSpeed", d.lavaEmissionUVSpeed);
    static_cast<ParticleHandler::ParticleDesc&>(stoneParticleDesc) = read_particle_desc(tree, "stoneParticleDesc");
    stoneParticleDesc.numParticlesPerSquare =
        tree.get("stoneParticleDesc.numParticlesPerSquare", d.stoneParticleDesc.numParticlesPerSquare);

    parallaxLayers.clear();
    const auto section = tree.find("parallaxLayers");
    if (section != tree.not_found()) {
        for (const auto& child : section->second) {
            if (child.first == "layer") parallaxLayers.push_back(ReadLayer(child.second));
        }
    }

    // Values the match cannot run with. A turn transition of no length never
    // ends; a negative lifetime keeps effect entities (and with them the
    // end-of-turn wait) alive for ever; sizes, intervals and densities of 0
    // are divided by; mines beyond the bound find no place on the level and
    // only slow the start of every round.
    AtLeast(repairs, "newTurnTransitionTime", newTurnTransitionTime, kOneStep);
    Within(repairs, "numMines", numMines, 0, kMaxMines);
    AtLeast(repairs, "camera.minBoxSize", camera.minBoxSize, kSmallestPositive);
    AtLeast(repairs, "camera.refreshInterval", camera.refreshInterval, kSmallestPositiveTime);
    AtLeast(repairs, "camera.maxCustomOffset", camera.maxCustomOffset, kSmallestPositive);
    Within(repairs, "camera.interpMaxSteps", camera.interpMaxSteps, 1.0f, 100.0f);
    AtLeast(repairs, "maxShootTime", maxShootTime, kSmallestPositiveTime);
    ClampParticleDesc(repairs, "lavaDesc", lavaDesc);
    AtLeast(repairs, "lavaDesc.explosionDensityInv", lavaDesc.explosionDensityInv, kSmallestPositive);
    AtLeast(repairs, "lavaEmissionDuration", lavaEmissionDuration, 0.0);
    AtLeast(repairs, "lavaEmissionBaseInterval", lavaEmissionBaseInterval, 0.0);
    ClampParticleDesc(repairs, "stoneParticleDesc", stoneParticleDesc);
    return repairs;
}

void MatchConfig::load(const std::string& path, ptree& tree, const Check& check) {
    ptree fresh;
    ReadInfoFile(path, fresh);
    if (check) check(fresh);
    read(fresh);
    tree.swap(fresh);
}

bool MatchConfig::reload(const std::string& path, ptree& tree, const Check& check) {
    try {
        load(path, tree, check);
        return true;
    } catch (const std::runtime_error& e) {
        // A file edited while the game runs must not end it.
        WarnKept(path, e.what());
        return false;
    } catch (const Error& e) {
        // Not a regular file, beyond the INFO reader's limits, or refused.
        WarnKept(path, e.message());
        return false;
    }
}

}  // namespace vo
