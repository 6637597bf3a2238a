#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace trayhound {

// Arguments of the common dialogs. Each dialog reads them on entry and writes the user's
// choices back into the same object. `Owner` is a window handle value; -1 means no owner.

struct OpenFileArgs {
    std::string FileName;   // at most 260 characters on entry
    std::string FileTitle;  // at most 260 characters on entry
    bool FileMustExist = false;
    bool MultiSelect = false;
    bool ReadOnly = false;
    bool HideReadOnly = false;
    std::string Filter;  // "Description|pattern|Description|pattern"
    std::int32_t FilterIndex = 0;
    std::string InitDir;
    std::string DlgTitle;
    std::string DefaultExt;
    std::intptr_t Owner = -1;
    std::uint32_t flags = 0;
};

struct SaveFileArgs {
    std::string FileName;
    std::string FileTitle;
    bool OverWritePrompt = false;
    std::string Filter;
    std::int32_t FilterIndex = 0;
    std::string InitDir;
    std::string DlgTitle;
    std::string DefaultExt;
    std::intptr_t Owner = -1;
    std::uint32_t flags = 0;
};

struct ChooseColorArgs {
    std::int32_t Color = 0;  // RGB; -1 after a cancel
    bool AnyColor = false;
    bool FullOpen = false;
    bool DisableFullOpen = false;
    std::intptr_t Owner = -1;
    std::uint32_t flags = 0;
};

struct FontChoice {
    std::string Name;
    double Size = 0;  // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethrough = false;
};

struct ChooseFontArgs {
    FontChoice CurFont;
    std::intptr_t PrinterDC = 0;  // a printer's device context: list the printer's fonts
    std::intptr_t Owner = -1;
    std::int32_t Color = 0;
    std::int32_t MinSize = 0;  // points; both 0: no limit
    std::int32_t MaxSize = 0;
    std::uint32_t flags = 0;
};

// The printer settings the print and page-setup dialogs start from and write back. A field of 0
// (an empty name) is not passed to the dialog.
struct PrinterSettings {
    std::string DeviceName;
    std::int32_t Copies = 0;
    std::int32_t Orientation = 0;  // 1 portrait, 2 landscape
    std::int32_t PaperSize = 0;
    std::int32_t PrintQuality = 0;
};

struct PrintArgs {
    std::int32_t PrintRange = 0;  // 0 all pages, 1 selection, 2 page numbers
    bool DisablePageNumbers = false;
    std::int32_t FromPage = 0;
    std::int32_t ToPage = 0;
    bool DisableSelection = false;
    std::int32_t Copies = 1;
    bool ShowPrintToFile = false;
    bool DisablePrintToFile = false;
    bool PrintToFile = false;
    bool Collate = false;
    bool PreventWarning = false;
    std::intptr_t Owner = -1;
    PrinterSettings Printer;
    std::uint32_t flags = 0;
};

struct PageSetupArgs {
    bool DisableMargins = false;
    bool DisableOrientation = false;
    bool DisablePaper = false;
    bool DisablePrinter = false;
    std::int32_t LeftMargin = 0;
    std::int32_t MinLeftMargin = 0;
    std::int32_t RightMargin = 0;
    std::int32_t MinRightMargin = 0;
    std::int32_t TopMargin = 0;
    std::int32_t MinTopMargin = 0;
    std::int32_t BottomMargin = 0;
    std::int32_t MinBottomMargin = 0;
    std::int32_t PaperSize = 0;
    std::int32_t Orientation = 0;
    std::int32_t PrintQuality = 0;
    std::int32_t Units = 0;  // 0 thousandths of an inch, 1 hundredths of a millimetre
    PrinterSettings Printer;
    std::intptr_t Owner = -1;
    std::uint32_t flags = 0;
};

// The system's common dialogs behind one object, one method per dialog. Each method returns
// true when the user confirmed the dialog. The dialogs themselves are the platform's
// (win32/cCommonDialog.cpp); the rules for building their requests and reading their answers
// are the portable functions in `common_dialog`.
class cCommonDialog {
  public:
    // The dialog function's raw result of the last call, and the library's extended error code
    // when that result was neither 0 nor 1.
    std::int32_t APIReturn() const noexcept { return apiReturn_; }
    std::int32_t ExtendedError() const noexcept { return extendedError_; }

    // Throws Error (kInvalidProcedureCall) before any dialog opens when FileName or FileTitle
    // is longer than 260 characters.
    bool VBGetOpenFileName(OpenFileArgs& args);
    bool VBGetSaveFileName(SaveFileArgs& args);
    // The file's name as the system shows it, or empty text when the system cannot tell.
    std::string VBGetFileTitle(const std::string& sFile);

    bool VBChooseColor(ChooseColorArgs& args);
    // Custom colour i (0 to 15), filled with the system colours 0 to 15 on first use; -1 and
    // no change outside that range.
    std::int32_t CustomColor(int i);
    void SetCustomColor(int i, std::int32_t color);

    bool VBChooseFont(ChooseFontArgs& args);
    bool VBPrintDlg(PrintArgs& args);
    bool VBPageSetupDlg(PageSetupArgs& args);

  private:
    void BeginCall() noexcept;
    void EndCall(std::int32_t apiReturn) noexcept;
    void FillCustomColors() noexcept;

    std::int32_t apiReturn_ = 0;
    std::int32_t extendedError_ = 0;
    std::array<std::uint32_t, 16> customColors_{};
    bool customColorsFilled_ = false;
};

namespace common_dialog {

inline constexpr std::size_t kMaxPath = 260;

// OPENFILENAME flags.
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kOverwritePrompt = 0x2;
inline constexpr std::uint32_t kHideReadOnly = 0x4;
inline constexpr std::uint32_t kEnableHook = 0x20;
inline constexpr std::uint32_t kEnableTemplate = 0x40;
inline constexpr std::uint32_t kAllowMultiSelect = 0x200;
inline constexpr std::uint32_t kFileMustExist = 0x1000;

std::uint32_t OpenFileFlags(const OpenFileArgs& args) noexcept;
std::uint32_t SaveFileFlags(const SaveFileArgs& args) noexcept;

// Every "|" and every ":" becomes a NUL, then two NULs close the list.
std::string ConvertFilter(std::string_view filter);
// Pair `index` (1-based) of a converted filter: description, NUL, pattern; empty text for an
// index of 0 or less or beyond the last pair.
std::string FilterPair(std::string_view converted, std::int32_t index);
// The text of a returned buffer before its first NUL.
std::string TextBeforeNul(std::string_view buffer);
// Throws Error (kInvalidProcedureCall, `source`) when `text` does not fit a 260-character
// buffer.
void CheckBufferText(std::string_view text, const std::string& source);

// What a file dialog handed back: its result and the record's buffers, flags and filter index.
struct FileDialogAnswer {
    std::int32_t apiReturn = 0;
    std::string fileBuffer;
    std::string fileTitleBuffer;
    std::uint32_t flags = 0;
    std::int32_t filterIndex = 0;
};

// Writes a file dialog's answer back into the arguments; true when the user confirmed.
bool ApplyAnswer(OpenFileArgs& args, std::string_view convertedFilter,
                 const FileDialogAnswer& answer);
bool ApplyAnswer(SaveFileArgs& args, std::string_view convertedFilter,
                 const FileDialogAnswer& answer);

}  // namespace common_dialog

}  // namespace trayhound
