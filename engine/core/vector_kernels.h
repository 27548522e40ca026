#pragma once

namespace vo {

// Kernels over plain float arrays of length n. The output may be one of the
// inputs. Sums run in single precision, in index order.

// out[i] = a[i]
void CopyVector(float* out, float const* a, int n);
// sum of a[i] * b[i]
float DotProduct(float const* a, float const* b, int n);
// out[i] = x[i] * alpha + y[i]
void AddScaledVector(float* out, float const* y, float const* x, float alpha, int n);
// out[i] = a[i] - b[i]
void SubtractVectors(float* out, float const* a, float const* b, int n);
// out[i] = y[i] - x[i] * alpha
void SubtractScaledVector(float* out, float const* y, float const* x, float alpha, int n);

}  // namespace vo
