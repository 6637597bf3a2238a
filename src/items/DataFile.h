#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "support/TextCodec.h"

namespace trayhound {

// The data file holds one record per line: Caption TAB Command TAB Icon CR LF, with no header
// and no escapes. It is written in the ANSI code page, or wholly as UTF-8 behind a byte order
// mark when some character has no place in the code page, so nothing is ever replaced.

// The data file being written: the records as UTF-8 text until the file's bytes are made.
class DataFileWriter {
  public:
    // Appends one record: the fields separated by TAB, then CR LF.
    void WriteRecord(std::string_view caption, std::string_view command, std::int32_t icon);

    const std::string& Text() const noexcept { return text_; }

    // The file's bytes: the ANSI code page when every character fits (and the result cannot be
    // mistaken for UTF-8 with a byte order mark), otherwise UTF-8 with a byte order mark.
    std::string Encode(const TextCodec& codec) &&;

  private:
    std::string text_;
};

// The data file being read, line by line. A line ends at CR, at CR LF or at the end of the
// file; a lone LF is part of the line.
class DataFileReader {
  public:
    // text: the file's contents in UTF-8 (see Decode); name: the file as the user knows it,
    // for error descriptions. The text must outlive the reader.
    DataFileReader(std::string_view text, std::string name);

    // The file's bytes as UTF-8: after a UTF-8 byte order mark as they are, otherwise
    // converted from the ANSI code page.
    static std::string Decode(std::string bytes, const TextCodec& codec);

    bool AtEnd() const noexcept { return position_ >= text_.size(); }
    // The next line without its line end.
    std::string_view ReadLine() noexcept;
    // The 1-based number of the line read last.
    int LineNumber() const noexcept { return lineNumber_; }

    // Reports a malformed record: the error names the file, the line and what is wrong.
    [[noreturn]] void Fail(int number, std::string_view problem) const;

  private:
    std::string_view text_;
    std::string name_;
    std::size_t position_ = 0;
    int lineNumber_ = 0;
};

}  // namespace trayhound
