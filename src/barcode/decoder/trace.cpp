#include "trace.h"
#include "numeric.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace barcode {

namespace {

inline int grey(const cv::Mat &image, int y, int x)
{
    return image.ptr<uchar>(y)[x];
}

// sum / count for non-negative values, by a multiplication (the exact
// integer quotient; a division per pixel is slow).
inline int quotient(int sum, int count)
{
    int q = int(double(sum) * (1.0 / count));
    if (q * count > sum)
        --q;
    else if ((q + 1) * count <= sum)
        ++q;
    return q;
}

// Samples both images along the line, 4-connected.
int sample_line(const cv::Mat &gray, const cv::Mat &threshold, point from, point to, std::vector<uchar> &g,
                std::vector<uchar> &t)
{
    cv::LineIterator it(gray, cv::Point(from.x, from.y), cv::Point(to.x, to.y), 4);
    g.resize(it.count);
    t.resize(it.count);
    for (int i = 0; i < it.count; ++i, ++it) {
        const cv::Point p = it.pos();
        g[i] = gray.at<uchar>(p);
        t[i] = threshold.at<uchar>(p);
    }
    return it.count;
}

} // namespace

void adaptive_threshold(const cv::Mat &gray, cv::Mat &threshold, int half_window)
{
    threshold.create(gray.size(), CV_8UC1);
    const int w = gray.cols;
    // The window x-r+1 .. x+r is empty for r = 0 (images narrower than 60).
    const int r = std::max(1, half_window);
    for (int y = 0; y < gray.rows; ++y) {
        const uchar *g = gray.ptr<uchar>(y);
        uchar *t = threshold.ptr<uchar>(y);
        // Running sum over the clipped window [x-r+1, x+r].
        int sum = 0;
        for (int i = 0; i <= std::min(r - 1, w - 1); ++i)
            sum += g[i];
        const auto clipped = [&](int x) {
            if (x + r < w)
                sum += g[x + r];
            if (x - r >= 0)
                sum -= g[x - r];
            const int lo = std::max(0, x - r + 1);
            const int hi = std::min(w - 1, x + r);
            t[x] = static_cast<uchar>(quotient(sum, hi - lo + 1));
        };
        // Windows that reach past either edge are clipped; the ones between
        // hold 2r pixels and need no checks.
        int x = 0;
        for (const int inner = std::min(r, w); x < inner; ++x)
            clipped(x);
        for (const int count = 2 * r; x < w - r; ++x) {
            sum += g[x + r] - g[x - r];
            t[x] = static_cast<uchar>(quotient(sum, count));
        }
        for (; x < w; ++x)
            clipped(x);
    }
}

int find_peaks(const cv::Mat &gray, const cv::Mat &threshold, point from, point to, int max_peaks,
               std::vector<peak> &peaks)
{
    // Kept from one row to the next, like the peaks below.
    thread_local std::vector<uchar> g, t;
    const int L = sample_line(gray, threshold, from, to, g, t);
    peaks.assign(std::max(0, max_peaks), peak());
    if (L < 6 || max_peaks <= 0)
        return 0;

    // Contrast step: a fifth of the 95th percentile of |gray - threshold|.
    thread_local std::vector<int> contrast;
    contrast.resize(L);
    for (int i = 0; i < L; ++i)
        contrast[i] = std::abs(int(g[i]) - int(t[i]));
    // Only the one element is wanted, not the whole order.
    const auto p95 = contrast.begin() + L * 95 / 100;
    std::nth_element(contrast.begin(), p95, contrast.end());
    const int d = std::max(2, *p95 / 5);

    int count = 0;
    int k = 0;
    bool dark = false;
    while (count < max_peaks) {
        // One run: the extreme of this kind until the opposite contrast
        // reaches d.
        int best = k;
        int best_value = 0;
        bool ended = false;
        for (; k < L; ++k) {
            const int own = dark ? int(t[k]) - int(g[k]) : int(g[k]) - int(t[k]);
            if (-own >= d) {
                ended = true;
                break;
            }
            if (own > best_value) {
                best_value = own;
                best = k;
            }
        }
        peaks[count].position = float(best) / float(L - 1);
        ++count;
        if (!ended)
            break;
        dark = !dark;
    }
    return count;
}

void peak_to_trace(const cv::Mat &gray, int *trace, int x, int row, bool dark)
{
    const int h = gray.rows;
    const int w = gray.cols;
    std::fill(trace, trace + h, x);
    if (!(0 < row && row < h - 1))
        return;
    for (int dir = -1; dir <= 1; dir += 2) {
        int c = x;
        for (int y = row + dir; y >= 0 && y < h; y += dir) {
            int chosen = c;
            if (c - 1 >= 0) {
                const int a = grey(gray, y, c - 1), b = grey(gray, y, c);
                if (dark ? a < b : a > b)
                    chosen = c - 1;
            }
            if (c + 1 < w) {
                const int a = grey(gray, y, c + 1), b = grey(gray, y, chosen);
                if (dark ? a < b : a > b)
                    chosen = c + 1;
            }
            trace[y] = c = chosen;
        }
    }
}

void peaks_to_traces(const cv::Mat &gray, point from, point to, const std::vector<peak> &peaks, int count,
                     std::vector<int> &traces)
{
    const int h = gray.rows;
    traces.assign(size_t(std::max(0, count)) * size_t(h), 0);
    for (int i = 0; i < count; ++i) {
        const float along = float(to.x - from.x) * peaks[i].position;
        const int x = clip(from.x + int(std::lrint(along)), 0, gray.cols - 1);
        peak_to_trace(gray, traces.data() + size_t(i) * h, x, clip(from.y, 0, h - 1), i % 2 == 1);
    }
}

bool endpoint(const cv::Mat &gray, const int *trace, const int *left, const int *right, int dark, int row, int dir,
              point &end)
{
    const int last = dir < 0 ? 0 : gray.rows - 1;
    int ring[8] = {};
    for (int y = row;; y += dir) {
        const int c = trace[y], l = left[y], r = right[y];
        // A space whose neighbours cross it has ended in a merge.
        if (!dark && (l > c || r < c))
            return false;
        const int g = grey(gray, y, c);
        const int contrast = std::max(std::abs(g - grey(gray, y, l)), std::abs(g - grey(gray, y, r)));
        ring[y & 7] = contrast;
        // The contrast fell below two thirds of what it was 7 rows earlier:
        // the end lies a little before here.
        if (3 * contrast < 2 * ring[(y - 7 * dir) & 7]) {
            const int yy = y - 2 * dir;
            end = { trace[yy], yy };
            return true;
        }
        if (y == last) {
            end = { trace[y], y };
            return true;
        }
    }
}

bool trace_to_bar(const cv::Mat &gray, const int *traces, int i, int row, bar &result)
{
    const int h = gray.rows;
    const int *trace = traces + size_t(i) * h;
    const int *left = trace - h;
    const int *right = trace + h;
    result.trace = trace;
    result.dark = i % 2;
    result.middle = { trace[row], row };
    return endpoint(gray, trace, left, right, result.dark, row, -1, result.top)
        && endpoint(gray, trace, left, right, result.dark, row, +1, result.bottom);
}

int traces_to_bars(const cv::Mat &gray, const std::vector<int> &traces, int count, int row, std::vector<bar> &bars)
{
    bars.assign(std::max(0, count), bar());
    int n = 0;
    for (int i = 1; i + 1 < count; ++i)
        if (trace_to_bar(gray, traces.data(), i, row, bars[n]))
            ++n;
    return n;
}

void adjust_outliers(const cv::Mat &gray, std::vector<bar> &bars, int n)
{
    auto clamp_end = [](point &end, const int *trace, int a, int b) {
        const int lo = std::min(a, b), hi = std::max(a, b);
        const int y = clip(end.y, lo, hi);
        if (y != end.y)
            end = { trace[y], y };
    };
    for (int i = 1; i + 1 < n; ++i) {
        bar &b = bars[i];
        clamp_end(b.top, b.trace, bars[i - 1].top.y, bars[i + 1].top.y);
        clamp_end(b.bottom, b.trace, bars[i - 1].bottom.y, bars[i + 1].bottom.y);
    }
}

int trace_barcode(const cv::Mat &gray, const cv::Mat &threshold, point from, point to, int max_peaks,
                  std::vector<int> &traces, std::vector<bar> &bars)
{
    thread_local std::vector<peak> peaks;
    const int count = find_peaks(gray, threshold, from, to, max_peaks, peaks);
    if (count < 6)
        return 0;
    const int row = clip(from.y, 0, gray.rows - 1);
    peaks_to_traces(gray, from, to, peaks, count, traces);
    const int n = traces_to_bars(gray, traces, count, row, bars);
    adjust_outliers(gray, bars, n);
    return n;
}

} // namespace barcode
