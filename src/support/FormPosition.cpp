#include "support/FormPosition.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "support/Ascii.h"

namespace trayhound {
namespace form_position {
namespace {

constexpr std::string_view kBlanks = " \t";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string FormatNumber(double value, std::string_view decimalSeparator) {
    const float single = static_cast<float>(value);
    char buffer[64];
    std::to_chars_result result{};
    if (single == std::trunc(single) && std::fabs(single) < 1e15F) {
        result =
            std::to_chars(std::begin(buffer), std::end(buffer), static_cast<long long>(single));
    } else {
        result = std::to_chars(std::begin(buffer), std::end(buffer), single,
                               std::chars_format::general, 7);
    }
    std::string text(buffer, result.ptr);
    if (const auto point = text.find('.'); point != std::string::npos) {
        text.replace(point, 1, decimalSeparator);
    }
    return text;
}

std::optional<double> ParseNumber(std::string_view text, std::string_view decimalSeparator) {
    text = TrimBlanks(text, kBlanks);
    std::string plain;  // sign, digits and '.' only, for from_chars
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    bool digits = false;
    bool point = false;
    while (i < text.size()) {
        if (IsDigit(text[i])) {
            plain += text[i++];
            digits = true;
        } else if (!point && !decimalSeparator.empty() &&
                   text.substr(i).starts_with(decimalSeparator)) {
            plain += '.';
            point = true;
            i += decimalSeparator.size();
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec != std::errc{} || result.ptr != plain.data() + plain.size()) return std::nullopt;
    if (std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<double>(static_cast<float>(value));
}

std::optional<int> ParseInteger(std::string_view text, std::string_view decimalSeparator) {
    const std::optional<double> number = ParseNumber(text, decimalSeparator);
    if (!number) return std::nullopt;
    const double rounded = std::nearbyint(*number);  // the default rounding is half to even
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

}  // namespace form_position

namespace {

constexpr double kMarginPixels = 50;

std::string Read(const SettingsStore& store, const FormPositionView& window, std::string_view key,
                 std::string_view defaultValue) {
    return store.Read(kAppTitle, window.Name(), key, defaultValue);
}

std::optional<double> ReadNumber(const SettingsStore& store, const FormPositionView& window,
                                 std::string_view key, double defaultValue) {
    const std::string separator = window.DecimalSeparator();
    return form_position::ParseNumber(
        Read(store, window, key, form_position::FormatNumber(defaultValue, separator)), separator);
}

}  // namespace

void RestoreFormPosition(FormPositionView& window, bool restoreSize, const SettingsStore& store) {
    if (restoreSize) {
        const std::optional<int> state = form_position::ParseInteger(
            Read(store, window, "WindowState", "0"), window.DecimalSeparator());
        if (state && *state >= 0 && *state <= 2) window.SetWindowState(*state);
        if (const auto width = ReadNumber(store, window, "Width", 9000)) window.SetWidth(*width);
        if (const auto height = ReadNumber(store, window, "Height", 6000)) {
            window.SetHeight(*height);
        }
    }
    // The defaults depend on the size the window has now, after any size was restored.
    const double defaultLeft =
        window.ScreenWidth() - window.Width() - kMarginPixels * window.TwipsPerPixelX();
    if (const auto left = ReadNumber(store, window, "Left", defaultLeft)) window.SetLeft(*left);
    const double defaultTop =
        window.ScreenHeight() - window.Height() - kMarginPixels * window.TwipsPerPixelY();
    if (const auto top = ReadNumber(store, window, "Top", defaultTop)) window.SetTop(*top);
}

void SaveFormPosition(FormPositionView& window, SettingsStore& store) {
    const std::string section = window.Name();
    const std::string separator = window.DecimalSeparator();
    store.Write(kAppTitle, section, "WindowState", std::to_string(window.WindowState()));
    window.SetWindowState(0);
    store.Write(kAppTitle, section, "Left", form_position::FormatNumber(window.Left(), separator));
    store.Write(kAppTitle, section, "Top", form_position::FormatNumber(window.Top(), separator));
    store.Write(kAppTitle, section, "Width",
                form_position::FormatNumber(window.Width(), separator));
    store.Write(kAppTitle, section, "Height",
                form_position::FormatNumber(window.Height(), separator));
}

}  // namespace trayhound
