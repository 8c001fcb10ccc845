#include "web/header_text.h"

#include <gtest/gtest.h>

namespace miravue {
namespace {

// "#引号" in code page 936: a marker's way of writing a double quote.
constexpr const char* kQuote = "#\xD2\xFD\xBA\xC5";

struct BetweenCase {
    std::string text;
    std::string start;
    std::string end;
    Pos startPosition;
    bool caseSensitive;
    std::string expected;
};

class TextBetweenTest : public ::testing::TestWithParam<BetweenCase> {};

TEST_P(TextBetweenTest, CutsBetweenTheMarkers) {
    const BetweenCase& c = GetParam();
    EXPECT_EQ(TextBetween(c.text, c.start, c.end, c.startPosition, c.caseSensitive), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextBetweenTest,
    ::testing::Values(
        BetweenCase{"say \"word\" now", kQuote, kQuote, 0, false, "word"},
        BetweenCase{"abc", "x", "c", 0, false, ""}, BetweenCase{"abc", "a", "x", 0, false, ""},
        BetweenCase{"HTTP/1.1 301 Moved Permanently", "http/1.1 ", " moved", 0, false, "301"},
        BetweenCase{"HTTP/1.1 301 Moved Permanently", "http/1.1 ", " moved", 0, true, ""},
        BetweenCase{"k=1;k=2;", "k=", ";", 0, false, "1"},
        BetweenCase{"k=1;k=2;", "k=", ";", 2, false, "2"},
        BetweenCase{"k=1;k=2;", "k=", ";", -5, false, "1"},
        BetweenCase{"a[]b", "[", "]", 0, false, ""},
        // The end marker is searched only after the start marker.
        BetweenCase{"]a[b]", "[", "]", 0, false, "b"}));

TEST(HeaderValue, TextAfterTheFirstColonTrimmed) {
    EXPECT_EQ(HeaderValue("Location:  http://new/n  "), "http://new/n");
    EXPECT_EQ(HeaderValue("User-Agent: X"), "X");
    EXPECT_EQ(HeaderValue("a: b: c"), "b: c");
    EXPECT_EQ(HeaderValue("no colon"), "");
    EXPECT_EQ(HeaderValue("x:"), "");
    // Tabs are not spaces: they stay.
    EXPECT_EQ(HeaderValue("x:\tv"), "\tv");
}

}  // namespace
}  // namespace miravue
