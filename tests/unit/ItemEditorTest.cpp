#include "editors/ItemEditor.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace trayhound {
namespace {

using Field = ItemEditorView::Field;
using Texts = std::vector<std::string>;

class FakeItemView : public ItemEditorView {
  public:
    void SetTitle(const std::string& text) override { title = text; }
    std::string CaptionText() const override { return caption; }
    void SetCaptionText(const std::string& text) override { caption = text; }
    std::string CommandText() const override { return command; }
    void SetCommandText(const std::string& text) override { command = text; }
    void SetCommandList(const std::vector<std::string>& entries) override { commandList = entries; }
    void SetIconList(const std::vector<std::string>& entries) override { iconList = entries; }
    int IconSelection() const override { return iconSelection; }
    void SetIconSelection(int position) override { iconSelection = position; }
    void SetFieldsEnabled(bool enabled) override { fieldsEnabled = enabled; }
    void SelectAll(Field field) override { selectedAll.push_back(field); }
    void SetFocus(Field field) override { focus = field; }
    void ShowWarning(const std::string& text) override { warnings.push_back(text); }
    bool GetOpenFileName(OpenFileArgs& args) override {
        fileDialogArgs = args;
        if (!chosenFile) return false;
        args.FileName = *chosenFile;
        return true;
    }
    std::intptr_t WindowHandle() const override { return 0x4242; }
    void CloseWindow() override { ++closes; }

    std::string title = "Item";  // the design-time title
    std::string caption;
    std::string command;
    Texts commandList{"stale"};
    Texts iconList;
    int iconSelection = -1;
    bool fieldsEnabled = true;
    std::vector<Field> selectedAll;
    std::optional<Field> focus;
    Texts warnings;
    std::optional<OpenFileArgs> fileDialogArgs;
    std::optional<std::string> chosenFile;
    int closes = 0;
};

class RecordingShell : public Shell {
  public:
    bool Open(const std::string& command) override {
        commands.push_back(command);
        return accept;
    }
    bool accept = true;
    Texts commands;
};

class ItemEditorTest : public ::testing::Test {
  protected:
    ItemEditorServices Services() {
        ItemEditorServices services;
        services.getKeyValue = [this](std::string_view key, std::string_view name,
                                      std::string& value) {
            EXPECT_EQ(key, kRunMruKey);
            const auto found = registry.find(std::string(name));
            value = found == registry.end() ? std::string() : found->second;
            return found != registry.end();
        };
        services.shell = &shell;
        services.extraIconNames = [this] { return extraIcons; };
        return services;
    }

    void Open(std::string caption, std::string command = "", int icon = 0) {
        editor.Item.SetCaption(std::move(caption));
        editor.Item.SetCommand(std::move(command));
        editor.Item.SetIcon(icon);
        editor.Form_Load();
    }

    std::map<std::string, std::string> registry;
    Texts extraIcons;
    RecordingShell shell;
    FakeItemView view;
    ItemEditor editor{view, Services()};
};

TEST_F(ItemEditorTest, NewItemOpensTitledNewItemWithNoIcon) {
    Open("New Item");
    EXPECT_EQ(view.title, "New Item");
    EXPECT_EQ(view.caption, "New Item");
    EXPECT_EQ(view.command, "");
    EXPECT_EQ(view.iconSelection, 0);
    EXPECT_EQ(view.iconList,
              (Texts{"No icon", "Application", "Folder", "Document", "Mail", "Web"}));
    EXPECT_TRUE(view.fieldsEnabled);
    EXPECT_FALSE(editor.OkClicked);
    editor.txtCaption_GotFocus();
    EXPECT_EQ(view.selectedAll, std::vector<Field>{Field::Caption});
}

TEST_F(ItemEditorTest, LoadShowsTheItemsFields) {
    Open("Notepad", "notepad.exe", 3);
    EXPECT_EQ(view.title, "Notepad");
    EXPECT_EQ(view.command, "notepad.exe");
    EXPECT_EQ(view.iconSelection, 3);
}

TEST_F(ItemEditorTest, EmptyCaptionKeepsTheDesignTitleAndTheFieldsEnabled) {
    Open("", "x.exe");
    EXPECT_EQ(view.title, "Item");
    EXPECT_TRUE(view.fieldsEnabled);
}

TEST_F(ItemEditorTest, SeparatorCaptionDisablesCommandAndIcon) {
    Open("-");
    EXPECT_EQ(view.title, "Separator");
    EXPECT_FALSE(view.fieldsEnabled);
}

TEST_F(ItemEditorTest, TypingAndDeletingTheHyphenTogglesTheSeparatorLook) {
    Open("New Item");
    view.caption = "-";
    editor.txtCaption_Change();
    EXPECT_EQ(view.title, "Separator");
    EXPECT_FALSE(view.fieldsEnabled);
    view.caption = "";
    editor.txtCaption_Change();
    EXPECT_EQ(view.title, "New Item");
    EXPECT_TRUE(view.fieldsEnabled);
    view.caption = " -";
    editor.txtCaption_Change();
    EXPECT_EQ(view.title, " -");
    EXPECT_TRUE(view.fieldsEnabled);
}

TEST_F(ItemEditorTest, RunHistoryIsListedMostRecentFirstWithoutTheShellsEnding) {
    registry = {{"MRUList", "cab"},
                {"a", "notepad\\1"},
                {"b", "cmd /k dir\\1"},
                {"c", "\\\\server\\share\\1"}};
    Open("New Item");
    EXPECT_EQ(view.commandList, (Texts{"\\\\server\\share", "notepad", "cmd /k dir"}));
}

TEST_F(ItemEditorTest, RunHistorySkipsValuesTooShortOrMissingButKeepsDuplicates) {
    registry = {{"MRUList", "abcde"}, {"a", "calc\\1"}, {"b", "x"}, {"d", "\\1"}, {"e", "calc\\1"}};
    Open("New Item");
    EXPECT_EQ(view.commandList, (Texts{"calc", "", "calc"}));
}

TEST_F(ItemEditorTest, RunHistoryCountsCharactersNotBytes) {
    registry = {{"MRUList", "ab"}, {"a", "caf\xC3\xA9\\1"}, {"b", "\xC3\xA9"}};
    Open("New Item");
    EXPECT_EQ(view.commandList, Texts{"caf\xC3\xA9"});
}

TEST_F(ItemEditorTest, NoRunHistoryLeavesTheCommandListEmpty) {
    Open("New Item");
    EXPECT_TRUE(view.commandList.empty());
}

TEST_F(ItemEditorTest, ExtraIconsOfTheActiveSetFollowWeb) {
    extraIcons = {"Star.bmp", "Globe.ico"};
    Open("Star", "star.exe", 7);
    EXPECT_EQ(view.iconList, (Texts{"No icon", "Application", "Folder", "Document", "Mail", "Web",
                                    "Star.bmp", "Globe.ico"}));
    EXPECT_EQ(view.iconSelection, 7);
}

TEST_F(ItemEditorTest, IconWithoutEntryShowsNoSelectionAndKeepsItsNumber) {
    for (const int icon : {9, -3, 70000}) {
        Open("Odd", "odd.exe", icon);
        EXPECT_EQ(view.iconSelection, -1);
        editor.cmdOK_Click();
        EXPECT_TRUE(editor.OkClicked);
        EXPECT_EQ(editor.Item.Icon(), icon);
    }
}

TEST_F(ItemEditorTest, PickingAnEntryReplacesAnUnlistedNumber) {
    Open("Odd", "odd.exe", 9);
    view.iconSelection = 4;
    editor.cmdOK_Click();
    EXPECT_EQ(editor.Item.Icon(), 4);
}

TEST_F(ItemEditorTest, OkWritesUntrimmedTextsAndTheIconPosition) {
    Open("New Item");
    view.caption = "  Editor  ";
    view.command = " notepad.exe ";
    view.iconSelection = 2;
    editor.cmdOK_Click();
    EXPECT_TRUE(view.warnings.empty());
    EXPECT_TRUE(editor.OkClicked);
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(editor.Item.Caption(), "  Editor  ");
    EXPECT_EQ(editor.Item.Command(), " notepad.exe ");
    EXPECT_EQ(editor.Item.Icon(), 2);
}

struct ValidationCase {
    const char* caption;
    const char* command;
    const char* warning;  // nullptr: accepted
    Field focus;
};

class ItemValidationTest : public ItemEditorTest,
                           public ::testing::WithParamInterface<ValidationCase> {};

TEST_P(ItemValidationTest, RefusesEmptyFieldsWithTheFocusOnTheFieldAtFault) {
    Open("Before", "before.exe", 1);
    view.caption = GetParam().caption;
    view.command = GetParam().command;
    editor.cmdOK_Click();
    if (!GetParam().warning) {
        EXPECT_TRUE(view.warnings.empty());
        EXPECT_TRUE(editor.OkClicked);
        EXPECT_EQ(view.closes, 1);
        return;
    }
    EXPECT_EQ(view.warnings, Texts{GetParam().warning});
    EXPECT_EQ(view.focus, GetParam().focus);
    EXPECT_FALSE(editor.OkClicked);
    EXPECT_EQ(view.closes, 0);
    EXPECT_EQ(editor.Item.Caption(), "Before");
    EXPECT_EQ(editor.Item.Command(), "before.exe");
}

constexpr const char* kNoCaption = "Please enter the item's caption.";
constexpr const char* kNoCommand = "Please enter the item's command.";

INSTANTIATE_TEST_SUITE_P(
    , ItemValidationTest,
    ::testing::Values(ValidationCase{"", "x.exe", kNoCaption, Field::Caption},
                      ValidationCase{"   ", "x.exe", kNoCaption, Field::Caption},
                      ValidationCase{"\t", "x.exe", kNoCaption, Field::Caption},
                      ValidationCase{"", "", kNoCaption, Field::Caption},
                      ValidationCase{"Name", "", kNoCommand, Field::Command},
                      ValidationCase{"Name", "  ", kNoCommand, Field::Command},
                      ValidationCase{"Name", "\r\n", kNoCommand, Field::Command},
                      ValidationCase{"--", "", kNoCommand, Field::Command},
                      ValidationCase{" -", "", kNoCommand, Field::Command},
                      ValidationCase{"-", "", nullptr, Field::Caption},
                      ValidationCase{"-", "  ", nullptr, Field::Caption},
                      ValidationCase{"Name", "x", nullptr, Field::Caption}));

TEST_F(ItemEditorTest, SeparatorOkWritesTheDisabledFieldsToo) {
    Open("Tools", "tools.exe", 3);
    view.caption = "-";
    editor.txtCaption_Change();
    editor.cmdOK_Click();
    EXPECT_TRUE(editor.OkClicked);
    EXPECT_EQ(editor.Item.Caption(), "-");
    EXPECT_EQ(editor.Item.Command(), "tools.exe");
    EXPECT_EQ(editor.Item.Icon(), 3);
}

TEST_F(ItemEditorTest, TabsAndLineBreaksBecomeBlanksWhenWritten) {
    Open("New Item");
    view.caption = "Two\tcolumns\r\n";
    view.command = "notepad.exe\ta.txt\nb";
    editor.cmdOK_Click();
    EXPECT_EQ(editor.Item.Caption(), "Two columns  ");
    EXPECT_EQ(editor.Item.Command(), "notepad.exe a.txt b");
}

TEST_F(ItemEditorTest, BackslashTStaysTwoCharacters) {
    Open("New Item");
    view.caption = "Mail\\tCtrl+M";
    view.command = "mailto:";
    editor.cmdOK_Click();
    EXPECT_EQ(editor.Item.Caption(), "Mail\\tCtrl+M");
}

TEST_F(ItemEditorTest, CancelLeavesTheItemAndOkClickedFalse) {
    Open("Keep", "keep.exe", 2);
    view.caption = "Changed";
    view.command = "changed.exe";
    view.iconSelection = 5;
    editor.cmdCancel_Click();
    EXPECT_EQ(view.closes, 1);
    EXPECT_FALSE(editor.OkClicked);
    EXPECT_EQ(editor.Item.Caption(), "Keep");
    EXPECT_EQ(editor.Item.Command(), "keep.exe");
    EXPECT_EQ(editor.Item.Icon(), 2);
}

TEST_F(ItemEditorTest, ReloadResetsOkClicked) {
    Open("A", "a.exe");
    editor.cmdOK_Click();
    ASSERT_TRUE(editor.OkClicked);
    editor.Form_Load();
    EXPECT_FALSE(editor.OkClicked);
}

TEST_F(ItemEditorTest, BrowseAsksForAnExistingProgramAndTakesItsPath) {
    Open("New Item", "old.exe");
    view.chosenFile = "C:\\Program Files\\App\\app.exe";
    editor.cmdBrowse_Click();
    ASSERT_TRUE(view.fileDialogArgs);
    const OpenFileArgs& args = *view.fileDialogArgs;
    EXPECT_EQ(args.Filter, kBrowseFilter);
    EXPECT_EQ(args.FilterIndex, 1);
    EXPECT_EQ(common_dialog::OpenFileFlags(args), 0x1004u);
    EXPECT_EQ(args.FileName, "");
    EXPECT_EQ(args.FileTitle, "");
    EXPECT_EQ(args.InitDir, "");
    EXPECT_EQ(args.DlgTitle, "");
    EXPECT_EQ(args.DefaultExt, "");
    EXPECT_EQ(args.Owner, 0x4242);
    EXPECT_EQ(view.command, "C:\\Program Files\\App\\app.exe");
}

TEST_F(ItemEditorTest, CancelledBrowseLeavesTheCommand) {
    Open("New Item", "old.exe");
    editor.cmdBrowse_Click();
    EXPECT_EQ(view.command, "old.exe");
}

TEST_F(ItemEditorTest, TestRunsTheUntrimmedCommandWithoutTouchingTheItem) {
    Open("-", "stored.exe");
    view.command = " typed.exe ";
    editor.cmdTest_Click();
    EXPECT_EQ(shell.commands, Texts{" typed.exe "});
    EXPECT_TRUE(view.warnings.empty());
    EXPECT_EQ(editor.Item.Command(), "stored.exe");

    shell.accept = false;
    editor.cmdTest_Click();
    EXPECT_EQ(view.warnings, Texts{"Cannot execute this command."});
    EXPECT_EQ(view.closes, 0);
}

TEST_F(ItemEditorTest, CommandFieldSelectsAllOnFocus) {
    Open("A", "a.exe");
    editor.txtCommand_GotFocus();
    EXPECT_EQ(view.selectedAll, std::vector<Field>{Field::Command});
}

TEST(DropLastCharactersTest, CountsUtf8Characters) {
    EXPECT_EQ(item_editor::DropLastCharacters("abc", 2), "a");
    EXPECT_EQ(item_editor::DropLastCharacters("ab", 2), "");
    EXPECT_EQ(item_editor::DropLastCharacters("a", 2), std::nullopt);
    EXPECT_EQ(item_editor::DropLastCharacters("", 2), std::nullopt);
    EXPECT_EQ(item_editor::DropLastCharacters("x\xE2\x82\xAC\xC3\xA9", 2), "x");
    EXPECT_EQ(item_editor::DropLastCharacters("\xE2\x82\xAC", 2), std::nullopt);
}

}  // namespace
}  // namespace trayhound
