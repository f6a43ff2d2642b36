#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace tamblin {

// "General": the description to edit, and the file name and format to see.
class LangPageA final : public QWidget {
    Q_OBJECT

public:
    explicit LangPageA(QWidget* parent = nullptr);

    void Fill(const QString& path, const QString& format, const QString& description);
    QString Description() const;
    QLineEdit* DescriptionEdit() const { return m_description; }
    // Set from the start: filling the page counts as an edit of the description.
    bool IsModified() const { return m_modified; }

private:
    void OnDescriptionChanged();

    QLineEdit* m_description;
    QLabel* m_fileName;
    QLabel* m_format;
    bool m_modified = false;
};

} // namespace tamblin
