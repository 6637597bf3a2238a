#include "about/AboutModel.h"

#include <cmath>

namespace trayhound::about {

std::string ReplaceAll(std::string text, std::string_view placeholder, std::string_view value) {
    if (placeholder.empty()) return text;
    for (auto at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + value.size())) {
        text.replace(at, placeholder.size(), value);
    }
    return text;
}

std::string StageText(unsigned revision) {
    const std::string digits = std::to_string(revision);
    std::string stage;
    if (digits.front() == '1') {
        stage = "alpha %no";
    } else if (digits.front() == '2') {
        stage = "beta %no";
    }
    const std::string number = digits.size() > 1 ? digits.substr(1, 1) + " " : " ";
    return ReplaceAll(std::move(stage), "%no", number);
}

std::string BuildNumber(unsigned revision) {
    const std::string digits = std::to_string(revision);
    const auto lastTwo = digits.size() > 2 ? digits.substr(digits.size() - 2) : digits;
    return std::to_string(std::stoi(lastTwo));
}

std::string VersionLine(const VersionNumbers& version) {
    std::string line(kVersionTemplate);
    line = ReplaceAll(std::move(line), "%major", std::to_string(version.major));
    line = ReplaceAll(std::move(line), "%minor", std::to_string(version.minor));
    line = ReplaceAll(std::move(line), "%build", BuildNumber(version.revision));
    return ReplaceAll(std::move(line), "%inter", StageText(version.revision));
}

AboutTexts ExpandTexts(std::string_view appTitle, const VersionNumbers& version) {
    return AboutTexts{
        .caption = ReplaceAll(std::string(kCaptionTemplate), "%apptitle", appTitle),
        .title = ReplaceAll(std::string(kTitleTemplate), "%apptitle", appTitle),
        .version = VersionLine(version),
        .description = ReplaceAll(std::string(kDescriptionTemplate), "%apptitle", appTitle),
    };
}

long RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    auto result = static_cast<long>(floor);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) ++result;
    return result;
}

std::vector<Rgb> GradientColumns(Rgb start, Rgb end, int width) {
    std::vector<Rgb> columns;
    if (width <= 0) return columns;
    columns.reserve(static_cast<std::size_t>(width));
    // Single precision throughout, so the steps accumulate exactly as the banner always drew them.
    const float w = static_cast<float>(width);
    const float step[3] = {(end.red - start.red) / w, (end.green - start.green) / w,
                           (end.blue - start.blue) / w};
    float c[3] = {static_cast<float>(start.red), static_cast<float>(start.green),
                  static_cast<float>(start.blue)};
    for (int x = 0; x < width; ++x) {
        columns.push_back(Rgb{static_cast<int>(RoundHalfEven(c[0])),
                              static_cast<int>(RoundHalfEven(c[1])),
                              static_cast<int>(RoundHalfEven(c[2]))});
        for (int k = 0; k < 3; ++k) c[k] += step[k];
    }
    return columns;
}

namespace {

std::string Bool(bool value) {
    return value ? "True" : "False";
}

std::vector<std::string> PropertyValues(const AppProperties& p) {
    return {
        p.title,
        std::to_string(p.version.major),
        std::to_string(p.version.minor),
        std::to_string(p.version.revision),
        p.comments,
        p.companyName,
        p.exeName,
        p.fileDescription,
        p.helpFile,
        std::to_string(p.hInstance),
        p.legalCopyright,
        p.legalTrademarks,
        std::to_string(p.logMode),
        p.logPath,
        Bool(p.nonModalAllowed),
        p.path,
        Bool(p.prevInstance),
        p.productName,
        Bool(p.retainedProject),
        std::to_string(p.startMode),
        Bool(p.taskVisible),
        std::to_string(p.threadId),
        Bool(p.unattendedApp),
    };
}

}  // namespace

std::vector<std::string> PropertyRows(const AppProperties& properties) {
    const auto values = PropertyValues(properties);
    std::vector<std::string> rows;
    rows.reserve(kPropertyNames.size());
    for (std::size_t i = 0; i < kPropertyNames.size(); ++i) {
        const auto& [name, tabs] = kPropertyNames[i];
        rows.push_back(std::string(name) + std::string(static_cast<std::size_t>(tabs), '\t') +
                       values[i]);
    }
    return rows;
}

std::optional<PropertyRow> SplitPropertyRow(std::string_view row) {
    const auto first = row.find('\t');
    if (first == std::string_view::npos) return std::nullopt;
    const auto last = row.rfind('\t');
    return PropertyRow{std::string(row.substr(0, first)), std::string(row.substr(last + 1))};
}

bool AboutViews::KeyDown(int keyCode, Modifiers modifiers) {
    if (modifiers.shift || modifiers.ctrl || modifiers.alt) return false;
    switch (keyCode) {
        case kKeyF1:
            view_ = View::Main;
            return true;
        case kKeyF2:
            view_ = View::ApplicationInfo;
            return true;
        case kKeyF3:
            view_ = View::Thanks;
            return true;
        default:
            return false;
    }
}

std::string_view AboutViews::Heading() const noexcept {
    switch (view_) {
        case View::ApplicationInfo:
            return kApplicationInfoHeading;
        case View::Thanks:
            return kThanksHeading;
        case View::Main:
            break;
    }
    return versionText_;
}

}  // namespace trayhound::about
