#include "platform/BrowserLibrary.h"

#include <QLibrary>

namespace tamblin {

BrowserLibrary::~BrowserLibrary() {
    Free();
}

bool BrowserLibrary::Load(const QString& directory) {
    Free();
    auto* library = new QLibrary(directory + QString::fromLatin1(kBaseName));
    if (!library->load()) {
        delete library;
        return false;
    }
    m_library = library;
    return true;
}

void BrowserLibrary::Free() {
    if (m_library) {
        m_library->unload();
        delete m_library;
        m_library = nullptr;
    }
}

} // namespace tamblin
