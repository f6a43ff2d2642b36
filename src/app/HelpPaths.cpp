#include "app/HelpPaths.h"

#include "index/UrlUtils.h"

namespace tamblin {

std::optional<HelpPaths> MakeHelpPaths(std::string_view programPath,
                                       std::string_view helpSubdirectory,
                                       std::string_view popupsPage, std::string_view topicMapName,
                                       char separator) {
    PathParts parts = SplitPath(programPath, separator);
    HelpPaths paths;
    paths.helpDirectory = parts.directory + std::string(helpSubdirectory);
    if (!topicMapName.empty()) {
        paths.topicMap = parts.directory + std::string(topicMapName);
    } else {
        size_t dot = programPath.rfind('.');
        if (dot == std::string_view::npos) {
            return std::nullopt;
        }
        paths.topicMap = std::string(programPath.substr(0, dot)) + ".HM";
    }
    if (!popupsPage.empty()) {
        paths.popupsPage = paths.helpDirectory + std::string(popupsPage);
    } else {
        size_t dot = parts.fileName.rfind('.');
        if (dot == std::string::npos) {
            return std::nullopt;
        }
        paths.popupsPage = paths.helpDirectory + parts.fileName.substr(0, dot) + ".htm";
    }
    return paths;
}

} // namespace tamblin
