#include "checker.h"

#include "engine/core/error.h"
#include "engine/core/tree_readers.h"

#include <SFML/Audio/InputSoundFile.hpp>

#include "engine/core/info_file.h"
#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <fstream>
#include <locale>

namespace check {

namespace {

bool Readable(std::string const& path) { return static_cast<bool>(std::ifstream(path)); }

// The size in a PNG file's header; the full picture is decoded by the tests
// that load every texture, the checker only needs to know it is there.
bool PngSize(std::string const& path, unsigned& width, unsigned& height) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[24];
    if (!in.read(reinterpret_cast<char*>(header), sizeof header)) return false;
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    if (!std::equal(kSignature, kSignature + 8, header) || !std::equal(header + 12, header + 16, "IHDR")) return false;
    auto be32 = [&](int at) {
        return (unsigned(header[at]) << 24) | (unsigned(header[at + 1]) << 16) | (unsigned(header[at + 2]) << 8) |
               unsigned(header[at + 3]);
    };
    width = be32(16);
    height = be32(20);
    return width > 0 && height > 0;
}

bool Decodes(std::string const& path) {
    if (!Readable(path)) return false;
    sf::InputSoundFile file;
    return file.openFromFile(path) && file.getSampleCount() > 0;
}

}  // namespace

Checker::Checker(std::string data_dir) : dir_(std::move(data_dir)) {}

void Checker::add(std::string const& file, std::string const& key, std::string const& what) {
    found_.defects.push_back(file + ": " + key + ": " + what);
}

void Checker::warn(std::string const& file, std::string const& key, std::string const& what) {
    found_.warnings.push_back(file + ": " + key + ": " + what);
}

void Checker::add(vo::DataFindings const& findings) { found_.append(findings); }

ptree const* Checker::config(std::string const& file) {
    if (auto const it = configs_.find(file); it != configs_.end()) return &it->second;
    if (broken_configs_.count(file)) return nullptr;
    std::string const path = folder("config") + file;
    ptree tree;
    try {
        if (!Readable(path)) throw std::runtime_error("missing");
        vo::ReadInfoFile(path, tree);
        if (tree.empty()) throw std::runtime_error("holds no entries");
    } catch (std::exception const& e) {
        add(file, "-", std::string("cannot be read: ") + e.what());
        broken_configs_[file] = true;
        return nullptr;
    }
    return &(configs_[file] = std::move(tree));
}

ImageSize Checker::texture(std::string const& name) {
    if (auto const it = textures_.find(name); it != textures_.end()) return it->second;
    ImageSize size;
    if (!name.empty()) size.ok = PngSize(folder("textures") + name, size.width, size.height);
    return textures_[name] = size;
}

bool Checker::sound(std::string const& name) {
    if (auto const it = sounds_.find(name); it != sounds_.end()) return it->second;
    return sounds_[name] = !name.empty() && Decodes(folder("sounds") + name);
}

bool Checker::music(std::string const& name) {
    if (auto const it = music_.find(name); it != music_.end()) return it->second;
    return music_[name] = !name.empty() && Decodes(folder("music") + name);
}

bool Checker::font(std::string const& name) {
    if (auto const it = fonts_.find(name); it != fonts_.end()) return it->second;
    return fonts_[name] = !name.empty() && Readable(folder("fonts") + name);
}

vo::DataFiles Checker::files() {
    return vo::DataFiles{[this](std::string const& n) { return texture(n).ok; },
                         [this](std::string const& n) { return sound(n); },
                         [this](std::string const& n) { return font(n); }};
}

void Checker::texture_frame(ptree const& frame, std::string const& texture_name, std::string const& file,
                            std::string const& key) {
    vo::Frame f;
    try {
        f = vo::ReadFrame(frame);
    } catch (vo::Error const& e) {
        add(file, key, e.message());
        return;
    }
    ImageSize const size = texture(texture_name);
    if (!size.ok) return;  // reported with the texture
    float const l = std::min(f.left(), f.right()), r = std::max(f.left(), f.right());
    float const t = std::min(f.top(), f.bottom()), b = std::max(f.top(), f.bottom());
    if (l < 0 || t < 0 || r > size.width || b > size.height || !(r > l) || !(b > t)) {
        add(file, key,
            "lies outside the " + std::to_string(size.width) + " x " + std::to_string(size.height) + " texture '" +
                texture_name + "' or has no area");
        return;
    }
    if (!atlases_read_) {
        atlases_read_ = true;
        std::string const path = folder("textures") + "atlases.info";
        ptree manifest;
        try {
            vo::ReadInfoFile(path, manifest);
        } catch (std::exception const& e) {
            add("textures/atlases.info", "-", std::string("cannot be read: ") + e.what());
        }
        for (auto const& atlas : manifest) {
            auto& regions = atlases_[atlas.second.get<std::string>("texture", "")];
            for (auto const& region : atlas.second) {
                if (region.first != "region") continue;
                regions.push_back({region.second.get<float>("left", 0), region.second.get<float>("top", 0),
                                   region.second.get<float>("right", 0), region.second.get<float>("bottom", 0)});
            }
        }
    }
    auto const atlas = atlases_.find(texture_name);
    if (atlas == atlases_.end()) return;
    for (auto const& region : atlas->second) {
        if (region[0] == f.left() && region[1] == f.top() && region[2] == f.right() && region[3] == f.bottom()) return;
    }
    add(file, key, "is no region of the atlas '" + texture_name + "' (see textures/atlases.info)");
}

void Checker::image(ptree const& node, std::string const& file, std::string const& key) {
    auto const name = node.get_optional<std::string>("texture");
    if (!name) {
        add(file, key + ".texture", "missing");
        return;
    }
    if (!texture(*name).ok) {
        add(file, key + ".texture", "no texture file '" + *name + "'");
        return;
    }
    if (auto const src = node.get_child_optional("srcFrame")) texture_frame(*src, *name, file, key + ".srcFrame");
    if (auto const dest = node.get_child_optional("destFrame")) {
        try {
            vo::ReadFrame(*dest);
        } catch (vo::Error const& e) {
            add(file, key + ".destFrame", e.message());
        }
    }
}

}  // namespace check

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: check_data <data folder>\n";
        return 2;
    }
    check::Checker c(argv[1]);
    check::CheckMenuConfig(c);
    check::CheckWidgetStyles(c);
    check::CheckIngameStyles(c);
    check::CheckCharacters(c);
    check::CheckMusic(c);
    check::CheckDebugConfig(c);
    check::CheckGameConfig(c);
    check::CheckWeaponsAndItems(c);
    check::CheckFonts(c);
    check::CheckShaders(c);
    // The engine's readers load textures, which needs a display; they run
    // only after everything else is sound, so that they report nothing twice.
    if (c.defects().empty()) check::CheckWithEngineReaders(c);
    // Warnings, as the game prints them when it loads the files, do not
    // fail the check.
    for (std::string const& line : c.warnings()) std::cout << "WARNING: " << line << "\n";
    for (std::string const& line : c.defects()) std::cout << line << "\n";
    if (!c.defects().empty()) {
        std::cout << "check_data: " << c.defects().size() << " defect(s) in " << argv[1] << std::endl;
        return 1;
    }
    std::cout << "check_data: " << argv[1] << " is sound";
    if (!c.warnings().empty()) std::cout << ", with " << c.warnings().size() << " warning(s)";
    std::cout << std::endl;
    return 0;
}
