#include "decode.h"
#include "adjust.h"
#include "digits.h"
#include "ean13.h"
#include "locate.h"
#include "numeric.h"
#include "sampling.h"
#include "simulator.h"
#include "trace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace barcode {

namespace {

struct stage_reporter
{
    const decode_options &options;

    void progress(double fraction) const
    {
        if (options.progress)
            options.progress(options.progress_context, fraction);
    }
    void step(const char *message) const
    {
        if (options.verbose)
            std::fprintf(stderr, "%s\n", message);
    }
};

// Sum of the squared contrast between the model's levels over the code.
double contrast_energy(const simulator &sim)
{
    double contrast = 0;
    for (int j = sim.sections[0]; j < sim.sections[MODULES]; ++j) {
        const double d = double(sim.black[j]) - double(sim.white[j]);
        contrast += d * d;
    }
    return contrast;
}

// Squared fit error over the code relative to its contrast energy.
double relative_fit_error(const simulator &sim)
{
    const double contrast = contrast_energy(sim);
    if (!(contrast > 0))
        return 1e9;
    return samples_error(sim, sim.sections[0], sim.sections[MODULES]) / contrast;
}

// How much worse the closest alternative of any digit fits than the chosen
// one, relative to the contrast energy of one digit (7 of 95 modules).
double digit_margin(const simulator &sim)
{
    const double per_digit = contrast_energy(sim) * 7 / MODULES;
    if (!(per_digit > 0) || sim.candidate_count == 0)
        return 0;
    double closest = sim.candidates[0].error;
    for (int i = 1; i < sim.candidate_count; ++i)
        closest = std::min(closest, double(sim.candidates[i].error));
    return closest / per_digit;
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

failure weigh_result(const images &img)
{
    if (!img.valid_before_correction)
        return failure::check_digit_failed;
    if (!(img.digit_margin >= MIN_DIGIT_MARGIN))
        return failure::ambiguous_digit;
    if (img.fit_error < MAX_FIT_ERROR)
        return failure::none;
    if (!(img.fit_error < MAX_LOOSE_FIT_ERROR))
        return failure::poor_fit;
    // A loose fit: some runner-up lies within the misfit.
    if (!(img.digit_margin >= img.fit_error))
        return failure::ambiguous_digit;
    return failure::none;
}

void create_images(images &img, cv::Size size)
{
    img = images();
    img.gray.create(size, CV_8UC1);
    img.threshold.create(size, CV_8UC1);
}

void release_images(images &img)
{
    img.gray.release();
    img.threshold.release();
    img.threshold_ready = false;
    img.traces = {};
    img.bars = {};
    img.sim.reset();
}

failure locate_barcode(images &img, const decode_options &options, int row)
{
    std::fill(img.corners, img.corners + 4, point());
    const cv::Mat &gray = img.gray;
    const int w = gray.cols, h = gray.rows;
    if (w < 1 || h < 1 || gray.type() != CV_8UC1)
        return failure::unusable_image;

    // A window of a sixtieth of the width follows the light across the code.
    if (!img.threshold_ready || img.threshold.size() != gray.size()) {
        adaptive_threshold(gray, img.threshold, w / 60);
        img.threshold_ready = true;
    }

    const stage_reporter report { options };
    report.step("Tracing barcode lines...");
    const int y = row < 0 || row >= h ? h / 2 : row;
    std::vector<int> &traces = img.traces;
    std::vector<bar> &bars = img.bars;
    const int n = trace_barcode(gray, img.threshold, { 0, y }, { w - 1, y }, w / 4, traces, bars);
    if (n <= 5)
        return failure::too_few_bars;
    if (options.strict && n % 2 == 1)
        return failure::odd_bar_count;
    find_barcode(gray, img.threshold, n, bars, img.corners, options.verbose);
    // Without a box every scan line would sample one pixel and the edges
    // could not be found: reading would give up the same way.
    const bool found = std::any_of(img.corners, img.corners + 4, [](point p) { return p.x != 0 || p.y != 0; });
    return found ? failure::none : failure::no_box;
}

decode_result decode(images &img, const decode_options &options, int row)
{
    if (const failure located = locate_barcode(img, options, row); located != failure::none)
        return { located };
    stage_reporter { options }.progress(0.1);
    return read_barcode(img, options);
}

decode_result read_barcode(images &img, const decode_options &options)
{
    // The default mode gives up on a run as soon as it cannot be convincing.
    const bool checked = !options.strict && options.check_result;
    const stage_reporter report { options };
    img.valid_before_correction = false;
    img.fit_error = img.digit_margin = -1;
    img.fitted_first_pass = false;
    const cv::Mat &gray = img.gray;
    if (gray.empty())
        return { failure::unusable_image };
    const point tl = img.corners[0], tr = img.corners[1], br = img.corners[2], bl = img.corners[3];

    if (!img.sim)
        img.sim = std::make_unique<simulator>();
    simulator &sim = *img.sim;
    reset_simulator(sim);
    sim.count = SAMPLES;
    sim.distance = perspective_distance(gray.size(), (tl.x + bl.x) / 2.0, (tl.y + bl.y) / 2.0, (tr.x + br.x) / 2.0,
                                        (tr.y + br.y) / 2.0, options.field_of_view);
    sim.angle = perspective_angle(tl, tr, bl, br);
    if (!std::isfinite(sim.distance) || sim.distance <= 0)
        return { failure::degenerate_box };

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
        return { failure::no_code_edges };
    fill_scanline(sim.count, sim.white, 0, sim.count, 0.0f);
    add_ramp(sim.count, sim.white, sim.start, sim.input[sim.start - 20], sim.stop, sim.input[sim.stop + 20]);
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
    // A model this far off the profile will not become convincing in the
    // passes left: save their work.
    const double first_fit = relative_fit_error(sim);
    if (checked && !(first_fit < MAX_FIRST_FIT_ERROR))
        return { failure::poor_fit };
    img.fitted_first_pass = first_fit < MAX_FIRST_FIT_ERROR;

    report.step("Adjusting parameters and guessing again...");
    adjust_start_stop(sim, 8);
    adjust_sigma(sim, 10, 1.0, 0.5);
    adjust_light_levels(sim, 0.5);
    report.progress(0.7);
    guess_digits(sim);
    report.progress(0.75);
    const bool second_valid = is_valid_barcode(sim.digits);
    correct_errors(sim, 3, 20);
    report.progress(0.8);
    if (checked) {
        const double second_fit = relative_fit_error(sim);
        if (!(second_fit < MAX_SECOND_FIT_ERROR))
            return { failure::poor_fit };
        if (!second_valid && !(second_fit < MAX_SECOND_FIT_ERROR_UNCHECKED))
            return { failure::check_digit_failed };
    }

    report.step("Adjusting and guessing one last time...");
    adjust_start_stop(sim, 8);
    adjust_sigma(sim, 10, 0.5, 1.0);
    adjust_light_levels(sim, 1.0);
    report.progress(0.9);
    guess_digits(sim);
    report.progress(0.95);
    img.valid_before_correction = is_valid_barcode(sim.digits);
    img.digit_margin = digit_margin(sim);
    correct_errors(sim, 3, 20);
    report.progress(1.0);
    img.fit_error = relative_fit_error(sim);

    // Every strict run that gets here is a result; the default mode insists
    // on a convincing one.
    if (checked) {
        if (const failure weighed = weigh_result(img); weighed != failure::none)
            return { weighed };
    }

    decode_result result;
    printable_digits(sim.digits, result.digits);
    return result;
}

} // namespace barcode
