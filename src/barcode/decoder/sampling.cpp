#include "sampling.h"
#include "numeric.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace barcode {

namespace {

// std::floor without a library call on processors without a rounding
// instruction; the coordinates stay far inside the int range.
inline double floor_of(double v)
{
    v = std::clamp(v, -1e9, 1e9);
    const double t = double(static_cast<long long>(v));
    return t > v ? t - 1 : t;
}

} // namespace

void sample_line_subpixel(const cv::Mat &image, int samples, float *output, double x0, double y0, double x1, double y1)
{
    const int w = image.cols, h = image.rows;
    if (samples <= 0 || w <= 0 || h <= 0)
        return;
    // Outside the image the last cell read is reused; before any, the pixel
    // nearest the start point.
    const int sx = clip(int(std::lrint(std::clamp(x0, -1e6, 1e6))), 0, w - 1);
    const int sy = clip(int(std::lrint(std::clamp(y0, -1e6, 1e6))), 0, h - 1);
    double p00, p10, p01, p11;
    p00 = p10 = p01 = p11 = image.ptr<uchar>(sy)[sx];
    int cell_x = -1, cell_y = -1;
    for (int k = 0; k < samples; ++k) {
        const double t = samples > 1 ? double(k) / (samples - 1) : 0.0;
        const double x = x0 + (x1 - x0) * t;
        const double y = y0 + (y1 - y0) * t;
        const double fx = floor_of(x), fy = floor_of(y);
        if (fx >= 0 && fy >= 0 && fx <= w - 2 && fy <= h - 2 && (fx != cell_x || fy != cell_y)) {
            cell_x = int(fx);
            cell_y = int(fy);
            const uchar *r0 = image.ptr<uchar>(cell_y) + cell_x;
            const uchar *r1 = image.ptr<uchar>(cell_y + 1) + cell_x;
            p00 = r0[0];
            p10 = r0[1];
            p01 = r1[0];
            p11 = r1[1];
        }
        const double ax = x - fx, ay = y - fy;
        const double g = (1 - ax) * (1 - ay) * p00 + ax * (1 - ay) * p10 + (1 - ax) * ay * p01 + ax * ay * p11;
        output[k] = static_cast<float>(std::sqrt(std::max(0.0, 1.0 - g / 255.0)));
    }
}

void scanlines_median(const cv::Mat &gray, int lines, int margin, point tl, point tr, point bl, point br, int samples,
                      float *output)
{
    if (lines <= 0 || samples <= 0)
        return;
    const double d = 2 * margin + lines + 1;
    // Kept for the thread's next read.
    thread_local std::vector<float> values;
    values.resize(size_t(lines) * samples);
    for (int i = 0; i < lines; ++i) {
        const double a = margin + 1 + i, b = margin + lines - i;
        sample_line_subpixel(gray, samples, values.data() + size_t(i) * samples, (a * tl.x + b * bl.x) / d,
                             (a * tl.y + b * bl.y) / d, (a * tr.x + b * br.x) / d, (a * tr.y + b * br.y) / d);
    }
    thread_local std::vector<float> column;
    column.resize(lines);
    for (int k = 0; k < samples; ++k) {
        for (int i = 0; i < lines; ++i)
            column[i] = values[size_t(i) * samples + k];
        std::nth_element(column.begin(), column.begin() + lines / 2, column.end());
        output[k] = column[lines / 2];
    }
}

void compute_threshold(simulator &sim)
{
    const int n = sim.count;
    const int r = std::max(1, n / 60);
    double sum = 0;
    for (int i = 0; i <= std::min(r - 1, n - 1); ++i)
        sum += sim.input[i];
    for (int j = 0; j < n; ++j) {
        if (j + r < n)
            sum += sim.input[j + r];
        if (j - r >= 0)
            sum -= sim.input[j - r];
        const int lo = std::max(0, j - r + 1), hi = std::min(n - 1, j + r);
        sim.threshold[j] = static_cast<float>(sum / (hi - lo + 1));
    }
}

int estimate_edge(const simulator &sim, int p, int dir)
{
    const int n = sim.count;
    const float *in = sim.input;
    p = clip(p, 0, n - 1);
    auto inside = [n](int i) { return i > 0 && i < n - 1; };

    float lo = in[p], hi = in[p];
    for (int i = 1; i < n / 5; ++i) {
        const int k = p + i * dir;
        if (k < 0 || k >= n)
            break;
        lo = std::min(lo, in[k]);
        hi = std::max(hi, in[k]);
    }
    const float mid = (2 * lo + hi) / 3;
    // Leave a dark stretch we may have started in, then reach the first
    // dark sample.
    if (inside(p) && in[p] >= mid)
        while (inside(p) && in[p + dir] >= mid)
            p += dir;
    while (inside(p) && in[p] <= mid)
        p += dir;
    const int e = p;
    // Climb to the darkness peak of that bar.
    int peak = e;
    while (inside(peak) && in[peak] <= in[peak + dir])
        peak += dir;
    // Back down to its foot.
    const float foot_level = (hi + 7 * lo) / 8;
    int foot = e;
    while (inside(foot) && in[foot] >= foot_level)
        foot -= dir;
    return (peak + foot) / 2;
}

void estimate_start_stop(simulator &sim)
{
    sim.start = estimate_edge(sim, sim.start, +1);
    sim.stop = estimate_edge(sim, sim.stop, -1);
}

double q(double distance, double angle, double v)
{
    const double c = std::cos(angle), s = std::sin(angle);
    auto f = [&](double x) { return distance * x * c / (s * x + distance); };
    return (f(v) - f(-1)) / (f(1) - f(-1));
}

int find_peaks_and_valleys(const simulator &sim, int from, int to, int *extremes, int capacity)
{
    const float *in = sim.input, *th = sim.threshold;
    int j = clip(from, 0, sim.count);
    const int end = clip(to, 0, sim.count);
    while (j < end && in[j] <= th[j])
        ++j;
    int count = 0;
    bool peak = true;
    while (j < end && count < capacity) {
        int best = j;
        if (peak) {
            for (; j < end && in[j] >= th[j]; ++j)
                if (in[j] > in[best])
                    best = j;
        } else {
            for (; j < end && in[j] <= th[j]; ++j)
                if (in[j] < in[best])
                    best = j;
        }
        extremes[count++] = best;
        peak = !peak;
    }
    return count;
}

int thirty_peaks(simulator &sim)
{
    std::vector<int> p(SAMPLES + 1);
    int count = find_peaks_and_valleys(sim, sim.start, sim.stop, p.data(), int(p.size()));
    // Begin and end with a peak.
    if (count % 2 == 0 && count > 0)
        --count;
    auto strength = [&](int i) { return std::fabs(sim.input[p[i]] - sim.threshold[p[i]]); };
    // Drop the weakest extreme with a neighbour until the rest are clear.
    while (count >= 3) {
        int weakest = 0;
        for (int i = 1; i < count; ++i)
            if (strength(i) < strength(weakest))
                weakest = i;
        if (count < 60 && strength(weakest) > 0.005f)
            break;
        int first;
        if (weakest == count - 1)
            first = weakest - 1;
        else if (weakest == 0)
            first = 0;
        else
            first = strength(weakest + 1) <= strength(weakest - 1) ? weakest : weakest - 1;
        std::copy(p.begin() + first + 2, p.begin() + count, p.begin() + first);
        count -= 2;
    }
    if (count != 59)
        return 0;

    // Centres of the start, end and middle guards; the code reaches one and
    // a half modules (of 92 between the outer guard centres) beyond the
    // outer ones.
    const int f = (p[0] + p[1] + p[2]) / 3;
    const int g = (p[56] + p[57] + p[58]) / 3;
    const int c = (p[27] + p[28] + p[29] + p[30] + p[31]) / 5;
    const int m = (g - f) * 15 / 920;
    sim.start = f - m;
    sim.stop = g + m;

    // The tilt that puts the middle of the code on the middle guard.
    double lo = -std::numbers::pi / 3, hi = std::numbers::pi / 3;
    for (int step = 0; step < 20; ++step) {
        sim.angle = (lo + hi) / 2;
        const long u = sim.start + std::lrint(q(sim.distance, sim.angle, 0) * (sim.stop - sim.start));
        if (u == c)
            break;
        if (u < c)
            lo = sim.angle;
        else
            hi = sim.angle;
    }
    return 1;
}

} // namespace barcode
