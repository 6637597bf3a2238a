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

// Its item editor confirms a new item as "N" and an edited one with "'" added, each running
// "run <caption>"; its list box drops the selection with the selected entry.
struct ListView : ListEditorView {
    void ClearEntries() override { entries.clear(), selection = -1; }
    void InsertEntry(int at, const string& s) override { entries.insert(entries.begin() + at, s); }
    void SetEntry(int at, const string& s) override { entries.at(at) = s; }
    void RemoveEntry(int at) override { entries.erase(entries.begin() + at), selection = -1; }
    int EntryCount() const override { return static_cast<int>(entries.size()); }
    int Selection() const override { return selection; }
    void SetSelection(int at) override { selection = at; }
    void EnableButtons(const ListButtons& b) override {
        on = {b.edit, b.del, b.moveUp, b.moveDown};
    }
    bool EditItem(LaunchItem& item) override {
        const string caption = item.Caption() == "New Item" ? "N" : item.Caption() + "'";
        if (confirm) item.SetCaption(caption), item.SetCommand("run " + caption);
        return confirm;
    }
    void ShowError(const string&) override { log += "error "; }
    void RestorePosition() override { log += "restore ", throw std::exception(); }
    void SavePosition() override { log += "save "; }
    void CloseWindow() override { log += "close "; }

    std::vector<string> entries;
    std::vector<bool> on;
    int selection = -1;
    string log;
    bool confirm = false;
};

// Items are given as letters; "t" stands for a caption with a tab in it.
struct ListFixture : ListView {
    explicit ListFixture(std::string_view letters) {
        for (const char c : letters)
            app.Document()->Add(c == 't' ? "t\\tF1" : string(1, c), "", 0, -1);
        editor.Form_Load();
    }
    std::shared_ptr<MemoryFileSystem> files = std::make_shared<MemoryFileSystem>();
    Application app{{std::make_shared<MemorySettingsStore>(), files,
                     std::make_shared<Windows1252Codec>(), [] { return "C:"; }, ""}};
    ListEditor editor{*this, app};
};

// The items, then the script: a digit selects that entry; n/N New confirmed/cancelled, e Edit,
// D double-click, d Delete, u Move Up, w Move Down. Outcome: the entries, also the working
// copy's | the selection and which of Edit, Delete, Move Up and Move Down can be pressed.
TEST(ListEditor, ListSelectionAndButtonsAfterEachStep) {
    const std::pair<const char*, const char*> kRows[] = {
        {"ABn", "N A B | 0 ED-W"},   {"ABC0n", "A N B C | 1 EDUW"},
        {"AB1N", "A B | 1 EDU-"},    {"AtC1e", "A t\tF1' C | 1 EDUW"},
        {"AB1D", "A B' | 1 EDU-"},   {"A0d", "| -1 ----"},
        {"ABC1d", "A C | 1 EDU-"},   {"ABC2d", "A B | 1 EDU-"},
        {"ABC1u", "B A C | 0 ED-W"}, {"ABC1w", "A C B | 2 EDU-"},
        {"AB0u1w", "A B | 1 EDU-"},  {"tAB0wwu", "A t\tF1 B | 1 EDUW"},
        {"ABduwe", "A B | -1 ----"}};
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
        }
        string shown, items;
        for (const auto& entry : list.entries) shown += entry + " ";
        for (const auto& item : *editor.WorkingCopy()) items += item->DisplayCaption() + " ";
        EXPECT_EQ(items, shown) << script;
        shown += "| " + std::to_string(list.selection) + " ";
        for (std::size_t i = 0; i < 4; ++i) shown += list.on.at(i) ? "EDUW"[i] : '-';
        EXPECT_EQ(shown, outcome) << script;
    }
}

TEST(ListEditor, OkHandsTheCopyOverAndSavesItCancelDropsIt) {
    ListFixture list("AB");
    auto& editor = list.editor;
    list.selection = 0, list.confirm = true, editor.cmdDelete_Click(), editor.cmdCancel_Click();
    editor.Form_Unload(), editor.Form_Load(), list.selection = 0, editor.cmdEdit_Click();
    editor.cmdNew_Click(), list.files->FailNextReplace(error_number::kDiskFull),
        editor.cmdOK_Click();
    EXPECT_EQ(list.app.Document(), editor.WorkingCopy());  // kept although the save failed
    editor.Form_Unload(), editor.cmdOK_Click();
    EXPECT_EQ(list.files->File("C:\\Trayhound\\Document.dat"),
              "A'\trun A'\t0\r\nN\trun N\t0\r\nB\t\t0\r\n");
    EXPECT_EQ(list.log, "restore close save restore error close save close ");
}

// Also the shell, which refuses the command "bad", and the registry with the Run history.
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
    void SelectAll(Field f) override { log += "all" + std::to_string(int(f)) + " "; }
    void SetFocus(Field f) override { log += "focus" + std::to_string(int(f)) + " "; }
    void ShowWarning(const string& text) override { log += text + " "; }
    bool GetOpenFileName(OpenFileArgs&) override { return false; }
    std::intptr_t WindowHandle() const override { return 0; }
    void CloseWindow() override { log += "close "; }
    bool Open(const string& s) override { return log += "open " + s + " ", s != "bad"; }
    bool Read(std::string_view key, std::string_view name, string& value) {
        const std::map<std::string_view, string> runHistory{
            {"MRUList", "ba"}, {"a", "n\\1"}, {"b", "\xC3\xA9\\1"}};
        return value = key == kRunMruKey ? runHistory.at(name) : "", true;
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

// An item with the command "c" is loaded, the caption typed (if any), and OK pressed with the
// command and icon entry given. Outcome: the title, "off" while the command and icon fields are
// disabled, the icon entry shown and the command | what OK shows, and the item then.
TEST(ItemEditor, CaptionCommandAndIconOnLoadAndOk) {
    const std::tuple<const char*, int, const char*, const char*, int, const char*> kRows[] = {
        {"New Item", 0, nullptr, "x", 0, "New Item 0 c | close ok New Item|x|0"},
        {"", 3, nullptr, "", 3, " 3 c | Please enter the item's caption. focus0 |c|3"},
        {"-", 7, nullptr, "", 2, "Separator off 7 c | close ok -||2"},
        {"A", 8, "   ", "x", 1, "    -1 c | Please enter the item's caption. focus0 A|c|8"},
        {"A", -3, "--", "", -1, "-- -1 c | Please enter the item's command. focus1 A|c|-3"},
        {"New Item", 2, "-", " ", 2, "Separator off 2 c | close ok -| |2"},
        {"-", 9, "", "", 9, "New Item -1 c | Please enter the item's caption. focus0 -|c|9"},
        {"A", 9, "  B\tc\r\n", "a\tb\nc ", -1, "  B\tc\r\n -1 c | close ok   B c  |a b c |9"}};
    for (const auto& [caption, icon, typed, command, picked, outcome] : kRows) {
        ItemFixture item(caption, icon);
        const auto [it, ok] = std::tie(item.editor.Item, item.editor.OkClicked);
        if (typed) item.caption = typed, item.editor.txtCaption_Change();
        string shown = item.title + (item.enabled ? " " : " off ") + std::to_string(item.icon);
        shown += " " + item.command + " | ";
        item.command = command, item.icon = picked, item.editor.cmdOK_Click();
        shown += item.log + (ok ? "ok " : "") + it.Caption() + "|" + it.Command() + "|";
        EXPECT_EQ(shown + std::to_string(it.Icon()), outcome);
    }
}

TEST(ItemEditor, RunHistoryTestFocusAndCancel) {
    ItemFixture item("A", 2);
    auto& editor = item.editor;
    EXPECT_EQ(item.history, (std::vector<string>{"\xC3\xA9", "n"}));  // most recent first, no "\1"
    item.command = "bad", editor.cmdTest_Click(), item.command = " ok ", editor.cmdTest_Click();
    editor.txtCaption_GotFocus(), editor.txtCommand_GotFocus(), editor.cmdCancel_Click();
    EXPECT_EQ(item.log + editor.Item.Command() + std::to_string(editor.OkClicked),
              "open bad Cannot execute this command. open  ok  all0 all1 close c0");
    editor.cmdOK_Click(), editor.Form_Load();
    EXPECT_FALSE(editor.OkClicked);
}

}  // namespace
}  // namespace trayhound
