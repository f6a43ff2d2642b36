#pragma once

#include "searchpage/SearchPageSettings.h"

#include <QString>
#include <QWizard>

#include <string>

namespace tamblin {

// The New web page wizard: six pages that fill one SearchPageSettings record. The record
// belongs to the caller; the pages read it when entered and write it as the user edits.
class SearchPageWizard final : public QWizard {
    Q_OBJECT
public:
    enum PageId { kLocation, kIndices, kRunMode, kColoursFont, kImages, kTest };

    explicit SearchPageWizard(SearchPageSettings& settings, QWidget* parent = nullptr);

    SearchPageSettings& Settings() { return m_settings; }
    // The directory of the page path accepted last on the Location page, ending in "/".
    const std::string& PageDirectory() const { return m_pageDirectory; }
    void SetPageDirectory(const std::string& directory) { m_pageDirectory = directory; }

private:
    SearchPageSettings& m_settings;
    std::string m_pageDirectory;
};

// Texts cross between the widgets and the byte strings of the core as UTF-8.
inline std::string Bytes(const QString& text) {
    return text.toStdString();
}
inline QString Text(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

} // namespace tamblin
