#pragma once

#include <QDialog>

class QLineEdit;

namespace tamblin {

// A plain title-and-URL dialog: what Insert URL and Properties open for an entry until
// the URL properties sheet takes their place (CContentsView::SetSheets).
class CUrlTitleDialog final : public QDialog {
    Q_OBJECT

public:
    CUrlTitleDialog(const QString& title, const QString& url, QWidget* parent = nullptr);

    QString Title() const;
    QString Url() const;

    void accept() override;

private:
    QLineEdit* m_title;
    QLineEdit* m_url;
};

} // namespace tamblin
