#pragma once

// The decoder pipeline over one grey working image.

#include "decoder_records.h"

namespace barcode {

using progress_callback = void (*)(void *context, double fraction);

// Field of view of the camera along the image diagonal: 46 degrees.
constexpr double FIELD_OF_VIEW = 0.8028514559173915;

// Makes the workspace for a working image of `size` (cleared first).
void create_images(images &img, cv::Size size);
void release_images(images &img);

// What the default mode accepts. Error correction makes nearly every guess
// pass the check digit, so the check digit alone proves nothing: the last
// pass's guess must have been valid before correction, no digit may have
// had a close runner-up (MIN_DIGIT_MARGIN of a digit's contrast energy),
// and the model must explain the profile: a fit error (images::fit_error)
// below MAX_FIT_ERROR, or up to MAX_LOOSE_FIT_ERROR when every digit's
// runner-up fits worse by more than the whole misfit. Measured on the
// photo sets: right reads mostly fit within 1 %, sharp small codes a little
// worse; wrong reads had a runner-up within 0.15 % or a loose fit with
// close runners-up.
constexpr double MAX_FIT_ERROR = 0.01;
constexpr double MAX_LOOSE_FIT_ERROR = 0.03;
constexpr double MIN_DIGIT_MARGIN = 0.002;
// After the first and second pass a fit this far off never came within
// the limits above: the remaining passes are skipped.
constexpr double MAX_FIRST_FIT_ERROR = 0.08;
constexpr double MAX_SECOND_FIT_ERROR = 0.04;

// Whether a finished run's result is convincing (see above).
bool convincing(const images &img);

// What a call of the pipeline does besides decoding.
struct decode_options
{
    // The bare pipeline: an odd number of bars gives up, and every run that
    // gets through is a result. Without it an odd number of bars is
    // searched as well, and a result must have been valid before error
    // correction, fit closely and have no close second for any digit.
    bool strict = false;
    // Whether the default mode checks its result; off only for measuring
    // what the check refuses.
    bool check_result = true;
    // Prints the stages and the locating diagnostics on standard error.
    bool verbose = false;
    double field_of_view = FIELD_OF_VIEW;
    // Called with the fraction of the work done after each stage.
    progress_callback progress = nullptr;
    void *progress_context = nullptr;
};

// Runs the pipeline on img.gray along `row` (-1: the middle row). Returns 1
// with img.digits filled, or 0 when a stage gave up.
int decode(images &img, const decode_options &options, int row = -1);

// The two halves of decode. locate_barcode traces `row` and writes the box
// to img.corners (zero first); 1 when there is a box. read_barcode samples
// the box and fits the code; what it returns depends on nothing but
// img.gray and img.corners.
int locate_barcode(images &img, const decode_options &options, int row = -1);
int read_barcode(images &img, const decode_options &options);

} // namespace barcode
