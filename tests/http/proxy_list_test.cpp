#include "platform/gtk/proxy_list.h"

#include <gtest/gtest.h>

namespace miravue::platform {
namespace {

struct ProxyCase {
    const char* list;
    const char* scheme;
    const char* proxy;
};

class ProxyForSchemeTest : public ::testing::TestWithParam<ProxyCase> {};

TEST_P(ProxyForSchemeTest, PicksTheEntryForTheScheme) {
    EXPECT_EQ(ProxyForScheme(GetParam().list, GetParam().scheme), GetParam().proxy);
}

INSTANTIATE_TEST_SUITE_P(WinInetLists, ProxyForSchemeTest,
                         ::testing::Values(ProxyCase{"http=p:8080", "http", "p:8080"},
                                           ProxyCase{"http=p:8080", "https", ""},
                                           ProxyCase{"http=", "http", ""},
                                           ProxyCase{"", "http", ""},
                                           ProxyCase{"HTTP=p:1", "http", "p:1"},
                                           ProxyCase{"https=s:443 http=p:80", "http", "p:80"},
                                           ProxyCase{"https=s:443;http=p:80", "https", "s:443"},
                                           ProxyCase{"any:3128", "https", "any:3128"},
                                           ProxyCase{"any:3128 http=p:80", "http", "p:80"},
                                           ProxyCase{"ftp=f:21", "http", ""}));

TEST(CurlNoProxyList, SeparatorsBecomeCommasAndLocalIsLeftOut) {
    EXPECT_EQ(CurlNoProxyList(""), "");
    EXPECT_EQ(CurlNoProxyList("a.lan;b.lan <local>  c"), "a.lan,b.lan,c");
}

}  // namespace
}  // namespace miravue::platform
