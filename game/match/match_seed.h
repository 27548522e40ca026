#pragma once

// The seed with which a match set-up restarts the shared random generator:
// the main menu's START and the population of every match draw their random
// choices (start team, slob and mine places, power-ups) after seeding with
// it. By default it is the engine's clock in milliseconds, so every match
// differs; tests and the soak of computer matches fix it, so that a run can
// be repeated exactly.

#include <cstdint>

namespace vo {

// The engine's clock in milliseconds, truncated and taken modulo 2^31, so
// that it stays a non-negative int however long the program runs. The main
// menu's level seeds and the match set-up seed both come from it.
int ClockSeed();

// ClockSeed, or the fixed seed while one is set.
int MatchSetUpSeed();

// From now on MatchSetUpSeed answers seed.
void SetMatchSeedOverride(int seed);
// Back to the engine's clock.
void ClearMatchSeedOverride();
bool HasMatchSeedOverride();

}  // namespace vo
