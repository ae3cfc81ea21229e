#include "adjust.h"
#include "numeric.h"
#include "simulator.h"

#include <algorithm>

namespace barcode {

void adjust_side(simulator &sim, int &value, int from, int to, int reach)
{
    // The reference is whatever is rendered now; after adjust_start_stop's
    // reset that is nothing, so any trial beats it.
    double best_error = samples_error(sim, from, to);
    const int original = value;
    int best = original;
    for (int v = original - reach; v <= original + reach; ++v) {
        value = v;
        compute_sections(sim);
        simulate_range(sim, from - 20, to + 20);
        const double error = samples_error(sim, from, to);
        if (error < best_error) {
            best_error = error;
            best = v;
        }
    }
    value = best;
    compute_sections(sim);
    simulate_range(sim, from - 20, to + 20);
}

void adjust_start_stop(simulator &sim, int reach)
{
    for (int i = 0; i < sim.count; ++i) {
        sim.guess[i] = sim.white[i];
        sim.simulated[i] = NOT_RENDERED;
    }
    // The start side: quiet zone, start guard and the first module of the
    // first digit; the stop side likewise.
    adjust_side(sim, sim.start, sim.start - 20, sim.sections[4], reach);
    adjust_side(sim, sim.stop, sim.sections[91], sim.stop + 20, reach);
    simulate_range(sim, sim.start - 20, sim.stop + 20);
}

void adjust_sigma(simulator &sim, int reach, double step, double blend)
{
    const int from = sim.sections[0], to = sim.sections[MODULES];
    const double old = sim.sigma;
    double best = old;
    double best_error = samples_error(sim, from, to);
    for (int i = -reach; i <= reach; ++i) {
        const double sigma = old + i * step;
        if (i == 0 || sigma < 1)
            continue;
        sim.sigma = sigma;
        compute_kernel(sim);
        // Only the code is compared; the whole signal is blurred once the
        // sigma is chosen.
        blur(sim, from, to);
        const double error = samples_error(sim, from, to);
        if (error < best_error) {
            best_error = error;
            best = sigma;
        }
    }
    sim.sigma = (1 - blend) * old + blend * best;
    compute_kernel(sim);
    blur(sim, 0, sim.count);
}

void segment_adjustments(const simulator &sim, int from, int to, float &dark, float &light)
{
    float in5 = 0, in95 = 0, sim5 = 0, sim95 = 0;
    median(sim.count, sim.input, from, to, nullptr, &in5, nullptr, &in95, nullptr);
    median(sim.count, sim.simulated, from, to, nullptr, &sim5, nullptr, &sim95, nullptr);
    dark = in95 - sim95;
    light = in5 - sim5;
}

void adjust_light_level(simulator &sim, float *level, const float corrections[8], double blend)
{
    float a[8];
    a[0] = corrections[0];
    a[7] = corrections[7];
    for (int k = 1; k <= 6; ++k)
        a[k] = (corrections[k - 1] + corrections[k] + corrections[k + 1]) / 3;
    const int n = sim.count, start = sim.start, stop = sim.stop, L = stop - start;
    const float x = float(blend);
    for (int j = 0; j < 7; ++j) {
        const int b0 = start + j * L / 7, b1 = start + (j + 1) * L / 7;
        for (int i = clip(b0, 0, n), e = clip(b1, 0, n); i < e; ++i)
            level[i] += x * (a[j] + (a[j + 1] - a[j]) * float(i - b0) / float(b1 - b0));
    }
    for (int i = 0, e = clip(start, 0, n); i < e; ++i)
        level[i] += x * a[0];
    for (int i = clip(stop, 0, n); i < n; ++i)
        level[i] += x * a[7];
}

void adjust_light_levels(simulator &sim, double blend)
{
    const int start = sim.start, stop = sim.stop, L = stop - start;
    float dark[8], light[8];
    for (int k = 0; k < 8; ++k) {
        // Windows of two sevenths centred on the eight seventh boundaries.
        const int from = clip(start + (k - 1) * L / 7, start, std::max(start, stop));
        const int to = clip(start + (k + 1) * L / 7, start, std::max(start, stop));
        segment_adjustments(sim, from, to, dark[k], light[k]);
    }
    adjust_light_level(sim, sim.black, dark, blend);
    adjust_light_level(sim, sim.white, light, blend);
}

} // namespace barcode
