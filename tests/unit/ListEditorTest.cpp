#include "editors/ListEditor.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MemoryFileSystem.h"
#include "MemorySettingsStore.h"
#include "support/Error.h"
#include "Windows1252Codec.h"

namespace trayhound {
namespace {

using Captions = std::vector<std::string>;

constexpr const char* kDataFile = "C:\\Users\\me\\AppData\\Roaming\\Trayhound\\Document.dat";

// The list box and buttons as plain data; the item editor answers from a script.
class FakeListView : public ListEditorView {
  public:
    using EditorAnswer = std::function<bool(LaunchItem&)>;

    void ClearEntries() override {
        entries.clear();
        selection = -1;
    }
    void InsertEntry(int position, const std::string& text) override {
        ASSERT_LE(position, EntryCount());
        entries.insert(entries.begin() + position, text);
        if (selection >= position) ++selection;
    }
    void SetEntry(int position, const std::string& text) override {
        entries.at(static_cast<std::size_t>(position)) = text;
    }
    void RemoveEntry(int position) override {
        entries.erase(entries.begin() + position);
        // A list box drops the selection with the selected entry.
        if (selection == position) selection = -1;
        if (selection > position) --selection;
    }
    int EntryCount() const override { return static_cast<int>(entries.size()); }
    int Selection() const override { return selection; }
    void SetSelection(int position) override {
        ASSERT_LT(position, EntryCount());
        selection = position;
    }
    void EnableButtons(const ListButtons& state) override { buttons = state; }
    bool EditItem(LaunchItem& item) override {
        editorSawCaptions.push_back(item.Caption());
        if (answers.empty()) {
            ADD_FAILURE() << "item editor opened unexpectedly";
            return false;
        }
        const EditorAnswer answer = answers.front();
        answers.pop_front();
        return answer(item);
    }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void RestorePosition() override {
        ++restores;
        if (failRestore) throw Error(error_number::kTypeMismatch, "Type mismatch");
    }
    void SavePosition() override { ++saves; }
    void CloseWindow() override { ++closes; }

    std::vector<std::string> entries;
    int selection = -1;
    ListButtons buttons{true, true, true, true};
    std::deque<EditorAnswer> answers;
    std::vector<std::string> editorSawCaptions;
    std::vector<std::string> errors;
    bool failRestore = false;
    int restores = 0;
    int saves = 0;
    int closes = 0;
};

FakeListView::EditorAnswer Confirm(std::string caption, std::string command, int icon) {
    return [=](LaunchItem& item) {
        item.SetCaption(caption);
        item.SetCommand(command);
        item.SetIcon(icon);
        return true;
    };
}

// The user changes the fields and then cancels: the item stays as it was given.
FakeListView::EditorAnswer CancelAfterTyping() {
    return [](LaunchItem&) { return false; };
}

std::unique_ptr<Application> MakeApplication(std::shared_ptr<MemoryFileSystem> fileSystem) {
    fileSystem->AddFolder("C:\\Users\\me\\AppData\\Roaming");
    ApplicationServices services;
    services.settings = std::make_shared<MemorySettingsStore>();
    services.fileSystem = std::move(fileSystem);
    services.codec = std::make_shared<Windows1252Codec>();
    services.readAppDataFolder = [] { return std::string("C:\\Users\\me\\AppData\\Roaming"); };
    services.executablePath = "C:\\Program Files\\Trayhound\\Trayhound.exe";
    return std::make_unique<Application>(std::move(services));
}

class ListEditorTest : public ::testing::Test {
  protected:
    void Live(std::vector<std::string> captions) {
        for (const auto& caption : captions) {
            app->Document()->Add(caption, "cmd " + caption, 1, -1);
        }
    }

    void Open(std::vector<std::string> captions) {
        Live(std::move(captions));
        editor.Form_Load();
    }

    void Click(int position) {
        view.selection = position;
        editor.lstItems_Click();
    }

    std::vector<std::string> WorkingCaptions() const {
        std::vector<std::string> captions;
        for (const auto& item : *editor.WorkingCopy()) captions.push_back(item->Caption());
        return captions;
    }

    std::vector<std::string> LiveCaptions() const {
        std::vector<std::string> captions;
        for (const auto& item : *app->Document()) captions.push_back(item->Caption());
        return captions;
    }

    static constexpr ListButtons kNone{false, false, false, false};

    std::shared_ptr<MemoryFileSystem> fileSystem = std::make_shared<MemoryFileSystem>();
    std::unique_ptr<Application> app = MakeApplication(fileSystem);
    FakeListView view;
    ListEditor editor{view, *app};
};

TEST_F(ListEditorTest, LoadRestoresPositionAndListsACopyWithNothingSelected) {
    Open({"A", "B", "C"});
    EXPECT_EQ(view.restores, 1);
    EXPECT_EQ(view.entries, (Captions{"A", "B", "C"}));
    EXPECT_EQ(view.selection, -1);
    EXPECT_EQ(view.buttons, kNone);
    EXPECT_NE(editor.WorkingCopy(), app->Document());
}

TEST_F(ListEditorTest, LoadGoesOnWhenThePlacementCannotBeApplied) {
    view.failRestore = true;
    Open({"A"});
    EXPECT_EQ(view.entries, Captions{"A"});
}

TEST_F(ListEditorTest, CaptionWithBackslashTIsListedWithATab) {
    Open({"Editor\\tCtrl+E", "Plain"});
    EXPECT_EQ(view.entries[0], "Editor\tCtrl+E");
    EXPECT_EQ(editor.WorkingCopy()->Item(1)->Caption(), "Editor\\tCtrl+E");
}

struct ButtonCase {
    int count;
    int selection;
    ListButtons expected;
};

class ListButtonStateTest : public ListEditorTest,
                            public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(ListButtonStateTest, FollowTheSelection) {
    Captions captions;
    for (int i = 0; i < GetParam().count; ++i) captions.push_back(std::string(1, 'A' + i));
    Open(captions);
    Click(GetParam().selection);
    EXPECT_EQ(view.buttons, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(, ListButtonStateTest,
                         ::testing::Values(ButtonCase{3, -1, {false, false, false, false}},
                                           ButtonCase{3, 0, {true, true, false, true}},
                                           ButtonCase{3, 1, {true, true, true, true}},
                                           ButtonCase{3, 2, {true, true, true, false}},
                                           ButtonCase{1, 0, {true, true, false, false}},
                                           ButtonCase{0, -1, {false, false, false, false}}));

TEST_F(ListEditorTest, NewWithoutSelectionGoesToTheTopAndIsSelected) {
    Open({"A", "B"});
    view.answers.push_back(Confirm("N", "n.exe", 2));
    editor.cmdNew_Click();
    EXPECT_EQ(view.editorSawCaptions, Captions{"New Item"});
    EXPECT_EQ(view.entries, (Captions{"N", "A", "B"}));
    EXPECT_EQ(WorkingCaptions(), (Captions{"N", "A", "B"}));
    EXPECT_EQ(view.selection, 0);
    EXPECT_EQ(view.buttons, (ListButtons{true, true, false, true}));
    EXPECT_EQ(editor.WorkingCopy()->Item(1)->Command(), "n.exe");
    EXPECT_EQ(editor.WorkingCopy()->Item(1)->Icon(), 2);
}

TEST_F(ListEditorTest, NewOnAnEmptyListIsTheOnlyEntry) {
    Open({});
    view.answers.push_back(Confirm("N", "n.exe", 0));
    editor.cmdNew_Click();
    EXPECT_EQ(view.entries, Captions{"N"});
    EXPECT_EQ(view.selection, 0);
    EXPECT_EQ(view.buttons, (ListButtons{true, true, false, false}));
}

TEST_F(ListEditorTest, NewGoesDirectlyAfterTheSelection) {
    Open({"A", "B", "C"});
    Click(0);
    view.answers.push_back(Confirm("N", "n.exe", 0));
    editor.cmdNew_Click();
    EXPECT_EQ(view.entries, (Captions{"A", "N", "B", "C"}));
    EXPECT_EQ(view.selection, 1);

    Click(3);
    view.answers.push_back(Confirm("Last", "l.exe", 0));
    editor.cmdNew_Click();
    EXPECT_EQ(view.entries, (Captions{"A", "N", "B", "C", "Last"}));
    EXPECT_EQ(WorkingCaptions(), view.entries);
    EXPECT_EQ(view.selection, 4);
    EXPECT_EQ(view.buttons, (ListButtons{true, true, true, false}));
}

TEST_F(ListEditorTest, NewSeparatorAndTabCaptionAreShownByTheDisplayRule) {
    Open({"A"});
    view.answers.push_back(Confirm("-", "", 0));
    editor.cmdNew_Click();
    view.answers.push_back(Confirm("Mail\\tF2", "mailto:", 4));
    editor.cmdNew_Click();
    EXPECT_EQ(view.entries, (Captions{"-", "Mail\tF2", "A"}));
}

TEST_F(ListEditorTest, CancelledNewAddsNothing) {
    Open({"A", "B"});
    Click(1);
    view.answers.push_back(CancelAfterTyping());
    editor.cmdNew_Click();
    EXPECT_EQ(view.entries, (Captions{"A", "B"}));
    EXPECT_EQ(WorkingCaptions(), (Captions{"A", "B"}));
    EXPECT_EQ(view.selection, 1);
}

TEST_F(ListEditorTest, EditWorksOnACloneAndCopiesTheFieldsBack) {
    Open({"A", "B", "C"});
    Click(1);
    const auto stored = editor.WorkingCopy()->Item(2);
    LaunchItem* edited = nullptr;
    view.answers.push_back([&](LaunchItem& item) {
        edited = &item;
        EXPECT_EQ(item.Caption(), "B");
        EXPECT_EQ(item.Command(), "cmd B");
        item.SetCaption("B2\\tX");
        item.SetCommand("b2.exe");
        item.SetIcon(5);
        return true;
    });
    editor.cmdEdit_Click();
    EXPECT_NE(edited, stored.get());
    EXPECT_EQ(editor.WorkingCopy()->Item(2), stored);  // the same object, changed in place
    EXPECT_EQ(stored->Caption(), "B2\\tX");
    EXPECT_EQ(stored->Command(), "b2.exe");
    EXPECT_EQ(stored->Icon(), 5);
    EXPECT_EQ(view.entries, (Captions{"A", "B2\tX", "C"}));
    EXPECT_EQ(view.selection, 1);
    EXPECT_EQ(LiveCaptions(), (Captions{"A", "B", "C"}));
}

TEST_F(ListEditorTest, CancelledEditLeavesEntryAndItemAsTheyWere) {
    Open({"A", "B"});
    Click(0);
    view.answers.push_back(CancelAfterTyping());
    editor.cmdEdit_Click();
    EXPECT_EQ(view.entries, (Captions{"A", "B"}));
    EXPECT_EQ(editor.WorkingCopy()->Item(1)->Command(), "cmd A");
    EXPECT_EQ(editor.WorkingCopy()->Item(1)->Icon(), 1);
    EXPECT_EQ(view.selection, 0);
}

TEST_F(ListEditorTest, DoubleClickEditsTheSelectedEntry) {
    Open({"A", "B"});
    Click(1);
    view.answers.push_back(Confirm("Bee", "bee.exe", 0));
    editor.lstItems_DblClick();
    EXPECT_EQ(view.entries, (Captions{"A", "Bee"}));
}

TEST_F(ListEditorTest, DoubleClickWithoutSelectionOpensNothing) {
    Open({"A"});
    editor.lstItems_DblClick();
    EXPECT_TRUE(view.editorSawCaptions.empty());
}

struct DeleteCase {
    Captions before;
    int selection;
    Captions after;
    int selectionAfter;
    ListButtons buttons;
};

class ListDeleteTest : public ListEditorTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(ListDeleteTest, RemovesAndSelectsTheEntryInItsPlaceOrTheNewLast) {
    Open(GetParam().before);
    Click(GetParam().selection);
    editor.cmdDelete_Click();
    EXPECT_EQ(view.entries, GetParam().after);
    EXPECT_EQ(WorkingCaptions(), GetParam().after);
    EXPECT_EQ(view.selection, GetParam().selectionAfter);
    EXPECT_EQ(view.buttons, GetParam().buttons);
}

INSTANTIATE_TEST_SUITE_P(
    , ListDeleteTest,
    ::testing::Values(DeleteCase{{"A"}, 0, {}, -1, {false, false, false, false}},
                      DeleteCase{{"A", "B", "C"}, 1, {"A", "C"}, 1, {true, true, true, false}},
                      DeleteCase{{"A", "B", "C"}, 2, {"A", "B"}, 1, {true, true, true, false}},
                      DeleteCase{{"A", "B", "C"}, 0, {"B", "C"}, 0, {true, true, false, true}}));

TEST_F(ListEditorTest, MoveUpSwapsWithTheEntryAboveAndFollowsIt) {
    Open({"A", "B", "C"});
    Click(1);
    editor.cmdMoveUp_Click();
    EXPECT_EQ(view.entries, (Captions{"B", "A", "C"}));
    EXPECT_EQ(WorkingCaptions(), (Captions{"B", "A", "C"}));
    EXPECT_EQ(view.selection, 0);
    EXPECT_EQ(view.buttons, (ListButtons{true, true, false, true}));
}

TEST_F(ListEditorTest, MoveDownSwapsWithTheEntryBelowAndFollowsIt) {
    Open({"A", "B", "C"});
    Click(1);
    editor.cmdMoveDown_Click();
    EXPECT_EQ(view.entries, (Captions{"A", "C", "B"}));
    EXPECT_EQ(WorkingCaptions(), (Captions{"A", "C", "B"}));
    EXPECT_EQ(view.selection, 2);
    EXPECT_EQ(view.buttons, (ListButtons{true, true, true, false}));
}

TEST_F(ListEditorTest, FirstCannotMoveUpAndLastCannotMoveDown) {
    Open({"A", "B"});
    Click(0);
    EXPECT_FALSE(view.buttons.moveUp);
    editor.cmdMoveUp_Click();
    Click(1);
    EXPECT_FALSE(view.buttons.moveDown);
    editor.cmdMoveDown_Click();
    EXPECT_EQ(view.entries, (Captions{"A", "B"}));
    EXPECT_EQ(WorkingCaptions(), (Captions{"A", "B"}));
}

TEST_F(ListEditorTest, TabIsShownAfterMovesToo) {
    Open({"One\\tF1", "Two\\tF2", "Three"});
    Click(0);
    editor.cmdMoveDown_Click();
    EXPECT_EQ(view.entries, (Captions{"Two\tF2", "One\tF1", "Three"}));
    editor.cmdMoveDown_Click();
    editor.cmdMoveUp_Click();
    EXPECT_EQ(view.entries, (Captions{"Two\tF2", "One\tF1", "Three"}));
    EXPECT_EQ(view.selection, 1);
}

TEST_F(ListEditorTest, OkHandsTheWorkingCopyOverAndSavesIt) {
    Open({"A", "B"});
    Click(0);
    editor.cmdDelete_Click();
    const auto copy = editor.WorkingCopy();
    editor.cmdOK_Click();
    EXPECT_EQ(app->Document(), copy);
    EXPECT_EQ(LiveCaptions(), Captions{"B"});
    ASSERT_TRUE(fileSystem->File(kDataFile));
    EXPECT_EQ(*fileSystem->File(kDataFile), "B\tcmd B\t1\r\n");
    EXPECT_TRUE(view.errors.empty());
    EXPECT_EQ(view.closes, 1);
}

TEST_F(ListEditorTest, FailedSaveIsReportedAndTheEditedCollectionKept) {
    Open({"A", "B"});
    Click(1);
    editor.cmdMoveUp_Click();
    fileSystem->FailNextReplace(error_number::kDiskFull);
    editor.cmdOK_Click();
    ASSERT_EQ(view.errors.size(), 1u);
    EXPECT_FALSE(view.errors[0].empty());
    EXPECT_EQ(LiveCaptions(), (Captions{"B", "A"}));
    EXPECT_FALSE(fileSystem->File(kDataFile));
    EXPECT_EQ(view.closes, 1);
}

TEST_F(ListEditorTest, CancelDropsTheWorkingCopy) {
    Open({"A", "B", "C"});
    const auto live = app->Document();
    Click(2);
    editor.cmdDelete_Click();
    view.answers.push_back(Confirm("N", "n", 0));
    editor.cmdNew_Click();
    editor.cmdCancel_Click();
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(app->Document(), live);
    EXPECT_EQ(LiveCaptions(), (Captions{"A", "B", "C"}));
    EXPECT_FALSE(fileSystem->File(kDataFile));
}

TEST_F(ListEditorTest, UnloadSavesThePlacementEveryTime) {
    Open({"A"});
    editor.cmdCancel_Click();
    editor.Form_Unload();
    editor.Form_Load();
    editor.cmdOK_Click();
    editor.Form_Unload();
    EXPECT_EQ(view.saves, 2);
}

TEST_F(ListEditorTest, EveryOpeningStartsFromTheLiveCollection) {
    Open({"A"});
    view.answers.push_back(Confirm("Dropped", "x", 0));
    editor.cmdNew_Click();
    editor.cmdCancel_Click();
    editor.Form_Load();
    EXPECT_EQ(view.entries, Captions{"A"});
    EXPECT_EQ(view.selection, -1);
}

}  // namespace
}  // namespace trayhound
