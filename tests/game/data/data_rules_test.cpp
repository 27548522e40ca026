// The load rules of weapons.info, items.info and game_config.info: on small
// trees, each broken tree gives its one line, a sound tree none; on broken
// copies of the shipped files, every demand the game makes of them later.

#include "game/level/data_rules.h"

#include "engine/core/error.h"
#include "engine/physics/soft_body.h"
#include "engine/physics/soft_body_circle.h"
#include "engine/physics/soft_body_desc.h"
#include "support/game/level_scene_harness.h"

#include <boost/property_tree/info_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using boost::property_tree::ptree;
using testing::ElementsAre;
using testing::IsEmpty;

ptree Info(std::string const& text) {
    std::istringstream in(text);
    ptree tree;
    boost::property_tree::read_info(in, tree);
    return tree;
}

// Every file exists but the ones named "missing...".
vo::DataFiles Files() {
    auto exists = [](std::string const& name) { return name.rfind("missing", 0) != 0; };
    return vo::DataFiles{exists, exists, exists};
}

const char* const kWeapons = R"(
availableWeapons
{
    grenade { num -1 icon { texture grenade.png srcFrame { left 0 top 0 right 64 bottom 64 } } }
    cluster { num 2 icon { texture cluster.png } }
}
grenade { maxVelocity 20 body small timed false groundTriggered true slobTriggered true }
cluster { maxVelocity 20 body small timed false groundTriggered true slobTriggered true
          cluster { type bomblet num 4 } }
bomblet { maxVelocity 10 body small timed false groundTriggered true slobTriggered true explosionType normal }
mine { maxVelocity 1 body small timed false groundTriggered false slobTriggered true }
small { radius 0.3 numBoundaryPoints 6 texture body.png }
explosionTypes { normal { radius 4 soundFile boom.wav } small { radius 2 } }
)";

std::string Replace(std::string text, std::string const& from, std::string const& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

vo::DataDefects Weapons(std::string const& text, bool mines = true, bool cpu = true) {
    return vo::WeaponsDefects(Info(text), mines, cpu, Files());
}

TEST(WeaponRules, ASoundTreeHasNoDefects) { EXPECT_THAT(Weapons(kWeapons), IsEmpty()); }

TEST(WeaponRules, EachBrokenTreeNamesItsKey) {
    struct Case {
        std::string from, to;
        const char* line;
    };
    const Case cases[] = {
        {"num 4", "num 65", "weapons.info: cluster.cluster.num: more than 64 clusters"},
        {"num 4", "num -1", "weapons.info: cluster.cluster.num: must not be negative"},
        {"maxVelocity 10", "maxVelocity 0", "weapons.info: bomblet.maxVelocity: must be above 0"},
        {"maxVelocity 10 ", "", "weapons.info: bomblet.maxVelocity: missing (needed without a fixedVelocity above 0)"},
        {"bomblet { maxVelocity 10 body small timed false groundTriggered true slobTriggered true explosionType normal }",
         "bomblet { maxVelocity 10 clustersOnly true cluster { type grenade num 1 } }",
         "weapons.info: cluster.cluster.type: 'bomblet' is clustersOnly and makes no grenade"},
        {"numBoundaryPoints 6", "numBoundaryPoints 2", "weapons.info: small.numBoundaryPoints: is 2, it must lie in 3 .. 4096"},
        {"numBoundaryPoints 6", "numBoundaryPoints 6.5", "weapons.info: small.numBoundaryPoints: '6.5' is not a whole number"},
        {"texture body.png", "texture missing.png", "weapons.info: small.texture: no texture file 'missing.png'"},
        {" small { radius 2 }", "", "weapons.info: explosionTypes.small: missing (the explosion of a dying slob)"},
        {"radius 2 }", "radius 0 }", "weapons.info: explosionTypes.small.radius: must be above 0"},
        {"soundFile boom.wav", "soundFile missing.wav", "weapons.info: explosionTypes.normal.soundFile: no sound file 'missing.wav'"},
        {"explosionType normal", "explosionType tiny", "weapons.info: bomblet.explosionType: no explosion type 'tiny'"},
        {"timed false groundTriggered true slobTriggered true\n          cluster", "timed maybe groundTriggered true slobTriggered true\n          cluster",
         "weapons.info: cluster.timed: 'maybe' is not true or false"},
        {"mine { maxVelocity 1 body small timed false groundTriggered false slobTriggered true }", "",
         "weapons.info: mine: no weapon description (the match throws 'mine' by name)"},
        {"icon { texture cluster.png }", "", "weapons.info: availableWeapons.cluster.icon: missing"},
        {"srcFrame { left 0 top 0 right 64 bottom 64 }", "srcFrame { left 0 top 0 }",
         "weapons.info: availableWeapons.grenade.icon.srcFrame: Can't read frame. Neither 'right' nor 'width' specified"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_THAT(Weapons(Replace(kWeapons, c.from, c.to)), ElementsAre(c.line));
    }
}

TEST(WeaponRules, MineAndGrenadeAreNeededOnlyWhenTheMatchThrowsThem) {
    std::string const without = Replace(Replace(kWeapons, "mine { maxVelocity 1 body small timed false groundTriggered false slobTriggered true }", ""),
                                        "    grenade { num -1 icon { texture grenade.png srcFrame { left 0 top 0 right 64 bottom 64 } } }\n", "");
    std::string const no_grenade = Replace(without, "grenade { maxVelocity 20 body small timed false groundTriggered true slobTriggered true }", "");
    EXPECT_THAT(Weapons(no_grenade, false, false), IsEmpty());
    EXPECT_THAT(Weapons(no_grenade, true, true),
                ElementsAre("weapons.info: mine: no weapon description (the match throws 'mine' by name)",
                            "weapons.info: grenade: no weapon description (the match throws 'grenade' by name)"));
}

TEST(WeaponRules, AWeaponClusteringItselfIsACycle) {
    EXPECT_THAT(Weapons(Replace(kWeapons, "type bomblet num 4", "type cluster num 4")),
                ElementsAre("weapons.info: cluster.cluster.type: cluster types form a cycle: cluster -> cluster"));
    // Through another weapon.
    EXPECT_THAT(Weapons(Replace(kWeapons, "explosionType normal }", "explosionType normal cluster { type cluster num 2 } }")),
                ElementsAre("weapons.info: bomblet.cluster.type: cluster types form a cycle: bomblet -> cluster -> bomblet"));
}

const char* const kItems = R"(
frequency 0.5
maxInitialThrows 2
items
{
    health { relativeFrequency 3 name Health image { texture health.png } addHealth 25 addRotateWorld 1 addWeapon grenade }
}
)";

TEST(ItemRules, EachBrokenItemNamesItsKey) {
    ptree const weapons = Info(kWeapons);
    EXPECT_THAT(vo::ItemsDefects(Info(kItems), weapons, Files()), IsEmpty());
    struct Case {
        std::string from, to;
        const char* line;
    };
    const Case cases[] = {
        {"addHealth 25", "addHealth lots", "items.info: items.health.addHealth: 'lots' is not a number"},
        {"addRotateWorld 1", "addRotateWorld 1.5", "items.info: items.health.addRotateWorld: '1.5' is not a whole number"},
        {"addWeapon grenade", "addWeapon bomblet", "items.info: items.health.addWeapon: names no available weapon 'bomblet'"},
        {"relativeFrequency 3", "relativeFrequency -1", "items.info: items.health.relativeFrequency: must not be negative"},
        {"name Health ", "", "items.info: items.health.name: missing"},
        {"image { texture health.png }", "image { texture missing.png }", "items.info: items.health.image.texture: no texture file 'missing.png'"},
        {"maxInitialThrows 2", "maxInitialThrows 25", "items.info: maxInitialThrows: must lie in 0..20"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_THAT(vo::ItemsDefects(Info(Replace(kItems, c.from, c.to)), weapons, Files()), ElementsAre(c.line));
    }
    // Items that can never be drawn are not looked at.
    EXPECT_THAT(vo::ItemsDefects(Info(Replace(Replace(kItems, "frequency 0.5", "frequency 0"), "addHealth 25", "addHealth lots")),
                                 weapons, Files()),
                IsEmpty());
}

TEST(GameConfigRules, TheNamedFilesIncludeTheReadersDefaults) {
    vo::DataFiles files = Files();
    std::set<std::string> const absent = {"tmp_lvl_tex.png", "layer.png"};
    files.texture = [absent](std::string const& name) { return !absent.count(name) && name.rfind("missing", 0) != 0; };
    ptree const config = Info(R"(
roundTimerFont missing.info
area { blendTexture1 a.png blendTexture2 b.png diffuseTexture1 c.png diffuseTexture2 d.png
       lavaTexture e.png lavaBorderTexture f.png }
parallaxLayers { layer { texture sky.png } other { texture x.png } layer { texture layer.png } layer { } }
)");
    EXPECT_THAT(vo::GameConfigDefects(config, files),
                ElementsAre("game_config.info: roundTimerFont: no font file 'missing.info'",
                            "game_config.info: area.lavaFlowTexture: no texture file 'tmp_lvl_tex.png'",
                            "game_config.info: parallaxLayers.layer[1].texture: no texture file 'layer.png'",
                            "game_config.info: parallaxLayers.layer[2].texture: names no texture"));
}

// The shipped configuration files, each changed by replacing text, as the
// game reads them, with the shipped folders' files.
class ShippedData {
public:
    ShippedData() {
        for (const char* file : {"weapons.info", "items.info", "game_config.info"}) texts_[file] = vo_test::ShippedConfig(file);
    }

    // Replaces every place of from in file by to; false when there is none.
    bool edit(std::string const& file, std::string const& from, std::string const& to) {
        std::string& text = texts_.at(file);
        std::size_t at = text.find(from);
        if (at == std::string::npos) return false;
        for (; at != std::string::npos; at = text.find(from, at + to.size())) text.replace(at, from.size(), to);
        return true;
    }

    // The defects of the three files, in the order the game loads them.
    vo::DataDefects defects() const {
        auto in = [](const char* folder) {
            return [folder](std::string const& name) {
                return !name.empty() &&
                       std::filesystem::is_regular_file(std::string(QV_GAME_DATA_DIR) + "/" + folder + "/" + name);
            };
        };
        vo::DataFiles const files{in("textures"), in("sounds"), in("fonts")};
        ptree const weapons = Info(texts_.at("weapons.info"));
        vo::DataDefects all = vo::GameConfigDefects(Info(texts_.at("game_config.info")), files);
        for (vo::DataDefects const& more :
             {vo::WeaponsDefects(weapons, true, true, files), vo::ItemsDefects(Info(texts_.at("items.info")), weapons, files)})
            all.insert(all.end(), more.begin(), more.end());
        return all;
    }

private:
    std::map<std::string, std::string> texts_;
};

TEST(LoadRules, EachDemandOfTheGameOnItsDataIsRefusedWithItsLine) {
    EXPECT_THAT(ShippedData().defects(), IsEmpty());
    struct Edit {
        const char* file;
        std::string from, to;
    };
    struct Case {
        const char* what;
        std::vector<Edit> edits;
        const char* line;
    };
    const Case cases[] = {
        {"more boundary points than the circle builder makes",
         {{"weapons.info", "numBoundaryPoints 8\n    texture weapons/mine_body.png", "numBoundaryPoints 5000\n    texture weapons/mine_body.png"}},
         "weapons.info: mineBody.numBoundaryPoints: is 5000, it must lie in 3 .. 4096"},
        {"a radius the circle builder refuses",
         {{"weapons.info", "radius 0.3\n", "radius 1e20\n"}},
         "weapons.info: grenadeBody.radius: must be a finite number above 0"},
        {"an item body of radius 0", {{"items.info", "radius 0.6", "radius 0"}},
         "items.info: itemBody.radius: must be a finite number above 0"},
        {"a slob body of 2 points", {{"game_config.info", "numBoundaryPoints 12", "numBoundaryPoints 2"}},
         "game_config.info: slob.numBoundaryPoints: is 2, it must lie in 3 .. 4096"},
        {"a grenade the computer players cannot aim",
         {{"weapons.info", "grenade\n{\n    maxVelocity 45", "grenade\n{\n    fixedVelocity 45"}},
         "weapons.info: grenade.maxVelocity: missing (the computer players aim with it)"},
        {"a weapon name with a '.'",
         {{"weapons.info", "    timedGrenade\n", "    timed.grenade\n"},
          {"weapons.info", "\ntimedGrenade\n", "\ntimed.grenade\n"},
          {"items.info", "addWeapon timedGrenade\n", "addWeapon timed.grenade\n"}},
         "weapons.info: availableWeapons.timed.grenade: 'timed.grenade' holds a '.', but names are looked up as paths"},
        {"a body name with a '.'", {{"weapons.info", "bombletBody", "bomblet.body"}},
         "weapons.info: bomblet.body: 'bomblet.body' holds a '.', but names are looked up as paths"},
        {"a cluster type with a '.'",
         {{"weapons.info", "type bomblet", "type bomb.let"}, {"weapons.info", "\nbomblet\n", "\nbomb.let\n"}},
         "weapons.info: clusterBomb.cluster.type: 'bomb.let' holds a '.', but names are looked up as paths"},
        {"an empty cluster type", {{"weapons.info", "type bomblet", "type \"\""}},
         "weapons.info: clusterBomb.cluster.type: is empty, but names are looked up as paths"},
        {"an explosion type with a '.'", {{"weapons.info", "explosionType normal", "explosionType nor.mal"}},
         "weapons.info: grenade.explosionType: 'nor.mal' holds a '.', but names are looked up as paths"},
        {"an item key with a '.'", {{"items.info", "    health\n", "    health.pack\n"}},
         "items.info: items.health.pack: 'health.pack' holds a '.', but names are looked up as paths"},
        {"more cave holes than the generation makes", {{"game_config.info", "numCircles 28", "numCircles 20000"}},
         "game_config.info: randArea.numCircles: must be a number of at most 10000"},
        {"a parallax texture that is not there", {{"game_config.info", "parallax/cave_near.png", "parallax/gone.png"}},
         "game_config.info: parallaxLayers.layer[1].texture: no texture file 'parallax/gone.png'"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        ShippedData data;
        for (Edit const& e : c.edits) ASSERT_TRUE(data.edit(e.file, e.from, e.to)) << e.from;
        EXPECT_THAT(data.defects(), ElementsAre(c.line));
    }
}

// The body rules are the circle builder's own limits: a body passes them
// exactly when the builder builds it.
TEST(LoadRules, ABodyPassesExactlyWhenTheCircleBuilderTakesIt) {
    const char* const bodies[] = {"numBoundaryPoints 2", "numBoundaryPoints 3", "numBoundaryPoints 4096",
                                  "numBoundaryPoints 4097", "radius 0", "radius -1", "radius 0.001",
                                  "radius 1e19", "radius 1e20"};
    for (const char* body : bodies) {
        SCOPED_TRACE(body);
        ptree const items = Info(std::string("frequency 0.5\nitemBody { ") + body +
                                 " }\nitems { a { name A image { texture a.png } } }\n");
        vo::SoftBodyDesc desc;
        vo::InitSoftBodyDescNoTexture(desc, items, "itemBody.");
        bool built = true;
        try {
            vo::SoftBody soft_body;
            vo::CreateSoftBody_Circle(soft_body, desc);
        } catch (vo::Error const&) {
            built = false;
        }
        EXPECT_EQ(vo::ItemsDefects(items, ptree(), Files()).empty(), built);
    }
}

}  // namespace
