#include "FrameConverter.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

cv::Mat FrameConverter::fromImage(const QImage &image)
{
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return {};
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const cv::Mat view(grey.height(), grey.width(), CV_8UC1, const_cast<uchar *>(grey.constBits()),
                       size_t(grey.bytesPerLine()));
    return fromLuminance(view);
}

cv::Mat FrameConverter::fromLuminance(const cv::Mat &luminance)
{
    if (luminance.empty() || luminance.type() != CV_8UC1)
        return {};
    cv::Mat grey;
    if (luminance.cols == FrameWidth && luminance.rows == FrameHeight) {
        grey = luminance;
    } else {
        // Height 480 with the aspect kept (width truncated), then the
        // centred 640 x 480; outside the picture its border repeats.
        const int width = std::max(1, int(qint64(luminance.cols) * FrameHeight / luminance.rows));
        cv::Mat scaled;
        cv::resize(luminance, scaled, cv::Size(width, FrameHeight), 0, 0, cv::INTER_LINEAR);
        cv::getRectSubPix(scaled, cv::Size(FrameWidth, FrameHeight),
                          cv::Point2f(float(width / 2), float(FrameHeight / 2)), grey);
    }
    cv::Mat frame;
    cv::merge(std::vector<cv::Mat> { grey, grey, grey }, frame);
    return frame;
}

cv::Mat FrameConverter::rawFrame(const QImage &image)
{
    if (image.isNull() || image.width() < 1 || image.height() < 1)
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const cv::Mat view(rgb.height(), rgb.width(), CV_8UC3, const_cast<uchar *>(rgb.constBits()),
                       size_t(rgb.bytesPerLine()));
    cv::Mat frame;
    cv::cvtColor(view, frame, cv::COLOR_RGB2BGR);
    return frame;
}
