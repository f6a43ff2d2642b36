#include "app/AppSettings.h"

#include "app/SettingsStore.h"

namespace tamblin {

namespace {

bool ReadFlag(SettingsStore& store, const char* name, bool missing) {
    std::optional<long long> value = store.ReadNumber(name);
    // Stored as a 32-bit value: only its low four bytes count.
    return value ? static_cast<unsigned>(*value) != 0 : missing;
}

int ReadInt(SettingsStore& store, const char* name, int missing) {
    std::optional<long long> value = store.ReadNumber(name);
    return value ? static_cast<int>(static_cast<unsigned>(*value)) : missing;
}

std::string ReadLimitedText(SettingsStore& store, const char* name) {
    std::optional<std::string> value = store.ReadText(name);
    if (!value) {
        return {};
    }
    return value->substr(0, AppSettings::kMaxTextBytes);
}

} // namespace

void AppSettings::Load(SettingsStore& store) {
    *this = AppSettings();
    if (!store.OpenGroup(kSettingsGroup, false)) {
        return;
    }
    m_findUrls = ReadFlag(store, "FindURLs", true);
    m_findIndices = ReadFlag(store, "FindIndices", true);
    m_browserWarned = ReadFlag(store, "IEWarned", false);
    m_lowMemWarned = ReadFlag(store, "LowMemWarned", false);
    m_printFace = ReadLimitedText(store, "PrintFace");
    if (m_printFace.empty()) {
        m_printFace = "Arial";
    }
    m_printPointSize = ReadInt(store, "PrintPointSize", 12);
    if (m_printPointSize < 5) {
        m_printPointSize = 10;
    }
    m_printSummary = ReadFlag(store, "PrintSummary", true);
    m_welcomed = ReadFlag(store, "Welcomed", false);
    m_undoEveryEdit = ReadFlag(store, "UndoEveryEdit", true);
    LoadPlacement(store);
    store.CloseGroup();
}

void AppSettings::LoadPlacement(SettingsStore& store) {
    std::optional<long long> showState = store.ReadNumber("ShowWindow");
    if (!showState) {
        return;
    }
    m_placement.showState = static_cast<int>(static_cast<unsigned>(*showState));
    std::optional<std::string> position = store.ReadText("WindowPosition");
    if (!position) {
        m_placement.showState = WindowPlacement::kNone;
        return;
    }
    std::string text = position->substr(0, kMaxTextBytes);
    if (!ParseWindowPosition(text, m_placement)) {
        m_placement.showState = WindowPlacement::kNone;
    }
}

void AppSettings::Save(SettingsStore& store, bool browserAvailable) const {
    if (!store.OpenGroup(kSettingsGroup, true)) {
        return;
    }
    store.WriteNumber("FindURLs", m_findUrls ? 1 : 0);
    store.WriteNumber("FindIndices", m_findIndices ? 1 : 0);
    store.WriteNumber("IEWarned", browserAvailable ? 0 : 1);
    store.WriteNumber("LowMemWarned", m_lowMemWarned ? 1 : 0);
    store.WriteText("PrintFace", m_printFace.substr(0, kMaxTextBytes));
    store.WriteNumber("PrintPointSize", m_printPointSize);
    store.WriteNumber("PrintSummary", m_printSummary ? 1 : 0);
    store.WriteNumber("Welcomed", m_welcomed ? 1 : 0);
    store.WriteNumber("UndoEveryEdit", m_undoEveryEdit ? 1 : 0);
    store.CloseGroup();
}

bool AppSettings::SavePlacement(SettingsStore& store, const WindowPlacement& placement) {
    if (!store.OpenGroup(kSettingsGroup, true)) {
        return false;
    }
    store.WriteNumber("ShowWindow", placement.showState);
    store.WriteText("WindowPosition", FormatWindowPosition(placement));
    store.CloseGroup();
    return true;
}

} // namespace tamblin
