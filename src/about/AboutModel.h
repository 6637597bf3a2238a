#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trayhound::about {

// ---- Texts -------------------------------------------------------------------------------------

inline constexpr std::string_view kCaptionTemplate = "About %apptitle";
inline constexpr std::string_view kTitleTemplate = "%apptitle";
inline constexpr std::string_view kVersionTemplate = "Version %major.%minor %inter(build %build)";
inline constexpr std::string_view kDescriptionTemplate =
    "If you find a bug, or have any idea of improving %apptitle, please mail me:";
inline constexpr std::string_view kApplicationInfoHeading = "Application Info";
inline constexpr std::string_view kThanksHeading = "Thanks to:";

inline constexpr std::string_view kMailAddress = "wexmoor@example.com";
inline constexpr std::string_view kMailLink = "mailto:Wexmoor <wexmoor@example.com>";

inline constexpr std::string_view kLinkMenuOpenNew = "Open in New Window";
inline constexpr std::string_view kLinkMenuCopy = "Copy Shortcut";

// Replaces every occurrence of `placeholder`; text inserted by a replacement is not searched
// again.
std::string ReplaceAll(std::string text, std::string_view placeholder, std::string_view value);

// The release stage carried by the first two digits of the revision: "alpha 1 ", "beta 2 ", or
// empty for any other first digit.
std::string StageText(unsigned revision);
// The revision's last two digits as a number, written without a leading zero.
std::string BuildNumber(unsigned revision);

struct VersionNumbers {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned revision = 0;
};

// "Version 1.0 beta 2 (build 14)" for 1.0 revision 2214.
std::string VersionLine(const VersionNumbers& version);

struct AboutTexts {
    std::string caption;
    std::string title;
    std::string version;
    std::string description;
};

AboutTexts ExpandTexts(std::string_view appTitle, const VersionNumbers& version);

// ---- Banner gradient ---------------------------------------------------------------------------

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBannerStart{101, 126, 211};
inline constexpr Rgb kBannerEnd{108, 140, 228};

// Nearest integer; exactly halfway goes to the even neighbour.
long RoundHalfEven(double value);

// One colour per pixel column of a banner `width` pixels wide: the first column has the start
// colour exactly, and each next column steps linearly towards the end colour.
std::vector<Rgb> GradientColumns(Rgb start, Rgb end, int width);

// ---- Application properties ---------------------------------------------------------------------

// What the running program knows about itself.
struct AppProperties {
    std::string title;
    VersionNumbers version;
    std::string comments;
    std::string companyName;
    std::string exeName;
    std::string fileDescription;
    std::string helpFile;
    std::uint64_t hInstance = 0;
    std::string legalCopyright;
    std::string legalTrademarks;
    int logMode = 0;
    std::string logPath;
    bool nonModalAllowed = true;
    std::string path;
    bool prevInstance = false;
    std::string productName;
    bool retainedProject = false;
    int startMode = 0;
    bool taskVisible = false;
    std::uint32_t threadId = 0;
    bool unattendedApp = false;
};

struct PropertyName {
    std::string_view name;
    int tabs;
};

// The rows of the "Application Info" list, in order, with the tabs that follow each name.
inline constexpr std::array<PropertyName, 23> kPropertyNames{{
    {"Title", 2},        {"Major", 2},       {"Minor", 2},           {"Revision", 2},
    {"Comments", 1},     {"CompanyName", 1}, {"EXEName", 2},         {"FileDescription", 1},
    {"HelpFile", 2},     {"hInstance", 1},   {"LegalCopyright", 1},  {"LegalTrademarks", 1},
    {"LogMode", 2},      {"LogPath", 2},     {"NonModalAllowed", 1}, {"Path", 2},
    {"PrevInstance", 1}, {"ProductName", 1}, {"RetainedProject", 1}, {"StartMode", 1},
    {"TaskVisible", 1},  {"ThreadID", 2},    {"UnattendedApp", 1},
}};

// "Title\t\tTrayhound", ... with booleans as True or False.
std::vector<std::string> PropertyRows(const AppProperties& properties);

struct PropertyRow {
    std::string name;
    std::string value;
};

// The name is the text before the first TAB, the value the text after the last TAB; a text
// without a TAB is not a property row.
std::optional<PropertyRow> SplitPropertyRow(std::string_view row);

// ---- Views --------------------------------------------------------------------------------------

inline constexpr int kKeyF1 = 0x70;
inline constexpr int kKeyF2 = 0x71;
inline constexpr int kKeyF3 = 0x72;

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

enum class View { Main, ApplicationInfo, Thanks };

// The three views over the lower half of the dialog, switched with F1, F2 and F3.
class AboutViews {
  public:
    explicit AboutViews(std::string versionText) : versionText_(std::move(versionText)) {}

    // True when the key switched (or kept) a view and must not reach the focused control.
    bool KeyDown(int keyCode, Modifiers modifiers);

    View Current() const noexcept { return view_; }
    bool PropertiesVisible() const noexcept { return view_ == View::ApplicationInfo; }
    bool ThanksVisible() const noexcept { return view_ == View::Thanks; }
    std::string_view Heading() const noexcept;

  private:
    std::string versionText_;
    View view_ = View::Main;
};

}  // namespace trayhound::about
