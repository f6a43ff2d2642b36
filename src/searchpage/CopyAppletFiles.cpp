#include "searchpage/CopyAppletFiles.h"

#include "index/FileReplace.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
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

bool ReadWhole(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// True when `to` was there with other bytes than `from` and now holds them.
bool ReplaceIfDifferent(const fs::path& from, const fs::path& to) {
    std::string wanted;
    std::string there;
    std::error_code error;
    if (!fs::exists(to, error) || !ReadWhole(from, wanted) || !ReadWhole(to, there) ||
        wanted == there) {
        return false;
    }
    return WriteFileReplacing(to.string(), wanted);
}

} // namespace

AppletCopyReport CopyAppletFiles(const std::string& redistDirectory,
                                 const std::string& pageDirectory,
                                 const std::function<void(const std::string&)>& copying,
                                 bool replaceViewer) {
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
        const fs::path from = fs::path(redistDirectory) / name;
        const fs::path to = fs::path(pageDirectory) / name;
        if (replaceViewer && name.rfind(kWebViewerFilePrefix, 0) == 0 &&
            ReplaceIfDifferent(from, to)) {
            report.replaced.push_back(name);
        }
        std::error_code ignored;
        // copy_options::none refuses an existing destination, which is what we want: the
        // author may have changed the copy beside the page.
        fs::copy_file(from, to, fs::copy_options::none, ignored);
        report.text += name + ", ";
    }
    report.text.resize(report.text.size() - 2);
    if (!report.replaced.empty()) {
        report.text += "\n\nThe script viewer's files were replaced with this version's: ";
        for (size_t i = 0; i < report.replaced.size(); ++i) {
            report.text += (i ? ", " : "") + report.replaced[i];
        }
    }
    return report;
}

} // namespace tamblin
