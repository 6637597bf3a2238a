#pragma once

namespace trayhound {

// Twips: 1/1440 inch, the unit of every layout table and stored window placement in the
// program. Pixels depend on the DPI of the monitor a window is on (96 at 100 %, 144 at 150 %).
inline constexpr int kTwipsPerInch = 1440;
inline constexpr unsigned kDefaultDpi = 96;

// `value` * `numerator` / `denominator`, rounded to the nearest whole number, halves away from
// zero (as MulDiv rounds).
constexpr int ScaleRounded(int value, int numerator, int denominator) noexcept {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

constexpr int TwipsToPixels(int twips, unsigned dpi) noexcept {
    return ScaleRounded(twips, static_cast<int>(dpi), kTwipsPerInch);
}

constexpr int PixelsToTwips(int pixels, unsigned dpi) noexcept {
    return ScaleRounded(pixels, kTwipsPerInch, static_cast<int>(dpi));
}

// The character height (negative, as fonts are asked for) of `centipoints` hundredths of a point.
constexpr int FontHeight(int centipoints, unsigned dpi) noexcept {
    return -ScaleRounded(centipoints, static_cast<int>(dpi), 72 * 100);
}

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Both edges are converted, so that neighbours that touch in twips still touch in pixels.
constexpr PixelRect ToPixels(const TwipsRect& rect, unsigned dpi) noexcept {
    const int left = TwipsToPixels(rect.left, dpi);
    const int top = TwipsToPixels(rect.top, dpi);
    return PixelRect{left, top, TwipsToPixels(rect.left + rect.width, dpi) - left,
                     TwipsToPixels(rect.top + rect.height, dpi) - top};
}

}  // namespace trayhound
