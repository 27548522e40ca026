#include "engine/core/config.h"

#include "engine/core/error.h"
#include "engine/core/path_provider.h"

#include <gtest/gtest.h>

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vo {
namespace {

namespace fs = std::filesystem;
namespace pt = boost::property_tree;

// A private configuration folder registered as path id 1. The pool is
// process-wide, so every test uses file names of its own.
class ConfigTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "vo_config_XXXXXX").string();
        ASSERT_NE(nullptr, mkdtemp(pattern.data()));
        folder_ = pattern;
        PathProvider::set_path(1, folder_.string() + "/");
    }
    static void TearDownTestSuite() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    static void Write(const std::string& name, const std::string& text) {
        std::ofstream out(folder_ / name, std::ios::binary | std::ios::trunc);
        out << text;
    }

    static fs::path folder_;
};

fs::path ConfigTest::folder_;

// The integer at the path, INT_MIN (never an expected value) when it is
// missing or no integer. The throwing get<int> would do as well, but g++ 12
// reports a maybe-uninitialised value inside Boost's translator for it.
int IntAt(const ptree& tree, const char* path) { return tree.get<int>(path, INT_MIN); }

TEST_F(ConfigTest, LoadsAFileOnceAndSharesTheTree) {
    Write("once.info", "window { width 800 height 600 }\nname \"Quorvane\"\n");
    const ptree& first = GetConfig("once.info");
    EXPECT_EQ(800, IntAt(first, "window.width"));
    EXPECT_EQ("Quorvane", first.get<std::string>("name"));

    Write("once.info", "window { width 1 }\n");
    const ptree& second = GetConfig("once.info");
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(800, IntAt(second, "window.width"));

    // reload reads the file again into the same tree
    GetConfigPool().reload();
    EXPECT_EQ(1, IntAt(first, "window.width"));
    EXPECT_EQ(&first, &GetConfig("once.info"));
}

TEST_F(ConfigTest, MissingFileRaisesTheParserErrorEveryTime) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            GetConfig("missing.info");
            FAIL() << "no error on attempt " << attempt;
        } catch (const pt::info_parser_error& e) {
            EXPECT_NE(std::string::npos, std::string(e.what()).find("cannot open file for reading"));
            EXPECT_NE(std::string::npos, e.filename().find("missing.info"));
        }
    }
    // a file that appears later is found
    Write("missing.info", "found 1\n");
    EXPECT_EQ(1, IntAt(GetConfig("missing.info"), "found"));
}

TEST_F(ConfigTest, FileWithoutEntriesIsAnErrorEveryTime) {
    Write("empty.info", "; only a comment\n\n");
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            GetConfig("empty.info");
            FAIL() << "no error on attempt " << attempt;
        } catch (const Error& e) {
            EXPECT_STREQ(
                "Resource not found for key empty.info. Couldn't load resource from specified file empty.info",
                e.message());
        }
    }
}

TEST_F(ConfigTest, SyntaxErrorNamesTheLineAndLeavesNothing) {
    Write("broken.info", "a 1\nb {\n c 2\n");
    EXPECT_THROW(GetConfig("broken.info"), pt::info_parser_error);
    Write("broken.info", "a 1\nb {\n c 2\n}\n");
    EXPECT_EQ(2, IntAt(GetConfig("broken.info"), "b.c"));
}

TEST_F(ConfigTest, ChildPathsAndTheBadPathError) {
    Write("paths.info", "a { b { c 3 } }\nx 1\n");
    const ptree& b = GetConfig("paths.info", "a.b");
    EXPECT_EQ(3, IntAt(b, "c"));
    EXPECT_EQ(&b, &GetConfig(GetConfig("paths.info"), "a.b"));
    try {
        GetConfig("paths.info", "a.q");
        FAIL() << "no error";
    } catch (const pt::ptree_bad_path& e) {
        EXPECT_NE(std::string::npos, std::string(e.what()).find("No such node"));
        EXPECT_NE(std::string::npos, std::string(e.what()).find("a.q"));
    }
    EXPECT_THROW(GetConfig(GetConfig("paths.info"), "x.y"), pt::ptree_bad_path);
}

TEST_F(ConfigTest, DefaultWidgetStylesComeFromTheirFile) {
    Write("widget_styles.info", "default { font menu }\n");
    EXPECT_EQ("menu", DefaultWidgetStyleConfig().get<std::string>("default.font"));
    EXPECT_EQ(&DefaultWidgetStyleConfig(), &GetConfig("widget_styles.info"));
}

}  // namespace
}  // namespace vo
