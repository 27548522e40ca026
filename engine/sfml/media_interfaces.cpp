#include "engine/sfml/audio.h"
#include "engine/sfml/buffers.h"

namespace vo {

// Out-of-line destructors anchor the interfaces' type information in the
// library.
VertexBuffer::~VertexBuffer() = default;
IndexBuffer::~IndexBuffer() = default;
SoundBuffer::~SoundBuffer() = default;
Music::~Music() = default;
Sound::~Sound() = default;

}  // namespace vo
