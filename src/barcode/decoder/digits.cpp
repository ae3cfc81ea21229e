#include "digits.h"
#include "ean13.h"
#include "simulator.h"

#include <algorithm>
#include <cstring>

namespace barcode {

int guess_digit(simulator &sim, const int *bounds, int position, int n, const int *table)
{
    const int first = sim.candidate_count;
    n = std::min(n, MAX_CANDIDATES - 1 - first);
    if (n <= 0)
        return 0;
    int best = first;
    double best_error = NOT_RENDERED;
    for (int v = 0; v < n; ++v) {
        encode_bits(sim, bounds, 7, table[v]);
        blur(sim, bounds[0], bounds[7]);
        const double error = samples_error(sim, bounds[0], bounds[7]);
        sim.candidates[sim.candidate_count++] = { float(error), position, static_cast<signed char>(v) };
        if (error < best_error) {
            best_error = error;
            best = sim.candidate_count - 1;
        }
    }
    // The guess keeps the last pattern tried; the next digit is judged
    // against it.
    const float base = sim.candidates[best].error;
    for (int i = first; i < sim.candidate_count; ++i)
        sim.candidates[i].error -= base;
    const int value = sim.candidates[best].value;
    sim.candidates[best] = sim.candidates[sim.candidate_count - 1];
    --sim.candidate_count;
    return value;
}

void guess_digits(simulator &sim)
{
    sim.candidate_count = 0;
    sim.digits[0] = 0;
    for (int k = 1; k <= 6; ++k) {
        // The second digit of an EAN-13 code is always L-coded.
        sim.digits[k]
            = static_cast<signed char>(guess_digit(sim, sim.sections + 3 + 7 * (k - 1), k, k == 1 ? 10 : 20, LG));
        sim.digits[6 + k] = static_cast<signed char>(guess_digit(sim, sim.sections + 50 + 7 * (k - 1), 6 + k, 10, R));
    }
    encode_ean13(sim, sim.digits);
    blur(sim, 0, sim.count);
    sim.digits[0] = static_cast<signed char>(ean13_first_digit(sim.digits));
}

double best_valid_barcode(const candidate *list, int depth, signed char *digits)
{
    if (is_valid_barcode(digits))
        return 0;
    double best_cost = NOT_RENDERED;
    signed char best[13];
    bool found = false;
    for (const candidate *e = list; e->position != -1; ++e) {
        signed char copy[13];
        std::memcpy(copy, digits, sizeof copy);
        copy[e->position] = e->value;
        if (e->position >= 2 && e->position <= 6)
            copy[0] = static_cast<signed char>(ean13_first_digit(copy));
        double cost;
        if (depth <= 1) {
            if (!is_valid_barcode(copy))
                continue;
            cost = e->error;
        } else {
            cost = e->error + best_valid_barcode(e + 1, depth - 1, copy);
        }
        if (cost < best_cost) {
            best_cost = cost;
            std::memcpy(best, copy, sizeof best);
            found = true;
        }
    }
    if (found)
        std::memcpy(digits, best, sizeof best);
    return best_cost;
}

void correct_errors(simulator &sim, int depth, int max_candidates)
{
    if (is_valid_barcode(sim.digits))
        return;
    candidate *list = sim.candidates;
    std::stable_sort(list, list + sim.candidate_count,
                     [](const candidate &a, const candidate &b) { return a.error < b.error; });
    sim.candidate_count = std::clamp(std::min(sim.candidate_count, max_candidates), 0, MAX_CANDIDATES - 1);
    list[sim.candidate_count].position = -1;
    best_valid_barcode(list, depth, sim.digits);
    encode_ean13(sim, sim.digits);
    blur(sim, 0, sim.count);
}

} // namespace barcode
