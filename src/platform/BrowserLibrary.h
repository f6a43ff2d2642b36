#pragma once

#include <QString>

class QLibrary;

namespace tamblin {

// The embedded browser lives in a plugin library beside the program. Loading it at
// start-up decides whether testing pages and the help viewer are available.
class BrowserLibrary {
public:
    static constexpr const char* kBaseName = "tamblin-browser";

    BrowserLibrary() = default;
    ~BrowserLibrary();
    BrowserLibrary(const BrowserLibrary&) = delete;
    BrowserLibrary& operator=(const BrowserLibrary&) = delete;

    // `directory` ends with "/".
    bool Load(const QString& directory);
    void Free();
    bool IsLoaded() const { return m_library != nullptr; }
    QLibrary* Library() const { return m_library; }

private:
    QLibrary* m_library = nullptr;
};

} // namespace tamblin
