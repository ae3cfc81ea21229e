#include "Peers.h"

// Apart from the other peer: its headers define macros that break these.
#include <zbar.h>

struct ZBarReader::State
{
    zbar::zbar_image_scanner_t *scanner = zbar::zbar_image_scanner_create();
};

ZBarReader::ZBarReader()
    : m_state(std::make_unique<State>())
{
    using namespace zbar;
    zbar_image_scanner_set_config(m_state->scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
    zbar_image_scanner_set_config(m_state->scanner, ZBAR_EAN13, ZBAR_CFG_ENABLE, 1);
    zbar_image_scanner_set_config(m_state->scanner, ZBAR_UPCA, ZBAR_CFG_ENABLE, 1);
}

ZBarReader::~ZBarReader()
{
    zbar::zbar_image_scanner_destroy(m_state->scanner);
}

std::string ZBarReader::read(const cv::Mat &grey)
{
    using namespace zbar;
    const cv::Mat packed = grey.isContinuous() ? grey : grey.clone();
    zbar_image_t *image = zbar_image_create();
    zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(image, unsigned(packed.cols), unsigned(packed.rows));
    zbar_image_set_data(image, packed.data, packed.total(), nullptr);
    std::string text;
    if (zbar_scan_image(m_state->scanner, image) > 0) {
        const zbar_symbol_t *symbol = zbar_image_first_symbol(image);
        if (symbol)
            text = zbar_symbol_get_data(symbol);
    }
    zbar_image_destroy(image);
    return text;
}
