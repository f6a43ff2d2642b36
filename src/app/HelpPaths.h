#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// Where Lumio finds Tamblin's help, worked out from the program's own path.
struct HelpPaths {
    std::string helpDirectory; // program directory + subdirectory, ends in a separator
    std::string topicMap;
    std::string popupsPage;
};

// An empty topicMapName means the program's path with its extension replaced by ".HM"; an
// empty popupsPage the program's file name with ".htm". Nothing when either of those is
// asked for and the program has no extension.
std::optional<HelpPaths> MakeHelpPaths(std::string_view programPath,
                                       std::string_view helpSubdirectory,
                                       std::string_view popupsPage, std::string_view topicMapName,
                                       char separator);

} // namespace tamblin
