#include "numeric.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace barcode {

void compute_gaussian_kernel(int count, float *values, double sigma)
{
    if (count <= 0)
        return;
    const double centre = (count - 1) / 2;
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        const double d = (i - centre) / sigma;
        values[i] = static_cast<float>(std::exp(-0.5 * d * d));
        sum += values[i];
    }
    for (int i = 0; i < count; ++i)
        values[i] = static_cast<float>(values[i] / sum);
}

namespace {

// Kernels up to this long (the decoder's are at most 51 taps) have their
// samples widened once per block.
constexpr int MAX_WIDENED_TAPS = 64;

// Outputs [j0, j0 + B) of the convolution, tap-major so that the inner loop
// runs over consecutive samples and the sums stay in registers. Every
// output sums its taps in the order 0..k-1, in double, starting from zero.
template<int B> inline void convolve_block(int k, const float *kernel, const float *s, float *destination)
{
    double acc[B] = {};
    if (k <= MAX_WIDENED_TAPS) {
        // The samples widened to double once, not once per tap.
        double wide[B + MAX_WIDENED_TAPS - 1];
        for (int i = 0; i < B + k - 1; ++i)
            wide[i] = s[i];
        for (int i = 0; i < k; ++i) {
            const double w = kernel[i];
            for (int j = 0; j < B; ++j)
                acc[j] += w * wide[i + j];
        }
    } else {
        for (int i = 0; i < k; ++i) {
            const double w = kernel[i];
            for (int j = 0; j < B; ++j)
                acc[j] += w * s[i + j];
        }
    }
    for (int j = 0; j < B; ++j)
        destination[j] = static_cast<float>(acc[j]);
}

} // namespace

// The hottest loop of the decoder (every candidate digit is blurred):
// vectorised, in wider registers where the processor has them. The sums
// are the same in every variant.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
__attribute__((target_clones("avx2", "default"), optimize("O3")))
#endif
void convolve_1d(int k, const float *kernel, int n, const float *source, float *destination,
                 int from, int to)
{
    const int half = k / 2;
    const int lo = std::max(from, half);
    const int hi = std::min(to, n - half);
    if (lo >= hi || k <= 0)
        return;
    // Whole blocks; the last block ends at hi and may overlap the one
    // before it, which only writes the same values again (each output's
    // sum depends on nothing but its own samples).
    const auto blocks = [&]<int B>() {
        for (int j = lo;; j += B) {
            const int j0 = std::min(j, hi - B);
            convolve_block<B>(k, kernel, source + j0 - half, destination + j0);
            if (j0 + B >= hi)
                return;
        }
    };
    const int m = hi - lo;
    if (m >= 32) {
        blocks.template operator()<32>();
    } else if (m >= 8) {
        blocks.template operator()<8>();
    } else {
        double acc[8] = {};
        const float *s = source + lo - half;
        for (int i = 0; i < k; ++i) {
            const double w = kernel[i];
            for (int j = 0; j < m; ++j)
                acc[j] += w * s[i + j];
        }
        for (int j = 0; j < m; ++j)
            destination[lo + j] = static_cast<float>(acc[j]);
    }
}

void median(int n, const float *values, int from, int to, float *minimum, float *p5, float *p50, float *p95,
            float *maximum)
{
    from = clip(from, 0, n);
    to = clip(to, 0, n);
    const int m = to - from;
    if (m <= 0)
        return;
    // Each requested element is selected in ascending order within what is
    // left right of the previous one: the same elements as a full sort.
    thread_local std::vector<float> sorted;
    sorted.assign(values + from, values + to);
    const int index[5] = { 0, m / 20, m / 2, m * 95 / 100, m - 1 };
    float *out[5] = { minimum, p5, p50, p95, maximum };
    auto begin = sorted.begin();
    for (int i = 0; i < 5; ++i) {
        if (!out[i])
            continue;
        const auto nth = sorted.begin() + index[i];
        std::nth_element(begin, nth, sorted.end());
        *out[i] = *nth;
        begin = nth;
    }
}

int compare_ints(const void *a, const void *b)
{
    // Subtraction is enough: the values compared here (pixel columns, rows
    // and grey levels) cannot overflow it.
    return *static_cast<const int *>(a) - *static_cast<const int *>(b);
}

int compare_bytes(const void *a, const void *b)
{
    return int(*static_cast<const unsigned char *>(a)) - int(*static_cast<const unsigned char *>(b));
}

int compare_floats(const void *a, const void *b)
{
    const float x = *static_cast<const float *>(a);
    const float y = *static_cast<const float *>(b);
    return x > y ? 1 : (x < y ? -1 : 0);
}

void fill_scanline(int n, float *values, int from, int to, float value)
{
    for (int i = clip(from, 0, n), e = clip(to, 0, n); i < e; ++i)
        values[i] = value;
}

void add_ramp(int n, float *values, int x0, float y0, int x1, float y1)
{
    if (x1 == x0)
        return;
    const float slope = (y1 - y0) / float(x1 - x0);
    for (int i = 0; i < n; ++i)
        values[i] += y0 + slope * float(i - x0);
}

double point_distance(double x1, double y1, double x2, double y2)
{
    return std::hypot(x2 - x1, y2 - y1);
}

double point_line_distance(double x1, double y1, double x2, double y2, double px, double py)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double len2 = dx * dx + dy * dy;
    if (len2 == 0)
        return point_distance(x1, y1, px, py);
    const double t = ((px - x1) * dx + (py - y1) * dy) / len2;
    return point_distance(x1 + t * dx, y1 + t * dy, px, py);
}

} // namespace barcode
