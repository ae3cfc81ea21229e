#include "locate.h"
#include "numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace barcode {

namespace {

// Quiet zones, as fractions of the image width w. At the working width of
// 320 pixels a module of a code that fills a third to two thirds of the
// frame is 1 to 2 pixels wide: its widest space (4 modules) stays under 10
// pixels, its quiet zones (7 and 11 modules at least) are mostly wider.
// A light run at least w/30 wide (10 pixels at 320) can be a quiet zone;
// narrower ones are spaces of a code, except beyond the last bar of a side.
constexpr int ZONE_WIDTH_PARTS = 30;
// The outermost zone of a side may be cut short by the edge of the image:
// it counts as at least w/20 wide.
constexpr int OUTERMOST_ZONE_PARTS = 20;

// Box score (barcode_quality): how well the ends of the bars between two
// zones lie on the two fitted lines of the box, plus how bright and wide
// the two zones are. Distances are measured against s, the mean spacing of
// the traced bars and spaces (about 1.6 modules: a whole code crosses the
// row with 59 of them over 95 modules).
//
// A box spans at least 10 spacings (11 bars): with fewer, the corner fit,
// whose pairs lie at least 6 bars apart, would have fewer than 15 pairs to
// take its medians of.
constexpr int MIN_BOX_BARS = 10;
// An end within 2 s of its line is scored by its distance d from it:
// s - d, a gain up to s and a loss beyond it. Ends further off are left to
// the penalties below.
constexpr double END_TOLERANCE = 2;
// No bar of a code reaches above the others: a top end more than 3 pixels
// above the top line (a few pixels allow for ends found a row or two off)
// costs twice its overshoot; at an overshoot of s that is as much as both
// its ends can gain.
constexpr double TOP_OVERSHOOT_ALLOWANCE = 3;
constexpr double TOP_OVERSHOOT_WEIGHT = 2;
// The first and last bar of a box around a code are its guard bars: full
// height, and at the bottom reaching 5 modules (about 3 s) lower than the
// digits' bars, which the doubled tolerance (4 s) lets through. An outer
// bar that stops short of a line means the box does not end at a guard
// bar: that costs more than the brightest quiet zone (255) earns. One that
// reaches past a line may just touch a printed frame or text: that costs
// less than half of it.
constexpr double GUARD_BOTTOM_TOLERANCE = 2 * END_TOLERANCE;
constexpr double OUTER_SHORT_PENALTY = 500;
constexpr double OUTER_LONG_PENALTY = 100;
// A zone's width adds at most 10 points, the narrowest inner zone at the
// working width: a wider margin is no better. At that width every accepted
// zone is at least this wide, so the term only tells zones apart in
// smaller images.
constexpr int ZONE_WIDTH_SCORE_CAP = 10;
// Two more bars at least half as long as the zone's bar, within 3 s beyond
// the zone: the zone is a wide space inside a code. The score drops to a
// third on each side where that holds; it stays above 0, so such a box is
// still read when no other box scores.
constexpr double FOLLOWING_BAR_SHARE = 0.5;
constexpr int FOLLOWING_BARS_REACH = 3;
constexpr double INSIDE_CODE_DIVISOR = 3;

// Box choice (find_barcode). A zone with another zone just two bars
// further in belongs to a bar with wide light on both sides, more like a
// stray mark beside a code than its guard bar: a small deduction, under a
// tenth of a bright zone, that decides between boxes that score alike.
constexpr double NEIGHBOUR_ZONE_PENALTY = 20;
// A light run inside the box wider than w/20 (16 pixels at 320, far wider
// than any space of a code) means the box spans two things, such as two
// codes or a code and the text beside it: it costs 4 points a pixel of
// its width, over 64.
constexpr int WIDE_ZONE_PARTS = 20;
constexpr int INSIDE_ZONE_WEIGHT = 4;

inline int grey(const cv::Mat &image, int y, int x)
{
    return image.ptr<uchar>(y)[x];
}

// Element size/2 of the ascending order.
int median_element(std::vector<int> &values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

double line_y_at(point a, point b, double x)
{
    if (b.x == a.x)
        return a.y;
    return a.y + double(b.y - a.y) * (x - a.x) / double(b.x - a.x);
}

double bar_length(const bar &b)
{
    return point_distance(b.top.x, b.top.y, b.bottom.x, b.bottom.y);
}

} // namespace

bool measure_quiet_zone(const cv::Mat &gray, const cv::Mat &threshold, const std::vector<bar> &bars, int index,
                        int partner, int dir, quiet_zone &zone, bool verbose)
{
    const bar &b = bars[index];
    const int w = gray.cols;
    const int rows = b.bottom.y - b.top.y + 1;
    if (rows < 10) {
        if (verbose)
            std::fprintf(stderr, "could not measure from x=%d\n", b.middle.x);
        return false;
    }
    // Kept from one call to the next: a row's zones allocate nothing.
    thread_local std::vector<int> brightnesses, widths;
    brightnesses.clear();
    widths.clear();
    for (int y = b.top.y; y <= b.bottom.y; ++y) {
        const int x = b.trace[y];
        if (x < 0 || x >= w) {
            if (verbose) {
                std::fprintf(stderr, "aborting because trace[%d]=%d\n", y, x);
                std::fprintf(stderr, "could not measure from x=%d\n", b.middle.x);
            }
            return false;
        }
        int limit = partner >= 0 ? x + (bars[partner].middle.x - b.middle.x) - 2 * dir : x + 20 * dir;
        limit = clip(limit, 0, w - 1);

        // Brightest column between the bar and the limit (limit excluded).
        int m = x;
        int best = grey(gray, y, x);
        if (x != limit && x + dir != limit)
            for (int p = x + dir; (limit - p) * dir > 0; p += dir)
                if (grey(gray, y, p) > best) {
                    best = grey(gray, y, p);
                    m = p;
                }

        // The light run around it.
        auto light = [&](int c) { return grey(threshold, y, c) < grey(gray, y, c) + 5; };
        int lo = m, hi = m;
        while (lo > 0 && light(lo - 1))
            --lo;
        while (hi < w - 1 && light(hi + 1))
            ++hi;
        // The run does not reach back over the bar.
        if (dir > 0)
            lo = std::max(lo, x);
        else
            hi = std::min(hi, x);
        const int width = hi - lo + 1;
        int sum = 0;
        for (int c = lo; c <= hi; ++c)
            sum += grey(gray, y, c);
        brightnesses.push_back(sum / width);
        widths.push_back(width);
    }
    zone.bar = index;
    zone.brightness = median_element(brightnesses);
    zone.width = median_element(widths);
    return true;
}

int find_quiet_zones(const cv::Mat &gray, const cv::Mat &threshold, int n, const std::vector<bar> &bars, int dir,
                     std::vector<quiet_zone> &zones, bool verbose)
{
    zones.clear();
    const int w = gray.cols;
    const int outermost = dir < 0 ? 0 : n - 1;
    for (int i = n / 2; i >= 0 && i < n; i += dir) {
        if (!bars[i].dark)
            continue;
        int partner = i + dir;
        while (partner >= 0 && partner < n && !bars[partner].dark)
            partner += dir;
        if (partner < 0 || partner >= n)
            partner = -1;
        quiet_zone zone;
        if (!measure_quiet_zone(gray, threshold, bars, i, partner, dir, zone, verbose))
            continue;
        // Narrow light runs are only gaps between bars, except at the very
        // end of the traced row.
        if (zone.width >= w / ZONE_WIDTH_PARTS || i == outermost)
            zones.push_back(zone);
    }
    if (!zones.empty())
        zones.back().width = std::max(zones.back().width, w / OUTERMOST_ZONE_PARTS);
    return int(zones.size());
}

void fit_line(int k, const double *t, const point *points, point &at0, point &at1)
{
    thread_local std::vector<int> x0, y0, x1, y1;
    x0.clear();
    y0.clear();
    x1.clear();
    y1.clear();
    for (int i = 0; i < k; ++i)
        for (int j = i + 6; j < k; ++j) {
            const double dt = t[j] - t[i];
            const double dx = points[j].x - points[i].x;
            const double dy = points[j].y - points[i].y;
            x0.push_back(int(std::lrint(points[i].x - dx * t[i] / dt)));
            y0.push_back(int(std::lrint(points[i].y - dy * t[i] / dt)));
            x1.push_back(int(std::lrint(points[j].x + dx * (1 - t[j]) / dt)));
            y1.push_back(int(std::lrint(points[j].y + dy * (1 - t[j]) / dt)));
        }
    if (x0.empty())
        return;
    at0 = { median_element(x0), median_element(y0) };
    at1 = { median_element(x1), median_element(y1) };
}

void robust_corners(const std::vector<bar> &bars, int a, int b, point corners[4])
{
    const int k = b - a + 1;
    thread_local std::vector<double> t;
    thread_local std::vector<point> tops, bottoms;
    t.resize(k);
    tops.resize(k);
    bottoms.resize(k);
    const double first = bars[a].middle.x;
    const double span = bars[b].middle.x - first;
    for (int i = 0; i < k; ++i) {
        // The outer bars sit at 0.1 and 0.9: the box reaches past them.
        t[i] = span != 0 ? 0.1 + 0.8 * (bars[a + i].middle.x - first) / span : 0.1 + 0.8 * i / k;
        tops[i] = bars[a + i].top;
        bottoms[i] = bars[a + i].bottom;
    }
    fit_line(k, t.data(), tops.data(), corners[0], corners[1]);
    fit_line(k, t.data(), bottoms.data(), corners[3], corners[2]);
}

bool found_two_more_bars(const std::vector<bar> &bars, int a, int b, int r, int p, int q)
{
    const double shortest = bar_length(bars[r]) * FOLLOWING_BAR_SHARE;
    const int spacing = (bars[b].middle.x - bars[a].middle.x) / (b - a);
    return bar_length(bars[p]) >= shortest && bar_length(bars[q]) >= shortest
        && std::abs(bars[q].middle.x - bars[r].middle.x) <= FOLLOWING_BARS_REACH * spacing;
}

double barcode_quality(const std::vector<bar> &bars, int n, const quiet_zone &left, const quiet_zone &right,
                       point corners[4])
{
    const int a = left.bar, b = right.bar;
    if (b - a < MIN_BOX_BARS)
        return 0;
    robust_corners(bars, a, b, corners);
    const double spacing = double(bars[b].middle.x - bars[a].middle.x) / (b - a);
    const double tol = END_TOLERANCE * spacing;
    double q = 0;
    for (int i = a; i <= b; ++i) {
        const bar &r = bars[i];
        const double dt = line_y_at(corners[0], corners[1], r.top.x) - r.top.y;
        const double db = r.bottom.y - line_y_at(corners[3], corners[2], r.bottom.x);
        if (std::fabs(db) < tol)
            q += spacing - std::fabs(db);
        if (std::fabs(dt) < tol)
            q += spacing - std::fabs(dt);
        if (dt > TOP_OVERSHOOT_ALLOWANCE)
            q -= TOP_OVERSHOOT_WEIGHT * dt;
        if (i == a || i == b) {
            if (dt > tol)
                q -= OUTER_LONG_PENALTY;
            if (dt < -tol)
                q -= OUTER_SHORT_PENALTY;
            if (db > GUARD_BOTTOM_TOLERANCE * spacing)
                q -= OUTER_LONG_PENALTY;
            if (db < -tol)
                q -= OUTER_SHORT_PENALTY;
        }
    }
    double score = q + left.brightness + right.brightness + std::min(left.width, ZONE_WIDTH_SCORE_CAP)
        + std::min(right.width, ZONE_WIDTH_SCORE_CAP);
    // Two more long bars just outside a zone: the zone is a gap inside a code.
    if (a > 1 && found_two_more_bars(bars, a, b, a, a - 1, a - 2))
        score /= INSIDE_CODE_DIVISOR;
    if (b <= n - 3 && found_two_more_bars(bars, a, b, b, b + 1, b + 2))
        score /= INSIDE_CODE_DIVISOR;
    return score;
}

void find_barcode(const cv::Mat &gray, const cv::Mat &threshold, int n, const std::vector<bar> &bars, point corners[4],
                  bool verbose)
{
    thread_local std::vector<quiet_zone> lefts, rights;
    find_quiet_zones(gray, threshold, n, bars, -1, lefts, verbose);
    find_quiet_zones(gray, threshold, n, bars, +1, rights, verbose);
    if (lefts.empty() || rights.empty())
        return;
    const int wide = gray.cols / WIDE_ZONE_PARTS;
    double best = 0;
    for (size_t i = 0; i < lefts.size(); ++i)
        for (size_t j = 0; j < rights.size(); ++j) {
            point fitted[4];
            double score = barcode_quality(bars, n, lefts[i], rights[j], fitted);
            if (i > 0 && lefts[i - 1].bar == lefts[i].bar + 2)
                score -= NEIGHBOUR_ZONE_PENALTY;
            if (j > 0 && rights[j - 1].bar == rights[j].bar - 2)
                score -= NEIGHBOUR_ZONE_PENALTY;
            // A wide light run inside the box: the box spans two things.
            int inner = 0;
            for (size_t k = 0; k < i; ++k)
                inner = std::max(inner, lefts[k].width);
            if (inner > wide)
                score -= INSIDE_ZONE_WEIGHT * inner;
            inner = 0;
            for (size_t k = 0; k < j; ++k)
                inner = std::max(inner, rights[k].width);
            if (inner > wide)
                score -= INSIDE_ZONE_WEIGHT * inner;
            if (score > best) {
                best = score;
                std::copy(fitted, fitted + 4, corners);
            }
        }
}

double perspective_distance(cv::Size size, double left_x, double left_y, double right_x, double right_y,
                            double field_of_view)
{
    const double diag = std::hypot(double(size.width), double(size.height));
    const double width = point_distance(left_x, left_y, right_x, right_y);
    return 1.0 / std::tan(field_of_view / diag * width * 0.5);
}

double perspective_angle(point tl, point tr, point bl, point br)
{
    const double lx = (tl.x + bl.x) / 2.0, ly = (tl.y + bl.y) / 2.0;
    const double rx = (tr.x + br.x) / 2.0, ry = (tr.y + br.y) / 2.0;
    const double left
        = point_line_distance(tl.x, tl.y, tr.x, tr.y, lx, ly) + point_line_distance(bl.x, bl.y, br.x, br.y, lx, ly);
    const double right
        = point_line_distance(tl.x, tl.y, tr.x, tr.y, rx, ry) + point_line_distance(bl.x, bl.y, br.x, br.y, rx, ry);
    if (left < 5 || right < 5)
        return 0;
    // The nearer side looks taller.
    return std::atan(1.2 * std::log(left / right));
}

} // namespace barcode
