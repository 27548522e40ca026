#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment.h"

#include <vector>

namespace mg {

class Grid;
class ISubsetHandler;

// Writes a grid as the three text files of the TetGen mesh format: "base.node"
// (vertices, numbered from 0 in list order), "base.face" (the triangles) and
// "base.ele" (the tetrahedra). A name ending in ".ele" gives the base without
// that ending; any other name is the base itself, and the element file is
// then the name plus ".ele". With a subset handler every triangle and
// tetrahedron carries its subset index as marker (-1 for none, or when the
// handler does not support the kind or belongs to another grid). Other
// volumes and faces that are not triangles are left out, with one log line
// each.
// aPos: the vertex positions. False when the positions are not attached or
// any of the three files cannot be written completely.
bool SaveGridToELE(Grid& grid, const char* filename, ISubsetHandler* sh,
                   Attachment<MathVector<3, float>>& aPos);

// The writer behind SaveGridToELE. nodeFilename is required; a null face or
// element file name leaves that file out. Vertex attributes (float values,
// written after the coordinates in list order) and the three marker
// attachments are optional. False when the positions or a given attribute or
// marker attachment are not attached, or when a file cannot be opened or
// written completely; the other files are written all the same.
bool WriteTetGenFiles(Grid& grid, const char* nodeFilename, const char* faceFilename,
                      const char* eleFilename, Attachment<MathVector<3, float>>& aPos,
                      std::vector<Attachment<float>>* vertexAttributes = nullptr,
                      Attachment<int>* vertexMarkers = nullptr, Attachment<int>* faceMarkers = nullptr,
                      Attachment<int>* volumeMarkers = nullptr);

}  // namespace mg
