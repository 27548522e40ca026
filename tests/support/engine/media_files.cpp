#include "support/engine/media_files.h"

#include <SFML/Audio/OutputSoundFile.hpp>
#include <SFML/Graphics/Image.hpp>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

namespace vo_test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane_test_XXXXXX").string();
    if (!mkdtemp(&pattern[0])) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::file(std::string const& name) const { return path_ + "/" + name; }

bool WritePng(std::string const& path, unsigned width, unsigned height,
              std::function<Rgba(unsigned x, unsigned y)> const& colour) {
    sf::Image image;
    image.create(width, height);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const Rgba c = colour(x, y);
            image.setPixel(x, y, sf::Color(static_cast<sf::Uint8>(c.r), static_cast<sf::Uint8>(c.g),
                                           static_cast<sf::Uint8>(c.b), static_cast<sf::Uint8>(c.a)));
        }
    }
    return image.saveToFile(path);
}

bool WriteWav(std::string const& path, std::vector<short> const& samples, unsigned sample_rate,
              unsigned channels) {
    sf::OutputSoundFile file;
    if (!file.openFromFile(path, sample_rate, channels)) return false;
    file.write(samples.data(), samples.size());
    return true;
}

std::vector<unsigned char> WavBytes(std::vector<short> const& samples, unsigned sample_rate, unsigned channels) {
    std::vector<unsigned char> out;
    auto u32 = [&](unsigned v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
    };
    auto u16 = [&](unsigned v) {
        out.push_back(static_cast<unsigned char>(v & 0xFF));
        out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
    };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    const unsigned data_bytes = static_cast<unsigned>(samples.size() * 2);
    tag("RIFF");
    u32(36 + data_bytes);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(channels);
    u32(sample_rate);
    u32(sample_rate * channels * 2);
    u16(channels * 2);
    u16(16);
    tag("data");
    u32(data_bytes);
    for (short s : samples) u16(static_cast<unsigned short>(s));
    return out;
}

std::vector<short> SineSamples(double seconds, double frequency, double amplitude, unsigned sample_rate) {
    const std::size_t n = static_cast<std::size_t>(seconds * sample_rate);
    std::vector<short> out(n);
    const double pi = 3.14159265358979323846;
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = static_cast<short>(std::lround(32767.0 * amplitude * std::sin(2.0 * pi * frequency * i / sample_rate)));
    }
    return out;
}

bool WriteBytes(std::string const& path, std::vector<unsigned char> const& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace vo_test
