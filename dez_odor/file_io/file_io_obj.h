#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment.h"

#include <string>
#include <vector>

namespace mg {

class Grid;
class ISubsetHandler;

// One material of a Wavefront material file (".mtl").
struct MaterialDesc {
    std::string name;
    // File name of the diffuse texture; empty for none.
    std::string texture_name;
    // Diffuse colour: red, green, blue.
    MathVector<3, float> diffuse;
    float alpha = 1.0f;
};

// Writes the vertices, edges and faces of a grid as a Wavefront OBJ file:
// the vertices once (numbered from 1 in list order), then one object per
// subset of sh ("o" with the subset's name, or sub_<index> for an empty
// name, and "usemtl" with its material) holding the subset's edges as "l"
// lines and its faces as "f" lines; without a handler one object
// "nonameknown" with every edge and face. Volumes are not written.
// aTexCoord (may be null): texture coordinates, written as "vt" lines in
// vertex order and referenced as index/index. materials (may be null): the
// material file is written beside the OBJ file (its name with the last
// four characters replaced by ".mtl" when they are an extension) and named
// by "mtllib"; a subset whose material index lies outside the list uses no
// material. False when an attachment is missing, sh belongs to another grid,
// or a file cannot be opened or written completely.
bool SaveGridToOBJ(Grid& grid, const char* filename, Attachment<MathVector<3, float>>& aPos,
                   Attachment<MathVector<2, float>>* aTexCoord = nullptr,
                   ISubsetHandler* sh = nullptr, std::vector<MaterialDesc>* materials = nullptr);

}  // namespace mg
