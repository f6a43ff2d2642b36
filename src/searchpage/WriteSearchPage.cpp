#include "searchpage/WriteSearchPage.h"

#include "index/ReplacingFile.h"
#include "index/UrlUtils.h"
#include "searchpage/CopyAppletFiles.h"
#include "searchpage/PageCompanions.h"
#include "searchpage/SearchPageMessages.h"
#include "searchpage/SearchPageText.h"

namespace tamblin {

namespace {

// The new page replaces an old one only once it is written whole.
// The message followed by the system's reason, when it gave one.
std::string WithReason(std::string text, const SaveResult& result) {
    std::string reason = result.Reason();
    return reason.empty() ? text : text + ": " + reason;
}

bool WritePageFile(const SearchPageSettings& settings, SearchPageHost& host,
                   SearchPageOutcome& failure) {
    ReplaceOptions options;
    if (ReplacingFile::Check(settings.pagePath).status == SaveStatus::ReadOnly) {
        if (!host.ConfirmReplaceReadOnly(
                FillMessage(kReplaceReadOnlyQuestion, settings.pagePath))) {
            failure = SearchPageOutcome::CannotCreate;
            return false;
        }
        options.replaceReadOnly = true;
    }
    ReplacingFile file(settings.pagePath, options);
    if (!file.IsOpen()) {
        host.ShowWarning(
            WithReason(FillMessage(kCouldNotCreatePage, settings.pagePath), file.Result()));
        failure = SearchPageOutcome::CannotCreate;
        return false;
    }
    file.Stream() << SearchPageText(settings);
    if (!file.Commit()) {
        host.ShowWarning(WithReason(kErrorWritingPage, file.Result()));
        failure = SearchPageOutcome::WriteError;
        return false;
    }
    return true;
}

AppletCopyReport CopyFiles(const SearchPageSettings& settings, const std::string& redist,
                           SearchPageHost& host) {
    AppletCopyReport report = CopyAppletFiles(
        redist, settings.pageDirectory,
        [&host](const std::string& name) { host.SetStatusText(FillMessage(kCopyingFile, name)); },
        settings.webViewer);
    if (!report.sourceFound) {
        host.ShowWarning(kNoRedistDirectory);
        return report;
    }
    host.SetStatusText(kIdleStatus);
    if (report.failed.empty()) {
        host.ShowInformation(report.text);
    } else {
        host.ShowWarning(report.text);
    }
    return report;
}

void ReportCompanions(const PageCompanions& result, SearchPageHost& host) {
    std::string text = PageCompanionsText(result);
    if (text.empty()) {
        return;
    }
    if (result.failed.empty()) {
        host.ShowInformation(text);
    } else {
        host.ShowWarning(text);
    }
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
                                  SearchPageHost& host, AppletCopyReport* copyReport) {
    SearchPageOutcome failure = SearchPageOutcome::WriteError;
    if (!WritePageFile(settings, host, failure)) {
        return failure;
    }
    settings.pageDirectory = SplitPath(settings.pagePath).directory;
    if (!settings.copyJavaFiles && !FileExists(settings.pageDirectory + kAppletClassFile)) {
        settings.copyJavaFiles = host.AskYesNo(kAskCopyAppletFiles);
    }
    if (settings.copyJavaFiles) {
        AppletCopyReport report = CopyFiles(settings, redistDirectory, host);
        if (copyReport) {
            *copyReport = std::move(report);
        }
    }
    // After the copy, which may have brought a language file the page names. Only the script
    // viewer reads companions.
    if (settings.companions && settings.webViewer) {
        ReportCompanions(WritePageCompanions(settings), host);
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
