#pragma once

#include "scanner/ScanSettings.h"

#include <string>
#include <string_view>

namespace tamblin {

// The options and start page of a scan as one line of text that an index file keeps, so a
// later update scans the same way. Fields are "name=value" separated by ";"; a value
// escapes "%", ";" and line breaks as "%25", "%3B", "%0D", "%0A".
class ScanSettingsText final {
public:
    static std::string Encode(const ScanSettings& settings);
    // Fills the fields the text names and leaves the others as they are. False when the text
    // names no start page.
    static bool Decode(std::string_view text, ScanSettings& settings);
};

} // namespace tamblin
