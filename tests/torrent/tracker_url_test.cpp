// Tracker URLs: normalising and splitting into host, port and path.

#include <gtest/gtest.h>

#include "torrent/tracker_url.h"

namespace miravue {
namespace {

struct NormalizeCase {
    const char* name;
    const char* url;
    const char* normalized;
};

class NormalizeTest : public testing::TestWithParam<NormalizeCase> {};

TEST_P(NormalizeTest, Normalizes) {
    Text url = GetParam().url;
    NormalizeTrackerUrl(url);
    EXPECT_EQ(url, GetParam().normalized);
}

const NormalizeCase kNormalizeCases[] = {
    {"Empty", "", ""},
    {"CrLf", "\r\n", "\r\n"},
    {"Cr", "\r", "\r"},
    {"Lf", "\n", "\n"},
    {"AlreadyNormal", "http://a:1/x/", "http://a:1/x/"},
    {"AddsSlash", "http://a:1/x", "http://a:1/x/"},
    {"AddsPrefixAndSlash", "udp://hostc:82", "http://udp://hostc:82/"},
    {"PrefixAnywhereCounts", "see http://a/", "see http://a/"},
    {"UppercasePrefixIsNotHttp", "HTTP://A", "http://HTTP://A/"},
};

INSTANTIATE_TEST_SUITE_P(TrackerUrl, NormalizeTest, testing::ValuesIn(kNormalizeCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

struct SplitCase {
    const char* name;
    const char* url;
    bool ok;
    const char* host;
    std::int32_t port;
    const char* path;
};

class SplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, Splits) {
    const SplitCase& c = GetParam();
    Text host = "unchanged";
    std::int32_t port = -1;
    Text path = "unchanged";
    EXPECT_EQ(SplitTrackerUrl(c.url, host, port, path), c.ok);
    if (c.ok) {
        EXPECT_EQ(host, c.host);
        EXPECT_EQ(port, c.port);
        EXPECT_EQ(path, c.path);
    }
}

const SplitCase kSplitCases[] = {
    {"HostPortPath", "http://tracker:6969/announce", true, "tracker", 6969, "/announce"},
    {"NoPort", "http://tracker/announce", true, "tracker", 80, "/announce"},
    {"NoPortNoPath", "http://tracker", true, "tracker", 80, ""},
    {"PrefixAlone", "http://", true, "", 80, ""},
    {"PortWithoutSlash", "http://hosta:6969", false, "", 0, ""},
    {"EmptyPort", "http://udp://hostc:82/", true, "udp", 0, "//hostc:82/"},
    {"PortLeadingNumber", "http://h: +81x/p", true, "h", 81, "/p"},
    {"NegativePort", "http://h:-5/", true, "h", -5, "/"},
    {"PortSaturates", "http://h:99999999999/", true, "h", 2147483647, "/"},
    {"TextBeforePrefix", "xhttp://h:1/", true, "h", 1, "/"},
    {"NoPrefix", "udp://h:1/", false, "", 0, ""},
    {"Https", "https://h:1/", false, "", 0, ""},
};

INSTANTIATE_TEST_SUITE_P(TrackerUrl, SplitTest, testing::ValuesIn(kSplitCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

}  // namespace
}  // namespace miravue
