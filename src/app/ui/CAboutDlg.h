#pragma once

#include <QDialog>

namespace tamblin {

// Dialog 100, "About Tamblin": the program and applet versions with the program's pictures.
class CAboutDlg final : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kNavoraVersion = "2.3/2.1";

    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace tamblin
