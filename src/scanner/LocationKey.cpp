#include "scanner/LocationKey.h"

#include "index/TextUtils.h"
#include "index/UrlUtils.h"

namespace tamblin {

std::string LocationKey::Of(std::string_view location, bool caseSignificant) {
    return caseSignificant ? std::string(location) : LowerText(location);
}

std::string LocationKey::OfUrl(std::string_view url, bool caseSignificant) {
    std::string path = ReplaceChar(url.substr(0, url.find('#')), '\\', '/');
    NormalizeUrlPath(path);
    return Of(path, caseSignificant);
}

} // namespace tamblin
