// The load rules of weapons.info, items.info and game_config.info: on small
// trees, each broken tree gives its one line, a refusal or a warning, a
// sound tree none; on changed copies of the shipped files, every demand the
// game makes of them later, and what the game's readers handle themselves.

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

vo::DataFindings Weapons(std::string const& text, bool mines = true, bool cpu = true) {
    return vo::WeaponsFindings(Info(text), mines, cpu, Files());
}

// The one line, or none for a null line.
std::vector<std::string> Lines(const char* line) {
    return line ? std::vector<std::string>{line} : std::vector<std::string>();
}

// A tree changed by replacing text, with the refusal and the warning it
// gives (null: none).
struct TreeCase {
    std::string from, to;
    const char* defect;
    const char* warning;
};

void ExpectFindings(vo::DataFindings const& found, TreeCase const& c) {
    EXPECT_EQ(found.defects, Lines(c.defect));
    EXPECT_EQ(found.warnings, Lines(c.warning));
}

TEST(WeaponRules, ASoundTreeHasNoFindings) {
    vo::DataFindings const found = Weapons(kWeapons);
    EXPECT_THAT(found.defects, IsEmpty());
    EXPECT_THAT(found.warnings, IsEmpty());
}

TEST(WeaponRules, EachFindingNamesItsKey) {
    const TreeCase cases[] = {
        {"num 4", "num 65", "weapons.info: cluster.cluster.num: more than 64 clusters", nullptr},
        {"maxVelocity 10", "maxVelocity 0", "weapons.info: bomblet.maxVelocity: must be above 0", nullptr},
        {"maxVelocity 10", "maxVelocity fast", "weapons.info: bomblet.maxVelocity: 'fast' is not a number", nullptr},
        {"maxVelocity 10 ", "", "weapons.info: bomblet.maxVelocity: missing (needed without a fixedVelocity above 0)",
         nullptr},
        {"bomblet { maxVelocity 10 body small timed false groundTriggered true slobTriggered true explosionType normal }",
         "bomblet { maxVelocity 10 clustersOnly true cluster { type grenade num 1 } }",
         "weapons.info: cluster.cluster.type: 'bomblet' is clustersOnly and makes no grenade", nullptr},
        {"numBoundaryPoints 6", "numBoundaryPoints 2", "weapons.info: small.numBoundaryPoints: is 2, it must lie in 3 .. 4096",
         nullptr},
        {"texture body.png", "texture missing.png", "weapons.info: small.texture: no texture file 'missing.png'", nullptr},
        {" small { radius 2 }", "", "weapons.info: explosionTypes.small: missing (the explosion of a dying slob)", nullptr},
        {"radius 2 }", "radius 0 }", "weapons.info: explosionTypes.small.radius: must be above 0", nullptr},
        {"soundFile boom.wav", "soundFile missing.wav",
         "weapons.info: explosionTypes.normal.soundFile: no sound file 'missing.wav'", nullptr},
        {"timed false groundTriggered true slobTriggered true\n          cluster",
         "timed maybe groundTriggered true slobTriggered true\n          cluster",
         "weapons.info: cluster.timed: 'maybe' is not true or false", nullptr},
        {"mine { maxVelocity 1 body small timed false groundTriggered false slobTriggered true }", "",
         "weapons.info: mine: no weapon description (the match throws 'mine' by name)", nullptr},
        {"icon { texture cluster.png }", "", "weapons.info: availableWeapons.cluster.icon: missing", nullptr},
        {"srcFrame { left 0 top 0 right 64 bottom 64 }", "srcFrame { left 0 top 0 }",
         "weapons.info: availableWeapons.grenade.icon.srcFrame: Can't read frame. Neither 'right' nor 'width' specified",
         nullptr},
        // What the readers replace by their default.
        {"numBoundaryPoints 6", "numBoundaryPoints 6.5", nullptr,
         "weapons.info: small.numBoundaryPoints: '6.5' is not a whole number, 12 used"},
        {"radius 0.3", "radius wide", nullptr, "weapons.info: small.radius: 'wide' is not a number, 1 used"},
        {"texture body.png", "texture body.png stickyParticles maybe", nullptr,
         "weapons.info: small.stickyParticles: 'maybe' is not true or false, false used"},
        {"num 4", "num four", nullptr, "weapons.info: cluster.cluster.num: 'four' is not a whole number, 0 used"},
        {"num 2 icon", "num two icon", nullptr,
         "weapons.info: availableWeapons.cluster.num: 'two' is not a whole number, -1 used"},
        {"radius 4", "radius big", nullptr, "weapons.info: explosionTypes.normal.radius: 'big' is not a number, 1 used"},
        {"explosionType normal", "explosionType tiny", nullptr,
         "weapons.info: bomblet.explosionType: no explosion type 'tiny', a silent explosion of radius 1, damage 10 and "
         "force 1000 used"},
        // What the readers take as it stands: no clusters, unlimited throws,
        // a mass of 1e-6.
        {"num 4", "num -1", nullptr, nullptr},
        {"num 2 icon", "num -5 icon", nullptr, nullptr},
        {"radius 0.3", "radius 0.3 mass 0", nullptr, nullptr},
    };
    for (TreeCase const& c : cases) {
        SCOPED_TRACE(c.to);
        ExpectFindings(Weapons(Replace(kWeapons, c.from, c.to)), c);
    }
}

TEST(WeaponRules, MineAndGrenadeAreNeededOnlyWhenTheMatchThrowsThem) {
    std::string const without = Replace(Replace(kWeapons, "mine { maxVelocity 1 body small timed false groundTriggered false slobTriggered true }", ""),
                                        "    grenade { num -1 icon { texture grenade.png srcFrame { left 0 top 0 right 64 bottom 64 } } }\n", "");
    std::string const no_grenade = Replace(without, "grenade { maxVelocity 20 body small timed false groundTriggered true slobTriggered true }", "");
    EXPECT_THAT(Weapons(no_grenade, false, false).defects, IsEmpty());
    EXPECT_THAT(Weapons(no_grenade, true, true).defects,
                ElementsAre("weapons.info: mine: no weapon description (the match throws 'mine' by name)",
                            "weapons.info: grenade: no weapon description (the match throws 'grenade' by name)"));
}

TEST(WeaponRules, AWeaponClusteringItselfIsACycle) {
    EXPECT_THAT(Weapons(Replace(kWeapons, "type bomblet num 4", "type cluster num 4")).defects,
                ElementsAre("weapons.info: cluster.cluster.type: cluster types form a cycle: cluster -> cluster"));
    // Through another weapon.
    EXPECT_THAT(Weapons(Replace(kWeapons, "explosionType normal }", "explosionType normal cluster { type cluster num 2 } }"))
                    .defects,
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

TEST(ItemRules, EachFindingNamesItsKey) {
    ptree const weapons = Info(kWeapons);
    auto items = [&weapons](std::string const& text) { return vo::ItemsFindings(Info(text), weapons, Files()); };
    const TreeCase cases[] = {
        {"", "", nullptr, nullptr},  // the tree as it is
        {"addHealth 25", "addHealth lots", "items.info: items.health.addHealth: 'lots' is not a number", nullptr},
        {"addRotateWorld 1", "addRotateWorld 1.5", "items.info: items.health.addRotateWorld: '1.5' is not a whole number",
         nullptr},
        {"addWeapon grenade", "addWeapon bomblet", "items.info: items.health.addWeapon: names no available weapon 'bomblet'",
         nullptr},
        {"relativeFrequency 3", "relativeFrequency -1", "items.info: items.health.relativeFrequency: must not be negative",
         nullptr},
        {"name Health ", "", "items.info: items.health.name: missing", nullptr},
        {"image { texture health.png }", "image { texture missing.png }",
         "items.info: items.health.image.texture: no texture file 'missing.png'", nullptr},
        {"maxInitialThrows 2", "maxInitialThrows 25", "items.info: maxInitialThrows: more than 20 draws", nullptr},
        {"maxInitialThrows 2", "maxInitialThrows -3", nullptr, nullptr},  // draws nothing
        // What the readers replace by their default.
        {"maxInitialThrows 2", "maxInitialThrows two", nullptr,
         "items.info: maxInitialThrows: 'two' is not a whole number, 1 used"},
        {"relativeFrequency 3", "relativeFrequency high", nullptr,
         "items.info: items.health.relativeFrequency: 'high' is not a number, 0 used"},
        // Items that can never be drawn are not looked at further.
        {"frequency 0.5", "frequency often", nullptr, "items.info: frequency: 'often' is not a number, 0 used"},
        {"frequency 0.5\nmaxInitialThrows 2", "frequency 0\nmaxInitialThrows 25", nullptr, nullptr},
    };
    for (TreeCase const& c : cases) {
        SCOPED_TRACE(c.to);
        ExpectFindings(items(Replace(kItems, c.from, c.to)), c);
    }
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
    EXPECT_THAT(vo::GameConfigFindings(config, files, false).defects,
                ElementsAre("game_config.info: roundTimerFont: no font file 'missing.info'",
                            "game_config.info: area.lavaFlowTexture: no texture file 'tmp_lvl_tex.png'",
                            "game_config.info: parallaxLayers.layer[1].texture: no texture file 'layer.png'",
                            "game_config.info: parallaxLayers.layer[2].texture: names no texture"));
}

// Slobs draw with their character's texture, with the slob body's only for a
// character that has none.
TEST(GameConfigRules, TheSlobTextureIsNeededOnlyWhenACharacterHasNone) {
    ptree const config = Info("roundTimerFont timer.info\nslob { texture missing.png }\n");
    EXPECT_THAT(vo::GameConfigFindings(config, Files(), false).defects, IsEmpty());
    EXPECT_THAT(vo::GameConfigFindings(config, Files(), true).defects,
                ElementsAre("game_config.info: slob.texture: no texture file 'missing.png'"));
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

    // The findings of the three files, in the order the game loads them.
    vo::DataFindings findings(bool slob_texture_drawn = false) const {
        auto in = [](const char* folder) {
            return [folder](std::string const& name) {
                return !name.empty() &&
                       std::filesystem::is_regular_file(std::string(QV_GAME_DATA_DIR) + "/" + folder + "/" + name);
            };
        };
        vo::DataFiles const files{in("textures"), in("sounds"), in("fonts")};
        ptree const weapons = Info(texts_.at("weapons.info"));
        vo::DataFindings all = vo::GameConfigFindings(Info(texts_.at("game_config.info")), files, slob_texture_drawn);
        all.append(vo::WeaponsFindings(weapons, true, true, files));
        all.append(vo::ItemsFindings(Info(texts_.at("items.info")), weapons, files));
        return all;
    }

private:
    std::map<std::string, std::string> texts_;
};

struct Edit {
    const char* file;
    std::string from, to;
};

// The shipped files with edits (each must find its text) and a line they
// give (null: none).
struct ShippedCase {
    const char* what;
    std::vector<Edit> edits;
    const char* line;
};

ShippedData Edited(std::vector<Edit> const& edits) {
    ShippedData data;
    for (Edit const& e : edits) EXPECT_TRUE(data.edit(e.file, e.from, e.to)) << e.from;
    return data;
}

TEST(LoadRules, EachDemandOfTheGameOnItsDataIsRefusedWithItsLine) {
    vo::DataFindings const shipped = ShippedData().findings(true);
    EXPECT_THAT(shipped.defects, IsEmpty());
    EXPECT_THAT(shipped.warnings, IsEmpty());
    const ShippedCase cases[] = {
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
    for (ShippedCase const& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_THAT(Edited(c.edits).findings().defects, ElementsAre(c.line));
    }
    // A slob texture that is not there, when a character draws with it.
    EXPECT_THAT(Edited({{"game_config.info", "texture tarvessa_ball.png", "texture gone.png"}}).findings(true).defects,
                ElementsAre("game_config.info: slob.texture: no texture file 'gone.png'"));
}

// What the game's readers handle themselves passes, with a warning where it
// likely hides a typo.
TEST(LoadRules, WhatTheReadersHandleThemselvesPasses) {
    const ShippedCase cases[] = {
        {"a thrown body of mass 0", {{"weapons.info", "mass 0.5", "mass 0"}}, nullptr},
        {"an item body of negative mass", {{"items.info", "mass 0.4", "mass -1"}}, nullptr},
        {"a slob body of mass 1e-7", {{"game_config.info", "    mass 1\n", "    mass 1e-7\n"}}, nullptr},
        {"a slob texture that is not there, no character drawing with it",
         {{"game_config.info", "texture tarvessa_ball.png", "texture gone.png"}}, nullptr},
        {"a negative cluster num of a bomb", {{"weapons.info", "num 5", "num -3"}}, nullptr},
        {"a weapon count below -1", {{"weapons.info", "num -1", "num -7"}}, nullptr},
        {"a body number that does not read", {{"weapons.info", "numBoundaryPoints 6", "numBoundaryPoints six"}},
         "weapons.info: bombletBody.numBoundaryPoints: 'six' is not a whole number, 12 used"},
        {"a slob number that does not read", {{"game_config.info", "friction 0.25", "friction low"}},
         "game_config.info: slob.friction: 'low' is not a number, 0.25 used"},
        {"no explosion type 'normal'", {{"weapons.info", "\n    normal\n", "\n    plain\n"}},
         "weapons.info: grenade.explosionType: no explosion type 'normal', a silent explosion of radius 1, damage 10 "
         "and force 1000 used"},
        {"a cluster num that does not read", {{"weapons.info", "num 5", "num five"}},
         "weapons.info: clusterBomb.cluster.num: 'five' is not a whole number, 0 used"},
        {"an item frequency that does not read", {{"items.info", "frequency 0.4", "frequency often"}},
         "items.info: frequency: 'often' is not a number, 0 used"},
    };
    for (ShippedCase const& c : cases) {
        SCOPED_TRACE(c.what);
        vo::DataFindings const found = Edited(c.edits).findings();
        EXPECT_THAT(found.defects, IsEmpty());
        EXPECT_EQ(found.warnings, Lines(c.line));
    }
}

// The body rules are the circle builder's own limits: a body passes them
// exactly when the builder builds it.
TEST(LoadRules, ABodyPassesExactlyWhenTheCircleBuilderTakesIt) {
    const char* const bodies[] = {"numBoundaryPoints 2", "numBoundaryPoints 3", "numBoundaryPoints 4096",
                                  "numBoundaryPoints 4097", "numBoundaryPoints 2.5", "radius 0", "radius -1",
                                  "radius 0.001", "radius 1e19", "radius 1e20", "radius wide", "mass 0",
                                  "mass -1", "mass 1e-7"};
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
        EXPECT_EQ(vo::ItemsFindings(items, ptree(), Files()).defects.empty(), built);
    }
}

}  // namespace
