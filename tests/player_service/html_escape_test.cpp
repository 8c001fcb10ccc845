#include "html_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace miravue::player_service {
namespace {

struct EscapeCase {
    std::string text;
    std::string html;
};

void PrintTo(const EscapeCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text);
}

class HtmlEscapeTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(HtmlEscapeTest, Escapes) {
    EXPECT_EQ(HtmlEscape(GetParam().text), GetParam().html);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlEscapeTest,
    testing::Values(EscapeCase{"", ""}, EscapeCase{"plain text", "plain text"},
                    EscapeCase{"<script>alert(1)</script>",
                               "&lt;script&gt;alert(1)&lt;/script&gt;"},
                    EscapeCase{"a&b", "a&amp;b"},
                    EscapeCase{"\"x\" 'y'", "&quot;x&quot; &#39;y&#39;"},
                    EscapeCase{"&amp;", "&amp;amp;"}, EscapeCase{"\xE4\xB8\xAD", "\xE4\xB8\xAD"},
                    EscapeCase{"tab\tline\n", "tab\tline\n"},
                    EscapeCase{std::string("a\0b\x1b", 4), "a&#xFFFD;b&#xFFFD;"}));

}  // namespace
}  // namespace miravue::player_service
