#include "support/engine/audio_capture.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vo_test {

bool UseOpenALWaveDriver(std::string const& wav_path, std::string const& conf_path) {
    std::ofstream conf(conf_path);
    conf << "[general]\ndrivers = wave\n\n[wave]\nfile = " << wav_path << "\n";
    conf.close();
    if (!conf) return false;
    unsetenv("ALSOFT_DRIVERS");
    return setenv("ALSOFT_CONF", conf_path.c_str(), 1) == 0;
}

namespace {

std::uint32_t U32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
unsigned U16(const unsigned char* p) { return static_cast<unsigned>(p[0]) | (static_cast<unsigned>(p[1]) << 8); }

}  // namespace

WavData ReadWav(std::string const& path) {
    WavData wav;
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(&bytes[8], "WAVE", 4) != 0) {
        return wav;
    }
    unsigned channels = 0, bits = 0, format = 0, rate = 0;
    std::size_t pos = 12;
    std::size_t data_begin = 0, data_end = 0;
    while (pos + 8 <= bytes.size()) {
        const unsigned char* chunk = &bytes[pos];
        const std::uint32_t size = U32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && pos + 8 + 16 <= bytes.size()) {
            format = U16(chunk + 8);
            channels = U16(chunk + 10);
            rate = U32(chunk + 12);
            bits = U16(chunk + 22);
            // WAVE_FORMAT_EXTENSIBLE: the real format leads the sub-format GUID.
            if (format == 0xFFFE && size >= 40 && pos + 8 + 26 <= bytes.size()) format = U16(chunk + 32);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data_begin = pos + 8;
            // A file still being written may carry no size yet: read to the end.
            data_end = (size == 0 || size == 0xFFFFFFFFu || data_begin + size > bytes.size()) ? bytes.size()
                                                                                             : data_begin + size;
            break;
        }
        pos += 8 + static_cast<std::size_t>(size) + (size & 1);
    }
    if (!data_begin || channels == 0 || rate == 0) return wav;
    if (format == 1 && bits == 16) {
        for (std::size_t p = data_begin; p + 2 <= data_end; p += 2) {
            wav.samples.push_back(static_cast<std::int16_t>(U16(&bytes[p])) / 32768.0);
        }
    } else if (format == 3 && bits == 32) {
        for (std::size_t p = data_begin; p + 4 <= data_end; p += 4) {
            float f;
            std::memcpy(&f, &bytes[p], 4);
            wav.samples.push_back(f);
        }
    } else {
        return wav;
    }
    wav.sample_rate = rate;
    wav.channels = channels;
    return wav;
}

WavLevels Levels(WavData const& wav) {
    WavLevels levels;
    if (wav.channels == 0) return levels;
    double sum = 0.0;
    for (double v : wav.samples) {
        levels.peak = std::fmax(levels.peak, std::fabs(v));
        sum += v * v;
    }
    levels.frames = wav.samples.size() / wav.channels;
    levels.rms = wav.samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(wav.samples.size()));
    return levels;
}

WavLevels ReadWavLevels(std::string const& path) { return Levels(ReadWav(path)); }

std::vector<double> BlockLevels(WavData const& wav, double block_seconds) {
    std::vector<double> out;
    const std::size_t block = static_cast<std::size_t>(block_seconds * wav.sample_rate) * wav.channels;
    if (block == 0) return out;
    for (std::size_t start = 0; start + block <= wav.samples.size(); start += block) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + block; ++i) sum += wav.samples[i] * wav.samples[i];
        out.push_back(std::sqrt(sum / static_cast<double>(block)));
    }
    return out;
}

}  // namespace vo_test
