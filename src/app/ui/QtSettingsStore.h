#pragma once

#include "app/SettingsStore.h"

#include <QSettings>

namespace tamblin {

// The settings in QSettings under "Tarvo"/"Tamblin": the registry on Windows,
// ~/.config/Tarvo/Tamblin.conf here. Tests move it with QSettings::setPath.
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();

    bool OpenGroup(const std::string& group, bool forWriting) override;
    void CloseGroup() override;
    std::optional<long long> ReadNumber(const std::string& name) override;
    std::optional<std::string> ReadText(const std::string& name) override;
    void WriteNumber(const std::string& name, long long value) override;
    void WriteText(const std::string& name, const std::string& value) override;
    void RemoveValue(const std::string& name) override;

    // Writes pending changes; false when the file could not be written.
    bool Flush();

private:
    QSettings m_settings;
    bool m_open = false;
};

} // namespace tamblin
