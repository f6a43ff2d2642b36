#include "app/ui/ShellHelp.h"

#include "app/HelpIds.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/HelpClient.h"
#include "app/ui/HelpEventFilter.h"
#include "app/ui/QtHelpTransport.h"

namespace tamblin {

ShellHelp::ShellHelp(CMainFrame& frame, QString programPath, std::function<bool()> browserAvailable,
                     std::unique_ptr<HelpTransport> transport, QString dataDirectory)
    : m_frame(frame), m_browserAvailable(std::move(browserAvailable)),
      m_transport(transport ? std::move(transport) : std::make_unique<QtHelpTransport>()),
      m_client(std::make_unique<HelpClient>(*m_transport, std::move(programPath),
                                            std::move(dataDirectory))),
      m_filter(std::make_unique<HelpEventFilter>(
          &frame, [this](unsigned data, unsigned command) { Request(data, command); })) {
    // What the fallback needs, also when Lumio is never started.
    m_client->PreparePaths("Tamblin", "Contents.htm", "Doc/Tamblin/", "Popups.htm", "Tamblin.HM");
    frame.SetHandler(Command::HelpFinder, [this] { Request(0, kHelpFinder); });
    frame.SetHandler(Command::HelpSearch, [this] { Request(kHelpIdSearch, kHelpContext); });
    frame.SetHandler(Command::HelpGettingStarted,
                     [this] { Request(kHelpIdGettingStarted, kHelpContext); });
    frame.SetHandler(Command::Help, [this] { m_filter->HelpForActiveWindow(); });
    frame.SetHandler(Command::ContextHelp, [this] { m_filter->EnterContextMode(); });
}

ShellHelp::~ShellHelp() = default;

void ShellHelp::Start(bool& welcomed) {
    // The map is named, not derived from the program's name: the program file has no
    // extension here, and the map's name keeps its capital.
    bool started = m_client->Startup(m_frame.windowTitle(), "Tamblin", "Contents.htm",
                                     "IDR_INDEX.htm", "Doc/Tamblin/", "Popups.htm", "Tamblin.HM");
    if (started && !welcomed) {
        Request(kHelpIdGettingStarted, kHelpContext);
        welcomed = true;
    }
}

void ShellHelp::Exit() {
    m_client->Exit();
}

void ShellHelp::Request(unsigned data, unsigned command) {
    m_client->Help(data, command, m_browserAvailable());
}

} // namespace tamblin
