#include "searchpage/CopyAppletFiles.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace tamblin {

namespace fs = std::filesystem;

namespace {

bool ListFiles(const std::string& directory, std::vector<std::string>& names) {
    std::error_code error;
    fs::directory_iterator it(directory.empty() ? std::string(".") : directory, error);
    if (error) {
        return false;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) {
            break;
        }
        std::error_code ignored;
        if (!it->is_directory(ignored)) {
            names.push_back(it->path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return true;
}

} // namespace

AppletCopyReport CopyAppletFiles(const std::string& redistDirectory,
                                 const std::string& pageDirectory,
                                 const std::function<void(const std::string&)>& copying) {
    AppletCopyReport report;
    std::vector<std::string> names;
    report.sourceFound = ListFiles(redistDirectory, names);
    if (!report.sourceFound) {
        return report;
    }
    report.text = "These files have been copied to your working directory:\n\n";
    for (const std::string& name : names) {
        if (copying) {
            copying(name);
        }
        std::error_code ignored;
        // copy_options::none refuses an existing destination, which is what we want: the
        // author may have changed the copy beside the page.
        fs::copy_file(fs::path(redistDirectory) / name, fs::path(pageDirectory) / name,
                      fs::copy_options::none, ignored);
        report.text += name + ", ";
    }
    report.text.resize(report.text.size() - 2);
    return report;
}

} // namespace tamblin
