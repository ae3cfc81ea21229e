#pragma once

// Finding the box of the code among the traced bars: quiet zones on either
// side, a score for every pair of them, and the corners of the best box.

#include "decoder_records.h"

#include <vector>

namespace barcode {

// Measures the light run beside dark bar `index` (towards `partner`, the
// next dark bar further out, or -1) on every row of the bar. `dir`: -1 left,
// +1 right. False when the bar is shorter than 10 rows or leaves the image.
bool measure_quiet_zone(const cv::Mat &gray, const cv::Mat &threshold, const std::vector<bar> &bars, int index,
                        int partner, int dir, quiet_zone &zone, bool verbose);

// The accepted quiet zones of one side, innermost first.
int find_quiet_zones(const cv::Mat &gray, const cv::Mat &threshold, int n, const std::vector<bar> &bars, int dir,
                     std::vector<quiet_zone> &zones, bool verbose);

// Straight lines through the end points of bars a..b, evaluated at the
// box's left edge (t = 0) and right edge (t = 1): the medians of all
// extrapolations from bar pairs at least 6 apart.
void fit_line(int k, const double *t, const point *points, point &at0, point &at1);
void robust_corners(const std::vector<bar> &bars, int a, int b, point corners[4]);

bool found_two_more_bars(const std::vector<bar> &bars, int a, int b, int r, int p, int q);

// Score of the box between the zones of bars a and b (0 when b - a < 10);
// writes the fitted corners.
double barcode_quality(const std::vector<bar> &bars, int n, const quiet_zone &left, const quiet_zone &right,
                       point corners[4]);

// Writes the corners of the best box; leaves them alone when none scores
// above 0.
void find_barcode(const cv::Mat &gray, const cv::Mat &threshold, int n, const std::vector<bar> &bars, point corners[4],
                  bool verbose);

// Distance to the code in half code widths, from the width it takes in the
// image and the field of view along the image diagonal.
double perspective_distance(cv::Size size, double left_x, double left_y, double right_x, double right_y,
                            double field_of_view);
// Tilt about the vertical from the heights of the box's two sides.
double perspective_angle(point top_left, point top_right, point bottom_left, point bottom_right);

} // namespace barcode
