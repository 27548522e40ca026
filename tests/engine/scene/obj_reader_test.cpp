#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/core/error.h"
#include "engine/scene/load_octree_from_file.h"
#include "engine/scene/obj_mesh.h"
#include "support/engine/bounded_run.h"

#include <sys/stat.h>

namespace vo {
namespace {

namespace fs = std::filesystem;

class ObjReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("obj_reader_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& text) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // The tree's points, in order.
    static std::vector<vector3> points(const SmartPtr<CollisionTreeRootNode>& root) {
        return std::vector<vector3>(root->get_points(), root->get_points() + root->num_points());
    }
    // The indices of the one leaf of a small tree.
    static std::vector<int> leaf_indices(const SmartPtr<CollisionTreeRootNode>& root) {
        EXPECT_EQ(root->num_children(), 1);
        SmartPtr<Node> leaf = root->get_child(0);
        if (leaf->get_node_id() == NODE_ID_COLLISION_EDGES) {
            const CollisionEdgesNode* e = static_cast<const CollisionEdgesNode*>(leaf.get());
            return std::vector<int>(e->get_edges(), e->get_edges() + 2 * e->num_edges());
        }
        const CollisionTrianglesNode* t = static_cast<const CollisionTrianglesNode*>(leaf.get());
        return std::vector<int>(t->get_triangles(), t->get_triangles() + 3 * t->num_triangles());
    }

    fs::path dir_;
};

std::string LoadErrorText(const std::string& file) { return "Couldn't load specified file during octree creation: " + file; }

TEST(ObjTextHelpersTest, SplittingAndPaths) {
    std::vector<std::string> out = {"stale"};
    char text[] = "  f 1/2 \r 3\r";
    SplitTokens(out, text, " \r");
    EXPECT_EQ(out, (std::vector<std::string>{"f", "1/2", "3"}));
    SplitAtSpaces(out, "a  b\tc \r");
    EXPECT_EQ(out, (std::vector<std::string>{"a", "b\tc", "\r"}));
    SplitAtSpaces(out, "");
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(ReplaceChar("1//7", '/', ' '), "1  7");

    const std::vector<std::pair<std::string, std::string>> folders = {
        {"mesh.obj", ""},
        {"data/meshes/mesh.obj", "data/meshes/"},
        {"C:\\data\\mesh.obj", "C:\\data\\"},
        // Mixed separators: the later one cuts.
        {"data\\meshes/mesh.obj", "data\\meshes/"},
        {"data/meshes\\mesh.obj", "data/meshes\\"},
    };
    for (const auto& f : folders) EXPECT_EQ(GetFolderOfPath(f.first), f.second) << f.first;
}

TEST_F(ObjReaderTest, ParsesObjectsFacesAndTextureCoordinates) {
    const std::string path = write("mesh.obj",
                                   "# comment\n"
                                   "f 1 2 3\n"  // before any object: dropped
                                   "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\n"
                                   "v 5 5 5 1\n"  // a w component: the vertex keeps its place
                                   "vt 0.25 0.75\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvt 0.5 0.5\n"
                                   "vn 0 0 1\n"
                                   "o first\r\n"
                                   "f 1 2\n"
                                   "f 1 2 3 4\n"
                                   "f 1/4/7 2/5/8 3/6/9\n"
                                   "f 1//7 2//8 3//9\n"
                                   "f 1 2 3 4 5\n"  // five references: ignored
                                   "s off\ng group\nl 1 2\n"
                                   "o\n"
                                   "f 5 4 3 2\n");
    for (bool triangulate : {true, false}) {
        SCOPED_TRACE(triangulate);
        ObjMesh mesh;
        ASSERT_TRUE(mesh.load(path.c_str(), triangulate));
        ASSERT_EQ(mesh.vertices().size(), 5u);
        EXPECT_EQ(mesh.vertices()[4].z, 5.0f);
        ASSERT_EQ(mesh.texture_coords().size(), 6u);
        EXPECT_EQ(mesh.texture_coords()[0].x, 0.25f);
        EXPECT_EQ(mesh.texture_coords()[0].y, -0.75f);
        ASSERT_EQ(mesh.objects().size(), 2u);
        const ObjObject& first = *mesh.objects()[0];
        EXPECT_EQ(first.name, "first");
        EXPECT_EQ(first.material_index, -1);
        EXPECT_EQ(first.line_vertex_indices, (std::vector<int>{0, 1}));
        if (triangulate) {
            EXPECT_EQ(first.triangle_vertex_indices, (std::vector<int>{0, 1, 2, 0, 2, 3, 0, 1, 2, 0, 1, 2}));
            EXPECT_TRUE(first.quad_vertex_indices.empty());
        } else {
            EXPECT_EQ(first.quad_vertex_indices, (std::vector<int>{0, 1, 2, 3}));
            EXPECT_EQ(first.triangle_vertex_indices, (std::vector<int>{0, 1, 2, 0, 1, 2}));
        }
        // Only the face written 1/4/7 ... carries texture indices; 1//7 has
        // none (7 is its normal).
        EXPECT_EQ(first.triangle_texcoord_indices, (std::vector<int>{3, 4, 5}));
        EXPECT_EQ(mesh.objects()[1]->name, "");
    }
}

TEST_F(ObjReaderTest, ReadsMaterialsFromTheMeshFolder) {
    fs::create_directories(dir_ / "sub");
    write("sub/stone.mtl",
          "Kd 9 9 9\n"  // before any material: ignored
          "newmtl stone\r\nKd 0.5 0.5 0.5\r\nd 0.8\r\nmap_Kd stone.png\r\n"
          "newmtl\nKd 1 2\n");
    const std::string path = write("sub/mesh.obj",
                                   "mtllib stone.mtl\nmtllib missing.mtl\nv 0 0 0\nv 1 0 0\n"
                                   "o a\nusemtl stone\nf 1 2\no b\nusemtl wood\n");
    ObjMesh mesh;
    ASSERT_TRUE(mesh.load(path.c_str(), true));
    ASSERT_EQ(mesh.materials().size(), 2u);
    const ObjMaterial& stone = mesh.materials()[0];
    EXPECT_EQ(stone.name, "stone");
    EXPECT_EQ(stone.diffuse_texture, "stone.png");
    EXPECT_EQ(stone.diffuse_color[0], 0.5f);
    EXPECT_EQ(stone.diffuse_color[2], 0.5f);
    EXPECT_EQ(stone.opacity, 0.8f);
    EXPECT_EQ(stone.opacity_d, 0.8f);
    EXPECT_EQ(mesh.materials()[1].name, "");
    EXPECT_EQ(mesh.materials()[1].diffuse_color[1], 1.0f);  // "Kd 1 2" has too few values
    EXPECT_EQ(mesh.find_material("stone"), 0);
    EXPECT_EQ(mesh.find_material("ston"), -1);
    EXPECT_EQ(mesh.objects()[0]->material_name, "stone");
    EXPECT_EQ(mesh.objects()[0]->material_index, 0);
    EXPECT_EQ(mesh.objects()[1]->material_name, "wood");
    EXPECT_EQ(mesh.objects()[1]->material_index, -1);
}

TEST_F(ObjReaderTest, OverlongLinesFailTheLoad) {
    const std::string long_comment = "#" + std::string(299, 'x') + "\n";
    const std::string ok_comment = "#" + std::string(254, 'x') + "\n";
    ObjMesh mesh;
    EXPECT_TRUE(mesh.load(write("ok.obj", ok_comment + "v 0 0 0\n").c_str(), true));
    EXPECT_FALSE(mesh.load(write("long.obj", "v 0 0 0\n" + long_comment).c_str(), true));
    write("long.mtl", "newmtl a\n" + long_comment);
    EXPECT_FALSE(mesh.load(write("long_mtl.obj", "mtllib long.mtl\n").c_str(), true));
    EXPECT_FALSE(mesh.load((dir_ / "missing.obj").string().c_str(), true));
}

TEST_F(ObjReaderTest, OctreeFromSelectedObjects) {
    const std::string path = write("level.obj",
                                   "v 0 0 7\nv 1 0 7\nv 1 1 7\nv 0 1 7\nv 2 2 2\n"
                                   "o rocks\nf 3 4 1\n"
                                   "o ocks\nf 5 3 1\n"
                                   "o smallrocks\nf 1 2 3\n"
                                   "o rocks2\nf 1 2 3\n"
                                   "o walls\nf 2 3 4 1\n"
                                   "o\nf 1 2 3\n"
                                   "o fence\nf 5 1\nf 1 2\n");
    struct Case {
        const char* names;
        int dimension;
        std::vector<int> indices;
        std::vector<vector3> points;
    };
    const std::vector<Case> cases = {
        // Exact names only; only used vertices, numbered by first use.
        {"rocks", 3, {0, 1, 2}, {vector3(1, 1, 7), vector3(0, 1, 7), vector3(0, 0, 7)}},
        {"rocks walls", 3, {0, 1, 2, 3, 0, 1, 3, 1, 2},
         {vector3(1, 1, 7), vector3(0, 1, 7), vector3(0, 0, 7), vector3(1, 0, 7)}},
        // Below three dimensions triangle points lie at z = 0.
        {"rocks", 2, {0, 1, 2}, {vector3(1, 1, 0), vector3(0, 1, 0), vector3(0, 0, 0)}},
        // The empty list selects the object without a name.
        {"", 3, {0, 1, 2}, {vector3(0, 0, 7), vector3(1, 0, 7), vector3(1, 1, 7)}},
        // Lines keep their z whatever the dimension.
        {"fence", 2, {0, 1, 1, 2}, {vector3(2, 2, 2), vector3(0, 0, 7), vector3(1, 0, 7)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "'" << c.names << "' dimension " << c.dimension);
        SmartPtr<CollisionTreeRootNode> root = LoadOctreeFromFile(path.c_str(), c.names, 6, 8, true, c.dimension);
        ASSERT_TRUE(root);
        EXPECT_EQ(leaf_indices(root), c.indices);
        const std::vector<vector3> pts = points(root);
        ASSERT_EQ(pts.size(), c.points.size());
        for (size_t i = 0; i < pts.size(); ++i) {
            EXPECT_EQ(pts[i].x, c.points[i].x) << i;
            EXPECT_EQ(pts[i].y, c.points[i].y) << i;
            EXPECT_EQ(pts[i].z, c.points[i].z) << i;
        }
    }
    EXPECT_FALSE(LoadOctreeFromFile(path.c_str(), "nothing", 6, 8, true, 3));

    for (const char* mixed : {"rocks fence", "fence rocks"}) {
        try {
            LoadOctreeFromFile(path.c_str(), mixed, 6, 8, true, 3);
            ADD_FAILURE() << mixed;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.message()), "Mixed octrees are not supported (in file " + path + ")");
        }
    }
}

TEST_F(ObjReaderTest, FileWithoutObjectsGivesAnEmptyTree) {
    const std::string path = write("loose.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\no late\n");
    EXPECT_FALSE(LoadOctreeFromFile(path.c_str(), "", 6, 8, true, 3));
    EXPECT_FALSE(LoadOctreeFromFile(path.c_str(), "late", 6, 8, true, 3));
}

TEST_F(ObjReaderTest, MalformedInputGivesTheLoadError) {
    const std::string vertices = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"reference 0", vertices + "o a\nf 0 1 2\n"},
        {"reference beyond the vertices", vertices + "o a\nf 1 2 4\n"},
        {"negative reference", vertices + "o a\nf -1 -2 -3\n"},
        {"reference without a number", vertices + "o a\nf / 2 3\n"},
        {"reference that is text", vertices + "o a\nf x 2 3\n"},
        {"reference beyond int", vertices + "o a\nf 99999999999 2 3\n"},
        {"faces before any vertex", "o a\nf 1 2 3\n" + vertices},
        {"line to a missing vertex", vertices + "o a\nf 1 9\n"},
        {"vertex with two values", vertices + "v 1 2\no a\nf 1 2 3\n"},
        {"not-a-number coordinate", vertices + "v nan 0 0\no a\nf 1 2 3\n"},
        {"infinite coordinate", vertices + "v 0 inf 0\no a\nf 1 2 3\n"},
        {"coordinate beyond float", vertices + "v 0 0 1e400\no a\nf 1 2 3\n"},
        {"over-long line", vertices + "o a\nf 1 2 3" + std::string(300, ' ') + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const std::string path = write("bad.obj", c.second);
        try {
            LoadOctreeFromFile(path.c_str(), "a", 6, 8, true, 3);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.message()), LoadErrorText(path));
        }
    }
    const std::string missing = (dir_ / "missing.obj").string();
    try {
        LoadOctreeFromFile(missing.c_str(), "a", 6, 8, true, 3);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.message()), LoadErrorText(missing));
    }
    // A bad reference in an object that is not used does not matter.
    const std::string path = write("partly.obj", vertices + "o a\nf 1 2 3\no b\nf 1 2 7\n");
    EXPECT_TRUE(LoadOctreeFromFile(path.c_str(), "a", 6, 8, true, 3));
}

// Random damage to a valid mesh: every outcome is a tree whose indices
// address its points, an empty handle or the load error; never a crash.
TEST_F(ObjReaderTest, DamagedFilesNeverCrash) {
    const std::string valid =
        "mtllib m.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.5 0.5 1\nvt 0 0\nvt 1 1\n"
        "o a\nusemtl m\nf 1/1 2/2 3/1\nf 1 2 3 4\nf 5//1 1//1 2//1\no b\nf 1 5\n";
    write("m.mtl", "newmtl m\nKd 1 1 1\nd 0.5\n");
    const std::string charset = "0123456789 /-.\nvfoe";
    std::mt19937 rng(99);
    int trees = 0, errors = 0;
    for (int i = 0; i < 250; ++i) {
        std::string text = valid;
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int k = 0; k < edits; ++k) {
            const size_t at = rng() % (text.size() + 1);
            switch (rng() % 3) {
                case 0: text.insert(at, 1, charset[rng() % charset.size()]); break;
                case 1: if (at < text.size()) text.erase(at, 1); break;
                default: if (at < text.size()) text[at] = charset[rng() % charset.size()]; break;
            }
        }
        const std::string path = write("damaged.obj", text);
        for (const char* names : {"a", "b", ""}) {
            try {
                SmartPtr<CollisionTreeRootNode> root = LoadOctreeFromFile(path.c_str(), names, 6, 2, i % 2 == 0, 2 + i % 2);
                if (!root) continue;
                ++trees;
                // Walk the leaves: every index addresses a point.
                std::vector<SmartPtr<Node>> stack = {root};
                while (!stack.empty()) {
                    SmartPtr<Node> n = stack.back();
                    stack.pop_back();
                    const unsigned id = n->get_node_id();
                    if (id == NODE_ID_BOXED_GROUP || id == NODE_ID_COLLISION_TREE_ROOT) {
                        GroupNode* g = static_cast<GroupNode*>(n.get());
                        for (int c = 0; c < g->num_children(); ++c) stack.push_back(g->get_child(c));
                    } else if (id == NODE_ID_COLLISION_EDGES) {
                        const CollisionEdgesNode* e = static_cast<const CollisionEdgesNode*>(n.get());
                        for (int j = 0; j < 2 * e->num_edges(); ++j) {
                            ASSERT_GE(e->get_edges()[j], 0);
                            ASSERT_LT(e->get_edges()[j], root->num_points());
                        }
                    } else if (id == NODE_ID_COLLISION_TRIANGLES) {
                        const CollisionTrianglesNode* t = static_cast<const CollisionTrianglesNode*>(n.get());
                        for (unsigned j = 0; j < 3 * t->num_triangles(); ++j) {
                            ASSERT_GE(t->get_triangles()[j], 0);
                            ASSERT_LT(t->get_triangles()[j], root->num_points());
                        }
                    }
                }
            } catch (const Error&) {
                ++errors;
            }
        }
    }
    EXPECT_GT(trees, 30);
    EXPECT_GT(errors, 10);
}

// The files of the fault reports and their kin: refused, or read with the
// offending part passed over, quickly and in little memory.
TEST_F(ObjReaderTest, HostileFilesAreHandledQuickly) {
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\no a\nf 1 2 3\n";
    const std::string big = write("big.obj", "");
    ASSERT_TRUE(vo_test::WriteSparseFile(big, 50ll << 20));
    const std::string long_line = write("long_line.obj", triangle + "#");
    {
        std::ofstream out(long_line, std::ios::app | std::ios::binary);
        out << std::string(15 << 20, 'x') << "\n";
    }
    fs::create_symlink("/dev/zero", dir_ / "zero.mtl");
    const std::string device = write("device.obj", "mtllib zero.mtl\n" + triangle);
    ASSERT_EQ(0, ::mkfifo((dir_ / "pipe.mtl").c_str(), 0600));
    const std::string pipe = write("pipe.obj", "mtllib pipe.mtl\n" + triangle);
    ASSERT_TRUE(vo_test::WriteSparseFile((dir_ / "big.mtl").string(), 5ll << 20));
    const std::string big_library = write("big_library.obj", "mtllib big.mtl\n" + triangle);
    std::string materials, uses;
    for (int i = 0; i < 30000; ++i) {
        materials += "newmtl m" + std::to_string(i) + "\n";
        uses += "usemtl m" + std::to_string(29999 - i) + "\n";
    }
    write("many.mtl", materials);
    const std::string many = write("many.obj", "mtllib many.mtl\n" + triangle + uses);
    std::string comments;
    for (int i = 0; i < 32; ++i) comments += "# " + std::string(253, 'c') + "\n";
    write("small.mtl", comments);  // 8 KB
    std::string again;
    for (int i = 0; i < 1000; ++i) again += "mtllib small.mtl\n";
    const std::string repeated = write("repeated.obj", again + triangle);
    std::string objects, flood_materials;
    for (int i = 0; i < 100000; ++i) {
        objects += "o\n";
        flood_materials += "newmtl\n";
    }
    const std::string flood = write("flood.obj", triangle + objects);
    write("flood.mtl", flood_materials);
    const std::string material_flood = write("material_flood.obj", "mtllib flood.mtl\n" + triangle);

    auto load = [](const std::string& path) {
        return [path] {
            SmartPtr<CollisionTreeRootNode> root = LoadOctreeFromFile(path.c_str(), "a", 6, 8, true, 3);
            return "a tree of " + std::to_string(root ? root->num_points() : 0) + " points";
        };
    };
    auto refused = [](const std::string& path) { return "Error: " + LoadErrorText(path); };
    struct Row {
        const char* label;
        std::string path;
        std::string outcome;
    };
    const Row rows[] = {
        {"a 50 MB file", big, refused(big)},
        {"a 15 MB line", long_line, refused(long_line)},
        {"mtllib naming the zero device", device, "a tree of 3 points"},
        {"mtllib naming a named pipe", pipe, "a tree of 3 points"},
        {"mtllib naming a 5 MB file", big_library, refused(big_library)},
        {"mtllib read 1,000 times (8 MB)", repeated, refused(repeated)},
        {"30,000 materials, each used", many, "a tree of 3 points"},
        {"100,000 objects", flood, refused(flood)},
        {"100,000 materials", material_flood, refused(material_flood)},
    };
    for (const Row& row : rows) vo_test::ExpectQuickAndSmall(row.label, load(row.path), row.outcome);
}

}  // namespace
}  // namespace vo
