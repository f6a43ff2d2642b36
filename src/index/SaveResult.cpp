#include "index/SaveResult.h"

#include <cstring>

namespace tamblin {

std::string SaveResult::Reason() const {
    if (error == 0) {
        return {};
    }
    char buffer[256];
    // The GNU strerror_r returns its text, which may not be in the buffer.
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return text ? std::string(text) : std::string();
}

std::string CouldNotSaveText(const std::string& path, const SaveResult& result) {
    std::string text = "Could not save file (" + path + ")";
    if (result.status == SaveStatus::ReadOnly) {
        return text + ": the file is read-only";
    }
    std::string reason = result.Reason();
    return reason.empty() ? text : text + ": " + reason;
}

} // namespace tamblin
