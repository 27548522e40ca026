#include "dez_odor/file_io/file_io_ncdf.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "support/grid/attachment_snapshot.h"
#include "grid_file_checks.h"
#include "tool_output.h"
#include "support/grid/stdout_capture.h"
#include "support/grid/test_tetrahedron.h"
#include "support/grid/tetrahedron_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

using mg::aPosition;
using mg_test::ReadTextFile;
using mg_test::ScratchDir;
using vector3 = mg::MathVector<3, float>;

const std::string NCGEN = "/usr/bin/ncgen";
const std::string NETCDF_READER =
    std::string(QV_TESTS_SOURCE_DIR "/dez_odor/file_io/read_exodus_netcdf.py");

class SectionOneVolume : public mg_test::TestTetrahedron {
public:
    using TestTetrahedron::TestTetrahedron;
    mg::GridObject* create_empty_instance() const override { return new SectionOneVolume; }
    int container_section() const override { return 1; }
};

// Converts the CDL text with ncgen and reads the NetCDF file back.
mg_test::ToolOutput ConvertAndRead(const ScratchDir& dir, const std::string& cdl)
{
    const std::string nc = dir.file("converted.nc");
    const mg_test::ToolOutput ncgen = mg_test::RunToolCombined(NCGEN, {"-o", nc, cdl});
    if (ncgen.exitCode != 0)
        return ncgen;
    return mg_test::RunToolCombined(mg_test::kDebianPython, {NETCDF_READER, nc});
}

// Two tetrahedra sharing a face, five vertices.
struct TwoTetrahedra {
    TwoTetrahedra()
    {
        grid.attach_to_vertices(aPosition);
        mg::AttachmentAccessor<mg::Vertex, vector3> aaPos(grid.vertex_attachment_pipe(), aPosition);
        const float p[5][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0.25f, 0.25f, -1.5f}};
        for (const auto& c : p) {
            mg::Vertex* vrt = *grid.create<mg::RegularVertex>();
            aaPos[vrt] = vector3(c[0], c[1], c[2]);
            v.push_back(vrt);
        }
        grid.register_volume(new mg_test::TestTetrahedron(v[0], v[1], v[2], v[3]));
        grid.register_volume(new mg_test::TestTetrahedron(v[0], v[2], v[1], v[4]));
    }
    mg::Grid grid;
    std::vector<mg::Vertex*> v;
};

TEST(NcdfWriterTest, ExodusTextOfTwoTetrahedra)
{
    ScratchDir dir;
    TwoTetrahedra g;
    mg::GridSubsetHandler sh(&g.grid, mg::SE_ALL);
    sh.assign_subset(g.grid.begin<mg::Volume>(), g.grid.end<mg::Volume>(), 0);
    const auto before = mg_test::AttachmentIds(g.grid);

    const std::string file = dir.file("two.ncdf");
    mg_test::StdoutCapture log;
    ASSERT_TRUE(mg::SaveGridToNCDF(g.grid, file.c_str(), &sh, aPosition));
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(mg_test::AttachmentIds(g.grid), before);
    EXPECT_EQ(ReadTextFile(file),
              "netcdf object {\n"
              "dimensions:\n"
              "\tlen_string = 33 ;\n"
              "\tlen_line = 81 ;\n"
              "\tfour = 4 ;\n"
              "\ttime_step = UNLIMITED ;\n"
              "\tnum_dim = 3 ;\n"
              "\tnum_nodes = 5 ;\n"
              "\tnum_elem = 2 ;\n"
              "\tnum_el_blk = 1 ;\n"
              "\tnum_el_in_blk1 = 2 ;\n"
              "\tnum_nod_per_el1 = 4 ;\n"
              "\tnum_qa_rec = 1 ;\n"
              "\n"
              "variables:\n"
              "\tdouble time_whole(time_step) ;\n"
              "\tint eb_status(num_el_blk) ;\n"
              "\tint eb_prop1(num_el_blk) ;\n"
              "\t\teb_prop1:name = \"ID\" ;\n"
              "\tint connect1(num_el_in_blk1, num_nod_per_el1) ;\n"
              "\t\tconnect1:elem_type = \"TETRA4\" ;\n"
              "\tdouble coord(num_dim, num_nodes) ;\n"
              "\tchar qa_records(num_qa_rec, four, len_string) ;\n"
              "\tchar coor_names(num_dim, len_string) ;\n"
              "\tint elem_map(num_elem) ;\n"
              "\tint elem_num_map(num_elem) ;\n"
              "\tint node_num_map(num_nodes) ;\n"
              "// global attributes:\n"
              "\t:api_version = 4.01f ;\n"
              "\t:version = 3.01f ;\n"
              "\t:floating_point_word_size = 4 ;\n"
              "\t:file_size = 0 ;\n"
              "\t:title = \"Exported from dez_odor.\" ;\n"
              "\n"
              "data:\n"
              "eb_status = 1 ;\n"
              "\n"
              "eb_prop1 = 1 ;\n"
              "\n"
              "connect1 =\n"
              "  1, 2, 3, 4,\n"
              "  1, 3, 2, 5 ;\n"
              "\n"
              "coord =\n"
              "  0, 1, 0, 0, 0.25,\n"
              "  0, 0, 1, 0, 0.25, 0,\n"
              "  0, 0, 1, -1.5 ;\n"
              "\n"
              "qa_records =\n"
              "  \"dez_odor\",\n"
              "  \"...\",\n"
              "  \"...\",\n"
              "  \"...\" ;\n"
              "\n"
              "coor_names =\n"
              "  \"x\",\n"
              "  \"y\",\n"
              "  \"z\" ;\n"
              "\n"
              "elem_map = 1, 2 ;\n"
              "\n"
              "elem_num_map = 1, 2 ;\n"
              "\n"
              "node_num_map = 1, 2, 3, 4, 5 ;\n"
              "}\n");

    ASSERT_TRUE(mg_test::FileExists(NCGEN)) << "install Debian's netcdf-bin";
    const mg_test::ToolOutput read = ConvertAndRead(dir, file);
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_EQ(read.output,
              "num_nodes 5\n"
              "num_elem 2\n"
              "num_el_blk 1\n"
              "title Exported from dez_odor.\n"
              "coor_names x y z\n"
              "eb_prop1 1\n"
              "connect1 TETRA4 2\n"
              "row 1 2 3 4\n"
              "row 1 3 2 5\n"
              "coord x 0 1 0 0 0.25\n"
              "coord y 0 0 1 0 0.25\n"
              "coord z 0 0 0 1 -1.5\n"
              "elem_map 1 2\n"
              "elem_num_map 1 2\n"
              "node_num_map 1 2 3 4 5\n");
}

// Number lists break after every fifth number.
TEST(NcdfWriterTest, SixTetrahedraBreakTheNumberLists)
{
    ScratchDir dir;
    mg_test::TetrahedronBlock block(1, 1, 1);
    mg::GridSubsetHandler sh(&block.grid, mg::SE_ALL);
    sh.assign_subset(block.grid.begin<mg::Volume>(), block.grid.end<mg::Volume>(), 0);
    const std::string file = dir.file("six.ncdf");
    ASSERT_TRUE(mg::SaveGridToNCDF(block.grid, file.c_str(), &sh, aPosition));
    const std::string text = ReadTextFile(file);
    EXPECT_NE(text.find("elem_map = 1, 2, 3, 4, 5, \n  6 ;\n\n"), std::string::npos) << text;
    EXPECT_NE(text.find("elem_num_map = 1, 2, 3, 4, 5, \n  6 ;\n\n"), std::string::npos) << text;
    EXPECT_NE(text.find("node_num_map = 1, 2, 3, 4, 5, \n  6, 7, 8 ;\n}\n"), std::string::npos) << text;
}

// Blocks for the subsets that hold tetrahedra only; a tetrahedron in no
// subset is an element of no block. ncgen converts the text and netCDF4
// reads the corners and coordinates back.
TEST(NcdfWriterTest, NetcdfReadsBlocksAndCoordinatesBack)
{
    ASSERT_TRUE(mg_test::FileExists(NCGEN)) << "install Debian's netcdf-bin";
    ScratchDir dir;
    mg_test::TetrahedronBlock block(2, 1, 1, 0.1f);
    mg::GridSubsetHandler sh(&block.grid, mg::SE_ALL);
    for (size_t k = 0; k < 6; ++k)
        sh.assign_subset(block.tetrahedra[k], 2);
    for (size_t k = 6; k < 11; ++k)
        sh.assign_subset(block.tetrahedra[k], 0);
    sh.subset_info(1).name = "no tetrahedra";
    sh.assign_subset(*block.grid.begin<mg::Face>(), 1);
    sh.subset_info(3).name = "empty";

    const std::string file = dir.file("blocks.ncdf");
    ASSERT_TRUE(mg::SaveGridToNCDF(block.grid, file.c_str(), &sh, aPosition));

    std::ostringstream expected;
    expected << "num_nodes 12\nnum_elem 12\nnum_el_blk 2\ntitle Exported from dez_odor.\n"
             << "coor_names x y z\neb_prop1 1 2\n";
    const auto number = [&](mg::Vertex* v) {
        return std::find(block.vertices.begin(), block.vertices.end(), v) - block.vertices.begin() + 1;
    };
    const auto rows = [&](size_t from, size_t to) {
        for (size_t k = from; k < to; ++k) {
            mg::Volume* t = block.tetrahedra[k];
            expected << "row " << number(t->vertex(0)) << " " << number(t->vertex(1)) << " "
                     << number(t->vertex(2)) << " " << number(t->vertex(3)) << "\n";
        }
    };
    expected << "connect1 TETRA4 5\n";
    rows(6, 11);
    expected << "connect2 TETRA4 6\n";
    rows(0, 6);
    for (int axis = 0; axis < 3; ++axis) {
        expected << "coord " << "xyz"[axis];
        for (mg::Vertex* v : block.vertices)
            expected << " " << block.aaPos[v][axis];
        expected << "\n";
    }
    expected << "elem_map 1 2 3 4 5 6 7 8 9 10 11 12\n"
             << "elem_num_map 1 2 3 4 5 6 7 8 9 10 11 12\n"
             << "node_num_map 1 2 3 4 5 6 7 8 9 10 11 12\n";

    const mg_test::ToolOutput read = ConvertAndRead(dir, file);
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_EQ(read.output, expected.str());
}

TEST(NcdfWriterTest, OtherVolumesAreLeftOutWithAWarning)
{
    ScratchDir dir;
    TwoTetrahedra g;
    mg::Vertex* apex = *g.grid.create<mg::RegularVertex>();
    g.grid.register_volume(new SectionOneVolume(g.v[0], g.v[1], g.v[3], apex));
    mg::GridSubsetHandler sh(&g.grid, mg::SE_ALL);
    sh.assign_subset(g.grid.begin<mg::Volume>(), g.grid.end<mg::Volume>(), 0);

    const std::string file = dir.file("mixed.ncdf");
    mg_test::StdoutCapture log;
    ASSERT_TRUE(mg::SaveGridToNCDF(g.grid, file.c_str(), &sh, aPosition));
    EXPECT_EQ(log.str(), "Saving grid to EXODUS-format.\n  WARNING: only Tetrahedrons exported in the moment.\n");
    const std::string text = ReadTextFile(file);
    EXPECT_NE(text.find("\tnum_nodes = 6 ;\n\tnum_elem = 2 ;\n\tnum_el_blk = 1 ;\n\tnum_el_in_blk1 = 2 ;\n"),
              std::string::npos)
        << text;
    const mg_test::ToolOutput read = ConvertAndRead(dir, file);
    EXPECT_EQ(read.exitCode, 0) << read.output;
}

// Refusals leave an existing file as it was: no handler, no positions, and
// no tetrahedron in any subset (EXODUS cannot store an empty block).
TEST(NcdfWriterTest, RefusalsLeaveTheFileAlone)
{
    ScratchDir dir;
    const std::string file = dir.file("keep.ncdf");
    mg_test::WriteTextFile(file, "earlier content\n");

    TwoTetrahedra g;
    mg::GridSubsetHandler sh(&g.grid, mg::SE_ALL);
    sh.subset_info(0).name = "only faces";
    sh.assign_subset(*g.grid.begin<mg::Face>(), 0);
    mg::Attachment<vector3> aOther;

    mg_test::StdoutCapture log;
    EXPECT_FALSE(mg::SaveGridToNCDF(g.grid, file.c_str(), nullptr, aPosition));
    EXPECT_EQ(log.str(), "ERROR: SubsetHandler required for NCDF (Exodus) export.\n");
    log.clear();
    EXPECT_FALSE(mg::SaveGridToNCDF(g.grid, file.c_str(), &sh, aOther));
    EXPECT_EQ(log.str(), "");
    EXPECT_FALSE(mg::SaveGridToNCDF(g.grid, file.c_str(), &sh, aPosition));
    EXPECT_EQ(log.str(), "ERROR in SaveGridToNCDF: no subset holds tetrahedra; nothing written to " +
                             file + "\n");
    log.clear();

    TwoTetrahedra other;
    mg::GridSubsetHandler otherSh(&other.grid, mg::SE_ALL);
    otherSh.assign_subset(other.grid.begin<mg::Volume>(), other.grid.end<mg::Volume>(), 0);
    EXPECT_FALSE(mg::SaveGridToNCDF(g.grid, file.c_str(), &otherSh, aPosition));
    EXPECT_EQ(log.str(), "ERROR in SaveGridToNCDF: The subset handler belongs to another grid.\n");
    log.clear();

    // A grid of two vertices and no volumes.
    mg::Grid flat;
    flat.attach_to_vertices(aPosition);
    flat.create<mg::RegularVertex>();
    flat.create<mg::RegularVertex>();
    mg::GridSubsetHandler flatSh(&flat, mg::SE_ALL);
    flatSh.assign_subset(flat.begin<mg::Vertex>(), flat.end<mg::Vertex>(), 0);
    EXPECT_FALSE(mg::SaveGridToNCDF(flat, file.c_str(), &flatSh, aPosition));
    EXPECT_EQ(log.str(), "ERROR in SaveGridToNCDF: the grid holds no tetrahedra; nothing written to " +
                             file + "\n");

    EXPECT_EQ(ReadTextFile(file), "earlier content\n");
}

TEST(NcdfWriterTest, WriteFailuresAreReported)
{
    ScratchDir dir;
    TwoTetrahedra g;
    mg::GridSubsetHandler sh(&g.grid, mg::SE_ALL);
    sh.assign_subset(g.grid.begin<mg::Volume>(), g.grid.end<mg::Volume>(), 0);
    const auto before = mg_test::AttachmentIds(g.grid);
    EXPECT_FALSE(mg::SaveGridToNCDF(g.grid, "/dev/full", &sh, aPosition));
    EXPECT_FALSE(mg::SaveGridToNCDF(g.grid, dir.file("missing/a.ncdf").c_str(), &sh, aPosition));
    EXPECT_EQ(mg_test::AttachmentIds(g.grid), before);
}

}  // namespace
