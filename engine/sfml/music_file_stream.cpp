#include "engine/sfml/music_file_stream.h"

namespace vo {

constexpr unsigned char MusicFileStream::MAGIC[7];

bool MusicFileStream::open(const std::string& file) {
    offset_ = 0;
    if (!file_.open(file)) return false;
    offset_ = find_data_offset();
    file_.seek(offset_);
    return true;
}

sf::Int64 MusicFileStream::find_data_offset() {
    const sf::Int64 size = file_.getSize();
    // Too short for the magic and the length: an ordinary audio file.
    if (size < 11) return 0;
    for (unsigned char expected : MAGIC) {
        unsigned char byte = 0;
        if (file_.read(&byte, 1) != 1 || byte != expected) return 0;
    }
    unsigned char length[4] = {};
    if (file_.read(length, 4) != 4) return 0;
    const sf::Uint32 raw = static_cast<sf::Uint32>(length[0]) | (static_cast<sf::Uint32>(length[1]) << 8) |
                           (static_cast<sf::Uint32>(length[2]) << 16) | (static_cast<sf::Uint32>(length[3]) << 24);
    // Read as signed: a negative length (top bit set) is as malformed as one
    // above the limit.
    if (raw > static_cast<sf::Uint32>(MAX_HEADER_LENGTH)) return 0;
    return 11 + static_cast<sf::Int64>(raw);
}

sf::Int64 MusicFileStream::read(void* data, sf::Int64 size) {
    if (file_.tell() < offset_) return -1;
    return file_.read(data, size);
}

sf::Int64 MusicFileStream::seek(sf::Int64 position) {
    if (position < 0) return -1;
    const sf::Int64 result = file_.seek(offset_ + position);
    return result < 0 ? -1 : result - offset_;
}

sf::Int64 MusicFileStream::tell() {
    const sf::Int64 position = file_.tell();
    return position < 0 ? -1 : position - offset_;
}

sf::Int64 MusicFileStream::getSize() {
    const sf::Int64 size = file_.getSize();
    if (size < 0) return -1;
    return size > offset_ ? size - offset_ : 0;
}

}  // namespace vo
