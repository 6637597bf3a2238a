#include <gtest/gtest.h>

#include <map>

#include "MemoryFileSystem.h"
#include "MemorySettingsStore.h"
#include "Windows1252Codec.h"
#include "editors/ItemEditor.h"
#include "editors/ListEditor.h"
#include "support/Error.h"

namespace trayhound {
namespace {

using std::string;

// The editor confirms a new item as "N", an edit with "'" added; the list box drops a removed
// selection. Logged: placement restored (r) and saved (s), error shown (e), window closed (c).
struct ListView : ListEditorView {
    void ClearEntries() override { entries.clear(), selection = -1; }
    void InsertEntry(int at, const string& s) override { entries.insert(entries.begin() + at, s); }
    void SetEntry(int at, const string& s) override { entries.at(at) = s; }
    void RemoveEntry(int at) override { entries.erase(entries.begin() + at), selection = -1; }
    int EntryCount() const override { return static_cast<int>(entries.size()); }
    int Selection() const override { return selection; }
    void SetSelection(int at) override { selection = at; }
    void EnableButtons(const ListButtons& state) override { buttons = state; }
    bool EditItem(LaunchItem& item) override {
        if (confirm) item.SetCaption(item.Caption() == "New Item" ? "N" : item.Caption() + "'");
        if (confirm) item.SetCommand("run"), item.SetIcon(3);
        return confirm;
    }
    void ShowError(const string&) override { log += "e"; }
    void RestorePosition() override { log += "r", throw std::exception(); }
    void SavePosition() override { log += "s"; }
    void CloseWindow() override { log += "c"; }

    std::vector<string> entries;
    ListButtons buttons;
    int selection = -1;
    string log;
    bool confirm = false;
};

struct ListFixture : ListView {
    explicit ListFixture(std::string_view items) {
        for (const char c : items) app.Document()->Add(c == 't' ? "\\t" : string(1, c), "", 0, -1);
        editor.Form_Load();
    }
    std::shared_ptr<MemoryFileSystem> files = std::make_shared<MemoryFileSystem>();
    Application app{{std::make_shared<MemorySettingsStore>(), files,
                     std::make_shared<Windows1252Codec>(), [] { return "C:"; }, ""}};
    ListEditor editor{*this, app};
};

// Items ("t" is backslash-t), then a script: a digit selects that entry; n/N New confirmed or not,
// e Edit, D double-click, d Delete, u Up, w Down, p/P P and Q dropped on the selected entry or
// below the last, f the next save fails, k OK, x Cancel and unload.
// Then the entries (the working copy's too) | selection, which of Edit, Delete, Up and Down can be
// pressed | the log, L when the working copy went live, S when it was saved.
TEST(ListEditor, ListSelectionButtonsAndOk) {
    const std::pair<const char*, const char*> kRows[] = {
        {"ABn", "N A B | 0 ED-W | r"},     {"ABC0n", "A N B C | 1 EDUW | r"},
        {"AB1N", "A B | 1 EDU- | r"},      {"AtC1e", "A \t' C | 1 EDUW | r"},
        {"AB1D", "A B' | 1 EDU- | r"},     {"A0dk", "| -1 ---- | rcLS"},
        {"ABC1dx", "A C | 1 EDU- | rcs"},  {"ABC2dfk", "A B | 1 EDU- | recL"},
        {"ABC1u", "B A C | 0 ED-W | r"},   {"ABC1wk", "A C B | 2 EDU- | rcLS"},
        {"AB0u1w", "A B | 1 EDU- | r"},    {"tAB0wwu", "A \t B | 1 EDUW | r"},
        {"ABduwe", "A B | -1 ---- | r"},   {"ABC0p", "A P Q B C | 2 EDUW | r"},
        {"AB1P", "A B P Q | 3 EDU- | r"},  {"AB0d", "B | 0 ED-- | r"},
        {"ABPx", "A B P Q | 3 EDU- | rcs"}};
    for (const auto& [script, outcome] : kRows) {
        const std::string_view text = script;
        const auto split = std::min(text.find_first_not_of("ABCt"), text.size());
        ListFixture list(text.substr(0, split));
        auto& editor = list.editor;
        for (const char c : text.substr(split)) {
            list.confirm = c != 'N';
            if (std::isdigit(c)) list.selection = c - '0', editor.lstItems_Click();
            if (c == 'n' || c == 'N') editor.cmdNew_Click();
            if (c == 'e') editor.cmdEdit_Click();
            if (c == 'D') editor.lstItems_DblClick();
            if (c == 'd') editor.cmdDelete_Click();
            if (c == 'u') editor.cmdMoveUp_Click();
            if (c == 'w') editor.cmdMoveDown_Click();
            if (c == 'p' || c == 'P') {
                std::vector<LaunchItem> dropped(2);
                dropped[0].SetCaption("P"), dropped[1].SetCaption("Q");
                editor.ItemsDropped(dropped, c == 'p' ? list.selection : 99);
            }
            if (c == 'f') list.files->FailNextReplace(error_number::kDiskFull);
            if (c == 'k') editor.cmdOK_Click();
            if (c == 'x') editor.cmdCancel_Click(), editor.Form_Unload();
        }
        string shown, items;
        for (const auto& entry : list.entries) shown += entry + " ";
        for (const auto& item : *editor.WorkingCopy()) items += item->DisplayCaption() + " ";
        EXPECT_EQ(items, shown) << script;
        shown += "| " + std::to_string(list.selection) + " ";
        const auto& b = list.buttons;
        shown += string{b.edit ? 'E' : '-', b.del ? 'D' : '-', b.moveUp ? 'U' : '-'};
        shown += b.moveDown ? 'W' : '-';
        shown += " | " + list.log + (list.app.Document() == editor.WorkingCopy() ? "L" : "");
        EXPECT_EQ(shown + (list.files->File("C:\\Trayhound\\Document.dat") ? "S" : ""), outcome);
    }
    // Edit and New keep the command and picture chosen in the item editor too.
    ListFixture edited("A");
    edited.confirm = true, edited.selection = 0, edited.editor.lstItems_Click();
    edited.editor.cmdEdit_Click(), edited.editor.cmdNew_Click();
    for (const auto& item : *edited.editor.WorkingCopy())
        EXPECT_EQ(item->Command() + std::to_string(item->Icon()), "run3");
}

// Also the shell, which refuses "bad", and the registry with the Run history (MRUList orders it).
struct ItemView : ItemEditorView, Shell {
    void SetTitle(const string& text) override { title = text; }
    string CaptionText() const override { return caption; }
    void SetCaptionText(const string& text) override { caption = text; }
    string CommandText() const override { return command; }
    void SetCommandText(const string& text) override { command = text; }
    void SetCommandList(const std::vector<string>& list) override { history = list; }
    void SetIconList(const std::vector<string>&) override {}
    int IconSelection() const override { return icon; }
    void SetIconSelection(int position) override { icon = position; }
    void SetFieldsEnabled(bool on) override { enabled = on; }
    void SelectAll(Field) override {}
    void SetFocus(Field f) override { log += "focus" + std::to_string(int(f)) + " "; }
    void ShowWarning(const string& text) override { log += text + " "; }
    bool GetOpenFileName(OpenFileArgs&) override { return false; }
    std::intptr_t WindowHandle() const override { return 0; }
    void CloseWindow() override { log += "close "; }
    bool Open(const string& s) override { return log += "open " + s + " ", s != "bad"; }
    bool Read(std::string_view key, std::string_view name, string& value) {
        const std::map<std::string_view, string> mru{
            {"MRUList", "ba"}, {"a", "n\\1"}, {"b", "\xC3\xA9\\1"}};
        return value = key == kRunMruKey ? mru.at(name) : "", true;
    }
    static std::vector<string> TwoExtraIcons() { return std::vector<string>(2); }

    string title, caption, command, log;
    std::vector<string> history;
    int icon = -1;
    bool enabled = true;
};

struct ItemFixture : ItemView {
    ItemFixture(const char* caption, int icon) {
        editor.Item.SetCaption(caption), editor.Item.SetCommand("c"), editor.Item.SetIcon(icon);
        editor.Form_Load();
    }
    ItemEditor editor{*this, {std::bind_front(&ItemView::Read, this), this, &TwoExtraIcons}};
};

// Load (command "c"; Run history latest first, without "\1"), type the caption, Test the command,
// OK with the icon entry. Then: title, "off" if command and icon are disabled, icon | log | item.
TEST(ItemEditor, CaptionCommandAndIconOnLoadTestAndOk) {
    const std::tuple<const char*, int, const char*, const char*, int, const char*> kRows[] = {
        {"A", 0, nullptr, "bad", 0, "A 0 | open bad Cannot execute this command. close ok A|bad|0"},
        {"-", 7, nullptr, "", 2, "Separator off 7 | open  close ok -||2"},
        {"A", 8, "   ", "x", 1, "    -1 | open x Please enter the item's caption. focus0 A|c|8"},
        {"A", -3, "--", "", -1, "-- -1 | open  Please enter the item's command. focus1 A|c|-3"},
        {"-", 9, "", "", 9, "New Item -1 | open  Please enter the item's caption. focus0 -|c|9"},
        {"A", 9, " B\t\r\n", "a\tb\n", -1, " B\t\r\n -1 | open a\tb\n close ok  B   |a b |9"}};
    for (const auto& [caption, icon, typed, command, picked, outcome] : kRows) {
        ItemFixture item(caption, icon);
        const auto [it, ok] = std::tie(item.editor.Item, item.editor.OkClicked);
        EXPECT_EQ(item.history, (std::vector<string>{"\xC3\xA9", "n"}));
        if (typed) item.caption = typed, item.editor.txtCaption_Change();
        string out =
            item.title + (item.enabled ? " " : " off ") + std::to_string(item.icon) + " | ";
        item.command = command, item.editor.cmdTest_Click();
        item.icon = picked, item.editor.cmdOK_Click();
        out += item.log + (ok ? "ok " : "") + it.Caption() + "|" + it.Command() + "|";
        EXPECT_EQ(out + std::to_string(it.Icon()), outcome);
    }
    ItemFixture cancelled("A", 4);
    cancelled.caption = "B", cancelled.editor.txtCaption_Change(),
    cancelled.editor.cmdCancel_Click();
    EXPECT_EQ(
        cancelled.log + cancelled.editor.Item.Caption() + (cancelled.editor.OkClicked ? "ok" : ""),
        "close A");
}

}  // namespace
}  // namespace trayhound
