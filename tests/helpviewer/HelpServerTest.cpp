// Lumio's end of the request socket in process, with short limits so nothing waits long.
#include "helpviewer/ui/HelpServer.h"

#include "TestFiles.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tamblin;
using namespace std::chrono_literals;

namespace {

void App() {
    static int argc = 1;
    static char name[] = "helpviewer_server_test";
    static char* argv[] = {name, nullptr};
    // Kept to the end of the process: destroying it after Qt's own statics crashes.
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
}

class Server : public ::testing::Test {
protected:
    void SetUp() override { App(); }

    void Start(std::chrono::milliseconds frameTimeout, size_t maxConnections) {
        m_server = std::make_unique<HelpServer>(
            [this](const HelpRequest& request) {
                m_codes.push_back(request.code);
                return 1;
            },
            nullptr, frameTimeout, maxConnections);
        m_path = QString::fromStdString(m_files.Path("socket"));
        ASSERT_TRUE(m_server->Listen(m_path));
    }

    std::unique_ptr<QLocalSocket> Connect() {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(m_path);
        EXPECT_TRUE(socket->waitForConnected(5000));
        return socket;
    }

    static bool Asks(QLocalSocket& socket, uint32_t code, const std::string& text) {
        std::string frame = EncodeRequest(code, text);
        socket.write(frame.data(), static_cast<qint64>(frame.size()));
        return QTest::qWaitFor([&] { return socket.bytesAvailable() >= 4; }, 5000) &&
               socket.read(4).size() == 4;
    }

    static bool Dropped(QLocalSocket& socket) {
        return QTest::qWaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; },
                               10000);
    }

    TestFiles m_files;
    QString m_path;
    std::vector<uint32_t> m_codes;
    std::unique_ptr<HelpServer> m_server;
};

} // namespace

TEST_F(Server, AHalfSentFrameLosesItsConnectionButAnIdleOneStays) {
    Start(100ms, 8);
    auto idle = Connect();
    ASSERT_TRUE(Asks(*idle, kRequestTitle, "Tamblin"));
    auto half = Connect();
    std::string frame = EncodeRequest(kRequestShowPage, "Page.htm");
    half->write(frame.data(), 5);
    EXPECT_TRUE(Dropped(*half));
    // Many timeouts later the connection that finished its frame still answers.
    QTest::qWait(500);
    EXPECT_EQ(idle->state(), QLocalSocket::ConnectedState);
    EXPECT_TRUE(Asks(*idle, kRequestContentsPage, "Contents.htm"));
    EXPECT_EQ(m_codes, (std::vector<uint32_t>{kRequestTitle, kRequestContentsPage}));
}

TEST_F(Server, ASenderTricklingBytesIsCutOffToo) {
    Start(300ms, 8);
    auto slow = Connect();
    std::string frame = EncodeRequest(kRequestShowPage, std::string(200, 'x'));
    // One byte at a time, each well inside the timeout: the frame as a whole is not.
    for (size_t i = 0; i < frame.size() && slow->state() == QLocalSocket::ConnectedState; ++i) {
        slow->write(frame.data() + i, 1);
        slow->flush();
        QTest::qWait(20);
    }
    EXPECT_TRUE(Dropped(*slow));
    EXPECT_TRUE(m_codes.empty());
}

TEST_F(Server, ConnectionsPastTheLimitAreClosedAndTheirPlaceIsFreedOnDisconnect) {
    Start(5000ms, 2);
    auto first = Connect();
    auto second = Connect();
    ASSERT_TRUE(Asks(*first, kRequestTitle, "a"));
    ASSERT_TRUE(Asks(*second, kRequestTitle, "b"));
    auto third = Connect();
    EXPECT_TRUE(Dropped(*third));
    EXPECT_EQ(m_server->ConnectionCount(), 2u);
    first->disconnectFromServer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_server->ConnectionCount() == 1; }, 5000));
    auto fourth = Connect();
    EXPECT_TRUE(Asks(*fourth, kRequestTitle, "c"));
}

TEST_F(Server, TheSocketFileGoesWithTheServer) {
    Start(5000ms, 2);
    ASSERT_TRUE(QFile::exists(m_path));
    m_server.reset();
    EXPECT_FALSE(QFile::exists(m_path));
}
