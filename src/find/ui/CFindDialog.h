#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace tamblin {

class AppSettings;

// "Find": the text and options for find in the index, kept open beside the view. It
// searches nothing itself: Find Next and Help are passed on through its signals. The two
// scope boxes are the application's settings and change them as soon as they are clicked.
class CFindDialog final : public QDialog {
    Q_OBJECT

public:
    // The text to find is held in 80 bytes with its terminating zero.
    static constexpr int kMaxTextLength = 79;

    // Modeless, owned by `owner`; it deletes itself when it closes.
    CFindDialog(QWidget* owner, const QString& text, bool wholeWord, bool matchCase,
                AppSettings& settings);

    QString Text() const;
    bool WholeWord() const;
    bool MatchCase() const;

Q_SIGNALS:
    void FindNextRequested();
    void HelpRequested();
    // One of the stored search options was switched.
    void SettingsChanged();

private:
    void BuildControls();
    QCheckBox* AddCheck(const char* name, const QString& label, bool checked);

    AppSettings& m_settings;
    QLineEdit* m_findWhat = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_inUrls = nullptr;
    QCheckBox* m_inIndices = nullptr;
    QPushButton* m_findNext = nullptr;
};

} // namespace tamblin
