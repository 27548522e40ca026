#include "game/ai/ai_random.h"

#include "engine/core/random.h"

namespace vo {

int DrawRand() {
    const int r = Rand();
    return r == kRandMax ? kRandMax - 1 : r;
}

int RandomInt(int lo, int hi) {
    const double r = DrawRand();
    return lo + static_cast<int>(static_cast<double>(hi - lo) * r / static_cast<double>(kRandMax));
}

double RandomDouble(double lo, double hi) {
    const double r = DrawRand();
    return lo + (hi - lo) * r / static_cast<double>(kRandMax);
}

int RandomIndex(int count) {
    const double r = DrawRand();
    return static_cast<int>(r / static_cast<double>(kRandMax) * count);
}

}  // namespace vo
