#include "scanner/LocalFileLink.h"

#include "index/TextUtils.h"

#include <filesystem>
#include <system_error>

namespace tamblin {

namespace {

LocalFileLink::Kind KindAt(const std::string& path) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) {
        return LocalFileLink::Kind::Missing;
    }
    return std::filesystem::is_directory(status) ? LocalFileLink::Kind::Folder
                                                 : LocalFileLink::Kind::File;
}

} // namespace

LocalFileLink::Kind LocalFileLink::Of(const std::string& location, std::string* found) {
    const std::string path = location.substr(0, location.find('?'));
    const std::string decoded = PercentDecode(path);
    for (const std::string* candidate : {&location, &path, &decoded}) {
        // A name with a NUL in it cannot be on disk.
        if (candidate->find('\0') != std::string::npos) {
            continue;
        }
        if (Kind kind = KindAt(*candidate); kind != Kind::Missing) {
            if (found) {
                *found = *candidate;
            }
            return kind;
        }
    }
    return Kind::Missing;
}

std::optional<std::string> LocalFileLink::FolderIndex(const std::string& path) {
    std::string folder = path;
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    for (const char* page : {"index.html", "index.htm"}) {
        if (KindAt(folder + page) == Kind::File) {
            return page;
        }
    }
    return std::nullopt;
}

} // namespace tamblin
