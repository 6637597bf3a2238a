#include "app/Application.h"

#include <utility>

#include "support/Error.h"

namespace trayhound {
namespace {

constexpr std::string_view kDataFileName = "Document.dat";

std::string WithTrailingBackslash(std::string folder) {
    if (!folder.ends_with('\\')) folder += '\\';
    return folder;
}

}  // namespace

Application::Application(ApplicationServices services)
    : services_(std::move(services)), document_(std::make_shared<LaunchItems>()) {
    options_ = std::make_shared<trayhound::Options>(services_.settings);

    // An empty folder text would put the data file at the root of the current drive.
    const auto appData = services_.readAppDataFolder ? services_.readAppDataFolder() : std::nullopt;
    if (!appData || appData->empty()) {
        throw Error(error_number::kApplicationDefined, "Cannot find the Appication Data Folder",
                    std::string(kAppTitle));
    }
    FileName = DataFilePath(*appData);

    // A missing or unreadable data file leaves the collection empty; a malformed one ends
    // creation.
    const DataFileState state = document_->Load(FileName, *services_.fileSystem, *services_.codec);
    savesAtEnd_ = state != DataFileState::kUnreadable;
    savedRecords_ = document_->Records();

    helpFile_ = HelpFilePath(services_.executablePath);
}

Application::~Application() {
    try {
        if (savesAtEnd_ && document_->Records() != savedRecords_) Save();
    } catch (...) {
        // The program is ending; a failed save must not stop it.
    }
    // The items are written before the options, which write when their last owner lets go.
    document_.reset();
    options_.reset();
}

void Application::SetDocument(std::shared_ptr<LaunchItems> document) {
    if (!document) {
        throw Error(error_number::kInvalidProcedureCall, "Invalid procedure call or argument",
                    "Trayhound.Application.Document");
    }
    document_ = std::move(document);
}

void Application::SetOptions(std::shared_ptr<trayhound::Options> options) {
    if (!options) {
        throw Error(error_number::kInvalidProcedureCall, "Invalid procedure call or argument",
                    "Trayhound.Application.Options");
    }
    // The replaced object writes its list here unless someone else still holds it.
    options_ = std::move(options);
}

void Application::Save() {
    Document()->Save(FileName, *services_.fileSystem, *services_.codec);
    savedRecords_ = Document()->Records();
    // The user's own save has put a list in the file's place; from now on it is ours to keep.
    savesAtEnd_ = true;
}

std::string Application::DataFilePath(const std::string& appData) {
    return WithTrailingBackslash(appData) + std::string(kAppTitle) + "\\" +
           std::string(kDataFileName);
}

std::string Application::HelpFilePath(const std::string& executablePath) {
    const std::string folder = FileSystem::GetParentFolderName(executablePath);
    const auto nameStart = executablePath.find_last_of("\\/");
    std::string name = executablePath.substr(nameStart == std::string::npos ? 0 : nameStart + 1);
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    return WithTrailingBackslash(folder) + name + ".chm";
}

}  // namespace trayhound
