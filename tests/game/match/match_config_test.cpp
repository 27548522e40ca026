#include "game/match/match_config.h"

#include "engine/core/error.h"

#include "support/engine/media_files.h"
#include "support/grid/stdout_capture.h"

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vo::MatchConfig;
using vo::ptree;

ptree Info(const std::string& text) {
    std::istringstream in(text);
    ptree tree;
    boost::property_tree::read_info(in, tree);
    return tree;
}

// Reads the record from INFO text and returns what it printed.
std::string Read(MatchConfig& config, const std::string& text) {
    const ptree tree = Info(text);
    mg_test::StdoutCapture out;
    config.read(tree);
    return out.str();
}

int CountLines(const std::string& text, const std::string& part) {
    std::istringstream in(text);
    int n = 0;
    for (std::string line; std::getline(in, line);)
        if (line.find(part) != std::string::npos) ++n;
    return n;
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// One numeric (or truth) key: its field, its default, a value to write and
// the value the field must then hold.
struct NumberKey {
    std::string key;
    std::function<double(const MatchConfig&)> field;
    double def;
    std::string text;
    double read;
};

struct TextKey {
    std::string key;
    std::function<std::string(const MatchConfig&)> field;
    std::string def;
};

#define FIELD(f) [](const MatchConfig& c) { return static_cast<double>(c.f); }
#define TEXT(f) [](const MatchConfig& c) { return c.f; }

// f32 values are compared as the float they are stored in.
double F(double v) { return static_cast<float>(v); }

std::vector<NumberKey> NumberKeys() {
    std::vector<NumberKey> keys = {
        {"teamNameTextHeight", FIELD(teamNameTextHeight), 30, "31", 31},
        {"accelerationForce", FIELD(accelerationForce), 20, "21.5", 21.5},
        {"airAccelerationForce", FIELD(airAccelerationForce), 2, "2.5", 2.5},
        {"airAccelerationDamping", FIELD(airAccelerationDamping), 0, "0.25", 0.25},
        {"jumpVelocity", FIELD(jumpVelocity), 500, "450", 450},
        {"jumpNormalThreshold", FIELD(jumpNormalThreshold), F(0.1), "0.3", F(0.3)},
        {"gravity", FIELD(gravity), 10, "12", 12},
        {"touchDelay", FIELD(touchDelay), F(0.2), "0.4", F(0.4)},
        {"stickyDelay", FIELD(stickyDelay), F(0.2), "0.6", F(0.6)},
        {"stickyScale", FIELD(stickyScale), 1, "1.5", 1.5},
        {"numPowerupsPerTeam", FIELD(numPowerupsPerTeam), 4, "5", 5},
        {"numWorldRotates", FIELD(numWorldRotates), 2, "3", 3},
        {"roundTime", FIELD(roundTime), 45, "30.1", 30.1},
        {"roundTimeTextHeight", FIELD(roundTimeTextHeight), 40, "41", 41},
        {"stickyDotThreshold", FIELD(stickyDotThreshold), F(-0.9), "-0.8", F(-0.8)},
        {"restRadius", FIELD(restRadius), F(0.2), "0.35", F(0.35)},
        {"restTime", FIELD(restTime), 0.5, "0.7", 0.7},
        {"numMines", FIELD(numMines), 4, "6", 6},
        {"newTurnTransitionTime", FIELD(newTurnTransitionTime), 1.0, "1.3", 1.3},
        {"newTurnBodyDamping", FIELD(newTurnBodyDamping), 1, "0.5", 0.5},
        {"minTimeBetweenScreams", FIELD(minTimeBetweenScreams), 0.75, "0.85", 0.85},
        {"maxTimeBetweenScreams", FIELD(maxTimeBetweenScreams), 1.5, "1.9", 1.9},
        {"camera.minBoxSize", FIELD(camera.minBoxSize), 20, "22", 22},
        {"camera.refreshInterval", FIELD(camera.refreshInterval), 0.5, "0.3", 0.3},
        {"camera.historyDuration", FIELD(camera.historyDuration), 1.0, "1.1", 1.1},
        {"camera.maxCustomOffset", FIELD(camera.maxCustomOffset), 100, "90", 90},
        {"camera.nearClippingPlane", FIELD(camera.nearClippingPlane), F(0.1), "0.2", F(0.2)},
        {"camera.farClippingPlane", FIELD(camera.farClippingPlane), 1500, "1400", 1400},
        {"camera.fieldOfViewY", FIELD(camera.fieldOfViewY), 90, "60", 60},
        {"camera.speed", FIELD(camera.speed), 1, "2", 2},
        {"camera.offsetFactor", FIELD(camera.offsetFactor), 0, "0.125", 0.125},
        {"camera.zoomSpeed", FIELD(camera.zoomSpeed), F(0.1), "0.15", F(0.15)},
        {"camera.interpStepSize", FIELD(camera.interpStepSize), 2, "3", 3},
        {"camera.interpMaxSteps", FIELD(camera.interpMaxSteps), 5, "7", 7},
        {"camera.explosionShakeAmplitude", FIELD(camera.explosionShakeAmplitude), 2, "2.25", 2.25},
        {"camera.explosionShakeIterations", FIELD(camera.explosionShakeIterations), 5, "6", 6},
        {"camera.explosionShakeTime", FIELD(camera.explosionShakeTime), 0.4, "0.45", 0.45},
        {"camera.explosionShakeDamping", FIELD(camera.explosionShakeDamping), 0.75, "0.5", 0.5},
        {"aimRotationSpeed", FIELD(aimRotationSpeed), 90, "80", 80},
        {"maxShootTime", FIELD(maxShootTime), 1.0, "1.25", 1.25},
        {"background.rotates", FIELD(background.rotates), 1, "false", 0},
        {"area.rimWidth", FIELD(area.rimWidth), 3, "3.5", 3.5},
        {"area.uvScale", FIELD(area.uvScale), F(0.1), "0.2", F(0.2)},
        {"area.lavaTextureScale", FIELD(area.lavaTextureScale), 1, "1.75", 1.75},
        {"area.lavaFlowPhaseDuration", FIELD(area.lavaFlowPhaseDuration), 4, "4.5", 4.5},
        {"area.lightRadiusMinFac", FIELD(area.lightRadiusMinFac), 1, "1.125", 1.125},
        {"area.lightRadiusMaxFac", FIELD(area.lightRadiusMaxFac), 3, "3.25", 3.25},
        {"randArea.seed", FIELD(randArea.seed), 1, "17", 17},
        {"randArea.radius", FIELD(randArea.radius), 40, "45", 45},
        {"randArea.numCircles", FIELD(randArea.numCircles), 30, "33", 33},
        {"randArea.minCircleRadius", FIELD(randArea.minCircleRadius), 5, "5.5", 5.5},
        {"randArea.maxCircleRadius", FIELD(randArea.maxCircleRadius), 15, "16", 16},
        {"randLava.seed", FIELD(randLava.seed), 54645, "777", 777},
        {"randLava.innerRimRadius", FIELD(randLava.innerRimRadius), 20, "21", 21},
        {"randLava.outerRimRadius", FIELD(randLava.outerRimRadius), 40, "42", 42},
        {"randLava.numFields", FIELD(randLava.numFields), 20, "19", 19},
        {"randLava.fieldRadius", FIELD(randLava.fieldRadius), 5, "6", 6},
        {"randLava.numSubCirclesPerField", FIELD(randLava.numSubCirclesPerField), 8, "9", 9},
        {"randLava.subCircleRadius", FIELD(randLava.subCircleRadius), 2, "2.5", 2.5},
        {"lavaDesc.explosionDensityInv", FIELD(lavaDesc.explosionDensityInv), 1.5, "1.25", 1.25},
        {"lavaEmissionDuration", FIELD(lavaEmissionDuration), 2.0, "2.2", 2.2},
        {"lavaEmissionVelocity", FIELD(lavaEmissionVelocity), 3, "3.5", 3.5},
        {"lavaEmissionBaseInterval", FIELD(lavaEmissionBaseInterval), 0.1, "0.05", 0.05},
        {"lavaEmissionUVSpeed", FIELD(lavaEmissionUVSpeed), 3, "2", 2},
        {"stoneParticleDesc.numParticlesPerSquare", FIELD(stoneParticleDesc.numParticlesPerSquare), 1, "2", 2},
    };
    // The fourteen particle keys of both descriptions; each prefix gets its
    // own values, so a key read under the wrong prefix shows.
    using Desc = vo::ParticleHandler::ParticleDesc;
    using DescOf = std::function<const Desc&(const MatchConfig&)>;
    const std::vector<std::pair<std::string, DescOf>> prefixes = {
        {"lavaDesc", [](const MatchConfig& c) -> const Desc& { return c.lavaDesc; }},
        {"stoneParticleDesc", [](const MatchConfig& c) -> const Desc& { return c.stoneParticleDesc; }},
    };
    struct ParticleKey {
        std::string suffix;
        std::function<double(const Desc&)> field;
        double def;
        double written[2];
        double read[2];
    };
#define DESC(f) [](const Desc& d) { return static_cast<double>(d.f); }
    const std::vector<ParticleKey> particle_keys = {
        {".friction", DESC(friction), 10, {11, 12}, {11, 12}},
        {".hardness", DESC(hardness), F(0.2), {0.25, 0.5}, {0.25, 0.5}},
        {".particlesInteract", DESC(particlesInteract), 1, {0, 0}, {0, 0}},
        {".particleRadius", DESC(particleRadius), 0.5, {0.75, 0.625}, {0.75, 0.625}},
        {".repulsionForce", DESC(repulsionForce), 100, {101, 102}, {101, 102}},
        {".repulsionMagnifier", DESC(repulsionMagnifier), 10, {9, 8}, {9, 8}},
        {".attractionRadius", DESC(attractionRadius), 0.75, {0.5, 0.25}, {0.5, 0.25}},
        {".attractionForce", DESC(attractionForce), 5, {6, 7}, {6, 7}},
        {".velocityInteraction", DESC(velocityInteraction), 10, {13, 14}, {13, 14}},
        {".softbodyRepulsionForce", DESC(softbodyRepulsionForce), F(0.1), {0.3, 0.4}, {F(0.3), F(0.4)}},
        {".damagePerSecond", DESC(damagePerSecond), 1, {2, 3}, {2, 3}},
        {".minLiveTime", DESC(minLiveTime), 4.0, {4.1, 4.2}, {4.1, 4.2}},
        {".maxLiveTime", DESC(maxLiveTime), 6.0, {6.1, 6.2}, {6.1, 6.2}},
        // Read in single precision and widened.
        {".massInv", DESC(massInv), 1.0, {0.1, 0.3}, {F(0.1), F(0.3)}},
    };
#undef DESC
    for (size_t p = 0; p < prefixes.size(); ++p) {
        for (const ParticleKey& k : particle_keys) {
            const DescOf desc = prefixes[p].second;
            const auto field = k.field;
            std::ostringstream text;
            text << k.written[p];
            keys.push_back({prefixes[p].first + k.suffix, [desc, field](const MatchConfig& c) { return field(desc(c)); },
                            k.def, text.str(), k.read[p]});
        }
    }
    return keys;
}

std::vector<TextKey> TextKeys() {
    return {
        {"roundTimerFont", TEXT(roundTimerFont), ""},
        {"area.blendTexture1", TEXT(area.blendTexture1), "bw_test.png"},
        {"area.blendTexture2", TEXT(area.blendTexture2), "bw_test.png"},
        {"area.diffuseTexture1", TEXT(area.diffuseTexture1), "tmp_lvl_tex.png"},
        {"area.diffuseTexture2", TEXT(area.diffuseTexture2), "tmp_lvl_tex.png"},
        {"area.lavaTexture", TEXT(area.lavaTexture), "tmp_lvl_tex.png"},
        {"area.lavaBorderTexture", TEXT(area.lavaBorderTexture), "tmp_lvl_tex.png"},
        {"area.lavaFlowTexture", TEXT(area.lavaFlowTexture), "tmp_lvl_tex.png"},
    };
}

#undef FIELD
#undef TEXT

TEST(MatchConfigKeys, EveryFieldHoldsItsDefaultBeforeAnyLoadAndAfterReadingNoKeys) {
    const MatchConfig fresh;
    MatchConfig read;
    read.numMines = 99;  // overwritten by the read
    read.parallaxLayers.resize(2);
    EXPECT_EQ(Read(read, ""), "");  // nothing to warn about
    for (const NumberKey& k : NumberKeys()) {
        EXPECT_EQ(k.field(fresh), k.def) << k.key << " before the first load";
        EXPECT_EQ(k.field(read), k.def) << k.key << " from a file without keys";
    }
    for (const TextKey& k : TextKeys()) {
        EXPECT_EQ(k.field(fresh), k.def) << k.key;
        EXPECT_EQ(k.field(read), k.def) << k.key;
    }
    EXPECT_TRUE(fresh.parallaxLayers.empty());
    EXPECT_TRUE(read.parallaxLayers.empty());
}

TEST(MatchConfigKeys, EveryKeyIsReadIntoItsOwnField) {
    ptree tree;
    for (const NumberKey& k : NumberKeys()) tree.put(k.key, k.text);
    for (const TextKey& k : TextKeys()) tree.put(k.key, "file of " + k.key + ".png");
    MatchConfig config;
    mg_test::StdoutCapture out;
    config.read(tree);
    EXPECT_EQ(out.str(), "");
    for (const NumberKey& k : NumberKeys()) {
        EXPECT_NE(k.read, k.def) << k.key << ": the table must change the value";
        EXPECT_EQ(k.field(config), k.read) << k.key;
    }
    for (const TextKey& k : TextKeys()) EXPECT_EQ(k.field(config), "file of " + k.key + ".png");
}

// How the text of a value is taken: whole numbers refuse a fraction, the two
// camera steering keys are converted, truth values take 0 and 1 as well.
TEST(MatchConfigKeys, ValuesConvertCompletelyOrTakeTheDefault) {
    struct Case {
        std::string info;
        std::function<double(const MatchConfig&)> field;
        double expected;
    };
    const std::vector<Case> cases = {
        {"camera { interpStepSize 2.9 }", [](const MatchConfig& c) { return c.camera.interpStepSize; }, 2},
        {"camera { interpMaxSteps 5.5 }", [](const MatchConfig& c) { return c.camera.interpMaxSteps; }, 5},
        {"camera { interpMaxSteps 8.0 }", [](const MatchConfig& c) { return c.camera.interpMaxSteps; }, 5},
        {"numMines many", [](const MatchConfig& c) { return c.numMines; }, 4},
        {"numMines 2.5", [](const MatchConfig& c) { return c.numMines; }, 4},
        {"numMines 3x", [](const MatchConfig& c) { return c.numMines; }, 4},
        {"randArea { seed 1e3 }", [](const MatchConfig& c) { return c.randArea.seed; }, 1},
        {"gravity 9.81abc", [](const MatchConfig& c) { return c.gravity; }, 10},
        {"roundTime -1", [](const MatchConfig& c) { return c.roundTime; }, -1},  // no turn limit
        {"background { rotates 0 }", [](const MatchConfig& c) { return c.background.rotates; }, 0},
        {"background { rotates 1 }", [](const MatchConfig& c) { return c.background.rotates; }, 1},
        {"background { rotates false }", [](const MatchConfig& c) { return c.background.rotates; }, 0},
        {"background { rotates no }", [](const MatchConfig& c) { return c.background.rotates; }, 1},
        {"lavaDesc { massInv 0.1 }", [](const MatchConfig& c) { return c.lavaDesc.massInv; }, F(0.1)},
        // A dotted name written flat is not the nested key.
        {"camera.minBoxSize 5", [](const MatchConfig& c) { return c.camera.minBoxSize; }, 20},
        {"camera { minBoxSize 5 }", [](const MatchConfig& c) { return c.camera.minBoxSize; }, 5},
    };
    for (const Case& c : cases) {
        MatchConfig config;
        EXPECT_EQ(Read(config, c.info), "") << c.info;
        EXPECT_EQ(c.field(config), c.expected) << c.info;
    }
}

// Values the match cannot run with are raised into range when read, each
// with one warning that names the key.
TEST(MatchConfigKeys, ValuesThatWouldStallTheMatchOrDivideByZeroAreClampedWithOneWarningEach) {
    struct Case {
        std::string key;
        std::string value;
        std::function<double(const MatchConfig&)> field;
        double expected;
    };
    const std::vector<Case> cases = {
        {"newTurnTransitionTime", "0", [](const MatchConfig& c) { return c.newTurnTransitionTime; }, 1.0 / 60.0},
        {"newTurnTransitionTime", "-2", [](const MatchConfig& c) { return c.newTurnTransitionTime; }, 1.0 / 60.0},
        {"camera.minBoxSize", "0", [](const MatchConfig& c) { return c.camera.minBoxSize; }, F(0.01)},
        {"camera.refreshInterval", "-0.5", [](const MatchConfig& c) { return c.camera.refreshInterval; }, 0.01},
        {"camera.maxCustomOffset", "0", [](const MatchConfig& c) { return c.camera.maxCustomOffset; }, F(0.01)},
        {"maxShootTime", "0", [](const MatchConfig& c) { return c.maxShootTime; }, 0.01},
        {"camera.interpStepSize", "0.5", [](const MatchConfig& c) { return c.camera.interpStepSize; }, 1},
        {"camera.interpStepSize", "-3", [](const MatchConfig& c) { return c.camera.interpStepSize; }, 1},
        {"camera.interpStepSize", "1e20", [](const MatchConfig& c) { return c.camera.interpStepSize; }, 2147483647},
        {"camera.interpMaxSteps", "0", [](const MatchConfig& c) { return c.camera.interpMaxSteps; }, 1},
        {"camera.interpMaxSteps", "100000", [](const MatchConfig& c) { return c.camera.interpMaxSteps; }, 100},
        {"lavaDesc.particleRadius", "0", [](const MatchConfig& c) { return c.lavaDesc.particleRadius; }, F(0.01)},
        {"stoneParticleDesc.particleRadius", "-1",
         [](const MatchConfig& c) { return c.stoneParticleDesc.particleRadius; }, F(0.01)},
        {"lavaDesc.explosionDensityInv", "0",
         [](const MatchConfig& c) { return c.lavaDesc.explosionDensityInv; }, F(0.01)},
        {"lavaDesc.minLiveTime", "-1", [](const MatchConfig& c) { return c.lavaDesc.minLiveTime; }, 0},
        {"lavaDesc.maxLiveTime", "-1", [](const MatchConfig& c) { return c.lavaDesc.maxLiveTime; }, 0},
        {"stoneParticleDesc.minLiveTime", "-4",
         [](const MatchConfig& c) { return c.stoneParticleDesc.minLiveTime; }, 0},
        {"stoneParticleDesc.maxLiveTime", "-6",
         [](const MatchConfig& c) { return c.stoneParticleDesc.maxLiveTime; }, 0},
        {"lavaEmissionDuration", "-1", [](const MatchConfig& c) { return c.lavaEmissionDuration; }, 0},
        {"lavaEmissionBaseInterval", "-0.1", [](const MatchConfig& c) { return c.lavaEmissionBaseInterval; }, 0},
        {"numMines", "65", [](const MatchConfig& c) { return c.numMines; }, 64},
        {"numMines", "100000", [](const MatchConfig& c) { return c.numMines; }, 64},
        {"numMines", "-1", [](const MatchConfig& c) { return c.numMines; }, 0},
    };
    for (const Case& c : cases) {
        ptree tree;
        tree.put(c.key, c.value);
        MatchConfig config;
        std::string out;
        {
            mg_test::StdoutCapture capture;
            config.read(tree);
            out = capture.str();
        }
        EXPECT_EQ(c.field(config), c.expected) << c.key << " " << c.value;
        EXPECT_EQ(CountLines(out, "WARNING"), 1) << c.key << " " << c.value << ":\n" << out;
        EXPECT_EQ(CountLines(out, "game_config.info: " + c.key + " "), 1) << out;
    }
    // Values at the edge of the range pass silently.
    MatchConfig edge;
    EXPECT_EQ(Read(edge, "newTurnTransitionTime 0.1\ncamera { interpStepSize 1\ninterpMaxSteps 100 }\n"
                         "lavaDesc { minLiveTime 0\nmaxLiveTime 0 }\nlavaEmissionDuration 0\nnumMines 64\n"),
              "");
    EXPECT_EQ(edge.numMines, 64);
    EXPECT_EQ(Read(edge, "numMines 0\n"), "");
}

TEST(MatchConfigLayers, OnlyChildrenNamedLayerCountInFileOrderAndAReadDoesNotAddToTheLast) {
    const std::string info =
        "parallaxLayers\n"
        "{\n"
        "    layer { distance -20 texture \"sky.png\" scrollSpeedX 1 scrollSpeedY 2 textureScaleX 3\n"
        "            textureScaleY 4 textureOffsetX 5 textureOffsetY 6 geometryScaleX 7 geometryScaleY 8\n"
        "            geometryOffsetX 9 geometryOffsetY 10 opacity 0.25 colorR 0.5 colorG 0.75 colorB 0\n"
        "            rotation 30 textureRepeat false }\n"
        "    cloud { texture \"cloud.png\" }\n"
        "    layer { opacity 0.5 }\n"
        "}\n";
    MatchConfig config;
    for (int load = 0; load < 2; ++load) {
        EXPECT_EQ(Read(config, info), "");
        ASSERT_EQ(config.parallaxLayers.size(), 2u) << "load " << load;
    }
    const vo::ParallaxLayer& a = config.parallaxLayers[0];
    EXPECT_EQ(a.distance, -20.0f);
    EXPECT_EQ(a.texture, "sky.png");
    const float read[] = {a.scrollSpeedX,   a.scrollSpeedY,    a.textureScaleX,   a.textureScaleY,
                          a.textureOffsetX, a.textureOffsetY,  a.geometryScaleX,  a.geometryScaleY,
                          a.geometryOffsetX, a.geometryOffsetY};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(read[i], static_cast<float>(i + 1)) << "field " << i;
    EXPECT_EQ(a.opacity, 0.25f);
    EXPECT_EQ(a.color.r, 0.5f);
    EXPECT_EQ(a.color.g, 0.75f);
    EXPECT_EQ(a.color.b, 0.0f);
    EXPECT_EQ(a.color.a, 0.25f);
    EXPECT_EQ(a.rotation, 30.0f);
    EXPECT_FALSE(a.textureRepeat);

    const vo::ParallaxLayer& b = config.parallaxLayers[1];
    const vo::ParallaxLayer d;
    EXPECT_EQ(b.distance, 100.0f);
    EXPECT_EQ(b.texture, "");
    const float defaults[] = {b.scrollSpeedX, b.scrollSpeedY, b.textureOffsetX, b.textureOffsetY,
                              b.geometryOffsetX, b.geometryOffsetY, b.rotation};
    for (float v : defaults) EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(b.textureScaleX, 1.0f);
    EXPECT_EQ(b.textureScaleY, 1.0f);
    EXPECT_EQ(b.geometryScaleX, 1.0f);
    EXPECT_EQ(b.geometryScaleY, 1.0f);
    EXPECT_EQ(b.opacity, 0.5f);
    EXPECT_EQ(b.color.r, 1.0f);
    EXPECT_EQ(b.color.g, 1.0f);
    EXPECT_EQ(b.color.b, 1.0f);
    EXPECT_EQ(b.color.a, 0.5f);
    EXPECT_TRUE(b.textureRepeat);

    // A file without the section leaves no layers.
    EXPECT_EQ(Read(config, "gravity 10"), "");
    EXPECT_TRUE(config.parallaxLayers.empty());
}

TEST(MatchConfigFile, ALoadSwapsInTreeAndRecordAndAFailedOneKeepsBoth) {
    vo_test::TempFolder folder;
    const std::string path = folder.file(MatchConfig::FILE_NAME);
    WriteText(path, "numMines 7\nslob { radius 1.5 }\n");
    MatchConfig config;
    ptree tree;
    config.load(path, tree);
    EXPECT_EQ(config.numMines, 7);
    EXPECT_EQ(tree.get<std::string>("slob.radius"), "1.5");  // the soft-body groups stay in the tree

    // At start-up a broken file is an error naming the file and the line.
    WriteText(path, "numMines 8\ncamera\n{\n    minBoxSize 4\n");
    try {
        config.load(path, tree);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_EQ(config.numMines, 7);
    EXPECT_EQ(tree.get<std::string>("slob.radius"), "1.5");

    // During play the same file only warns.
    {
        mg_test::StdoutCapture out;
        EXPECT_FALSE(config.reload(path, tree));
        EXPECT_EQ(CountLines(out.str(), "WARNING: couldn't reload " + path), 1) << out.str();
    }
    EXPECT_EQ(config.numMines, 7);
    EXPECT_EQ(tree.get<std::string>("slob.radius"), "1.5");

    // A missing file likewise.
    const std::string missing = folder.file("gone.info");
    EXPECT_THROW(config.load(missing, tree), std::runtime_error);
    {
        mg_test::StdoutCapture out;
        EXPECT_FALSE(config.reload(missing, tree));
        EXPECT_NE(out.str().find(missing), std::string::npos);
    }

    // A folder in the file's place: the reader refuses what is not a file.
    const std::string not_a_file = folder.file("folder.info");
    ASSERT_EQ(mkdir(not_a_file.c_str(), 0700), 0);
    {
        mg_test::StdoutCapture out;
        EXPECT_FALSE(config.reload(not_a_file, tree));
        EXPECT_EQ(CountLines(out.str(), "WARNING: couldn't reload " + not_a_file), 1) << out.str();
    }
    EXPECT_EQ(config.numMines, 7);

    // A file the check refuses: the check's Error at start-up, a warning
    // during play, the previous values either way.
    WriteText(path, "numMines 3\n");
    const MatchConfig::Check refuse = [](const ptree& fresh) {
        if (fresh.get("numMines", 0) == 3) throw vo::Error("game_config.info: numMines: refused");
    };
    EXPECT_THROW(config.load(path, tree, refuse), vo::Error);
    {
        mg_test::StdoutCapture out;
        EXPECT_FALSE(config.reload(path, tree, refuse));
        EXPECT_EQ(CountLines(out.str(), "WARNING: couldn't reload " + path + ": game_config.info: numMines: refused"), 1)
            << out.str();
    }
    EXPECT_EQ(config.numMines, 7);
    EXPECT_EQ(tree.get<std::string>("slob.radius"), "1.5");

    WriteText(path, "numMines 2\n");
    EXPECT_TRUE(config.reload(path, tree, refuse));
    EXPECT_EQ(config.numMines, 2);
    EXPECT_EQ(tree.count("slob"), 0u);
}

TEST(MatchConfigFile, TheShippedFileLoadsWithoutAWarning) {
    const std::string path = std::string(QV_GAME_DATA_DIR) + "/config/" + MatchConfig::FILE_NAME;
    MatchConfig config;
    ptree tree;
    mg_test::StdoutCapture out;
    ASSERT_NO_THROW(config.load(path, tree)) << path;
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(tree.empty());
}

}  // namespace
