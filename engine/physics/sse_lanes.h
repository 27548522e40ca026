#pragma once

// Four float lanes filled from scalars, for the physics code that works out
// four independent results at once with the operations of its scalar form.

#if defined(__SSE2__)
#include <emmintrin.h>

namespace vo {

// Lane j (0 to 3) holds value(j).
template <class F>
inline __m128 Lanes(F value) {
    return _mm_set_ps(value(3), value(2), value(1), value(0));
}

}  // namespace vo
#endif
