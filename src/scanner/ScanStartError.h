#pragma once

#include <string>

namespace tamblin {

// Why a scan could not start. Callers decide on the value; the text is for people.
enum class ScanStartError {
    None,
    LineBreakInStart, // the start page holds a line break, which no index record can keep
    NoPageSource,     // the http client could not be set up
    NoTemporaryFile,  // no temporary file for the records
};

// The message for people: "Page scan failed" for NoPageSource, the same words that follow
// every scan that could not start.
std::string ScanStartErrorText(ScanStartError error);

} // namespace tamblin
