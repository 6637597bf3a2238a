// The data-file reader on arbitrary bytes: it must never fail other than with its own error,
// and whatever it loaded must survive a save and a load unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "FuzzCheck.h"
#include "MemoryFileSystem.h"
#include "items/LaunchItems.h"
#include "support/Error.h"
#include "Windows1252Codec.h"

namespace {

using namespace trayhound;

constexpr const char* kFile = "C:\\Users\\Ann\\AppData\\Roaming\\Trayhound\\Document.dat";

using Values = std::vector<std::tuple<std::string, std::string, std::int32_t>>;

Values ValuesOf(const LaunchItems& items) {
    Values values;
    for (const auto& item : items)
        values.emplace_back(item->Caption(), item->Command(), item->Icon());
    return values;
}

// Every line ends at a CR or at the end of the file, so a file has at most this many records.
std::size_t MostRecords(std::string_view bytes) {
    std::size_t records = 1;
    for (const char c : bytes) records += c == '\r';
    return records;
}

// The records as a plain reading of the format gives them, up to the first malformed one
// (then `complete` is false).
struct Reference {
    Values values;
    bool complete = true;
};

std::string_view Trimmed(std::string_view field) {
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    return field;
}

std::optional<std::int32_t> ReferenceIcon(std::string_view field) {
    if (!field.empty() && (field.front() == '-' || field.front() == '+')) {
        const auto rest = ReferenceIcon(field.substr(1));
        if (!rest || field.substr(1).starts_with('-') || field.substr(1).starts_with('+')) {
            return std::nullopt;
        }
        return field.front() == '-' ? -*rest : *rest;
    }
    if (field.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        value = std::min<std::int64_t>(value * 10 + (c - '0'), 1'000'000);
    }
    return static_cast<std::int32_t>(value);
}

Reference ReadReference(std::string_view bytes, const Windows1252Codec& codec) {
    std::string text;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        text = bytes.substr(3);
    } else {
        text = codec.ToUtf8(bytes);
    }
    Reference reference;
    std::size_t position = 0;
    while (position < text.size()) {
        auto end = text.find('\r', position);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = std::string_view(text).substr(position, end - position);
        position = end + 1;
        if (position < text.size() && text[position] == '\n') ++position;

        std::vector<std::string_view> fields;
        for (std::size_t start = 0; !line.empty();) {
            const auto tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
            if (tab == std::string_view::npos) break;
            start = tab + 1;
        }
        const auto icon = fields.size() >= 3 ? ReferenceIcon(Trimmed(fields[2])) : std::nullopt;
        if (!icon || *icon < -32768 || *icon > 32767) {
            reference.complete = false;
            break;
        }
        reference.values.emplace_back(Trimmed(fields[0]), Trimmed(fields[1]), *icon);
    }
    return reference;
}

bool IsLoadError(const Error& error) {
    return error.Source() == "Trayhound.LaunchItems.Load()" && !error.Description().empty() &&
           (error.Number() == error_number::kSubscriptOutOfRange ||
            error.Number() == error_number::kTypeMismatch ||
            error.Number() == error_number::kOverflow);
}

// Saves the items and loads the file back: the same items, and saving them again gives the
// same bytes.
void SaveAndCheckReload(const LaunchItems& items, MemoryFileSystem& disk,
                        const Windows1252Codec& codec) {
    items.Save(kFile, disk, codec);
    const std::string saved = disk.File(kFile).value();
    LaunchItems reloaded;
    reloaded.Add("Stale", "stale", 1, -1);
    try {
        FUZZ_CHECK(reloaded.Load(kFile, disk, codec) == DataFileState::kLoaded);
    } catch (const Error&) {
        FUZZ_CHECK(!"what the program wrote must load again");
    }
    FUZZ_CHECK(ValuesOf(reloaded) == ValuesOf(items));
    // Saving the reloaded items gives the very same bytes.
    reloaded.Save(kFile, disk, codec);
    FUZZ_CHECK(disk.File(kFile).value() == saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const Windows1252Codec codec;
    MemoryFileSystem disk;
    disk.SetFile(kFile, bytes);

    LaunchItems items;
    const auto before = items.Add("Before", "before", 0, -1);
    bool complete = true;
    try {
        FUZZ_CHECK(items.Load(kFile, disk, codec) == DataFileState::kLoaded);
    } catch (const Error& error) {
        FUZZ_CHECK(IsLoadError(error));
        complete = false;
    }
    const Reference reference = ReadReference(bytes, codec);
    FUZZ_CHECK(complete == reference.complete);
    FUZZ_CHECK(ValuesOf(items) == reference.values);
    // The former items are gone whatever the file held.
    FUZZ_CHECK(static_cast<std::size_t>(items.count()) <= MostRecords(bytes));
    for (const auto& item : items) {
        const auto& caption = item->Caption();
        const auto& command = item->Command();
        FUZZ_CHECK(caption.find_first_of("\t\r") == std::string::npos);
        FUZZ_CHECK(command.find_first_of("\t\r") == std::string::npos);
        FUZZ_CHECK(!caption.starts_with(' ') && !caption.ends_with(' '));
        FUZZ_CHECK(!command.starts_with(' ') && !command.ends_with(' '));
        FUZZ_CHECK(item->Icon() >= -32768 && item->Icon() <= 32767);
    }

    for (const auto& item : items) FUZZ_CHECK(item != before);

    SaveAndCheckReload(items, disk, codec);
    return 0;
}
