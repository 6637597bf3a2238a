#include "iconsets/IconSet.h"

#include <charconv>

#include "iconsets/IniEdit.h"

namespace trayhound {

namespace {

IconSetContent InternalSet() {
    IconSetContent content;
    for (const auto name : kStandardIconNames) {
        content.pictures.push_back({IconSource::Internal, {}, std::string(name)});
    }
    return content;
}

IconSetPicture FilePicture(const std::string& folder, const std::string& imageName,
                           std::string name) {
    // A missing key would name the folder itself, which is no image.
    if (imageName.empty()) return {IconSource::None, {}, std::move(name)};
    return {IconSource::File, folder + imageName, std::move(name)};
}

}  // namespace

std::string ActiveIconSet(const Options& options) {
    if (options.LastIconSetFileNames.empty()) return std::string(kInternalIconSetMarker);
    return options.LastIconSetFileNames.front();
}

std::int16_t IconSetCount(std::string_view value) {
    if (!value.empty() && value.front() == '+') value.remove_prefix(1);
    std::int16_t count = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), count);
    if (value.empty() || error != std::errc() || end != value.data() + value.size()) {
        return kStandardIconCount;
    }
    return count;
}

std::string IconSetFolder(std::string_view setPath) {
    std::string folder = FileSystem::GetParentFolderName(setPath);
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

std::string ExtraIconName(std::string_view imageName) {
    const auto dot = imageName.rfind('.');
    return std::string(dot == std::string_view::npos ? imageName : imageName.substr(0, dot));
}

std::optional<IconSetContent> ReadIconSet(std::string_view activeEntry,
                                          const FileSystem& fileSystem, const TextCodec& codec) {
    if (activeEntry == kInternalIconSetMarker) return InternalSet();

    IniEdit ini;
    if (!ini.OpenIni(std::string(activeEntry), fileSystem, codec)) return std::nullopt;
    const std::string folder = IconSetFolder(activeEntry);

    IconSetContent content;
    for (std::int16_t i = 1; i <= kStandardIconCount; ++i) {
        content.pictures.push_back(FilePicture(folder,
                                               ini.GetValue(kIconSetSection, std::to_string(i)),
                                               std::string(kStandardIconNames[i - 1])));
    }
    content.count = IconSetCount(ini.GetValue(kIconSetSection, "count"));
    for (std::int32_t i = kStandardIconCount + 1; i <= content.count; ++i) {
        const std::string imageName = ini.GetValue(kIconSetSection, std::to_string(i));
        content.pictures.push_back(FilePicture(folder, imageName, ExtraIconName(imageName)));
    }
    return content;
}

}  // namespace trayhound
