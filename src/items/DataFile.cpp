#include "items/DataFile.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <utility>

#include "items/LaunchItems.h"
#include "support/Ascii.h"
#include "support/Error.h"

namespace trayhound {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kSaveSource = "Trayhound.LaunchItems.Save()";
constexpr std::string_view kLoadSource = "Trayhound.LaunchItems.Load()";
constexpr std::string_view kRecordShape =
    "each line needs a caption, a command and an icon number, separated by TAB characters.";

// The fields of one line, taken one after the other; a non-empty line has at least one.
class FieldSplitter {
  public:
    explicit FieldSplitter(std::string_view line) noexcept : rest_(line), done_(line.empty()) {}

    bool Done() const noexcept { return done_; }

    std::string_view Next() noexcept {
        const auto tab = rest_.find('\t');
        const std::string_view field = rest_.substr(0, tab);
        if (tab == std::string_view::npos) {
            done_ = true;
            rest_ = {};
        } else {
            rest_.remove_prefix(tab + 1);
        }
        return field;
    }

  private:
    std::string_view rest_;
    bool done_;
};

// A whole decimal number with an optional sign directly before its digits, as the program
// writes it (leading zeros and a "+" are accepted too); it must fit in 16 bits.
std::int16_t ParseIcon(std::string_view field, const DataFileReader& stream) {
    const auto quoted = [field] {
        std::string text(1, '"');
        text.append(field).push_back('"');
        return text;
    };
    std::string_view digits = field;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        stream.Fail(error_number::kTypeMismatch,
                    "the icon field " + quoted() + " is not a whole number.");
    }
    // Beyond this magnitude the value is out of range anyway; stop before it can overflow.
    constexpr std::int32_t kCap = 1'000'000;
    std::int32_t magnitude = 0;
    for (const char digit : digits) {
        magnitude = std::min(kCap, magnitude * 10 + (digit - '0'));
    }
    const std::int32_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        stream.Fail(error_number::kOverflow, "the icon number " + quoted() +
                                                 " is out of range; it must lie between -32768 "
                                                 "and 32767.");
    }
    return static_cast<std::int16_t>(value);
}

}  // namespace

void DataFileWriter::WriteRecord(std::string_view caption, std::string_view command,
                                 std::int32_t icon) {
    char number[16];
    const auto converted = std::to_chars(std::begin(number), std::end(number), icon);
    text_.append(caption);
    text_ += '\t';
    text_.append(command);
    text_ += '\t';
    text_.append(number, converted.ptr);
    text_.append("\r\n");
}

std::string DataFileWriter::Encode(const TextCodec& codec) && {
    if (IsAscii(text_)) return std::move(text_);
    // A file in the code page that happens to begin with the bytes of a byte order mark would
    // be read back as UTF-8; such a file is written as UTF-8 in the first place.
    if (auto ansi = codec.FromUtf8(text_); ansi && !ansi->starts_with(kUtf8Bom)) {
        return std::move(*ansi);
    }
    std::string bytes;
    bytes.reserve(kUtf8Bom.size() + text_.size());
    bytes.append(kUtf8Bom).append(text_);
    return bytes;
}

DataFileReader::DataFileReader(std::string_view text, std::string name)
    : text_(text), name_(std::move(name)) {}

std::string DataFileReader::Decode(std::string bytes, const TextCodec& codec) {
    if (bytes.starts_with(kUtf8Bom)) {
        bytes.erase(0, kUtf8Bom.size());
        return bytes;
    }
    if (IsAscii(bytes)) return bytes;
    return codec.ToUtf8(bytes);
}

std::string_view DataFileReader::ReadLine() noexcept {
    ++lineNumber_;
    const auto end = text_.find('\r', position_);
    if (end == std::string_view::npos) {
        const std::string_view line = text_.substr(position_);
        position_ = text_.size();
        return line;
    }
    const std::string_view line = text_.substr(position_, end - position_);
    position_ = end + 1;
    if (position_ < text_.size() && text_[position_] == '\n') ++position_;
    return line;
}

void DataFileReader::Fail(int number, std::string_view problem) const {
    std::string description = "Line " + std::to_string(lineNumber_);
    if (!name_.empty()) description += " of \"" + name_ + "\"";
    description += ": ";
    description += problem;
    throw Error(number, std::move(description));
}

void LaunchItem::Save(DataFileWriter& stream) const {
    stream.WriteRecord(caption_, command_, icon_);
}

void LaunchItem::Load(DataFileReader& stream) {
    const std::string_view line = stream.ReadLine();
    FieldSplitter fields(line);
    if (fields.Done()) {
        stream.Fail(error_number::kSubscriptOutOfRange,
                    "the line is empty, but " + std::string(kRecordShape));
    }
    SetCaption(std::string(TrimBlanks(fields.Next())));
    if (fields.Done()) {
        stream.Fail(error_number::kSubscriptOutOfRange,
                    "the command and icon fields are missing; " + std::string(kRecordShape));
    }
    SetCommand(std::string(TrimBlanks(fields.Next())));
    if (fields.Done()) {
        stream.Fail(error_number::kSubscriptOutOfRange,
                    "the icon field is missing; " + std::string(kRecordShape));
    }
    SetIcon(ParseIcon(TrimBlanks(fields.Next()), stream));
}

namespace {

DataFileWriter WriterOf(const LaunchItems& items) {
    DataFileWriter stream;
    for (const auto& item : items) item->Save(stream);
    return stream;
}

}  // namespace

std::string LaunchItems::Records() const {
    return WriterOf(*this).Text();
}

void LaunchItems::Save(const std::string& fileName, FileSystem& fileSystem,
                       const TextCodec& codec) const {
    const std::string bytes = WriterOf(*this).Encode(codec);

    try {
        fileSystem.ReplaceFile(fileName, bytes);
        return;
    } catch (const Error& failure) {
        if (failure.Number() != error_number::kPathNotFound) {
            throw failure.WithSource(std::string(kSaveSource));
        }
    }
    // The folder is missing: create its last level (a failure here reaches the caller as it
    // is) and try once more.
    fileSystem.CreateFolder(FileSystem::GetParentFolderName(fileName));
    try {
        fileSystem.ReplaceFile(fileName, bytes);
    } catch (const Error& failure) {
        throw failure.WithSource(std::string(kSaveSource));
    }
}

DataFileState LaunchItems::Load(const std::string& fileName, const FileSystem& fileSystem,
                                const TextCodec& codec) {
    auto bytes = fileSystem.ReadFile(fileName);
    if (!bytes) {
        return fileSystem.Exists(fileName) ? DataFileState::kUnreadable : DataFileState::kMissing;
    }
    Clear();

    const std::string text = DataFileReader::Decode(std::move(*bytes), codec);
    DataFileReader stream(text, fileName);
    try {
        // Items are made in blocks that they share, which cuts the heap traffic of a large file
        // by a third; a block goes when the last of its items does. A block is never grown, as
        // that would move its items.
        std::shared_ptr<std::vector<LaunchItem>> block;
        std::size_t blockSize = 16;
        while (!stream.AtEnd()) {
            if (!block || block->size() == block->capacity()) {
                block = std::make_shared<std::vector<LaunchItem>>();
                block->reserve(blockSize);
                blockSize = std::min<std::size_t>(blockSize * 2, 1024);
            }
            LaunchItem& item = block->emplace_back();
            item.Load(stream);
            items_.push_back(ItemPtr(block, &item));
            keys_.emplace_back();
        }
    } catch (const Error& failure) {
        throw failure.WithSource(std::string(kLoadSource));
    }
    return DataFileState::kLoaded;
}

}  // namespace trayhound
