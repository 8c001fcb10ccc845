#include "platform/codepage.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace miravue::platform {
namespace {

struct GbkCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const GbkCase& c, std::ostream* os) { *os << c.name; }
    std::string gbk;
    std::string utf8;
};

class GbkToUtf8Test : public testing::TestWithParam<GbkCase> {};

TEST_P(GbkToUtf8Test, DecodesWithWindowsTable) {
    EXPECT_EQ(GbkToUtf8(GetParam().gbk), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GbkToUtf8Test,
    testing::Values(GbkCase{"Empty", "", ""}, GbkCase{"Ascii", "http://x/?a=1", "http://x/?a=1"},
                    GbkCase{"TwoChinese", "\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},
                    GbkCase{"EuroSign", "\x80", "\xE2\x82\xAC"},
                    GbkCase{"EAcute", "\xA8\xA6", "\xC3\xA9"},
                    GbkCase{"FullWidthSpace", "\xA1\xA1", "\xE3\x80\x80"},
                    GbkCase{"ZeroByteKept", std::string("a\0b", 3), std::string("a\0b", 3)},
                    GbkCase{"LoneLeadAtEnd", "a\x81", "a\xEF\xBF\xBD"},
                    GbkCase{"InvalidTrailKeepsAscii", "\xA1 x", "\xEF\xBF\xBD x"}),
    [](const testing::TestParamInfo<GbkCase>& param) { return param.param.name; });

TEST(GbkToUtf8, RoundTripsWhatUtf16UnitsToGbkWrote) {
    const std::string utf8 = "\xE6\x92\xAD\xE6\x94\xBE \xE2\x82\xAC 1.mp4";  // "play € 1.mp4"
    const std::string gbk = Utf16UnitsToGbk(Utf8ToUtf16Units(utf8));
    EXPECT_EQ(gbk, "\xB2\xA5\xB7\xC5 \x80 1.mp4");
    EXPECT_EQ(GbkToUtf8(gbk), utf8);
}

TEST(Utf16UnitsToGbk, UnpairedSurrogatesBecomeDefaultChar) {
    const std::u16string units{u'a', char16_t{0xD800}, u'b', char16_t{0xDC00}};
    EXPECT_EQ(Utf16UnitsToGbk(units), "a?b?");
}

TEST(Utf16UnitsToGbk, ComposesOnlyBaseWithFollowingMark) {
    EXPECT_EQ(Utf16UnitsToGbk(u"e\u0301"), "\xA8\xA6");
    // A mark with no base before it stays a mark, which the code page lacks.
    EXPECT_EQ(Utf16UnitsToGbk(u"\u0301e"), "?e");
    // A non-spacing mark after a supplementary base: nothing composes, nothing is lost. The
    // code page is converted unit by unit, so the surrogate pair gives two default chars.
    EXPECT_EQ(Utf16UnitsToGbk(u"\U0001F600\u0301"), "???");
}

}  // namespace
}  // namespace miravue::platform
