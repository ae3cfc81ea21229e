#pragma once

// Refining the model between the guessing passes: where the code starts and
// stops, how much it is blurred, and its light and dark levels.

#include "decoder_records.h"

namespace barcode {

// Tries value - reach .. value + reach for `value` (start or stop) and keeps
// the one whose rendering fits [from, to) best.
void adjust_side(simulator &sim, int &value, int from, int to, int reach);
void adjust_start_stop(simulator &sim, int reach);

// Tries sigma + i * step for i = -reach..reach (never below 1), then moves
// sigma by `blend` of the way to the best.
void adjust_sigma(simulator &sim, int reach, double step, double blend);

// dark = p95(input) - p95(simulated), light = p5(input) - p5(simulated)
// over [from, to).
void segment_adjustments(const simulator &sim, int from, int to, float &dark, float &light);
// Adds `blend` times the smoothed, interpolated corrections to `level`.
void adjust_light_level(simulator &sim, float *level, const float corrections[8], double blend);
void adjust_light_levels(simulator &sim, double blend);

} // namespace barcode
