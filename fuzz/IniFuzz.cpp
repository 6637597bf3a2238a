// The INI reader on arbitrary files and lookups: its index must answer every lookup exactly as
// a scan of the lines from the first does.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "LinearIni.h"
#include "MemoryFileSystem.h"
#include "iconsets/IniEdit.h"
#include "Windows1252Codec.h"

namespace {

using namespace trayhound;

constexpr const char* kPath = "C:\\Sets\\fuzz.iconset";

// Characters counted in valid UTF-8.
std::size_t CharacterCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// A section name or key: arbitrary bytes, or a piece of one of the file's own lines, so that
// lookups hit as often as they miss.
std::string Probe(FuzzedDataProvider& input, const std::vector<std::string>& lines, bool section) {
    if (lines.empty() || input.ConsumeBool()) return input.ConsumeRandomLengthString(24);
    const std::string& line = lines[input.ConsumeIntegralInRange<std::size_t>(0, lines.size() - 1)];
    std::string_view text = line;
    if (section && text.starts_with('[')) {
        text.remove_prefix(1);
        if (text.ends_with(']')) text.remove_suffix(1);
    }
    const auto length = input.ConsumeIntegralInRange<std::size_t>(0, text.size());
    std::string probe(text.substr(0, length));
    // Flip the case of some ASCII letters: lookups ignore case.
    for (char& c : probe) {
        if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && input.ConsumeBool()) c ^= 0x20;
    }
    return probe;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string file = input.ConsumeRandomLengthString(4096);

    MemoryFileSystem disk;
    disk.SetFile(kPath, file);
    const Windows1252Codec codec;
    IniEdit ini;
    FUZZ_CHECK(ini.GetValue("A", "") == "");
    FUZZ_CHECK(ini.OpenIni(kPath, disk, codec));
    const auto& lines = ini.Lines();
    FUZZ_CHECK(!lines.empty() && lines.back() == "[]");
    for (const auto& line : lines) {
        FUZZ_CHECK(line.find('\r') == std::string::npos);
        FUZZ_CHECK(CharacterCount(IniEdit::UpperCase(line)) == CharacterCount(line));
    }

    for (int lookup = 0; lookup < 64 && input.remaining_bytes() > 0; ++lookup) {
        const std::string section = Probe(input, lines, true);
        const std::string key = Probe(input, lines, false);
        FUZZ_CHECK(ini.GetValue(section, key) == LinearGetValue(lines, section, key));
    }

    // A second open replaces everything the first one read.
    disk.SetFile(kPath, "[S]\r\nk=v");
    FUZZ_CHECK(ini.OpenIni(kPath, disk, codec));
    FUZZ_CHECK(ini.GetValue("s", "K") == "v");
    FUZZ_CHECK(ini.Lines().size() == 3);
    return 0;
}
