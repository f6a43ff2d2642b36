#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace scantest {

// What the test server does with one request.
struct Response {
    enum class Kind {
        Normal,      // status, headers, body, keep-alive
        NeverAnswer, // reads the request and says nothing
        Stall,       // sends the headers and `body`, then nothing more
        Endless,     // sends the headers and `body`, then `chunk` until the client goes
    };
    Kind kind = Kind::Normal;
    int status = 200;
    std::vector<std::string> headers; // "Name: value"
    std::string body;
    std::string chunk;
    int delayMs = 0;
    // A HEAD request gets 405, as from servers that only know GET.
    bool refuseHead = false;
    // A Normal answer as a simple HTTP/1.0 server sends it: that version, "Connection:
    // close", and the connection closed after it.
    bool http10 = false;
};

// An HTTP/1.1 server on 127.0.0.1 and a free port, for tests. Every wait in it is bounded
// and it stops within about 50 ms of its destruction, whatever the client does.
class LoopbackServer {
public:
    using Handler = std::function<Response(const std::string& path)>;

    explicit LoopbackServer(Handler handler);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // "http://127.0.0.1:PORT" followed by path.
    std::string Url(const std::string& path) const;
    int Requests(const std::string& path) const;
    int TotalRequests() const;
    int HeadRequests() const { return m_headRequests.load(); }
    int Connections() const { return m_connections.load(); }
    long long BytesSent() const { return m_bytesSent.load(); }
    // Keep-alive that ends mid-way: after this many answers (0: no limit) a connection is
    // closed without a word, as servers that cap their requests per connection do.
    void SetAnswersPerConnection(int count) { m_answersPerConnection = count; }

private:
    void AcceptLoop();
    void Serve(int fd);
    bool SendAll(int fd, const std::string& bytes);
    bool Sleep(int ms);

    Handler m_handler;
    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::atomic<int> m_headRequests{0};
    std::atomic<long long> m_bytesSent{0};
    std::atomic<int> m_answersPerConnection{0};
    mutable std::mutex m_mutex;
    std::map<std::string, int> m_requests;
    std::vector<std::thread> m_threads;
    std::thread m_acceptor;
};

} // namespace scantest
