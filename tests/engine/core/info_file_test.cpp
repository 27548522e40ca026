#include "engine/core/info_file.h"

#include "engine/core/config.h"
#include "engine/core/error.h"
#include "engine/core/path_provider.h"
#include "engine/core/random.h"
#include "engine/visuals/font.h"
#include "engine/widgets/widget_style_config.h"
#include "support/engine/bounded_run.h"
#include "support/engine/media_files.h"

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace vo {
namespace {

namespace pt = boost::property_tree;
using Limits = InfoFileLimits;

void Dump(const ptree& tree, std::string& out) {
    for (const auto& child : tree) {
        out += child.first + '\x01' + child.second.data() + '\x02';
        Dump(child.second, out);
        out += '\x03';
    }
}

// The tree read by one of the readers, or its error.
template <class Read>
std::string Outcome(Read read) {
    ptree tree;
    try {
        read(tree);
    } catch (const pt::info_parser_error& e) {
        return std::string("parser error: ") + e.what();
    } catch (const Error& e) {
        return std::string("Error: ") + e.message();
    }
    std::string out = "tree: ";
    Dump(tree, out);
    return out;
}

std::string LibraryOutcome(const std::string& path) {
    return Outcome([&](ptree& tree) { pt::read_info(path, tree); });
}

std::string EngineOutcome(const std::string& path) {
    return Outcome([&](ptree& tree) { ReadInfoFile(path, tree); });
}

class InfoFileTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text) {
        const std::string path = folder.file(name);
        EXPECT_TRUE(vo_test::WriteTextFile(path, text));
        return path;
    }

    vo_test::TempFolder folder;
};

// Valid files give the library's tree and broken ones its error, line
// numbers included.
TEST_F(InfoFileTest, ReadsLikeTheLibrary) {
    const std::string inner = write("inner.info", "x 1\ny { z \"2\" }\n");
    const std::vector<std::string> texts = {
        "",
        "\n\n",
        "a 1\nb two\nc \"three four\" ; comment\n",
        "a { b { c 1 d 2 } e 3 }\n",
        "a\n{\n  b 1\n}\n",
        "\"quoted key\" \"quoted \\\"data\\\"\\t\\n\\\\\"\n",
        "a \"one\" \\\n  \"two\" \\\n\n ; comment between\n  \"three\"\nb 1\n",
        "a \"x\" \\ ; comment after the backslash\n\"y\"\n",
        "dup 1\ndup 2\ndup { x 1 }\n",
        "a 1 b 2 c { d 3 } e\n",
        "a\r\nb 2\r\n",
        "caf\xC3\xA9 \xE2\x82\xAC\n",
        std::string("a 1\nb 2\0c 3\nd 4\n", 16),
        "a{b{c{d{e{f{g{h 1}}}}}}}\n",
        "a { #include \"" + inner + "\"\n}\n",
        "#include \"" + inner + "\"\nafter 1\n",
        // Broken files: the errors and their lines.
        "a {\n",
        "}\n",
        "{\n",
        "a \"open\n",
        "a \"x\" \\ b\n",
        "a \"x\" \\\nb\n",
        "a \"\\q\"\n",
        "a b\\\n",
        "#unknown\n",
        "#include \"" + folder.file("missing.info") + "\"\n",
        "#include \"" + inner + "\" trailing\n",
        "\"key\" \\\n",
    };
    for (const std::string& text : texts) {
        const std::string path = write("case.info", text);
        EXPECT_EQ(LibraryOutcome(path), EngineOutcome(path)) << text;
    }
}

// Every INFO file the game ships reads as the library reads it, well within
// the limits.
TEST(InfoFile, ShippedFilesReadLikeTheLibrary) {
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(QV_GAME_DATA_DIR)) {
        if (entry.path().extension() != ".info") continue;
        ++files;
        const std::string path = entry.path().string();
        const std::string outcome = EngineOutcome(path);
        EXPECT_EQ(LibraryOutcome(path), outcome);
        EXPECT_EQ(0u, outcome.find("tree: ")) << outcome;
        EXPECT_LT(entry.file_size(), Limits::max_bytes / 16) << path;
    }
    EXPECT_GT(files, 5);
}

// Random files made of the format's pieces, most of them broken somewhere.
TEST_F(InfoFileTest, RandomFilesReadLikeTheLibrary) {
    const std::vector<std::string> pieces = {
        "key", "k2", "\"q k\"", "\"e\\n\\\"\"", "\"bad\\q\"", "\"open", "{", "}", "{", "}", ";c", " ", "\t", "\r",
        "\\", "\"a\" \\", "\"b\"", "#include \"none\"", "#x", "\xC3\xA9", std::string(1, '\0'), "\n", "\n", "\n",
    };
    SeedRand(29);
    int trees = 0;
    for (int sample = 0; sample < 1000; ++sample) {
        std::string text;
        const int count = 1 + Rand() % 40;
        for (int i = 0; i < count; ++i) text += pieces[static_cast<std::size_t>(Rand()) % pieces.size()];
        const std::string path = write("random.info", text);
        const std::string expected = LibraryOutcome(path);
        if (expected.compare(0, 5, "tree:") == 0) ++trees;
        ASSERT_EQ(expected, EngineOutcome(path)) << "sample " << sample;
    }
    EXPECT_GT(trees, 60);  // the samples reach beyond the first error
}

// Each limit holds up to its value and refuses one beyond it.
TEST_F(InfoFileTest, LimitsAtTheirEdges) {
    const std::string deep = folder.file("deep.info");
    const std::string continued = folder.file("continued.info");
    const std::string big = folder.file("big.info");
    struct Case {
        std::string path;
        std::string text;  // empty: a file of NUL bytes of the size below
        long long size;
        std::string outcome;
    };
    const std::string tree_prefix = "tree: ";
    const Case cases[] = {
        {deep, vo_test::NestedInfoText(Limits::max_depth), 0, ""},
        {deep, vo_test::NestedInfoText(Limits::max_depth + 1), 0,
         "Error: INFO file " + deep + " nests groups deeper than the limit of 64 levels (line 1)"},
        {continued, vo_test::ContinuedInfoText(Limits::max_continuation_lines), 0, ""},
        {continued, vo_test::ContinuedInfoText(Limits::max_continuation_lines + 1), 0,
         "Error: INFO file " + continued + " continues a value over more than the limit of 1000 lines (line 1001)"},
        {big, "", static_cast<long long>(Limits::max_bytes), ""},
        {big, "", static_cast<long long>(Limits::max_bytes) + 1,
         "Error: INFO file " + big + " is larger than the limit of 1048576 bytes"},
    };
    for (const Case& c : cases) {
        if (c.text.empty()) {
            ASSERT_TRUE(vo_test::WriteSparseFile(c.path, c.size));
        } else {
            ASSERT_TRUE(vo_test::WriteTextFile(c.path, c.text));
        }
        const std::string outcome = EngineOutcome(c.path);
        if (c.outcome.empty()) {
            EXPECT_EQ(LibraryOutcome(c.path), outcome) << c.path;
        } else {
            EXPECT_EQ(c.outcome, outcome);
        }
    }
}

// The files of the fault reports, and the other ways a file can make a
// reader hang or grow: each refused with an Error naming it and the limit,
// quickly and in little memory. The configuration pool keeps no entry of a
// refused file.
TEST_F(InfoFileTest, HostileFilesAreRefusedQuickly) {
    PathProvider::set_path(1, folder.path() + "/");
    const std::string deep = write("deep_pool.info", vo_test::NestedInfoText(40000));  // 160 KB
    const std::string continued = write("continued.info", vo_test::ContinuedInfoText(20000));  // 900 KB
    const std::string big = folder.file("big.info");
    ASSERT_TRUE(vo_test::WriteSparseFile(big, 50ll << 20));
    const std::string pipe = folder.file("pipe.info");
    ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
    const std::string device = write("device.info", "a 1\n#include \"/dev/zero\"\n");
    const std::string half = write("half.info", std::string(700 * 1024, '\n'));
    const std::string twice = write("twice.info", "#include \"" + half + "\"\n#include \"" + half + "\"\n");
    const std::string across = write("across.info", "a { b {\n#include \"" +
                                                        write("nested.info", vo_test::NestedInfoText(63)) + "\"\n} }\n");

    auto read = [](const std::string& path) {
        return [path] {
            ptree tree;
            ReadInfoFile(path, tree);
            return std::string("read");
        };
    };
    struct Row {
        const char* label;
        std::function<std::string()> work;
        std::string outcome;
    };
    const Row rows[] = {
        {"pool: 40,000 nested groups, 160 KB",
         [] {
             std::string outcome;
             try {
                 GetConfig("deep_pool.info");
             } catch (const Error& e) {
                 outcome = e.message();
             }
             try {
                 GetConfigPool().get("deep_pool.info", nullptr);
             } catch (const Error& e) {
                 return outcome + " / " + e.message();
             }
             return outcome + " / kept in the pool";
         },
         "INFO file " + folder.file("deep_pool.info") +
             " nests groups deeper than the limit of 64 levels (line 1) / Resource not found for key deep_pool.info"},
        {"widget styles: 40,000 nested groups",
         [deep] {
             WidgetStyleMapFromInfoFile(deep, "", nullptr);
             return std::string("read");
         },
         "Error: INFO file " + deep + " nests groups deeper than the limit of 64 levels (line 1)"},
        {"bitmap font: 40,000 nested groups",
         [deep] {
             Font font;
             font.set_file(deep.c_str(), Font::FONT_BITMAP);
             font.set_character_height(12.0f);
             return std::string("read");
         },
         "Error: INFO file " + deep + " nests groups deeper than the limit of 64 levels (line 1)"},
        {"a value continued over 20,000 lines, 900 KB", read(continued),
         "Error: INFO file " + continued + " continues a value over more than the limit of 1000 lines (line 1001)"},
        {"a 50 MB file", read(big), "Error: INFO file " + big + " is larger than the limit of 1048576 bytes"},
        {"a named pipe", read(pipe), "Error: INFO file " + pipe + " is not a regular file"},
        {"the zero device", read("/dev/zero"), "Error: INFO file /dev/zero is not a regular file"},
        {"an include of the zero device", read(device), "Error: INFO file /dev/zero is not a regular file"},
        {"includes beyond the size limit", read(twice),
         "Error: INFO file " + twice + " with the files it includes (" + half +
             ") is larger than the limit of 1048576 bytes"},
        {"nesting continued in an included file", read(across),
         "Error: INFO file " + folder.file("nested.info") + " nests groups deeper than the limit of 64 levels (line 1)"},
    };
    for (const Row& row : rows) vo_test::ExpectQuickAndSmall(row.label, row.work, row.outcome);
}

}  // namespace
}  // namespace vo
