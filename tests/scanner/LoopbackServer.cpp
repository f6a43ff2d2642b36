#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace scantest {

namespace {

constexpr int kTickMs = 50;
// A connection that sends nothing for this long is closed.
constexpr int kIdleLimitMs = 10000;

const char* Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

LoopbackServer::LoopbackServer(Handler handler) : m_handler(std::move(handler)) {
    // The scans of the tests must never go through a proxy of the environment.
    setenv("no_proxy", "*", 1);
    setenv("NO_PROXY", "*", 1);
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int yes = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listen, 64) != 0) {
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    socklen_t length = sizeof address;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
    m_stop = true;
    m_acceptor.join();
    ::close(m_listen);
    for (std::thread& thread : m_threads) {
        thread.join();
    }
}

std::string LoopbackServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

int LoopbackServer::Requests(const std::string& path) const {
    std::lock_guard lock(m_mutex);
    auto it = m_requests.find(path);
    return it == m_requests.end() ? 0 : it->second;
}

int LoopbackServer::TotalRequests() const {
    std::lock_guard lock(m_mutex);
    int total = 0;
    for (const auto& entry : m_requests) {
        total += entry.second;
    }
    return total;
}

void LoopbackServer::AcceptLoop() {
    while (!m_stop) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, kTickMs) <= 0) {
            continue;
        }
        int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        ++m_connections;
        m_threads.emplace_back([this, fd] {
            Serve(fd);
            ::close(fd);
        });
    }
}

bool LoopbackServer::Sleep(int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (m_stop) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 5)));
    }
    return !m_stop;
}

bool LoopbackServer::SendAll(int fd, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        if (m_stop) {
            return false;
        }
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, kTickMs) <= 0) {
            continue;
        }
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
        m_bytesSent += n;
    }
    return true;
}

void LoopbackServer::Serve(int fd) {
    std::string pending;
    int idle = 0;
    int answers = 0;
    while (!m_stop) {
        size_t end = pending.find("\r\n\r\n");
        if (end == std::string::npos) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, kTickMs) <= 0) {
                idle += kTickMs;
                if (idle > kIdleLimitMs) {
                    return;
                }
                continue;
            }
            char buffer[4096];
            ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                return;
            }
            idle = 0;
            pending.append(buffer, static_cast<size_t>(n));
            continue;
        }
        std::string request = pending.substr(0, end);
        pending.erase(0, end + 4);
        size_t first = request.find(' ');
        size_t second = request.find(' ', first + 1);
        std::string path = request.substr(first + 1, second - first - 1);
        {
            std::lock_guard lock(m_mutex);
            ++m_requests[path];
        }
        Response response = m_handler(path);
        bool isHead = request.compare(0, 5, "HEAD ") == 0;
        if (isHead) {
            ++m_headRequests;
            if (response.refuseHead) {
                response = Response{};
                response.status = 405;
            }
        }
        if (response.delayMs > 0 && !Sleep(response.delayMs)) {
            return;
        }
        if (response.kind == Response::Kind::NeverAnswer) {
            while (Sleep(kTickMs)) {
            }
            return;
        }
        bool http10 = response.http10 && response.kind == Response::Kind::Normal;
        std::string head = (http10 ? "HTTP/1.0 " : "HTTP/1.1 ") + std::to_string(response.status) +
                           " " + Reason(response.status) + "\r\n";
        for (const std::string& header : response.headers) {
            head += header + "\r\n";
        }
        if (response.kind == Response::Kind::Normal) {
            head += http10 ? "Connection: close\r\n" : "";
            head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n\r\n";
            if (!SendAll(fd, isHead ? head : head + response.body)) {
                return;
            }
            int limit = m_answersPerConnection.load();
            if (http10 || (limit > 0 && ++answers >= limit)) {
                return;
            }
            continue;
        }
        head += "Connection: close\r\n\r\n";
        if (!SendAll(fd, head + response.body)) {
            return;
        }
        if (response.kind == Response::Kind::Stall) {
            while (Sleep(kTickMs)) {
            }
            return;
        }
        while (SendAll(fd, response.chunk)) {
        }
        return;
    }
}

} // namespace scantest
