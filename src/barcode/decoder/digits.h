#pragma once

// Choosing digits by rendering every candidate pattern through the model and
// keeping the closest, then making the result satisfy the check digit.

#include "decoder_records.h"

namespace barcode {

// Tries the first n codes of `table` in the 7 modules bounded by bounds[0..7]
// for digit `position`; returns the best value. The others are appended to
// the candidate list with their error above the best one's.
int guess_digit(simulator &sim, const int *bounds, int position, int n, const int *table);

// Guesses all twelve coded digits, renders the result and derives the first
// digit.
void guess_digits(simulator &sim);

// Cheapest substitution of up to `depth` entries of `list` (ended by
// position -1) that makes `digits` valid; writes it and returns its cost,
// 0 when the digits are valid already and 1000000 when none exists.
double best_valid_barcode(const candidate *list, int depth, signed char *digits);

// Makes the digits valid with the cheapest alternatives among the
// `max_candidates` best, when that is possible, and renders them.
void correct_errors(simulator &sim, int depth, int max_candidates);

} // namespace barcode
