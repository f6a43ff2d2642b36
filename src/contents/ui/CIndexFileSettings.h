#pragma once

#include "contents/ui/CPropertyPage.h"

class QLineEdit;
class QPlainTextEdit;

namespace tamblin {

class CXoDoc;
class IndexFile;

// The General page of the Index File sheet: only the description and the tip text edit.
class CIndexFileSettings final : public CPropertyPage {
    Q_OBJECT

public:
    CIndexFileSettings(const CXoDoc& document, QWidget* parent = nullptr);

    bool OnKillActive() override;
    // Writes the description and tip text back when either differs; true when it did.
    bool ApplyTo(IndexFile& index) const;

private:
    QLineEdit* AddLine(const char* name, const QString& label, const QString& text, bool readOnly);

    const CXoDoc& m_document;
    QLineEdit* m_description;
    QLineEdit* m_tipText;
    QPlainTextEdit* m_status;
};

} // namespace tamblin
