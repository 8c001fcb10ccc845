// The curl backend of the internet seam against real servers on 127.0.0.1: what goes on
// the wire, and WinINet's meaning of each operation and flag.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/internet.h"
#include "tests/http/loopback_server.h"

namespace miravue {
namespace {

using test::LoopbackServer;
using test::RawResponse;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
namespace net = platform;

constexpr std::uint32_t kPlainFlags = net::kInternetFlagReload | net::kInternetFlagNeedFile |
                                      net::kInternetFlagNoCookies |
                                      net::kInternetFlagIgnoreRedirectToHttps;

struct FetchArgs {
    std::uint16_t port = 0;
    std::string object = "/";
    std::string verb = "GET";
    std::uint32_t flags = kPlainFlags;
    std::string headers;
    std::string body;
    std::optional<std::string> proxyList;
};

struct Fetched {
    bool sent = false;
    bool headersOk = false;
    std::string headers;
    std::string body;
};

// One request through the seven operations, as the request routine makes it.
Fetched Fetch(const FetchArgs& args) {
    Fetched out;
    net::InternetHandle internet =
        args.proxyList
            ? net::OpenInternet("seam-test/1", net::kInternetOpenTypeProxy, *args.proxyList, "", 0)
            : net::OpenInternet("seam-test/1", net::kInternetOpenTypeDirect, std::nullopt,
                                std::nullopt, 0);
    EXPECT_NE(internet, nullptr);
    net::InternetHandle connection =
        net::ConnectInternet(internet, "127.0.0.1", args.port, std::nullopt, std::nullopt,
                             net::kInternetServiceHttp, 0, 0);
    EXPECT_NE(connection, nullptr);
    net::InternetHandle request = net::OpenHttpRequest(
        connection, args.verb, args.object, "HTTP/1.1", std::nullopt, nullptr, args.flags, 0);
    EXPECT_NE(request, nullptr);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(args.body.data());
    out.sent = net::SendHttpRequest(request, args.headers, {bytes, args.body.size()});
    char block[1024];
    std::uint32_t count = 0;
    while (net::ReadInternetData(request, block, sizeof block, &count) && count > 0) {
        out.body.append(block, count);
    }
    std::string buffer(16000, ' ');
    std::uint32_t length = 16000;
    out.headersOk =
        net::QueryHttpInfo(request, net::kHttpQueryRawHeadersCrlf, buffer.data(), &length, nullptr);
    if (out.headersOk) {
        out.headers = buffer.substr(0, length);
    }
    EXPECT_TRUE(net::CloseInternetHandle(request));
    EXPECT_TRUE(net::CloseInternetHandle(connection));
    EXPECT_TRUE(net::CloseInternetHandle(internet));
    return out;
}

std::string Ok(const std::string& body) {
    return RawResponse("HTTP/1.1 200 OK", {"Content-Length: " + std::to_string(body.size())}, body);
}

TEST(InternetCurl, SendsTheObjectAndHeadersExactlyAsGiven) {
    LoopbackServer server([](const std::string&) { return Ok("hi"); });
    const Fetched got = Fetch({.port = server.port(),
                               .object = "//h/../k/./x?q=1",
                               .headers = "Referer: http://r/\r\nX-Empty:\r\nAccept: */*"});
    ASSERT_TRUE(got.sent);
    EXPECT_EQ(got.body, "hi");
    ASSERT_EQ(server.Requests().size(), 1u);
    const std::string request = server.Requests()[0];
    EXPECT_THAT(request, StartsWith("GET //h/../k/./x?q=1 HTTP/1.1\r\n"));
    EXPECT_THAT(request, HasSubstr("\r\nHost: 127.0.0.1:" + std::to_string(server.port())));
    EXPECT_THAT(request, HasSubstr("\r\nUser-Agent: seam-test/1\r\n"));
    EXPECT_THAT(request, HasSubstr("\r\nReferer: http://r/\r\n"));
    EXPECT_THAT(request, HasSubstr("\r\nX-Empty:"));
    EXPECT_THAT(request, Not(HasSubstr("Expect:")));
    EXPECT_THAT(request, Not(HasSubstr("Cookie:")));
}

TEST(InternetCurl, UserAgentLineInTheHeadersReplacesTheAgent) {
    LoopbackServer server([](const std::string&) { return Ok(""); });
    Fetch({.port = server.port(), .headers = "User-Agent: mine"});
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_THAT(server.Requests()[0], HasSubstr("\r\nUser-Agent: mine\r\n"));
    EXPECT_THAT(server.Requests()[0], Not(HasSubstr("seam-test")));
}

TEST(InternetCurl, AgentWithALineBreakStartsNoHeaderOfItsOwn) {
    LoopbackServer server([](const std::string&) { return Ok(""); });
    net::InternetHandle internet = net::OpenInternet(
        "agent/1\r\nX-Injected: 1", net::kInternetOpenTypeDirect, std::nullopt, std::nullopt, 0);
    net::InternetHandle connection = net::ConnectInternet(internet, "127.0.0.1", server.port(),
                                                          std::nullopt, std::nullopt, 3, 0, 0);
    net::InternetHandle request = net::OpenHttpRequest(connection, "GET", "/", "HTTP/1.1",
                                                       std::nullopt, nullptr, kPlainFlags, 0);
    EXPECT_TRUE(net::SendHttpRequest(request, "", {}));
    net::CloseInternetHandle(request);
    net::CloseInternetHandle(connection);
    net::CloseInternetHandle(internet);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_THAT(server.Requests()[0], HasSubstr("\r\nUser-Agent: agent/1\r\n"));
    EXPECT_THAT(server.Requests()[0], Not(HasSubstr("X-Injected")));
}

TEST(InternetCurl, PostSendsTheBodyAndGetCanCarryOne) {
    LoopbackServer server([](const std::string&) { return Ok(""); });
    Fetch({.port = server.port(), .object = "/p", .verb = "POST", .body = "a=1"});
    Fetch({.port = server.port(), .object = "/g", .verb = "GET", .body = "b=22"});
    Fetch({.port = server.port(), .object = "/e", .verb = "POST"});
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_THAT(requests[0], StartsWith("POST /p HTTP/1.1\r\n"));
    EXPECT_THAT(requests[0], HasSubstr("\r\nContent-Length: 3\r\n"));
    EXPECT_EQ(requests[0].substr(requests[0].size() - 7), "\r\n\r\na=1");
    EXPECT_THAT(requests[1], StartsWith("GET /g HTTP/1.1\r\n"));
    EXPECT_EQ(requests[1].substr(requests[1].size() - 8), "\r\n\r\nb=22");
    EXPECT_THAT(requests[2], HasSubstr("\r\nContent-Length: 0\r\n"));
}

TEST(InternetCurl, RawHeadersComeInCrlfFormEndedByAnEmptyLine) {
    // Bare LF line ends from the server still reach the caller as CRLF.
    LoopbackServer server([](const std::string&) {
        return std::string("HTTP/1.1 200 OK\nX-One: 1\nContent-Length: 2\n\nok");
    });
    const Fetched got = Fetch({.port = server.port()});
    ASSERT_TRUE(got.headersOk);
    EXPECT_EQ(got.headers, "HTTP/1.1 200 OK\r\nX-One: 1\r\nContent-Length: 2\r\n\r\n");
    EXPECT_EQ(got.body, "ok");
}

TEST(InternetCurl, HeaderQueryTooSmallFailsAndLeavesTheBuffer) {
    LoopbackServer server([](const std::string&) { return Ok("x"); });
    net::InternetHandle internet =
        net::OpenInternet("a", net::kInternetOpenTypeDirect, std::nullopt, std::nullopt, 0);
    net::InternetHandle connection = net::ConnectInternet(internet, "127.0.0.1", server.port(),
                                                          std::nullopt, std::nullopt, 3, 0, 0);
    net::InternetHandle request = net::OpenHttpRequest(connection, "GET", "/", "HTTP/1.1",
                                                       std::nullopt, nullptr, kPlainFlags, 0);
    ASSERT_TRUE(net::SendHttpRequest(request, "", {}));
    const std::string expected = "HTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\n";

    // Exactly one byte short: the zero byte needs room too.
    std::string buffer(expected.size(), '#');
    std::uint32_t length = static_cast<std::uint32_t>(expected.size());
    EXPECT_FALSE(net::QueryHttpInfo(request, net::kHttpQueryRawHeadersCrlf, buffer.data(), &length,
                                    nullptr));
    EXPECT_EQ(buffer, std::string(expected.size(), '#'));
    EXPECT_EQ(length, expected.size() + 1);

    std::string fits(expected.size() + 1, '#');
    length = static_cast<std::uint32_t>(fits.size());
    EXPECT_TRUE(
        net::QueryHttpInfo(request, net::kHttpQueryRawHeadersCrlf, fits.data(), &length, nullptr));
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(fits, expected + '\0');

    // Reads hand out no more than asked for.
    char block[4] = {'#', '#', '#', '#'};
    std::uint32_t count = 99;
    EXPECT_TRUE(net::ReadInternetData(request, block, 0, &count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(net::ReadInternetData(request, block, 1, &count));
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(block[0], 'x');
    EXPECT_EQ(block[1], '#');
    EXPECT_TRUE(net::ReadInternetData(request, block, 4, &count));
    EXPECT_EQ(count, 0u);

    // Closing the parents first leaves the request readable; each handle closes once.
    EXPECT_TRUE(net::CloseInternetHandle(internet));
    EXPECT_TRUE(net::CloseInternetHandle(connection));
    EXPECT_TRUE(net::ReadInternetData(request, block, 4, &count));
    EXPECT_TRUE(net::CloseInternetHandle(request));
    EXPECT_FALSE(net::CloseInternetHandle(request));
    EXPECT_FALSE(net::CloseInternetHandle(nullptr));
    EXPECT_FALSE(net::ReadInternetData(request, block, 4, &count));
}

TEST(InternetCurl, FollowsRedirectsUnlessToldNotToAndShowsOnlyTheFinalResponse) {
    LoopbackServer server([](const std::string& request) {
        if (request.starts_with("GET /start ")) {
            return RawResponse("HTTP/1.1 302 Found",
                               {"Location: /end", "Set-Cookie: r=1", "Content-Length: 3"}, "old");
        }
        return Ok("final");
    });
    const Fetched followed = Fetch({.port = server.port(), .object = "/start"});
    EXPECT_EQ(followed.body, "final");
    EXPECT_THAT(followed.headers, StartsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_THAT(followed.headers, Not(HasSubstr("302")));
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_THAT(server.Requests()[1], StartsWith("GET /end HTTP/1.1\r\n"));

    const Fetched kept = Fetch({.port = server.port(),
                                .object = "/start",
                                .flags = kPlainFlags | net::kInternetFlagNoAutoRedirect});
    EXPECT_EQ(kept.body, "old");
    EXPECT_THAT(kept.headers, StartsWith("HTTP/1.1 302 Found\r\nLocation: /end\r\n"));
    EXPECT_EQ(server.Requests().size(), 3u);
}

TEST(InternetCurl, PostRedirectedBy301BecomesAGetWithoutBody) {
    LoopbackServer server([](const std::string& request) {
        if (request.starts_with("POST /form ")) {
            return RawResponse("HTTP/1.1 301 Moved Permanently",
                               {"Location: /done", "Content-Length: 0"}, "");
        }
        return Ok("done");
    });
    const Fetched got =
        Fetch({.port = server.port(), .object = "/form", .verb = "POST", .body = "a=1"});
    EXPECT_EQ(got.body, "done");
    ASSERT_EQ(server.Requests().size(), 2u);
    EXPECT_THAT(server.Requests()[1], StartsWith("GET /done HTTP/1.1\r\n"));
    EXPECT_THAT(server.Requests()[1], Not(HasSubstr("a=1")));
}

TEST(InternetCurl, EndlessRedirectsFailTheSendAtTheBound) {
    LoopbackServer server([](const std::string&) {
        return RawResponse("HTTP/1.1 302 Found", {"Location: /again", "Content-Length: 0"}, "");
    });
    const Fetched got = Fetch({.port = server.port(), .object = "/again"});
    EXPECT_FALSE(got.sent);
    EXPECT_FALSE(got.headersOk);
    EXPECT_EQ(got.body, "");
    // The first request and ten redirects followed.
    EXPECT_EQ(server.Requests().size(), 11u);
}

TEST(InternetCurl, RedirectToHttpsIsFollowedOnlyWhenTheFlagsAllowIt) {
    std::string target;
    LoopbackServer tlsSink([](const std::string&) { return std::string(); },
                           LoopbackServer::Mode::kHangUp);
    target = "https://127.0.0.1:" + std::to_string(tlsSink.port()) + "/s";
    LoopbackServer server([&target](const std::string&) {
        return RawResponse("HTTP/1.1 302 Found", {"Location: " + target, "Content-Length: 0"}, "");
    });
    const std::uint32_t strict = net::kInternetFlagReload | net::kInternetFlagNoCookies;
    const Fetched refused = Fetch({.port = server.port(), .flags = strict});
    EXPECT_FALSE(refused.sent);
    EXPECT_EQ(tlsSink.Connections(), 0u);

    // Allowed: the follow-up goes to the https port (and fails there, as nobody answers).
    const Fetched allowed = Fetch({.port = server.port(), .flags = kPlainFlags});
    EXPECT_FALSE(allowed.sent);
    EXPECT_EQ(tlsSink.Connections(), 1u);
}

TEST(InternetCurl, OneCookieStoreForTheProcessUnlessNoCookies) {
    httplib::Server server;
    server.Get("/set", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "storeTest=v1; Path=/");
        response.set_content("set", "text/plain");
    });
    server.Get("/set-quietly", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "quietTest=v2; Path=/");
        response.set_content("set", "text/plain");
    });
    server.Get("/echo", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(request.get_header_value("Cookie"), "text/plain");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&server] { server.listen_after_bind(); });
    const auto p = static_cast<std::uint16_t>(port);
    const std::uint32_t withStore = net::kInternetFlagReload | net::kInternetFlagNeedFile |
                                    net::kInternetFlagIgnoreRedirectToHttps;

    Fetch({.port = p, .object = "/set", .flags = withStore});
    Fetch({.port = p, .object = "/set-quietly", .flags = kPlainFlags});
    const Fetched shared = Fetch({.port = p, .object = "/echo", .flags = withStore});
    const Fetched without = Fetch({.port = p, .object = "/echo", .flags = kPlainFlags});
    server.stop();
    thread.join();

    EXPECT_THAT(shared.body, HasSubstr("storeTest=v1"));
    EXPECT_THAT(shared.body, Not(HasSubstr("quietTest")));
    EXPECT_EQ(without.body, "");
}

TEST(InternetCurl, HttpProxyReceivesTheAbsoluteFormForHttpOnly) {
    LoopbackServer proxy([](const std::string&) { return Ok("via proxy"); });
    LoopbackServer origin([](const std::string&) { return Ok("direct"); });
    const std::string proxyAt = "127.0.0.1:" + std::to_string(proxy.port());

    const Fetched viaProxy =
        Fetch({.port = origin.port(), .object = "//h/k", .proxyList = "http=" + proxyAt});
    EXPECT_EQ(viaProxy.body, "via proxy");
    ASSERT_EQ(proxy.Requests().size(), 1u);
    EXPECT_THAT(
        proxy.Requests()[0],
        StartsWith("GET http://127.0.0.1:" + std::to_string(origin.port()) + "//h/k HTTP/1.1\r\n"));

    // Entries for other schemes, and an "http=" naming nobody, leave http direct.
    EXPECT_EQ(Fetch({.port = origin.port(), .proxyList = "https=" + proxyAt}).body, "direct");
    EXPECT_EQ(Fetch({.port = origin.port(), .proxyList = "http="}).body, "direct");
    EXPECT_EQ(proxy.Requests().size(), 1u);
}

TEST(InternetCurl, DirectAccessIgnoresProxyVariablesOfTheEnvironment) {
    LoopbackServer proxy([](const std::string&) { return Ok("via proxy"); });
    LoopbackServer origin([](const std::string&) { return Ok("direct"); });
    const std::string proxyUrl = "http://127.0.0.1:" + std::to_string(proxy.port());
    ::setenv("http_proxy", proxyUrl.c_str(), 1);
    const Fetched got = Fetch({.port = origin.port()});
    ::unsetenv("http_proxy");
    EXPECT_EQ(got.body, "direct");
    EXPECT_EQ(proxy.Requests().size(), 0u);
}

TEST(InternetCurl, BadArgumentsGiveNullHandles) {
    net::InternetHandle internet =
        net::OpenInternet("a", net::kInternetOpenTypeDirect, std::nullopt, std::nullopt, 0);
    ASSERT_NE(internet, nullptr);
    EXPECT_EQ(net::OpenInternet("a", 7, std::nullopt, std::nullopt, 0), nullptr);
    EXPECT_EQ(net::OpenInternet("a", net::kInternetOpenTypeProxy, std::nullopt, "", 0), nullptr);
    EXPECT_EQ(net::ConnectInternet(nullptr, "h", 80, std::nullopt, std::nullopt, 3, 0, 0), nullptr);
    EXPECT_EQ(net::ConnectInternet(internet, "", 80, std::nullopt, std::nullopt, 3, 0, 0), nullptr);
    net::InternetHandle connection =
        net::ConnectInternet(internet, "h", 80, std::nullopt, std::nullopt, 3, 0, 0);
    ASSERT_NE(connection, nullptr);
    // A line break in the object would start a header line of its own.
    EXPECT_EQ(net::OpenHttpRequest(connection, "GET", "/a\r\nX: y", "HTTP/1.1", std::nullopt,
                                   nullptr, 0, 0),
              nullptr);
    EXPECT_EQ(net::OpenHttpRequest(connection, "GET", "/", "HTTP/2", std::nullopt, nullptr, 0, 0),
              nullptr);
    // The connection handle is no request.
    EXPECT_FALSE(net::SendHttpRequest(connection, "", {}));
    EXPECT_TRUE(net::CloseInternetHandle(connection));
    EXPECT_TRUE(net::CloseInternetHandle(internet));
}

TEST(InternetCurl, HostNameThatIsNoHostFailsTheSend) {
    LoopbackServer server([](const std::string&) { return Ok("x"); });
    net::InternetHandle internet =
        net::OpenInternet("a", net::kInternetOpenTypeDirect, std::nullopt, std::nullopt, 0);
    // Inside a URL this would log in as "user" at 127.0.0.1.
    net::InternetHandle connection = net::ConnectInternet(internet, "user@127.0.0.1", server.port(),
                                                          std::nullopt, std::nullopt, 3, 0, 0);
    net::InternetHandle request = net::OpenHttpRequest(connection, "GET", "/", "HTTP/1.1",
                                                       std::nullopt, nullptr, kPlainFlags, 0);
    EXPECT_FALSE(net::SendHttpRequest(request, "", {}));
    EXPECT_EQ(server.Connections(), 0u);
    net::CloseInternetHandle(request);
    net::CloseInternetHandle(connection);
    net::CloseInternetHandle(internet);
}

TEST(InternetCurl, UnreachablePortFailsQuickly) {
    const auto start = std::chrono::steady_clock::now();
    const Fetched got = Fetch({.port = test::UnusedPort()});
    EXPECT_FALSE(got.sent);
    EXPECT_FALSE(got.headersOk);
    EXPECT_EQ(got.body, "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
}

TEST(InternetCurl, ConnectThatHangsFailsAfterTheConnectTimeout) {
    test::FullListener listener;
    const auto start = std::chrono::steady_clock::now();
    const Fetched got = Fetch({.port = listener.port()});
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(got.sent);
    EXPECT_EQ(got.body, "");
    // Bounded by the connect timeout (5 s), with room for a loaded machine.
    EXPECT_LT(waited, std::chrono::seconds(12));
}

TEST(InternetCurl, SilentServerFailsAfterTheStallTimeout) {
    LoopbackServer server([](const std::string&) { return std::string(); },
                          LoopbackServer::Mode::kSilent);
    const auto start = std::chrono::steady_clock::now();
    const Fetched got = Fetch({.port = server.port(), .object = "/silent"});
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(got.sent);
    EXPECT_EQ(got.body, "");
    EXPECT_EQ(server.Requests().size(), 1u);
    // Bounded by the stall timeout (10 s), with room for a loaded machine.
    EXPECT_LT(waited, std::chrono::seconds(20));
}

TEST(InternetCurl, ResponseCutShortKeepsWhatArrived) {
    LoopbackServer server([](const std::string&) {
        return RawResponse("HTTP/1.1 200 OK", {"Content-Length: 100"}, "partial");
    });
    const Fetched got = Fetch({.port = server.port()});
    EXPECT_TRUE(got.sent);
    EXPECT_TRUE(got.headersOk);
    EXPECT_EQ(got.body, "partial");
}

}  // namespace
}  // namespace miravue
