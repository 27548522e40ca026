#pragma once

// The LGB binary grid file: a header, the elements as lists of vertex
// indices, the vertex positions, the subset handlers, an end marker; every
// number 32 bits wide and little-endian. The whole file is assembled in a
// BinaryBuffer and written in one piece, so a failure while assembling
// leaves no file.

#include "common/math/math_vector.h"
#include "dez_odor/file_io/binary_buffer.h"
#include "dez_odor/grid/attachment.h"
#include "dez_odor/grid/base_elements.h"
#include "dez_odor/grid/element_iterator.h"

namespace mg {

class Grid;
class ISubsetHandler;

// Writes the grid with numHandlers subset handlers (handlers may be null
// when numHandlers is 0). False when the vertices do not carry the positions,
// a handler pointer is null, the file cannot be opened or writing it fails;
// no file is created in the first two cases. A subset property of a kind the
// format cannot hold throws MGError before any file is touched.
bool SaveGridToLGB(Grid& grid, const char* filename, ISubsetHandler** handlers, int numHandlers,
                   Attachment<MathVector<3, float>> positions);

// The element block: regular and constrained vertices, regular edges,
// triangles, quadrilaterals, tetrahedra, hexahedra, prisms and pyramids of
// the grid's element collection, then the end tag -2.
bool SerializeGridElements(Grid& grid, BinaryBuffer& out);

// The position block: magic number, the position of every vertex of the
// range, magic number. False, with nothing written, when the vertices do not
// carry the attachment.
bool SerializeAttachment(Grid& grid, const Attachment<MathVector<3, float>>& a,
                         ElementIterator<Vertex> begin, ElementIterator<Vertex> end,
                         BinaryBuffer& out);

// One subset-handler block: the subset descriptions and the subset index of
// every element of the grid (-1 for kinds sh does not support, and for every
// element when sh belongs to another grid).
bool SerializeSubsetHandler(Grid& grid, ISubsetHandler& sh, BinaryBuffer& out);

}  // namespace mg
