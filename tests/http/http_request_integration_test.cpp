// The request routine over the real curl backend against servers on 127.0.0.1.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <thread>

#include "tests/http/loopback_server.h"
#include "web/http_request.h"

namespace miravue {
namespace {

using test::LoopbackServer;
using test::RawResponse;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

std::string Ok(const std::string& body, const std::vector<std::string>& extra = {}) {
    std::vector<std::string> lines = extra;
    lines.push_back("Content-Length: " + std::to_string(body.size()));
    return RawResponse("HTTP/1.1 200 OK", lines, body);
}

// A cpp-httplib server on an ephemeral loopback port, stopped when the test ends.
class HttplibServer {
  public:
    HttplibServer() {
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~HttplibServer() {
        server_.stop();
        thread_.join();
    }
    httplib::Server& server() { return server_; }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

TEST(HttpRequestOnLoopback, SendsTheDefaultRequest) {
    LoopbackServer server([](const std::string&) { return Ok("prefix"); });
    const std::string url = server.Url("/key");
    EXPECT_EQ(HttpRequest(url), "prefix");
    ASSERT_EQ(server.Requests().size(), 1u);
    const std::string request = server.Requests()[0];
    const std::string expectedHead =
        "GET /key HTTP/1.1\r\n"
        "Host: 127.0.0.1:" +
        std::to_string(server.port()) + "\r\nUser-Agent: " + std::string(kDefaultUserAgent) +
        "\r\nReferer: " + url +
        "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
        "Content-Type: application/x-www-form-urlencoded\r\n\r\n";
    EXPECT_EQ(request, expectedHead);
}

TEST(HttpRequestOnLoopback, PostsTheBodyWithTheCallersHeaders) {
    LoopbackServer server([](const std::string&) { return Ok("done"); });
    Text headers = "User-Agent: probe/2\r\nX-Extra: 1";
    Bytes postBytes;
    EXPECT_EQ(HttpRequest(server.Url("/form"), 1, "a=1&b=2", nullptr, nullptr, &headers, nullptr,
                          false, &postBytes),
              "done");
    ASSERT_EQ(server.Requests().size(), 1u);
    const std::string request = server.Requests()[0];
    EXPECT_THAT(request, StartsWith("POST /form HTTP/1.1\r\n"));
    EXPECT_THAT(request, HasSubstr("\r\nUser-Agent: probe/2\r\n"));
    EXPECT_THAT(request, HasSubstr("\r\nX-Extra: 1\r\n"));
    EXPECT_THAT(request, HasSubstr("\r\nContent-Length: 7\r\n"));
    EXPECT_THAT(request, Not(HasSubstr("Mozilla")));
    EXPECT_EQ(request.substr(request.size() - 11), "\r\n\r\na=1&b=2");
}

TEST(HttpRequestOnLoopback, SetCookieLinesAndCookiesMergedAcrossTwoRequests) {
    HttplibServer http;
    http.server().Get("/login", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "sid=abc; Path=/; HttpOnly");
        response.set_header("Set-Cookie", "lang=zh; Path=/");
        response.set_content("in", "text/plain");
    });
    http.server().Get("/next", [](const httplib::Request& request, httplib::Response& response) {
        response.set_header("Set-Cookie", "lang=deleted; Path=/");
        response.set_header("Set-Cookie", "step=2; Path=/");
        response.set_content("got " + request.get_header_value("Cookie"), "text/plain");
    });

    Text cookies;
    Text responseCookies;
    EXPECT_EQ(HttpRequest(http.Url("/login"), 0, "", &cookies, &responseCookies), "in");
    EXPECT_EQ(responseCookies, "sid=abc;lang=zh");
    EXPECT_EQ(cookies, "sid=abc; lang=zh");

    EXPECT_EQ(HttpRequest(http.Url("/next"), 0, "", &cookies, &responseCookies),
              "got sid=abc; lang=zh");
    EXPECT_EQ(cookies, "step=2; sid=abc");
}

TEST(HttpRequestOnLoopback, ResponseCookiesWithoutACookieArgument) {
    HttplibServer http;
    http.server().Get("/c", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "a=1; path=/");
        response.set_header("Set-Cookie", "b=2; HttpOnly");
        response.set_content("c", "text/plain");
    });
    Text responseCookies;
    HttpRequest(http.Url("/c"), 0, "", nullptr, &responseCookies);
    EXPECT_EQ(responseCookies, "a=1; b=2");
}

TEST(HttpRequestOnLoopback, Moved301IsFollowedToLocationPlusPath) {
    LoopbackServer target([](const std::string&) { return Ok("arrived"); });
    const std::string location = "http://127.0.0.1:" + std::to_string(target.port()) + "/n";
    LoopbackServer origin([&location](const std::string&) {
        return RawResponse("HTTP/1.1 301 Moved Permanently",
                           {"Location: " + location, "Content-Length: 0"}, "");
    });
    Text headers;
    EXPECT_EQ(HttpRequest(origin.Url("/k"), 0, "", nullptr, nullptr, &headers, nullptr, true),
              "arrived");
    ASSERT_EQ(target.Requests().size(), 1u);
    EXPECT_THAT(target.Requests()[0], StartsWith("GET /n/k HTTP/1.1\r\n"));
    // The follow-up keeps the first call's Referer.
    EXPECT_THAT(target.Requests()[0], HasSubstr("\r\nReferer: " + origin.Url("/k") + "\r\n"));

    // Left to the platform, the redirect goes to the location alone.
    EXPECT_EQ(HttpRequest(origin.Url("/k")), "arrived");
    ASSERT_EQ(target.Requests().size(), 2u);
    EXPECT_THAT(target.Requests()[1], StartsWith("GET /n HTTP/1.1\r\n"));
}

class NotFollowedOnLoopback : public ::testing::TestWithParam<const char*> {};

TEST_P(NotFollowedOnLoopback, RoutineLeavesOtherRedirectsAlone) {
    LoopbackServer target([](const std::string&) { return Ok("arrived"); });
    const std::string location = "http://127.0.0.1:" + std::to_string(target.port()) + "/n";
    const std::string status = GetParam();
    LoopbackServer origin([&location, &status](const std::string&) {
        return RawResponse(status, {"Location: " + location, "Content-Length: 4"}, "here");
    });
    Text where;
    EXPECT_EQ(HttpRequest(origin.Url("/k"), 0, "", nullptr, nullptr, nullptr, &where, true),
              "here");
    EXPECT_EQ(where, location);
    EXPECT_EQ(target.Requests().size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(StatusLines, NotFollowedOnLoopback,
                         ::testing::Values("HTTP/1.1 302 Found", "HTTP/1.0 301 Moved Permanently"));

TEST(HttpRequestOnLoopback, EndlessMovesEndAtTheBound) {
    std::string self;
    int served = 0;
    LoopbackServer loop([&self, &served](const std::string&) {
        const std::string body = "hop " + std::to_string(served++);
        return RawResponse("HTTP/1.1 301 Moved Permanently",
                           {"Location: " + self, "Content-Length: " + std::to_string(body.size())},
                           body);
    });
    self = "http://127.0.0.1:" + std::to_string(loop.port());

    // Followed by the routine: the answer at the bound is returned.
    EXPECT_EQ(HttpRequest(loop.Url("/k"), 0, "", nullptr, nullptr, nullptr, nullptr, true),
              "hop " + std::to_string(kMaxFollowUps));
    EXPECT_EQ(loop.Requests().size(), static_cast<std::size_t>(kMaxFollowUps) + 1);

    // Followed by the platform: it gives up at its own bound and the call returns empty.
    Text headers;
    EXPECT_EQ(HttpRequest(loop.Url("/k"), 0, "", nullptr, nullptr, nullptr, nullptr, false, nullptr,
                          nullptr, &headers),
              "");
    EXPECT_EQ(headers, std::string(5000, ' '));
    EXPECT_EQ(loop.Requests().size(), 2 * (static_cast<std::size_t>(kMaxFollowUps) + 1));
}

TEST(HttpRequestOnLoopback, HeadersOver5000BytesAreNotSeenButTheBodyIs) {
    LoopbackServer server([](const std::string&) {
        return Ok("body", {"Set-Cookie: a=1; p", "X-Big: " + std::string(6000, 'x')});
    });
    Text headers;
    Text location;
    Text responseCookies;
    EXPECT_EQ(HttpRequest(server.Url("/k"), 0, "", nullptr, &responseCookies, nullptr, &location,
                          false, nullptr, nullptr, &headers),
              "body");
    EXPECT_EQ(headers, std::string(5000, ' '));
    EXPECT_EQ(location, std::string(5000, ' '));
    EXPECT_EQ(responseCookies, "");
}

// "中文" in UTF-8 and in code page 936.
const std::string kUtf8Word = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kGbkWord = "\xD6\xD0\xCE\xC4";

struct CharsetCase {
    std::size_t markerPosition;  // 1-based; 0: none in the body
    const char* contentType;
    bool converted;
};

class CharsetOnLoopback : public ::testing::TestWithParam<CharsetCase> {};

TEST_P(CharsetOnLoopback, Utf8BodyArrivesAsGbk) {
    std::string head;
    if (GetParam().markerPosition > 0) {
        head = std::string(GetParam().markerPosition - 1, ' ') + "utf-8";
    }
    const std::string body = head + kUtf8Word;
    const std::string contentType = std::string("Content-Type: ") + GetParam().contentType;
    LoopbackServer server(
        [&body, &contentType](const std::string&) { return Ok(body, {contentType}); });
    EXPECT_EQ(HttpRequest(server.Url("/k")), head + (GetParam().converted ? kGbkWord : kUtf8Word));
}

INSTANTIATE_TEST_SUITE_P(Markers, CharsetOnLoopback,
                         ::testing::Values(CharsetCase{499, "text/plain", true},
                                           CharsetCase{500, "text/plain", false},
                                           CharsetCase{0, "text/plain; charset=UTF-8", true},
                                           CharsetCase{0, "text/plain", false}));

TEST(HttpRequestOnLoopback, BodyEndsAtItsFirstZeroByte) {
    LoopbackServer server([](const std::string&) { return Ok(std::string("before\0after", 12)); });
    EXPECT_EQ(HttpRequest(server.Url("/k")), "before");
}

TEST(HttpRequestOnLoopback, LargeBodyArrivesWhole) {
    std::string body;
    for (int i = 0; body.size() < 200000; ++i) {
        body += std::to_string(i) + ",";
    }
    LoopbackServer server([&body](const std::string&) { return Ok(body); });
    EXPECT_EQ(HttpRequest(server.Url("/big")), body);
}

TEST(HttpRequestOnLoopback, ProxyReceivesTheAbsoluteFormRequest) {
    LoopbackServer proxy([](const std::string&) { return Ok("proxied"); });
    const Text proxyAt = "127.0.0.1:" + std::to_string(proxy.port());
    // The host is never looked up: the proxy is asked for it.
    EXPECT_EQ(HttpRequest("http://h/k", 0, "", nullptr, nullptr, nullptr, nullptr, false, nullptr,
                          &proxyAt),
              "proxied");
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_THAT(proxy.Requests()[0], StartsWith("GET http://h//h/k HTTP/1.1\r\n"));
    EXPECT_THAT(proxy.Requests()[0], HasSubstr("\r\nHost: h\r\n"));
}

TEST(HttpRequestOnLoopback, UnreachablePortGivesTheEmptyText) {
    const auto start = std::chrono::steady_clock::now();
    Text headers;
    EXPECT_EQ(HttpRequest("http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/k", 0, "",
                          nullptr, nullptr, nullptr, nullptr, false, nullptr, nullptr, &headers),
              "");
    EXPECT_EQ(headers, std::string(5000, ' '));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
}

TEST(HttpRequestOnLoopback, SilentServerGivesTheEmptyTextAfterTheStallTimeout) {
    LoopbackServer server([](const std::string&) { return std::string(); },
                          LoopbackServer::Mode::kSilent);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpRequest(server.Url("/k")), "");
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
}  // namespace miravue
