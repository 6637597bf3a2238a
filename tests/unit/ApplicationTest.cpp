#include "app/Application.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "MemoryFileSystem.h"
#include "MemorySettingsStore.h"
#include "support/Error.h"
#include "Windows1252Codec.h"

namespace trayhound {
namespace {

constexpr std::string_view kSection = "Options\\LastIconSetFileNames";
const std::string kAppData = "C:\\Users\\Ann\\AppData\\Roaming";
const std::string kDataFile = "C:\\Users\\Ann\\AppData\\Roaming\\Trayhound\\Document.dat";

using CallLog = std::vector<std::string>;

class RecordingStore : public MemorySettingsStore {
  public:
    explicit RecordingStore(std::shared_ptr<CallLog> log) : log_(std::move(log)) {}

    std::string Read(std::string_view application, std::string_view section, std::string_view key,
                     std::string_view defaultValue) const override {
        log_->push_back("read " + std::string(key));
        return MemorySettingsStore::Read(application, section, key, defaultValue);
    }
    void Write(std::string_view application, std::string_view section, std::string_view key,
               std::string_view value) override {
        log_->push_back("write " + std::string(key) + "=" + std::string(value));
        MemorySettingsStore::Write(application, section, key, value);
    }

  private:
    std::shared_ptr<CallLog> log_;
};

// Passes every call to a memory file system and notes it in the shared log.
class RecordingFileSystem : public FileSystem {
  public:
    explicit RecordingFileSystem(std::shared_ptr<CallLog> log) : log_(std::move(log)) {}

    std::optional<std::string> ReadFile(const std::string& path) const override {
        log_->push_back("read file " + path);
        return files.ReadFile(path);
    }
    bool Exists(const std::string& path) const override {
        log_->push_back("exists " + path);
        return files.Exists(path);
    }
    void ReplaceFile(const std::string& path, std::string_view bytes) override {
        log_->push_back("replace file " + path);
        files.ReplaceFile(path, bytes);
    }
    void CreateFolder(const std::string& path) override {
        log_->push_back("create folder " + path);
        files.CreateFolder(path);
    }

    MemoryFileSystem files;

  private:
    std::shared_ptr<CallLog> log_;
};

class ApplicationTest : public ::testing::Test {
  protected:
    ApplicationTest() { fileSystem->files.AddFolder(kAppData); }

    ApplicationServices Services() {
        ApplicationServices services;
        services.settings = store;
        services.fileSystem = fileSystem;
        services.codec = codec;
        services.readAppDataFolder = [this]() {
            log->push_back("read AppData");
            return appData;
        };
        services.executablePath = "C:\\Program Files\\Trayhound\\Trayhound.exe";
        return services;
    }

    std::string StoredOption(std::string_view key) const {
        return store->Read(kAppTitle, kSection, key, "<absent>");
    }

    // A data file as the item collection itself writes it.
    void WriteDataFile(const std::vector<std::string>& captions) {
        LaunchItems items;
        for (const auto& caption : captions) items.Add(caption, caption + ".exe", 0, -1);
        fileSystem->files.AddFolder(kAppData + "\\Trayhound");
        items.Save(kDataFile, fileSystem->files, *codec);
    }

    static std::vector<std::string> Captions(const LaunchItems& items) {
        std::vector<std::string> captions;
        for (const auto& item : items) captions.push_back(item->Caption());
        return captions;
    }

    std::ptrdiff_t Position(const std::string& entry) const {
        const auto found = std::ranges::find(*log, entry);
        EXPECT_NE(found, log->end()) << entry << " missing";
        return found - log->begin();
    }

    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    std::shared_ptr<RecordingStore> store = std::make_shared<RecordingStore>(log);
    std::shared_ptr<RecordingFileSystem> fileSystem = std::make_shared<RecordingFileSystem>(log);
    std::shared_ptr<const TextCodec> codec = std::make_shared<Windows1252Codec>();
    std::optional<std::string> appData = kAppData;
};

struct PathCase {
    std::string input;
    std::string expected;
};

void PrintTo(const PathCase& c, std::ostream* out) {
    *out << c.input;
}

class DataFilePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(DataFilePathTest, OneSeparatorBeforeTheProgramFolder) {
    EXPECT_EQ(Application::DataFilePath(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DataFilePathTest,
    ::testing::Values(PathCase{kAppData, kDataFile}, PathCase{kAppData + "\\", kDataFile},
                      PathCase{"C:\\", "C:\\Trayhound\\Document.dat"},
                      PathCase{"C:", "C:\\Trayhound\\Document.dat"},
                      PathCase{"\\\\server\\profiles\\ann",
                               "\\\\server\\profiles\\ann\\Trayhound\\Document.dat"}));

class HelpFilePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(HelpFilePathTest, ExecutableNameWithChmBesideIt) {
    EXPECT_EQ(Application::HelpFilePath(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Executables, HelpFilePathTest,
    ::testing::Values(PathCase{"C:\\Program Files\\Trayhound\\Trayhound.exe",
                               "C:\\Program Files\\Trayhound\\Trayhound.chm"},
                      PathCase{"C:\\Trayhound.exe", "C:\\Trayhound.chm"},
                      PathCase{"C:\\Tools\\tray.hound.EXE", "C:\\Tools\\tray.hound.chm"},
                      PathCase{"C:\\Tools\\Trayhound", "C:\\Tools\\Trayhound.chm"},
                      PathCase{"C:\\v1.2\\Trayhound.exe", "C:\\v1.2\\Trayhound.chm"},
                      PathCase{"\\\\server\\share\\Trayhound.exe",
                               "\\\\server\\share\\Trayhound.chm"}));

TEST_F(ApplicationTest, CreationKnowsTheDataAndHelpFiles) {
    const Application app(Services());
    EXPECT_EQ(app.FileName, kDataFile);
    EXPECT_EQ(app.HelpFile(), "C:\\Program Files\\Trayhound\\Trayhound.chm");
}

TEST_F(ApplicationTest, DataFolderEndingInABackslashGivesTheSamePath) {
    appData = kAppData + "\\";
    const Application app(Services());
    EXPECT_EQ(app.FileName, kDataFile);
}

class MissingAppDataTest : public ApplicationTest,
                           public ::testing::WithParamInterface<std::optional<std::string>> {};

TEST_P(MissingAppDataTest, CreationFails) {
    appData = GetParam();
    try {
        const Application app(Services());
        FAIL() << "created without an application-data folder";
    } catch (const Error& error) {
        EXPECT_EQ(error.Description(), "Cannot find the Appication Data Folder");
        EXPECT_EQ(error.Source(), "Trayhound");
    }
    EXPECT_EQ(std::ranges::count(*log, "read file " + kDataFile), 0);
}

INSTANTIATE_TEST_SUITE_P(Values, MissingAppDataTest,
                         ::testing::Values(std::nullopt, std::optional<std::string>("")));

TEST_F(ApplicationTest, NoFolderReaderMeansNoFolder) {
    auto services = Services();
    services.readAppDataFolder = nullptr;
    EXPECT_THROW(Application app(std::move(services)), Error);
}

TEST_F(ApplicationTest, OptionsAreReadBeforeTheFolderAndTheItems) {
    const Application app(Services());
    EXPECT_LT(Position("read count"), Position("read AppData"));
    EXPECT_LT(Position("read AppData"), Position("read file " + kDataFile));
}

TEST_F(ApplicationTest, CreationLoadsTheStoredOptions) {
    store->MemorySettingsStore::Write(kAppTitle, kSection, "count", "1");
    store->MemorySettingsStore::Write(kAppTitle, kSection, "1", "C:\\Sets\\a.iconset");
    const Application app(Services());
    EXPECT_EQ(app.Options()->LastIconSetFileNames, std::vector<std::string>{"C:\\Sets\\a.iconset"});
}

TEST_F(ApplicationTest, CreationLoadsTheItems) {
    WriteDataFile({"Editor", "-", "Mail"});
    const Application app(Services());
    EXPECT_EQ(Captions(*app.Document()), (std::vector<std::string>{"Editor", "-", "Mail"}));
}

TEST_F(ApplicationTest, FirstStartIsEmptyAndTheFirstSaveCreatesFolderAndFile) {
    Application app(Services());
    EXPECT_EQ(app.Document()->count(), 0);
    EXPECT_FALSE(fileSystem->files.HasFolder(kAppData + "\\Trayhound"));

    app.Document()->Add("Editor", "notepad.exe", 1, -1);
    app.Save();
    EXPECT_TRUE(fileSystem->files.HasFolder(kAppData + "\\Trayhound"));
    ASSERT_TRUE(fileSystem->files.File(kDataFile).has_value());
    LaunchItems reread;
    reread.Load(kDataFile, fileSystem->files, *codec);
    EXPECT_EQ(Captions(reread), std::vector<std::string>{"Editor"});
}

TEST_F(ApplicationTest, MalformedDataFileEndsCreationWithTheLoadError) {
    fileSystem->files.SetFile(kDataFile, "Editor\tnotepad.exe\t1\r\nBroken\tno icon\r\n");
    std::optional<Error> expected;
    try {
        LaunchItems items;
        items.Load(kDataFile, fileSystem->files, *codec);
    } catch (const Error& error) {
        expected = error;
    }
    ASSERT_TRUE(expected.has_value());

    try {
        const Application app(Services());
        FAIL() << "created from a malformed data file";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), expected->Number());
        EXPECT_EQ(error.Description(), expected->Description());
        EXPECT_EQ(error.Source(), "Trayhound.LaunchItems.Load()");
    }
}

TEST_F(ApplicationTest, PropertiesHandOutTheLiveObjects) {
    const Application app(Services());
    app.Document()->Add("Editor", "notepad.exe", 1, -1);
    app.Options()->LastIconSetFileNames.push_back("C:\\Sets\\a.iconset");
    EXPECT_EQ(app.Document()->count(), 1);
    EXPECT_EQ(app.Options()->LastIconSetFileNames.size(), 2u);
    EXPECT_EQ(&app.FileSystemObject(), fileSystem.get());
}

TEST_F(ApplicationTest, SaveWritesTheCurrentDocument) {
    Application app(Services());
    auto edited = app.Document()->Clone();
    edited->Add("Browser", "https://example.org", 5, -1);
    app.SetDocument(edited);
    app.Save();
    LaunchItems reread;
    reread.Load(kDataFile, fileSystem->files, *codec);
    EXPECT_EQ(Captions(reread), std::vector<std::string>{"Browser"});
}

TEST_F(ApplicationTest, SaveFailureReachesTheCallerUnchanged) {
    Application app(Services());
    app.Document()->Add("Editor", "notepad.exe", 1, -1);
    fileSystem->files.AddFolder(kAppData + "\\Trayhound");

    std::optional<Error> expected;
    fileSystem->files.FailNextReplace(error_number::kDiskFull);
    try {
        app.Document()->Save(kDataFile, *fileSystem, *codec);
    } catch (const Error& error) {
        expected = error;
    }
    ASSERT_TRUE(expected.has_value());

    fileSystem->files.FailNextReplace(error_number::kDiskFull);
    try {
        app.Save();
        FAIL() << "save succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), expected->Number());
        EXPECT_EQ(error.Description(), expected->Description());
        EXPECT_EQ(error.Source(), expected->Source());
    }
}

TEST_F(ApplicationTest, DestructionSavesTheItemsThenWritesTheOptions) {
    {
        Application app(Services());
        app.Document()->Add("Editor", "notepad.exe", 1, -1);
        log->clear();
    }
    EXPECT_LT(Position("replace file " + kDataFile), Position("write count=1"));
    EXPECT_TRUE(fileSystem->files.File(kDataFile).has_value());
    EXPECT_EQ(StoredOption("1"), kInternalIconSetMarker);
}

TEST_F(ApplicationTest, DestructionIgnoresAFailedSaveAndStillWritesTheOptions) {
    auto app = std::make_unique<Application>(Services());
    app->Document()->Add("Editor", "notepad.exe", 1, -1);
    fileSystem->files.AddFolder(kAppData + "\\Trayhound");
    fileSystem->files.FailNextReplace(error_number::kPermissionDenied);
    EXPECT_NO_THROW(app.reset());
    EXPECT_FALSE(fileSystem->files.File(kDataFile).has_value());
    EXPECT_EQ(StoredOption("count"), "1");
}

TEST_F(ApplicationTest, DiskFullKeepsTheFileOfTheLastSuccessfulSave) {
    WriteDataFile({"Editor", "Mail"});
    const auto before = fileSystem->files.File(kDataFile);
    {
        Application app(Services());
        for (int i = 0; i < 100; ++i) app.Document()->Add("Item", "item.exe", 1, -1);
        fileSystem->files.SetDiskSpace(before->size() + 10);
        try {
            app.Save();
            ADD_FAILURE() << "saved on a full disk";
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), error_number::kDiskFull);
            EXPECT_EQ(error.Source(), "Trayhound.LaunchItems.Save()");
        }
        EXPECT_EQ(fileSystem->files.File(kDataFile), before);
    }
    // The save at the end failed the same way, silently.
    EXPECT_EQ(fileSystem->files.File(kDataFile), before);
}

TEST_F(ApplicationTest, HundredThousandItemsComeBackByteForByteAtTheEnd) {
    std::vector<std::string> captions;
    for (int i = 0; i < 100'000; ++i)
        captions.push_back(i % 10 == 9 ? "-" : "Caf\xC3\xA9 " + std::to_string(i));
    WriteDataFile(captions);
    const auto before = fileSystem->files.File(kDataFile);
    {
        const Application app(Services());
        ASSERT_EQ(app.Document()->count(), 100'000);
        EXPECT_EQ(app.Document()->Item(100'000)->Caption(), captions.back());
    }
    EXPECT_EQ(fileSystem->files.File(kDataFile), before);
}

// --- A data file that is there but cannot be read ---------------------------------------------

TEST_F(ApplicationTest, UnreadableDataFileStartsEmptyWithoutAnError) {
    WriteDataFile({"Editor", "Mail"});
    fileSystem->files.SetUnreadable(kDataFile);
    const Application app(Services());
    EXPECT_EQ(app.Document()->count(), 0);
    EXPECT_FALSE(app.SavesAtEnd());
}

TEST_F(ApplicationTest, UnreadableDataFileIsNotOverwrittenAtTheEnd) {
    WriteDataFile({"Editor", "Mail"});
    const auto before = fileSystem->files.File(kDataFile);
    fileSystem->files.SetUnreadable(kDataFile);
    {
        Application app(Services());
        // Icon-set loading may change items in memory; that alone is no reason to write.
        app.Document()->Add("Stray", "stray.exe", 0, -1);
        log->clear();
    }
    EXPECT_EQ(std::ranges::count(*log, "replace file " + kDataFile), 0);
    EXPECT_EQ(fileSystem->files.File(kDataFile), before);
    // The options are written all the same.
    EXPECT_EQ(StoredOption("count"), "1");
}

TEST_F(ApplicationTest, ExplicitSaveOverAnUnreadableFileRestoresSavingAtTheEnd) {
    WriteDataFile({"Editor", "Mail"});
    fileSystem->files.SetUnreadable(kDataFile);
    {
        Application app(Services());
        auto edited = app.Document()->Clone();
        edited->Add("Browser", "https://example.org", 5, -1);
        app.SetDocument(edited);
        app.Save();
        EXPECT_TRUE(app.SavesAtEnd());
        app.Document()->Add("Terminal", "cmd.exe", 1, -1);
    }
    LaunchItems reread;
    ASSERT_EQ(reread.Load(kDataFile, fileSystem->files, *codec), DataFileState::kLoaded);
    EXPECT_EQ(Captions(reread), (std::vector<std::string>{"Browser", "Terminal"}));
}

TEST_F(ApplicationTest, FailedExplicitSaveKeepsTheUnreadableFileSafe) {
    WriteDataFile({"Editor", "Mail"});
    const auto before = fileSystem->files.File(kDataFile);
    fileSystem->files.SetUnreadable(kDataFile);
    {
        Application app(Services());
        app.Document()->Add("Browser", "https://example.org", 5, -1);
        fileSystem->files.FailNextReplace(error_number::kPermissionDenied);
        EXPECT_THROW(app.Save(), Error);
        EXPECT_FALSE(app.SavesAtEnd());
    }
    EXPECT_EQ(fileSystem->files.File(kDataFile), before);
}

TEST_F(ApplicationTest, FolderInThePlaceOfTheDataFileIsLeftAlone) {
    fileSystem->files.AddFolder(kDataFile);
    {
        const Application app(Services());
        EXPECT_EQ(app.Document()->count(), 0);
        log->clear();
    }
    EXPECT_EQ(std::ranges::count(*log, "replace file " + kDataFile), 0);
    EXPECT_TRUE(fileSystem->files.HasFolder(kDataFile));
}

TEST_F(ApplicationTest, MissingDataFileIsStillWrittenAtTheEnd) {
    {
        const Application app(Services());
        EXPECT_TRUE(app.SavesAtEnd());
        app.Document()->Add("Editor", "notepad.exe", 1, -1);
    }
    LaunchItems reread;
    ASSERT_EQ(reread.Load(kDataFile, fileSystem->files, *codec), DataFileState::kLoaded);
    EXPECT_EQ(Captions(reread), std::vector<std::string>{"Editor"});
}

TEST_F(ApplicationTest, OptionsHeldElsewhereWriteWhenTheirLastOwnerLetsGo) {
    auto app = std::make_unique<Application>(Services());
    auto dialogReference = app->Options();
    dialogReference->LastIconSetFileNames = {"C:\\Sets\\a.iconset", "C:\\Sets\\b.iconset"};
    app.reset();
    EXPECT_EQ(StoredOption("count"), "<absent>");
    dialogReference.reset();
    EXPECT_EQ(StoredOption("count"), "2");
}

TEST_F(ApplicationTest, ReplacingTheOptionsWritesTheFormerOnes) {
    Application app(Services());
    auto edited = std::shared_ptr<Options>(app.Options()->Clone());
    edited->LastIconSetFileNames = {"C:\\Sets\\new.iconset", std::string(kInternalIconSetMarker)};
    app.Options()->LastIconSetFileNames = {"C:\\Sets\\old.iconset"};

    app.SetOptions(edited);
    edited.reset();
    EXPECT_EQ(StoredOption("count"), "1");
    EXPECT_EQ(StoredOption("1"), "C:\\Sets\\old.iconset");
    EXPECT_EQ(app.Options()->LastIconSetFileNames[0], "C:\\Sets\\new.iconset");
}

TEST_F(ApplicationTest, ReplacedOptionsAreWrittenBeforeTheLiveOnesAtTheEnd) {
    {
        Application app(Services());
        auto edited = std::shared_ptr<Options>(app.Options()->Clone());
        edited->LastIconSetFileNames = {"C:\\Sets\\new.iconset"};
        app.SetOptions(std::move(edited));
    }
    EXPECT_EQ(StoredOption("count"), "1");
    EXPECT_EQ(StoredOption("1"), "C:\\Sets\\new.iconset");
}

TEST_F(ApplicationTest, EmptyReplacementsAreRefused) {
    Application app(Services());
    EXPECT_THROW(app.SetDocument(nullptr), Error);
    EXPECT_THROW(app.SetOptions(nullptr), Error);
    EXPECT_NE(app.Document(), nullptr);
    EXPECT_NE(app.Options(), nullptr);
}

}  // namespace
}  // namespace trayhound
