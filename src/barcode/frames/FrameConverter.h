#pragma once

#include <QImage>

#include <opencv2/core.hpp>

// Turns pictures into the frames the barcode decoder is given: the camera's
// luminance in all three channels, 640 x 480.
class FrameConverter
{
public:
    static constexpr int FrameWidth = 640;
    static constexpr int FrameHeight = 480;

    // The scanner's frame of a picture: its grey luminance, scaled to height
    // 480 and cut to the centred 640 x 480 when it is not that size already.
    // An empty picture gives an empty frame.
    static cv::Mat fromImage(const QImage &image);

    // The scanner's frame of a luminance plane (8-bit, 1 channel).
    static cv::Mat fromLuminance(const cv::Mat &luminance);

    // The picture as it is, 8-bit blue-green-red.
    static cv::Mat rawFrame(const QImage &image);
};
