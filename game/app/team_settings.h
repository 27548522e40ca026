#pragma once

// The four team slots of the main menu, kept between runs in an INFO file in
// the user folder.

#include "game/app/characters.h"

#include <string>
#include <vector>

namespace vo {

// Exactly four team records from the file of that name in the user folder
// (path id 8). A missing file gives the default set-up: "Player 1"
// (character 2), "CPU 1" (character 3, CPU), "CPU 2" (character 4, CPU) and
// "Player 4" (no character). A file that cannot be read or parsed, breaks
// the INFO file limits (info_file.h) or holds nothing at all, is renamed to <name>.bad with a warning and the
// default set-up is used. Owner, points, index and member names are always
// rebuilt.
std::vector<TeamDesc> ReadTeamDescs(std::string file_name);

// Writes one "team" group per record (teamName, characterName,
// cpuControlled). The old file is replaced only once the new one is
// completely written; a failed write throws the INFO writer's error and
// keeps the old file.
void WriteTeamDescs(std::vector<TeamDesc> const& teams, std::string file_name);

}  // namespace vo
