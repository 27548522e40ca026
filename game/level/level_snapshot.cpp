#include "game/level/level_snapshot.h"

#include "engine/core/binary_buffer.h"
#include "engine/core/error.h"
#include "game/level/level_geometry_handle.h"
#include "game/level/level_geometry_impl.h"

#include <cmath>
#include <sstream>
#include <vector>

namespace vo {

namespace {

unsigned int BytesLeft(const BinaryBuffer& buffer)
{
    return buffer.write_pos() > buffer.read_pos() ? buffer.write_pos() - buffer.read_pos() : 0;
}

}  // namespace

void LevelGeometryImpl::serialize(BinaryBuffer& buffer) const
{
    buffer.write(static_cast<std::uint32_t>(edit_log_.size()));
    for (const LevelEditRecord& r : edit_log_) {
        buffer.write(r.x);
        buffer.write(r.y);
        buffer.write(r.radius);
        buffer.write(r.op);
    }
}

void LevelGeometryImpl::deserialize(BinaryBuffer& buffer)
{
    const unsigned int start = buffer.read_pos();
    auto refuse = [&](const std::string& why) {
        buffer.set_read_pos(start);
        throw Error("Level snapshot refused: " + why);
    };
    if (!created_)
        refuse("the level was never created");
    if (BytesLeft(buffer) < 4)
        refuse("the buffer ends before the record count");
    const std::uint32_t count = buffer.read<std::uint32_t>();
    const unsigned int left = BytesLeft(buffer);
    if (count > left / sizeof(LevelEditRecord)) {
        std::ostringstream why;
        why << count << " records announced, but only " << left << " bytes follow";
        refuse(why.str());
    }

    std::vector<LevelEditRecord> records(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        LevelEditRecord& r = records[i];
        r.x = buffer.read<float>();
        r.y = buffer.read<float>();
        r.radius = buffer.read<float>();
        r.op = buffer.read<std::uint32_t>();
        if (!std::isfinite(r.x) || !std::isfinite(r.y) || !std::isfinite(r.radius) ||
            !(r.radius > 0)) {
            std::ostringstream why;
            why << "record " << i << " has x " << r.x << ", y " << r.y << ", radius " << r.radius;
            refuse(why.str());
        }
    }

    // The log holds the whole history of the level, its generation
    // included: replay it on a fresh disc.
    const CreateParams p = create_params_;
    create(p.radius, p.spacing, p.rim_width, p.uv_scale, p.level_effect, p.lava_effect,
           p.light_radius_min_factor, p.light_radius_max_factor);
    for (const LevelEditRecord& r : records) {
        if (r.op == LEVEL_EDIT_CARVE)
            explode(r.x, r.y, r.radius, nullptr);
        else if (r.op == LEVEL_EDIT_LAVA)
            add_lava(r.x, r.y, r.radius);
    }
}

void WriteLevelSnapshot(BinaryBuffer& buffer, const LevelGeometryHandle& level)
{
    buffer.clear();
    buffer.write(LEVEL_SNAPSHOT_MAGIC);
    level.serialize(buffer);
}

void ReadLevelSnapshot(BinaryBuffer& buffer, LevelGeometryHandle& level)
{
    const unsigned int start = buffer.read_pos();
    if (BytesLeft(buffer) < 4)
        throw Error("Level snapshot refused: the buffer ends before the magic number");
    if (buffer.read<std::uint32_t>() != LEVEL_SNAPSHOT_MAGIC) {
        buffer.set_read_pos(start);
        throw Error("Magic Number mismatch during Match::deserialize at check 1");
    }
    try {
        level.deserialize(buffer);
    } catch (...) {
        buffer.set_read_pos(start);
        throw;
    }
}

}  // namespace vo
