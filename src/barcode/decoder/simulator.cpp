#include "simulator.h"
#include "ean13.h"
#include "numeric.h"
#include "sampling.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace barcode {

namespace {

// Module groups of the symbol as ranges of boundary indexes.
constexpr int START_GUARD = 0; // boundaries 0..3, code 101
constexpr int LEFT = 3; // six digits of 7 modules
constexpr int MIDDLE_GUARD = 45; // boundaries 45..50, code 01010
constexpr int RIGHT = 50; // six digits of 7 modules
constexpr int END_GUARD = 92; // boundaries 92..95, code 101

int left_code(int value)
{
    return LG[clip(digit_value(value), 0, 19)];
}

int right_code(int value)
{
    return R[clip(digit_value(value), 0, 19) % 10];
}

void fill_white(simulator &sim, int from, int to)
{
    for (int i = clip(from, 0, sim.count), e = clip(to, 0, sim.count); i < e; ++i)
        sim.guess[i] = sim.white[i];
}

} // namespace

void reset_simulator(simulator &sim)
{
    sim.count = SAMPLES;
    std::fill_n(sim.input, SAMPLES, 0.5f);
    std::fill_n(sim.threshold, SAMPLES, 0.5f);
    std::fill_n(sim.black, SAMPLES, 1.0f);
    std::fill_n(sim.white, SAMPLES, 0.0f);
    std::fill_n(sim.guess, SAMPLES, 0.5f);
    std::fill_n(sim.simulated, SAMPLES, 0.5f);
    sim.start = sim.stop = 0;
    sim.angle = 0;
    sim.distance = 4.0;
    std::fill_n(sim.sections, BOUNDARIES, 0);
    sim.sigma = 1.0;
    sim.kernel_size = 0;
    std::fill_n(sim.kernel, MAX_KERNEL, 0.0f);
    std::memset(sim.digits, 0, sizeof sim.digits);
    std::fill_n(sim.candidates, MAX_CANDIDATES, candidate());
    sim.candidate_count = 0;
}

void compute_kernel(simulator &sim)
{
    // Six sigma covers the kernel's tails.
    const long a = std::lrint(std::clamp(6 * sim.sigma, 0.0, 1000.0));
    int size = int(a % 2 == 0 ? a + 1 : a);
    size = std::clamp(size, 1, MAX_KERNEL);
    sim.kernel_size = size;
    compute_gaussian_kernel(size, sim.kernel, sim.sigma);
}

void calculate_sections(int count, int start, int stop, double distance, double angle, int *sections)
{
    for (int i = 0; i < BOUNDARIES; ++i) {
        const double v = 2.0 * i / MODULES - 1;
        double offset = q(distance, angle, v) * (stop - start);
        // A degenerate viewing model must not place boundaries anywhere.
        if (!std::isfinite(offset))
            offset = (stop - start) * (v + 1) / 2;
        offset = std::clamp(offset, double(-count - 1), double(2 * count + 1));
        sections[i] = clip(start + int(std::lrint(offset)), 0, count);
    }
}

void compute_sections(simulator &sim)
{
    calculate_sections(sim.count, sim.start, sim.stop, sim.distance, sim.angle, sim.sections);
}

void encode_bits(simulator &sim, const int *b, int n, int code)
{
    for (int i = 0; i < n; ++i) {
        const bool bar = (code >> (n - 1 - i)) & 1;
        const float *level = bar ? sim.black : sim.white;
        for (int j = clip(b[i], 0, sim.count), e = clip(b[i + 1], 0, sim.count); j < e; ++j)
            sim.guess[j] = level[j];
    }
}

void encode_ean13(simulator &sim, const signed char *digits)
{
    // Values 10-19 carry their own (G) parity. Plain values 0-9 follow the
    // first digit's pattern; without a valid first digit they stay L.
    const int first = digit_value(digits[0]);
    const int parity = first >= 0 && first <= 9 ? FIRST_DIGIT[first] : 0;
    encode_bits(sim, sim.sections + START_GUARD, 3, 5);
    for (int k = 0; k < 6; ++k) {
        int value = digit_value(digits[1 + k]);
        if (value >= 0 && value <= 9 && ((parity >> (5 - k)) & 1))
            value += 10;
        encode_bits(sim, sim.sections + LEFT + 7 * k, 7, left_code(value));
    }
    encode_bits(sim, sim.sections + MIDDLE_GUARD, 5, 10);
    for (int k = 0; k < 6; ++k)
        encode_bits(sim, sim.sections + RIGHT + 7 * k, 7, right_code(digits[7 + k]));
    encode_bits(sim, sim.sections + END_GUARD, 3, 5);
}

void initial_guess(simulator &sim)
{
    for (int i = 0; i < sim.count; ++i) {
        sim.guess[i] = (sim.black[i] + sim.white[i]) / 2;
        sim.simulated[i] = NOT_RENDERED;
    }
    fill_white(sim, 0, sim.sections[0]);
    fill_white(sim, sim.sections[MODULES], sim.count);
    encode_bits(sim, sim.sections + START_GUARD, 3, 5);
    encode_bits(sim, sim.sections + MIDDLE_GUARD, 5, 10);
    encode_bits(sim, sim.sections + END_GUARD, 3, 5);
    // Every left code begins with a space and ends with a bar; every right
    // code begins with a bar and ends with a space.
    for (int k = 0; k < 6; ++k) {
        encode_bits(sim, sim.sections + 2 + 7 * k, 2, 2);
        encode_bits(sim, sim.sections + 49 + 7 * k, 2, 1);
    }
}

double samples_error(const simulator &sim, int from, int to)
{
    double sum = 0;
    for (int j = clip(from, 0, sim.count), e = clip(to, 0, sim.count); j < e; ++j) {
        const double d = double(sim.simulated[j]) - double(sim.input[j]);
        sum += d * d;
    }
    return sum;
}

void blur(simulator &sim, int from, int to)
{
    convolve_1d(sim.kernel_size, sim.kernel, sim.count, sim.guess, sim.simulated, from, to);
}

void simulate_range(simulator &sim, int from, int to)
{
    const int *sec = sim.sections;
    int s = 0;
    while (s < BOUNDARIES && sec[s] < from)
        ++s;
    // The group holding module s - 1 (the module that ends at boundary s).
    const int module = s - 1;
    int group; // boundary index where the group begins; -1 before, 95 after
    if (module < 0)
        group = -1;
    else if (module < LEFT)
        group = START_GUARD;
    else if (module < MIDDLE_GUARD)
        group = LEFT + 7 * ((module - LEFT) / 7);
    else if (module < RIGHT)
        group = MIDDLE_GUARD;
    else if (module < END_GUARD)
        group = RIGHT + 7 * ((module - RIGHT) / 7);
    else if (module < MODULES)
        group = END_GUARD;
    else
        group = MODULES;

    for (;;) {
        int end; // boundary index where the group ends
        if (group < 0) {
            fill_white(sim, from, sec[0]);
            end = 0;
        } else if (group == START_GUARD || group == END_GUARD) {
            encode_bits(sim, sec + group, 3, 5);
            end = group + 3;
        } else if (group == MIDDLE_GUARD) {
            encode_bits(sim, sec + group, 5, 10);
            end = group + 5;
        } else if (group < MIDDLE_GUARD) {
            encode_bits(sim, sec + group, 7, left_code(sim.digits[1 + (group - LEFT) / 7]));
            end = group + 7;
        } else if (group < END_GUARD) {
            encode_bits(sim, sec + group, 7, right_code(sim.digits[7 + (group - RIGHT) / 7]));
            end = group + 7;
        } else {
            fill_white(sim, sec[MODULES], to);
            break;
        }
        if (sec[end] >= to)
            break;
        group = end;
    }
    blur(sim, from, to);
}

} // namespace barcode
