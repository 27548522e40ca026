#pragma once

// The load rules of the match's data files. Each function looks at a whole
// file's tree and tells, one line per finding ("<file>: <key>: <what>"), what
// the game cannot run with (defects: the file is refused at load, before
// anything uses it, with every problem named at once) and what the game's
// readers replace by a default, which is accepted but likely a typo
// (warnings, each ending in ", <default> used"). The data checker runs the
// same functions over the shipped data.

#include <boost/property_tree/ptree_fwd.hpp>

#include <functional>
#include <string>
#include <vector>

namespace vo {

struct DataFindings {
    std::vector<std::string> defects;
    std::vector<std::string> warnings;

    void append(DataFindings const& more);
};

// Whether a named file exists: a texture relative to the textures folder, a
// sound relative to the sounds folder, a font relative to the fonts folder.
struct DataFiles {
    std::function<bool(std::string const&)> texture;
    std::function<bool(std::string const&)> sound;
    std::function<bool(std::string const&)> font;
};

// The folders registered with the path provider (ids 4, 11 and 3).
DataFiles InstalledDataFiles();

// Largest number of clusters one grenade may release.
constexpr int kMaxClusters = 64;

// Defects: what the game demands of the data later, with the key at fault:
// a key the game reads without a default, missing or not reading as its
// type; a name the game looks up as a path ('.' separating its parts, so a
// name must be neither empty nor hold a '.'); a soft body that the circle
// builder refuses (CreateSoftBody_Circle's own limits: 3 ..
// kMaxCircleBoundaryPoints boundary points, a finite radius above 0); a file
// that does not exist; a value the game would use as it stands and go wrong
// with (named with each function).
//
// Warnings: a value with a default (a soft body's keys among them) that
// does not read as its type, and an explosion type that names none (the
// explosion then has every default). Values the readers handle themselves
// and that are no likely typo pass silently: a body's mass of 1e-6 or less
// (stored as 1e-6), a weapon's negative "num" (unlimited), a cluster "num"
// of 0 or less on a weapon that is not clustersOnly (no clusters).

// "weapons.info". mines_laid: the match lays mines (numMines > 0), so
// "mine" must be throwable; cpu_plays: a computer team may play, so
// "grenade" must be, with a maxVelocity above 0 (the computer players aim
// with it even when a fixedVelocity is given). Checked: the available
// weapons (each with a name, an icon on an existing texture and a
// description; "defaultWeapon" is no weapon and must name a listed one);
// every weapon that can be thrown, transitively through cluster types
// (required keys, a speed above 0, never fixedVelocity 0, a body that the
// circle builder takes and with an existing texture, an explosion type);
// cluster descriptions (num up to kMaxClusters, a type that can be thrown
// and is not clustersOnly, no cycles, clusters for a clustersOnly weapon);
// the explosion types (small present, radius above 0, peakDelay not
// negative, volume 0..100, existing sounds); a mine that the ground would
// set off.
DataFindings WeaponsFindings(boost::property_tree::ptree const& weapons, bool mines_laid, bool cpu_plays,
                             DataFiles const& files);

// "items.info", with the weapons of "weapons.info" that addWeapon may name.
// When items can be drawn (frequency above 0): the items exist, each under
// a key that is a name, with a "name", an image on an existing texture, a
// weight of 0 or more and effects of the right types; addWeapon names an
// available weapon. The draw counts are at most 20 and the circle builder
// takes the item body.
DataFindings ItemsFindings(boost::property_tree::ptree const& items, boost::property_tree::ptree const& weapons,
                           DataFiles const& files);

// "game_config.info": the files it names (the round-timer font, the area
// textures and the parallax layers' textures, defaults included, since the
// reader falls back to them), the slobs' body, which the circle builder
// must take, and the counts of holes, lava fields and spots that the level
// generation takes. Slobs draw with their character's texture;
// slob_texture_drawn: a character has none (an empty texture name), so its
// slobs draw with the slob body's texture, which must then exist. The
// values the match clamps when it reads them are not defects here.
DataFindings GameConfigFindings(boost::property_tree::ptree const& game_config, DataFiles const& files,
                                bool slob_texture_drawn);

// Prints every warning as a line "WARNING: <warning>" on standard output,
// then throws Error listing every defect, one per line, when there are any.
void WarnAndRefuse(DataFindings const& findings);

// The names of the available weapons in file order ("defaultWeapon" left out).
std::vector<std::string> AvailableWeaponNames(boost::property_tree::ptree const& weapons);

}  // namespace vo
