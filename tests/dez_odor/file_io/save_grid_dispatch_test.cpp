#include "common/error.h"
#include "common/util/variant.h"
#include "dez_odor/file_io/file_io.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "support/grid/attachment_snapshot.h"
#include "grid_file_checks.h"
#include "tool_output.h"
#include "support/grid/stdout_capture.h"
#include "support/grid/tetrahedron_block.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using mg::aPosition;
using mg::aPosition1;
using mg::aPosition2;
using mg_test::ReadTextFile;
using mg_test::ScratchDir;
using vector1 = mg::MathVector<1, float>;
using vector2 = mg::MathVector<2, float>;
using vector3 = mg::MathVector<3, float>;

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Which writer made the file, told by its first bytes.
std::string WriterOf(const std::string& path)
{
    const std::string text = ReadTextFile(path);
    if (StartsWith(text, "# exported from dezOdor\n"))
        return "obj";
    if (StartsWith(text, "netcdf object {\n"))
        return "ncdf";
    if (StartsWith(text, "\\documentclass[tikz]{standalone}\n"))
        return "tikz";
    if (StartsWith(text, "6 4 1\n"))
        return "ele";
    if (StartsWith(text, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<grid name=\"defGrid\">"))
        return "mgx";
    if (StartsWith(text, "8 18\n"))
        return "txt";
    if (StartsWith(text, std::string("\x01\x04\x04\x04\0\0\0", 7)))
        return "lgb";
    if (StartsWith(text, "%% Version 3.0\n"))
        return "art";
    if (StartsWith(text, "solid stlFromMG4"))
        return "stl";
    return text.empty() ? "none" : "unknown";
}

// A cube of six tetrahedra, all in subset 0, with the positions in aPosition.
struct DispatchGrid {
    DispatchGrid() : block(1, 1, 1), sh(&block.grid, mg::SE_ALL)
    {
        sh.assign_subset(block.grid.begin<mg::Volume>(), block.grid.end<mg::Volume>(), 0);
    }
    mg_test::TetrahedronBlock block;
    mg::GridSubsetHandler sh;
};

// The last component of the name chooses the writer, by the first text of
// the table found in it; folders never do.
TEST(SaveGridDispatchTest, FileNameChoosesTheWriter)
{
    struct Row {
        const char* name;
        const char* writer;  // "none": false and no file
    };
    const Row rows[] = {
        {"grid.mgx", "mgx"},
        {"level.mgx.txt", "mgx"},
        {"mesh.stl.mgx", "mgx"},
        {"a.txt", "txt"},
        {"grid.obj", "obj"},
        {"a.lgb", "lgb"},
        {"a.net", "art"},
        {"a.art", "art"},
        {"a.stl", "stl"},
        {"mesh.objects.lgb", "obj"},
        {"m.ele", "ele"},
        {"blocks.ncdf", "ncdf"},
        {"plan.tikz", "tikz"},
        {"plan.tex", "tikz"},
        {"mesh.ncdf.tex", "ncdf"},
        {"run.objects/level.tikz", "tikz"},
        {"out.ncdf.d/level.ele", "ele"},
        {"out.txt.d/level.stl", "stl"},
        {"run.objects/level.lgb", "lgb"},
        {"backup.mgx/level.txt", "txt"},
        {"A.TXT", "none"},
        {"level.MGX", "none"},
        {"A.OBJ", "none"},
        {"level", "none"},
        {"dir.obj/level", "none"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir dir;
        const std::string path = dir.file(row.name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        DispatchGrid g;
        const auto before = mg_test::AttachmentIds(g.block.grid);

        const bool written = mg::SaveGridToFile(g.block.grid, g.sh, path.c_str());
        EXPECT_EQ(mg_test::AttachmentIds(g.block.grid), before);
        EXPECT_EQ(WriterOf(path), row.writer);
        EXPECT_EQ(written, std::string(row.writer) != "none");
        if (!written) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
                EXPECT_TRUE(entry.is_directory()) << entry.path();
        }
    }
}

// aPosition before aPosition2 before aPosition1; lower dimensions are
// written with zeros for the missing coordinates, through a temporary
// attachment that is gone afterwards.
TEST(SaveGridDispatchTest, PositionsArePreferredInOrderAndPaddedWithZeros)
{
    struct Row {
        bool p3;
        bool p2;
        bool p1;
        const char* firstVertex;  // nullptr: nothing written
    };
    const Row rows[] = {
        {true, true, true, "v 1 2 3\n"},
        {false, true, true, "v 4 5 0\n"},
        {false, false, true, "v 6 0 0\n"},
        {false, false, false, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.p3 << row.p2 << row.p1);
        ScratchDir dir;
        mg::Grid grid;
        mg::GridSubsetHandler sh(&grid, mg::SE_ALL);
        if (row.p3)
            grid.attach_to_vertices(aPosition);
        if (row.p2)
            grid.attach_to_vertices(aPosition2);
        if (row.p1)
            grid.attach_to_vertices(aPosition1);
        mg::Vertex* v = *grid.create<mg::RegularVertex>();
        if (row.p3)
            mg::AttachmentAccessor<mg::Vertex, vector3>(grid.vertex_attachment_pipe(), aPosition)[v] =
                vector3(1, 2, 3);
        if (row.p2)
            mg::AttachmentAccessor<mg::Vertex, vector2>(grid.vertex_attachment_pipe(), aPosition2)[v] =
                vector2(4, 5);
        if (row.p1)
            mg::AttachmentAccessor<mg::Vertex, vector1>(grid.vertex_attachment_pipe(), aPosition1)[v] =
                vector1(6);
        const auto before = mg_test::AttachmentIds(grid);

        const std::string path = dir.file("a.obj");
        EXPECT_EQ(mg::SaveGridToFile(grid, sh, path.c_str()), row.firstVertex != nullptr);
        EXPECT_EQ(mg_test::AttachmentIds(grid), before);
        if (row.firstVertex)
            EXPECT_EQ(ReadTextFile(path).substr(24, std::string(row.firstVertex).size()), row.firstVertex);
        else
            EXPECT_FALSE(mg_test::FileExists(path));
    }
}

TEST(SaveGridDispatchTest, CopyPositionsTo3d)
{
    mg::Grid grid;
    grid.attach_to_vertices(aPosition2);
    mg::AttachmentAccessor<mg::Vertex, vector2> aa2(grid.vertex_attachment_pipe(), aPosition2);
    std::vector<mg::Vertex*> v;
    for (int i = 0; i < 3; ++i) {
        v.push_back(*grid.create<mg::RegularVertex>());
        aa2[v.back()] = vector2(static_cast<float>(i), -static_cast<float>(i) - 0.5f);
    }
    grid.erase(v[1]);  // a free row is copied as well, harmlessly

    mg::Attachment<vector3> target;
    ASSERT_TRUE(mg::CopyPositionsTo3d(grid, aPosition2, target));
    ASSERT_TRUE(grid.has_vertex_attachment(target));
    mg::AttachmentAccessor<mg::Vertex, vector3> aa3(grid.vertex_attachment_pipe(), target);
    EXPECT_EQ(aa3[v[0]], vector3(0, -0.5f, 0));
    EXPECT_EQ(aa3[v[2]], vector3(2, -2.5f, 0));

    mg::Attachment<vector1> missing;
    EXPECT_FALSE(mg::CopyPositionsTo3d(grid, missing, target));
    grid.attach_to_vertices(missing);
    mg::AttachmentAccessor<mg::Vertex, vector1>(grid.vertex_attachment_pipe(), missing)[v[2]] = vector1(7);
    ASSERT_TRUE(mg::CopyPositionsTo3d(grid, missing, target));
    EXPECT_EQ(aa3[v[2]], vector3(7, 0, 0));
}

// MGX without the positions on the vertices is a failure, not a document
// without its grid.
TEST(SaveGridDispatchTest, MgxWithoutPositionsFails)
{
    ScratchDir dir;
    DispatchGrid g;
    mg::Attachment<vector2> aOther;
    mg_test::StdoutCapture log;
    EXPECT_FALSE(mg::SaveGridToMGX(g.block.grid, &g.sh, dir.file("a.mgx").c_str(), aOther));
    EXPECT_FALSE(mg_test::FileExists(dir.file("a.mgx")));
    EXPECT_TRUE(mg::SaveGridToMGX(g.block.grid, &g.sh, dir.file("b.mgx").c_str(), aPosition));
    EXPECT_NE(ReadTextFile(dir.file("b.mgx")).find("<tetrahedrons>"), std::string::npos);
}

// A subset handler whose element lists cannot be read: the writer's error
// passes out unchanged, and the temporary attachments are gone.
class BrokenSubsetHandler : public mg::GridSubsetHandler {
public:
    using GridSubsetHandler::GridSubsetHandler;
    mg::ElementCollection get_element_collection(int) const override
    {
        MG_THROW("broken subset lists");
    }
};

TEST(SaveGridDispatchTest, AttachmentsAreRestoredWhenAWriterThrows)
{
    for (const char* name : {"a.obj", "a.ncdf"}) {
        SCOPED_TRACE(name);
        ScratchDir dir;
        mg_test::TetrahedronBlock block(1, 1, 1);
        block.grid.detach_from_vertices(aPosition);
        block.grid.attach_to_vertices(aPosition2);
        BrokenSubsetHandler sh(&block.grid, mg::SE_ALL);
        sh.subset_info(0);
        const auto before = mg_test::AttachmentIds(block.grid);
        try {
            mg::SaveGridToFile(block.grid, sh, dir.file(name).c_str());
            ADD_FAILURE() << "no exception";
        } catch (const mg::MGError& e) {
            EXPECT_EQ(e.get_msg(), "broken subset lists");
        }
        EXPECT_EQ(mg_test::AttachmentIds(block.grid), before);
    }
}

// A subset property that LGB cannot encode: its error passes out of the
// dispatch, no file is made, and the temporary attachment is gone.
TEST(SaveGridDispatchTest, LgbErrorPassesOutWithAttachmentsRestored)
{
    ScratchDir dir;
    mg::Grid grid;
    grid.attach_to_vertices(aPosition1);
    grid.create<mg::RegularVertex>();
    mg::GridSubsetHandler sh(&grid, mg::SE_ALL);
    sh.subset_info(0).property_map["n"] = mg::Variant(size_t(7));
    const auto before = mg_test::AttachmentIds(grid);
    EXPECT_THROW(mg::SaveGridToFile(grid, sh, dir.file("a.lgb").c_str()), mg::MGError);
    EXPECT_EQ(mg_test::AttachmentIds(grid), before);
    EXPECT_FALSE(mg_test::FileExists(dir.file("a.lgb")));
}

// Without a handler each writer follows its own rule.
TEST(SaveGridDispatchTest, NullHandlerReachesTheWriters)
{
    ScratchDir dir;
    DispatchGrid g;
    mg_test::StdoutCapture log;
    EXPECT_TRUE(mg::SaveGridToFileWithPositions(g.block.grid, nullptr, dir.file("a.obj").c_str(), aPosition));
    EXPECT_NE(ReadTextFile(dir.file("a.obj")).find("o nonameknown\n"), std::string::npos);
    EXPECT_TRUE(mg::SaveGridToFileWithPositions(g.block.grid, nullptr, dir.file("a.ele").c_str(), aPosition));
    EXPECT_EQ(ReadTextFile(dir.file("a.ele")).substr(0, 6), "6 4 0\n");
    EXPECT_FALSE(mg::SaveGridToFileWithPositions(g.block.grid, nullptr, dir.file("a.ncdf").c_str(), aPosition));
    EXPECT_FALSE(mg::SaveGridToFileWithPositions(g.block.grid, nullptr, dir.file("a.tikz").c_str(), aPosition));
    EXPECT_EQ(log.str(),
              "ERROR: SubsetHandler required for NCDF (Exodus) export.\n"
              "A subset handler is required to write a tikz file!\n");

    // MGX writes a handler of its own for all four kinds, LGB none.
    const auto before = mg_test::AttachmentIds(g.block.grid);
    EXPECT_TRUE(mg::SaveGridToFileWithPositions(g.block.grid, nullptr, dir.file("a.mgx").c_str(), aPosition));
    const std::string mgx = ReadTextFile(dir.file("a.mgx"));
    EXPECT_NE(mgx.find("<subset_handler name=\"defSH\""), std::string::npos) << mgx;
    EXPECT_EQ(mg_test::AttachmentIds(g.block.grid), before);
    EXPECT_TRUE(mg::SaveGridToFileWithPositions(g.block.grid, nullptr, dir.file("a.lgb").c_str(), aPosition));
    EXPECT_EQ(ReadTextFile(dir.file("a.lgb")).substr(0, 11), std::string("\x01\x04\x04\x04\0\0\0\x02\0\0\0", 11));
}

}  // namespace
