#include "iconsets/OptionsDialog.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "MemorySettingsStore.h"
#include "support/Error.h"
#include "Windows1252Codec.h"

namespace trayhound {
namespace {

constexpr std::string_view kListSection = "Options\\LastIconSetFileNames";
const std::string kMarker(kInternalIconSetMarker);

// Set files that tests can also delete while the dialog is open.
class SetFiles : public FileSystem {
  public:
    std::optional<std::string> ReadFile(const std::string& path) const override {
        const auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second;
    }
    void ReplaceFile(const std::string& path, std::string_view bytes) override {
        files[path] = std::string(bytes);
    }
    void CreateFolder(const std::string&) override {}

    std::map<std::string, std::string> files;
};

struct Entry {
    std::string text;
    int itemData;
    bool operator==(const Entry&) const = default;
};

class FakeView : public OptionsDialogView {
  public:
    void AddIconSetEntry(const std::string& text, int itemData) override {
        entries.push_back({text, itemData});
    }
    void InsertIconSetEntry(int index, const std::string& text, int itemData) override {
        entries.insert(entries.begin() + index, {text, itemData});
    }
    int IconSetEntryCount() const override { return static_cast<int>(entries.size()); }
    int IconSetItemData(int index) const override {
        return entries.at(static_cast<std::size_t>(index)).itemData;
    }
    int SelectedIconSet() const override { return selected; }
    void SelectIconSet(int index) override {
        ASSERT_GE(index, -1);
        ASSERT_LT(index, IconSetEntryCount());
        selected = index;
    }
    void SetAuthorText(const std::string& text) override { author = text; }
    void SetDescriptionText(const std::string& text) override { description = text; }
    std::optional<std::string> BrowseForIconSet() override {
        ++browseCount;
        if (duringBrowse) duringBrowse();
        if (browseAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        auto answer = std::move(browseAnswers.front());
        browseAnswers.pop_front();
        if (browseError) throw *browseError;
        return answer;
    }

    std::vector<Entry> entries;
    int selected = -1;
    std::string author = "(author untouched)";
    std::string description = "(description untouched)";
    std::deque<std::optional<std::string>> browseAnswers;
    std::optional<Error> browseError;
    int browseCount = 0;
    std::function<void()> duringBrowse;
};

std::string IconSetFile(std::string_view name, std::string_view author,
                        std::string_view description) {
    return "[Trayhound Icon Set]\r\nname=" + std::string(name) +
           "\r\nauthor=" + std::string(author) + "\r\ndescription=" + std::string(description) +
           "\r\ncount=5\r\n";
}

const std::string kSetA = "C:\\Sets\\a.iconset";
const std::string kSetB = "C:\\Sets\\b.iconset";
const std::string kSetC = "C:\\Sets\\c.iconset";
const std::string kSetD = "D:\\More\\d.iconset";
const std::string kMissing = "C:\\Sets\\gone.iconset";

class OptionsDialogTest : public ::testing::Test {
  protected:
    OptionsDialogTest() {
        files->files[kSetA] = IconSetFile("Alpha", "Ann", "First set");
        files->files[kSetB] = IconSetFile("Beta", "Bob", "Second set");
        files->files[kSetC] = IconSetFile("Gamma", "Cy", "Third set");
        files->files[kSetD] = IconSetFile("Delta", "Dee", "Fourth set");
    }

    void StoreList(const std::vector<std::string>& list) {
        store->Write(kAppTitle, kListSection, "count", std::to_string(list.size()));
        for (std::size_t i = 0; i < list.size(); ++i) {
            store->Write(kAppTitle, kListSection, std::to_string(i + 1), list[i]);
        }
    }

    std::vector<std::string> StoredList() const {
        std::vector<std::string> list;
        const int count = std::stoi(store->Read(kAppTitle, kListSection, "count", "-1"));
        for (int i = 1; i <= count; ++i) {
            list.push_back(store->Read(kAppTitle, kListSection, std::to_string(i), ""));
        }
        return list;
    }

    // Starts the program with `list` stored and opens the dialog.
    void Open(const std::optional<std::vector<std::string>>& list) {
        if (list) StoreList(*list);
        application = std::make_unique<Application>(ApplicationServices{
            store, files, std::make_shared<Windows1252Codec>(),
            [] { return std::optional<std::string>("C:\\Users\\me\\AppData\\Roaming"); },
            "C:\\Program Files\\Trayhound\\Trayhound.exe"});
        dialog = std::make_unique<OptionsDialog>(*application, view);
        dialog->Form_Load();
    }

    // What the user does: picks an entry of the drop-down list.
    void UserSelects(int index) {
        view.selected = index;
        dialog->cboIconSet_Click();
    }

    std::vector<std::string> Edited() const {
        return dialog->EditedOptions()->LastIconSetFileNames;
    }
    std::vector<std::string> Live() const { return application->Options()->LastIconSetFileNames; }

    std::shared_ptr<MemorySettingsStore> store = std::make_shared<MemorySettingsStore>();
    std::shared_ptr<SetFiles> files = std::make_shared<SetFiles>();
    FakeView view;
    std::unique_ptr<Application> application;
    std::unique_ptr<OptionsDialog> dialog;
};

TEST_F(OptionsDialogTest, FirstRunListsTheInternalSetAndSelectsIt) {
    Open(std::nullopt);

    EXPECT_EQ(view.entries, (std::vector<Entry>{{"Internal icon set", -1}, {"Browse...", 0}}));
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(view.author, "Author: Wexmoor");
    EXPECT_EQ(view.description, "The internal icon set.");
    EXPECT_EQ(view.browseCount, 0);
    EXPECT_EQ(dialog->LastListIndex(), 0);
}

TEST_F(OptionsDialogTest, FillsNamesWithPositionsAfterDroppedFiles) {
    Open(std::vector{kSetA, kMissing, kMarker, kMissing, kSetB});

    EXPECT_EQ(view.entries,
              (std::vector<Entry>{
                  {"Alpha", 1}, {"Internal icon set", -1}, {"Beta", 3}, {"Browse...", 0}}));
    EXPECT_EQ(Edited(), (std::vector{kSetA, kMarker, kSetB}));
    EXPECT_EQ(Live(), (std::vector{kSetA, kMissing, kMarker, kMissing, kSetB}));
    EXPECT_EQ(view.author, "Author: Ann");
    EXPECT_EQ(view.description, "First set");
}

TEST_F(OptionsDialogTest, MarkerMatchesOnlyInItsExactSpelling) {
    Open(std::vector<std::string>{"TRAYHOUND:\\INTERNAL.ICONSET", kSetB});

    EXPECT_EQ(view.entries, (std::vector<Entry>{{"Beta", 1}, {"Browse...", 0}}));
    EXPECT_EQ(Edited(), (std::vector{kSetB}));
}

TEST_F(OptionsDialogTest, DeletedSecondFileGivesTheThirdItemDataTwoAndItsOwnInfo) {
    Open(std::vector{kSetA, kMissing, kSetC});

    EXPECT_EQ(view.entries, (std::vector<Entry>{{"Alpha", 1}, {"Gamma", 2}, {"Browse...", 0}}));
    UserSelects(1);
    EXPECT_EQ(view.author, "Author: Cy");
    EXPECT_EQ(view.description, "Third set");
    EXPECT_EQ(dialog->LastListIndex(), 1);
}

TEST_F(OptionsDialogTest, ListWithNothingReadableOffersTheInternalSetWithoutBrowsing) {
    Open(std::vector{kMissing, kMissing});

    EXPECT_EQ(view.entries, (std::vector<Entry>{{"Internal icon set", -1}, {"Browse...", 0}}));
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(Edited(), (std::vector{kMarker}));
    EXPECT_EQ(view.browseCount, 0);
    EXPECT_EQ(view.author, "Author: Wexmoor");
}

TEST_F(OptionsDialogTest, StoredEmptyListAlsoOpensOnTheInternalSet) {
    store->Write(kAppTitle, kListSection, "count", "0");
    Open(std::nullopt);

    EXPECT_EQ(view.entries.front(), (Entry{"Internal icon set", -1}));
    EXPECT_EQ(view.browseCount, 0);
    EXPECT_EQ(Edited(), (std::vector{kMarker}));
}

TEST_F(OptionsDialogTest, LabelsComeFreshFromTheirTemplatesOnEverySelection) {
    Open(std::vector{kSetA, kSetB, kMarker});

    UserSelects(1);
    EXPECT_EQ(view.author, "Author: Bob");
    UserSelects(2);
    EXPECT_EQ(view.author, "Author: Wexmoor");
    EXPECT_EQ(view.description, "The internal icon set.");
    UserSelects(0);
    EXPECT_EQ(view.author, "Author: Ann");
    EXPECT_EQ(view.description, "First set");
}

TEST_F(OptionsDialogTest, SetWithoutInfoKeysShowsEmptyTexts) {
    files->files[kSetD] = "[Trayhound Icon Set]\r\nname=Bare\r\n";
    Open(std::vector{kSetD});

    EXPECT_EQ(view.entries.front(), (Entry{"Bare", 1}));
    EXPECT_EQ(view.author, "Author: ");
    EXPECT_EQ(view.description, "");
}

TEST_F(OptionsDialogTest, SetFileGoneAfterOpeningShowsEmptyInfo) {
    Open(std::vector{kSetA, kSetB});
    files->files.erase(kSetB);

    UserSelects(1);
    EXPECT_EQ(view.author, "Author: ");
    EXPECT_EQ(view.description, "");
}

TEST_F(OptionsDialogTest, CancelledBrowseReturnsToTheFormerSelection) {
    Open(std::vector{kSetA, kSetB});
    UserSelects(1);
    view.browseAnswers.push_back(std::nullopt);

    UserSelects(2);

    EXPECT_EQ(view.browseCount, 1);
    EXPECT_EQ(view.selected, 1);
    EXPECT_EQ(dialog->LastListIndex(), 1);
    EXPECT_EQ(view.entries.size(), 3u);
    EXPECT_EQ(view.author, "Author: Bob");
    EXPECT_EQ(Edited(), (std::vector{kSetA, kSetB}));
}

TEST_F(OptionsDialogTest, BrowsingToTheSecondSetSelectsItWithoutAddingIt) {
    Open(std::vector{kSetA, kSetB, kSetC});
    view.browseAnswers.push_back(kSetB);

    UserSelects(3);

    EXPECT_EQ(view.selected, 1);
    EXPECT_EQ(dialog->LastListIndex(), 1);
    EXPECT_EQ(view.entries.size(), 4u);
    EXPECT_EQ(view.author, "Author: Bob");
    EXPECT_EQ(Edited(), (std::vector{kSetA, kSetB, kSetC}));
}

TEST_F(OptionsDialogTest, PathsCompareCaseSensitively) {
    const std::string upper = "C:\\SETS\\B.ICONSET";
    files->files[upper] = files->files[kSetB];
    Open(std::vector{kSetA, kSetB});
    view.browseAnswers.push_back(upper);

    UserSelects(2);

    EXPECT_EQ(Edited(), (std::vector{kSetA, kSetB, upper}));
    EXPECT_EQ(view.selected, 2);
}

TEST_F(OptionsDialogTest, UnreadableChoiceBacksOutSilently) {
    Open(std::vector{kSetA, kSetB});
    UserSelects(1);
    view.browseAnswers.push_back(kMissing);

    UserSelects(2);

    EXPECT_EQ(view.selected, 1);
    EXPECT_EQ(view.entries, (std::vector<Entry>{{"Alpha", 1}, {"Beta", 2}, {"Browse...", 0}}));
    EXPECT_EQ(Edited(), (std::vector{kSetA, kSetB}));
    EXPECT_EQ(view.author, "Author: Bob");
}

TEST_F(OptionsDialogTest, ReadableChoiceIsAddedAboveBrowseAndSelected) {
    Open(std::vector{kMarker, kSetA});
    view.browseAnswers.push_back(kSetD);

    UserSelects(2);

    EXPECT_EQ(view.entries,
              (std::vector<Entry>{
                  {"Internal icon set", -1}, {"Alpha", 2}, {"Delta", 3}, {"Browse...", 0}}));
    EXPECT_EQ(view.selected, 2);
    EXPECT_EQ(dialog->LastListIndex(), 2);
    EXPECT_EQ(view.author, "Author: Dee");
    EXPECT_EQ(view.description, "Fourth set");
    EXPECT_EQ(Edited(), (std::vector{kMarker, kSetA, kSetD}));
    EXPECT_EQ(Live(), (std::vector{kMarker, kSetA}));
}

TEST_F(OptionsDialogTest, FailedBrowseAfterAnAddReturnsToTheAddedSet) {
    Open(std::vector{kSetA});
    view.browseAnswers.push_back(kSetD);
    UserSelects(1);
    view.browseAnswers.push_back(std::nullopt);

    UserSelects(2);

    EXPECT_EQ(view.selected, 1);
    EXPECT_EQ(view.author, "Author: Dee");
}

TEST_F(OptionsDialogTest, InvalidArgumentFromTheFileDialogBacksOut) {
    Open(std::vector{kSetA, kSetB});
    view.browseAnswers.push_back(std::nullopt);
    view.browseError = Error(error_number::kInvalidProcedureCall, "Invalid procedure call");

    UserSelects(2);

    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(view.author, "Author: Ann");
}

TEST_F(OptionsDialogTest, OtherFileDialogErrorsEndTheHandler) {
    Open(std::vector{kSetA, kSetB});
    view.browseAnswers.push_back(std::nullopt);
    view.browseError = Error(error_number::kPermissionDenied, "Permission denied");

    EXPECT_THROW(UserSelects(2), Error);
    EXPECT_EQ(view.selected, 2);
    EXPECT_EQ(dialog->LastListIndex(), 0);
}

TEST_F(OptionsDialogTest, ProgramEndingDuringTheFileDialogLeavesEverythingAlone) {
    Open(std::vector{kSetA, kSetB});
    view.browseAnswers.push_back(kSetD);
    view.duringBrowse = [this] {
        dialog->Form_Unload();
        view.author = "(closed)";
    };

    UserSelects(2);

    EXPECT_EQ(dialog->EditedOptions(), nullptr);
    EXPECT_EQ(view.entries.size(), 3u);
    EXPECT_EQ(view.author, "(closed)");
    EXPECT_EQ(Live(), (std::vector{kSetA, kSetB}));
}

TEST_F(OptionsDialogTest, OkWithThirdOfThreeMakesItActive) {
    Open(std::vector{kSetA, kSetB, kSetC});
    UserSelects(2);

    dialog->cmdOK_Click();
    dialog->Form_Unload();

    EXPECT_EQ(Live(), (std::vector{kSetC, kSetA, kSetB}));
    // The replaced live options wrote their list as they went.
    EXPECT_EQ(StoredList(), (std::vector{kSetA, kSetB, kSetC}));
    application.reset();
    EXPECT_EQ(StoredList(), (std::vector{kSetC, kSetA, kSetB}));
}

TEST_F(OptionsDialogTest, OkWithFirstEntryKeepsTheOrder) {
    Open(std::vector{kSetA, kSetB, kSetC});

    dialog->cmdOK_Click();

    EXPECT_EQ(Live(), (std::vector{kSetA, kSetB, kSetC}));
    EXPECT_EQ(dialog->EditedOptions(), nullptr);
}

TEST_F(OptionsDialogTest, OkAfterAddingMakesTheNewSetActive) {
    Open(std::vector{kMarker, kMissing, kSetA});
    view.browseAnswers.push_back(kSetD);
    UserSelects(2);

    dialog->cmdOK_Click();

    EXPECT_EQ(Live(), (std::vector{kSetD, kMarker, kSetA}));
}

TEST_F(OptionsDialogTest, CancelAfterAddingLeavesTheLiveOptionsAlone) {
    Open(std::vector{kMarker, kSetA});
    view.browseAnswers.push_back(kSetD);
    UserSelects(2);

    dialog->Form_Unload();

    EXPECT_EQ(Live(), (std::vector{kMarker, kSetA}));
    // The dropped copy writes its list; the live options write theirs when the program ends.
    EXPECT_EQ(StoredList(), (std::vector{kMarker, kSetA, kSetD}));
    application.reset();
    EXPECT_EQ(StoredList(), (std::vector{kMarker, kSetA}));
}

struct TemplateCase {
    std::string_view templateText;
    std::string_view token;
    std::string_view value;
    std::string_view expected;
};

class FillTemplateTest : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(FillTemplateTest, ReplacesEveryExactOccurrence) {
    const auto& c = GetParam();
    EXPECT_EQ(OptionsDialog::FillTemplate(c.templateText, c.token, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Templates, FillTemplateTest,
    ::testing::Values(TemplateCase{"Author: %author", "%author", "Ann", "Author: Ann"},
                      TemplateCase{"%author and %author", "%author", "Bo", "Bo and Bo"},
                      TemplateCase{"Author: %Author", "%author", "Ann", "Author: %Author"},
                      TemplateCase{"%desc", "%desc", "", ""},
                      TemplateCase{"%desc", "%desc", "50%desc", "50%desc"},
                      TemplateCase{"%author%author", "%author", "%author!", "%author!%author!"},
                      TemplateCase{"no token", "%desc", "x", "no token"}));

}  // namespace
}  // namespace trayhound
