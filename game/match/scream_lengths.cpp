#include "game/match/scream_lengths.h"

#include "engine/core/info_file.h"
#include "engine/core/path_provider.h"
#include "game/app/characters.h"

#include <boost/property_tree/ptree.hpp>

#include <cstdint>
#include <fstream>
#include <map>

namespace vo {

namespace {

std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

double WavSeconds(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char header[12];
    if (!in.read(reinterpret_cast<char*>(header), 12)) return 0.0;
    if (std::string(reinterpret_cast<char*>(header), 4) != "RIFF" ||
        std::string(reinterpret_cast<char*>(header) + 8, 4) != "WAVE")
        return 0.0;

    std::uint32_t byte_rate = 0;
    // The chunks in turn: "fmt " gives the bytes per second, "data" the
    // length.
    unsigned char chunk[8];
    while (in.read(reinterpret_cast<char*>(chunk), 8)) {
        const std::string id(reinterpret_cast<char*>(chunk), 4);
        const std::uint32_t size = Le32(chunk + 4);
        if (id == "fmt ") {
            unsigned char fmt[16];
            if (size < 16 || !in.read(reinterpret_cast<char*>(fmt), 16)) return 0.0;
            if (Le16(fmt) != 1) return 0.0;  // PCM only
            byte_rate = Le32(fmt + 8);
            in.seekg(static_cast<std::streamoff>(size - 16 + (size & 1u)), std::ios::cur);
        } else if (id == "data") {
            return byte_rate > 0 ? static_cast<double>(size) / static_cast<double>(byte_rate) : 0.0;
        } else {
            in.seekg(static_cast<std::streamoff>(size + (size & 1u)), std::ios::cur);
        }
    }
    return 0.0;
}

std::vector<double> const& ScreamLengths(CharacterDesc const& character) {
    static std::map<std::string, std::vector<double>> known;
    auto found = known.find(character.voiceFile);
    if (found != known.end()) return found->second;

    std::vector<double> lengths;
    boost::property_tree::ptree tree;
    ReadInfoFile(PathProvider::get_path(1) + character.voiceFile, tree);
    auto const screams = tree.find("screams");
    if (screams != tree.not_found()) {
        const std::string sounds = PathProvider::get_path(11);
        for (auto const& child : screams->second)
            if (child.first == "file") lengths.push_back(WavSeconds(sounds + child.second.data()));
    }
    return known.emplace(character.voiceFile, lengths).first->second;
}

}  // namespace vo
