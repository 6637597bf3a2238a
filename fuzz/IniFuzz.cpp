// The INI reader on arbitrary files and lookups: its index must answer every lookup exactly as
// a scan of the lines from the first does.
#include <fuzzer/FuzzedDataProvider.h>

#include "Fuzz.h"
#include "LinearIni.h"
#include "MemoryFileSystem.h"
#include "Windows1252Codec.h"
#include "iconsets/IniEdit.h"

namespace {

using namespace trayhound;

// A section name or key: arbitrary bytes, or the start of a line of the file (a header without
// its brackets) with some letters' case flipped, so that lookups hit as often as they miss.
std::string Probe(FuzzedDataProvider& input, const std::vector<std::string>& lines) {
    if (input.ConsumeBool()) return input.ConsumeRandomLengthString(24);
    std::string_view text = lines[input.ConsumeIntegralInRange<std::size_t>(0, lines.size() - 1)];
    if (text.starts_with('[') && input.ConsumeBool()) text = text.substr(1, text.rfind(']') - 1);
    std::string probe(text.substr(0, input.ConsumeIntegralInRange<std::size_t>(0, text.size())));
    for (char& c : probe)
        c ^= (c | 0x20) >= 'a' && (c | 0x20) <= 'z' && input.ConsumeBool() ? 0x20 : 0;
    return probe;
}

std::size_t CharacterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    constexpr const char* kPath = "C:\\Sets\\fuzz.iconset";
    MemoryFileSystem disk;
    disk.SetFile(kPath, input.ConsumeRandomLengthString(4096));
    const Windows1252Codec codec;
    IniEdit ini;
    FUZZ_CHECK(ini.OpenIni(kPath, disk, codec));
    const auto& lines = ini.Lines();
    FUZZ_CHECK(!lines.empty() && lines.back() == "[]");
    for (const auto& line : lines)
        FUZZ_CHECK(line.find('\r') == std::string::npos &&
                   CharacterCount(IniEdit::UpperCase(line)) == CharacterCount(line));
    for (int lookup = 0; lookup < 64 && input.remaining_bytes() > 0; ++lookup) {
        const std::string section = Probe(input, lines);
        const std::string key = Probe(input, lines);
        FUZZ_CHECK(ini.GetValue(section, key) == LinearGetValue(lines, section, key));
    }

    // A second open replaces everything the first one read.
    disk.SetFile(kPath, "[S]\r\nk=v");
    FUZZ_CHECK(ini.OpenIni(kPath, disk, codec) && ini.Lines().size() == 3 &&
               ini.GetValue("s", "K") == "v");
    return 0;
}
