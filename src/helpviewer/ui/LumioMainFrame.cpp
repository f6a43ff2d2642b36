#include "helpviewer/ui/LumioMainFrame.h"

#include "helpviewer/ui/HelpViewer.h"

#include <QMenuBar>

namespace tamblin {

LumioMainFrame::LumioMainFrame(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("LumioMainFrame"));
    setWindowTitle(QString::fromLatin1(kTitle));
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* show = file->addAction(QStringLiteral("Show &Lumio Dlg"));
    show->setObjectName(QStringLiteral("showLumioDlgAction"));
    connect(show, &QAction::triggered, this, &LumioMainFrame::OnShowLumioDlg);
    file->addSeparator();
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("exitAction"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    setCentralWidget(new QWidget(this));
    resize(320, 200);
}

void LumioMainFrame::SetViewer(HelpViewer* viewer, std::string helpDirectory,
                               std::string topicMapPath) {
    m_viewer = viewer;
    m_helpDirectory = std::move(helpDirectory);
    m_topicMapPath = std::move(topicMapPath);
}

void LumioMainFrame::OnShowLumioDlg() {
    if (m_viewer) {
        m_viewer->ShowTestDialog(m_helpDirectory, m_topicMapPath);
    }
}

} // namespace tamblin
