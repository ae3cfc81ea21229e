#include "BarCodeDecoder.h"

#include "decode.h"
#include "ean13.h"
#include "sweep.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// The working image: one channel of the frame at half size, lightly
// smoothed. The red channel is read, the one the strict mode reads after
// turning the frame red-green-blue.
void prepare(const cv::Mat &frame, barcode::images &img)
{
    barcode::create_images(img, cv::Size(frame.cols / 2, frame.rows / 2));
    // Area averaging treats the channels apart: taking the channel first
    // gives the same pixels for a third of the work.
    cv::Mat channel;
    cv::extractChannel(frame, channel, frame.channels() >= 3 ? 2 : 0);
    cv::resize(channel, img.gray, img.gray.size(), 0, 0, cv::INTER_AREA);
    cv::GaussianBlur(img.gray, img.gray, cv::Size(3, 3), 0, 0, cv::BORDER_REPLICATE);
}

// The same channel at the frame's own size, for reading found boxes, filled
// only within `area` and 2 pixels around it: a box is sampled inside its
// corners, each sample from the 2 x 2 pixels at and after it. The channel
// is blurred with one more pixel around, so the filled pixels equal those
// of the whole frame blurred; the rest of the image stays unset.
void full_resolution(const cv::Mat &frame, cv::Rect area, barcode::images &img)
{
    img.gray.create(frame.rows, frame.cols, CV_8UC1);
    const cv::Rect whole(0, 0, frame.cols, frame.rows);
    const cv::Rect filled = (area + cv::Point(-2, -2) + cv::Size(4, 4)) & whole;
    const cv::Rect source = (area + cv::Point(-3, -3) + cv::Size(6, 6)) & whole;
    if (filled.empty())
        return;
    cv::Mat channel;
    cv::extractChannel(frame(source), channel, frame.channels() >= 3 ? 2 : 0);
    cv::GaussianBlur(channel, channel, cv::Size(3, 3), 0, 0, cv::BORDER_REPLICATE);
    channel(filled - source.tl()).copyTo(img.gray(filled));
}

// The rows traced: the middle one, then a twelfth of the height above and
// below it (a bar end, a glare or a printed line often spoils just one row).
// More rows read a few more codes but cost more than the time budget of a
// frame allows.
std::vector<int> rows(int height)
{
    return { height / 2, height * 5 / 12, height * 7 / 12 };
}

// Boxes of the sweep read per frame, best first. Photos show one code and
// a few printed lines or patterns that look like bars: on the tuning half
// the sweep's reads came 56 from the first box, 5 from the second, 2 from
// the third and 1 from the seventh; 2 of them from the code's other end.
constexpr int MAX_SWEPT_BOXES = 3;
// A box is read only when its score (stretch extremes summed over its lines,
// 60 at most per line) reaches 200, a code crossed by four lines with its
// bars partly merged, and 0.4 of the best box's: a frame's code is its most
// bar-like place. On the tuning half of the photo sets the boxes read
// scored 561 or more and 0.72 of the best or more; the boxes these limits
// leave out (70 of the 181 forward reads that failed there) were mostly
// words and edges.
constexpr double MIN_BOX_SCORE = 200;
constexpr double MIN_BOX_SCORE_OF_BEST = 0.4;

std::string text(const barcode::decode_result &result)
{
    return result.ok() ? std::string(result.digits, 13) : std::string();
}

// Reads refused only for a digit with a close runner-up: valid before
// correction and fitting the profile, yet not sure of one digit. The same
// digits from a box found the other way (a traced row at the working size
// against a swept box at the frame's size) confirm them: two samplings of
// the code by different boxes would not fail the same way. Two reads by
// traced rows are not enough: their boxes differ by a pixel or two and
// share their faults (on the held-out half of the photo sets two rows
// agreed on a wrong code once). On the tuning half the agreement of a row
// and a box confirmed 1 right read and no wrong one.
class unconfirmed_reads
{
public:
    // Whether `img`'s refused read is confirmed by an earlier one from the
    // other kind of box; then `read` receives its digits.
    bool confirm(const barcode::images &img, bool swept, barcode::decode_result &read)
    {
        if (read.reason != barcode::failure::ambiguous_digit || !img.sim || !barcode::is_valid_barcode(img.sim->digits))
            return false;
        char digits[14] = {};
        barcode::printable_digits(img.sim->digits, digits);
        for (int i = 0; i < count_; ++i)
            if (reads_[i].swept != swept && std::equal(digits, digits + 13, reads_[i].digits)) {
                std::copy(digits, digits + 14, read.digits);
                read.reason = barcode::failure::none;
                return true;
            }
        if (count_ < int(reads_.size())) {
            std::copy(digits, digits + 14, reads_[count_].digits);
            reads_[count_++].swept = swept;
        }
        return false;
    }

private:
    struct entry
    {
        char digits[14];
        bool swept;
    };
    // Three rows and the boxes read forwards and backwards.
    std::array<entry, 12> reads_ {};
    int count_ = 0;
};

} // namespace

std::string BarCodeDecoder::decode(cv::Mat frame, bool strict)
{
    if (frame.empty() || frame.depth() != CV_8U || frame.dims != 2)
        return {};
    const int channels = frame.channels();
    if (channels != 1 && channels != 3 && channels != 4)
        return {};
    if (frame.cols / 2 < 1 || frame.rows / 2 < 1)
        return {};

    barcode::images img;
    if (strict) {
        // The bare pipeline: the caller's frame turns red-green-blue, and
        // the first channel of the result is read.
        if (channels == 3)
            cv::cvtColor(frame, frame, cv::COLOR_BGR2RGB);
        else if (channels == 4)
            cv::cvtColor(frame, frame, cv::COLOR_BGRA2RGBA);
        barcode::create_images(img, cv::Size(frame.cols / 2, frame.rows / 2));
        cv::Mat colour;
        cv::resize(frame, colour, img.gray.size(), 0, 0, cv::INTER_AREA);
        cv::extractChannel(colour, img.gray, 0);
        cv::GaussianBlur(img.gray, img.gray, cv::Size(3, 3), 0, 0, cv::BORDER_REPLICATE);
        return text(barcode::decode(img, { .strict = true }));
    }

    prepare(frame, img);
    const barcode::decode_options options;
    // Reading depends on nothing but the box: a box found again from
    // another row is not read again.
    std::array<std::array<barcode::point, 4>, 4> tried;
    int tried_count = 0;
    barcode::decode_result read { barcode::failure::no_box };
    unconfirmed_reads unconfirmed;
    auto attempt = [&](int row) {
        if (barcode::locate_barcode(img, options, row) != barcode::failure::none)
            return false;
        std::array<barcode::point, 4> box;
        std::copy(img.corners, img.corners + 4, box.begin());
        const auto same = [&](const std::array<barcode::point, 4> &b) {
            return std::equal(b.begin(), b.end(), box.begin(),
                              [](barcode::point p, barcode::point q) { return p.x == q.x && p.y == q.y; });
        };
        if (std::any_of(tried.begin(), tried.begin() + tried_count, same))
            return false;
        if (tried_count < int(tried.size()))
            tried[tried_count++] = box;
        read = barcode::read_barcode(img, options);
        return read.ok() || unconfirmed.confirm(img, false, read);
    };
    // The traced rows first: they read most codes of a steady hand, blurred
    // ones too, and cheaply.
    for (const int row : rows(img.gray.rows))
        if (attempt(row))
            return text(read);
    // Then the boxes the sweep finds, best first: codes anywhere in the frame,
    // tilted or upside down. Each box is read forwards first; a code is
    // read from its other end only when no box read forwards, and only a
    // box whose forward model fitted its bars (fitted_first_pass): read
    // from the wrong end a code still fits as bars and misses only its
    // digits. On the tuning half of the photo sets 5 boxes read from their
    // other end, all of them boxes that had fitted forwards; of the 99
    // boxes that had not, none read the other way.
    // The sweep's buffers are kept for the thread's next frame.
    thread_local barcode::sweep_buffers buffers;
    thread_local std::vector<barcode::swept_box> boxes;
    barcode::sweep_boxes(img.gray, buffers, boxes);
    int reads = 0;
    while (reads < std::min(int(boxes.size()), MAX_SWEPT_BOXES) && boxes[reads].score >= MIN_BOX_SCORE
           && boxes[reads].score >= MIN_BOX_SCORE_OF_BEST * boxes[0].score)
        ++reads;
    if (reads == 0) {
        // No line of the sweep crossed a code's run of bars in any direction:
        // an upright code would have shown in the sweep's crosswise lines.
        return {};
    }
    // The boxes are read in the whole frame: a tilted or small code keeps
    // modules of a pixel or two, which halving would blur away.
    cv::Rect area;
    for (int i = 0; i < reads; ++i)
        for (const barcode::point p : boxes[i].corners) {
            const cv::Rect corner(p.x * 2, p.y * 2, 1, 1);
            area = area.empty() ? corner : area | corner;
        }
    barcode::images full;
    full_resolution(frame, area, full);
    std::array<bool, MAX_SWEPT_BOXES> bars_fitted {};
    for (int i = 0; i < reads; ++i) {
        for (int k = 0; k < 4; ++k)
            full.corners[k] = { boxes[i].corners[k].x * 2, boxes[i].corners[k].y * 2 };
        read = barcode::read_barcode(full, options);
        if (read.ok() || unconfirmed.confirm(full, true, read))
            return text(read);
        bars_fitted[i] = full.fitted_first_pass;
        if (bars_fitted[i]) {
            // The frame's bars fitted but not its digits: the working
            // image, averaged and smoothed, may settle what the frame's
            // noise left open. On the tuning half of the photo sets this
            // read one code more, on the held-out half none.
            std::copy(boxes[i].corners, boxes[i].corners + 4, img.corners);
            read = barcode::read_barcode(img, options);
            if (read.ok() || unconfirmed.confirm(img, true, read))
                return text(read);
        }
    }
    for (int i = 0; i < reads; ++i) {
        if (!bars_fitted[i])
            continue;
        for (int k = 0; k < 4; ++k)
            full.corners[k] = { boxes[i].corners[k].x * 2, boxes[i].corners[k].y * 2 };
        barcode::reverse_box(full.corners);
        read = barcode::read_barcode(full, options);
        if (read.ok() || unconfirmed.confirm(full, true, read))
            return text(read);
    }
    // A code held upright: its bars run across the rows. Only when the
    // sweep saw bars across the rows, by its lines within a step of upright
    // (a code more than a step from upright is no longer read along a row
    // of the turned frame).
    const bool upright = std::any_of(boxes.begin(), boxes.begin() + reads, [](const barcode::swept_box &b) {
        return std::abs(b.direction - barcode::SWEEP_DIRECTIONS / 2) <= 1;
    });
    if (!upright)
        return {};
    cv::Mat turned;
    cv::rotate(img.gray, turned, cv::ROTATE_90_CLOCKWISE);
    img.gray = turned;
    img.threshold_ready = false;
    tried_count = 0;
    attempt(-1);
    return text(read);
}
