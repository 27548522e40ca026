#pragma once

// Draws of the shared generator in the forms the game's players use. A draw
// of the generator's maximum is taken as one below it, so that r / 32767.0
// stays below 1.

namespace vo {

// The next number of the shared generator, in 0 .. 32766.
int DrawRand();

// lo + trunc((hi - lo) * r / 32767.0), in double precision: lo .. hi - 1
// for hi > lo.
int RandomInt(int lo, int hi);
// lo + (hi - lo) * r / 32767.0, in [lo, hi).
double RandomDouble(double lo, double hi);
// trunc(r / 32767.0 * count): an index below count (0 when count is 0).
int RandomIndex(int count);

}  // namespace vo
