#pragma once

#include "app/WindowPlacement.h"

#include <string>

namespace tamblin {

class SettingsStore;

// The values of the Settings group, with the defaults used when the group is missing.
class AppSettings {
public:
    static constexpr size_t kMaxTextBytes = 79; // the stored texts have 80 bytes with the zero

    // Without a Settings group every field keeps the default above; a missing value takes
    // the default for a missing value (PrintPointSize 12, PrintFace "Arial").
    void Load(SettingsStore& store);
    // IEWarned records whether the browser was missing in this run, so the warning comes
    // back once each time the browser goes missing again.
    void Save(SettingsStore& store, bool browserAvailable) const;
    // Written by the main window when it closes; false when the group cannot be written.
    static bool SavePlacement(SettingsStore& store, const WindowPlacement& placement);

    bool m_findUrls = true;
    bool m_findIndices = true;
    bool m_browserWarned = false;
    bool m_lowMemWarned = false;
    std::string m_printFace = "Arial";
    int m_printPointSize = 10;
    bool m_printSummary = true;
    bool m_welcomed = false;
    // Undo and Redo for every edit; off, only the last delete can be undone.
    bool m_undoEveryEdit = true;
    WindowPlacement m_placement;
    // Whether new search pages name the script viewer. Kept only while the program runs:
    // every run starts with it on.
    bool m_webViewer = true;

private:
    void LoadPlacement(SettingsStore& store);
};

} // namespace tamblin
