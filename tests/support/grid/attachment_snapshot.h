#pragma once

#include "dez_odor/grid/grid.h"

#include <array>
#include <cstdint>
#include <vector>

namespace mg_test {

// The ids of the attachments on the vertices, edges, faces and volumes of a
// grid, in attach order: equal snapshots before and after a call show that
// the call left no attachment behind and took none away.
inline std::array<std::vector<uint32_t>, 4> AttachmentIds(mg::Grid& grid)
{
    std::array<std::vector<uint32_t>, 4> ids;
    const auto collect = [](const auto& pipe, std::vector<uint32_t>& out) {
        for (auto it = pipe.attachments_begin(); it != pipe.attachments_end(); ++it)
            out.push_back(it->attachment->id());
    };
    collect(grid.vertex_attachment_pipe(), ids[0]);
    collect(grid.edge_attachment_pipe(), ids[1]);
    collect(grid.face_attachment_pipe(), ids[2]);
    collect(grid.volume_attachment_pipe(), ids[3]);
    return ids;
}

}  // namespace mg_test
