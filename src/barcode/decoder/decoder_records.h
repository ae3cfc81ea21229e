#pragma once

// The plain records that pass between the stages of the EAN-13/UPC-A decoder.
// The decoder never thresholds bars: it locates the code in a grey image,
// samples one brightness profile across it and fits a simulated, blurred
// EAN-13 signal to that profile.

#include <opencv2/core.hpp>

#include <memory>
#include <vector>

namespace barcode {

// Number of samples of every profile signal.
constexpr int SAMPLES = 1000;
// Largest Gaussian kernel (taps).
constexpr int MAX_KERNEL = 51;
// Room for every single-digit alternative: 10 + 5 x 20 + 6 x 10 = 170, plus
// the end mark that error correction writes after the cheapest 20.
constexpr int MAX_CANDIDATES = 171;
// Modules of an EAN-13 symbol and their boundaries.
constexpr int MODULES = 95;
constexpr int BOUNDARIES = MODULES + 1;
// Error of a signal that has not been rendered yet.
constexpr float NOT_RENDERED = 1000000.0f;

struct point
{
    int x = 0;
    int y = 0;
};

// One extreme of the brightness profile along the traced row. Even peaks are
// light, odd peaks dark.
struct peak
{
    float position = 0; // 0..1 along the sampled line
};

// One traced bar (dark) or space (light).
struct bar
{
    const int *trace = nullptr; // one column per image row
    point middle;
    point top;
    point bottom;
    int dark = 0;
};

// The light run beside a dark bar, as measured on the bar's rows.
struct quiet_zone
{
    int bar = 0; // index of the dark bar it was measured from
    int brightness = 0; // median mean grey of the light run
    int width = 0; // median width of the light run
};

// One alternative for a single digit: how much worse it fits than the best.
struct candidate
{
    float error = 0;
    int position = 0; // index into simulator::digits; -1 marks the end of a list
    signed char value = 0;
};

// The signal model. Signals are darkness: 0 white paper, about 1 black ink.
struct simulator
{
    int count = SAMPLES;
    float input[SAMPLES]; // measured profile
    float threshold[SAMPLES]; // running mean of input
    float black[SAMPLES]; // model dark level
    float white[SAMPLES]; // model light level
    float guess[SAMPLES]; // unblurred model signal
    float simulated[SAMPLES]; // guess blurred by the kernel
    int start = 0; // first sample of module 0
    int stop = 0; // end of module 94
    double angle = 0; // tilt about the vertical, radians
    double distance = 4.0; // viewing distance in half code widths
    int sections[BOUNDARIES];
    double sigma = 1.0;
    int kernel_size = 0;
    float kernel[MAX_KERNEL];
    // [0] first digit (or -1), [1..6] left digits (10..19: G-coded),
    // [7..12] right digits.
    signed char digits[13];
    candidate candidates[MAX_CANDIDATES];
    int candidate_count = 0;
};

// Per-call workspace of the decoder.
struct images
{
    cv::Mat gray; // working grey image
    cv::Mat threshold; // local row mean of gray
    // threshold already holds gray's row means (when one image is traced
    // along several rows); whoever changes gray clears it.
    bool threshold_ready = false;
    point corners[4]; // top-left, top-right, bottom-right, bottom-left
    // Work buffers, kept for the next row traced.
    std::vector<int> traces;
    std::vector<bar> bars;
    std::unique_ptr<simulator> sim;
    // How the last run ended, for callers that weigh results themselves
    // (-1: not reached): whether the last pass's guess was valid before
    // correction; the squared fit error over the code relative to the
    // squared contrast between the dark and light levels; and the extra
    // error of the closest alternative of any digit in the last pass
    // relative to one digit's contrast energy.
    bool valid_before_correction = false;
    double fit_error = -1;
    double digit_margin = -1;
    // Whether the last run's model fitted the box closely enough after its
    // first pass to be adjusted and guessed again: its bars and edges are
    // those of a code, whatever its digits.
    bool fitted_first_pass = false;
};

} // namespace barcode
