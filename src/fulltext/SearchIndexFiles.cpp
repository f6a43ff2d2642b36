#include "fulltext/SearchIndexFiles.h"

namespace tamblin {

std::string SearchIndexFiles::Folder(const std::string& indexPath) {
    return indexPath + ".search";
}

std::string SearchIndexFiles::List(const std::string& folder) {
    return folder + "/index.js";
}

std::string SearchIndexFiles::WordPart(const std::string& folder, size_t number) {
    return folder + "/w" + std::to_string(number) + ".js";
}

std::string SearchIndexFiles::PagePart(const std::string& folder, size_t number) {
    return folder + "/p" + std::to_string(number) + ".js";
}

std::string SearchIndexFiles::TextPart(const std::string& folder, size_t number) {
    return folder + "/t" + std::to_string(number) + ".js";
}

std::string SearchIndexFiles::StartPart(const std::string& folder, size_t number) {
    return folder + "/s" + std::to_string(number) + ".js";
}

std::string SearchIndexFiles::FirstPart(const std::string& folder) {
    return folder + "/first.js";
}

} // namespace tamblin
