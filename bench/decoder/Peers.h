#pragma once

#include <opencv2/core.hpp>

#include <memory>
#include <string>

// The two open decoders we compare against, each reading EAN-13 and UPC-A
// from a grey 8-bit frame. Each returns the text it read, or the empty text.
std::string readWithZXing(const cv::Mat &grey);

class ZBarReader
{
public:
    ZBarReader();
    ~ZBarReader();
    std::string read(const cv::Mat &grey);

private:
    struct State;
    std::unique_ptr<State> m_state;
};
