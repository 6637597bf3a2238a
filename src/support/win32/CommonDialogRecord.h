#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <string_view>

#include "support/cCommonDialog.h"

namespace trayhound {

// The open- and save-file request record with the buffers it points into. Built fresh for every
// call; the record points into the object itself, so it can be neither copied nor moved.
class FileNameRecord {
  public:
    // Throws Error (kInvalidProcedureCall) when FileName or FileTitle is longer than 260
    // characters.
    static FileNameRecord ForOpen(const OpenFileArgs& args);
    static FileNameRecord ForSave(const SaveFileArgs& args);

    FileNameRecord(const FileNameRecord&) = delete;
    FileNameRecord& operator=(const FileNameRecord&) = delete;

    OPENFILENAMEW& Record() noexcept { return record_; }
    // The filter as the dialog receives it, NULs included, in UTF-8.
    const std::string& ConvertedFilter() const noexcept { return convertedFilter_; }
    // What the dialog handed back, for the dialog function's result `apiReturn`.
    common_dialog::FileDialogAnswer Answer(std::int32_t apiReturn) const;

  private:
    FileNameRecord(std::string_view fileName, std::string_view fileTitle, std::string_view filter,
                   std::int32_t filterIndex, std::string_view initDir, std::string_view dlgTitle,
                   std::string_view defaultExt, std::intptr_t owner, std::uint32_t flags,
                   const std::string& source);

    std::string convertedFilter_;
    std::wstring filter_;
    std::wstring file_;
    std::wstring fileTitle_;
    std::wstring initDir_;
    std::wstring dlgTitle_;
    std::wstring defaultExt_;
    OPENFILENAMEW record_{};
};

// The owner window of a dialog argument: -1 stands for none.
HWND OwnerWindow(std::intptr_t owner) noexcept;

}  // namespace trayhound
