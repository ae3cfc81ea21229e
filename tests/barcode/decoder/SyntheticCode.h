#pragma once

// Renders EAN-13 symbols into camera-like frames for the decoder tests and
// the benchmark. The patterns are spelled out here, apart from the
// decoder's own tables, so that the tests check those too.

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <string>

namespace synthetic {

inline const char *const L_CODES[10]
    = { "0001101", "0011001", "0010011", "0111101", "0100011", "0110001", "0101111", "0111011", "0110111", "0001011" };
inline const char *const G_CODES[10]
    = { "0100111", "0110011", "0011011", "0100001", "0011101", "0111001", "0000101", "0010001", "0001001", "0010111" };
inline const char *const R_CODES[10]
    = { "1110010", "1100110", "1101100", "1000010", "1011100", "1001110", "1010000", "1000100", "1001000", "1110100" };
inline const char *const PARITY[10]
    = { "LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG", "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL" };

// The 95 modules of a 13-digit code, "1" for a bar.
inline std::string modules(const std::string &digits)
{
    std::string m = "101";
    const char *parity = PARITY[digits[0] - '0'];
    for (int i = 1; i <= 6; ++i)
        m += (parity[i - 1] == 'G' ? G_CODES : L_CODES)[digits[i] - '0'];
    m += "01010";
    for (int i = 7; i <= 12; ++i)
        m += R_CODES[digits[i] - '0'];
    m += "101";
    return m;
}

struct Style
{
    double module = 5; // module width in frame pixels
    int top = 90; // rows the bars span
    int bottom = 390;
    double blur = 0.8; // Gaussian sigma in pixels (0: none)
    int paper = 230; // grey levels
    int ink = 30;
    double noise = 0; // standard deviation of added noise
    int seed = 1;
};

// A 640 x 480 blue-green-red frame with the code centred on white paper.
inline cv::Mat render(const std::string &digits, const Style &style = {})
{
    const int w = 640, h = 480;
    cv::Mat grey(h, w, CV_32F, cv::Scalar(style.paper));
    const std::string bits = modules(digits);
    const double left = (w - 95 * style.module) / 2;
    // Anti-aliased bars: each column takes the covered share of ink.
    for (int x = 0; x < w; ++x) {
        double ink = 0;
        for (int k = 0; k < 95; ++k) {
            if (bits[k] != '1')
                continue;
            const double a = left + k * style.module, b = a + style.module;
            ink += std::max(0.0, std::min<double>(x + 1, b) - std::max<double>(x, a));
        }
        const float v = float(style.paper + (style.ink - style.paper) * std::min(1.0, ink));
        for (int y = style.top; y < style.bottom; ++y)
            grey.at<float>(y, x) = v;
    }
    if (style.blur > 0)
        cv::GaussianBlur(grey, grey, cv::Size(0, 0), style.blur, style.blur, cv::BORDER_REPLICATE);
    if (style.noise > 0) {
        cv::Mat noise(h, w, CV_32F);
        cv::RNG rng(uint64(style.seed));
        rng.fill(noise, cv::RNG::NORMAL, 0, style.noise);
        grey += noise;
    }
    cv::Mat grey8;
    grey.convertTo(grey8, CV_8U);
    cv::Mat frame;
    cv::cvtColor(grey8, frame, cv::COLOR_GRAY2BGR);
    return frame;
}

// The check digit of twelve digits.
inline char checkDigit(const std::string &twelve)
{
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (twelve[i] - '0') * (i % 2 ? 3 : 1);
    return char('0' + (10 - sum % 10) % 10);
}

} // namespace synthetic
