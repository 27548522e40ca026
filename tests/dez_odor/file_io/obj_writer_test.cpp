#include "dez_odor/file_io/file_io_obj.h"
#include "dez_odor/grid/global_attachments.h"
#include "dez_odor/grid/grid.h"
#include "dez_odor/grid_objects/grid_objects.h"
#include "dez_odor/tools/grid_subset_handler.h"
#include "support/grid/attachment_snapshot.h"
#include "grid_file_checks.h"
#include "tool_output.h"
#include "support/grid/stdout_capture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using mg::aPosition;
using mg_test::ReadTextFile;
using mg_test::ScratchDir;
using vector2 = mg::MathVector<2, float>;
using vector3 = mg::MathVector<3, float>;

const std::string ASSIMP = "/usr/bin/assimp";
const std::string OBJ_READER =
    std::string(QV_TESTS_SOURCE_DIR "/dez_odor/file_io/read_obj.py");

// Two triangles sharing the edge (1, 2), with the default options (edges
// made by the faces), and a quadrilateral beside them when asked for.
struct SheetGrid {
    explicit SheetGrid(bool withQuad = false)
    {
        grid.attach_to_vertices(aPosition);
        aaPos.bind(grid.vertex_attachment_pipe(), aPosition);
        const float p[6][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0.5f}, {2, 0, 0}, {2, 1, 0}};
        for (int i = 0; i < (withQuad ? 6 : 4); ++i) {
            mg::Vertex* vrt = *grid.create<mg::RegularVertex>();
            aaPos[vrt] = vector3(p[i][0], p[i][1], p[i][2]);
            v.push_back(vrt);
        }
        t0 = *grid.create<mg::Triangle>(mg::TriangleDescriptor(v[0], v[1], v[2]));
        t1 = *grid.create<mg::Triangle>(mg::TriangleDescriptor(v[1], v[3], v[2]));
        if (withQuad) {
            quad = new mg::Quadrilateral(v[1], v[4], v[5], v[3]);
            grid.register_face(quad);
        }
    }
    mg::Grid grid;
    mg::AttachmentAccessor<mg::Vertex, vector3> aaPos;
    std::vector<mg::Vertex*> v;
    mg::Face* t0 = nullptr;
    mg::Face* t1 = nullptr;
    mg::Face* quad = nullptr;
};

mg_test::ToolOutput AssimpInfo(const std::string& path)
{
    return mg_test::RunToolCombined(ASSIMP, {"info", path});
}

mg_test::ToolOutput ReadBack(const std::string& path, bool withMaterials = false)
{
    std::vector<std::string> args = {OBJ_READER, path};
    if (withMaterials)
        args.push_back("--materials");
    return mg_test::RunToolCombined(mg_test::kDebianPython, args);
}

// Without a subset handler: the vertices, one object, the edges as lines and
// the faces; assimp, pywavefront and meshio accept the file.
TEST(ObjWriterTest, GridWithoutSubsetsIsOneObject)
{
    ASSERT_TRUE(mg_test::FileExists(ASSIMP)) << "install Debian's assimp-utils";
    ScratchDir dir;
    SheetGrid g;
    const auto before = mg_test::AttachmentIds(g.grid);
    const std::string file = dir.file("sheet.obj");
    ASSERT_TRUE(mg::SaveGridToOBJ(g.grid, file.c_str(), aPosition));
    EXPECT_EQ(mg_test::AttachmentIds(g.grid), before);
    EXPECT_EQ(ReadTextFile(file),
              "# exported from dezOdor\n"
              "v 0 0 0\n"
              "v 1 0 0\n"
              "v 0 1 0\n"
              "v 1 1 0.5\n"
              "o nonameknown\n"
              "usemtl (null)\n"
              "l 1 2\n"
              "l 2 3\n"
              "l 3 1\n"
              "l 2 4\n"
              "l 4 3\n"
              "f 1 2 3\n"
              "f 2 4 3\n");
    EXPECT_FALSE(mg_test::FileExists(dir.file("sheet.mtl")));

    const mg_test::ToolOutput assimp = AssimpInfo(file);
    ASSERT_EQ(assimp.exitCode, 0) << assimp.output;
    EXPECT_NE(assimp.output.find("(nonameknown): [4 / 0 / 5 | line]"), std::string::npos)
        << assimp.output;
    EXPECT_NE(assimp.output.find("(nonameknown): [4 / 0 / 2 | triangle]"), std::string::npos)
        << assimp.output;

    const mg_test::ToolOutput read = ReadBack(file);
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_EQ(read.output,
              "pywavefront vertices 4\n"
              "object nonameknown material (null) format V3F triangles 2\n"
              "meshio points 4\n"
              "meshio triangle 2\n");
}

// One object per subset, named by the subset or sub_<index>; a subset
// without elements still gets its object lines.
TEST(ObjWriterTest, SubsetsBecomeObjects)
{
    ScratchDir dir;
    SheetGrid g(true);
    mg::GridSubsetHandler sh(&g.grid, mg::SE_ALL);
    sh.subset_info(0).name = "";
    sh.assign_subset(g.t0, 0);
    for (auto it = g.grid.begin<mg::Edge>(); it != g.grid.end<mg::Edge>(); ++it)
        sh.assign_subset(*it, 0);
    sh.assign_subset(g.t1, 1);
    sh.assign_subset(g.quad, 1);
    sh.subset_info(2).name = "empty";
    sh.subset_info(3).name = "rim";
    sh.assign_subset(g.grid.get_edge(g.v[4], g.v[5]), 3);

    const std::string file = dir.file("subsets.obj");
    ASSERT_TRUE(mg::SaveGridToOBJ(g.grid, file.c_str(), aPosition, nullptr, &sh));
    const std::string text = ReadTextFile(file);
    const std::string objects = text.substr(text.find("o "));
    EXPECT_EQ(objects,
              "o sub_0\n"
              "usemtl (null)\n"
              "l 1 2\n"
              "l 2 3\n"
              "l 3 1\n"
              "l 2 4\n"
              "l 4 3\n"
              "l 2 5\n"
              "l 6 4\n"
              "f 1 2 3\n"
              "o defSub\n"
              "usemtl (null)\n"
              "f 2 4 3\n"
              "f 2 5 6 4\n"
              "o empty\n"
              "usemtl (null)\n"
              "o rim\n"
              "usemtl (null)\n"
              "l 5 6\n");

    const mg_test::ToolOutput assimp = AssimpInfo(file);
    ASSERT_EQ(assimp.exitCode, 0) << assimp.output;
    EXPECT_NE(assimp.output.find("(defSub): [5 / 0 / 3 | triangle]"), std::string::npos)
        << assimp.output;
    EXPECT_NE(assimp.output.find("(rim): [2 / 0 / 1 | line]"), std::string::npos) << assimp.output;

    const mg_test::ToolOutput read = ReadBack(file);
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_NE(read.output.find("pywavefront vertices 6\n"), std::string::npos) << read.output;
    EXPECT_NE(read.output.find("object sub_0 material (null) format V3F triangles 1\n"),
              std::string::npos)
        << read.output;
    EXPECT_NE(read.output.find("object defSub material (null) format V3F triangles 3\n"),
              std::string::npos)
        << read.output;
    EXPECT_NE(read.output.find("meshio points 6\nmeshio quad 1\nmeshio triangle 2\n"),
              std::string::npos)
        << read.output;
}

TEST(ObjWriterTest, TextureCoordinatesAreReferencedWithTheVertex)
{
    ScratchDir dir;
    SheetGrid g;
    mg::Attachment<vector2> aTex;
    g.grid.attach_to_vertices(aTex);
    mg::AttachmentAccessor<mg::Vertex, vector2> aaTex(g.grid.vertex_attachment_pipe(), aTex);
    for (size_t i = 0; i < g.v.size(); ++i)
        aaTex[g.v[i]] = vector2(0.25f * static_cast<float>(i), 1.0f - 0.25f * static_cast<float>(i));

    const std::string file = dir.file("tex.obj");
    ASSERT_TRUE(mg::SaveGridToOBJ(g.grid, file.c_str(), aPosition, &aTex));
    const std::string text = ReadTextFile(file);
    EXPECT_NE(text.find("v 1 1 0.5\n"
                        "vt 0 1 0.0\n"
                        "vt 0.25 0.75 0.0\n"
                        "vt 0.5 0.5 0.0\n"
                        "vt 0.75 0.25 0.0\n"
                        "o nonameknown\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("l 1/1 2/2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("f 1/1 2/2 3/3\nf 2/2 4/4 3/3\n"), std::string::npos) << text;

    const mg_test::ToolOutput assimp = AssimpInfo(file);
    EXPECT_EQ(assimp.exitCode, 0) << assimp.output;
    const mg_test::ToolOutput read = ReadBack(file);
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_NE(read.output.find("object nonameknown material (null) format T2F_V3F triangles 2\n"),
              std::string::npos)
        << read.output;

    mg::Attachment<vector2> aNotAttached;
    mg_test::StdoutCapture log;
    EXPECT_FALSE(mg::SaveGridToOBJ(g.grid, dir.file("none.obj").c_str(), aPosition, &aNotAttached));
    EXPECT_FALSE(mg_test::FileExists(dir.file("none.obj")));
}

TEST(ObjWriterTest, MaterialFileNames)
{
    struct Row {
        const char* name;
        const char* materialFile;
        const char* mtllib;
    };
    const Row rows[] = {
        {"dir/mesh.obj", "dir/mesh.mtl", "mesh.mtl"},
        {"mesh", "mesh.mtl", "mesh.mtl"},
        {"a", "a.mtl", "a.mtl"},
        {"dir/mesh.ob", "dir/mesh.ob.mtl", "mesh.ob.mtl"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir dir;
        std::filesystem::create_directory(dir.file("dir"));
        SheetGrid g;
        std::vector<mg::MaterialDesc> materials(1);
        materials[0].name = "stone";
        ASSERT_TRUE(mg::SaveGridToOBJ(g.grid, dir.file(row.name).c_str(), aPosition, nullptr, nullptr,
                                      &materials));
        EXPECT_TRUE(mg_test::FileExists(dir.file(row.materialFile)));
        EXPECT_EQ(ReadTextFile(dir.file(row.name)).substr(0, 24 + 8 + std::string(row.mtllib).size()),
                  std::string("# exported from dezOdor\nmtllib ") + row.mtllib + "\n");
    }
}

// The material file and the materials the subsets name; pywavefront reads
// the materials from the file itself.
TEST(ObjWriterTest, SubsetsUseTheirMaterials)
{
    ScratchDir dir;
    SheetGrid g;
    mg::GridSubsetHandler sh(&g.grid, mg::SE_ALL);
    sh.subset_info(0).name = "ground";
    sh.subset_info(0).material_index = 1;
    sh.subset_info(1).name = "plain";
    sh.subset_info(1).material_index = -1;
    sh.subset_info(2).name = "unknown";
    sh.subset_info(2).material_index = 7;
    sh.assign_subset(g.t0, 0);
    sh.assign_subset(g.t1, 2);

    std::vector<mg::MaterialDesc> materials(2);
    materials[0].name = "lava";
    materials[0].texture_name = "lava.png";
    materials[0].diffuse = vector3(1.0f, 0.25f, 0.0f);
    materials[0].alpha = 0.5f;
    materials[1].name = "rock";
    materials[1].diffuse = vector3(0.5f, 0.5f, 0.5f);

    const std::string file = dir.file("level.obj");
    ASSERT_TRUE(mg::SaveGridToOBJ(g.grid, file.c_str(), aPosition, nullptr, &sh, &materials));
    EXPECT_EQ(ReadTextFile(dir.file("level.mtl")),
              "# exported from duvOriz\n"
              "# Material Count: 2\n"
              "newmtl lava\n"
              "Kd 1 0.25 0\n"
              "d 0.5\n"
              "map_Kd lava.png\n"
              "newmtl rock\n"
              "Kd 0.5 0.5 0.5\n"
              "d 1\n");
    const std::string text = ReadTextFile(file);
    EXPECT_NE(text.find("o ground\nusemtl rock\nf 1 2 3\no plain\nusemtl (null)\n"
                        "o unknown\nusemtl (null)\nf 2 4 3\n"),
              std::string::npos)
        << text;

    const mg_test::ToolOutput assimp = AssimpInfo(file);
    ASSERT_EQ(assimp.exitCode, 0) << assimp.output;
    EXPECT_NE(assimp.output.find("'rock'"), std::string::npos) << assimp.output;

    // "(null)" is no material of the file: pywavefront must make it up.
    std::vector<mg::MaterialDesc> all = materials;
    all.push_back(mg::MaterialDesc());
    all.back().name = "(null)";
    ASSERT_TRUE(mg::SaveGridToOBJ(g.grid, file.c_str(), aPosition, nullptr, &sh, &all));
    const mg_test::ToolOutput read = ReadBack(file, true);
    ASSERT_EQ(read.exitCode, 0) << read.output;
    EXPECT_NE(read.output.find("object ground material rock format V3F triangles 1\n"),
              std::string::npos)
        << read.output;
    EXPECT_NE(read.output.find("material lava diffuse 1 0.25 0 alpha 0.5 texture lava.png\n"
                               "material rock diffuse 0.5 0.5 0.5 alpha 1 texture -\n"),
              std::string::npos)
        << read.output;
}

TEST(ObjWriterTest, Failures)
{
    ScratchDir dir;
    SheetGrid g;

    {
        mg::Attachment<vector3> aOther;
        mg_test::StdoutCapture log;
        EXPECT_FALSE(mg::SaveGridToOBJ(g.grid, dir.file("a.obj").c_str(), aOther));
        EXPECT_EQ(log.str(), "ERROR in SaveGridToOBJ: Position attachment missing.\n");
        EXPECT_FALSE(mg_test::FileExists(dir.file("a.obj")));
    }

    {
        SheetGrid other;
        mg::GridSubsetHandler otherSh(&other.grid, mg::SE_ALL);
        mg_test::StdoutCapture log;
        EXPECT_FALSE(mg::SaveGridToOBJ(g.grid, dir.file("c.obj").c_str(), aPosition, nullptr, &otherSh));
        EXPECT_EQ(log.str(), "ERROR in SaveGridToOBJ: The subset handler belongs to another grid.\n");
        EXPECT_FALSE(mg_test::FileExists(dir.file("c.obj")));
    }

    EXPECT_FALSE(mg::SaveGridToOBJ(g.grid, dir.file("missing/a.obj").c_str(), aPosition));
    EXPECT_FALSE(mg::SaveGridToOBJ(g.grid, "/dev/full", aPosition));

    // The material file cannot be written: false, and the OBJ file is whole.
    std::filesystem::create_directory(dir.file("b.mtl"));
    std::vector<mg::MaterialDesc> materials(1);
    const auto before = mg_test::AttachmentIds(g.grid);
    EXPECT_FALSE(mg::SaveGridToOBJ(g.grid, dir.file("b.obj").c_str(), aPosition, nullptr, nullptr,
                                   &materials));
    EXPECT_EQ(mg_test::AttachmentIds(g.grid), before);
    const std::string text = ReadTextFile(dir.file("b.obj"));
    EXPECT_EQ(text.substr(text.size() - 8), "f 2 4 3\n");
}

}  // namespace
