#include "engine/core/vector_kernels.h"

namespace vo {

void CopyVector(float* out, float const* a, int n) {
    for (int i = 0; i < n; ++i) out[i] = a[i];
}

float DotProduct(float const* a, float const* b, int n) {
    float sum = 0.0f;
    for (int i = 0; i < n; ++i) sum += a[i] * b[i];
    return sum;
}

void AddScaledVector(float* out, float const* y, float const* x, float alpha, int n) {
    for (int i = 0; i < n; ++i) out[i] = x[i] * alpha + y[i];
}

void SubtractVectors(float* out, float const* a, float const* b, int n) {
    for (int i = 0; i < n; ++i) out[i] = a[i] - b[i];
}

void SubtractScaledVector(float* out, float const* y, float const* x, float alpha, int n) {
    for (int i = 0; i < n; ++i) out[i] = y[i] - x[i] * alpha;
}

}  // namespace vo
