#include "app/ui/HelpClient.h"
#include "app/HelpIds.h"
#include "app/HelpPaths.h"
#include "app/ui/HelpTransport.h"
#include "app/ui/QtHelpTransport.h"
#include "helpviewer/HelpRequest.h"

#include "AppTestSupport.h"
#include "ScriptedDialogs.h"

#include <QTimer>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

// Plays Lumio: records what is sent and answers from a script.
class ScriptedTransport final : public HelpTransport {
public:
    bool StartLumio(const QString& program, const QString& argument) override {
        started = program;
        startArgument = argument;
        return startWorks;
    }
    bool Connect() override { return ++connectTries >= connectWorksOnTry; }
    int32_t Send(uint32_t code, const std::string& text) override {
        sent.push_back({code, text});
        return answer;
    }
    void Disconnect() override { ++disconnects; }
    void Wait(int milliseconds) override { waited += milliseconds; }
    bool OpenInDesktopBrowser(const QString& path) override {
        opened.push_back(path);
        return desktopBrowser;
    }

    bool startWorks = true;
    int connectWorksOnTry = 1;
    int connectTries = 0;
    int32_t answer = 1;
    int disconnects = 0;
    int waited = 0;
    bool desktopBrowser = true;
    QString started;
    QString startArgument;
    std::vector<HelpRequest> sent;
    QStringList opened;
};

class Client : public ::testing::Test {
protected:
    bool Start(const std::string& title = "Tamblin") {
        return m_client.Startup(QStringLiteral("MySite - Tamblin"), title, "Contents.htm",
                                "IDR_INDEX.htm", "Doc/Tamblin/", "Popups.htm", "Tamblin.HM");
    }

    QApplication& m_app = test::App();
    ScriptedDialogs m_dialogs;
    ScriptedTransport m_lumio;
    HelpClient m_client{m_lumio, QStringLiteral("/opt/tamblin/bin/tamblin")};
};

} // namespace

TEST_F(Client, StartUpSendsTheSixRequestsInOrder) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(m_lumio.started, QStringLiteral("/opt/tamblin/bin/lumio"));
    EXPECT_EQ(m_lumio.startArgument, QStringLiteral("MySite - Tamblin"));
    ASSERT_EQ(m_lumio.sent.size(), 6u);
    std::vector<uint32_t> codes;
    for (const HelpRequest& request : m_lumio.sent) {
        codes.push_back(request.code);
    }
    EXPECT_EQ(codes, (std::vector<uint32_t>{1, 2, 3, 9, 4, 5}));
    EXPECT_EQ(m_lumio.sent[1].text, "/opt/tamblin/bin/Doc/Tamblin/");
    EXPECT_EQ(m_lumio.sent[4].text, "/opt/tamblin/bin/Tamblin.HM");
    EXPECT_EQ(m_lumio.sent[5].text, "/opt/tamblin/bin/Doc/Tamblin/Popups.htm");
    EXPECT_TRUE(m_client.IsReady());
}

TEST_F(Client, AnEmptyTitleSendsNoTitleRequest) {
    ASSERT_TRUE(Start(""));
    ASSERT_EQ(m_lumio.sent.size(), 5u);
    EXPECT_EQ(m_lumio.sent[0].code, 2u);
}

TEST_F(Client, RetriesFiveTimesThenSaysLumioCouldNotStart) {
    m_lumio.connectWorksOnTry = 99;
    EXPECT_FALSE(Start());
    EXPECT_EQ(m_lumio.connectTries, 5);
    EXPECT_EQ(m_lumio.waited, 5000);
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text, QStringLiteral("Could not start lumio"));
    EXPECT_EQ(m_dialogs.m_messages[0].caption, QStringLiteral("Tarvo Lumio"));
    EXPECT_TRUE(m_lumio.sent.empty());
}

TEST_F(Client, ConnectsOnALaterTry) {
    m_lumio.connectWorksOnTry = 3;
    EXPECT_TRUE(Start());
    EXPECT_EQ(m_lumio.waited, 2000);
}

TEST_F(Client, RoutesContextFinderAndUnknownCommands) {
    ASSERT_TRUE(Start());
    m_lumio.sent.clear();
    m_client.Help(kHelpIdSearch, kHelpContext, true);
    m_client.Help(0x50001, kHelpContextPopup, true);
    m_client.Help(0, kHelpFinder, true);
    ASSERT_EQ(m_lumio.sent.size(), 3u);
    EXPECT_EQ(m_lumio.sent[0].code, 7u);
    EXPECT_TRUE(m_lumio.sent[0].text.ends_with(",131123")) << m_lumio.sent[0].text;
    EXPECT_EQ(m_lumio.sent[1].code, 8u);
    EXPECT_EQ(m_lumio.sent[2].code, 6u);
    EXPECT_EQ(m_lumio.sent[2].text, "Contents.htm");
    m_client.Help(5, 42, true);
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(
        m_dialogs.m_messages[0].text,
        QStringLiteral("Unrecognised help command 42 (data 5).\nPlease contact Tarvo for advice."));
}

TEST_F(Client, AZeroAnswerForgetsLumioForGood) {
    ASSERT_TRUE(Start());
    m_lumio.sent.clear();
    m_lumio.answer = 0;
    m_client.Help(0, kHelpFinder, true);
    m_lumio.answer = 1;
    m_client.Help(kHelpIdSearch, kHelpContext, true);
    EXPECT_EQ(m_lumio.sent.size(), 1u);
    ASSERT_EQ(m_dialogs.m_messages.size(), 2);
    EXPECT_EQ(m_dialogs.m_messages[0].text, QStringLiteral("Couldn't show help page Contents.htm"));
    EXPECT_TRUE(m_dialogs.m_messages[1].text.startsWith(QStringLiteral("Couldn't show help page")));
    m_client.Exit();
    EXPECT_EQ(m_lumio.sent.size(), 1u);
}

TEST_F(Client, ExitSendsTheCloseRequest) {
    ASSERT_TRUE(Start());
    m_client.Exit();
    EXPECT_EQ(m_lumio.sent.back().code, 0u);
    EXPECT_EQ(m_lumio.sent.back().text, "");
}

TEST_F(Client, WithoutTheBrowserHelpGoesToTheDesktopOrSaysThereIsNone) {
    m_client.PreparePaths("Tamblin", "Contents.htm", "Doc/Tamblin/", "Popups.htm", "Tamblin.HM");
    // Getting started becomes the contents; no such file here, so no help is available.
    m_client.Help(kHelpIdGettingStarted, kHelpContext, false);
    EXPECT_TRUE(m_lumio.sent.empty());
    EXPECT_TRUE(m_lumio.opened.isEmpty());
    ASSERT_EQ(m_dialogs.m_messages.size(), 1);
    EXPECT_EQ(m_dialogs.m_messages[0].text, QStringLiteral("No help is available for this item."));
}

TEST(HelpPathsTest, DerivedNamesNeedAnExtension) {
    auto paths = MakeHelpPaths("C:\\Prog\\Tamblin.exe", "Doc\\Tamblin\\", "", "", '\\');
    ASSERT_TRUE(paths);
    EXPECT_EQ(paths->helpDirectory, "C:\\Prog\\Doc\\Tamblin\\");
    EXPECT_EQ(paths->topicMap, "C:\\Prog\\Tamblin.HM");
    EXPECT_EQ(paths->popupsPage, "C:\\Prog\\Doc\\Tamblin\\Tamblin.htm");
    EXPECT_FALSE(MakeHelpPaths("/opt/tamblin", "Doc/", "Popups.htm", "", '/'));
    EXPECT_FALSE(MakeHelpPaths("/opt/tamblin", "Doc/", "", "Tamblin.HM", '/'));
    EXPECT_TRUE(MakeHelpPaths("/opt/tamblin", "Doc/", "Popups.htm", "Tamblin.HM", '/'));
}

TEST(HelpClientInstalledTest, AnInstalledCopyPointsLumioAtTheSharedHelpButStartsItBesideItself) {
    QApplication& app = test::App();
    (void)app;
    ScriptedDialogs dialogs;
    ScriptedTransport lumio;
    HelpClient client(lumio, QStringLiteral("/usr/bin/tamblin"),
                      QStringLiteral("/usr/share/tamblin/"));
    ASSERT_TRUE(client.Startup(QStringLiteral("Tamblin"), "Tamblin", "Contents.htm",
                               "IDR_INDEX.htm", "Doc/Tamblin/", "Popups.htm", "Tamblin.HM"));
    EXPECT_EQ(lumio.started, QStringLiteral("/usr/bin/lumio"));
    ASSERT_EQ(lumio.sent.size(), 6u);
    EXPECT_EQ(lumio.sent[1].text, "/usr/share/tamblin/Doc/Tamblin/");
    EXPECT_EQ(lumio.sent[4].text, "/usr/share/tamblin/Tamblin.HM");
    EXPECT_EQ(lumio.sent[5].text, "/usr/share/tamblin/Doc/Tamblin/Popups.htm");
}

TEST(QtHelpTransportTest, WaitingForLumioLetsTheWindowPaint) {
    QApplication& app = test::App();
    (void)app;
    QtHelpTransport transport;
    bool ran = false;
    // Painting is posted work, as this is: it must run while the client waits.
    QTimer::singleShot(0, &app, [&ran] { ran = true; });
    transport.Wait(20);
    EXPECT_TRUE(ran);
}
