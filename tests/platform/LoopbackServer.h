#pragma once
// A scripted HTTP server on 127.0.0.1 for fetch tests: each connection's request is read, handed
// to the test's handler, and its reply written back, optionally stalling part-way. One
// connection at a time on its own thread; it stops when destroyed or after its lifetime (kLifetime
// unless the test gives a longer one), whichever comes first, so a test that forgets it cannot
// hang. A stopped server still accepts connections into its backlog but never answers them.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer {
public:
    struct Reply {
        std::string bytes;                          // status line, headers and body as sent
        std::size_t stallAfter = std::string::npos; // send this many bytes, then hold the line
    };
    using Handler = std::function<Reply(const std::string& request)>;

    static constexpr auto kLifetime = std::chrono::seconds(60);
    static constexpr int kPollMs = 20;

    explicit LoopbackServer(Handler handler, std::chrono::milliseconds lifetime = kLifetime)
        : handler_(std::move(handler)), lifetime_(lifetime) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 8) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~LoopbackServer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (listener_ >= 0) ::close(listener_);
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    int Port() const { return port_; }
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    // Every request head received so far, in order.
    std::vector<std::string> Requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // A complete reply with a body and its length.
    static Reply Ok(const std::string& body) {
        return {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body};
    }
    // A reply that sends its head and half its body, then falls silent.
    static Reply HalfThenSilence(const std::string& body) {
        Reply reply = Ok(body);
        reply.stallAfter = reply.bytes.size() - body.size() / 2;
        return reply;
    }
    static Reply Status(int code, const std::string& reason, const std::string& extraHeaders = "") {
        const std::string body = reason;
        return {"HTTP/1.1 " + std::to_string(code) + " " + reason + "\r\n" + extraHeaders + "Content-Length: " +
                std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body};
    }

private:
    bool TimeLeft() const { return !stop_ && std::chrono::steady_clock::now() - started_ < lifetime_; }

    bool Readable(int fd) const {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, kPollMs) > 0;
    }

    void Run() {
        while (TimeLeft()) {
            if (!Readable(listener_)) continue;
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            Serve(client);
            ::close(client);
        }
    }

    void Serve(int client) {
        std::string request;
        char buffer[4096];
        while (TimeLeft() && request.find("\r\n\r\n") == std::string::npos) {
            if (!Readable(client)) continue;
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request);
        }
        const Reply reply = handler_(request);
        const std::size_t first = std::min(reply.stallAfter, reply.bytes.size());
        SendAll(client, reply.bytes.substr(0, first));
        if (first < reply.bytes.size()) {
            // Hold the connection open without sending until the client gives up or we stop.
            while (TimeLeft()) {
                if (Readable(client) && ::recv(client, buffer, sizeof buffer, 0) <= 0) return;
            }
            return;
        }
        ::shutdown(client, SHUT_WR);
        // Let the client read to the end before the socket closes.
        while (TimeLeft() && Readable(client)) {
            if (::recv(client, buffer, sizeof buffer, 0) <= 0) return;
        }
    }

    static void SendAll(int fd, std::string data) {
        std::size_t sent = 0;
        while (sent < data.size()) {
            const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
    }

    Handler handler_;
    const std::chrono::milliseconds lifetime_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};
