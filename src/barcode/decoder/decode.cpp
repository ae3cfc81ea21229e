#include "decode.h"
#include "adjust.h"
#include "digits.h"
#include "ean13.h"
#include "locate.h"
#include "numeric.h"
#include "sampling.h"
#include "simulator.h"
#include "trace.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace barcode {

namespace {

bool has_word(const char *flags, const char *word)
{
    return flags && std::strstr(flags, word);
}

struct stage_reporter
{
    void *context;
    progress_callback callback;
    bool verbose;

    void progress(double fraction) const
    {
        if (callback)
            callback(context, fraction);
    }
    void step(const char *message) const
    {
        if (verbose)
            std::fprintf(stderr, "%s\n", message);
    }
};

// Squared fit error over the code relative to the squared contrast of the
// model's levels there.
double relative_fit_error(const simulator &sim)
{
    const int from = sim.sections[0], to = sim.sections[MODULES];
    double contrast = 0;
    for (int j = from; j < to; ++j) {
        const double d = double(sim.black[j]) - double(sim.white[j]);
        contrast += d * d;
    }
    if (!(contrast > 0))
        return 1e9;
    return samples_error(sim, from, to) / contrast;
}

void guess_and_correct(simulator &sim, const stage_reporter &report, double p1, double p2)
{
    guess_digits(sim);
    report.progress(p1);
    // Up to three substitutions among the 20 cheapest alternatives.
    correct_errors(sim, 3, 20);
    report.progress(p2);
}

} // namespace

void create_images(images &img, cv::Size size)
{
    img = images();
    img.gray.create(size, CV_8UC1);
    img.threshold.create(size, CV_8UC1);
    img.colour.create(size, CV_8UC3);
}

void release_images(images &img)
{
    img.gray.release();
    img.threshold.release();
    img.colour.release();
}

int decode(images &img, const char *flags, void *progress_context, progress_callback progress,
           double field_of_view, int row)
{
    const bool strict = has_word(flags, "strict");
    const stage_reporter report{progress_context, progress, has_word(flags, "steps")};
    img.started = std::chrono::steady_clock::now();
    img.valid_before_correction = false;
    img.fit_error = -1;
    const cv::Mat &gray = img.gray;
    const int w = gray.cols, h = gray.rows;
    if (w < 1 || h < 1 || gray.type() != CV_8UC1)
        return 0;

    // A window of a sixtieth of the width follows the light across the code.
    adaptive_threshold(gray, img.threshold, w / 60);

    report.step("Tracing barcode lines...");
    const int y = row < 0 || row >= h ? h / 2 : row;
    std::vector<int> traces;
    std::vector<bar> bars;
    const int n = trace_barcode(gray, img.threshold, {0, y}, {w - 1, y}, w / 4, traces, bars);
    if (n <= 5)
        return 0;
    find_barcode(gray, img.threshold, n, bars, img.corners, strict, report.verbose);
    report.progress(0.1);
    const point tl = img.corners[0], tr = img.corners[1], br = img.corners[2], bl = img.corners[3];
    // Without a box every scan line samples one pixel and the edges cannot
    // be found: the same end as below, reached without the work.
    if (tl.x == 0 && tl.y == 0 && tr.x == 0 && tr.y == 0 && br.x == 0 && br.y == 0 && bl.x == 0
        && bl.y == 0)
        return 0;

    auto owned = std::make_unique<simulator>();
    simulator &sim = *owned;
    reset_simulator(sim);
    sim.count = SAMPLES;
    sim.distance = perspective_distance(gray.size(), (tl.x + bl.x) / 2.0, (tl.y + bl.y) / 2.0,
                                        (tr.x + br.x) / 2.0, (tr.y + br.y) / 2.0, field_of_view);
    sim.angle = perspective_angle(tl, tr, bl, br);
    if (!std::isfinite(sim.distance) || sim.distance <= 0)
        return 0;

    // Ten lines across the middle of the box, 20 parts of 51 left out above
    // and below.
    scanlines_median(gray, 10, 20, tl, tr, bl, br, sim.count, sim.input);
    compute_threshold(sim);
    report.progress(0.2);

    report.step("Finding left and right side of barcode...");
    sim.start = sim.count * 3 / 100;
    sim.stop = sim.count * 97 / 100;
    estimate_start_stop(sim);
    thirty_peaks(sim);
    report.progress(0.3);

    report.step("Initial estimates...");
    // The code must take up at least 400 of the 1000 samples and leave 20
    // of quiet zone on either side.
    if (sim.stop - sim.start < 400 || sim.start < 20 || sim.stop + 20 >= sim.count)
        return 0;
    fill_scanline(sim.count, sim.white, 0, sim.count, 0.0f);
    add_ramp(sim.count, sim.white, sim.start, sim.input[sim.start - 20], sim.stop,
             sim.input[sim.stop + 20]);
    float black = 1.0f;
    median(sim.count, sim.input, sim.start, sim.stop, nullptr, nullptr, nullptr, &black, nullptr);
    fill_scanline(sim.count, sim.black, 0, sim.count, black);

    sim.sigma = 20.0 / 3.0;
    compute_kernel(sim);
    compute_sections(sim);
    initial_guess(sim);
    report.progress(0.4);

    report.step("Guessing digits...");
    guess_and_correct(sim, report, 0.5, 0.6);

    report.step("Adjusting parameters and guessing again...");
    adjust_start_stop(sim, 8);
    adjust_sigma(sim, 10, 1.0, 0.5);
    adjust_light_levels(sim, 0.5);
    report.progress(0.7);
    guess_and_correct(sim, report, 0.75, 0.8);

    report.step("Adjusting and guessing one last time...");
    adjust_start_stop(sim, 8);
    adjust_sigma(sim, 10, 0.5, 1.0);
    adjust_light_levels(sim, 1.0);
    report.progress(0.9);
    guess_digits(sim);
    report.progress(0.95);
    img.valid_before_correction = is_valid_barcode(sim.digits);
    correct_errors(sim, 3, 20);
    report.progress(1.0);
    img.fit_error = relative_fit_error(sim);

    // Correction makes nearly any guess pass the check digit, so the check
    // digit alone proves nothing: the last guess must have been right by
    // itself, and the model must explain the profile.
    if (!strict && (!img.valid_before_correction || !(img.fit_error < MAX_FIT_ERROR)))
        return 0;

    printable_digits(sim.digits, img.digits);
    return 1;
}

} // namespace barcode
