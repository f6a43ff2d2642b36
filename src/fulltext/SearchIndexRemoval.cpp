#include "fulltext/SearchIndexRemoval.h"

#include "fulltext/SearchIndexFiles.h"
#include "index/OwnTemporaryFile.h"

#include <filesystem>
#include <system_error>

namespace tamblin {

namespace fs = std::filesystem;

SearchIndexRemoval::Outcome SearchIndexRemoval::RemoveStale(const std::string& indexPath) {
    const std::string folder = SearchIndexFiles::Folder(indexPath);
    std::error_code error;
    if (!fs::exists(fs::symlink_status(folder, error))) {
        return Outcome::NothingThere;
    }
    const std::string aside = OwnTemporaryFile::NameBeside(folder);
    fs::rename(folder, aside, error);
    if (error) {
        return Outcome::Failed;
    }
    // Out of the viewer's way already: what cannot be deleted now is only a leftover.
    fs::remove_all(aside, error);
    return Outcome::Removed;
}

} // namespace tamblin
