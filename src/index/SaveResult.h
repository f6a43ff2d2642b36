#pragma once

#include <string>

namespace tamblin {

enum class SaveStatus {
    Saved,
    // The target exists and is read-only; nothing was written. The caller may ask and save
    // again with ReplaceOptions::replaceReadOnly.
    ReadOnly,
    Failed,
};

// How a save ended, with the system's error number when it failed.
struct SaveResult {
    SaveStatus status = SaveStatus::Saved;
    int error = 0;

    bool Ok() const { return status == SaveStatus::Saved; }
    // The system's words for `error` ("No space left on device"); empty without one.
    std::string Reason() const;
    static SaveResult Failure(int error) { return {SaveStatus::Failed, error}; }
};

struct ReplaceOptions {
    // Replace a target that is read-only (its mode grants no write, or the system refuses
    // to open it for writing) instead of stopping with SaveStatus::ReadOnly.
    bool replaceReadOnly = false;
};

// The question asked before a read-only file is replaced; %1 is its name.
inline constexpr const char* kReplaceReadOnlyQuestion =
    "%1 is read-only.\nDo you want to replace it?";

// "Could not save file (PATH)", followed by the reason when the system gave one; for a
// read-only target, what is needed to replace it.
std::string CouldNotSaveText(const std::string& path, const SaveResult& result);

} // namespace tamblin
