#pragma once

#include "app/ui/HelpTransport.h"

#include <QString>

#include <functional>
#include <memory>

namespace tamblin {

class CMainFrame;
class HelpClient;
class HelpEventFilter;

// Tamblin's help as the shell uses it: the help client, its commands in the main frame,
// and F1 / Shift+F1 in every window.
class ShellHelp final {
public:
    // browserAvailable is asked at each request: the help window needs the browser.
    // dataDirectory holds the help pages and the topic map; empty: the program's directory.
    ShellHelp(CMainFrame& frame, QString programPath, std::function<bool()> browserAvailable,
              std::unique_ptr<HelpTransport> transport = nullptr, QString dataDirectory = {});
    ~ShellHelp();

    // Starts Lumio; the first time ever (welcomed false) shows Getting started and sets it.
    void Start(bool& welcomed);
    void Exit();
    void Request(unsigned data, unsigned command);
    HelpClient& Client() { return *m_client; }
    HelpEventFilter& Filter() { return *m_filter; }

private:
    CMainFrame& m_frame;
    std::function<bool()> m_browserAvailable;
    std::unique_ptr<HelpTransport> m_transport;
    std::unique_ptr<HelpClient> m_client;
    std::unique_ptr<HelpEventFilter> m_filter;
};

} // namespace tamblin
