#include "support/cCommonDialog.h"

#include "support/Error.h"
#include "support/Utf8.h"

namespace trayhound::common_dialog {
namespace {

constexpr std::uint32_t CallerFlags(std::uint32_t flags) noexcept {
    // A hook or a template would need code and resources this class does not have.
    return flags & ~(kEnableHook | kEnableTemplate);
}

template <class Args>
bool ApplyFileAnswer(Args& args, std::string_view convertedFilter, const FileDialogAnswer& answer) {
    if (answer.apiReturn != 1) {
        args.FileName.clear();
        args.FileTitle.clear();
        args.flags = 0;
        args.FilterIndex = -1;
        args.Filter.clear();
        return false;
    }
    args.FileName = TextBeforeNul(answer.fileBuffer);
    args.FileTitle = TextBeforeNul(answer.fileTitleBuffer);
    args.flags = answer.flags;
    args.FilterIndex = answer.filterIndex;
    args.Filter = FilterPair(convertedFilter, args.FilterIndex);
    return true;
}

}  // namespace

std::uint32_t OpenFileFlags(const OpenFileArgs& args) noexcept {
    std::uint32_t flags = 0;
    if (args.FileMustExist) flags |= kFileMustExist;
    if (args.MultiSelect) flags |= kAllowMultiSelect;
    if (args.ReadOnly) flags |= kReadOnly;
    if (args.HideReadOnly) flags |= kHideReadOnly;
    return flags | CallerFlags(args.flags);
}

std::uint32_t SaveFileFlags(const SaveFileArgs& args) noexcept {
    std::uint32_t flags = kHideReadOnly;
    if (args.OverWritePrompt) flags |= kOverwritePrompt;
    return flags | CallerFlags(args.flags);
}

std::string ConvertFilter(std::string_view filter) {
    std::string converted;
    converted.reserve(filter.size() + 2);
    for (const char c : filter) converted += (c == '|' || c == ':') ? '\0' : c;
    converted.append(2, '\0');
    return converted;
}

std::string FilterPair(std::string_view converted, std::int32_t index) {
    std::size_t start = 0;
    while (start < converted.size()) {
        const std::size_t first = converted.find('\0', start);
        if (first == std::string_view::npos) return {};
        const std::size_t second = converted.find('\0', first + 1);
        const std::string_view pair = converted.substr(
            start, second == std::string_view::npos ? std::string_view::npos : second - start);
        if (index == 1) {
            // What is left at the end is the list's closing NULs, which are no pair.
            if (pair.find_first_not_of('\0') == std::string_view::npos) return {};
            return std::string(pair);
        }
        --index;
        if (second == std::string_view::npos) return {};
        start = second + 1;
    }
    return {};
}

std::string TextBeforeNul(std::string_view buffer) {
    return std::string(buffer.substr(0, buffer.find('\0')));
}

void CheckBufferText(std::string_view text, const std::string& source) {
    if (Utf16Length(text) > kMaxPath) {
        throw Error(error_number::kInvalidProcedureCall, "Invalid procedure call or argument",
                    source);
    }
}

bool ApplyAnswer(OpenFileArgs& args, std::string_view convertedFilter,
                 const FileDialogAnswer& answer) {
    const bool confirmed = ApplyFileAnswer(args, convertedFilter, answer);
    if (confirmed && (answer.flags & kReadOnly)) args.ReadOnly = true;
    return confirmed;
}

bool ApplyAnswer(SaveFileArgs& args, std::string_view convertedFilter,
                 const FileDialogAnswer& answer) {
    return ApplyFileAnswer(args, convertedFilter, answer);
}

}  // namespace trayhound::common_dialog
