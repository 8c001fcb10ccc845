// The request routine through the fake internet layer: every call it makes, and what it
// does with the answers.

#include "web/http_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/internet.h"
#include "tests/fakes/fake_internet.h"

namespace miravue {
namespace {

using fake::Internet;
using fake::MakeResponse;
using ::testing::ElementsAre;
namespace net = platform;

const std::string kDefaultBlock =
    "Referer: http://srv/k\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
    "Content-Type: application/x-www-form-urlencoded";

Bytes AsBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

class HttpRequestTest : public ::testing::Test {
  protected:
    void SetUp() override { Internet().Reset(); }
    void TearDown() override {
        // Every handle the routine opened is closed again, whatever happened.
        EXPECT_EQ(Internet().OpenHandles(), 0u);
    }
    void Answer(const std::string& status, const std::vector<std::string>& lines,
                const std::string& body = "") {
        Internet().responses.push_back(MakeResponse(status, lines, body));
    }
    const fake::Exchange& Exchange(std::size_t i = 0) { return Internet().exchanges.at(i); }
};

TEST_F(HttpRequestTest, PlainGetMakesTheDocumentedCalls) {
    Answer("HTTP/1.1 200 OK", {"Content-Length: 4"}, "body");
    EXPECT_EQ(HttpRequest("http://srv/k"), "body");

    ASSERT_EQ(Internet().exchanges.size(), 1u);
    const fake::Exchange& e = Exchange();
    EXPECT_EQ(e.open.agent, std::string(kDefaultUserAgent));
    EXPECT_EQ(e.open.accessType, net::kInternetOpenTypeDirect);
    EXPECT_EQ(e.open.proxyList, std::nullopt);
    EXPECT_EQ(e.open.bypassList, std::nullopt);
    EXPECT_EQ(e.open.flags, 0u);
    ASSERT_TRUE(e.connect);
    EXPECT_EQ(e.connect->server, "srv");
    EXPECT_EQ(e.connect->port, 80);
    EXPECT_EQ(e.connect->userName, std::nullopt);
    EXPECT_EQ(e.connect->password, std::nullopt);
    EXPECT_EQ(e.connect->service, net::kInternetServiceHttp);
    ASSERT_TRUE(e.request);
    EXPECT_EQ(e.request->verb, "GET");
    EXPECT_EQ(e.request->object, "/k");
    EXPECT_EQ(e.request->version, "HTTP/1.1");
    EXPECT_EQ(e.request->referrer, std::nullopt);
    EXPECT_FALSE(e.request->acceptTypesGiven);
    EXPECT_EQ(e.request->flags, 0x80004010u);
    ASSERT_TRUE(e.send);
    EXPECT_EQ(e.send->headers, kDefaultBlock);
    EXPECT_TRUE(e.send->body.empty());
    EXPECT_THAT(e.readSizes, ElementsAre(1024u, 1024u));
    ASSERT_EQ(e.queries.size(), 1u);
    EXPECT_EQ(e.queries[0].infoLevel, net::kHttpQueryRawHeadersCrlf);
    EXPECT_EQ(e.queries[0].capacity, 5000u);
    EXPECT_FALSE(e.queries[0].indexGiven);
    EXPECT_THAT(Internet().log,
                ElementsAre("open", "connect", "open-request", "send", "read", "read", "query",
                            "close-request", "close-connection", "close-internet"));
}

struct FlagCase {
    const char* url;
    bool cookies;
    bool noRedirect;
    std::uint32_t flags;
    std::uint16_t port;
};

class RequestFlagsTest : public HttpRequestTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(RequestFlagsTest, FlagsAndPortFollowTheArguments) {
    Answer("HTTP/1.1 200 OK", {});
    Text cookies;
    HttpRequest(GetParam().url, 0, "", GetParam().cookies ? &cookies : nullptr, nullptr, nullptr,
                nullptr, GetParam().noRedirect);
    ASSERT_TRUE(Exchange().request);
    EXPECT_EQ(Exchange().request->flags, GetParam().flags);
    EXPECT_EQ(Exchange().connect->port, GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RequestFlagsTest,
    ::testing::Values(FlagCase{"http://srv/k", false, false, 0x80004010u, 80},
                      FlagCase{"https://srv/k", false, false, 0x80800010u, 443},
                      FlagCase{"HTTPS://srv:8443/k", false, false, 0x80800010u, 8443},
                      FlagCase{"srv:8080/k", false, false, 0x80004010u, 8080},
                      FlagCase{"http://srv/k", true, false, 0x80084010u, 80},
                      FlagCase{"http://srv/k", false, true, 0x80204010u, 80},
                      FlagCase{"https://srv/k", true, true, 0x80A80010u, 443},
                      // Five letters decide: "httpsite" reads as https.
                      FlagCase{"httpsite/k", false, false, 0x80800010u, 443}));

struct HeaderCase {
    const char* extraHeaders;
    const char* agent;
    const char* sentBlock;
};

class HeaderCompletionTest : public HttpRequestTest,
                             public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(HeaderCompletionTest, AgentAndCompletedBlock) {
    Answer("HTTP/1.1 200 OK", {});
    Text headers = GetParam().extraHeaders;
    HttpRequest("http://srv/k", 0, "", nullptr, nullptr, &headers);
    EXPECT_EQ(Exchange().open.agent, GetParam().agent);
    EXPECT_EQ(Exchange().send->headers, GetParam().sentBlock);
    // The caller gets the block that was sent.
    EXPECT_EQ(headers, GetParam().sentBlock);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderCompletionTest,
    ::testing::Values(
        // The agent test ignores case; the Referer test does not.
        HeaderCase{"user-agent: X\r\nreferer: R", "X",
                   "user-agent: X\r\nreferer: R\r\nReferer: http://srv/k\r\nAccept: */*\r\n"
                   "Accept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded"},
        // A last line has no break after it: the value comes by way of HeaderValue.
        HeaderCase{"User-Agent: X", "X",
                   "User-Agent: X\r\nReferer: http://srv/k\r\nAccept: */*\r\n"
                   "Accept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded"},
        // An X-Referer line counts as a Referer line.
        HeaderCase{"X-Referer: a", kDefaultUserAgent.data(),
                   "X-Referer: a\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
                   "Content-Type: application/x-www-form-urlencoded"},
        HeaderCase{"Accept: text/html\r\nContent-Type: text/plain\r\nAccept-Language: en",
                   kDefaultUserAgent.data(),
                   "Accept: text/html\r\nContent-Type: text/plain\r\nAccept-Language: en"
                   "\r\nReferer: http://srv/k"},
        HeaderCase{"", kDefaultUserAgent.data(),
                   "Referer: http://srv/k\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
                   "Content-Type: application/x-www-form-urlencoded"}));

TEST_F(HttpRequestTest, MethodTwoIsAGetWithABody) {
    Answer("HTTP/1.1 200 OK", {});
    HttpRequest("http://srv/k", 2, "q=1");
    EXPECT_EQ(Exchange().request->verb, "GET");
    EXPECT_EQ(Exchange().send->body, AsBytes("q=1"));
}

TEST_F(HttpRequestTest, PostFillsPostBytesFromPostText) {
    Answer("HTTP/1.1 200 OK", {});
    Bytes postBytes;
    HttpRequest("http://srv/k", 1, "a=1", nullptr, nullptr, nullptr, nullptr, false, &postBytes);
    EXPECT_EQ(Exchange().request->verb, "POST");
    EXPECT_EQ(Exchange().send->body, AsBytes("a=1"));
    EXPECT_EQ(postBytes, AsBytes("a=1"));
}

TEST_F(HttpRequestTest, PostBytesWinOverPostTextAndMayHoldZeroBytes) {
    Answer("HTTP/1.1 200 OK", {});
    Bytes postBytes = {'x', 0, 'y'};
    HttpRequest("http://srv/k", 1, "a=1", nullptr, nullptr, nullptr, nullptr, false, &postBytes);
    EXPECT_EQ(Exchange().send->body, (Bytes{'x', 0, 'y'}));
}

TEST_F(HttpRequestTest, GetSendsNoBodyAndLeavesPostBytes) {
    Answer("HTTP/1.1 200 OK", {});
    Bytes postBytes;
    HttpRequest("http://srv/k", 0, "a=1", nullptr, nullptr, nullptr, nullptr, false, &postBytes);
    EXPECT_TRUE(Exchange().send->body.empty());
    EXPECT_TRUE(postBytes.empty());
}

TEST_F(HttpRequestTest, PostWithNothingSendsAnEmptyBody) {
    Answer("HTTP/1.1 200 OK", {});
    HttpRequest("http://srv/k", 1);
    EXPECT_EQ(Exchange().request->verb, "POST");
    ASSERT_TRUE(Exchange().send);
    EXPECT_TRUE(Exchange().send->body.empty());
}

TEST_F(HttpRequestTest, SetCookieLinesGiveNameValueItems) {
    Answer("HTTP/1.1 200 OK", {"Set-Cookie: a=1; path=/", "Set-Cookie: b=2; HttpOnly"});
    Text responseCookies = "stale";
    HttpRequest("http://srv/k", 0, "", nullptr, &responseCookies);
    EXPECT_EQ(responseCookies, "a=1; b=2");
}

TEST_F(HttpRequestTest, CookieLineWithoutSemicolonGivesAnEmptyItem) {
    Answer("HTTP/1.1 200 OK", {"Set-Cookie: a=1"});
    Text responseCookies = "stale";
    HttpRequest("http://srv/k", 0, "", nullptr, &responseCookies);
    EXPECT_EQ(responseCookies, "");
}

TEST_F(HttpRequestTest, SuppliedCookiesAreSentAndMerged) {
    Answer("HTTP/1.1 200 OK", {"Set-Cookie: b=3; path=/", "Set-Cookie: c=deleted; path=/"});
    Text cookies = "a=1; b=2";
    Text responseCookies;
    HttpRequest("http://srv/k", 0, "", &cookies, &responseCookies);
    EXPECT_EQ(Exchange().send->headers, kDefaultBlock + "\r\nCookie: a=1; b=2");
    EXPECT_EQ(cookies, "b=3; a=1");
    // The merge took the spaces out of what the response set.
    EXPECT_EQ(responseCookies, "b=3;c=deleted");
}

TEST_F(HttpRequestTest, EmptySuppliedCookiesSendNoCookieLineButSwitchTheStoreOff) {
    Answer("HTTP/1.1 200 OK", {"Set-Cookie: x=1; path=/"});
    Text cookies;
    HttpRequest("http://srv/k", 0, "", &cookies);
    EXPECT_EQ(Exchange().send->headers, kDefaultBlock);
    EXPECT_NE(Exchange().request->flags & net::kInternetFlagNoCookies, 0u);
    EXPECT_EQ(cookies, "x=1");
}

TEST_F(HttpRequestTest, LocationValueOrTheWholeHeaderBlock) {
    Answer("HTTP/1.1 200 OK", {"Location: http://a/"});
    Text location;
    HttpRequest("http://srv/k", 0, "", nullptr, nullptr, nullptr, &location);
    EXPECT_EQ(location, "http://a/");

    Answer("HTTP/1.1 200 OK", {"X: 1"});
    Text headers;
    location = "left over from before";
    HttpRequest("http://srv/k", 0, "", nullptr, nullptr, nullptr, &location, false, nullptr,
                nullptr, &headers);
    EXPECT_EQ(headers, "HTTP/1.1 200 OK\r\nX: 1\r\n\r\n");
    EXPECT_EQ(location, headers);

    // Any line holding "Location:" counts, a later one over an earlier one.
    Answer("HTTP/1.1 200 OK", {"Location: /first", "Content-Location: /second"});
    HttpRequest("http://srv/k", 0, "", nullptr, nullptr, nullptr, &location);
    EXPECT_EQ(location, "/second");
}

TEST_F(HttpRequestTest, Status301IsFollowedToLocationPlusPath) {
    Answer("HTTP/1.1 301 Moved Permanently", {"Location: http://new/n", "Set-Cookie: s=1; p"},
           "moved");
    Answer("HTTP/1.1 200 OK", {"Set-Cookie: t=2; p"}, "arrived");
    Text headers;
    Text location;
    Text responseCookies;
    EXPECT_EQ(
        HttpRequest("http://srv/k", 0, "", nullptr, &responseCookies, &headers, &location, true),
        "arrived");
    ASSERT_EQ(Internet().exchanges.size(), 2u);
    const fake::Exchange& second = Exchange(1);
    EXPECT_EQ(second.connect->server, "new");
    EXPECT_EQ(second.request->object, "/n/k");
    // The follow-up counts every argument as supplied: proxy form with an empty proxy,
    // the platform's cookies off, and the header block completed by the first call.
    EXPECT_EQ(second.open.accessType, net::kInternetOpenTypeProxy);
    EXPECT_EQ(second.open.proxyList, "http=");
    EXPECT_EQ(second.open.bypassList, "");
    EXPECT_EQ(second.request->flags, 0x80284010u);
    EXPECT_EQ(second.send->headers, kDefaultBlock);
    EXPECT_EQ(location, "HTTP/1.1 200 OK\r\nSet-Cookie: t=2; p\r\n\r\n");
    EXPECT_EQ(responseCookies, "t=2");
}

TEST_F(HttpRequestTest, FollowUpCarriesTheMergedCookiesAndTheBody) {
    Answer("HTTP/1.1 301 Moved Permanently", {"Location: http://new", "Set-Cookie: s=1; p"});
    Answer("HTTP/1.1 200 OK", {}, "ok");
    Text cookies = "a=1";
    const Text proxy = "127.0.0.1:3128";
    Bytes postBytes;
    HttpRequest("http://srv/k?x=1", 1, "b=2", &cookies, nullptr, nullptr, nullptr, true, &postBytes,
                &proxy);
    ASSERT_EQ(Internet().exchanges.size(), 2u);
    EXPECT_EQ(Exchange(1).open.proxyList, "http=127.0.0.1:3128");
    EXPECT_EQ(Exchange(1).request->object, "/k?x=1");
    EXPECT_EQ(Exchange(1).connect->server, "new");
    EXPECT_EQ(Exchange(1).request->verb, "POST");
    EXPECT_EQ(Exchange(1).send->body, AsBytes("b=2"));
    // Its own Cookie line comes after the one the first call added.
    EXPECT_EQ(Exchange(1).send->headers,
              "Referer: http://srv/k?x=1\r\nAccept: */*\r\nAccept-Language: zh-cn\r\n"
              "Content-Type: application/x-www-form-urlencoded\r\nCookie: a=1\r\n"
              "Cookie: s=1; a=1");
    EXPECT_EQ(cookies, "s=1; a=1");
}

class NotFollowedTest : public HttpRequestTest,
                        public ::testing::WithParamInterface<const char*> {};

TEST_P(NotFollowedTest, OnlyAnHttp11Status301IsFollowed) {
    Answer(GetParam(), {"Location: http://new/n"}, "here");
    Text location;
    EXPECT_EQ(HttpRequest("http://srv/k", 0, "", nullptr, nullptr, nullptr, &location, true),
              "here");
    EXPECT_EQ(Internet().exchanges.size(), 1u);
    EXPECT_EQ(location, "http://new/n");
}

INSTANTIATE_TEST_SUITE_P(StatusLines, NotFollowedTest,
                         ::testing::Values("HTTP/1.1 302 Found", "HTTP/1.0 301 Moved Permanently",
                                           "HTTP/1.1 3011 Moved Permanently",
                                           "HTTP/1.1 301 Gone Away"));

TEST_F(HttpRequestTest, EndlessMovesStopAtTheBoundWithTheLastAnswer) {
    for (int i = 0; i <= kMaxFollowUps + 1; ++i) {
        Answer("HTTP/1.1 301 Moved Permanently", {"Location: http://loop"},
               "hop " + std::to_string(i));
    }
    Text location;
    const Text body =
        HttpRequest("http://loop/k", 0, "", nullptr, nullptr, nullptr, &location, true);
    ASSERT_EQ(Internet().exchanges.size(), static_cast<std::size_t>(kMaxFollowUps) + 1);
    EXPECT_EQ(body, "hop " + std::to_string(kMaxFollowUps));
    EXPECT_EQ(location, "http://loop");
    EXPECT_EQ(Exchange(kMaxFollowUps).connect->server, "loop");
    EXPECT_EQ(Exchange(kMaxFollowUps).request->object, "/k");
}

TEST_F(HttpRequestTest, HeadersTooLargeForTheBufferAreNotSeen) {
    const std::string filler(5000, 'x');
    Answer("HTTP/1.1 301 Moved Permanently",
           {"Location: http://new/n", "Set-Cookie: a=1; p", "X-Filler: " + filler}, "body");
    Text headers;
    Text location;
    Text responseCookies = "stale";
    EXPECT_EQ(HttpRequest("http://srv/k", 0, "", nullptr, &responseCookies, nullptr, &location,
                          true, nullptr, nullptr, &headers),
              "body");
    EXPECT_EQ(Internet().exchanges.size(), 1u);
    EXPECT_EQ(headers, std::string(5000, ' '));
    EXPECT_EQ(location, std::string(5000, ' '));
    EXPECT_EQ(responseCookies, "");
}

TEST_F(HttpRequestTest, HeadersThatJustFitAreSeen) {
    fake::FakeResponse response = MakeResponse("HTTP/1.1 200 OK", {"Location: /x"}, "b");
    // 4999 bytes and the zero byte fill the 5000 exactly.
    response.headers.insert(response.headers.size() - 2,
                            "X: " + std::string(4999 - response.headers.size() - 5, 'x') + "\r\n");
    ASSERT_EQ(response.headers.size(), 4999u);
    Internet().responses.push_back(response);
    Text location;
    HttpRequest("http://srv/k", 0, "", nullptr, nullptr, nullptr, &location);
    EXPECT_EQ(location, "/x");
}

TEST_F(HttpRequestTest, FailedSendGivesTheEmptyTextAndBlankHeaders) {
    Text headers;
    Text location;
    EXPECT_EQ(HttpRequest("http://srv/k", 0, "", nullptr, nullptr, nullptr, &location, false,
                          nullptr, nullptr, &headers),
              "");
    EXPECT_EQ(headers, std::string(5000, ' '));
    EXPECT_EQ(location, std::string(5000, ' '));
}

enum class FailAt { kOpen, kConnect, kOpenRequest };

class OpenFailureTest : public HttpRequestTest, public ::testing::WithParamInterface<FailAt> {};

TEST_P(OpenFailureTest, ReturnsEmptyAndChangesNoArgument) {
    Internet().failOpen = GetParam() == FailAt::kOpen;
    Internet().failConnect = GetParam() == FailAt::kConnect;
    Internet().failOpenRequest = GetParam() == FailAt::kOpenRequest;
    Answer("HTTP/1.1 200 OK", {"Set-Cookie: z=9; p"}, "unseen");
    Text cookies = "a=1";
    Text responseCookies = "rc";
    Text extraHeaders = "X: 1";
    Text location = "loc";
    Bytes postBytes;
    Text headers = "hdr";
    EXPECT_EQ(HttpRequest("http://srv/k", 1, "p=1", &cookies, &responseCookies, &extraHeaders,
                          &location, false, &postBytes, nullptr, &headers),
              "");
    EXPECT_EQ(cookies, "a=1");
    EXPECT_EQ(responseCookies, "rc");
    EXPECT_EQ(extraHeaders, "X: 1");
    EXPECT_EQ(location, "loc");
    EXPECT_TRUE(postBytes.empty());
    EXPECT_EQ(headers, "hdr");
    const std::vector<std::string>& log = Internet().log;
    switch (GetParam()) {
        case FailAt::kOpen:
            EXPECT_THAT(log, ElementsAre("open"));
            break;
        case FailAt::kConnect:
            EXPECT_THAT(log, ElementsAre("open", "connect", "close-internet"));
            break;
        case FailAt::kOpenRequest:
            EXPECT_THAT(log, ElementsAre("open", "connect", "open-request", "close-connection",
                                         "close-internet"));
            break;
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, OpenFailureTest,
                         ::testing::Values(FailAt::kOpen, FailAt::kConnect, FailAt::kOpenRequest));

TEST_F(HttpRequestTest, PortBeyondSixteenBitsConnectsNowhere) {
    EXPECT_EQ(HttpRequest("http://srv:65616/k"), "");
    EXPECT_THAT(Internet().log, ElementsAre("open", "close-internet"));
}

TEST_F(HttpRequestTest, ProxyOpensTheInternetHandleInProxyForm) {
    Answer("HTTP/1.1 200 OK", {});
    const Text proxy = "127.0.0.1:8888";
    HttpRequest("http://srv/k", 0, "", nullptr, nullptr, nullptr, nullptr, false, nullptr, &proxy);
    EXPECT_EQ(Exchange().open.accessType, net::kInternetOpenTypeProxy);
    EXPECT_EQ(Exchange().open.proxyList, "http=127.0.0.1:8888");
    EXPECT_EQ(Exchange().open.bypassList, "");
}

TEST_F(HttpRequestTest, BodyComesInBlocksAndEndsAtItsFirstZeroByte) {
    fake::FakeResponse big = MakeResponse("HTTP/1.1 200 OK", {}, std::string(2500, 'b'));
    big.readChunk = 700;
    Internet().responses.push_back(big);
    EXPECT_EQ(HttpRequest("http://srv/k"), std::string(2500, 'b'));
    EXPECT_EQ(Exchange().readSizes.size(), 5u);

    Answer("HTTP/1.1 200 OK", {}, std::string("ab\0cd", 5));
    EXPECT_EQ(HttpRequest("http://srv/k"), "ab");
}

// "中文" in UTF-8 and in code page 936.
const std::string kUtf8Word = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kGbkWord = "\xD6\xD0\xCE\xC4";

struct CharsetCase {
    std::size_t markerPosition;  // 1-based; 0 for no marker in the body
    const char* headerLine;
    bool converted;
};

class CharsetTest : public HttpRequestTest, public ::testing::WithParamInterface<CharsetCase> {};

TEST_P(CharsetTest, Utf8BodyIsConvertedWhenDetected) {
    std::string body;
    if (GetParam().markerPosition > 0) {
        body = std::string(GetParam().markerPosition - 1, 'x') + "utf-8";
    }
    body += kUtf8Word;
    Answer("HTTP/1.1 200 OK", {GetParam().headerLine}, body);
    const Text got = HttpRequest("http://srv/k");
    const std::string word = GetParam().converted ? kGbkWord : kUtf8Word;
    EXPECT_EQ(got, body.substr(0, body.size() - kUtf8Word.size()) + word);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, CharsetTest,
    ::testing::Values(CharsetCase{1, "X: 1", true}, CharsetCase{499, "X: 1", true},
                      CharsetCase{500, "X: 1", false},
                      CharsetCase{500, "Content-Type: text/html; charset=UTF-8", true},
                      CharsetCase{0, "Content-Type: text/html; charset=Utf-8", true},
                      CharsetCase{0, "Content-Type: text/html; charset=gbk", false},
                      // The body test is case-sensitive.
                      CharsetCase{0, "X: 1", false}));

TEST_F(HttpRequestTest, BodyMarkerInUpperCaseDoesNotCount) {
    Answer("HTTP/1.1 200 OK", {}, "UTF-8" + kUtf8Word);
    EXPECT_EQ(HttpRequest("http://srv/k"), "UTF-8" + kUtf8Word);
}

TEST_F(HttpRequestTest, UrlMayLiveInAVariableTheCallRewrites) {
    Answer("HTTP/1.1 200 OK", {"Location: http://elsewhere/"});
    Text location = "http://srv/k";
    HttpRequest(location, 0, "", nullptr, nullptr, nullptr, &location);
    EXPECT_EQ(Exchange().connect->server, "srv");
    EXPECT_EQ(location, "http://elsewhere/");
}

}  // namespace
}  // namespace miravue
