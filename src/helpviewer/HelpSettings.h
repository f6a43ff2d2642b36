#pragma once

#include <string>

namespace tamblin {

// What Tamblin's requests configure in Lumio; all empty until the requests arrive.
struct HelpSettings {
    std::string title;         // code 1: caption of the help window
    std::string helpDirectory; // code 2: ends in a separator; prefix of every page
    std::string contentsPage;  // code 3
    std::string indexPage;     // code 9
    std::string pageToShow;    // code 6, and internally
    std::string topicMapPath;  // code 4
    std::string popupsPath;    // code 5
};

// Environment of a started Lumio: where to listen, and whose life it follows.
inline constexpr const char* kLumioSocketVariable = "LUMIO_SOCKET";
inline constexpr const char* kLumioCallerVariable = "LUMIO_CALLER_PID";
// Set to 1: pop-up texts keep the renderer's own point sizes instead of the desktop's.
inline constexpr const char* kLumioClassicPopupsVariable = "LUMIO_CLASSIC_POPUPS";

} // namespace tamblin
