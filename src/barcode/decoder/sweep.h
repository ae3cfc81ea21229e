#pragma once

// Finding codes anywhere in the image, at any angle: parallel lines in eight
// directions are sampled, each line's light and dark extremes are looked at
// for a stretch of regular, bar-like spacing, and stretches found at the
// same place on neighbouring lines make a box around the code.

#include "decoder_records.h"

#include <vector>

namespace barcode {

// Directions swept, 180 / 8 = 22.5 degrees apart: a code is never more than
// 11.25 degrees off one of them.
constexpr int SWEEP_DIRECTIONS = 8;

// One stretch of bar-like extremes on one swept line: from the first to the
// last extreme, in pixels along the line from the image centre's foot.
struct stretch
{
    int line = 0; // index of the line within its direction
    float from = 0;
    float to = 0;
    int extremes = 0;
};

// A box around a code found by the sweep, its corners in the order of
// images::corners, the code's bars running from the left side to the right.
struct swept_box
{
    point corners[4];
    double score = 0; // larger: more lines crossed more bars
    int direction = 0;
};

// Stretches of neighbouring lines joined into one code, as a chain through
// sweep_buffers::members from head to tail.
struct cluster
{
    int head = -1;
    int tail = -1;
    int last_line = 0;
    float from = 0;
    float to = 0;
    int count = 0;
    double score = 0;
};

// Reused buffers of the sweep: sized once per image, never per line or
// per cluster; kept from one image to the next by a caller that reuses them.
struct sweep_buffers
{
    std::vector<uchar> profile;
    std::vector<int> extremes;
    std::vector<stretch> stretches;
    std::vector<int> members;
    std::vector<double> offsets, froms, tos, slopes, left, right;
    std::vector<swept_box> kept;
    std::vector<cluster> clusters;
};

// Line spacing of the sweep for an image: a code a tenth of the image wide
// is crossed by several lines at any size, and the work grows with the
// image's side, not its area.
int sweep_spacing(cv::Size size);

// Light and dark extremes of `profile[0, n)` that stand out from their
// neighbours by at least `step` grey levels, alternating; positions into
// `extremes`. Returns the count.
int profile_extremes(const uchar *profile, int n, int step, int *extremes);

// The stretches of `extremes[0, n)` of `profile` whose spacing is regular
// enough for a code, that begin and end dark and hold enough extremes for
// a code, appended to `out` with line number `line`; `origin` is added to
// the positions.
void bar_stretches(const uchar *profile, const int *extremes, int n, int line, float origin, std::vector<stretch> &out);

// Boxes of every code-like place of gray, best first.
void sweep_boxes(const cv::Mat &gray, sweep_buffers &buffers, std::vector<swept_box> &boxes);

// The box turned by half a turn: the same code read from its other end.
void reverse_box(point corners[4]);

} // namespace barcode
