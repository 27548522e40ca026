#pragma once

// Option bits of a grid: one byte per element kind (vertices in bits 0-7,
// edges 8-15, faces 16-23, volumes 24-31). A store option keeps a
// neighbourhood per element; an auto-generate option makes faces and volumes
// create their missing sides when they are registered.

namespace mg {

enum GridOption : unsigned {
    VRTOPT_STORE_ASSOCIATED_EDGES = 0x00000001u,
    VRTOPT_STORE_ASSOCIATED_FACES = 0x00000002u,
    VRTOPT_STORE_ASSOCIATED_VOLUMES = 0x00000004u,

    EDGEOPT_STORE_ASSOCIATED_FACES = 0x00000100u,
    EDGEOPT_STORE_ASSOCIATED_VOLUMES = 0x00000200u,

    FACEOPT_STORE_ASSOCIATED_EDGES = 0x00010000u,
    FACEOPT_STORE_ASSOCIATED_VOLUMES = 0x00020000u,
    FACEOPT_AUTOGENERATE_EDGES = 0x00080000u,

    VOLOPT_STORE_ASSOCIATED_EDGES = 0x01000000u,
    VOLOPT_STORE_ASSOCIATED_FACES = 0x02000000u,
    VOLOPT_AUTOGENERATE_EDGES = 0x08000000u,
    VOLOPT_AUTOGENERATE_FACES = 0x10000000u,

    // What a grid built without options uses.
    GRIDOPT_DEFAULT = VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES |
                      VRTOPT_STORE_ASSOCIATED_VOLUMES | FACEOPT_AUTOGENERATE_EDGES |
                      VOLOPT_AUTOGENERATE_FACES,  // 0x10080007

    // The level mesh: vertices know their edges and faces, faces know their
    // edges and create them (0x90003).
    GRIDOPT_LEVEL_MESH = VRTOPT_STORE_ASSOCIATED_EDGES | VRTOPT_STORE_ASSOCIATED_FACES |
                         FACEOPT_STORE_ASSOCIATED_EDGES | FACEOPT_AUTOGENERATE_EDGES,
};

}  // namespace mg
