#include "searchpage/PageCompanions.h"

#include "index/CompanionScript.h"
#include "index/UrlUtils.h"

#include <algorithm>

namespace tamblin {

namespace {

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

} // namespace

std::vector<std::string> PageFileNames(const SearchPageSettings& settings) {
    std::vector<std::string> names;
    auto add = [&names](const std::string& path) {
        std::string name = SplitPath(path).fileName;
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    };
    for (const IndexParameter& entry : settings.indexParameters) {
        add(entry.indexFile);
        add(entry.languageFile);
    }
    return names;
}

PageCompanions WritePageCompanions(const SearchPageSettings& settings) {
    PageCompanions result;
    for (const std::string& name : PageFileNames(settings)) {
        switch (WriteCompanion(settings.pageDirectory + name)) {
        case CompanionWrite::Written:
            result.written.push_back(CompanionPath(name));
            break;
        case CompanionWrite::NoFile:
            result.missing.push_back(name);
            break;
        case CompanionWrite::CannotWrite:
            result.failed.push_back(CompanionPath(name));
            break;
        }
    }
    return result;
}

std::string PageCompanionsText(const PageCompanions& result) {
    std::string text;
    auto paragraph = [&text](const std::string& words) {
        text += (text.empty() ? "" : "\n\n") + words;
    };
    if (!result.written.empty()) {
        paragraph("So that browsers show the index when the page is opened from disk, these "
                  "scripts were written beside it:\n\n" +
                  Joined(result.written) + "\n\nEvery save of those files writes them again.");
    }
    if (!result.missing.empty()) {
        paragraph("These files named by the page do not exist yet, so no script was written "
                  "for them: " +
                  Joined(result.missing) +
                  ". Write the page again once they exist, or the page opened from disk "
                  "cannot show them.");
    }
    if (!result.failed.empty()) {
        paragraph("These scripts could not be written: " + Joined(result.failed) + ".");
    }
    return text;
}

} // namespace tamblin
