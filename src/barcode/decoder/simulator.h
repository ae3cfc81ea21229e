#pragma once

// The model of the printed code: module boundaries from a perspective model,
// light and dark levels per sample, and the blurred rendering of a guess.

#include "decoder_records.h"

namespace barcode {

void reset_simulator(simulator &sim);

// Kernel of the largest odd size not above lrint(6 sigma) + 1, at most 51.
void compute_kernel(simulator &sim);

// The 96 module boundaries for the given start, stop and viewing model,
// clipped to the samples.
void calculate_sections(int count, int start, int stop, double distance, double angle, int *sections);
void compute_sections(simulator &sim);

// Samples b[i] .. b[i+1]-1 of guess take black (bit 1) or white (bit 0) for
// the n bits of code, highest bit first.
void encode_bits(simulator &sim, const int *b, int n, int code);
// The whole code from 13 digit values (or characters "0"-"9").
void encode_ean13(simulator &sim, const signed char *digits);

// The known parts: guards, and the modules at every digit boundary that all
// codes share; the rest halfway between black and white.
void initial_guess(simulator &sim);

// Sum of squared differences of simulated and input over [from, to).
double samples_error(const simulator &sim, int from, int to);

// simulated = guess blurred by the kernel over [from, to).
void blur(simulator &sim, int from, int to);

// Renders the code's module groups that reach into [from, to) and blurs
// that range.
void simulate_range(simulator &sim, int from, int to);

} // namespace barcode
