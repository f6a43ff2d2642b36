#include "searchpage/ui/SearchPageCommands.h"

#include "platform/CommandHost.h"
#include "platform/DialogService.h"
#include "searchpage/WriteSearchPage.h"
#include "searchpage/ui/SearchPageWizard.h"
#include "testpage/ui/TestPageCommands.h"

#include <QSettings>

namespace tamblin {

namespace {

// The generator's dialogs and status texts, shown through the shell.
class DesktopHost final : public SearchPageHost {
public:
    DesktopHost(QWidget* parent, CommandHost& host) : m_parent(parent), m_host(host) {}

    void ShowWarning(const std::string& text) override {
        Show(text, DialogService::Icon::Warning, DialogService::Buttons::Ok);
    }
    void ShowInformation(const std::string& text) override {
        Show(text, DialogService::Icon::Information, DialogService::Buttons::Ok);
    }
    bool AskYesNo(const std::string& text) override {
        return Show(text, DialogService::Icon::Question, DialogService::Buttons::YesNo) ==
               DialogService::Answer::Yes;
    }
    void SetStatusText(const std::string& text) override { m_host.SetStatusText(Text(text)); }
    bool BrowserAvailable() const override { return m_host.BrowserAvailable(); }
    void OpenTestPage(const std::string& pagePath) override {
        TestPageCommands::OpenTestDialog(m_parent, m_host, Text(pagePath));
    }

private:
    DialogService::Answer Show(const std::string& text, DialogService::Icon icon,
                               DialogService::Buttons buttons) {
        DialogService::Message message;
        message.text = Text(text);
        message.icon = icon;
        message.buttons = buttons;
        return Dialogs().ShowMessage(m_parent, message);
    }

    QWidget* m_parent;
    CommandHost& m_host;
};

} // namespace

SearchPageSettings SearchPageCommands::DefaultSettings(CommandHost& host) {
    SearchPageSettings settings = SearchPageSettings::ForIndex(Bytes(host.IndexPath()));
    settings.homePage = Bytes(host.Settings()
                                  .value(QStringLiteral("Settings/NavoraHomePage"),
                                         QString::fromLatin1(kDefaultNavoraHomePage))
                                  .toString());
    settings.webViewer = host.WebViewerWanted();
    return settings;
}

void SearchPageCommands::WritePage(QWidget* parent, CommandHost& host,
                                   SearchPageSettings& settings) {
    DesktopHost desktop(parent, host);
    WriteSearchPage(settings, RedistDirectory(Bytes(host.ProgramDirectory())), desktop);
}

void SearchPageCommands::NewWebPage(QWidget* parent, CommandHost& host) {
    if (!SaveFirstIfModified(parent, host)) {
        return;
    }
    SearchPageSettings settings = DefaultSettings(host);
    SearchPageWizard wizard(settings, parent);
    if (wizard.exec() == QDialog::Accepted) {
        host.SetWebViewerWanted(settings.webViewer);
        WritePage(parent, host, settings);
    }
}

} // namespace tamblin
