#pragma once

#include "helpviewer/HelpRequest.h"
#include "helpviewer/HelpSettings.h"
#include "helpviewer/PopupTopics.h"
#include "helpviewer/TopicMap.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace tamblin {

class BrowserView;
class HelpDialog;
class PopupWindow;

// Lumio's work: requests are answered at once and done later through queued calls, so
// Tamblin waits only for the copying of the text.
class HelpViewer final : public QObject {
    Q_OBJECT
public:
    using BrowserFactory = std::function<BrowserView*(QWidget* parent)>;

    HelpViewer(QWidget* owner, BrowserFactory browserFactory, QRect workArea,
               std::vector<std::string> installedFacesLower);
    ~HelpViewer() override;

    // Nonzero when the request is accepted.
    int32_t HandleRequest(const HelpRequest& request);
    // Closing: the help window goes, the tables are emptied, closeRequested is emitted.
    void Close();
    // The test-mode command: configures a help directory and map, then shows the index page.
    bool ShowTestDialog(const std::string& helpDirectory, const std::string& topicMapPath);

    // Whether pop-up texts follow the desktop's font size (the default).
    void SetDesktopFontSize(bool on) { m_defaults.desktopFontSize = on; }

    const HelpSettings& Settings() const { return m_settings; }
    const TopicMap& Map() const { return m_map; }
    const PopupTopics& Topics() const { return m_topics; }
    HelpDialog* Dialog() const { return m_dialog; }
    PopupWindow* Popup() const;
    QPoint PopupPosition() const { return m_popupPosition; }

Q_SIGNALS:
    void closeRequested();

private:
    template <typename F> void Post(F work);
    void LoadTopicMap();
    void LoadPopups(const std::string& path);
    void ShowPageToShow();
    void ContextHelp(uint32_t id);
    void ContextPopup(uint32_t id, bool hideDialog);
    void ShowPendingPopup();
    bool EnsureDialog();
    bool ShowPage(const std::string& page);
    bool ShowPopupFor(uint32_t id, bool hideDialog);
    void ShowPopup(const RunList& runs, bool hideDialog);
    void NoHelp(uint32_t id, const std::string& name);
    void OnPopupLink(const std::string& topic);

    QWidget* m_owner;
    BrowserFactory m_browserFactory;
    QRect m_workArea;
    std::vector<std::string> m_faces;
    HelpSettings m_settings;
    TopicMap m_map;
    PopupTopics m_topics;
    TextDefaults m_defaults;
    bool m_frameworkMapLooked = false;
    QPoint m_popupPosition;
    std::string m_pendingTopic;
    HelpDialog* m_dialog = nullptr;
    QPointer<PopupWindow> m_popup;
    // A box that will not close must not hold the closing up for ever.
    static constexpr int kMaxCloseAttempts = 10;
    int m_closeAttempts = 0;
};

} // namespace tamblin
