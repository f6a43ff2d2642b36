#pragma once

#include <string>

namespace tamblin {

// What writing a search page needs from its caller: the desktop supplies message boxes, the
// status bar and the test page dialog; tamblin-cli supplies its streams.
class SearchPageHost {
public:
    virtual ~SearchPageHost() = default;
    virtual void ShowWarning(const std::string& text) = 0;
    virtual void ShowInformation(const std::string& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // Whether a read-only page may be replaced; `question` asks it.
    virtual bool ConfirmReplaceReadOnly(const std::string& question) { return AskYesNo(question); }
    // The status bar text, shown at once.
    virtual void SetStatusText(const std::string& text) = 0;
    virtual bool BrowserAvailable() const = 0;
    // Runs the test page dialog on `pagePath` until the user closes it.
    virtual void OpenTestPage(const std::string& pagePath) = 0;
};

} // namespace tamblin
