#include <gtest/gtest.h>

#include "MemoryFileSystem.h"
#include "MemorySettingsStore.h"
#include "Windows1252Codec.h"
#include "iconsets/IconSet.h"
#include "iconsets/IniEdit.h"
#include "iconsets/OptionsDialog.h"
#include "support/Error.h"
#include "support/Utf8.h"

namespace trayhound {
namespace {

using std::string;

const Windows1252Codec kCodec;

IniEdit Read(const string& bytes) {
    MemoryFileSystem files;
    files.SetFile("C:\\ini", bytes);
    IniEdit ini;
    EXPECT_TRUE(ini.OpenIni("C:\\ini", files, kCodec));
    return ini;
}

string Bad(int count) {
    return count > 0 ? "\xEF\xBF\xBD" + Bad(count - 1) : "";
}

// U+FFFD stands for each byte that is no UTF-8 (Bad); a file without a byte order mark is ANSI.
// Lines end at CR or CR LF, and "[]" follows them.
TEST(IniEdit, LookupRules) {
    const std::tuple<string, string, string, string> kRows[] = {
        {"[Trayhound Icon Set]\r\nname=Blue\r\ncount = 7", "trayhound icon set", "COUNT", "7"},
        {" [S]\r\n[S]x\r\n[S] \r\nk=v", "S", "k", ""},
        {"[S]\r\n10=ten\r\n1=one", "S", "1", "ten"},
        {"[S]\r\n;k=3\r\ncount  ", "S", "count", "count"},
        {"[S]\r\nab=b=c  \t ", "S", "a", "b=c  \t"},
        {"[S]\r\nk=  v  ", "S", "k", "v"},
        {"[A]\r\nx=1\r\n[B]\r\n\r\n \r\ny=2\r\n", "B", "y", "2"},
        {"k=v\r\n[S]\r\n[no\r\nk=1\r\n[s]\r\nk=2", "S", "k", ""},
        {"[\xC9T\xC9]\r\ncl\xE9=\xE9", "\xC3\xA9t\xC3\xA9", "CL\xC3\x89", "\xC3\xA9"},
        {"\xEF\xBB\xBF[\xC4\x81\xCF\x8D\xD0\xB0]\r\nk=v", "\xC4\x80\xCE\x8E\xD0\x90", "K", "v"},
        {"\xEF\xBB\xBF[S]\r\nk=\xFF\xC3("
         "\xE0\x80\x80\xED\xA0\x80\xF4\x90\x80\x80\xF8\x90\x80\x80\xEF\xBC\xA1\xF4\x80\x80\x80\xE2",
         "S", "k", Bad(2) + "(" + Bad(14) + "\xEF\xBC\xA1\xF4\x80\x80\x80" + Bad(1)},
        {string("\xFF\xFE[\0S\0]\0\r\0\x3D\xD8\x00\xDC\xFF\xDB\xFF\xDF\x3D\xD8z\0\x00\xDC\x00\xD8z",
                27),
         "S", "", "\xF0\x9F\x90\x80\xF4\x8F\xBF\xBF" + Bad(1) + "z" + Bad(3)},
        {string("\xFF\xFE[\0S\0]\0\r\0k\0=\0\x3D\xD8\x00\xDE", 18), "S", "k", "\xF0\x9F\x98\x80"}};
    for (const auto& [file, section, key, value] : kRows)
        EXPECT_EQ(Read(file).GetValue(section, key), value) << file << "|" << section << "|" << key;
    IniEdit ini = Read(" [S] \r\r\nb\rc\nd\r\n");
    EXPECT_EQ(ini.Lines(), (std::vector<string>{" [S] ", "", "b", "c\nd", "[]"}));
}

// Letters fold one for one to their capitals where Windows folds them alike in every language;
// the others, and the letters just outside each folding run, stay.
TEST(IniEdit, UpperCaseFoldsLettersOneForOne) {
    const std::u32string kFrom =
        U"`az{\u00DF\u00E0\u00F7\u00FE\u00FF\u0101\u0130\u0131\u0137\u0138\u0139"
        U"\u013A\u0148\u0149\u014B\u0178\u017A\u017E\u017F\u03AC\u03AD\u03AF\u03B0"
        U"\u03B1\u03C2\u03CB\u03CC\u03CD\u03CE\u042F\u0430\u044F\u0450\u045F\u0460";
    const std::u32string kTo =
        U"`AZ{\u00DF\u00C0\u00F7\u00DE\u0178\u0100\u0130\u0131\u0136\u0138\u0139"
        U"\u0139\u0147\u0149\u014A\u0178\u0179\u017D\u017F\u0386\u0388\u038A\u03B0"
        U"\u0391\u03A3\u03AB\u038C\u038E\u038F\u042F\u0410\u042F\u0400\u040F\u0460";
    ASSERT_EQ(kFrom.size(), kTo.size());
    for (std::size_t i = 0; i < kFrom.size(); ++i) {
        string from, to;
        AppendUtf8(from, kFrom[i]), AppendUtf8(to, kTo[i]);
        EXPECT_EQ(IniEdit::UpperCase(from), to) << "U+" << std::hex << std::uint32_t{kFrom[i]};
    }
}

// Each picture's image ("*" built in, extras named), then the set's count.
TEST(IconSet, ReadingASetItsBoundAndTheIconsItServes) {
    MemoryFileSystem files;
    files.SetFile("trayhound:\\internal.iconset", "[Trayhound Icon Set]\r\ncount=9");
    files.SetFile("C:\\a", "[trayhound icon set]\r\n1=a\r\n3=s\\c\r\ncount=+7\r\n6=x.y\r\n7=z");
    files.SetFile("C:\\S\\r", "[Trayhound Icon Set]\r\ncount=3\r\n5=w\r\n6=v");
    const std::pair<const char*, const char*> kRows[] = {
        {"trayhound:\\internal.iconset", "*|*|*|*|*|#5"},
        {"C:\\a", "C:\\a||C:\\s\\c|||x@C:\\x.y|z@C:\\z|#7"},
        {"C:\\S\\r", "||||C:\\S\\w|#3"},
        {"Trayhound:\\internal.iconset", "unreadable"}};
    const auto internal = ReadIconSet(kInternalIconSetMarker, files, kCodec);
    for (const auto& [entry, shown] : kRows) {
        const auto set = ReadIconSet(entry, files, kCodec);
        string text = set ? "" : "unreadable";
        for (std::size_t i = 0; set && i < set->pictures.size(); ++i) {
            const auto& picture = set->pictures[i];
            text += (i < 5 ? "" : picture.name + "@") +
                    (picture.source == IconSource::Internal ? "*" : picture.path) + "|";
        }
        EXPECT_EQ(set ? text + "#" + std::to_string(set->count) : text, shown) << entry;
        // A file's standard pictures take the roles of the built-in ones.
        for (std::size_t i = 0; set && i < 5; ++i)
            EXPECT_EQ(set->pictures[i].name, internal->pictures[i].name) << entry << i;
    }
    const std::pair<const char*, int> kCounts[] = {
        {"0", 0}, {"-32768", -32768}, {"007", 7}, {"", 5}, {"7a", 5}, {"32768", 5}, {" 7", 5}};
    for (const auto& [text, count] : kCounts) EXPECT_EQ(IconSetCount(text), count) << text;
}

struct OptionsView : OptionsDialogView {
    void AddIconSetEntry(const string& s, int data) override { entries.emplace_back(s, data); }
    // Like the real list, an entry inserted before the selection moves the selection down.
    void InsertIconSetEntry(int at, const string& s, int data) override {
        entries.insert(entries.begin() + at, {s, data});
        if (at <= selected) ++selected;
    }
    int IconSetEntryCount() const override { return static_cast<int>(entries.size()); }
    int IconSetItemData(int index) const override { return entries.at(index).second; }
    int SelectedIconSet() const override { return selected; }
    void SelectIconSet(int index) override { selected = index; }
    void SetAuthorText(const string& text) override { labels = text; }
    void SetDescriptionText(const string& text) override { labels += "|" + text; }
    std::optional<string> BrowseForIconSet() override {
        const auto chosen = std::exchange(answer, std::nullopt).value();
        return chosen == "!" ? throw Error(error_number::kInvalidProcedureCall, "") : chosen;
    }
    void SetStartAtSignIn(bool checked) override { signIn = checked; }
    bool StartAtSignIn() const override { return signIn; }
    void SetHotkey(const Hotkey& shown, bool active) override {
        hotkey = shown, hotkeyActive = active;
    }
    Hotkey ChosenHotkey() const override { return hotkey; }
    void ShowMessage(const string& text) override { messages += text.substr(0, 30) + "|"; }

    std::vector<std::pair<string, int>> entries;
    int selected = -1;
    string labels;
    std::optional<std::optional<string>> answer;
    bool signIn = false, hotkeyActive = false;
    Hotkey hotkey;
    string messages;
};

// Lists are words: "t" the internal set, other letters files, of which a to d and B can be read.
// Script: a digit selects that entry; ">x" answers the next file dialog (with no answer it ends
// the test): file x, "_" cancels it, "!" fails. "k" is OK. Then entries | selection | labels.
TEST(OptionsDialog, ChoosingTheActiveSet) {
    const std::tuple<const char*, const char*, const char*> kRows[] = {
        {"gg", "",
         "Internal icon set-1 Browse...0 | 0/0 | Author: Wexmoor|The internal icon set. | gg"},
        {"agtgb", "2", "a1 Internal icon set-1 b3 Browse...0 | 2/2 | Author: b|bb | agtgb"},
        {"abt", "120", "a1 b2 Internal icon set-1 Browse...0 | 0/0 | Author: a|aa | abt"},
        {"ab", "1>_2>g2>!2", "a1 b2 Browse...0 | 1/1 | Author: b|bb | ab"},
        {"abc", "2k", "a1 b2 c3 Browse...0 | 2/2 | Author: c|cc | cab"},
        {"tgab", ">B3k", "Internal icon set-1 a2 b3 B4 Browse...0 | 3/3 | Author: B|BB | Btab"}};
    const string marker(kInternalIconSetMarker);
    for (const auto& [list, script, outcome] : kRows) {
        const auto files = std::make_shared<MemoryFileSystem>();
        for (const string c : {"a", "b", "c", "d", "B"})
            files->SetFile(c, "[Trayhound Icon Set]\r\nname=" + c + "\r\nauthor=" + c +
                                  "\r\ndescription=" + c + c);
        Application app({std::make_shared<MemorySettingsStore>(), files,
                         std::make_shared<Windows1252Codec>(), [] { return "C:"; }, ""});
        auto& stored = app.Options()->LastIconSetFileNames;
        stored.clear();
        for (const char* c = list; *c; ++c) stored.push_back(*c == 't' ? marker : string(1, *c));
        OptionsView view;
        OptionsDialog dialog(app, view);
        dialog.Form_Load();
        for (const char* c = script; *c; ++c) {
            if (std::isdigit(*c)) view.selected = *c - '0', dialog.cboIconSet_Click();
            if (*c == '>') view.answer = *++c == '_' ? std::nullopt : std::optional(string(1, *c));
            if (*c == 'k') dialog.cmdOK_Click();
        }
        string out;
        for (const auto& [text, data] : view.entries) out += text + std::to_string(data) + " ";
        out += "| " + std::to_string(view.selected) + "/" + std::to_string(dialog.LastListIndex());
        out += " | " + view.labels + " | ";
        for (const auto& path : app.Options()->LastIconSetFileNames) out += path[0];
        EXPECT_EQ(out, outcome) << list << " " << script;
    }
    EXPECT_EQ(OptionsDialog::FillTemplate("%a, %A.", "%a", "x%a"), "x%a, %A.");
}

// The sign-in entry and stored hotkey at opening, whether another program holds the hotkey, the
// box and hotkey at OK ("-": Cancel); then the entry written, the hotkey stored and registered,
// the messages, and whether the page showed the stored hotkey as active.
TEST(OptionsDialog, TheGeneralPageWritesOnlyWhatTheUserChanged) {
    using Text = std::optional<string>;
    const std::tuple<Text, string, bool, bool, string, string> kRows[] = {
        {std::nullopt, "", false, false, "", "||||1"},
        {"\"D:\\T.exe\"", "", false, true, "", "||||1"},
        {"\"D:\\T.exe\"", "", false, false, "", "deleted||||1"},
        {std::nullopt, "", false, true, "", "\"C:\\T.exe\"||||1"},
        {std::nullopt, "", false, true, "-Ctrl+Alt+T", "||||1"},
        {std::nullopt, "", false, false, "Ctrl+Alt+T", "|Ctrl+Alt+T|Ctrl+Alt+T||1"},
        {std::nullopt, "", true, false, "Alt+F1",
         "|Alt+F1|Alt+F1|Another program uses the hotke||1"},
        {std::nullopt, "Alt+F1", true, false, "Alt+F1", "|Alt+F1|Alt+F1||0"},
        {std::nullopt, "Alt+F1", false, false, "Alt+F1", "|Alt+F1|||1"},
        {std::nullopt, "Alt+F1", false, false, "", "||none||1"}};
    for (const auto& [entry, stored, held, box, chosen, outcome] : kRows) {
        SCOPED_TRACE(stored + " " + chosen);
        const auto settings = std::make_shared<MemorySettingsStore>();
        if (!stored.empty()) settings->Write(kAppTitle, kGeneralSection, kHotkeyKey, stored);
        Application app({settings, std::make_shared<MemoryFileSystem>(),
                         std::make_shared<Windows1252Codec>(), [] { return "C:"; }, ""});
        string written, registered;
        GeneralServices general{[&] { return entry; },
                                [&](const Text& command) { written = command.value_or("deleted"); },
                                "C:\\T.exe",
                                [&](const Hotkey& hotkey) {
                                    registered = hotkey.IsSet() ? FormatHotkey(hotkey) : "none";
                                    return !held;
                                },
                                [&] { return !held; }};
        OptionsView view;
        OptionsDialog dialog(app, view, general);
        dialog.Form_Load();
        const bool active = view.hotkeyActive;
        view.signIn = box;
        view.hotkey = *ParseHotkey(chosen.substr(chosen.starts_with('-')));
        if (!chosen.starts_with('-')) dialog.cmdOK_Click();
        EXPECT_EQ(written + "|" + settings->Read(kAppTitle, kGeneralSection, kHotkeyKey, "") + "|" +
                      registered + "|" + view.messages + "|" + (active ? "1" : "0"),
                  outcome);
    }
}

}  // namespace
}  // namespace trayhound
