#include "engine/core/error.h"
#include "engine/widgets/widget.h"
#include "engine/widgets/widget_style_config.h"

#include <gtest/gtest.h>

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

using boost::property_tree::ptree;
using vo::Color;
using vo::ConstSmartPtr;
using vo::Frame;
using vo::SmartPtr;
using vo::WidgetStyle;
using vo::WidgetStyleMap;

ptree Info(std::string const& text) {
    std::istringstream in(text);
    ptree tree;
    boost::property_tree::read_info(in, tree);
    return tree;
}

// A file in the test's working folder, removed with the object.
class TempFile {
public:
    TempFile(std::string name, std::string const& text) : path_(std::move(name)) {
        std::ofstream(path_) << text;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    std::string const& path() const { return path_; }

private:
    std::string path_;
};

void ExpectColor(Color const& c, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_FLOAT_EQ(c.a, a);
}

std::string ErrorText(std::function<void()> const& f) {
    try {
        f();
    } catch (vo::Error const& e) {
        return e.message();
    }
    return "no error";
}

TEST(StyleMap, DefaultMapIsEmptyUntilTheFirstWidget) {
    // In a fresh process: other tests of this binary make widgets.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            bool const empty_before = vo::DefaultStyleMap()->styles().empty();
            { vo::Widget w; }
            SmartPtr<WidgetStyleMap> map = vo::DefaultStyleMap();
            bool const filled = map->styles().size() == 2 && map->get_if_available("default") &&
                                map->get_if_available("disabled");
            std::exit(empty_before && filled ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(StyleMap, EntriesOfEveryKindFromInfoText) {
    ptree const tree = Info(R"(
        menu {
            float { value 2.5
                    name weight }
            float { name empty }
            vector2 { name shift
                      x 3 }
            color { name background
                    r 0.25
                    a 0.5 }
            color { name plain }
            frame { name main
                    left 10
                    width 20
                    top 5
                    height 5
                    yUp false }
        })");
    SmartPtr<WidgetStyleMap> map = vo::WidgetStyleMapFromConfig(tree, nullptr);
    ASSERT_EQ(map->styles().size(), 1u);
    WidgetStyle const& s = static_cast<WidgetStyleMap const&>(*map).get("menu");
    EXPECT_FLOAT_EQ(s.get<float>("weight"), 2.5f);
    EXPECT_FLOAT_EQ(s.get<float>("empty"), 0.0f);
    EXPECT_FLOAT_EQ(s.get<vo::vector2>("shift").x, 3.0f);
    EXPECT_FLOAT_EQ(s.get<vo::vector2>("shift").y, 0.0f);
    ExpectColor(s.get<Color>("background"), 0.25f, 1.0f, 1.0f, 0.5f);
    ExpectColor(s.get<Color>("plain"), 1.0f, 1.0f, 1.0f, 1.0f);
    Frame const f = s.get<Frame>("main");
    EXPECT_FLOAT_EQ(f.left(), 10.0f);
    EXPECT_FLOAT_EQ(f.right(), 30.0f);
    EXPECT_FLOAT_EQ(f.top(), 5.0f);
    EXPECT_FLOAT_EQ(f.bottom(), 10.0f);
    EXPECT_EQ(ErrorText([&] { s.get<Color>("weight"); }), "WidgetStyle entry not found: weight");
}

TEST(StyleMap, BaseIsCopiedAndExtendedNotChanged) {
    vo::Widget first;  // installs "default" and "disabled"
    SmartPtr<WidgetStyleMap> base = vo::DefaultStyleMap();
    ptree const tree = Info(R"(
        default { color { name background
                          r 0.5 } }
        extra { float { name w
                        value 1 } }
        default { color { name background
                          g 0.25 } }
    )");
    SmartPtr<WidgetStyleMap> map = vo::WidgetStyleMapFromConfig(tree, base);
    ASSERT_NE(map.get(), base.get());
    WidgetStyleMap const& m = *map;
    EXPECT_EQ(m.styles().size(), 3u);
    // Groups are read in tree order; the second "default" group replaces the entry again.
    ExpectColor(m.get("default").get<Color>("background"), 1.0f, 0.25f, 1.0f, 1.0f);
    ExpectColor(m.get("default").get<Color>("borderLight"), 0.1f, 0.1f, 0.1f, 1.0f);
    EXPECT_EQ(m.get("default").colors().size(), 5u);
    ExpectColor(m.get("disabled").get<Color>("background"), 0.7f, 0.7f, 0.7f, 0.9f);
    ExpectColor(static_cast<WidgetStyleMap const&>(*base).get("default").get<Color>("background"), 1, 1, 1, 1);
}

TEST(StyleMap, Errors) {
    struct Case {
        const char* text;
        const char* message;
    };
    Case const cases[] = {
        {"pressed { Color { name background } }", "Unknown property type in style-map group 'pressed': Color"},
        {"a { float { name x } }\n b { colour { name x } }", "Unknown property type in style-map group 'b': colour"},
        {"geometry { frame { name main\n left 1 } }", "Can't read frame. Neither 'right' nor 'width' specified"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ErrorText([&] { vo::WidgetStyleMapFromConfig(Info(c.text), nullptr); }), c.message);
    }
    // A frame reads its name before its value: the name error wins.
    EXPECT_THROW(vo::WidgetStyleMapFromConfig(Info("g { frame { left 1 } }"), nullptr),
                 boost::property_tree::ptree_bad_path);
    EXPECT_THROW(vo::WidgetStyleMapFromConfig(Info("g { color { r 1 } }"), nullptr),
                 boost::property_tree::ptree_bad_path);
}

TEST(StyleMap, KeyedTreesAndFiles) {
    ptree const tree = Info("menus { main { default { float { name a\n value 1 } } } }");
    SmartPtr<WidgetStyleMap> keyed = vo::WidgetStyleMapFromConfig("menus.main", tree, nullptr);
    EXPECT_FLOAT_EQ(static_cast<WidgetStyleMap const&>(*keyed).get("default").get<float>("a"), 1.0f);
    EXPECT_THROW(vo::WidgetStyleMapFromConfig("menus.other", tree, nullptr), boost::property_tree::ptree_bad_path);

    TempFile file("style_map_test_styles.info",
                  "menu { default { float { name a\n value 2 } } }\n"
                  "hud { default { float { name a\n value 3 } } }\n");
    auto read = [&](const char* key) {
        return static_cast<WidgetStyleMap const&>(*vo::WidgetStyleMapFromInfoFile(file.path().c_str(), key, nullptr));
    };
    EXPECT_FLOAT_EQ(read("hud").get("default").get<float>("a"), 3.0f);
    EXPECT_EQ(vo::WidgetStyleMapFromInfoFile(file.path(), std::string("menu"), nullptr)->styles().size(), 1u);
    // A group that is not there means the whole file: here its groups are
    // taken for styles, and their styles for entries of an unknown kind.
    EXPECT_EQ(ErrorText([&] { read("nothing"); }), "Unknown property type in style-map group 'menu': default");

    TempFile flat("style_map_test_flat.info", "default { float { name a\n value 4 } }\npressed { }\n");
    WidgetStyleMap const whole =
        *vo::WidgetStyleMapFromInfoFile(flat.path().c_str(), "menu", nullptr);
    EXPECT_EQ(whole.styles().size(), 2u);
    EXPECT_FLOAT_EQ(whole.get("default").get<float>("a"), 4.0f);
    EXPECT_EQ(vo::WidgetStyleMapFromInfoFile(flat.path().c_str(), "", nullptr)->styles().size(), 2u);
    EXPECT_EQ(vo::WidgetStyleMapFromInfoFile(flat.path().c_str(), nullptr, nullptr)->styles().size(), 2u);

    TempFile empty("style_map_test_empty.info", "");
    EXPECT_EQ(ErrorText([&] { vo::WidgetStyleMapFromInfoFile(empty.path().c_str(), "menu", nullptr); }),
              "No valid config file found at style_map_test_empty.info");
    EXPECT_THROW(vo::WidgetStyleMapFromInfoFile("style_map_test_missing.info", "menu", nullptr),
                 boost::property_tree::info_parser_error);
}

TEST(StyleMap, LookupsAndCopies) {
    WidgetStyleMap map;
    WidgetStyleMap const& const_map = map;
    EXPECT_TRUE(const_map.get("nothing").colors().empty());
    EXPECT_EQ(&const_map.get("nothing"), &const_map.get(std::string("other")));
    EXPECT_TRUE(map.styles().empty());
    EXPECT_EQ(map.get_if_available("nothing"), nullptr);

    map.get("nothing").floats()["x"] = 1.0f;
    EXPECT_EQ(map.styles().size(), 1u);
    ASSERT_NE(const_map.get_if_available("nothing"), nullptr);

    WidgetStyle style;
    style.colors()["background"] = Color(0, 0, 0, 1);
    map.set("nothing", style);
    EXPECT_TRUE(map.get("nothing").floats().empty());

    SmartPtr<WidgetStyleMap> copy = map.clone();
    copy->get("nothing").colors().clear();
    EXPECT_EQ(map.get("nothing").colors().size(), 1u);
}

}  // namespace
