#include "Peers.h"

// Apart from the other peer: these headers define macros that break its.
#include <ReadBarcode.h>

std::string readWithZXing(const cv::Mat &grey)
{
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::EAN13 | ZXing::BarcodeFormat::UPCA);
    const ZXing::ImageView view(grey.data, grey.cols, grey.rows, ZXing::ImageFormat::Lum, int(grey.step));
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    return result.isValid() ? result.text() : std::string();
}
