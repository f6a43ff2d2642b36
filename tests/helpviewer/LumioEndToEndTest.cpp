// Starts the real lumio program headless and talks to it as Tamblin does.
#include "helpviewer/HelpRequest.h"
#include "helpviewer/HelpSettings.h"
#include "helpviewer/qt/HelpChannel.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <vector>

using namespace tamblin;

namespace {

// Blocking local sockets want an application object, as Tamblin has one.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "helpviewer_lumio_test";
        static char* argv[] = {name, nullptr};
        // Kept to the end of the process: destroying it after Qt's own statics crashes.
        new QCoreApplication(argc, argv);
    }
};
const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class LumioProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_socket = m_dir.filePath(QStringLiteral("lumio-test"));
    }
    void TearDown() override {
        if (m_lumio.state() != QProcess::NotRunning) {
            m_lumio.kill();
            m_lumio.waitForFinished(5000);
        }
    }

    void Start(const QString& socketPath) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kLumioSocketVariable), socketPath);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_lumio.setProcessEnvironment(environment);
        m_lumio.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_lumio.start(QStringLiteral(LUMIO_PATH), {QStringLiteral("Untitled - Tamblin")});
        ASSERT_TRUE(m_lumio.waitForStarted(10000));
    }

    // Lumio listens soon after it starts; the client retries as Tamblin does.
    bool ConnectWithRetries(HelpChannel& channel, const QString& path) {
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (channel.Connect(path, 1000)) {
                return true;
            }
            QThread::msleep(250);
        }
        return false;
    }

    QTemporaryDir m_dir;
    QString m_socket;
    QProcess m_lumio;
};

} // namespace

TEST_F(LumioProcess, AcceptsTheStartUpRequestsAndAContextRequestThenClosesOnRequest) {
    Start(m_socket);
    HelpChannel channel;
    ASSERT_TRUE(ConnectWithRetries(channel, m_socket));
    std::string help = SOURCE_HELP_DIR;
    EXPECT_NE(channel.Send(kRequestTitle, "Tamblin"), 0);
    EXPECT_NE(channel.Send(kRequestHelpDirectory, help), 0);
    EXPECT_NE(channel.Send(kRequestContentsPage, "Contents.htm"), 0);
    EXPECT_NE(channel.Send(kRequestIndexPage, "IDR_INDEX.htm"), 0);
    EXPECT_NE(channel.Send(kRequestTopicMap, SOURCE_TOPIC_MAP), 0);
    EXPECT_NE(channel.Send(kRequestPopupsPage, help + "Popups.htm"), 0);
    // An id with no page and no map entry: the default pop-up shows, and the answer is
    // still immediate.
    EXPECT_NE(channel.Send(kRequestContextPopup, FormatContextText(100, 200, 0x7777)), 0);
    EXPECT_NE(channel.Send(kRequestContextHelp, "12,34"), 0);
    // A code Lumio does not know is refused.
    EXPECT_EQ(channel.Send(42, "x"), 0);
    EXPECT_NE(channel.Send(kRequestClose, ""), 0);
    ASSERT_TRUE(m_lumio.waitForFinished(10000));
    EXPECT_EQ(m_lumio.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_lumio.exitCode(), 0);
}

TEST_F(LumioProcess, AnOversizedFrameLosesTheConnectionButNotLumio) {
    Start(m_socket);
    HelpChannel bad;
    ASSERT_TRUE(ConnectWithRetries(bad, m_socket));
    EXPECT_EQ(bad.Send(kRequestShowPage, std::string(kMaxRequestBytes + 10, 'x'), 2000), 0);
    HelpChannel good;
    ASSERT_TRUE(good.Connect(m_socket, 2000));
    EXPECT_NE(good.Send(kRequestTitle, "Tamblin"), 0);
    EXPECT_NE(good.Send(kRequestClose, ""), 0);
    EXPECT_TRUE(m_lumio.waitForFinished(10000));
}

TEST_F(LumioProcess, ASecondLumioLeavesALiveSocketAloneAndAStaleOneIsReplaced) {
    Start(m_socket);
    HelpChannel first;
    ASSERT_TRUE(ConnectWithRetries(first, m_socket));
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kLumioSocketVariable), m_socket);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(LUMIO_PATH), {QStringLiteral("x")});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_NE(second.exitCode(), 0);
    // The first still answers.
    EXPECT_NE(first.Send(kRequestTitle, "Tamblin"), 0);

    m_lumio.kill();
    m_lumio.waitForFinished(5000);
    // The killed Lumio left its socket file behind; a new one takes the place.
    Start(m_socket);
    HelpChannel again;
    ASSERT_TRUE(ConnectWithRetries(again, m_socket));
    EXPECT_NE(again.Send(kRequestClose, ""), 0);
    EXPECT_TRUE(m_lumio.waitForFinished(10000));
}

TEST_F(LumioProcess, ClosesOnItsOwnOnceTheCallerHasGone) {
    QProcess caller;
    caller.start(QStringLiteral("sleep"), {QStringLiteral("1")});
    ASSERT_TRUE(caller.waitForStarted(10000));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kLumioSocketVariable), m_socket);
    environment.insert(QString::fromLatin1(kLumioCallerVariable),
                       QString::number(caller.processId()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_lumio.setProcessEnvironment(environment);
    m_lumio.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_lumio.start(QStringLiteral(LUMIO_PATH), {QStringLiteral("Untitled - Tamblin")});
    ASSERT_TRUE(m_lumio.waitForStarted(10000));
    HelpChannel channel;
    ASSERT_TRUE(ConnectWithRetries(channel, m_socket));
    // Alive while the caller runs.
    EXPECT_NE(channel.Send(kRequestTitle, "Tamblin"), 0);
    ASSERT_TRUE(caller.waitForFinished(10000));
    // Lumio looks for its caller every ten seconds; the bound leaves room for a slow machine.
    EXPECT_TRUE(m_lumio.waitForFinished(30000));
    EXPECT_EQ(m_lumio.exitStatus(), QProcess::NormalExit);
}

TEST_F(LumioProcess, SigtermClosesLumioAndTakesItsSocketFileAlong) {
    Start(m_socket);
    HelpChannel channel;
    ASSERT_TRUE(ConnectWithRetries(channel, m_socket));
    ASSERT_TRUE(QFile::exists(m_socket));
    m_lumio.terminate();
    ASSERT_TRUE(m_lumio.waitForFinished(10000));
    EXPECT_EQ(m_lumio.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_lumio.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(m_socket));
}

TEST_F(LumioProcess, AFifoNamedAsTopicMapOrPopupsPageIsPassedOver) {
    Start(m_socket);
    HelpChannel channel;
    ASSERT_TRUE(ConnectWithRetries(channel, m_socket));
    std::string fifo = QFile::encodeName(m_dir.filePath(QStringLiteral("fifo"))).toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(channel.Send(kRequestTopicMap, fifo), 0);
    EXPECT_NE(channel.Send(kRequestPopupsPage, fifo), 0);
    // The answers come before the work; a Lumio stuck on the FIFO answers nothing after.
    EXPECT_NE(channel.Send(kRequestTitle, "Tamblin", 5000), 0);
    EXPECT_NE(channel.Send(kRequestClose, ""), 0);
    EXPECT_TRUE(m_lumio.waitForFinished(10000));
}

TEST_F(LumioProcess, HoldsThirtyTwoConnectionsAndDropsHalfSentFrames) {
    Start(m_socket);
    HelpChannel first;
    ASSERT_TRUE(ConnectWithRetries(first, m_socket));
    EXPECT_NE(first.Send(kRequestTitle, "Tamblin"), 0);
    // Thirty-one more, each stopping half-way through a frame.
    std::vector<std::unique_ptr<QLocalSocket>> held;
    std::string frame = EncodeRequest(kRequestShowPage, std::string(1000, 'x'));
    for (int i = 0; i < 31; ++i) {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(m_socket);
        ASSERT_TRUE(socket->waitForConnected(5000));
        socket->write(frame.data(), 500);
        socket->flush();
        held.push_back(std::move(socket));
    }
    QLocalSocket extra;
    extra.connectToServer(m_socket);
    ASSERT_TRUE(extra.waitForConnected(5000));
    EXPECT_TRUE(extra.state() == QLocalSocket::UnconnectedState ||
                extra.waitForDisconnected(10000));
    // Lumio waits five seconds for the rest of a frame; the bound leaves room for a slow machine.
    for (auto& socket : held) {
        EXPECT_TRUE(socket->state() == QLocalSocket::UnconnectedState ||
                    socket->waitForDisconnected(30000));
    }
    // The connection that finished its frames is still served, and there is room again.
    EXPECT_NE(first.Send(kRequestIndexPage, "IDR_INDEX.htm"), 0);
    HelpChannel again;
    ASSERT_TRUE(again.Connect(m_socket, 2000));
    EXPECT_NE(again.Send(kRequestClose, ""), 0);
    EXPECT_TRUE(m_lumio.waitForFinished(10000));
}
