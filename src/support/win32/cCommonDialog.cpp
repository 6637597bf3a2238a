#include "support/cCommonDialog.h"

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "support/win32/CommonDialogRecord.h"
#include "support/win32/Text.h"
#include "support/win32/UniqueHandles.h"

namespace trayhound {
namespace {

// Hooks and templates need code and resources this class does not have.
constexpr DWORD kColorHookFlags = CC_ENABLEHOOK | CC_ENABLETEMPLATE | CC_ENABLETEMPLATEHANDLE;
constexpr DWORD kFontHookFlags = CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_ENABLETEMPLATEHANDLE;
constexpr DWORD kPrintHookFlags = PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK | PD_ENABLEPRINTTEMPLATE |
                                  PD_ENABLESETUPTEMPLATE | PD_ENABLEPRINTTEMPLATEHANDLE |
                                  PD_ENABLESETUPTEMPLATEHANDLE;
constexpr DWORD kPageSetupHookFlags = PSD_ENABLEPAGESETUPHOOK | PSD_ENABLEPAGESETUPTEMPLATE |
                                      PSD_ENABLEPAGESETUPTEMPLATEHANDLE | PSD_ENABLEPAGEPAINTHOOK;

// A DEVMODE carrying the given printer settings, or none when no setting is given.
HGLOBAL MakeDevMode(const PrinterSettings& printer, std::int32_t paperSize,
                    std::int32_t orientation, std::int32_t printQuality, std::int32_t copies) {
    if (printer.DeviceName.empty() && !paperSize && !orientation && !printQuality && !copies) {
        return nullptr;
    }
    HGLOBAL handle = GlobalAlloc(GHND, sizeof(DEVMODEW));
    GlobalLockGuard<DEVMODEW> mode(handle);
    if (!mode.get()) return handle;
    mode.get()->dmSize = sizeof(DEVMODEW);
    mode.get()->dmSpecVersion = DM_SPECVERSION;
    const std::wstring name = ToWide(printer.DeviceName);
    wcsncpy(mode.get()->dmDeviceName, name.c_str(), CCHDEVICENAME - 1);
    if (copies) {
        mode.get()->dmFields |= DM_COPIES;
        mode.get()->dmCopies = static_cast<short>(copies);
    }
    if (orientation) {
        mode.get()->dmFields |= DM_ORIENTATION;
        mode.get()->dmOrientation = static_cast<short>(orientation);
    }
    if (paperSize) {
        mode.get()->dmFields |= DM_PAPERSIZE;
        mode.get()->dmPaperSize = static_cast<short>(paperSize);
    }
    if (printQuality) {
        mode.get()->dmFields |= DM_PRINTQUALITY;
        mode.get()->dmPrintQuality = static_cast<short>(printQuality);
    }
    return handle;
}

// Writes the dialog's printer choice back; false when it handed none over.
bool ReadPrinter(HGLOBAL devMode, HGLOBAL devNames, PrinterSettings& printer) {
    GlobalLockGuard<DEVNAMES> names(devNames);
    if (names.get()) {
        const auto* base = reinterpret_cast<const wchar_t*>(names.get());
        printer.DeviceName = ToUtf8(base + names.get()->wDeviceOffset);
    }
    GlobalLockGuard<DEVMODEW> mode(devMode);
    if (!mode.get()) return false;
    if (mode.get()->dmFields & DM_COPIES) printer.Copies = mode.get()->dmCopies;
    if (mode.get()->dmFields & DM_ORIENTATION) printer.Orientation = mode.get()->dmOrientation;
    if (mode.get()->dmFields & DM_PAPERSIZE) printer.PaperSize = mode.get()->dmPaperSize;
    if (mode.get()->dmFields & DM_PRINTQUALITY) printer.PrintQuality = mode.get()->dmPrintQuality;
    return true;
}

// A block the print dialogs hand back: when it replaced the one they were given, they freed that.
void TakeBlock(HGLOBAL returned, UniqueHglobal& owner) noexcept {
    if (returned == owner.get()) return;
    static_cast<void>(owner.release());
    owner.reset(returned);
}

int ScreenPixelsPerInchY() noexcept {
    const WindowDc screen;
    return screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
}

}  // namespace

void cCommonDialog::BeginCall() noexcept {
    apiReturn_ = 0;
    extendedError_ = 0;
}

void cCommonDialog::EndCall(std::int32_t apiReturn) noexcept {
    apiReturn_ = apiReturn;
    if (apiReturn != 0 && apiReturn != 1) {
        extendedError_ = static_cast<std::int32_t>(CommDlgExtendedError());
    }
}

bool cCommonDialog::VBGetOpenFileName(OpenFileArgs& args) {
    BeginCall();
    FileNameRecord request = FileNameRecord::ForOpen(args);
    EndCall(GetOpenFileNameW(&request.Record()));
    return common_dialog::ApplyAnswer(args, request.ConvertedFilter(), request.Answer(apiReturn_));
}

bool cCommonDialog::VBGetSaveFileName(SaveFileArgs& args) {
    BeginCall();
    FileNameRecord request = FileNameRecord::ForSave(args);
    EndCall(GetSaveFileNameW(&request.Record()));
    return common_dialog::ApplyAnswer(args, request.ConvertedFilter(), request.Answer(apiReturn_));
}

std::string cCommonDialog::VBGetFileTitle(const std::string& sFile) {
    wchar_t title[common_dialog::kMaxPath]{};
    const std::wstring path = ToWide(sFile);
    if (GetFileTitleW(path.c_str(), title, static_cast<WORD>(std::size(title))) != 0) return {};
    return ToUtf8(title);
}

void cCommonDialog::FillCustomColors() noexcept {
    if (customColorsFilled_) return;
    for (int i = 0; i < static_cast<int>(customColors_.size()); ++i) {
        customColors_[static_cast<std::size_t>(i)] = GetSysColor(i);
    }
    customColorsFilled_ = true;
}

std::int32_t cCommonDialog::CustomColor(int i) {
    if (i < 0 || i >= static_cast<int>(customColors_.size())) return -1;
    FillCustomColors();
    return static_cast<std::int32_t>(customColors_[static_cast<std::size_t>(i)]);
}

void cCommonDialog::SetCustomColor(int i, std::int32_t color) {
    if (i < 0 || i >= static_cast<int>(customColors_.size())) return;
    FillCustomColors();
    customColors_[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(color);
}

bool cCommonDialog::VBChooseColor(ChooseColorArgs& args) {
    BeginCall();
    FillCustomColors();
    COLORREF custom[16];
    std::copy(customColors_.begin(), customColors_.end(), custom);
    CHOOSECOLORW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = OwnerWindow(args.Owner);
    request.rgbResult = static_cast<COLORREF>(args.Color);
    request.lpCustColors = custom;
    request.Flags = CC_RGBINIT | (args.flags & ~kColorHookFlags);
    if (args.AnyColor) request.Flags |= CC_ANYCOLOR;
    if (args.FullOpen) request.Flags |= CC_FULLOPEN;
    if (args.DisableFullOpen) request.Flags |= CC_PREVENTFULLOPEN;
    EndCall(ChooseColorW(&request));
    std::copy(std::begin(custom), std::end(custom), customColors_.begin());
    if (apiReturn_ != 1) {
        args.Color = -1;
        args.flags = 0;
        return false;
    }
    args.Color = static_cast<std::int32_t>(request.rgbResult);
    args.flags = request.Flags;
    return true;
}

bool cCommonDialog::VBChooseFont(ChooseFontArgs& args) {
    BeginCall();
    const int pixelsPerInch = ScreenPixelsPerInchY();
    LOGFONTW font{};
    const std::wstring face = ToWide(args.CurFont.Name);
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    font.lfHeight = -static_cast<LONG>(std::lround(args.CurFont.Size * pixelsPerInch / 72.0));
    font.lfWeight = args.CurFont.Bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = args.CurFont.Italic;
    font.lfUnderline = args.CurFont.Underline;
    font.lfStrikeOut = args.CurFont.Strikethrough;
    font.lfCharSet = DEFAULT_CHARSET;

    CHOOSEFONTW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = OwnerWindow(args.Owner);
    request.hDC = reinterpret_cast<HDC>(args.PrinterDC);
    request.lpLogFont = &font;
    request.iPointSize = static_cast<INT>(std::lround(args.CurFont.Size * 10));
    request.rgbColors = static_cast<COLORREF>(args.Color);
    request.Flags = CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | (args.flags & ~kFontHookFlags) |
                    (args.PrinterDC ? CF_PRINTERFONTS : CF_SCREENFONTS);
    if (args.MinSize || args.MaxSize) {
        request.Flags |= CF_LIMITSIZE;
        request.nSizeMin = args.MinSize;
        request.nSizeMax = args.MaxSize;
    }
    EndCall(ChooseFontW(&request));
    if (apiReturn_ != 1) return false;
    args.CurFont.Name = ToUtf8(font.lfFaceName);
    args.CurFont.Size = request.iPointSize / 10.0;
    args.CurFont.Bold = font.lfWeight >= FW_SEMIBOLD;
    args.CurFont.Italic = font.lfItalic != 0;
    args.CurFont.Underline = font.lfUnderline != 0;
    args.CurFont.Strikethrough = font.lfStrikeOut != 0;
    args.Color = static_cast<std::int32_t>(request.rgbColors);
    args.flags = request.Flags;
    return true;
}

bool cCommonDialog::VBPrintDlg(PrintArgs& args) {
    BeginCall();
    PRINTDLGW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = OwnerWindow(args.Owner);
    UniqueHglobal devMode(MakeDevMode(args.Printer, args.Printer.PaperSize,
                                      args.Printer.Orientation, args.Printer.PrintQuality,
                                      args.Printer.Copies));
    UniqueHglobal devNames;
    request.hDevMode = devMode.get();
    request.Flags = args.flags & ~kPrintHookFlags;
    if (args.PrintRange == 1) request.Flags |= PD_SELECTION;
    if (args.PrintRange == 2) request.Flags |= PD_PAGENUMS;
    if (args.DisablePageNumbers) request.Flags |= PD_NOPAGENUMS;
    if (args.DisableSelection) request.Flags |= PD_NOSELECTION;
    if (!args.ShowPrintToFile) request.Flags |= PD_HIDEPRINTTOFILE;
    if (args.DisablePrintToFile) request.Flags |= PD_DISABLEPRINTTOFILE;
    if (args.PrintToFile) request.Flags |= PD_PRINTTOFILE;
    if (args.Collate) request.Flags |= PD_COLLATE;
    if (args.PreventWarning) request.Flags |= PD_NOWARNING;
    request.nFromPage = static_cast<WORD>(args.FromPage);
    request.nToPage = static_cast<WORD>(args.ToPage);
    request.nMinPage = 0;
    request.nMaxPage = 0xFFFF;
    request.nCopies = static_cast<WORD>(std::max<std::int32_t>(args.Copies, 1));
    const BOOL result = PrintDlgW(&request);
    // The dialog may have replaced the blocks; whatever it hands back is freed here.
    TakeBlock(request.hDevMode, devMode);
    TakeBlock(request.hDevNames, devNames);
    EndCall(result);
    if (apiReturn_ != 1) return false;
    args.PrintRange = (request.Flags & PD_SELECTION) ? 1 : (request.Flags & PD_PAGENUMS) ? 2 : 0;
    args.FromPage = request.nFromPage;
    args.ToPage = request.nToPage;
    args.Copies = request.nCopies;
    args.PrintToFile = (request.Flags & PD_PRINTTOFILE) != 0;
    args.Collate = (request.Flags & PD_COLLATE) != 0;
    if (ReadPrinter(devMode.get(), devNames.get(), args.Printer) && args.Printer.Copies) {
        args.Copies = args.Printer.Copies;
    }
    args.flags = request.Flags;
    return true;
}

bool cCommonDialog::VBPageSetupDlg(PageSetupArgs& args) {
    BeginCall();
    PAGESETUPDLGW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = OwnerWindow(args.Owner);
    UniqueHglobal devMode(
        MakeDevMode(args.Printer, args.PaperSize, args.Orientation, args.PrintQuality, 0));
    UniqueHglobal devNames;
    request.hDevMode = devMode.get();
    request.Flags = args.flags & ~kPageSetupHookFlags;
    request.Flags |= args.Units == 1 ? PSD_INHUNDREDTHSOFMILLIMETERS : PSD_INTHOUSANDTHSOFINCHES;
    if (args.DisableMargins) request.Flags |= PSD_DISABLEMARGINS;
    if (args.DisableOrientation) request.Flags |= PSD_DISABLEORIENTATION;
    if (args.DisablePaper) request.Flags |= PSD_DISABLEPAPER;
    if (args.DisablePrinter) request.Flags |= PSD_DISABLEPRINTER;
    request.rtMargin = RECT{args.LeftMargin, args.TopMargin, args.RightMargin, args.BottomMargin};
    request.rtMinMargin =
        RECT{args.MinLeftMargin, args.MinTopMargin, args.MinRightMargin, args.MinBottomMargin};
    if (args.LeftMargin || args.TopMargin || args.RightMargin || args.BottomMargin) {
        request.Flags |= PSD_MARGINS;
    }
    if (args.MinLeftMargin || args.MinTopMargin || args.MinRightMargin || args.MinBottomMargin) {
        request.Flags |= PSD_MINMARGINS;
    }
    const BOOL result = PageSetupDlgW(&request);
    TakeBlock(request.hDevMode, devMode);
    TakeBlock(request.hDevNames, devNames);
    EndCall(result);
    if (apiReturn_ != 1) return false;
    args.LeftMargin = request.rtMargin.left;
    args.TopMargin = request.rtMargin.top;
    args.RightMargin = request.rtMargin.right;
    args.BottomMargin = request.rtMargin.bottom;
    if (ReadPrinter(devMode.get(), devNames.get(), args.Printer)) {
        args.PaperSize = args.Printer.PaperSize;
        args.Orientation = args.Printer.Orientation;
        args.PrintQuality = args.Printer.PrintQuality;
    }
    args.Units = (request.Flags & PSD_INHUNDREDTHSOFMILLIMETERS) ? 1 : 0;
    args.flags = request.Flags;
    return true;
}

}  // namespace trayhound
