#pragma once

#include "searchpage/IndexParameter.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;

namespace tamblin {

// "Advanced Index Parameter": every field of one index file's parameter, edited on a copy.
class AdvancedIndexParameterDialog final : public QDialog {
    Q_OBJECT
public:
    AdvancedIndexParameterDialog(const IndexParameter& parameter, std::string pageDirectory,
                                 QWidget* parent = nullptr);

    // The edited copy; the caller copies it back after OK.
    const IndexParameter& Parameter() const { return m_parameter; }
    void accept() override;

private:
    void BuildFileRows(QGridLayout* layout);
    void BuildCodeRows(QGridLayout* layout);
    void BuildOptionRows(QGridLayout* layout);
    void ApplyEnabling();
    void BrowseIndex();
    void BrowseLanguage();

    IndexParameter m_parameter;
    std::string m_pageDirectory;
    QLineEdit* m_indexUrl = nullptr;
    QComboBox* m_indexEncoding = nullptr;
    QLineEdit* m_languageUrl = nullptr;
    QComboBox* m_languageEncoding = nullptr;
    QComboBox* m_languageCode = nullptr;
    QComboBox* m_countryCode = nullptr;
    QCheckBox* m_noContents = nullptr;
    QCheckBox* m_sort = nullptr;
    QCheckBox* m_expanded = nullptr;
    QCheckBox* m_noIndex = nullptr;
    QCheckBox* m_indexSelected = nullptr;
    QLineEdit* m_selectUrl = nullptr;
    QLineEdit* m_initialQuery = nullptr;
};

} // namespace tamblin
