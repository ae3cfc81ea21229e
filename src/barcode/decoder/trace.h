#pragma once

// Tracing the bars and spaces that cross one image row, from that row up and
// down to where each one ends.

#include "decoder_records.h"

#include <vector>

namespace barcode {

// threshold = the mean of gray over columns x-r+1 .. x+r of the same row,
// clipped to the row. A half-window below 1 is taken as 1.
void adaptive_threshold(const cv::Mat &gray, cv::Mat &threshold, int half_window);

// Light and dark extremes of gray along the line from `from` to `to`; at most
// `max_peaks`. Light peaks get the even numbers. Returns the count.
int find_peaks(const cv::Mat &gray, const cv::Mat &threshold, point from, point to, int max_peaks,
               std::vector<peak> &peaks);

// Follows one extreme from row `row` up to row 0 and down to the last row,
// stepping to a darker (dark) or brighter (light) neighbouring column.
void peak_to_trace(const cv::Mat &gray, int *trace, int x, int row, bool dark);
// One trace of gray.rows entries per peak, stored one after another.
void peaks_to_traces(const cv::Mat &gray, point from, point to, const std::vector<peak> &peaks, int count,
                     std::vector<int> &traces);

// Where the bar or space of `trace` ends, walking from `row` in direction
// `dir` (-1 up, +1 down). False when a space's neighbouring traces cross it.
bool endpoint(const cv::Mat &gray, const int *trace, const int *left, const int *right, int dark, int row, int dir,
              point &end);
// A bar for trace i (with its neighbours), or false when an end is not found.
bool trace_to_bar(const cv::Mat &gray, const int *traces, int i, int row, bar &result);
// Bars for every trace but the first and the last; returns the count.
int traces_to_bars(const cv::Mat &gray, const std::vector<int> &traces, int count, int row, std::vector<bar> &bars);

// Clamps each inner bar's ends into the range of its neighbours' ends.
void adjust_outliers(const cv::Mat &gray, std::vector<bar> &bars, int n);

// Traces the code along the line (a row of gray); returns the number of bars.
int trace_barcode(const cv::Mat &gray, const cv::Mat &threshold, point from, point to, int max_peaks,
                  std::vector<int> &traces, std::vector<bar> &bars);

} // namespace barcode
