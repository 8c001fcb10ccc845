#include "gbk_to_utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace miravue::player_service {
namespace {

struct GbkCase {
    std::string gbk;
    std::string utf8;
};

void PrintTo(const GbkCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.gbk);
}

class GbkToUtf8Test : public testing::TestWithParam<GbkCase> {};

TEST_P(GbkToUtf8Test, Converts) {
    EXPECT_EQ(GbkToUtf8(GetParam().gbk), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GbkToUtf8Test,
    testing::Values(GbkCase{"", ""}, GbkCase{"abc def", "abc def"},
                    GbkCase{"\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},  // 中文
                    GbkCase{"\x80", "\xE2\x82\xAC"},                          // euro sign
                    GbkCase{"a\xA3\xAC", "a\xEF\xBC\x8C"},                    // full-width comma
                    // A lead byte with nothing after it still shows as a replacement character.
                    GbkCase{"x\xD6", "x\xEF\xBF\xBD"}));

}  // namespace
}  // namespace miravue::player_service
