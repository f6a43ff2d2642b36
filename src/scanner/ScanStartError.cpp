#include "scanner/ScanStartError.h"

namespace tamblin {

std::string ScanStartErrorText(ScanStartError error) {
    switch (error) {
    case ScanStartError::None:
        return {};
    case ScanStartError::LineBreakInStart:
        return "The start page cannot contain a line break.";
    case ScanStartError::NoPageSource:
        return "Page scan failed";
    case ScanStartError::NoTemporaryFile:
        return "Could not create a temporary file name";
    }
    return {};
}

} // namespace tamblin
