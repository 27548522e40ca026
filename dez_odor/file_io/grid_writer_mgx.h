#pragma once

#include "common/math/math_vector.h"
#include "dez_odor/grid/attachment.h"

#include <iosfwd>
#include <memory>

namespace mg {

class Grid;
class ISubsetHandler;

// Builds an MGX document (the library's XML grid format) in memory, one grid
// and one subset handler at a time, and prints it to a stream or a file.
// Every list is turned into text when it is added; printing only emits the
// finished document. The names handed in are copied.
//
// Each added grid carries the writer's index attachment (the elements' MGX
// numbers) on all four element kinds until the writer is destroyed, so a
// grid must outlive the writer it was added to.
//
// A document holds one top-level "grid" element per added grid; only a
// document with exactly one grid is a well-formed XML document.
class GridWriterMGX {
public:
    GridWriterMGX();
    virtual ~GridWriterMGX();

    GridWriterMGX(const GridWriterMGX&) = delete;
    GridWriterMGX& operator=(const GridWriterMGX&) = delete;

    // Adds a "grid" element with the vertex coordinates (aPos, 1 to 3
    // components) and the element lists. False, with a log line and nothing
    // added, when the vertices do not carry aPos.
    bool add_grid(Grid& grid, const char* name, const Attachment<MathVector<1, float>>& aPos);
    bool add_grid(Grid& grid, const char* name, const Attachment<MathVector<2, float>>& aPos);
    bool add_grid(Grid& grid, const char* name, const Attachment<MathVector<3, float>>& aPos);

    // Adds a "subset_handler" element for sh under the grid added
    // refGridIndex-th (counting successful add_grid calls from 0). The element
    // numbers come from sh's own grid. A bad index is logged and ignored.
    void add_subset_handler(ISubsetHandler& sh, const char* name, unsigned int refGridIndex);

    // Prints the document; false when the stream reports a failed write.
    virtual bool write_to_stream(std::ostream& out);
    // Prints the document into the file (created or replaced); false when
    // the file cannot be opened or a write or the close fails.
    bool write_to_file(const char* filename);

private:
    struct Document;  // the XML document and the list of added grids

    template <size_t N>
    bool add_grid_with(Grid& grid, const char* name, const Attachment<MathVector<N, float>>& aPos);

    std::unique_ptr<Document> m_doc;
    Attachment<int> m_aIndex;
};

}  // namespace mg
