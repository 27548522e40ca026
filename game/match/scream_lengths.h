#pragma once

// How long a character's screams last, in the order LoadScreams gives them,
// read from the sound files themselves. The match decides whether a slob is
// still screaming from these lengths and its own clock.

#include <string>
#include <vector>

namespace vo {

struct CharacterDesc;

// The playing time of a PCM WAV file in seconds; 0 when the file cannot be
// read or is no PCM WAV.
double WavSeconds(std::string const& path);

// The lengths of the character's screams (each "file" under "screams" of
// its voice file), read once per voice file and kept.
std::vector<double> const& ScreamLengths(CharacterDesc const& character);

}  // namespace vo
