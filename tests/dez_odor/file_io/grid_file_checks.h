#pragma once

// Grids for the writer tests, and what the independent readers in this folder
// (mgx_read.py, lgb_read.py, art_read.py) are expected to print for them.

#include "common/math/math_vector.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "support/grid/external_tool.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace mg_test {

using Vec3 = mg::MathVector<3, float>;
using PosAccessor3 = mg::AttachmentAccessor<mg::Vertex, Vec3>;

// Debian's interpreter, which sees the python3-* packages (the python3 on
// PATH may be another one), and libxml2-utils' xmllint.
constexpr const char* kDebianPython = "/usr/bin/python3";
constexpr const char* kXmllint = "/usr/bin/xmllint";

// A file of this test folder (the reader scripts, the schema, the goldens).
std::string FileIoTestFile(const std::string& name);

// Runs one of the reader scripts of this folder with Debian's python3.
ToolResult RunReaderScript(const std::string& script, const std::vector<std::string>& args);

// Float bits in hex ("3f800000"), and a position as its components' bits
// joined by "," (what the readers print for a vertex).
std::string FloatBits(float f);
template <size_t N>
std::string PositionKey(const mg::MathVector<N, float>& p)
{
    std::string key;
    for (size_t i = 0; i < N; ++i)
        key += (i ? "," : "") + FloatBits(p[i]);
    return key;
}
std::string HexBytes(const std::string& bytes);

// A grid (default options, aPosition on the vertices) with two subset
// handlers: sh supports every kind, shFaces only edges and faces.
struct WriterTestGrid {
    WriterTestGrid();

    mg::Grid grid;
    PosAccessor3 aaPos;
    mg::GridSubsetHandler sh;
    mg::GridSubsetHandler shFaces;

    mg::Vertex* vertex(float x, float y, float z);
};

// Fills the grid with random elements of every regular class: vertices
// (among them awkward coordinates such as 0.1, -0 and 1e-30), triangles,
// quadrilaterals, tetrahedra and the edges and faces they generate. With
// withSpecialSections also constrained and constraining vertices, edges and
// faces, and volumes of sections 1 to 4. Then subsets with awkward names,
// colours, states and properties, random elements in both handlers.
void FillRandomGrid(WriterTestGrid& g, unsigned int seed, bool withSpecialSections);

// The corner keys of an element joined by sep (a vertex: its own key).
std::string ElementKey(const mg::Vertex* vrt, const PosAccessor3& aaPos, const char* sep = "/");
std::string ElementKey(const mg::IVertexGroup* elem, const PosAccessor3& aaPos, const char* sep = "/");

// What mgx_read.py prints for the grid written with 3-D positions under
// gridName, with the handlers written under the names given.
std::string ExpectedMgxReading(mg::Grid& grid, const PosAccessor3& aaPos, const std::string& gridName,
                               const std::vector<std::pair<mg::ISubsetHandler*, std::string>>& handlers);

// What lgb_read.py prints for the grid written with the handlers.
std::string ExpectedLgbReading(mg::Grid& grid, const PosAccessor3& aaPos,
                               const std::vector<mg::ISubsetHandler*>& handlers);

}  // namespace mg_test
