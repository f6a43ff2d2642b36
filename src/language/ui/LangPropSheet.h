#pragma once

#include "language/LanguageFile.h"
#include "language/ui/LanguageTextCodec.h"

#include <QDialog>

#include <functional>

class QTabWidget;

namespace tamblin {

class LangPageA;
class LangPageB;

// "Language definition": edits one language file and saves it on OK. It works on its own
// copy of the file; nothing is written unless every check passes and the user confirms.
class LangPropSheet final : public QDialog {
    Q_OBJECT

public:
    explicit LangPropSheet(LanguageFile file, QWidget* parent = nullptr);

    const LanguageFile& File() const { return m_file; }
    LangPageA* PageA() const { return m_pageA; }
    LangPageB* PageB() const { return m_pageB; }
    QTabWidget* Pages() const { return m_pages; }

    // The OK steps; the sheet closes only once the file has been written.
    void accept() override;
    // Cancel, and Escape: asks before modifications are thrown away.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool CheckTexts();
    bool CheckNewFileEdited();
    bool CheckDescription();
    bool TakeEdits();
    bool OfferUtf8();
    bool ChooseSavePath();
    bool WriteFile();
    void Warn(const QString& text);

    LanguageFile m_file;
    LanguageTextCodec m_codec;
    LangPageA* m_pageA;
    LangPageB* m_pageB;
    QTabWidget* m_pages;
};

} // namespace tamblin
