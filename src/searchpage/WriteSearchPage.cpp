#include "searchpage/WriteSearchPage.h"

#include "index/ReplacingFile.h"
#include "index/UrlUtils.h"
#include "searchpage/CopyAppletFiles.h"
#include "searchpage/SearchPageMessages.h"
#include "searchpage/SearchPageText.h"

namespace tamblin {

namespace {

// The new page replaces an old one only once it is written whole.
bool WritePageFile(const SearchPageSettings& settings, SearchPageHost& host,
                   SearchPageOutcome& failure) {
    ReplacingFile file(settings.pagePath);
    if (!file.IsOpen()) {
        host.ShowWarning(FillMessage(kCouldNotCreatePage, settings.pagePath));
        failure = SearchPageOutcome::CannotCreate;
        return false;
    }
    file.Stream() << SearchPageText(settings);
    if (!file.Commit()) {
        host.ShowWarning(kErrorWritingPage);
        failure = SearchPageOutcome::WriteError;
        return false;
    }
    return true;
}

void CopyFiles(const SearchPageSettings& settings, const std::string& redist,
               SearchPageHost& host) {
    AppletCopyReport report = CopyAppletFiles(
        redist, settings.pageDirectory,
        [&host](const std::string& name) { host.SetStatusText(FillMessage(kCopyingFile, name)); },
        settings.webViewer);
    if (!report.sourceFound) {
        host.ShowWarning(kNoRedistDirectory);
        return;
    }
    host.SetStatusText(kIdleStatus);
    host.ShowInformation(report.text);
}

} // namespace

std::string FillMessage(const char* text, const std::string& value) {
    std::string out;
    for (const char* p = text; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == '1') {
            out += value;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

std::string RedistDirectory(const std::string& programDirectory) {
    return programDirectory + kRedistDirectoryName + kNativeSeparator;
}

SearchPageOutcome WriteSearchPage(SearchPageSettings& settings, const std::string& redistDirectory,
                                  SearchPageHost& host) {
    SearchPageOutcome failure = SearchPageOutcome::WriteError;
    if (!WritePageFile(settings, host, failure)) {
        return failure;
    }
    settings.pageDirectory = SplitPath(settings.pagePath).directory;
    if (!settings.copyJavaFiles && !FileExists(settings.pageDirectory + kAppletClassFile)) {
        settings.copyJavaFiles = host.AskYesNo(kAskCopyAppletFiles);
    }
    if (settings.copyJavaFiles) {
        CopyFiles(settings, redistDirectory, host);
    }
    if (!settings.testNow) {
        host.ShowInformation(kPageBuilt);
        return SearchPageOutcome::Built;
    }
    if (!host.BrowserAvailable()) {
        host.ShowWarning(kNoBrowser);
        return SearchPageOutcome::NoBrowser;
    }
    host.OpenTestPage(settings.pagePath);
    return SearchPageOutcome::Tested;
}

} // namespace tamblin
