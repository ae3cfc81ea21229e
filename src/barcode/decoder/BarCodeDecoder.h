#pragma once

#include <opencv2/core.hpp>

#include <string>

// The entry point of the EAN-13/UPC-A decoder for the scanner and the
// command line: one frame in, 13 digits or the empty text out.
class BarCodeDecoder
{
public:
    // Decodes a frame of 8-bit pixels (3 channels blue-green-red; 1 or 4
    // channels are accepted too) at half its size. UPC-A codes come out as
    // EAN-13 with a leading "0".
    //
    // The default mode leaves the frame alone, also searches boxes with an
    // odd number of bars and returns only results that fit convincingly.
    // When the middle rows find nothing it reads the boxes that a sweep of
    // lines in eight directions finds (codes anywhere, at any angle, either
    // way up), in the frame at its own size, then the frame turned by 90
    // degrees.
    //
    // `strict` runs the bare pipeline, kept for comparison and tests:
    // the frame's colour order is swapped in place (the frame's pixels are
    // shared with the caller, so a second call reads another channel), an
    // odd number of bars gives up, and every run that gets through returns
    // its digits, wrong or not ("/" first when no first digit fits).
    static std::string decode(cv::Mat frame, bool strict = false);
};
