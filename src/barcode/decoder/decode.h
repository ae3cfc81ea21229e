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

// Largest acceptable final fit error (see images::fit_error) of the
// checked mode.
constexpr double MAX_FIT_ERROR = 0.01;

// Runs the pipeline on img.gray along `row` (-1: the middle row). Returns 1
// with img.digits filled, or 0 when a stage gave up. Flags is a text of
// words: "strict" runs the pipeline exactly as first designed (an odd number
// of bars gives up, every run that gets through is a result); without it an
// odd number of bars is searched as well and a result must have been valid
// before error correction and fit closely. "steps" prints the stages and
// the locating diagnostics on standard error.
int decode(images &img, const char *flags, void *progress_context, progress_callback progress,
           double field_of_view, int row = -1);

} // namespace barcode
