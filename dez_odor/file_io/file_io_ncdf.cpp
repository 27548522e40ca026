#include "dez_odor/file_io/file_io_ncdf.h"

#include "common/log.h"
#include "dez_odor/file_io/text_writer_support.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/tools/subset_handler_interface.h"

#include <fstream>
#include <vector>

namespace mg {

namespace {

using Position = MathVector<3, float>;

// One element block: a subset and the number of its tetrahedra.
struct ElementBlock {
    int subset;
    size_t numTetrahedra;
};

// 1, 2, ..., n, five numbers to a line.
void WriteNumberList(std::ostream& out, size_t n)
{
    int c = 1;
    for (size_t v = 1; v <= n; ++v) {
        out << v;
        if (v < n) {
            out << ", ";
            if (c > 4) {
                out << "\n  ";
                c = 0;
            }
        }
        ++c;
    }
}

// All x coordinates, then all y, then all z, five values to a line (the
// first z value never starts a line).
void WriteCoordinates(std::ostream& out, Grid& grid, const AttachmentAccessor<Vertex, Position>& aaPos)
{
    int c = 1;
    for (int dim = 0; dim < 2; ++dim) {
        for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it) {
            if (c > 5) {
                out << "\n ";
                c = 1;
            }
            out << " " << aaPos[*it][dim] << ",";
            ++c;
        }
    }
    bool first = true;
    for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it) {
        if (!first) {
            out << ",";
            if (c > 5) {
                out << "\n ";
                c = 1;
            }
        }
        first = false;
        out << " " << aaPos[*it][2];
        ++c;
    }
}

}  // namespace

bool SaveGridToNCDF(Grid& grid, const char* filename, ISubsetHandler* sh, Attachment<Position> aPos)
{
    // Every precondition is checked before the file is opened, so that a
    // refused call never empties an existing file.
    if (!sh) {
        MG_LOG("ERROR: SubsetHandler required for NCDF (Exodus) export.\n");
        return false;
    }
    if (sh->grid() != &grid) {
        MG_LOG("ERROR in SaveGridToNCDF: The subset handler belongs to another grid.\n");
        return false;
    }
    if (!grid.has_vertex_attachment(aPos))
        return false;

    const ElementCollection gridElements = grid.get_element_collection();
    const size_t numTetrahedra = NumTetrahedra(gridElements);
    if (grid.num_volumes() != numTetrahedra) {
        MG_LOG("Saving grid to EXODUS-format.\n"
               << "  WARNING: only Tetrahedrons exported in the moment.\n");
    }

    // Only subsets that hold tetrahedra make blocks: an empty block would be
    // a dimension of length 0, which NetCDF cannot store beside time_step.
    std::vector<ElementBlock> blocks;
    for (int i = 0; i < sh->num_subsets(); ++i) {
        const ElementCollection ec = sh->get_element_collection(i);
        size_t n = 0;
        for (size_t level = 0; level < ec.num_levels(); ++level)
            n += NumTetrahedra(ec, level);
        if (n > 0)
            blocks.push_back(ElementBlock{i, n});
    }
    if (numTetrahedra == 0) {
        MG_LOG("ERROR in SaveGridToNCDF: the grid holds no tetrahedra; nothing written to "
               << filename << "\n");
        return false;
    }
    if (blocks.empty()) {
        MG_LOG("ERROR in SaveGridToNCDF: no subset holds tetrahedra; nothing written to " << filename
                                                                                            << "\n");
        return false;
    }

    std::ofstream out;
    if (!OpenTextFile(out, filename))
        return false;

    ScopedIndexAttachment<Vertex> aaIndex(grid);
    AttachmentAccessor<Vertex, Position> aaPos(grid.vertex_attachment_pipe(), aPos);
    {
        int number = 1;
        for (auto it = grid.begin<Vertex>(); it != grid.end<Vertex>(); ++it)
            aaIndex[*it] = number++;
    }

    const size_t numBlocks = blocks.size();

    out << "netcdf object {\n";
    out << "dimensions:\n";
    out << "\tlen_string = 33 ;\n";
    out << "\tlen_line = 81 ;\n";
    out << "\tfour = " << 4 << " ;\n";
    out << "\ttime_step = UNLIMITED ;\n";
    out << "\tnum_dim = 3 ;\n";
    out << "\tnum_nodes = " << grid.num_vertices() << " ;\n";
    out << "\tnum_elem = " << numTetrahedra << " ;\n";
    out << "\tnum_el_blk = " << numBlocks << " ;\n";
    for (size_t j = 1; j <= numBlocks; ++j) {
        out << "\tnum_el_in_blk" << j << " = " << blocks[j - 1].numTetrahedra << " ;\n";
        out << "\tnum_nod_per_el" << j << " = 4 ;\n";
    }
    out << "\tnum_qa_rec = 1 ;\n";
    out << "\n";

    out << "variables:\n";
    out << "\tdouble time_whole(time_step) ;\n";
    out << "\tint eb_status(num_el_blk) ;\n";
    out << "\tint eb_prop1(num_el_blk) ;\n";
    out << "\t\teb_prop1:name = \"ID\" ;\n";
    for (size_t j = 1; j <= numBlocks; ++j) {
        out << "\tint connect" << j << "(num_el_in_blk" << j << ", num_nod_per_el" << j << ") ;\n";
        out << "\t\tconnect" << j << ":elem_type = \"TETRA4\" ;\n";
    }
    out << "\tdouble coord(num_dim, num_nodes) ;\n";
    out << "\tchar qa_records(num_qa_rec, four, len_string) ;\n";
    out << "\tchar coor_names(num_dim, len_string) ;\n";
    out << "\tint elem_map(num_elem) ;\n";
    out << "\tint elem_num_map(num_elem) ;\n";
    out << "\tint node_num_map(num_nodes) ;\n";

    out << "// global attributes:\n";
    out << "\t:api_version = 4.01f ;\n";
    out << "\t:version = 3.01f ;\n";
    out << "\t:floating_point_word_size = " << 4 << " ;\n";
    out << "\t:file_size = 0 ;\n";
    out << "\t:title = \"Exported from dez_odor.\" ;\n";
    out << "\n";

    out << "data:\n";
    out << "eb_status = ";
    for (size_t j = 1; j <= numBlocks; ++j)
        out << (j > 1 ? ", " : "") << 1;
    out << " ;\n\n";
    out << "eb_prop1 = ";
    for (size_t j = 1; j <= numBlocks; ++j)
        out << (j > 1 ? ", " : "") << j;
    out << " ;\n\n";

    for (size_t j = 1; j <= numBlocks; ++j) {
        out << "connect" << j << " =\n";
        const ElementCollection ec = sh->get_element_collection(blocks[j - 1].subset);
        bool first = true;
        for (size_t level = 0; level < ec.num_levels(); ++level) {
            for (Volume* t : Tetrahedra(ec, level)) {
                if (!first)
                    out << ",\n";
                first = false;
                out << "  " << aaIndex[t->vertex(0)] << ", " << aaIndex[t->vertex(1)] << ", "
                    << aaIndex[t->vertex(2)] << ", " << aaIndex[t->vertex(3)];
            }
        }
        out << " ;\n\n";
    }

    out << "coord =\n ";
    WriteCoordinates(out, grid, aaPos);
    out << " ;\n\n";

    out << "qa_records =\n";
    out << "  \"dez_odor\",\n";
    out << "  \"...\",\n";
    out << "  \"...\",\n";
    out << "  \"...\" ;\n";
    out << "\n";

    out << "coor_names =\n";
    out << "  \"x\",\n";
    out << "  \"y\",\n";
    out << "  \"z\" ;\n";
    out << "\n";

    out << "elem_map = ";
    WriteNumberList(out, numTetrahedra);
    out << " ;\n\n";
    out << "elem_num_map = ";
    WriteNumberList(out, numTetrahedra);
    out << " ;\n\n";
    out << "node_num_map = ";
    WriteNumberList(out, grid.num_vertices());
    out << " ;\n";
    out << "}\n";

    return FinishFile(out);
}

}  // namespace mg
