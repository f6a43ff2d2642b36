#include "language/ui/LangPropSheet.h"

#include "language/ui/LangPageA.h"
#include "language/ui/LangPageB.h"
#include "language/ui/SaveLanguageDialog.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"

#include <QApplication>

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tamblin {

namespace {

std::vector<std::string> AllFields(const LanguageFile& file) {
    std::vector<std::string> fields = file.m_texts;
    fields.insert(fields.end(), file.m_viewerTexts.begin(), file.m_viewerTexts.end());
    fields.push_back(file.m_description);
    return fields;
}

QString ShownPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

LangPropSheet::LangPropSheet(LanguageFile file, QWidget* parent)
    : QDialog(parent), m_file(std::move(file)),
      m_codec(LanguageTextCodec::ForTexts(AllFields(m_file))), m_pageA(new LangPageA),
      m_pageB(new LangPageB), m_pages(new QTabWidget(this)) {
    setObjectName(QStringLiteral("LangPropSheet"));
    setWindowTitle(QStringLiteral("Language definition"));
    m_pages->setObjectName(QStringLiteral("pages"));
    m_pages->addTab(m_pageA, QStringLiteral("General"));
    m_pages->addTab(m_pageB, QStringLiteral("Edit"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &LangPropSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LangPropSheet::reject);
    resize(600, 440);

    QStringList labels;
    QStringList texts;
    for (size_t i = 0; i < m_file.m_texts.size(); ++i) {
        labels << QString::fromLatin1(LanguageFile::kLabels[i]);
        texts << m_codec.Decode(m_file.m_texts[i]);
    }
    // The script viewer's texts follow, with their defaults where the file has none.
    for (size_t i = 0; i < m_file.m_viewerTexts.size(); ++i) {
        labels << QStringLiteral("Viewer: %1")
                      .arg(QString::fromLatin1(LanguageFile::kViewerDefaults[i]));
        texts << m_codec.Decode(m_file.m_viewerTexts[i]);
    }
    m_pageA->Fill(ShownPath(m_file.m_path), QString::fromStdString(m_file.m_format),
                  m_codec.Decode(m_file.m_description));
    m_pageB->Fill(labels, texts);
}

void LangPropSheet::accept() {
    if (!CheckTexts() || !CheckNewFileEdited() || !CheckDescription() || !TakeEdits()) {
        return;
    }
    SaveLanguageDialog confirm(ShownPath(m_file.m_path), this);
    SaveLanguageDialog::Choice choice = confirm.Ask();
    if (choice == SaveLanguageDialog::Choice::Cancel) {
        return;
    }
    // A cancelled name or a failed write keeps the sheet open with the user's texts.
    if ((choice == SaveLanguageDialog::Choice::SaveAs || !m_file.m_existed) && !ChooseSavePath()) {
        return;
    }
    if (WriteFile()) {
        QDialog::accept();
    }
}

void LangPropSheet::reject() {
    if (m_pageA->IsModified() || m_pageB->IsModified()) {
        DialogService::Message message;
        message.text = QStringLiteral("OK to disregard modifications made?");
        message.icon = DialogService::Icon::Question;
        message.buttons = DialogService::Buttons::OkCancel;
        if (Dialogs().ShowMessage(this, message) != DialogService::Answer::Ok) {
            return;
        }
    }
    QDialog::reject();
}

void LangPropSheet::closeEvent(QCloseEvent* event) {
    // Only OK or Cancel may end the sheet.
    event->ignore();
    QApplication::beep();
}

bool LangPropSheet::CheckTexts() {
    int blank = m_pageB->FindBlankLine();
    if (blank < 0) {
        return true;
    }
    m_pages->setCurrentWidget(m_pageB);
    m_pageB->SelectLine(blank);
    m_pageB->EditBox()->setFocus();
    Warn(QStringLiteral("Blank lines not allowed!"));
    return false;
}

bool LangPropSheet::CheckNewFileEdited() {
    if (m_file.m_existed || m_pageB->IsModified()) {
        return true;
    }
    QApplication::beep();
    Warn(QStringLiteral("You need to fill in the Edit language property page!"));
    return false;
}

bool LangPropSheet::CheckDescription() {
    if (!m_pageA->Description().isEmpty()) {
        return true;
    }
    Warn(QStringLiteral("You need to give a description"));
    m_pages->setCurrentWidget(m_pageA);
    m_pageA->DescriptionEdit()->setFocus();
    return false;
}

// Copies the pages into the file, keeping the bytes of every text the user left alone,
// and refuses a text that could not be read back in its place.
bool LangPropSheet::TakeEdits() {
    if (!OfferUtf8()) {
        return false;
    }
    LanguageFile edited = m_file;
    edited.m_description = m_codec.Keep(m_pageA->Description(), m_file.m_description);
    QStringList texts = m_pageB->Texts();
    for (qsizetype i = 0; i < texts.size() && i < LanguageFile::kTextCount; ++i) {
        auto at = static_cast<size_t>(i);
        edited.m_texts[at] = m_codec.Keep(texts[i], m_file.m_texts[at]);
    }
    for (qsizetype i = LanguageFile::kTextCount; i < texts.size(); ++i) {
        auto at = static_cast<size_t>(i - LanguageFile::kTextCount);
        if (at < edited.m_viewerTexts.size()) {
            edited.m_viewerTexts[at] = m_codec.Keep(texts[i], m_file.m_viewerTexts[at]);
        }
    }
    std::string reason = edited.FindUnwritableField();
    if (!reason.empty()) {
        Warn(QString::fromStdString(reason));
        return false;
    }
    m_file = std::move(edited);
    return true;
}

// An older file is written in Windows-1252; a text it cannot hold would lose letters to "?"
// without a word. Saving the whole file as UTF-8 keeps them.
bool LangPropSheet::OfferUtf8() {
    QStringList shown = m_pageB->Texts();
    shown << m_pageA->Description();
    bool fits = std::all_of(shown.begin(), shown.end(),
                            [this](const QString& text) { return m_codec.CanHold(text); });
    if (fits) {
        return true;
    }
    DialogService::Message message;
    message.text = QStringLiteral(
        "Some texts hold characters that Windows-1252, the encoding of this file, cannot "
        "hold: they would be saved as \"?\".\n\nSave the file in UTF-8 instead?");
    message.icon = DialogService::Icon::Question;
    message.buttons = DialogService::Buttons::YesNoCancel;
    switch (Dialogs().ShowMessage(this, message)) {
    case DialogService::Answer::Yes:
        m_codec = LanguageTextCodec::Utf8();
        return true;
    case DialogService::Answer::No:
        return true;
    default:
        return false;
    }
}

bool LangPropSheet::ChooseSavePath() {
    QString path = ShownPath(m_file.m_path);
    if (!PromptFileName(this, false, QString::fromLatin1(kLanguageExtension),
                        QStringLiteral("Save language file as"), path,
                        QString::fromLatin1(kLanguageFilter))) {
        return false;
    }
    m_file.m_path = QFile::encodeName(path).toStdString();
    m_file.m_existed = true;
    m_pageA->Fill(path, QString::fromStdString(m_file.m_format), m_pageA->Description());
    return true;
}

bool LangPropSheet::WriteFile() {
    SaveResult result = m_file.Write(m_file.m_path);
    if (result.status == SaveStatus::ReadOnly &&
        ConfirmReplaceReadOnly(this, ShownPath(m_file.m_path))) {
        result = m_file.Write(m_file.m_path, ReplaceOptions{.replaceReadOnly = true});
    }
    if (result.Ok()) {
        if (m_file.CompanionStale()) {
            Warn(FormatMessage1(
                QStringLiteral("The language file was saved, but the script beside it that "
                               "search pages read from disk (%1) could not be written again: a "
                               "page opened from disk shows the old texts. Check that the "
                               "folder can be written to, and save again."),
                ShownPath(m_file.m_path) + QStringLiteral(".js")));
        }
        return true;
    }
    QApplication::beep();
    QString text = FormatMessage1(QStringLiteral("Unable to write to language file (%1)"),
                                  ShownPath(m_file.m_path));
    // The system's reason (a full disk, a refused permission) says what to do about it.
    std::string reason = result.Reason();
    Warn(reason.empty() ? text : text + QStringLiteral(": ") + QString::fromLocal8Bit(reason));
    return false;
}

void LangPropSheet::Warn(const QString& text) {
    DialogService::Message message;
    message.text = text;
    message.icon = DialogService::Icon::Warning;
    Dialogs().ShowMessage(this, message);
}

} // namespace tamblin
