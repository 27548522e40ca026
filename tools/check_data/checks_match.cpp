// characters.info with the voice files, music.info, debug_config.info,
// game_config.info, weapons.info, items.info, the round-timer font and the
// shaders.

#include "checker.h"

#include "engine/core/tree_readers.h"
#include "game/app/debug_config.h"
#include "game/match/match_config.h"

#include "engine/core/info_file.h"
#include <boost/optional.hpp>
#include <boost/property_tree/ptree.hpp>

#include <fstream>
#include <locale>
#include <set>
#include <sstream>

namespace check {

void CheckCharacters(Checker& c) {
    std::string const file = "characters.info";
    ptree const* tree = c.config(file);
    if (!tree) return;
    std::set<std::string> names;
    int index = 0;
    for (auto const& entry : *tree) {
        if (entry.first != "character") continue;
        std::string const key = "character[" + std::to_string(index++) + "]";
        ptree const& ch = entry.second;
        auto const name = ch.get_optional<std::string>("name");
        if (!name)
            c.add(file, key + ".name", "missing");
        else if (!names.insert(*name).second)
            c.add(file, key + ".name", "'" + *name + "' is taken by an earlier character; team settings find characters by name");
        // A character without a texture (an empty name) draws its slobs
        // with the slob body's, which game_config.info must then have.
        for (const char* texture : {"textureName", "portraitName"}) {
            boost::optional<std::string> const value = ch.get_optional<std::string>(texture);
            bool const may_be_empty = std::string(texture) == "textureName";
            if (!value || (value->empty() && !may_be_empty))
                c.add(file, key + "." + texture, "missing");
            else if (!value->empty() && !c.texture(*value).ok)
                c.add(file, key + "." + texture, "no texture file '" + *value + "'");
        }
        for (const char* number : {"texX1", "texY1", "texX2", "texY2", "visualScale", "pitch", "volume"}) {
            if (auto const v = ch.get_child_optional(number); v && !v->get_value_optional<float>())
                c.add(file, key + "." + number, "is not a number");
        }
        if (auto const v = ch.get_child_optional("isMale"); v && !v->get_value_optional<bool>())
            c.add(file, key + ".isMale", "is not true or false");
        // The voice: a file in the configuration folder listing screams.
        std::string const voice = ch.get<std::string>("voiceFile", "");
        if (voice.empty()) {
            c.add(file, key + ".voiceFile", "missing");
            continue;
        }
        ptree screams;
        try {
            vo::ReadInfoFile(c.folder("config") + voice, screams);
        } catch (std::exception const& e) {
            c.add(file, key + ".voiceFile", "'" + voice + "' cannot be read: " + e.what());
            continue;
        }
        auto const list = screams.get_child_optional("screams");
        if (!list || list->count("file") == 0) c.add(voice, "screams", "lists no scream");
        if (list) {
            for (auto const& f : *list) {
                if (f.first == "file" && !c.sound(f.second.data()))
                    c.add(voice, "screams.file", "no sound file '" + f.second.data() + "'");
            }
        }
    }
    if (names.size() < 2) c.add(file, "character", "the menus need at least 2 characters");
}

void CheckMusic(Checker& c) {
    std::string const file = "music.info";
    ptree const* tree = c.config(file);
    if (!tree) return;
    for (const char* desc : {"mainMenu", "results", "match"}) {
        auto const node = tree->get_child_optional(desc);
        if (!node) {
            c.add(file, desc, "missing");
            continue;
        }
        int tracks = 0;
        for (auto const& track : *node) {
            if (track.first != "track") continue;
            std::string const key = std::string(desc) + ".track[" + std::to_string(tracks++) + "]";
            vo::MusicDesc const music = vo::ReadMusicDesc(track.second);
            if (!c.music(music.file)) c.add(file, key + ".file", "no music file '" + music.file + "'");
            if (music.volume < 0.0 || music.volume > 100.0) c.add(file, key + ".volume", "must lie in 0..100");
            for (const char* fade : {"fadeIn", "fadeOut"}) {
                auto const f = track.second.get_child_optional(fade);
                if (!f) {
                    c.add(file, key + "." + fade, "missing");
                } else {
                    vo::MusicTransition const t = vo::ReadMusicTransition(*f);
                    if (t.fade_duration < 0.0) c.add(file, key + "." + fade + ".fadeDuration", "must not be negative");
                }
            }
        }
        if (tracks == 0) c.add(file, desc, "has no track");
    }
}

void CheckDebugConfig(Checker& c) {
    std::string const file = "debug_config.info";
    ptree const* tree = c.config(file);
    if (!tree) return;
    vo::DebugConfig flags;
    flags.read_flags(*tree);  // the game's own reading
    for (const char* key : {"clearScreen", "drawParallaxLayers", "drawWidgets", "drawScene", "drawInGameNames", "vSync"}) {
        std::string const path = std::string("renderer.") + key;
        if (auto const v = tree->get_child_optional(path); v && !v->get_value_optional<bool>())
            c.add(file, path, "'" + v->data() + "' is not true or false (read as true)");
    }
}

namespace {

std::string Shown(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// Whether a character of characters.info has an empty texture name, so that
// its slobs draw with the slob body's texture.
bool SlobTextureDrawn(Checker& c) {
    ptree const* characters = c.config("characters.info");
    if (!characters) return false;
    for (auto const& entry : *characters) {
        if (entry.first != "character") continue;
        boost::optional<std::string> const name = entry.second.get_optional<std::string>("textureName");
        if (name && name->empty()) return true;
    }
    return false;
}

}  // namespace

void CheckGameConfig(Checker& c) {
    std::string const file = "game_config.info";
    ptree const* tree = c.config(file);
    if (!tree) return;
    c.add(vo::GameConfigFindings(*tree, c.files(), SlobTextureDrawn(c)));

    // A value that does not read as its type (whole numbers take no
    // fraction) gives the reader's default: a warning.
    struct Key {
        const char* key;
        bool whole;
        double fallback;
    };
    vo::MatchConfig const d;  // the reader's defaults
    const Key keys[] = {
        {"newTurnTransitionTime", false, d.newTurnTransitionTime},
        {"camera.refreshInterval", false, d.camera.refreshInterval},
        {"camera.minBoxSize", false, d.camera.minBoxSize},
        {"camera.maxCustomOffset", false, d.camera.maxCustomOffset},
        {"maxShootTime", false, d.maxShootTime},
        {"camera.interpStepSize", false, static_cast<double>(d.camera.interpStepSize)},
        {"camera.interpMaxSteps", true, d.camera.interpMaxSteps},
        {"camera.explosionShakeIterations", false, d.camera.explosionShakeIterations},
        {"camera.fieldOfViewY", false, d.camera.fieldOfViewY},
        {"lavaDesc.particleRadius", false, d.lavaDesc.particleRadius},
        {"stoneParticleDesc.particleRadius", false, d.stoneParticleDesc.particleRadius},
        {"lavaDesc.explosionDensityInv", false, d.lavaDesc.explosionDensityInv},
        {"lavaDesc.minLiveTime", false, d.lavaDesc.minLiveTime},
        {"lavaDesc.maxLiveTime", false, d.lavaDesc.maxLiveTime},
        {"stoneParticleDesc.minLiveTime", false, d.stoneParticleDesc.minLiveTime},
        {"stoneParticleDesc.maxLiveTime", false, d.stoneParticleDesc.maxLiveTime},
        {"lavaEmissionDuration", false, d.lavaEmissionDuration},
        {"lavaEmissionBaseInterval", false, d.lavaEmissionBaseInterval},
        {"numMines", true, static_cast<double>(d.numMines)},
        {"randArea.numCircles", false, d.randArea.numCircles},
        {"randArea.minCircleRadius", false, d.randArea.minCircleRadius},
        {"randArea.maxCircleRadius", false, d.randArea.maxCircleRadius},
        {"roundTimeTextHeight", false, d.roundTimeTextHeight},
        {"teamNameTextHeight", false, d.teamNameTextHeight},
        {"minTimeBetweenScreams", false, d.minTimeBetweenScreams},
        {"numPowerupsPerTeam", true, static_cast<double>(d.numPowerupsPerTeam)},
        {"numWorldRotates", true, static_cast<double>(d.numWorldRotates)},
        {"randArea.seed", true, static_cast<double>(d.randArea.seed)},
        {"randLava.seed", true, static_cast<double>(d.randLava.seed)},
    };
    for (Key const& k : keys) {
        auto const node = tree->get_child_optional(k.key);
        if (!node) continue;
        bool const reads = k.whole ? static_cast<bool>(node->get_value_optional<int>())
                                   : static_cast<bool>(node->get_value_optional<double>());
        if (!reads)
            c.warn(file, k.key,
                   "'" + node->data() + (k.whole ? "' is not a whole number, " : "' is not a number, ") +
                       Shown(k.fallback) + " used");
    }

    // What the match brings into its range is used so: a warning.
    for (vo::MatchConfig::Repair const& r : vo::MatchConfig().read_quietly(*tree))
        c.warn(file, r.key, Shown(r.read) + " is out of range, " + Shown(r.used) + " used");
    float const fov = tree->get<float>("camera.fieldOfViewY", d.camera.fieldOfViewY);
    if (float const used = vo::MatchConfig::applied_field_of_view(fov); !(used == fov))
        c.warn(file, "camera.fieldOfViewY", Shown(fov) + " is out of range, " + Shown(used) + " used");

    // Values the match takes as they are and goes wrong with.
    struct Lowest {
        const char* key;
        double low;
        bool open;  // true: the value must be above low
    };
    const Lowest lowest[] = {
        {"camera.explosionShakeIterations", 1.0, false},
        {"randArea.numCircles", 0.0, true},
        {"randArea.minCircleRadius", 0.0, true},
        {"randArea.maxCircleRadius", 0.0, true},
        {"roundTimeTextHeight", 0.0, true},
        {"teamNameTextHeight", 0.0, true},
        {"minTimeBetweenScreams", 0.0, false},
    };
    for (Lowest const& l : lowest) {
        if (auto const v = tree->get_optional<double>(l.key); v && (l.open ? !(*v > l.low) : !(*v >= l.low)))
            c.add(file, l.key, "out of range");
    }
    if (tree->get<double>("maxTimeBetweenScreams", 1.5) < tree->get<double>("minTimeBetweenScreams", 0.75))
        c.add(file, "maxTimeBetweenScreams", "is below minTimeBetweenScreams");
    // The slobs' body is a load rule; the mines' group is read by nothing.
    if (auto const n = tree->get_optional<int>("slobbyGrenade.numBoundaryPoints"); n && *n < 3)
        c.add(file, "slobbyGrenade.numBoundaryPoints", "a body needs at least 3 boundary points");
}

void CheckWeaponsAndItems(Checker& c) {
    ptree const* weapons = c.config("weapons.info");
    ptree const* items = c.config("items.info");
    ptree const* game = c.config("game_config.info");
    if (!weapons) return;
    bool const mines = game ? game->get<int>("numMines", 4) > 0 : true;
    c.add(vo::WeaponsFindings(*weapons, mines, true, c.files()));
    if (items) c.add(vo::ItemsFindings(*items, *weapons, c.files()));
    // The pictures of weapons and items against their textures and atlases.
    if (auto const available = weapons->get_child_optional("availableWeapons")) {
        for (auto const& w : *available) {
            if (auto const icon = w.second.get_child_optional("icon"); icon && icon->get_optional<std::string>("texture") &&
                                                                      c.texture(icon->get<std::string>("texture")).ok)
                c.image(*icon, "weapons.info", "availableWeapons." + w.first + ".icon");
        }
    }
    if (items) {
        if (auto const list = items->get_child_optional("items")) {
            for (auto const& item : *list) {
                if (auto const image = item.second.get_child_optional("image");
                    image && c.texture(image->get<std::string>("texture", "")).ok)
                    c.image(*image, "items.info", "items." + item.first + ".image");
            }
        }
    }
}

void CheckFonts(Checker& c) {
    ptree const* game = c.config("game_config.info");
    if (!game) return;
    std::string const name = game->get<std::string>("roundTimerFont", "");
    if (name.empty() || !c.font(name)) return;  // reported with game_config.info
    ptree font;
    try {
        vo::ReadInfoFile(c.folder("fonts") + name, font);
    } catch (std::exception const& e) {
        c.add(name, "-", std::string("cannot be read: ") + e.what());
        return;
    }
    std::string const texture = font.get<std::string>("texture", "");
    ImageSize const size = c.texture(texture);
    if (!size.ok) {
        c.add(name, "texture", "no texture file '" + texture + "'");
        return;
    }
    std::set<int> codes;
    for (auto const& glyph : font) {
        if (glyph.first != "glyph") continue;
        int const code = glyph.second.get<int>("code", -1);
        codes.insert(code);
        float const x0 = glyph.second.get<float>("xmin", 0), x1 = glyph.second.get<float>("xmax", 0);
        float const y0 = glyph.second.get<float>("ymin", 0), y1 = glyph.second.get<float>("ymax", 0);
        if (x0 < 0 || y0 < 0 || x1 > size.width || y1 > size.height || x1 < x0 || y1 < y0)
            c.add(name, "glyph " + std::to_string(code), "lies outside its atlas");
    }
    for (int code = '0'; code <= '9'; ++code)
        if (!codes.count(code)) c.add(name, "glyph " + std::to_string(code), "missing: the round timer shows digits");
}

void CheckShaders(Checker& c) {
    for (const char* shader : {"level_shader", "lava_shader", "fluid_preprocess", "fluid_shader", "dissolve_shader"}) {
        std::string const path = c.folder("shaders") + "glsl/" + shader + ".psh";
        std::ifstream in(path);
        std::string first;
        std::getline(in, first);
        if (!in)
            c.add(std::string("glsl/") + shader + ".psh", "-", "missing");
        else if (first.rfind("#version 120", 0) != 0)
            c.add(std::string("glsl/") + shader + ".psh", "-", "must start with #version 120");
    }
}

}  // namespace check
