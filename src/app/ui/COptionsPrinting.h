#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tamblin {

// The Printing page of the Options sheet: font, size in points and summary printing.
class COptionsPrinting final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMinPointSize = 5;
    static constexpr int kMaxPointSize = 48;

    explicit COptionsPrinting(QWidget* parent = nullptr);

    // The font families to offer: each once, without the foundry that the font database
    // adds in brackets when two foundries make a family ("C059 [urw]"), sorted.
    static QStringList FontFamilyChoices(const QStringList& families);
    static QString WithoutFoundry(const QString& family);

    // Fills the controls from the fields.
    void UpdateControls();
    // Reads the controls back; false, after telling the user, when the size is wrong.
    bool OnKillActive();

    QString m_printFace;
    int m_printPointSize = 10;
    bool m_printSummary = true;
    bool m_modified = false;

private:
    QComboBox* m_face;
    QLineEdit* m_size;
    QCheckBox* m_summary;
    bool m_updatingControls = false;
    // The row shown in place of a face that is not installed, or -1.
    int m_standIn = -1;
};

} // namespace tamblin
