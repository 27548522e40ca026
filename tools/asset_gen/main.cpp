// The asset generator: writes every texture, sound, piece of music and the
// bitmap font of the game's data folder. The same program always writes the
// same bytes: every random draw comes from the engine's seeded sequence.
//
//   asset_gen <data folder> <DejaVuSans-Bold.ttf> [<list file>]
//
// The list file, when given, receives the written files (relative to the
// data folder), one a line; the build uses it as its record of the run.

#include "assets.h"
#include "atlas_layout.h"
#include "canvas.h"
#include "textures_common.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace gen {

std::string OutputPath(std::string const& data_dir, std::string const& relative) {
    std::filesystem::path const path = std::filesystem::path(data_dir) / relative;
    std::filesystem::create_directories(path.parent_path());
    return path.string();
}

void SaveTexture(Canvas const& c, std::string const& data_dir, std::string const& name,
                 std::vector<std::string>& files) {
    c.save(OutputPath(data_dir, "textures/" + name));
    files.push_back("textures/" + name);
}

namespace {

// textures/atlases.info: the atlas table, for the data checker.
std::string WriteAtlasManifest(std::string const& dir) {
    std::string const path = OutputPath(dir, "textures/atlases.info");
    std::ofstream out(path);
    out << "; Written by the asset generator: the regions of every texture atlas.\n";
    for (Atlas const& atlas : Atlases()) {
        out << "atlas\n{\n    texture " << atlas.texture << "\n    width " << atlas.width << "\n    height "
            << atlas.height << "\n";
        for (Region const& r : atlas.regions) {
            out << "    region { name " << r.name << " left " << r.left << " top " << r.top << " right " << r.right
                << " bottom " << r.bottom << " }\n";
        }
        out << "}\n";
    }
    return "textures/atlases.info";
}

}  // namespace

}  // namespace gen

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: asset_gen <data folder> <bold TrueType font> [<list file>]\n";
        return 2;
    }
    std::string const dir = argv[1];
    try {
        std::vector<std::string> files;
        auto add = [&files](std::vector<std::string> const& more) { files.insert(files.end(), more.begin(), more.end()); };
        add(gen::WriteLevelTextures(dir));
        add(gen::WriteEffectTextures(dir));
        add(gen::WriteCharacterTextures(dir));
        add(gen::WriteMenuTextures(dir));
        add(gen::WriteHudTextures(dir));
        add(gen::WriteIconTextures(dir));
        files.push_back(gen::WriteAtlasManifest(dir));
        add(gen::WriteBitmapFont(dir, argv[2]));
        add(gen::WriteSounds(dir));
        add(gen::WriteMusic(dir));
        if (argc > 3) {
            std::ofstream list(argv[3]);
            for (std::string const& f : files) list << f << "\n";
            if (!list) throw std::runtime_error(std::string("cannot write ") + argv[3]);
        }
        std::cout << "asset_gen: " << files.size() << " files in " << dir << std::endl;
    } catch (std::exception const& e) {
        std::cerr << "asset_gen: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
