#include "searchpage/SearchPageSettings.h"

#include "index/UrlUtils.h"

namespace tamblin {

SearchPageSettings SearchPageSettings::ForIndex(const std::string& indexPath, char separator) {
    SearchPageSettings settings;
    settings.pagePath = SplitPath(indexPath, separator).directory + "Search.html";
    IndexParameter entry;
    entry.indexFile = indexPath;
    settings.indexParameters.push_back(entry);
    return settings;
}

} // namespace tamblin
