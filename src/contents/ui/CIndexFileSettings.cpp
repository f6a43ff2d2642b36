#include "contents/ui/CIndexFileSettings.h"

#include "contents/FormatText.h"
#include "document/ui/CXoDoc.h"
#include "index/IndexFile.h"
#include "platform/CommonPrompts.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace tamblin {

CIndexFileSettings::CIndexFileSettings(const CXoDoc& document, QWidget* parent)
    : CPropertyPage(parent), m_document(document) {
    setObjectName(QStringLiteral("indexFileSettings"));
    const IndexFile& index = *document.Index();
    new QFormLayout(this);
    m_description = AddLine("description", QStringLiteral("&Description:"),
                            document.Decode(index.m_description), false);
    m_tipText =
        AddLine("tipText", QStringLiteral("&Tip text:"), document.Decode(index.m_tipText), false);
    AddLine("fileName", QStringLiteral("File name:"),
            QString::fromLocal8Bit(index.m_fileName.c_str()), true);
    AddLine("lastCreated", QStringLiteral("Last created:"), document.Decode(index.m_dateText),
            true);
    std::string format = FormatText(index.m_formatMajor, index.m_formatMinor, index.m_coding);
    AddLine("format", QStringLiteral("Format:"), QString::fromStdString(format), true);
    m_status = new QPlainTextEdit(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setReadOnly(true);
    m_status->setMaximumHeight(m_status->fontMetrics().lineSpacing() * 5);
    m_status->setPlainText(QString::fromStdString(index.StatisticsText())
                               .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    static_cast<QFormLayout*>(layout())->addRow(QStringLiteral("Status:"), m_status);
}

QLineEdit* CIndexFileSettings::AddLine(const char* name, const QString& label, const QString& text,
                                       bool readOnly) {
    auto* edit = new QLineEdit(text, this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(readOnly);
    static_cast<QFormLayout*>(layout())->addRow(label, edit);
    return edit;
}

bool CIndexFileSettings::OnKillActive() {
    return CheckMinLength(m_description, m_description->text(), 1);
}

bool CIndexFileSettings::ApplyTo(IndexFile& index) const {
    auto bytes = [this](const QString& text, const std::string& original) {
        return text == m_document.Decode(original) ? original : m_document.Encode(text);
    };
    std::string description = bytes(m_description->text(), index.m_description);
    std::string tipText = bytes(m_tipText->text(), index.m_tipText);
    if (description == index.m_description && tipText == index.m_tipText) {
        return false;
    }
    index.m_description = description;
    index.m_tipText = tipText;
    return true;
}

} // namespace tamblin
