#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/core/error.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_desc.h"
#include "engine/physics/soft_body_loader.h"
#include "engine/core/random.h"
#include "support/engine/bounded_run.h"
#include "support/engine/physics_scenes.h"
#include <sys/stat.h>

namespace {

using vo::LoaderSby;
using vo::SoftBody;
using vo::SoftBodyDesc;
using vo::vector3;

namespace fs = std::filesystem;

// A folder of its own for the files written by one test.
class TempFiles {
public:
    TempFiles() {
        dir_ = fs::temp_directory_path() /
               ("qv_sby_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    ~TempFiles() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = (dir_ / name).string();
        std::ofstream out(path, std::ios::binary);
        out << text;
        return path;
    }

private:
    fs::path dir_;
};

std::string Message(const std::function<void()>& f) {
    try {
        f();
    } catch (const vo::Error& e) {
        return e.message();
    }
    return "(no error)";
}

// A square outline given in a shuffled order, with a centre helper point
// tied to every corner and a fan of triangles.
const char* const kSquare =
    "numBorderPoints 4\n"
    "numInnerPoints 0\n"
    "numHelperPoints 1\n"
    "v 1 -1 0\n"   // 0: bottom right
    "v -1 1 0\n"   // 1: top left
    "v -1 -1 0\n"  // 2: bottom left
    "v 1 1 0\n"    // 3: top right
    "v 0 0 0\n"    // 4: centre
    "vt 1 1\n"
    "vt 0 0\n"
    "vt 0 1\n"
    "vt 1 0\n"
    "vt 0.5 0.5\n"
    "sp 0 1\n"
    "sp 0 2\n"
    "sp 1 3\n"
    "nc 0 4\n"
    "nc 1 4\n"
    "nc 2 4\n"
    "nc 3 4\n"
    "f 1 3 4\n"
    "f 3 0 4\n"
    "f 0 2 4\n"
    "f 2 1 4\n";

TEST(LoaderSby, LinesAndTokens) {
    struct Case {
        const char* text;
        int positions;    // "v" lines kept
        vector3 first;    // the first position, when there is one
        int border;       // numBorderPoints
        int triangles;
    };
    const Case cases[] = {
        {"v 1 2 3\n", 1, vector3(1, 2, 3), 0, 0},
        {"v 1 2\n", 0, vector3(), 0, 0},
        {"v 1 2 3 4\n", 0, vector3(), 0, 0},
        {"v   1  2   3   \n", 1, vector3(1, 2, 3), 0, 0},
        {"   v 1 2 3\n", 1, vector3(1, 2, 3), 0, 0},
        {"v 1 2 3\r\n", 1, vector3(1, 2, 3), 0, 0},
        {"v 1 2 3", 1, vector3(1, 2, 3), 0, 0},  // no final line end
        {"v\t1 2 3\n", 0, vector3(), 0, 0},      // a tab is part of the token
        {"V 1 2 3\n", 0, vector3(), 0, 0},
        {"v 12abc x 0x1p3\n", 1, vector3(12, 0, 8), 0, 0},
        {"v 1.5e1 -.25 +2\n", 1, vector3(15, -0.25f, 2), 0, 0},
        {"numBorderPoints 8 9\n", 0, vector3(), 8, 0},
        {"numBorderPoints\n", 0, vector3(), 0, 0},
        {"NumBorderPoints 8\n", 0, vector3(), 0, 0},
        {"numBorderPoints 8\nnumBorderPoints 5\n", 0, vector3(), 5, 0},
        {"numBorderPoints 99999999999\n", 0, vector3(), 2147483647, 0},
        {"numBorderPoints 7abc\n", 0, vector3(), 7, 0},
        {"f 0 1 2\nf 0 1\nf 0 1 2 3\n", 0, vector3(), 0, 1},
        {"\n\n   \n# v 1 2 3\n", 0, vector3(), 0, 0},
        {"\xEF\xBB\xBFv 1 2 3\n", 0, vector3(), 0, 0},  // a byte-order mark spoils the keyword
        {"v 1 2 3\rv 4 5 6\n", 0, vector3(), 0, 0},     // a lone CR is no line end
    };
    TempFiles files;
    int k = 0;
    for (const Case& c : cases) {
        LoaderSby l;
        ASSERT_TRUE(l.load_file(files.write("case" + std::to_string(k++), c.text).c_str()));
        EXPECT_EQ(l.num_positions(), c.positions) << c.text;
        if (c.positions > 0) {
            EXPECT_EQ(l.get_position(0).x, c.first.x) << c.text;
            EXPECT_EQ(l.get_position(0).y, c.first.y) << c.text;
            EXPECT_EQ(l.get_position(0).z, c.first.z) << c.text;
        }
        EXPECT_EQ(l.num_border_points(), c.border) << c.text;
        EXPECT_EQ(l.num_triangles(), c.triangles) << c.text;
    }
}

TEST(LoaderSby, ReadsEveryListInFileOrder) {
    TempFiles files;
    LoaderSby l;
    ASSERT_TRUE(l.load_file(files.write("square.sby", kSquare).c_str()));
    EXPECT_EQ(l.num_points(), 5);
    EXPECT_EQ(l.num_helper_points(), 1);
    EXPECT_EQ(l.num_springs(), 3);
    EXPECT_EQ(l.num_null_connections(), 4);
    EXPECT_EQ(l.num_triangles(), 4);
    int a, b, c;
    l.get_triangle(a, b, c, 1);
    EXPECT_EQ(a * 100 + b * 10 + c, 304);
    l.get_spring(a, b, 2);
    EXPECT_EQ(a * 10 + b, 13);
    l.get_null_connection(a, b, 3);
    EXPECT_EQ(a * 10 + b, 34);
    vo::vector2 uv;
    l.get_uv(&uv, 2);
    EXPECT_EQ(uv.y, 1.0f);

    // Copies are deep; load_file starts from nothing.
    LoaderSby copy(l);
    ASSERT_TRUE(l.load_file(files.write("empty.sby", "").c_str()));
    EXPECT_EQ(l.num_points(), 0);
    EXPECT_EQ(l.num_positions(), 0);
    EXPECT_EQ(copy.num_positions(), 5);
    EXPECT_FALSE(l.load_file((fs::temp_directory_path() / "qv_no_such_file.sby").c_str()));
}

TEST(LoaderSby, ALongLineIsIgnoredWhole) {
    // Its tail would read as a spring line of its own if the line were split.
    std::string text = "v 1 2 3" + std::string(300, ' ') + "\nsp 0 1\n";
    text += "v" + std::string(10000, ' ') + "sp 0 1\n";
    text += std::string(255 - 7, ' ') + "v 4 5 6\n";  // exactly 255 characters: read
    TempFiles files;
    LoaderSby l;
    ASSERT_TRUE(l.load_file(files.write("long.sby", text).c_str()));
    EXPECT_EQ(l.num_springs(), 1);
    ASSERT_EQ(l.num_positions(), 1);
    EXPECT_EQ(l.get_position(0).x, 4.0f);
}

TEST(LoadSoftbodyFromFile, BuildsTheSquareWithAClockwiseBorder) {
    TempFiles files;
    SoftBodyDesc desc;
    desc.uv_scale = 0.5f;
    desc.spring_long_constant = 77.0f;
    desc.spring_damping = 0.3f;
    desc.friction = 0.6f;
    desc.inertia = 2.0f;
    desc.rigidity = 0.4f;
    desc.mass_inv = 0.5f;
    SoftBody body;
    ASSERT_TRUE(vo::LoadSoftbodyFromFile(body, files.write("square.sby", kSquare).c_str(), desc));
    ASSERT_EQ(body.num_border_points(), 4);
    ASSERT_EQ(body.num_particles(), 4);
    ASSERT_EQ(body.num_points(), 5);
    // Clockwise from the top-left corner.
    const vector3 want[] = {vector3(-1, 1, 0), vector3(1, 1, 0), vector3(1, -1, 0), vector3(-1, -1, 0)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(body.point_get_coords(i).x, want[i].x) << i;
        EXPECT_EQ(body.point_get_coords(i).y, want[i].y) << i;
    }
    // The texture coordinates followed their points, scaled about the middle:
    // old point 1 (0, 0) is now point 0.
    EXPECT_EQ(body.point_get_uv_coords(0).x, 0.25f);
    EXPECT_EQ(body.point_get_uv_coords(0).y, 0.25f);
    EXPECT_EQ(body.point_get_uv_coords(4).x, 0.5f);
    // Springs: the long constant, at rest, following the renumbering.
    ASSERT_EQ(body.num_springs(), 3);
    EXPECT_EQ(body.spring(0)->get_spring_constant(), 77.0f);
    EXPECT_EQ(body.spring(0)->get_damping_constant(), 0.3f);
    EXPECT_FLOAT_EQ(body.spring(0)->get_default_length(), std::sqrt(8.0f));  // old 0-1: a diagonal
    EXPECT_FLOAT_EQ(body.spring(1)->get_default_length(), 2.0f);
    const auto* t = body.spring_particle_index_tupel(0);
    EXPECT_EQ(t->first, 2);  // old 0 (bottom right)
    EXPECT_EQ(t->second, 0);  // old 1 (top left)
    EXPECT_EQ(body.num_null_connections(), 4);
    EXPECT_EQ(body.num_triangles(), 4);
    EXPECT_EQ(body.get_friction(), 0.6f);
    EXPECT_EQ(body.get_inertia(), 2.0f);
    EXPECT_EQ(body.get_rigidity(), 0.4f);
    EXPECT_EQ(body.get_mass_inv(), 0.5f);
    // It steps like any body.
    for (int i = 0; i < 30; ++i) body.update(1.0 / 60.0);
    EXPECT_TRUE(vo_test::AllFinite(body));
}

TEST(LoadSoftbodyFromFile, ASpringOfTheFileStartsAtRest) {
    // Points 0 and 2 at (0, 0, 0) and (3, 4, 0): rest length 5.
    const char* text =
        "numBorderPoints 3\n"
        "v 0 0 0\nv 6 0 0\nv 3 4 0\n"
        "vt 0 0\nvt 1 0\nvt 0.25 0.75\n"
        "f 0 2 1\n"
        "sp 0 2\n";
    TempFiles files;
    SoftBody body;
    ASSERT_TRUE(vo::LoadSoftbodyFromFile(body, files.write("tri.sby", text).c_str(), SoftBodyDesc()));
    ASSERT_EQ(body.num_springs(), 1);
    EXPECT_EQ(body.spring(0)->get_default_length(), 5.0f);
    EXPECT_EQ(body.spring(0)->get_spring_constant(), SoftBodyDesc().spring_long_constant);
    // The top point comes first now; its texture coordinate went with it.
    EXPECT_EQ(body.point_get_coords(0).y, 4.0f);
    EXPECT_EQ(body.point_get_uv_coords(0).x, 0.25f);
    EXPECT_EQ(body.point_get_uv_coords(0).y, 0.75f);
}

TEST(LoadSoftbodyFromFile, RefusesBadFilesWithoutTouchingTheBody) {
    const std::string square_head =
        "numBorderPoints 4\nnumHelperPoints 1\n"
        "v 1 -1 0\nv -1 1 0\nv -1 -1 0\nv 1 1 0\nv 0 0 0\n"
        "vt 1 1\nvt 0 0\nvt 0 1\nvt 1 0\nvt 0.5 0.5\n"
        "f 1 3 4\nf 3 0 4\nf 0 2 4\nf 2 1 4\n";
    struct Case {
        std::string text;
        std::string message;  // after "<file>: " for invalid contents; the whole message otherwise
    };
    const Case cases[] = {
        {"", "boundary-sort failed on body "},
        {"numBorderPoints 4\n", "4 points but 0 \"v\" lines"},
        {"numBorderPoints -3\n", "negative point count (-3, 0, 0)"},
        {"numBorderPoints 99999999999\nv 0 0 0\n", "2147483647 points but 1 \"v\" lines"},
        {"numBorderPoints 2\nv 0 0 0\nv 1 0 0\nvt 0 0\n", "2 points but 1 \"vt\" lines"},
        {square_head + "f 0 1 99\n", "triangle 4 names point 99, which does not exist"},
        {square_head + "f -1 0 1\n", "triangle 4 names point -1, which does not exist"},
        {square_head + "sp 0 4\n", "spring 0 names point 4, which has no particle"},
        {square_head + "nc 0 5\n", "null connection 0 names point 5, which does not exist"},
        {square_head + "v nan 0 0\n", "position 5 is not finite"},
        {square_head + "v 1e99 0 0\n", "position 5 is not finite"},
        {square_head + "vt inf 0\n", "texture coordinate 5 is not finite"},
        // Triangles that do not chain the border.
        {"numBorderPoints 4\nv 1 -1 0\nv -1 1 0\nv -1 -1 0\nv 1 1 0\n"
         "vt 0 0\nvt 0 0\nvt 0 0\nvt 0 0\nf 1 3 0\n",
         "boundary-sort failed on body "},
    };
    TempFiles files;
    int k = 0;
    for (const Case& c : cases) {
        SoftBody body;
        vo_test::BuildCircleBody(body, vo_test::DefaultCircleDesc(), vector3(3, 4, 0));
        const vector3 before = body.point_get_coords(5);
        const std::string path = files.write("bad" + std::to_string(k++) + ".sby", c.text);
        const std::string got = Message([&] { vo::LoadSoftbodyFromFile(body, path.c_str(), SoftBodyDesc()); });
        const std::string want = c.message.rfind("boundary", 0) == 0
                                     ? c.message + path
                                     : "LoadSoftbodyFromFile: invalid soft-body file " + path + ": " + c.message;
        EXPECT_EQ(got, want);
        EXPECT_EQ(body.num_border_points(), 12) << c.text;
        EXPECT_EQ(body.num_springs(), 54) << c.text;
        EXPECT_EQ(body.point_get_coords(5).x, before.x) << c.text;
    }

    SoftBody body;
    vo_test::BuildCircleBody(body, vo_test::DefaultCircleDesc());
    const std::string missing = (fs::temp_directory_path() / "qv_no_such_file.sby").string();
    EXPECT_EQ(Message([&] { vo::LoadSoftbodyFromFile(body, missing.c_str(), SoftBodyDesc()); }),
              "LoadSoftbodyFromFile: failed to load softBody from file " + missing);
    EXPECT_EQ(body.num_border_points(), 12);
}

TEST(LoadSoftbodyFromFile, HarmlessOddities) {
    // A null connection from a point to itself and a spring of no length load.
    TempFiles files;
    SoftBody body;
    const std::string text = std::string(kSquare) + "nc 0 0\nsp 3 3\n";
    ASSERT_TRUE(vo::LoadSoftbodyFromFile(body, files.write("odd.sby", text).c_str(), SoftBodyDesc()));
    EXPECT_EQ(body.num_springs(), 4);
    for (int i = 0; i < 30; ++i) body.update(1.0 / 60.0);
    EXPECT_TRUE(vo_test::AllFinite(body));
}

// The body as the file's lists build it in file order, then sorted: what
// the loader gave before it worked out the border order on the lists.
void BuildInFileOrderAndSort(SoftBody& body, const LoaderSby& file, const SoftBodyDesc& desc) {
    body.set_num_points(file.num_border_points(), file.num_inner_points(), file.num_helper_points());
    vo::ApplySoftBodyMaterial(body, desc);
    for (int i = 0; i < file.num_points(); ++i) {
        body.point_set_coords(i, file.get_position(i));
        const vo::vector2 uv = file.get_uv(i);
        body.point_set_uv_coords(i, desc.uv_scale * (uv.x - 0.5f) + 0.5f, desc.uv_scale * (uv.y - 0.5f) + 0.5f);
    }
    if (file.num_springs() > 0) body.create_springs(file.num_springs());
    for (int s = 0; s < file.num_springs(); ++s) {
        int a, b;
        file.get_spring(a, b, s);
        const vector3 pa = file.get_position(a), pb = file.get_position(b);
        const float dx = pb.x - pa.x, dy = pb.y - pa.y, dz = pb.z - pa.z;
        const float rest = static_cast<float>(std::sqrt(static_cast<double>(((dx * dx + 0.0f) + dy * dy) + dz * dz)));
        body.set_spring(s, a, b, rest, desc.spring_long_constant, desc.spring_damping);
    }
    for (int c = 0; c < file.num_null_connections(); ++c) {
        int a, b;
        file.get_null_connection(a, b, c);
        body.create_null_connection(a, b);
    }
    for (int t = 0; t < file.num_triangles(); ++t) {
        int a, b, c;
        file.get_triangle(a, b, c, t);
        body.create_triangle(a, b, c);
    }
    ASSERT_TRUE(body.sort_boundary_points_clockwise());
}

// A ring of border points in a shuffled order around inner points and a
// centre helper, with springs and null connections among all of them.
std::string ShuffledRing(int border, int inner) {
    std::vector<int> ids;
    for (int i = 0; i < border; ++i) ids.push_back(i);
    for (int i = border - 1; i > 0; --i) std::swap(ids[i], ids[vo::Rand() % (i + 1)]);
    std::vector<vector3> pos(static_cast<std::size_t>(border + inner + 1));
    for (int i = 0; i < border; ++i) {
        const float a = 6.2831855f * static_cast<float>(i) / static_cast<float>(border);
        pos[ids[i]] = vector3(2.0f * std::sin(a), 2.0f * std::cos(a), 0.0f);
    }
    for (int i = 0; i < inner; ++i) pos[border + i] = vector3(0.1f * (i % 7), -0.1f * (i % 5), 0.0f);
    const int centre = border + inner;
    std::string text = "numBorderPoints " + std::to_string(border) + "\nnumInnerPoints " + std::to_string(inner) +
                       "\nnumHelperPoints 1\n";
    for (const vector3& p : pos) text += "v " + std::to_string(p.x) + " " + std::to_string(p.y) + " 0\n";
    for (std::size_t i = 0; i < pos.size(); ++i) text += "vt " + std::to_string(i % 3) + " " + std::to_string(i % 4) + "\n";
    for (int i = 0; i < border; ++i) {
        text += "f " + std::to_string(ids[(i + 1) % border]) + " " + std::to_string(ids[i]) + " " + std::to_string(centre) + "\n";
        text += "nc " + std::to_string(ids[i]) + " " + std::to_string(centre) + "\n";
    }
    for (int s = 0; s < 3 * border; ++s) {
        text += "sp " + std::to_string(vo::Rand() % (border + inner)) + " " + std::to_string(vo::Rand() % (border + inner)) + "\n";
    }
    return text;
}

TEST(LoadSoftbodyFromFile, BuildsWhatSortingTheFileOrderGives) {
    TempFiles files;
    vo::SeedRand(11);
    SoftBodyDesc desc;
    desc.uv_scale = 0.75f;
    int k = 0;
    for (const auto& shape : {std::make_pair(3, 0), std::make_pair(8, 2), std::make_pair(40, 9), std::make_pair(97, 0)}) {
        const std::string path = files.write("ring" + std::to_string(k++) + ".sby", ShuffledRing(shape.first, shape.second));
        SoftBody loaded, sorted;
        ASSERT_TRUE(vo::LoadSoftbodyFromFile(loaded, path.c_str(), desc));
        LoaderSby file;
        ASSERT_TRUE(file.load_file(path.c_str()));
        BuildInFileOrderAndSort(sorted, file, desc);
        SCOPED_TRACE(path);
        ASSERT_EQ(sorted.num_points(), loaded.num_points());
        for (int i = 0; i < loaded.num_points(); ++i) {
            EXPECT_EQ(sorted.point_get_coords(i).x, loaded.point_get_coords(i).x) << i;
            EXPECT_EQ(sorted.point_get_coords(i).y, loaded.point_get_coords(i).y) << i;
            EXPECT_EQ(sorted.point_get_uv_coords(i).x, loaded.point_get_uv_coords(i).x) << i;
            EXPECT_EQ(sorted.point_get_uv_coords(i).y, loaded.point_get_uv_coords(i).y) << i;
        }
        for (int i = 0; i < loaded.num_particles(); ++i) {
            EXPECT_EQ(sorted.particle_collection().particle(i)->position.x, loaded.particle_collection().particle(i)->position.x);
        }
        ASSERT_EQ(sorted.num_springs(), loaded.num_springs());
        for (int s = 0; s < loaded.num_springs(); ++s) {
            EXPECT_EQ(sorted.spring_particle_index_tupel(s)->first, loaded.spring_particle_index_tupel(s)->first) << s;
            EXPECT_EQ(sorted.spring_particle_index_tupel(s)->second, loaded.spring_particle_index_tupel(s)->second) << s;
            EXPECT_EQ(sorted.spring(s)->get_default_length(), loaded.spring(s)->get_default_length()) << s;
            EXPECT_EQ(sorted.spring(s)->get_particle1(), sorted.particle_collection().particle(sorted.spring_particle_index_tupel(s)->first));
            EXPECT_EQ(loaded.spring(s)->get_particle1(), loaded.particle_collection().particle(loaded.spring_particle_index_tupel(s)->first));
        }
        ASSERT_EQ(sorted.num_null_connections(), loaded.num_null_connections());
        for (int c = 0; c < loaded.num_null_connections(); ++c) {
            EXPECT_EQ(sorted.get_null_connection(c).a, loaded.get_null_connection(c).a);
            EXPECT_EQ(sorted.get_null_connection(c).b, loaded.get_null_connection(c).b);
        }
        ASSERT_EQ(sorted.num_triangles(), loaded.num_triangles());
        for (int t = 0; t < loaded.num_triangles() * 3; ++t) {
            EXPECT_EQ(sorted.get_triangle_index_list()[t], loaded.get_triangle_index_list()[t]);
        }
    }
}

// A ring of border points around a centre helper, as a file.
std::string Ring(int border, const std::string& extra_triangles = std::string()) {
    std::string text = "numBorderPoints " + std::to_string(border) + "\nnumHelperPoints 1\n";
    for (int i = 0; i < border; ++i) {
        const float a = 6.2831855f * static_cast<float>(i) / static_cast<float>(border);
        text += "v " + std::to_string(std::sin(a)) + " " + std::to_string(std::cos(a)) + " 0\n";
    }
    text += "v 0 0 0\n";
    for (int i = 0; i <= border; ++i) text += "vt 0 0\n";
    text += extra_triangles;
    for (int i = 0; i < border; ++i) {
        text += "f " + std::to_string((i + 1) % border) + " " + std::to_string(i) + " " + std::to_string(border) + "\n";
    }
    return text;
}

// The files of the fault reports and their kin: a large ring loads, the rest
// are refused; all of it quickly and in little memory.
TEST(LoadSoftbodyFromFile, HostileFilesAreHandledQuickly) {
    TempFiles files;
    const std::string ring = files.write("ring.sby", Ring(20000));
    // Border point 0 in 100,000 triangles with points just inside the line to
    // its neighbour, which comes last: every candidate but the last lies
    // inside the last one.
    std::string crowd = "numBorderPoints 100004\nnumHelperPoints 1\n";
    crowd += "v 0 1 0\nv 1 0 0\nv 0 -1 0\nv -1 0 0\n";
    std::string fan;
    for (int i = 0; i < 100000; ++i) {
        const double t = (i + 1) / 100001.0;
        crowd += "v " + std::to_string(t) + " " + std::to_string(1.0 - t - 1e-3) + " 0\n";
        fan += "f 0 " + std::to_string(4 + i) + " 100004\n";
    }
    crowd += "v 0 0 0\n";
    for (int i = 0; i <= 100004; ++i) crowd += "vt 0 0\n";
    crowd += fan + "f 0 1 100004\nf 1 2 100004\nf 2 3 100004\nf 3 0 100004\n";
    const std::string crowded = files.write("crowded.sby", crowd);
    const std::string big = files.write("big.sby", "");
    ASSERT_TRUE(vo_test::WriteSparseFile(big, 50ll << 20));
    const std::string long_line = files.write("long_line.sby", std::string(kSquare) + "v 1 1 1");
    {
        std::ofstream out(long_line, std::ios::app | std::ios::binary);
        out << std::string(15 << 20, '7') << "\nsp 0 1\n";
    }
    const std::string pipe = files.write("pipe.sby", "");
    fs::remove(pipe);
    ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));

    auto load = [](const std::string& path) {
        return [path] {
            SoftBody body;
            vo::LoadSoftbodyFromFile(body, path.c_str(), SoftBodyDesc());
            return "loaded " + std::to_string(body.num_border_points()) + " border points, " +
                   std::to_string(body.num_springs()) + " springs";
        };
    };
    const std::string failed = "Error: LoadSoftbodyFromFile: failed to load softBody from file ";
    struct Row {
        const char* label;
        std::string path;
        std::string outcome;
    };
    const Row rows[] = {
        {"a ring of 20,000 border points", ring, "loaded 20000 border points, 0 springs"},
        {"a border point in 100,000 triangles", crowded, "Error: boundary-sort failed on body " + crowded},
        {"a 50 MB file", big, failed + big + " (larger than the limit of 16777216 bytes)"},
        {"a 15 MB line", long_line, "loaded 4 border points, 4 springs"},
        {"the zero device", "/dev/zero", failed + "/dev/zero (not a regular file)"},
        {"a named pipe", pipe, failed + pipe + " (not a regular file)"},
    };
    for (const Row& row : rows) vo_test::ExpectQuickAndSmall(row.label, load(row.path), row.outcome);
}

}  // namespace
