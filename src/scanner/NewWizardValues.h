#pragma once

#include "scanner/ScanSettings.h"

#include <string>

namespace tamblin {

// What the New wizard offers again at the next New command while the program runs. Only a
// wizard that ends with Finish stores its values back.
struct NewWizardValues {
    bool fromUrl = false;
    std::string lastFile;
    std::string lastUrl;
    // The six options and the skip target frame; description, fromUrl and start unused.
    ScanSettings options;

    // The settings of a scan that starts from the source these values select.
    ScanSettings ScanFor(const std::string& description) const {
        ScanSettings settings = options;
        settings.description = description;
        settings.fromUrl = fromUrl;
        settings.start = fromUrl ? lastUrl : lastFile;
        return settings;
    }
};

} // namespace tamblin
