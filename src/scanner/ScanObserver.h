#pragma once

#include <string>
#include <string_view>

namespace tamblin {

// What a running scan reports, on the thread that runs it. The report dialog and the command
// line both implement it; every operation has a do-nothing default.
class ScanObserver {
public:
    virtual ~ScanObserver() = default;
    // The status line: "Scanning a.htm..." while pages are read.
    virtual void OnStatus(const std::string& /*text*/) {}
    // A page was opened; pagesRead counts the pages opened so far, this one included.
    virtual void OnPageOpened(int /*pagesRead*/, const std::string& /*url*/) {}
    // One problem line, as it also stands in the report.
    virtual void OnProblem(const std::string& /*line*/) {}
    // Progress dots of the page being read; only asked for when WantsDots is true.
    virtual bool WantsDots() const { return false; }
    virtual void OnDots(std::string_view /*dots*/) {}
    // The last call of a scan: the summary and the report it ends with.
    virtual void OnCompleted(const std::string& /*summary*/, const std::string& /*report*/) {}
};

} // namespace tamblin
