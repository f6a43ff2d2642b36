#include "platform/BrowserLibrary.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdlib>
#include <unistd.h>

namespace tamblin {

void BrowserLibrary::PrepareBeforeApplication() {
    // Qt WebEngine loaded from a plugin wants GL contexts shared from the start.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0) {
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    }
}

bool BrowserLibrary::Load(const QString& directory) {
    QString dir = directory.isEmpty() ? QCoreApplication::applicationDirPath() : directory;
    m_library.setFileName(QDir(dir).filePath(QString::fromLatin1(kFileName)));
    if (!m_library.load()) {
        return false;
    }
    m_create = reinterpret_cast<CreateFunction>(m_library.resolve(kEntryPoint));
    return m_create != nullptr;
}

BrowserView* BrowserLibrary::CreateView(QWidget* parent) const {
    return m_create ? m_create(parent) : nullptr;
}

} // namespace tamblin
