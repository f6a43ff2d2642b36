#pragma once

#include "app/HelpPaths.h"
#include "helpviewer/TopicMap.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

class QWidget;

namespace tamblin {

class HelpTransport;

// Tamblin's side of the help: starts Lumio, configures it, and turns every help request
// into a request to it. Lumio is started once; after a request it did not accept, it is
// forgotten and each request says that the help could not be shown.
class HelpClient final {
public:
    // programPath: Tamblin's own executable; lumio is looked for beside it. dataDirectory
    // (with its separator) holds the help subdirectory and the topic map; empty: the
    // program's directory.
    HelpClient(HelpTransport& transport, QString programPath, QString dataDirectory = {});

    bool Startup(const QString& windowTitle, const std::string& title,
                 const std::string& contentsPage, const std::string& indexPage,
                 const std::string& helpSubdirectory, const std::string& popupsPage,
                 const std::string& topicMapName);
    // What the fallback needs when Lumio is not used at all; Startup does it too.
    void PreparePaths(const std::string& title, const std::string& contentsPage,
                      const std::string& helpSubdirectory, const std::string& popupsPage,
                      const std::string& topicMapName);
    // data and command as the platform's help takes them (kHelpContext, kHelpFinder ...).
    void Help(unsigned data, unsigned command, bool browserAvailable);
    void Exit();
    int32_t Send(uint32_t code, const std::string& text);

    bool IsReady() const { return m_ready; }
    bool HasLumio() const { return m_haveLumio; }

private:
    bool FindLumio(const QString& program, const QString& windowTitle);
    void FallbackHelp(unsigned data, unsigned command);
    void CancelModes();
    void CouldNotShow(const std::string& what);

    HelpTransport& m_transport;
    QString m_programPath;
    QString m_dataDirectory;
    bool m_haveLumio = false;
    bool m_ready = false;
    std::string m_contentsPage;
    std::string m_title;
    std::optional<HelpPaths> m_paths;
    TopicMap m_fallbackMap;
    bool m_fallbackMapRead = false;
};

} // namespace tamblin
