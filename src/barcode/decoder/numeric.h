#pragma once

// Shared numeric routines of the decoder stages.

namespace barcode {

// Normalised Gaussian taps centred on the middle of `count` samples.
void compute_gaussian_kernel(int count, float *values, double sigma);

// destination[j] = sum_i kernel[i] * source[j - k/2 + i] for every j in
// [max(from, k/2), min(to, n - k/2)); samples outside keep their values.
void convolve_1d(int k, const float *kernel, int n, const float *source, float *destination, int from, int to);

// Order statistics of values[from, to): minimum, 5th, 50th, 95th percentile
// and maximum as elements 0, m/20, m/2, m*95/100 and m-1 of the sorted copy
// (m = to - from). Null outputs are skipped; an empty range writes nothing.
void median(int n, const float *values, int from, int to, float *minimum, float *p5, float *p50, float *p95,
            float *maximum);

// Comparators for qsort-style sorting.
int compare_ints(const void *a, const void *b);
int compare_bytes(const void *a, const void *b);
int compare_floats(const void *a, const void *b);

// values[from, to) = value, clipped to [0, n).
void fill_scanline(int n, float *values, int from, int to, float value);
// Adds the straight line through (x0, y0) and (x1, y1) to every sample.
void add_ramp(int n, float *values, int x0, float y0, int x1, float y1);

double point_distance(double x1, double y1, double x2, double y2);
// Distance from (px, py) to the infinite line through the two points.
double point_line_distance(double x1, double y1, double x2, double y2, double px, double py);

// Integer range helpers: every stage clips the sample ranges it touches.
inline int clip(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace barcode
