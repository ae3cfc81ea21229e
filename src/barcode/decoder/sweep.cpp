#include "sweep.h"
#include "numeric.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace barcode {

namespace {

// Lines per side of the smaller image side: 80 lines 3 pixels apart at the
// working size of a camera frame (320 x 240), never closer than 3 pixels.
// The bars of a code a tenth of the image wide (EAN bars are at least half
// as tall as the code is wide) are then crossed by 4 lines or more.
constexpr int LINES_PER_SIDE = 80;
constexpr int MIN_SPACING = 3;

// An extreme stands out from the samples around it by 10 grey levels: in
// the smoothed working image noise stays under 5, and the faintest codes
// read in the photo sets (shadowed, blurred) keep 15 or more between their
// narrow bars and spaces.
constexpr int EXTREME_STEP = 10;

// Regular spacing: in every window of 12 successive gaps between extremes
// the widest gap is at most 3 times the window's mean. Inside a code gaps
// run from 1 to 4 modules about a mean of 1.6 (95 modules, 59 extremes):
// at most 2.5 times the mean; a quiet zone of 7 modules or more makes its
// windows fail.
constexpr int GAP_WINDOW = 12;
constexpr int MAX_GAP_RATIO = 3;
// A wide light run inside a line shows a light extreme in its middle,
// which halves its gap: the distance between extremes two apart (bar to
// bar, space to space) is at most 2.4 times twice the mean of the window's
// other gaps. In a code it stays under 2.2 (7 modules at most against
// 3.2); a quiet zone of 7 modules and its bars' halves make 8 or more.
constexpr double MAX_PAIR_RATIO = 2.4;
// Mean gap of at least 1.5 pixels: finer codes have modules under a pixel,
// which the profile cannot resolve.
constexpr double MIN_MEAN_GAP = 1.5;
// A code crosses a line with 59 extremes (30 bars, 29 spaces); a blurred
// one merges narrow bars and spaces and shows fewer. 30 keeps the codes the
// photo sets' tuning half reads with bars merged, and leaves out most words
// of printed text.
constexpr int MIN_STRETCH_EXTREMES = 30;
// An end gap more than twice the stretch's mean gap leads into the quiet
// zone's light middle, not to a guard bar: it is dropped.
constexpr double END_GAP_RATIO = 2;

// Stretches on lines up to 2 apart whose extents share 60 % of the longer
// one belong to the same code; a code is crossed by at least 2 lines.
constexpr int MAX_LINE_STEP = 2;
constexpr double MIN_OVERLAP = 0.6;
constexpr int MIN_CLUSTER_LINES = 2;
// The box reaches past the outer bars by an eighth of their distance on
// each side, as the traced boxes do (outer bars at 0.1 and 0.9).
constexpr double BOX_MARGIN = 0.125;
// The box is a tenth of the code's length high, about the middle of the
// lines that crossed it: its sides follow the fitted stretch ends only
// roughly, and the lower the box the less a side that is off the bars'
// direction shifts the scan lines against each other. Measured on the
// tuning half (reads of the boxes alone): 0.05 58, 0.07 57, 0.1 59,
// 0.14 56, 0.2 50, the whole height of the lines 34 (at working size).
constexpr double BOX_HEIGHT = 0.1;
// Stretches beyond 60 extremes add nothing: a line that crosses a whole
// code has 59.
constexpr int SCORE_EXTREMES_CAP = 60;

struct line_frame
{
    double cx, cy; // image centre
    double ux, uy; // along the lines
    double nx, ny; // across them

    point at(double offset, double t) const
    {
        return { int(std::lrint(cx + offset * nx + t * ux)), int(std::lrint(cy + offset * ny + t * uy)) };
    }
};

// The part t0 <= t <= t1 of the line centre + offset n + t u inside
// [0, w-1] x [0, h-1]; false when it misses the image.
bool clip_line(const line_frame &f, double offset, int w, int h, double &t0, double &t1)
{
    const double px = f.cx + offset * f.nx, py = f.cy + offset * f.ny;
    t0 = -1e9;
    t1 = 1e9;
    auto limit = [&](double p, double d, double hi) {
        if (std::fabs(d) < 1e-9)
            return p >= 0 && p <= hi;
        double a = (0 - p) / d, b = (hi - p) / d;
        if (a > b)
            std::swap(a, b);
        t0 = std::max(t0, a);
        t1 = std::min(t1, b);
        return true;
    };
    if (!limit(px, f.ux, w - 1) || !limit(py, f.uy, h - 1))
        return false;
    t0 = std::ceil(t0 - 1e-9);
    t1 = std::floor(t1 + 1e-9);
    return t1 - t0 >= 1;
}

double median_of(std::vector<double> &v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

bool inside(const point c[4], double x, double y)
{
    int sign = 0;
    for (int i = 0; i < 4; ++i) {
        const point a = c[i], b = c[(i + 1) % 4];
        const double cross = double(b.x - a.x) * (y - a.y) - double(b.y - a.y) * (x - a.x);
        const int s = cross > 0 ? 1 : (cross < 0 ? -1 : 0);
        if (s == 0)
            continue;
        if (sign == 0)
            sign = s;
        else if (s != sign)
            return false;
    }
    return true;
}

// The box of one cluster: its side lines fitted through the stretches'
// ends, which follow the bars whatever the code's tilt against the lines.
bool cluster_box(const cluster &c, sweep_buffers &buf, const line_frame &f, double first_offset, int spacing,
                 swept_box &box)
{
    const std::vector<stretch> &stretches = buf.stretches;
    const std::vector<int> &next = buf.members;
    std::vector<double> &offsets = buf.offsets, &froms = buf.froms, &tos = buf.tos;
    offsets.clear();
    froms.clear();
    tos.clear();
    for (int i = c.head; i >= 0; i = next[i]) {
        offsets.push_back(first_offset + double(stretches[i].line) * spacing);
        froms.push_back(stretches[i].from);
        tos.push_back(stretches[i].to);
    }
    const int n = int(offsets.size());
    // The ends of the bars and the digits printed below them spoil the
    // outer lines: the fit keeps the middle three fifths of a tall cluster.
    const int skip = n >= 5 ? n / 5 : 0;
    const int a = skip, b = n - skip;
    std::vector<double> &slopes = buf.slopes;
    slopes.clear();
    const int half = std::max(1, (b - a) / 2);
    for (int i = a; i + half < b; ++i) {
        const double d = offsets[i + half] - offsets[i];
        slopes.push_back((froms[i + half] - froms[i]) / d);
        slopes.push_back((tos[i + half] - tos[i]) / d);
    }
    const double slope = slopes.empty() ? 0.0 : median_of(slopes);
    std::vector<double> &left = buf.left, &right = buf.right;
    left.clear();
    right.clear();
    for (int i = a; i < b; ++i) {
        left.push_back(froms[i] - slope * offsets[i]);
        right.push_back(tos[i] - slope * offsets[i]);
    }
    const double l = median_of(left), r = median_of(right);
    if (!(r - l > 0))
        return false;
    const double m = BOX_MARGIN * (r - l);
    const double mid = (offsets.front() + offsets.back()) / 2;
    const double halfh = std::min((offsets.back() - offsets.front()) / 2, BOX_HEIGHT * (r - l) / 2);
    const double top = mid - halfh, bottom = mid + halfh;
    box.corners[0] = f.at(top, l + slope * top - m);
    box.corners[1] = f.at(top, r + slope * top + m);
    box.corners[2] = f.at(bottom, r + slope * bottom + m);
    box.corners[3] = f.at(bottom, l + slope * bottom - m);
    box.score = c.score;
    return true;
}

} // namespace

int sweep_spacing(cv::Size size)
{
    return std::max(MIN_SPACING, std::min(size.width, size.height) / LINES_PER_SIDE);
}

int profile_extremes(const uchar *p, int n, int step, int *extremes)
{
    if (n < 2)
        return 0;
    int count = 0;
    // 0: no direction yet, +1: rising to a light extreme, -1: falling to a
    // dark one. Plateaus count at their middle.
    int state = 0;
    int hi = p[0], hi_at = 0, hi_end = 0, lo = p[0], lo_at = 0, lo_end = 0;
    for (int i = 1; i < n; ++i) {
        const int v = p[i];
        if (state >= 0) {
            if (v > hi) {
                hi = v;
                hi_at = hi_end = i;
            } else if (v == hi) {
                hi_end = i;
            }
        }
        if (state <= 0) {
            if (v < lo) {
                lo = v;
                lo_at = lo_end = i;
            } else if (v == lo) {
                lo_end = i;
            }
        }
        if (state >= 0 && v <= hi - step) {
            // The line's first sample is no extreme of the picture.
            if (state > 0)
                extremes[count++] = (hi_at + hi_end) / 2;
            state = -1;
            lo = v;
            lo_at = lo_end = i;
        } else if (state <= 0 && v >= lo + step) {
            if (state < 0)
                extremes[count++] = (lo_at + lo_end) / 2;
            state = 1;
            hi = v;
            hi_at = hi_end = i;
        }
    }
    return count;
}

void bar_stretches(const uchar *profile, const int *e, int n, int line, float origin, std::vector<stretch> &out)
{
    const int gaps = n - 1;
    auto close = [&](int a, int b) {
        // Extremes a..b. Trim ends that lead into a quiet zone, and light
        // ends: a code begins and ends with a dark guard bar.
        for (int round = 0; round < 2 && b - a >= MIN_STRETCH_EXTREMES - 1; ++round) {
            const double mean = double(e[b] - e[a]) / (b - a);
            if (e[a + 1] - e[a] > END_GAP_RATIO * mean || profile[e[a]] > profile[e[a + 1]])
                ++a;
            if (e[b] - e[b - 1] > END_GAP_RATIO * mean || profile[e[b]] > profile[e[b - 1]])
                --b;
        }
        if (b - a + 1 >= MIN_STRETCH_EXTREMES)
            out.push_back({ line, origin + float(e[a]), origin + float(e[b]), b - a + 1 });
    };
    int seg_a = -1, seg_end = -1; // first extreme, last gap covered
    for (int j = 0; j + GAP_WINDOW <= gaps; ++j) {
        const int span = e[j + GAP_WINDOW] - e[j];
        if (span < MIN_MEAN_GAP * GAP_WINDOW)
            continue;
        int widest = 0, widest_pair = 0;
        for (int k = j; k < j + GAP_WINDOW; ++k) {
            widest = std::max(widest, e[k + 1] - e[k]);
            if (k + 1 < j + GAP_WINDOW)
                widest_pair = std::max(widest_pair, e[k + 2] - e[k]);
        }
        if (widest * GAP_WINDOW > MAX_GAP_RATIO * span
            || widest_pair * (GAP_WINDOW - 2) > 2 * MAX_PAIR_RATIO * (span - widest_pair))
            continue;
        if (seg_a >= 0 && j <= seg_end + 1) {
            seg_end = j + GAP_WINDOW - 1;
        } else {
            if (seg_a >= 0)
                close(seg_a, seg_end + 1);
            seg_a = j;
            seg_end = j + GAP_WINDOW - 1;
        }
    }
    if (seg_a >= 0)
        close(seg_a, seg_end + 1);
}

void sweep_boxes(const cv::Mat &gray, sweep_buffers &buf, std::vector<swept_box> &boxes)
{
    boxes.clear();
    const int w = gray.cols, h = gray.rows;
    if (w < 2 || h < 2 || gray.type() != CV_8UC1)
        return;
    const int spacing = sweep_spacing(gray.size());
    const int longest = int(std::ceil(std::hypot(w, h))) + 2;
    buf.profile.resize(longest);
    buf.extremes.resize(longest);
    const double radius = std::hypot(w, h) / 2;
    const int lines = int(2 * radius / spacing) + 1;
    std::vector<cluster> &clusters = buf.clusters;
    for (int d = 0; d < SWEEP_DIRECTIONS; ++d) {
        const double angle = d * std::numbers::pi / SWEEP_DIRECTIONS;
        const line_frame f { (w - 1) / 2.0,   (h - 1) / 2.0,    std::cos(angle),
                             std::sin(angle), -std::sin(angle), std::cos(angle) };
        const double first_offset = -radius;
        buf.stretches.clear();
        for (int line = 0; line < lines; ++line) {
            const double offset = first_offset + double(line) * spacing;
            double t0, t1;
            if (!clip_line(f, offset, w, h, t0, t1))
                continue;
            const int n = std::min(longest, int(t1 - t0) + 1);
            const double x0 = f.cx + offset * f.nx + t0 * f.ux, y0 = f.cy + offset * f.ny + t0 * f.uy;
            // Nearest pixels by 16.16 fixed-point steps; the clipped line
            // stays inside the image, the clip only guards rounding.
            uchar *p = buf.profile.data();
            const uchar *data = gray.data;
            const size_t stride = gray.step[0];
            long long fx = std::llrint((x0 + 0.5) * 65536), fy = std::llrint((y0 + 0.5) * 65536);
            const long long dx = std::llrint(f.ux * 65536), dy = std::llrint(f.uy * 65536);
            for (int k = 0; k < n; ++k, fx += dx, fy += dy) {
                const int x = clip(int(fx >> 16), 0, w - 1);
                const int y = clip(int(fy >> 16), 0, h - 1);
                p[k] = data[size_t(y) * stride + size_t(x)];
            }
            const int count = profile_extremes(p, n, EXTREME_STEP, buf.extremes.data());
            if (count >= MIN_STRETCH_EXTREMES)
                bar_stretches(p, buf.extremes.data(), count, line, float(t0), buf.stretches);
        }

        // Stretches of neighbouring lines at the same place: one code.
        const int total = int(buf.stretches.size());
        buf.members.assign(total, -1);
        clusters.clear();
        for (int i = 0; i < total; ++i) {
            const stretch &s = buf.stretches[i];
            cluster *joined = nullptr;
            for (cluster &c : clusters) {
                if (s.line - c.last_line < 1 || s.line - c.last_line > MAX_LINE_STEP)
                    continue;
                const double overlap = std::min(c.to, s.to) - std::max(c.from, s.from);
                if (overlap >= MIN_OVERLAP * std::max(c.to - c.from, s.to - s.from)) {
                    joined = &c;
                    break;
                }
            }
            if (!joined) {
                clusters.push_back({ i, i, s.line, s.from, s.to, 0, 0 });
                joined = &clusters.back();
            } else {
                buf.members[joined->tail] = i;
                joined->tail = i;
            }
            joined->last_line = s.line;
            joined->from = s.from;
            joined->to = s.to;
            ++joined->count;
            joined->score += std::min(s.extremes, SCORE_EXTREMES_CAP);
        }
        for (const cluster &c : clusters) {
            if (c.count < MIN_CLUSTER_LINES)
                continue;
            swept_box box;
            box.direction = d;
            if (cluster_box(c, buf, f, first_offset, spacing, box))
                boxes.push_back(box);
        }
    }
    std::stable_sort(boxes.begin(), boxes.end(),
                     [](const swept_box &a, const swept_box &b) { return a.score > b.score; });
    // A code seen from two neighbouring directions is read once, from the
    // one that crossed more of it.
    std::vector<swept_box> &kept = buf.kept;
    kept.clear();
    for (const swept_box &b : boxes) {
        const double x = (b.corners[0].x + b.corners[1].x + b.corners[2].x + b.corners[3].x) / 4.0;
        const double y = (b.corners[0].y + b.corners[1].y + b.corners[2].y + b.corners[3].y) / 4.0;
        if (std::none_of(kept.begin(), kept.end(), [&](const swept_box &k) { return inside(k.corners, x, y); }))
            kept.push_back(b);
    }
    boxes.assign(kept.begin(), kept.end());
}

void reverse_box(point corners[4])
{
    std::swap(corners[0], corners[2]);
    std::swap(corners[1], corners[3]);
}

} // namespace barcode
