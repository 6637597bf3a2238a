#include "support/win32/CommonDialogRecord.h"

#include "support/win32/Text.h"

namespace trayhound {
namespace {

// A buffer of `kMaxPath` characters holding `text`, padded with NULs; one more NUL behind it
// guards a text that fills the buffer completely.
std::wstring PathBuffer(std::string_view text) {
    std::wstring buffer = ToWide(text);
    buffer.resize(common_dialog::kMaxPath + 1, L'\0');
    return buffer;
}

const wchar_t* OptionalText(const std::wstring& text) noexcept {
    return text.empty() ? nullptr : text.c_str();
}

}  // namespace

HWND OwnerWindow(std::intptr_t owner) noexcept {
    return owner == -1 ? nullptr : reinterpret_cast<HWND>(owner);
}

FileNameRecord FileNameRecord::ForOpen(const OpenFileArgs& args) {
    return FileNameRecord(args.FileName, args.FileTitle, args.Filter, args.FilterIndex,
                          args.InitDir, args.DlgTitle, args.DefaultExt, args.Owner,
                          common_dialog::OpenFileFlags(args),
                          "Trayhound.cCommonDialog.VBGetOpenFileName()");
}

FileNameRecord FileNameRecord::ForSave(const SaveFileArgs& args) {
    return FileNameRecord(args.FileName, args.FileTitle, args.Filter, args.FilterIndex,
                          args.InitDir, args.DlgTitle, args.DefaultExt, args.Owner,
                          common_dialog::SaveFileFlags(args),
                          "Trayhound.cCommonDialog.VBGetSaveFileName()");
}

FileNameRecord::FileNameRecord(std::string_view fileName, std::string_view fileTitle,
                               std::string_view filter, std::int32_t filterIndex,
                               std::string_view initDir, std::string_view dlgTitle,
                               std::string_view defaultExt, std::intptr_t owner,
                               std::uint32_t flags, const std::string& source)
    : convertedFilter_(common_dialog::ConvertFilter(filter)),
      filter_(ToWide(convertedFilter_)),
      initDir_(ToWide(initDir)),
      dlgTitle_(ToWide(dlgTitle)),
      defaultExt_(ToWide(defaultExt)) {
    common_dialog::CheckBufferText(fileName, source);
    common_dialog::CheckBufferText(fileTitle, source);
    file_ = PathBuffer(fileName);
    fileTitle_ = PathBuffer(fileTitle);

    record_.lStructSize = sizeof(record_);
    record_.hwndOwner = OwnerWindow(owner);
    record_.lpstrFilter = filter_.c_str();
    record_.nFilterIndex = static_cast<DWORD>(filterIndex);
    record_.lpstrFile = file_.data();
    record_.nMaxFile = static_cast<DWORD>(common_dialog::kMaxPath);  // characters, not bytes
    record_.lpstrFileTitle = fileTitle_.data();
    record_.nMaxFileTitle = static_cast<DWORD>(common_dialog::kMaxPath);
    record_.lpstrInitialDir = OptionalText(initDir_);
    record_.lpstrTitle = OptionalText(dlgTitle_);
    record_.lpstrDefExt = OptionalText(defaultExt_);
    record_.Flags = flags;
}

common_dialog::FileDialogAnswer FileNameRecord::Answer(std::int32_t apiReturn) const {
    common_dialog::FileDialogAnswer answer;
    answer.apiReturn = apiReturn;
    answer.fileBuffer = ToUtf8(std::wstring_view(file_.c_str()));
    answer.fileTitleBuffer = ToUtf8(std::wstring_view(fileTitle_.c_str()));
    answer.flags = record_.Flags;
    answer.filterIndex = static_cast<std::int32_t>(record_.nFilterIndex);
    return answer;
}

}  // namespace trayhound
