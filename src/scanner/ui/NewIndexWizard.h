#pragma once

#include "scanner/NewWizardValues.h"

#include <QString>
#include <QWizard>

#include <string>

namespace tamblin {

// The New wizard: "New", then for a scan "Scan Existing Pages" and "Scan options". It works
// on its own copy of the kept values; the caller takes them back after Finish.
class NewIndexWizard final : public QWizard {
    Q_OBJECT
public:
    enum PageId { kNewIndexFile, kScanSource, kScanOptions };
    enum Choice { kEmptyIndex = 0, kScan = 1, kLanguageFile = 2 };

    explicit NewIndexWizard(const NewWizardValues& values, QWidget* parent = nullptr);

    NewWizardValues& Values() { return m_values; }
    int ChoiceMade() const { return m_choice; }
    void SetChoice(int choice) { m_choice = choice; }
    const std::string& Description() const { return m_description; }
    void SetDescription(const std::string& description) { m_description = description; }
    // "New &Language File" works only where the language editor can be reached.
    void SetLanguageFileAvailable(bool available);

private:
    NewWizardValues m_values;
    // Not kept between New commands: every wizard starts with an empty index and no text.
    int m_choice = kEmptyIndex;
    std::string m_description;
};

// Texts cross between the widgets and the byte strings of the core as UTF-8.
inline std::string ScanBytes(const QString& text) {
    return text.toStdString();
}
inline QString ScanText(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

} // namespace tamblin
