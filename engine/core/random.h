#pragma once

namespace vo {

// The process-wide random generator of the engine and the game.
//
// Every draw in the engine and in the game comes from this one sequence, so the
// order of draws is part of the behaviour: the same seed and the same calls give
// the same results on every platform. Results lie in 0 .. kRandMax (15 bits),
// the range the formulas built on it (r / 32767.0 and friends) assume; the C
// library's rand() on this platform goes up to 2^31 - 1 and must not be used.
//
// Not synchronised beyond single draws being atomic: draws from several
// threads interleave in no fixed order. The simulation uses one thread.

constexpr int kRandMax = 32767;

// Next number of the sequence, in 0 .. kRandMax.
int Rand();

// Restarts the sequence. A process starts as if seeded with 1.
void SeedRand(unsigned int seed);

}  // namespace vo
