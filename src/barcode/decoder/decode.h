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
// A second guess that fails the check digit before correction, with a fit
// this far off, is not put right by the last pass: on the tuning half of
// the photo sets the right reads whose second guess failed the check
// fitted within 0.030 (12 reads), while 100 runs that ended without a
// result fitted at 0.035 or worse with such a guess.
constexpr double MAX_SECOND_FIT_ERROR_UNCHECKED = 0.035;

// Why a run gave no digits.
enum class failure {
    none,
    // Not an 8-bit grey working image of at least one pixel.
    unusable_image,
    // The traced row crossed 5 bars or fewer.
    too_few_bars,
    // Strict mode gives up on an odd number of bars.
    odd_bar_count,
    // No pair of quiet zones made a box around the bars.
    no_box,
    // The box gives no viewing distance: it has no width, or it is several
    // times wider than the image.
    degenerate_box,
    // The profile across the box shows no start and stop of a code at
    // least 400 samples apart with 20 samples of quiet zone beyond them.
    no_code_edges,
    // Default mode: the model stayed too far from the profile.
    poor_fit,
    // Default mode: the last pass's digits failed the check digit before
    // error correction.
    check_digit_failed,
    // Default mode: a digit had a runner-up that fitted nearly as well.
    ambiguous_digit,
};

// How a run ended: the digits, or why there are none.
struct decode_result
{
    failure reason = failure::none;
    // The 13 digit characters and a terminating zero when reason is none.
    // Without the result check (strict, or check_result off) whatever was
    // read comes back: "/" first when no first digit fits the parity of the
    // left half.
    char digits[14] = {};

    bool ok() const { return reason == failure::none; }
};

// Why a finished run's result is not convincing (see above), or
// failure::none when it is.
failure weigh_result(const images &img);

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

// Runs the pipeline on img.gray along `row` (-1: the middle row): the
// digits, or the stage that gave up.
decode_result decode(images &img, const decode_options &options, int row = -1);

// The two halves of decode. locate_barcode traces `row` and writes the box
// to img.corners (zero first); failure::none when there is a box.
// read_barcode samples the box and fits the code; what it returns depends
// on nothing but img.gray and img.corners.
failure locate_barcode(images &img, const decode_options &options, int row = -1);
decode_result read_barcode(images &img, const decode_options &options);

} // namespace barcode
