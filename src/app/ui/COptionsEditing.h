#pragma once

#include <QWidget>

class QCheckBox;

namespace tamblin {

// The Editing page of the Options sheet: whether every edit can be undone.
class COptionsEditing final : public QWidget {
    Q_OBJECT

public:
    explicit COptionsEditing(QWidget* parent = nullptr);

    // Fills the controls from the fields.
    void UpdateControls();
    // Reads the controls back.
    void OnKillActive();

    bool m_undoEveryEdit = true;
    bool m_modified = false;

private:
    QCheckBox* m_undoEveryEditCheck;
    bool m_updatingControls = false;
};

} // namespace tamblin
