#include "game/level/data_rules.h"

#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/core/platform.h"
#include "engine/core/tree_readers.h"
#include "engine/physics/soft_body_circle.h"
#include "engine/physics/soft_body_desc.h"
#include "game/level/level_generation.h"

#include <boost/optional.hpp>
#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <map>
#include <set>
#include <type_traits>

namespace vo {

using boost::property_tree::ptree;

namespace {

// A top-level child by its exact name (weapon names are not paths).
ptree const* Child(ptree const& tree, std::string const& name) {
    auto const it = tree.find(name);
    return it == tree.not_found() ? nullptr : &it->second;
}

// A top-level child by its exact name, or an empty tree.
ptree const& ChildOrEmpty(ptree const& tree, std::string const& name) {
    static const ptree empty;
    ptree const* child = Child(tree, name);
    return child ? *child : empty;
}

template <class T>
bool Converts(ptree const& node) {
    return static_cast<bool>(node.get_value_optional<T>());
}

class Defects {
public:
    explicit Defects(std::string file) : file_(std::move(file)) {}
    void add(std::string const& key, std::string const& what) { lines_.push_back(file_ + ": " + key + ": " + what); }

    // The value of an optional number child, when it is there and converts;
    // a child that does not convert is a defect.
    template <class T>
    boost::optional<T> number(ptree const& node, std::string const& prefix, std::string const& key) {
        ptree const* child = Child(node, key);
        if (!child) return boost::none;
        boost::optional<T> const value = child->get_value_optional<T>();
        if (!value) add(prefix + key, std::is_integral<T>::value ? "'" + child->data() + "' is not a whole number"
                                                                   : "'" + child->data() + "' is not a number");
        return value;
    }
    boost::optional<bool> truth(ptree const& node, std::string const& prefix, std::string const& key) {
        ptree const* child = Child(node, key);
        if (!child) return boost::none;
        boost::optional<bool> const value = child->get_value_optional<bool>();
        if (!value) add(prefix + key, "'" + child->data() + "' is not true or false");
        return value;
    }
    void texture(DataFiles const& files, std::string const& key, std::string const& name) {
        if (name.empty())
            add(key, "names no texture");
        else if (!files.texture(name))
            add(key, "no texture file '" + name + "'");
    }
    // An image or icon: a texture that exists and a source frame that reads.
    void image(ptree const& node, std::string const& key, DataFiles const& files) {
        boost::optional<std::string> const name = node.get_optional<std::string>("texture");
        if (!name)
            add(key + ".texture", "missing");
        else
            texture(files, key + ".texture", *name);
        for (const char* frame : {"srcFrame", "destFrame"}) {
            ptree const* f = Child(node, frame);
            if (!f) continue;
            try {
                ReadFrame(*f);
            } catch (Error const& e) {
                add(key + "." + frame, e.message());
            }
        }
    }

    DataDefects take() { return std::move(lines_); }

private:
    std::string file_;
    DataDefects lines_;
};

// What is wrong with a name that the game looks up as a path ('.'
// separating its parts) where the rules look it up as it stands; empty when
// nothing is.
std::string NameFault(std::string const& name) {
    if (name.empty()) return "is empty, but names are looked up as paths";
    if (name.find('.') != std::string::npos)
        return "'" + name + "' holds a '.', but names are looked up as paths";
    return std::string();
}

// A name in the value of key; false (and a defect) when it cannot be looked
// up.
bool CheckName(Defects& out, std::string const& key, std::string const& name) {
    std::string const fault = NameFault(name);
    if (!fault.empty()) out.add(key, fault);
    return fault.empty();
}

// A soft-body description (keys without prefix, as the game reads them with
// InitSoftBodyDesc) named by prefix in the lines: numbers that read, a mass
// above 0, what the circle builder (CreateSoftBody_Circle) refuses, and,
// for a textured body, a texture that exists.
void CheckBody(Defects& out, ptree const& body, std::string const& prefix, bool textured, DataFiles const& files) {
    for (const char* key : {"numBoundaryPoints", "nbrConnectionRadius", "opposingConnectionRadius"})
        out.number<int>(body, prefix, key);
    out.number<float>(body, prefix, "radius");
    if (auto const v = out.number<float>(body, prefix, "mass"); v && !(*v > 0.0f)) out.add(prefix + "mass", "must be above 0");
    for (const char* key : {"uvScale", "texX1", "texY1", "texX2", "texY2", "friction", "noFrictionVel",
                            "particleDamping", "stickyness", "stickyVelocity", "stickyForce", "rigidity", "inertia",
                            "springShortConstant", "springLongConstant", "springDamping"}) {
        out.number<float>(body, prefix, key);
    }
    out.truth(body, prefix, "stickyParticles");
    SoftBodyDesc desc;
    InitSoftBodyDescNoTexture(desc, body, "");
    SoftBodyCircleFault const fault = FindSoftBodyCircleFault(desc);
    if (!fault.empty()) out.add(prefix + fault.key, fault.what);
    if (textured) out.texture(files, prefix + "texture", body.get<std::string>("texture", SoftBodyDesc().texture));
}

void CheckExplosionTypes(Defects& out, ptree const& weapons, DataFiles const& files) {
    ptree const* types = Child(weapons, "explosionTypes");
    if (!types) {
        out.add("explosionTypes", "missing");
        return;
    }
    for (const char* needed : {"normal", "small"}) {
        if (!Child(*types, needed))
            out.add(std::string("explosionTypes.") + needed,
                    std::string("missing (") + (std::string(needed) == "small" ? "the explosion of a dying slob" : "every weapon's default") + ")");
    }
    for (auto const& type : *types) {
        std::string const prefix = "explosionTypes." + type.first + ".";
        if (auto const r = out.number<float>(type.second, prefix, "radius"); r && !(*r > 0.0f))
            out.add(prefix + "radius", "must be above 0");
        out.number<float>(type.second, prefix, "damage");
        out.number<float>(type.second, prefix, "force");
        if (auto const d = out.number<float>(type.second, prefix, "peakDelay"); d && *d < 0.0f)
            out.add(prefix + "peakDelay", "must not be negative");
        if (auto const v = out.number<float>(type.second, prefix, "soundVolume"); v && (*v < 0.0f || *v > 100.0f))
            out.add(prefix + "soundVolume", "must lie in 0..100");
        std::string const sound = type.second.get<std::string>("soundFile", "");
        if (!sound.empty() && !files.sound(sound)) out.add(prefix + "soundFile", "no sound file '" + sound + "'");
    }
}

// Follows the cluster types from every weapon; reports each cycle once.
void CheckClusterCycles(Defects& out, std::map<std::string, std::string> const& next) {
    std::set<std::string> reported;
    for (auto const& start : next) {
        std::vector<std::string> path{start.first};
        std::string at = start.first;
        while (true) {
            auto const it = next.find(at);
            if (it == next.end()) break;
            at = it->second;
            auto const seen = std::find(path.begin(), path.end(), at);
            if (seen != path.end()) {
                std::vector<std::string> cycle(seen, path.end());
                std::string const first = *std::min_element(cycle.begin(), cycle.end());
                if (reported.insert(first).second) {
                    std::string chain;
                    for (std::string const& w : cycle) chain += w + " -> ";
                    out.add(cycle.front() + ".cluster.type", "cluster types form a cycle: " + chain + at);
                }
                break;
            }
            path.push_back(at);
        }
    }
}

}  // namespace

DataFiles InstalledDataFiles() {
    auto in = [](int id) {
        return [id](std::string const& name) { return !name.empty() && FileExists(PathProvider::get_path(id) + name); };
    };
    return DataFiles{in(4), in(11), in(3)};
}

std::vector<std::string> AvailableWeaponNames(ptree const& weapons) {
    std::vector<std::string> names;
    if (ptree const* available = Child(weapons, "availableWeapons")) {
        for (auto const& entry : *available)
            if (entry.first != "defaultWeapon") names.push_back(entry.first);
    }
    return names;
}

DataDefects WeaponsDefects(ptree const& weapons, bool mines_laid, bool cpu_plays, DataFiles const& files) {
    Defects out("weapons.info");
    std::vector<std::string> const names = AvailableWeaponNames(weapons);
    ptree const* available = Child(weapons, "availableWeapons");
    if (!available || names.empty()) out.add("availableWeapons", "lists no weapon");
    if (available) {
        for (auto const& entry : *available) {
            std::string const key = "availableWeapons." + entry.first;
            if (entry.first == "defaultWeapon") {
                std::string const name = entry.second.data();
                if (std::find(names.begin(), names.end(), name) == names.end())
                    out.add(key, "names no listed weapon '" + name + "'");
                continue;
            }
            CheckName(out, key, entry.first);
            if (auto const num = out.number<int>(entry.second, key + ".", "num"); num && *num < -1)
                out.add(key + ".num", "must be -1 (unlimited) or more");
            if (ptree const* icon = Child(entry.second, "icon"))
                out.image(*icon, key + ".icon", files);
            else
                out.add(key + ".icon", "missing");
            if (!Child(weapons, entry.first)) out.add(key, "no weapon description '" + entry.first + "'");
        }
    }

    std::vector<std::string> queue = names;
    if (mines_laid) queue.push_back("mine");
    if (cpu_plays) queue.push_back("grenade");
    std::set<std::string> done, bodies;
    std::map<std::string, std::string> cluster_type;
    ptree const* types = Child(weapons, "explosionTypes");
    for (std::size_t i = 0; i < queue.size(); ++i) {
        std::string const name = queue[i];
        if (!done.insert(name).second) continue;
        ptree const* desc = Child(weapons, name);
        if (!desc) {
            if (name == "mine" || name == "grenade")
                out.add(name, "no weapon description (the match throws '" + name + "' by name)");
            continue;  // listed weapons and cluster types are reported where they are named
        }
        std::string const p = name + ".";
        boost::optional<float> const fixed = out.number<float>(*desc, p, "fixedVelocity");
        if (fixed && *fixed == 0.0f)
            out.add(p + "fixedVelocity", "0 reads as fixed on the weapon buttons but as charged when thrown; use -1 or a speed above 0");
        bool const fixed_speed = fixed && *fixed > 0.0f;
        // The computer players aim "grenade" by its full speed, whatever
        // else it has.
        bool const aimed = cpu_plays && name == "grenade";
        if (!fixed_speed || aimed) {
            if (!Child(*desc, "maxVelocity"))
                out.add(p + "maxVelocity", fixed_speed ? "missing (the computer players aim with it)"
                                                       : "missing (needed without a fixedVelocity above 0)");
            else if (auto const v = out.number<float>(*desc, p, "maxVelocity"); v && !(*v > 0.0f))
                out.add(p + "maxVelocity", "must be above 0");
        }
        bool const clusters_only = out.truth(*desc, p, "clustersOnly").value_or(false);
        if (!clusters_only) {
            for (const char* key : {"timed", "groundTriggered", "slobTriggered"}) {
                if (!Child(*desc, key))
                    out.add(p + key, "missing");
                else
                    out.truth(*desc, p, key);
            }
            boost::optional<std::string> const body = desc->get_optional<std::string>("body");
            if (!body) {
                out.add(p + "body", "missing");
            } else if (CheckName(out, p + "body", *body)) {
                if (ptree const* b = Child(weapons, *body)) {
                    if (bodies.insert(*body).second) CheckBody(out, *b, *body + ".", true, files);
                } else {
                    out.add(p + "body", "no body description '" + *body + "'");
                }
            }
            std::string const type = desc->get<std::string>("explosionType", "normal");
            if (CheckName(out, p + "explosionType", type) && types && !Child(*types, type))
                out.add(p + "explosionType", "no explosion type '" + type + "'");
        }
        if (name == "mine") {
            if (clusters_only) out.add("mine.clustersOnly", "the match lays mines as bodies");
            if (desc->get_optional<bool>("groundTriggered").value_or(false))
                out.add("mine.groundTriggered", "true sets every mine off where it is laid");
        }
        ptree const* cluster = Child(*desc, "cluster");
        int num = 0;
        if (cluster) {
            std::string const cp = p + "cluster.";
            num = out.number<int>(*cluster, cp, "num").value_or(0);
            if (num < 0) out.add(cp + "num", "must not be negative");
            if (num > kMaxClusters) out.add(cp + "num", "more than " + std::to_string(kMaxClusters) + " clusters");
            for (const char* key : {"directionalRelative", "orthogonalVel", "minHorizontalVel", "maxHorizontalVel",
                                    "minVerticalVel", "maxVerticalVel", "timer"}) {
                out.number<float>(*cluster, cp, key);
            }
            out.truth(*cluster, cp, "ignoreExplosions");
            if (num > 0) {
                std::string const type = cluster->get<std::string>("type", "");
                if (!Child(*cluster, "type")) {
                    out.add(cp + "type", "missing");
                } else if (CheckName(out, cp + "type", type)) {
                    if (ptree const* weapon = Child(weapons, type)) {
                        if (weapon->get_optional<bool>("clustersOnly").value_or(false))
                            out.add(cp + "type", "'" + type + "' is clustersOnly and makes no grenade");
                        cluster_type[name] = type;
                        queue.push_back(type);
                    } else {
                        out.add(cp + "type", "names no weapon description '" + type + "'");
                    }
                }
            }
        }
        if (clusters_only && num <= 0) out.add(p + "clustersOnly", "true without clusters: a throw makes nothing");
    }
    CheckClusterCycles(out, cluster_type);
    CheckExplosionTypes(out, weapons, files);
    return out.take();
}

DataDefects ItemsDefects(ptree const& items, ptree const& weapons, DataFiles const& files) {
    Defects out("items.info");
    float const frequency = out.number<float>(items, "", "frequency").value_or(0.0f);
    if (!(frequency > 0.0f)) return out.take();
    for (const char* key : {"maxInitialThrows", "maxThrowsPerRound"}) {
        if (auto const n = out.number<int>(items, "", key); n && (*n < 0 || *n > 20)) out.add(key, "must lie in 0..20");
    }
    // The item bodies take their texture from the item's image.
    CheckBody(out, ChildOrEmpty(items, "itemBody"), "itemBody.", false, files);
    ptree const* list = Child(items, "items");
    if (!list || list->empty()) {
        out.add("items", "no items, but frequency is above 0");
        return out.take();
    }
    std::vector<std::string> const names = AvailableWeaponNames(weapons);
    for (auto const& item : *list) {
        std::string const p = "items." + item.first + ".";
        if (!CheckName(out, "items." + item.first, item.first)) continue;
        if (!Child(item.second, "name")) out.add(p + "name", "missing");
        if (ptree const* image = Child(item.second, "image"))
            out.image(*image, p + "image", files);
        else
            out.add(p + "image", "missing");
        if (auto const w = out.number<float>(item.second, p, "relativeFrequency"); w && *w < 0.0f)
            out.add(p + "relativeFrequency", "must not be negative");
        for (auto const& effect : item.second) {
            if (effect.first == "addHealth" && !Converts<float>(effect.second)) {
                out.add(p + "addHealth", "'" + effect.second.data() + "' is not a number");
            } else if (effect.first == "addRotateWorld" && !Converts<int>(effect.second)) {
                out.add(p + "addRotateWorld", "'" + effect.second.data() + "' is not a whole number");
            } else if (effect.first == "addWeapon" &&
                       std::find(names.begin(), names.end(), effect.second.data()) == names.end()) {
                out.add(p + "addWeapon", "names no available weapon '" + effect.second.data() + "'");
            }
        }
    }
    return out.take();
}

DataDefects GameConfigDefects(ptree const& config, DataFiles const& files) {
    Defects out("game_config.info");
    std::string const font = config.get<std::string>("roundTimerFont", "");
    if (font.empty())
        out.add("roundTimerFont", "names no font; the round timer and the HUD need one");
    else if (!files.font(font))
        out.add("roundTimerFont", "no font file '" + font + "'");
    static const std::pair<const char*, const char*> kAreaTextures[] = {
        {"area.blendTexture1", "bw_test.png"},        {"area.blendTexture2", "bw_test.png"},
        {"area.diffuseTexture1", "tmp_lvl_tex.png"},  {"area.diffuseTexture2", "tmp_lvl_tex.png"},
        {"area.lavaTexture", "tmp_lvl_tex.png"},      {"area.lavaBorderTexture", "tmp_lvl_tex.png"},
        {"area.lavaFlowTexture", "tmp_lvl_tex.png"},
    };
    for (auto const& key : kAreaTextures) out.texture(files, key.first, config.get<std::string>(key.first, key.second));
    if (ptree const* layers = Child(config, "parallaxLayers")) {
        int index = 0;
        for (auto const& layer : *layers) {
            if (layer.first != "layer") continue;
            out.texture(files, "parallaxLayers.layer[" + std::to_string(index) + "].texture",
                        layer.second.get<std::string>("texture", ""));
            ++index;
        }
    }
    CheckBody(out, ChildOrEmpty(config, "slob"), "slob.", true, files);
    LevelGenerationParams counts;
    counts.caves.num_circles = config.get("randArea.numCircles", counts.caves.num_circles);
    counts.lava.num_fields = config.get("randLava.numFields", counts.lava.num_fields);
    counts.lava.num_sub_circles_per_field =
        config.get("randLava.numSubCirclesPerField", counts.lava.num_sub_circles_per_field);
    for (auto const& fault : LevelGenerationCountFaults(counts)) out.add(fault.first, fault.second);
    return out.take();
}

void RefuseDataDefects(DataDefects const& defects) {
    if (defects.empty()) return;
    std::string message;
    for (std::string const& line : defects) message += (message.empty() ? "" : "\n") + line;
    throw Error(message);
}

}  // namespace vo
