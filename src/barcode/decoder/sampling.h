#pragma once

// Sampling the brightness profile across the found box and the first
// estimates of where the code starts and stops in it.

#include "decoder_records.h"

namespace barcode {

// Samples `samples` points evenly from (x0, y0) to (x1, y1), both ends
// included, interpolating bilinearly; output = sqrt(1 - grey/255).
void sample_line_subpixel(const cv::Mat &image, int samples, float *output, double x0, double y0, double x1, double y1);

// `lines` parallel lines across the middle of the box (the outer `margin`
// parts of its height left out); output = the median of the lines.
void scanlines_median(const cv::Mat &gray, int lines, int margin, point top_left, point top_right, point bottom_left,
                      point bottom_right, int samples, float *output);

// threshold = running mean of input over a window of count/30 samples.
void compute_threshold(simulator &sim);

// Midway between the foot and the peak of the first dark bar met walking
// from sample p in direction dir.
int estimate_edge(const simulator &sim, int p, int dir);
void estimate_start_stop(simulator &sim);

// Normalised position (0..1) of code coordinate v (-1..1) seen at
// `distance` half widths and tilted by `angle`.
double q(double distance, double angle, double v);

// The strongest alternating extremes of input around its threshold between
// start and stop; positions into `extremes`. Returns the count.
int find_peaks_and_valleys(const simulator &sim, int from, int to, int *extremes, int capacity);

// With exactly 59 extremes (30 bars, 29 spaces) sets start and stop from the
// guard bars and the angle from the middle guard; returns 1. Else 0.
int thirty_peaks(simulator &sim);

} // namespace barcode
