#include "BarCodeDecoder.h"

#include "decode.h"

#include <opencv2/imgproc.hpp>

namespace {

const char *const FLAGS = "trace bars gnuplot simulator3";
const char *const STRICT_FLAGS = "trace bars gnuplot simulator3 strict";

// The working image: one channel of the frame at half size, lightly
// smoothed. The red channel is read, as the original wrapper did after
// turning blue-green-red into red-green-blue.
bool prepare(const cv::Mat &frame, barcode::images &img)
{
    barcode::create_images(img, cv::Size(frame.cols / 2, frame.rows / 2));
    cv::Mat colour;
    cv::resize(frame, colour, img.gray.size(), 0, 0, cv::INTER_AREA);
    const int channel = frame.channels() >= 3 ? 2 : 0;
    cv::extractChannel(colour, img.gray, channel);
    if (frame.channels() == 3)
        img.colour = colour;
    cv::GaussianBlur(img.gray, img.gray, cv::Size(3, 3), 0, 0, cv::BORDER_REPLICATE);
    return true;
}

std::string result(const barcode::images &img)
{
    return std::string(img.digits, 13);
}

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
        // As designed: the caller's frame turns red-green-blue, and the
        // first channel of the result is read.
        if (channels == 3)
            cv::cvtColor(frame, frame, cv::COLOR_BGR2RGB);
        else if (channels == 4)
            cv::cvtColor(frame, frame, cv::COLOR_BGRA2RGBA);
        barcode::create_images(img, cv::Size(frame.cols / 2, frame.rows / 2));
        cv::Mat colour;
        cv::resize(frame, colour, img.gray.size(), 0, 0, cv::INTER_AREA);
        cv::extractChannel(colour, img.gray, 0);
        cv::GaussianBlur(img.gray, img.gray, cv::Size(3, 3), 0, 0, cv::BORDER_REPLICATE);
        const int ok = barcode::decode(img, STRICT_FLAGS, nullptr, nullptr, barcode::FIELD_OF_VIEW);
        return ok ? result(img) : std::string();
    }

    prepare(frame, img);
    if (barcode::decode(img, FLAGS, nullptr, nullptr, barcode::FIELD_OF_VIEW))
        return result(img);
    return {};
}
