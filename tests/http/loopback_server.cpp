#include "tests/http/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace miravue::test {
namespace {

// How long the serving loop waits before looking at the stop flag again.
constexpr int kPollMs = 20;

int ListenOnLoopback(std::uint16_t& port, int backlog = 16) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        throw std::runtime_error("socket");
    }
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, backlog) != 0) {
        ::close(fd);
        throw std::runtime_error("bind/listen");
    }
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

bool WaitReadable(int fd, const std::atomic<bool>& stopping) {
    while (!stopping) {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, kPollMs);
        if (r > 0) {
            return true;
        }
        if (r < 0) {
            return false;
        }
    }
    return false;
}

std::size_t ContentLength(const std::string& head) {
    std::string lowered = head;
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    const std::size_t at = lowered.find("\r\ncontent-length:");
    if (at == std::string::npos) {
        return 0;
    }
    return static_cast<std::size_t>(std::strtoul(head.c_str() + at + 17, nullptr, 10));
}

}  // namespace

LoopbackServer::LoopbackServer(Handler handler, Mode mode)
    : handler_(std::move(handler)), mode_(mode) {
    listener_ = ListenOnLoopback(port_);
    thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

std::string LoopbackServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackServer::Serve() {
    while (WaitReadable(listener_, stopping_)) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) {
            continue;
        }
        ++connections_;
        if (mode_ != Mode::kHangUp) {
            Handle(client);
        }
        ::close(client);
    }
}

void LoopbackServer::Handle(int client) {
    std::string received;
    std::size_t headEnd = std::string::npos;
    std::size_t wanted = 0;
    char buffer[4096];
    // Read the head, then as much body as Content-Length announces.
    while (headEnd == std::string::npos || received.size() < headEnd + 4 + wanted) {
        if (!WaitReadable(client, stopping_)) {
            return;
        }
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) {
            break;
        }
        received.append(buffer, static_cast<std::size_t>(n));
        if (headEnd == std::string::npos) {
            headEnd = received.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                wanted = ContentLength(received.substr(0, headEnd + 2));
            }
        }
    }
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(received);
    }
    if (mode_ == Mode::kSilent) {
        // Hold the connection open and say nothing until the test is over.
        while (WaitReadable(client, stopping_)) {
            if (::recv(client, buffer, sizeof buffer, 0) <= 0) {
                break;
            }
        }
        return;
    }
    const std::string answer = handler_(received);
    std::size_t sent = 0;
    while (sent < answer.size()) {
        const ssize_t n = ::send(client, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            break;
        }
        sent += static_cast<std::size_t>(n);
    }
    ::shutdown(client, SHUT_WR);
}

FullListener::FullListener() {
    listener_ = ListenOnLoopback(port_, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port_);
    // A queue of length 0 still holds one connection; a few more make sure it is full.
    for (int i = 0; i < 3; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers_.push_back(fd);
    }
}

FullListener::~FullListener() {
    for (const int fd : fillers_) {
        ::close(fd);
    }
    ::close(listener_);
}

std::uint16_t UnusedPort() {
    std::uint16_t port = 0;
    const int fd = ListenOnLoopback(port);
    ::close(fd);
    return port;
}

std::string RawResponse(const std::string& statusLine, const std::vector<std::string>& lines,
                        const std::string& body) {
    std::string out = statusLine + "\r\n";
    for (const std::string& line : lines) {
        out += line + "\r\n";
    }
    out += "\r\n";
    out += body;
    return out;
}

}  // namespace miravue::test
