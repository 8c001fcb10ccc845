// The WinINet backend against a one-shot server on 127.0.0.1: what goes on the wire, what
// comes back, and the header query's contract when the buffer is too small.

#include <winsock2.h>
// After winsock2.h, which must come first.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>

#include "platform/internet.h"

namespace {

namespace platform = miravue::platform;

// Accepts one connection, keeps what the client sent up to the end of its header block, and
// answers with `response`.
class OneShotServer {
  public:
    explicit OneShotServer(std::string response) : response_(std::move(response)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int length = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        listen(listener_, 1);
        thread_ = std::thread([this] { Serve(); });
    }
    OneShotServer(const OneShotServer&) = delete;
    OneShotServer& operator=(const OneShotServer&) = delete;
    ~OneShotServer() {
        closesocket(listener_);
        if (thread_.joinable())
            thread_.join();
        WSACleanup();
    }

    std::uint16_t port() const { return port_; }
    // What the client sent; complete once the client has read the whole answer.
    const std::string& request() const { return request_; }

  private:
    void Serve() {
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            return;
        std::array<char, 4096> buffer{};
        while (request_.find("\r\n\r\n") == std::string::npos) {
            const int got = recv(client, buffer.data(), static_cast<int>(buffer.size()), 0);
            if (got <= 0)
                break;
            request_.append(buffer.data(), static_cast<std::size_t>(got));
        }
        send(client, response_.data(), static_cast<int>(response_.size()), 0);
        shutdown(client, SD_BOTH);
        closesocket(client);
    }

    std::string response_;
    SOCKET listener_ = INVALID_SOCKET;
    std::uint16_t port_ = 0;
    std::string request_;
    std::thread thread_;
};

struct Handles {
    platform::InternetHandle internet = nullptr;
    platform::InternetHandle connection = nullptr;
    platform::InternetHandle request = nullptr;
    ~Handles() {
        if (request)
            platform::CloseInternetHandle(request);
        if (connection)
            platform::CloseInternetHandle(connection);
        if (internet)
            platform::CloseInternetHandle(internet);
    }
};

std::string ReadBody(platform::InternetHandle request) {
    std::string body;
    std::array<char, 1024> block{};
    std::uint32_t got = 0;
    while (platform::ReadInternetData(request, block.data(), block.size(), &got) && got > 0) {
        body.append(block.data(), got);
    }
    return body;
}

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; NOVUS)";

TEST(WinInet, GetSendsTheGivenLinesAndReadsBodyAndHeaders) {
    OneShotServer server(
        "HTTP/1.1 200 OK\r\nContent-Length: 24\r\nX-Test: yes\r\nConnection: close\r\n\r\n"
        "http://127.0.0.1/play?u=");
    Handles h;
    h.internet = platform::OpenInternet(kAgent, platform::kInternetOpenTypeDirect, std::nullopt,
                                        std::nullopt, 0);
    ASSERT_NE(h.internet, nullptr);
    h.connection = platform::ConnectInternet(h.internet, "127.0.0.1", server.port(), std::nullopt,
                                             std::nullopt, platform::kInternetServiceHttp, 0, 0);
    ASSERT_NE(h.connection, nullptr);
    h.request =
        platform::OpenHttpRequest(h.connection, "GET", "/key", "HTTP/1.1", std::nullopt, nullptr,
                                  platform::kInternetFlagReload | platform::kInternetFlagNeedFile |
                                      platform::kInternetFlagIgnoreRedirectToHttps,
                                  0);
    ASSERT_NE(h.request, nullptr);
    const std::string headers =
        "Referer: http://127.0.0.1/key\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
        "Content-Type: application/x-www-form-urlencoded";
    ASSERT_TRUE(platform::SendHttpRequest(h.request, headers, {}));
    EXPECT_EQ(ReadBody(h.request), "http://127.0.0.1/play?u=");

    std::array<char, 5000> raw{};
    std::uint32_t length = raw.size();
    ASSERT_TRUE(platform::QueryHttpInfo(h.request, platform::kHttpQueryRawHeadersCrlf, raw.data(),
                                        &length, nullptr));
    const std::string rawHeaders(raw.data(), length);
    EXPECT_EQ(rawHeaders.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << rawHeaders;
    EXPECT_NE(rawHeaders.find("X-Test: yes\r\n"), std::string::npos);

    // Too small: false, the room needed, and the buffer as it was.
    std::array<char, 8> small{};
    small.fill('#');
    std::uint32_t smallLength = small.size();
    EXPECT_FALSE(platform::QueryHttpInfo(h.request, platform::kHttpQueryRawHeadersCrlf,
                                         small.data(), &smallLength, nullptr));
    EXPECT_GT(smallLength, small.size());
    EXPECT_EQ(std::string(small.data(), small.size()), "########");

    const std::string& sent = server.request();
    EXPECT_EQ(sent.rfind("GET /key HTTP/1.1\r\n", 0), 0u) << sent;
    EXPECT_NE(sent.find(std::string("User-Agent: ") + kAgent + "\r\n"), std::string::npos);
    EXPECT_NE(sent.find("Referer: http://127.0.0.1/key\r\n"), std::string::npos);
    EXPECT_NE(sent.find("Accept-Language: zh-cn\r\n"), std::string::npos);
    EXPECT_NE(sent.find("Content-Type: application/x-www-form-urlencoded\r\n"), std::string::npos);
}

TEST(WinInet, PostSendsTheBody) {
    OneShotServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok");
    Handles h;
    h.internet = platform::OpenInternet(kAgent, platform::kInternetOpenTypeDirect, std::nullopt,
                                        std::nullopt, 0);
    h.connection = platform::ConnectInternet(h.internet, "127.0.0.1", server.port(), std::nullopt,
                                             std::nullopt, platform::kInternetServiceHttp, 0, 0);
    h.request = platform::OpenHttpRequest(h.connection, "POST", "/p", "HTTP/1.1", std::nullopt,
                                          nullptr, platform::kInternetFlagReload, 0);
    ASSERT_NE(h.request, nullptr);
    const std::uint8_t body[] = {'a', '=', '1'};
    ASSERT_TRUE(platform::SendHttpRequest(h.request, "", body));
    EXPECT_EQ(ReadBody(h.request), "ok");
    EXPECT_EQ(server.request().rfind("POST /p HTTP/1.1\r\n", 0), 0u);
    EXPECT_NE(server.request().find("Content-Length: 3\r\n"), std::string::npos);
}

TEST(WinInet, NothingListeningFailsTheSendAndReadsNothing) {
    // Bind a port and close it again, so that nothing listens there.
    std::uint16_t port = 0;
    {
        OneShotServer closed("");
        port = closed.port();
    }
    Handles h;
    h.internet = platform::OpenInternet(kAgent, platform::kInternetOpenTypeDirect, std::nullopt,
                                        std::nullopt, 0);
    h.connection = platform::ConnectInternet(h.internet, "127.0.0.1", port, std::nullopt,
                                             std::nullopt, platform::kInternetServiceHttp, 0, 0);
    h.request = platform::OpenHttpRequest(h.connection, "GET", "/key", "HTTP/1.1", std::nullopt,
                                          nullptr, platform::kInternetFlagReload, 0);
    ASSERT_NE(h.request, nullptr);
    EXPECT_FALSE(platform::SendHttpRequest(h.request, "", {}));
    EXPECT_EQ(ReadBody(h.request), "");
}

TEST(WinInet, ClosingNoHandleFails) {
    EXPECT_FALSE(platform::CloseInternetHandle(nullptr));
}

}  // namespace
