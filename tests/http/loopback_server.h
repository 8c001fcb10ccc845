#pragma once
// A raw-socket HTTP server on 127.0.0.1 for tests where the exact bytes matter: it records
// every request as received and answers with bytes the test gives, then closes the
// connection. Runs on its own thread on an ephemeral port; stops when destroyed.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace miravue::test {

class LoopbackServer {
  public:
    // Answers one request (head and body as received) with raw response bytes.
    using Handler = std::function<std::string(const std::string& request)>;

    enum class Mode {
        kAnswer,  // read the request, answer, close
        kSilent,  // accept and read, never answer (until the server stops)
        kHangUp,  // accept and close at once
    };

    explicit LoopbackServer(Handler handler, Mode mode = Mode::kAnswer);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    std::uint16_t port() const { return port_; }
    std::string Url(const std::string& path) const;
    // Requests received so far, each head and body as it came in.
    std::vector<std::string> Requests() const;
    std::size_t Connections() const { return connections_; }

  private:
    void Serve();
    void Handle(int client);

    Handler handler_;
    Mode mode_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> connections_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A listener on 127.0.0.1 whose accept queue is full and never served: the kernel drops
// further connection attempts, so a client's connect hangs as towards a dead host.
class FullListener {
public:
    FullListener();
    ~FullListener();
    FullListener(const FullListener&) = delete;
    FullListener& operator=(const FullListener&) = delete;
    std::uint16_t port() const { return port_; }

private:
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::vector<int> fillers_;
};

// A port on 127.0.0.1 that nobody listens on (bound once, then released).
std::uint16_t UnusedPort();

// The raw bytes of a response: status line, header lines, empty line, body.
std::string RawResponse(const std::string& statusLine, const std::vector<std::string>& lines,
                        const std::string& body);

}  // namespace miravue::test
