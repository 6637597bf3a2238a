// The data-file reader on arbitrary bytes: the records a plain reading gives, its own error at the
// first malformed line, and what it loaded survives a save and a load unchanged.
#include <sstream>
#include <tuple>

#include "Fuzz.h"
#include "MemoryFileSystem.h"
#include "Windows1252Codec.h"
#include "items/LaunchItems.h"
#include "support/Error.h"

namespace {

using namespace trayhound;

constexpr const char* kFile = "C:\\Users\\Ann\\AppData\\Roaming\\Trayhound\\Document.dat";
const Windows1252Codec kCodec;

using Values = std::vector<std::tuple<std::string, std::string, std::int32_t>>;

Values ValuesOf(const LaunchItems& items) {
    Values values;
    for (const auto& i : items) values.emplace_back(i->Caption(), i->Command(), i->Icon());
    return values;
}

// The records before the first malformed line, and whether there was none. Lines end at CR or
// CR LF; a record is three or more TAB-separated fields, the third an icon number ("+" allowed).
std::pair<Values, bool> ReadReference(std::string_view bytes) {
    std::istringstream file(bytes.starts_with("\xEF\xBB\xBF") ? std::string(bytes.substr(3))
                                                              : kCodec.ToUtf8(bytes));
    Values values;
    for (std::string line; std::getline(file, line, '\r'); file.peek() == '\n' && file.get()) {
        std::istringstream record(line);
        std::vector<std::string> fields;
        for (std::string f; std::getline(record, f, '\t');) fields.push_back(Trimmed(f));
        std::string_view icon = fields.size() >= 3 ? std::string_view(fields[2]) : "";
        if (icon.starts_with('+') && !icon.starts_with("+-")) icon.remove_prefix(1);
        if (!WholeNumber(icon)) return {values, false};
        values.emplace_back(fields[0], fields[1], *WholeNumber(icon));
    }
    return {values, true};
}

// Loads the file over an earlier item: false when it failed, with the items read before.
bool Load(LaunchItems& items, MemoryFileSystem& disk) {
    items.Add("Earlier", "earlier", 0, -1);
    try {
        return items.Load(kFile, disk, kCodec) == DataFileState::kLoaded;
    } catch (const Error& error) {
        const int number = error.Number();
        FUZZ_CHECK(error.Source() == "Trayhound.LaunchItems.Load()" &&
                   !error.Description().empty() &&
                   (number == error_number::kSubscriptOutOfRange ||
                    number == error_number::kTypeMismatch || number == error_number::kOverflow));
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    MemoryFileSystem disk;
    disk.SetFile(kFile, bytes);
    LaunchItems items;
    const bool complete = Load(items, disk);
    FUZZ_CHECK(std::pair(ValuesOf(items), complete) == ReadReference(bytes));

    // What the program wrote loads whole and unchanged.
    items.Save(kFile, disk, kCodec);
    LaunchItems reloaded;
    FUZZ_CHECK(Load(reloaded, disk) && ValuesOf(reloaded) == ValuesOf(items));
    return 0;
}
