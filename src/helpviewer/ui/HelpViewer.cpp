#include "helpviewer/ui/HelpViewer.h"

#include "helpviewer/PopupRenderer.h"
#include "helpviewer/ui/HelpDialog.h"
#include "helpviewer/ui/PopupWindow.h"
#include "index/UrlUtils.h"
#include "platform/DialogService.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QMetaObject>

#include <cstdio>

namespace tamblin {

HelpViewer::HelpViewer(QWidget* owner, BrowserFactory browserFactory, QRect workArea,
                       std::vector<std::string> installedFacesLower)
    : QObject(owner), m_owner(owner), m_browserFactory(std::move(browserFactory)),
      m_workArea(workArea), m_faces(std::move(installedFacesLower)) {}

HelpViewer::~HelpViewer() {
    if (m_popup) {
        m_popup->close();
    }
}

PopupWindow* HelpViewer::Popup() const {
    return m_popup.data();
}

template <typename F> void HelpViewer::Post(F work) {
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

int32_t HelpViewer::HandleRequest(const HelpRequest& request) {
    const std::string& text = request.text;
    switch (request.code) {
    case kRequestClose:
        Post([this] { Close(); });
        return 1;
    case kRequestTitle:
        m_settings.title = text;
        return 1;
    case kRequestHelpDirectory:
        m_settings.helpDirectory = text;
        return 1;
    case kRequestContentsPage:
    case kRequestIndexPage:
        (request.code == kRequestContentsPage ? m_settings.contentsPage : m_settings.indexPage) =
            text;
        if (m_dialog) {
            m_dialog->UpdateButtons();
        }
        return 1;
    case kRequestTopicMap:
        m_settings.topicMapPath = text;
        Post([this] { LoadTopicMap(); });
        return 1;
    case kRequestPopupsPage:
        m_settings.popupsPath = text;
        Post([this, text] { LoadPopups(text); });
        return 1;
    case kRequestShowPage:
        m_settings.pageToShow = text;
        Post([this] { ShowPageToShow(); });
        return 1;
    case kRequestContextHelp:
    case kRequestContextPopup:
        if (auto context = ParseContextText(text)) {
            m_popupPosition = QPoint(context->x, context->y);
            uint32_t id = context->topicId;
            if (request.code == kRequestContextHelp) {
                Post([this, id] { ContextHelp(id); });
            } else {
                Post([this, id] { ContextPopup(id, true); });
            }
        }
        return 1;
    default:
        QApplication::beep();
        return 0;
    }
}

void HelpViewer::LoadTopicMap() {
    m_map.Load(m_settings.topicMapPath);
    if (m_frameworkMapLooked) {
        return;
    }
    m_frameworkMapLooked = true;
    std::string framework = SplitPath(m_settings.topicMapPath).directory + "AFXHELP.HM";
    if (FileExists(framework)) {
        m_map.Load(framework);
        std::string page = m_settings.helpDirectory + "AfxHelp.htm";
        if (FileExists(page)) {
            LoadPopups(page);
        }
    }
}

void HelpViewer::LoadPopups(const std::string& path) {
    LoadPopupsPage(path, m_map, m_topics, m_defaults, m_faces);
}

bool HelpViewer::EnsureDialog() {
    if (m_dialog) {
        return true;
    }
    BrowserView* browser = m_browserFactory ? m_browserFactory(nullptr) : nullptr;
    m_dialog = new HelpDialog(m_settings, browser, m_owner);
    m_dialog->SetPopupLinkHandler([this](const std::string& topic) { OnPopupLink(topic); });
    m_dialog->Dock(m_workArea);
    return true;
}

bool HelpViewer::ShowPage(const std::string& page) {
    return EnsureDialog() && m_dialog->ShowPage(page);
}

void HelpViewer::ShowPageToShow() {
    ShowPage(m_settings.pageToShow);
}

void HelpViewer::ContextHelp(uint32_t id) {
    const std::string* name = m_map.NameFor(id);
    if (name) {
        m_settings.pageToShow = *name + ".htm";
        if (ShowPage(m_settings.pageToShow)) {
            return;
        }
        if (ShowPopupFor(id, true)) {
            return;
        }
    }
    NoHelp(id, name ? *name : std::string());
}

bool HelpViewer::ShowPopupFor(uint32_t id, bool hideDialog) {
    const std::string* name = m_map.NameFor(id);
    if (!name) {
        return false;
    }
    std::optional<uint32_t> named = m_map.IdFor(*name);
    const RunList* runs = named ? m_topics.Find(*named) : nullptr;
    if (!runs) {
        return false;
    }
    ShowPopup(*runs, hideDialog);
    return true;
}

void HelpViewer::ContextPopup(uint32_t id, bool hideDialog) {
    if (ShowPopupFor(id, hideDialog)) {
        return;
    }
    const std::string* name = m_map.NameFor(id);
    if (name) {
        m_settings.pageToShow = *name + ".htm";
        if (ShowPage(m_settings.pageToShow)) {
            return;
        }
    }
    NoHelp(id, name ? *name : std::string());
}

void HelpViewer::OnPopupLink(const std::string& topic) {
    m_pendingTopic = topic;
    m_popupPosition = QCursor::pos();
    Post([this] { ShowPendingPopup(); });
}

void HelpViewer::ShowPendingPopup() {
    if (std::optional<uint32_t> id = m_map.IdFor(m_pendingTopic)) {
        ContextPopup(*id, false);
        return;
    }
    // A link carries only a name; 0 stands for the id it does not have.
    NoHelp(0, m_pendingTopic);
}

void HelpViewer::ShowPopup(const RunList& runs, bool hideDialog) {
    if (m_popup) {
        return;
    }
    // The help window steps aside for the pop-up and comes back once it closes: hidden for
    // good, the reader would have to ask for a page again to see it.
    QPointer<HelpDialog> stepAside = hideDialog && m_dialog && m_dialog->isVisible()
                                         ? QPointer<HelpDialog>(m_dialog)
                                         : QPointer<HelpDialog>();
    if (stepAside) {
        stepAside->hide();
    }
    m_popup = new PopupWindow(runs, m_defaults, m_workArea);
    if (stepAside) {
        connect(m_popup, &QObject::destroyed, stepAside, [this, stepAside] {
            // Not when Lumio is closing: Close lets go of the dialog first.
            if (stepAside && stepAside == m_dialog && !stepAside->isVisible()) {
                stepAside->show();
            }
        });
    }
    m_popup->ShowAt(m_popupPosition);
}

void HelpViewer::NoHelp(uint32_t id, const std::string& name) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", id);
    if (!m_topics.defaultContent) {
        Dialogs().ShowMessage(
            nullptr,
            {QStringLiteral("Sorry, no help exists for topic id ") + QString::fromLatin1(hex) +
                 QStringLiteral("\nPlease contact your supplier for further help"),
             QStringLiteral("Lumio")});
        return;
    }
    RunList runs = *m_topics.defaultContent;
    TextRun run;
    run.text = std::string(" ") + hex + ", " + name;
    runs.push_back(std::move(run));
    ShowPopup(runs, true);
}

void HelpViewer::Close() {
    if (m_popup) {
        m_popup->close();
    }
    // A box open over the help window (About, a message) runs its own event loop inside
    // the window's code, which is where this is called from then: end the box, and close
    // only once its loop has returned, so the window is not pulled from under it.
    if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        modal && m_closeAttempts < kMaxCloseAttempts) {
        ++m_closeAttempts;
        modal->reject();
        Post([this] { Close(); });
        return;
    }
    if (m_dialog) {
        m_dialog->hide();
        m_dialog->deleteLater();
        m_dialog = nullptr;
    }
    m_map.Clear();
    m_topics.Clear();
    Q_EMIT closeRequested();
}

bool HelpViewer::ShowTestDialog(const std::string& helpDirectory, const std::string& topicMapPath) {
    if (!EnsureDialog()) {
        Dialogs().ShowMessage(
            nullptr, {QStringLiteral("Could not start lumio dlg"), QStringLiteral("Lumio")});
        return false;
    }
    m_settings.helpDirectory = helpDirectory;
    m_settings.topicMapPath = topicMapPath;
    m_settings.contentsPage = "Contents.htm";
    m_settings.indexPage = "IDR_INDEX.htm";
    m_dialog->UpdateButtons();
    Post([this] { LoadTopicMap(); });
    Post([this] { LoadPopups(m_settings.helpDirectory + "Popups.htm"); });
    m_settings.pageToShow = "IDR_INDEX.htm";
    Post([this] { ShowPageToShow(); });
    return true;
}

} // namespace tamblin
