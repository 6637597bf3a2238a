#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "support/FileSystem.h"
#include "support/TextCodec.h"

namespace trayhound {

// Reads an INI-style file (icon sets) into memory and answers lookups. The matching rules are
// deliberately not the usual INI ones and icon-set files depend on them:
// - a section header is a whole line equal to "[name]" in any letter case, nothing around it;
// - a section runs to the next line that starts with "[", and only the first section of a name
//   is ever searched;
// - a key matches every line whose first len(key) characters equal the key in any letter case
//   (key "1" also matches "10=ten"); the first such line of the section wins;
// - the value is the text after the first "=" (the whole line without one), with blanks, not
//   tabs, trimmed; there is no comment syntax.
// Lookups go through an index built when the file is read; it answers exactly as a scan of the
// lines from the first would.
class IniEdit {
  public:
    // Reads the whole file, replacing what an earlier call read, and appends the line "[]".
    // A file starting with a UTF-8 or UTF-16LE byte order mark is read in that encoding, any
    // other through `codec` (the ANSI code page). Lines end at CR or CR LF; a lone LF stays in
    // the line. False, with the lines left as they were, when the file cannot be read.
    bool OpenIni(const std::string& FileName, const FileSystem& fileSystem, const TextCodec& codec);

    // The value of `Key` in `Section`, or empty text when either is missing or nothing has
    // been read.
    std::string GetValue(std::string_view Section, std::string_view Key) const;

    // The lines as read (UTF-8, untrimmed), the appended "[]" last.
    const std::vector<std::string>& Lines() const noexcept { return lines_; }

    // The letter-case folding used by lookups: simple one-to-one upper-case mapping of ASCII,
    // Latin-1, Latin Extended-A, Greek and Cyrillic letters; every other character stays as it
    // is. Bytes that are not valid UTF-8 become U+FFFD, so that the result is always valid UTF-8
    // with exactly one character for each character of the input.
    static std::string UpperCase(std::string_view text);

  private:
    struct Index {
        std::vector<std::string> upperLines;
        // By upper-cased header line: the lines of the first section of that name, ordered by
        // their upper-cased text.
        std::unordered_map<std::string, std::vector<std::size_t>> sections;
    };

    static Index BuildIndex(const std::vector<std::string>& lines);

    std::vector<std::string> lines_;
    Index index_;
};

}  // namespace trayhound
