#pragma once

#include <QMainWindow>

#include <string>

namespace tamblin {

class HelpViewer;

// Lumio's main window: hidden in normal use, where it only stands for the running viewer
// ("Untitled - Lumio"); shown in test mode with its File menu.
class LumioMainFrame final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Untitled - Lumio";

    explicit LumioMainFrame(QWidget* parent = nullptr);
    // The viewer the test command drives, and where that command finds its help.
    void SetViewer(HelpViewer* viewer, std::string helpDirectory, std::string topicMapPath);

private:
    void OnShowLumioDlg();

    HelpViewer* m_viewer = nullptr;
    std::string m_helpDirectory;
    std::string m_topicMapPath;
};

} // namespace tamblin
