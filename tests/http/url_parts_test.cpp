#include "web/url_parts.h"

#include <gtest/gtest.h>

namespace miravue {
namespace {

struct UrlCase {
    const char* url;
    const char* host;
    int port;
    const char* path;
};

class UrlPartsTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(UrlPartsTest, HostPortAndPath) {
    EXPECT_EQ(UrlHost(GetParam().url), GetParam().host);
    EXPECT_EQ(UrlPort(GetParam().url), GetParam().port);
    EXPECT_EQ(UrlPath(GetParam().url), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Urls, UrlPartsTest,
    ::testing::Values(
        UrlCase{"HTTP://Sub.Host.Lan:8080/a/b", "sub.host.lan", 8080, "/a/b"},
        UrlCase{"h1", "h1", 80, "/"},
        // The host "h" is first found inside "http": the path starts at the "//".
        UrlCase{"http://h/k", "h", 80, "//h/k"}, UrlCase{"http://srv/k", "srv", 80, "/k"},
        UrlCase{"https://srv/k", "srv", 443, "/k"},
        UrlCase{"HTTPS://Srv/K?Q=1", "srv", 443, "/K?Q=1"},
        // "http://" somewhere later: the host is taken from there.
        UrlCase{"h1/?r=http://h2/", "h2", 80, "/"}, UrlCase{"srv:81", "srv", 81, "/"},
        UrlCase{"http://srv:8x/k", "srv", 8, "/k"}, UrlCase{"http://srv:/k", "srv", 0, "/k"},
        UrlCase{"http://srv: 99/k", "srv", 99, "/k"}, UrlCase{"http://a:1:2/k", "a", 2, "/k"},
        // The scheme test looks at five letters only.
        UrlCase{"httpsite/x", "httpsite", 443, "/x"}, UrlCase{"", "", 80, "/"}));

TEST(UrlPort, LongDigitRunStaysOutOfPortRangeWithoutOverflow) {
    EXPECT_GT(UrlPort("http://srv:99999999999999999999/k"), 65535);
    EXPECT_GT(UrlPort("http://srv:65536/k"), 65535);
    EXPECT_EQ(UrlPort("http://srv:65535/k"), 65535);
}

struct DomainCase {
    const char* url;
    bool domainOnly;
    bool keepPort;
    const char* host;
};

class UrlHostOptionsTest : public ::testing::TestWithParam<DomainCase> {};

TEST_P(UrlHostOptionsTest, DomainOnlyAndKeepPort) {
    EXPECT_EQ(UrlHost(GetParam().url, GetParam().domainOnly, GetParam().keepPort), GetParam().host);
}

INSTANTIATE_TEST_SUITE_P(
    Options, UrlHostOptionsTest,
    ::testing::Values(DomainCase{"https://a.b.c.d/x", true, false, "c.d"},
                      DomainCase{"localhost", true, false, "localhost"},
                      DomainCase{"http://a.b.c:8080/x", true, false, "b.c"},
                      DomainCase{"http://a.b.c:8080/x", true, true, "b.c:8080"},
                      DomainCase{"http://a.b.c:8080/x", false, true, "a.b.c:8080"},
                      DomainCase{"http://a.b.c:8080/x", false, false, "a.b.c"}));

}  // namespace
}  // namespace miravue
