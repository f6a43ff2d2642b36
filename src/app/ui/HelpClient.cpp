#include "app/ui/HelpClient.h"

#include "app/HelpIds.h"
#include "app/ui/HelpTransport.h"
#include "helpviewer/HelpRequest.h"
#include "index/UrlUtils.h"
#include "platform/CommonPrompts.h"
#include "platform/DialogService.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QWhatsThis>
#include <QWidget>

#include <cstdio>

namespace tamblin {

namespace {

const QString kLumioCaption = QStringLiteral("Tarvo Lumio");

void ShowLumioMessage(const QString& text) {
    Dialogs().ShowMessage(nullptr, {text, kLumioCaption});
}

} // namespace

HelpClient::HelpClient(HelpTransport& transport, QString programPath, QString dataDirectory)
    : m_transport(transport), m_programPath(std::move(programPath)),
      m_dataDirectory(std::move(dataDirectory)) {}

bool HelpClient::Startup(const QString& windowTitle, const std::string& title,
                         const std::string& contentsPage, const std::string& indexPage,
                         const std::string& helpSubdirectory, const std::string& popupsPage,
                         const std::string& topicMapName) {
    m_ready = false;
    PreparePaths(title, contentsPage, helpSubdirectory, popupsPage, topicMapName);
    if (m_programPath.isEmpty()) {
        return false;
    }
    std::string programPath = QFile::encodeName(m_programPath).toStdString();
    QString lumio =
        QString::fromStdString(SplitPath(programPath).directory) + QStringLiteral("lumio");
    if (!FindLumio(lumio, windowTitle)) {
        ShowLumioMessage(QStringLiteral("Could not start ") + QFileInfo(lumio).fileName());
        return false;
    }
    if (!m_paths) {
        return false;
    }
    if (!title.empty()) {
        Send(kRequestTitle, title);
    }
    Send(kRequestHelpDirectory, m_paths->helpDirectory);
    Send(kRequestContentsPage, contentsPage);
    Send(kRequestIndexPage, indexPage);
    Send(kRequestTopicMap, m_paths->topicMap);
    Send(kRequestPopupsPage, m_paths->popupsPage);
    m_ready = true;
    return true;
}

void HelpClient::PreparePaths(const std::string& title, const std::string& contentsPage,
                              const std::string& helpSubdirectory, const std::string& popupsPage,
                              const std::string& topicMapName) {
    m_title = title;
    m_contentsPage = contentsPage;
    std::string programPath = QFile::encodeName(m_programPath).toStdString();
    if (!m_dataDirectory.isEmpty()) {
        // The paths are made from the program's directory: an installed copy keeps its help
        // elsewhere, so the program is taken as if it stood there.
        programPath =
            QFile::encodeName(m_dataDirectory).toStdString() + SplitPath(programPath).fileName;
    }
    m_paths =
        MakeHelpPaths(programPath, helpSubdirectory, popupsPage, topicMapName, kNativeSeparator);
}

bool HelpClient::FindLumio(const QString& program, const QString& windowTitle) {
    if (!m_transport.StartLumio(program, windowTitle)) {
        return false;
    }
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (m_transport.Connect()) {
            m_haveLumio = true;
            return true;
        }
        m_transport.Wait(1000);
    }
    return false;
}

int32_t HelpClient::Send(uint32_t code, const std::string& text) {
    if (!m_haveLumio) {
        return 0;
    }
    int32_t answer = m_transport.Send(code, text);
    if (answer == 0) {
        // Lumio is not started again: every later request fails at once.
        m_haveLumio = false;
        m_transport.Disconnect();
    }
    return answer;
}

void HelpClient::Help(unsigned data, unsigned command, bool browserAvailable) {
    if (!browserAvailable || !m_ready) {
        FallbackHelp(data == kHelpIdGettingStarted ? 0 : data,
                     data == kHelpIdGettingStarted ? kHelpFinder : command);
        return;
    }
    CancelModes();
    if (command == kHelpFinder) {
        if (m_contentsPage.empty() || Send(kRequestShowPage, m_contentsPage) == 0) {
            CouldNotShow(m_contentsPage);
        }
        return;
    }
    if (command == kHelpContext || command == kHelpContextPopup) {
        QPoint cursor = QCursor::pos();
        std::string text = FormatContextText(cursor.x(), cursor.y(), data);
        uint32_t code = command == kHelpContext ? kRequestContextHelp : kRequestContextPopup;
        if (Send(code, text) == 0) {
            char topic[32];
            std::snprintf(topic, sizeof topic, "for topic %X", data);
            CouldNotShow(topic);
        }
        return;
    }
    ShowFormattedMessage(
        "Unrecognised help command %d (data %d).\nPlease contact Tarvo for advice.",
        static_cast<int>(command), static_cast<int>(data));
}

void HelpClient::CouldNotShow(const std::string& what) {
    char text[512];
    std::snprintf(text, sizeof text, "Couldn't show help page %s", what.c_str());
    ShowLumioMessage(QString::fromLocal8Bit(text));
}

void HelpClient::CancelModes() {
    if (QWhatsThis::inWhatsThisMode()) {
        QWhatsThis::leaveWhatsThisMode();
    }
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
}

void HelpClient::FallbackHelp(unsigned data, unsigned command) {
    // Without Lumio, the page opens in the desktop's browser when there is one.
    std::string page;
    if (m_paths && command == kHelpFinder) {
        page = m_paths->helpDirectory + m_contentsPage;
    } else if (m_paths && (command == kHelpContext || command == kHelpContextPopup)) {
        if (!m_fallbackMapRead) {
            m_fallbackMap.Load(m_paths->topicMap);
            m_fallbackMapRead = true;
        }
        if (const std::string* name = m_fallbackMap.NameFor(data)) {
            page = m_paths->helpDirectory + *name + ".htm";
        }
    }
    if (!page.empty() && FileExists(page) &&
        m_transport.OpenInDesktopBrowser(QFile::decodeName(page.c_str()))) {
        return;
    }
    Dialogs().ShowMessage(nullptr, {QStringLiteral("No help is available for this item."),
                                    QString::fromStdString(m_title)});
}

void HelpClient::Exit() {
    if (m_haveLumio) {
        m_transport.Send(kRequestClose, "");
    }
}

} // namespace tamblin
