#include "game/level/data_rules.h"

#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/core/platform.h"
#include "engine/core/tree_readers.h"
#include "engine/physics/soft_body_circle.h"
#include "engine/physics/soft_body_desc.h"
#include "game/level/explosion_type_defaults.h"
#include "game/level/level_generation.h"

#include <boost/optional.hpp>
#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <type_traits>
#include <utility>

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

// A value as the warnings show it.
template <class T>
std::string Shown(T value) {
    std::ostringstream text;
    text << value;
    return text.str();
}
std::string Shown(bool value) { return value ? "true" : "false"; }

// What a text is not, for a value of type T.
template <class T>
std::string NotA(std::string const& text) {
    if (std::is_same<T, bool>::value) return "'" + text + "' is not true or false";
    return "'" + text + (std::is_integral<T>::value ? "' is not a whole number" : "' is not a number");
}

class Findings {
public:
    explicit Findings(std::string file) : file_(std::move(file)) {}
    void refuse(std::string const& key, std::string const& what) { found_.defects.push_back(line(key, what)); }
    void warn(std::string const& key, std::string const& what, std::string const& used) {
        found_.warnings.push_back(line(key, what) + ", " + used + " used");
    }

    // The value the game reads from an optional child: the child's own when
    // it converts, otherwise the reader's default (with a warning when the
    // child is there).
    template <class T>
    T value(ptree const& node, std::string const& prefix, std::string const& key, T fallback) {
        ptree const* child = Child(node, key);
        if (!child) return fallback;
        if (boost::optional<T> const v = child->get_value_optional<T>()) return *v;
        warn(prefix + key, NotA<T>(child->data()), Shown(fallback));
        return fallback;
    }
    // The value of a child the game reads without a default: missing or not
    // converting, it is a defect and none.
    template <class T>
    boost::optional<T> required(ptree const& node, std::string const& prefix, std::string const& key,
                                std::string const& missing = "missing") {
        ptree const* child = Child(node, key);
        if (!child) {
            refuse(prefix + key, missing);
            return boost::none;
        }
        boost::optional<T> const v = child->get_value_optional<T>();
        if (!v) refuse(prefix + key, NotA<T>(child->data()));
        return v;
    }
    void texture(DataFiles const& files, std::string const& key, std::string const& name) {
        if (name.empty())
            refuse(key, "names no texture");
        else if (!files.texture(name))
            refuse(key, "no texture file '" + name + "'");
    }
    // An image or icon: a texture that exists and a source frame that reads.
    void image(ptree const& node, std::string const& key, DataFiles const& files) {
        boost::optional<std::string> const name = node.get_optional<std::string>("texture");
        if (!name)
            refuse(key + ".texture", "missing");
        else
            texture(files, key + ".texture", *name);
        for (const char* frame : {"srcFrame", "destFrame"}) {
            ptree const* f = Child(node, frame);
            if (!f) continue;
            try {
                ReadFrame(*f);
            } catch (Error const& e) {
                refuse(key + "." + frame, e.message());
            }
        }
    }

    DataFindings take() { return std::move(found_); }

private:
    std::string line(std::string const& key, std::string const& what) const { return file_ + ": " + key + ": " + what; }

    std::string file_;
    DataFindings found_;
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
bool CheckName(Findings& out, std::string const& key, std::string const& name) {
    std::string const fault = NameFault(name);
    if (!fault.empty()) out.refuse(key, fault);
    return fault.empty();
}

// A soft-body description (keys without prefix, as the game reads them with
// InitSoftBodyDesc) named by prefix in the lines: values that read (a
// warning and the reader's default otherwise), what the circle builder
// (CreateSoftBody_Circle) refuses and, for a textured body, a texture that
// exists.
void CheckBody(Findings& out, ptree const& body, std::string const& prefix, bool textured, DataFiles const& files) {
    SoftBodyDesc const d;
    const std::pair<const char*, int> whole[] = {{"numBoundaryPoints", d.num_boundary_points},
                                                 {"nbrConnectionRadius", d.nbr_connection_radius},
                                                 {"opposingConnectionRadius", d.opposing_connection_radius}};
    for (auto const& key : whole) out.value<int>(body, prefix, key.first, key.second);
    // The mass is kept inverted.
    const std::pair<const char*, float> numbers[] = {
        {"radius", d.radius},
        {"uvScale", d.uv_scale},
        {"texX1", d.tex_x1},
        {"texY1", d.tex_y1},
        {"texX2", d.tex_x2},
        {"texY2", d.tex_y2},
        {"friction", d.friction},
        {"noFrictionVel", d.no_friction_vel},
        {"particleDamping", d.particle_damping},
        {"stickyness", d.stickiness},
        {"stickyVelocity", d.sticky_velocity},
        {"stickyForce", d.sticky_force},
        {"mass", 1.0f / d.mass_inv},
        {"rigidity", d.rigidity},
        {"inertia", d.inertia},
        {"springShortConstant", d.spring_short_constant},
        {"springLongConstant", d.spring_long_constant},
        {"springDamping", d.spring_damping}};
    for (auto const& key : numbers) out.value<float>(body, prefix, key.first, key.second);
    out.value<bool>(body, prefix, "stickyParticles", d.sticky_particles);
    SoftBodyDesc desc;
    InitSoftBodyDescNoTexture(desc, body, "");
    SoftBodyCircleFault const fault = FindSoftBodyCircleFault(desc);
    if (!fault.empty()) out.refuse(prefix + fault.key, fault.what);
    if (textured) out.texture(files, prefix + "texture", body.get<std::string>("texture", d.texture));
}

void CheckExplosionTypes(Findings& out, ptree const& weapons, DataFiles const& files) {
    ptree const* types = Child(weapons, "explosionTypes");
    if (!types) {
        out.refuse("explosionTypes", "missing");
        return;
    }
    if (!Child(*types, "small")) out.refuse("explosionTypes.small", "missing (the explosion of a dying slob)");
    for (auto const& type : *types) {
        std::string const prefix = "explosionTypes." + type.first + ".";
        using D = ExplosionTypeDefaults;
        if (!(out.value<float>(type.second, prefix, "radius", D::radius) > 0.0f))
            out.refuse(prefix + "radius", "must be above 0");
        out.value<float>(type.second, prefix, "damage", D::damage);
        out.value<float>(type.second, prefix, "force", D::force);
        if (out.value<float>(type.second, prefix, "peakDelay", D::peak_delay) < 0.0f)
            out.refuse(prefix + "peakDelay", "must not be negative");
        float const volume = out.value<float>(type.second, prefix, "soundVolume", D::sound_volume);
        if (volume < 0.0f || volume > 100.0f) out.refuse(prefix + "soundVolume", "must lie in 0..100");
        std::string const sound = type.second.get<std::string>("soundFile", "");
        if (!sound.empty() && !files.sound(sound)) out.refuse(prefix + "soundFile", "no sound file '" + sound + "'");
    }
}

// Follows the cluster types from every weapon; reports each cycle once.
void CheckClusterCycles(Findings& out, std::map<std::string, std::string> const& next) {
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
                    out.refuse(cycle.front() + ".cluster.type", "cluster types form a cycle: " + chain + at);
                }
                break;
            }
            path.push_back(at);
        }
    }
}

}  // namespace

void DataFindings::append(DataFindings const& more) {
    defects.insert(defects.end(), more.defects.begin(), more.defects.end());
    warnings.insert(warnings.end(), more.warnings.begin(), more.warnings.end());
}

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

DataFindings WeaponsFindings(ptree const& weapons, bool mines_laid, bool cpu_plays, DataFiles const& files) {
    Findings out("weapons.info");
    std::vector<std::string> const names = AvailableWeaponNames(weapons);
    ptree const* available = Child(weapons, "availableWeapons");
    if (!available || names.empty()) out.refuse("availableWeapons", "lists no weapon");
    if (available) {
        for (auto const& entry : *available) {
            std::string const key = "availableWeapons." + entry.first;
            if (entry.first == "defaultWeapon") {
                std::string const name = entry.second.data();
                if (std::find(names.begin(), names.end(), name) == names.end())
                    out.refuse(key, "names no listed weapon '" + name + "'");
                continue;
            }
            CheckName(out, key, entry.first);
            // Any negative count is unlimited.
            out.value<int>(entry.second, key + ".", "num", -1);
            if (ptree const* icon = Child(entry.second, "icon"))
                out.image(*icon, key + ".icon", files);
            else
                out.refuse(key + ".icon", "missing");
            if (!Child(weapons, entry.first)) out.refuse(key, "no weapon description '" + entry.first + "'");
        }
    }

    std::vector<std::string> queue = names;
    if (mines_laid) queue.push_back("mine");
    if (cpu_plays) queue.push_back("grenade");
    std::set<std::string> done, bodies;
    std::map<std::string, std::string> cluster_type;
    ptree const& types = ChildOrEmpty(weapons, "explosionTypes");
    for (std::size_t i = 0; i < queue.size(); ++i) {
        std::string const name = queue[i];
        if (!done.insert(name).second) continue;
        ptree const* desc = Child(weapons, name);
        if (!desc) {
            if (name == "mine" || name == "grenade")
                out.refuse(name, "no weapon description (the match throws '" + name + "' by name)");
            continue;  // listed weapons and cluster types are reported where they are named
        }
        std::string const p = name + ".";
        float const fixed = out.value<float>(*desc, p, "fixedVelocity", -1.0f);
        if (fixed == 0.0f)
            out.refuse(p + "fixedVelocity", "0 reads as fixed on the weapon buttons but as charged when thrown; use -1 or a speed above 0");
        bool const fixed_speed = fixed > 0.0f;
        // The computer players aim "grenade" by its full speed, whatever
        // else it has.
        bool const aimed = cpu_plays && name == "grenade";
        if (!fixed_speed || aimed) {
            boost::optional<float> const v =
                out.required<float>(*desc, p, "maxVelocity",
                                    fixed_speed ? "missing (the computer players aim with it)"
                                                : "missing (needed without a fixedVelocity above 0)");
            if (v && !(*v > 0.0f)) out.refuse(p + "maxVelocity", "must be above 0");
        }
        bool const clusters_only = out.value<bool>(*desc, p, "clustersOnly", false);
        if (!clusters_only) {
            for (const char* key : {"timed", "groundTriggered", "slobTriggered"}) out.required<bool>(*desc, p, key);
            boost::optional<std::string> const body = desc->get_optional<std::string>("body");
            if (!body) {
                out.refuse(p + "body", "missing");
            } else if (CheckName(out, p + "body", *body)) {
                if (ptree const* b = Child(weapons, *body)) {
                    if (bodies.insert(*body).second) CheckBody(out, *b, *body + ".", true, files);
                } else {
                    out.refuse(p + "body", "no body description '" + *body + "'");
                }
            }
            std::string const type = desc->get<std::string>("explosionType", "normal");
            if (CheckName(out, p + "explosionType", type) && !Child(types, type))
                out.warn(p + "explosionType", "no explosion type '" + type + "'",
                         "a silent explosion of radius " + Shown(ExplosionTypeDefaults::radius) + ", damage " +
                             Shown(ExplosionTypeDefaults::damage) + " and force " +
                             Shown(ExplosionTypeDefaults::force));
        }
        if (name == "mine") {
            if (clusters_only) out.refuse("mine.clustersOnly", "the match lays mines as bodies");
            if (desc->get_optional<bool>("groundTriggered").value_or(false))
                out.refuse("mine.groundTriggered", "true sets every mine off where it is laid");
        }
        ptree const* cluster = Child(*desc, "cluster");
        int num = 0;
        if (cluster) {
            std::string const cp = p + "cluster.";
            // 0 or less releases no clusters.
            num = out.value<int>(*cluster, cp, "num", 0);
            if (num > kMaxClusters) out.refuse(cp + "num", "more than " + std::to_string(kMaxClusters) + " clusters");
            for (const char* key : {"directionalRelative", "orthogonalVel", "minHorizontalVel", "maxHorizontalVel",
                                    "minVerticalVel", "maxVerticalVel", "timer"}) {
                out.value<float>(*cluster, cp, key, 0.0f);
            }
            out.value<bool>(*cluster, cp, "ignoreExplosions", true);
            if (num > 0) {
                std::string const type = cluster->get<std::string>("type", "");
                if (!Child(*cluster, "type")) {
                    out.refuse(cp + "type", "missing");
                } else if (CheckName(out, cp + "type", type)) {
                    if (ptree const* weapon = Child(weapons, type)) {
                        if (weapon->get_optional<bool>("clustersOnly").value_or(false))
                            out.refuse(cp + "type", "'" + type + "' is clustersOnly and makes no grenade");
                        cluster_type[name] = type;
                        queue.push_back(type);
                    } else {
                        out.refuse(cp + "type", "names no weapon description '" + type + "'");
                    }
                }
            }
        }
        if (clusters_only && num <= 0) out.refuse(p + "clustersOnly", "true without clusters: a throw makes nothing");
    }
    CheckClusterCycles(out, cluster_type);
    CheckExplosionTypes(out, weapons, files);
    return out.take();
}

DataFindings ItemsFindings(ptree const& items, ptree const& weapons, DataFiles const& files) {
    Findings out("items.info");
    if (!(out.value<float>(items, "", "frequency", 0.0f) > 0.0f)) return out.take();
    for (const char* key : {"maxInitialThrows", "maxThrowsPerRound"}) {
        int const n = out.value<int>(items, "", key, 1);
        // A count of 0 or less draws nothing; each draw of a turn is
        // announced on its own, so a large count holds up every turn.
        if (n > 20) out.refuse(key, "more than 20 draws");
    }
    // The item bodies take their texture from the item's image.
    CheckBody(out, ChildOrEmpty(items, "itemBody"), "itemBody.", false, files);
    ptree const* list = Child(items, "items");
    if (!list || list->empty()) {
        out.refuse("items", "no items, but frequency is above 0");
        return out.take();
    }
    std::vector<std::string> const names = AvailableWeaponNames(weapons);
    for (auto const& item : *list) {
        std::string const p = "items." + item.first + ".";
        if (!CheckName(out, "items." + item.first, item.first)) continue;
        if (!Child(item.second, "name")) out.refuse(p + "name", "missing");
        if (ptree const* image = Child(item.second, "image"))
            out.image(*image, p + "image", files);
        else
            out.refuse(p + "image", "missing");
        if (out.value<float>(item.second, p, "relativeFrequency", 0.0f) < 0.0f)
            out.refuse(p + "relativeFrequency", "must not be negative");
        for (auto const& effect : item.second) {
            if (effect.first == "addHealth" && !Converts<float>(effect.second)) {
                out.refuse(p + "addHealth", NotA<float>(effect.second.data()));
            } else if (effect.first == "addRotateWorld" && !Converts<int>(effect.second)) {
                out.refuse(p + "addRotateWorld", NotA<int>(effect.second.data()));
            } else if (effect.first == "addWeapon" &&
                       std::find(names.begin(), names.end(), effect.second.data()) == names.end()) {
                out.refuse(p + "addWeapon", "names no available weapon '" + effect.second.data() + "'");
            }
        }
    }
    return out.take();
}

DataFindings GameConfigFindings(ptree const& config, DataFiles const& files, bool slob_texture_drawn) {
    Findings out("game_config.info");
    std::string const font = config.get<std::string>("roundTimerFont", "");
    if (font.empty())
        out.refuse("roundTimerFont", "names no font; the round timer and the HUD need one");
    else if (!files.font(font))
        out.refuse("roundTimerFont", "no font file '" + font + "'");
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
    CheckBody(out, ChildOrEmpty(config, "slob"), "slob.", slob_texture_drawn, files);
    LevelGenerationParams counts;
    counts.caves.num_circles = config.get("randArea.numCircles", counts.caves.num_circles);
    counts.lava.num_fields = config.get("randLava.numFields", counts.lava.num_fields);
    counts.lava.num_sub_circles_per_field =
        config.get("randLava.numSubCirclesPerField", counts.lava.num_sub_circles_per_field);
    for (auto const& fault : LevelGenerationCountFaults(counts)) out.refuse(fault.first, fault.second);
    return out.take();
}

void WarnAndRefuse(DataFindings const& findings) {
    for (std::string const& line : findings.warnings) std::cout << "WARNING: " << line << std::endl;
    if (findings.defects.empty()) return;
    std::string message;
    for (std::string const& line : findings.defects) message += (message.empty() ? "" : "\n") + line;
    throw Error(message);
}

}  // namespace vo
