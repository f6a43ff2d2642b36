#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tamblin {

// "Save Language File": confirms the name to save under, or leads to choosing one.
class SaveLanguageDialog final : public QDialog {
    Q_OBJECT

public:
    enum class Choice { Cancel, Save, SaveAs };

    // An empty path asks for a name first: Save is disabled then.
    explicit SaveLanguageDialog(const QString& path, QWidget* parent = nullptr);

    Choice Ask();
    bool SaveAsChosen() const { return m_saveAs; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnSaveAs();

    QLabel* m_prompt;
    QLabel* m_path;
    QPushButton* m_save;
    QPushButton* m_saveAsButton;
    bool m_saveAs = false;
};

} // namespace tamblin
