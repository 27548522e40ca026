#pragma once

#include <SFML/System/FileInputStream.hpp>
#include <SFML/System/InputStream.hpp>

#include <string>

namespace vo {

// A music file as the audio decoder reads it. A file may carry a container
// header in front of the audio data: 7 magic bytes 71 26 EA A3 0B 4E E9, a
// little-endian signed 32-bit length n (0 to 250) and n ignored bytes. Such a
// file is presented from offset 11 + n on, as if the audio data began the
// file; any other file is presented whole.
class MusicFileStream : public sf::InputStream {
public:
    static constexpr unsigned char MAGIC[7] = {0x71, 0x26, 0xEA, 0xA3, 0x0B, 0x4E, 0xE9};
    static constexpr int MAX_HEADER_LENGTH = 250;

    bool open(const std::string& file);

    sf::Int64 read(void* data, sf::Int64 size) override;
    sf::Int64 seek(sf::Int64 position) override;
    sf::Int64 tell() override;
    sf::Int64 getSize() override;

    // Offset of the audio data inside the file.
    sf::Int64 data_offset() const { return offset_; }

private:
    sf::Int64 find_data_offset();

    sf::FileInputStream file_;
    sf::Int64 offset_ = 0;
};

}  // namespace vo
