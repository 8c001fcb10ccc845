// UTF-8 in, code page 936 out, through the seam's two steps. Both backends must give the same
// bytes: the Windows one is the system converter itself, the Linux one imitates it with ICU.
// Every expected value here is what the system converter produces (checked under Wine).

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace {

using miravue::platform::GbkToUtf8;
using miravue::platform::Utf16UnitsToGbk;
using miravue::platform::Utf8ToUtf16Units;

struct Utf8ToGbkCase {
    const char* name;
    std::string utf8;
    std::string gbk;
};

class Utf8ToGbkThroughUnits : public testing::TestWithParam<Utf8ToGbkCase> {};

TEST_P(Utf8ToGbkThroughUnits, GivesTheWindowsBytes) {
    const auto& c = GetParam();
    EXPECT_EQ(Utf16UnitsToGbk(Utf8ToUtf16Units(c.utf8)), c.gbk);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToGbkThroughUnits,
    testing::Values(Utf8ToGbkCase{"Empty", "", ""},
                    Utf8ToGbkCase{"Ascii", "abc def/?=1", "abc def/?=1"},
                    Utf8ToGbkCase{"TwoHanCharacters", "\xE4\xB8\xAD\xE6\x96\x87",
                                  "\xD6\xD0\xCE\xC4"},
                    // The euro sign is the one single byte above 0x7F that code page 936 has.
                    Utf8ToGbkCase{"EuroSign", "\xE2\x82\xAC", "\x80"},
                    // e + combining acute: composed first, and the composed letter is in the table.
                    Utf8ToGbkCase{"ComposedMark", "e\xCC\x81", "\xA8\xA6"},
                    Utf8ToGbkCase{"PrecomposedLetter", "\xC3\xA9", "\xA8\xA6"},
                    Utf8ToGbkCase{"FullWidthSpace", "\xE3\x80\x80", "\xA1\xA1"},
                    // A byte-order mark is an ordinary character, which the code page lacks.
                    Utf8ToGbkCase{"ByteOrderMark",
                                  "\xEF\xBB\xBF"
                                  "a",
                                  "?a"},
                    Utf8ToGbkCase{"UnmappableHangul", "\xEA\xB0\x80", "?"},
                    // Invisible characters get no special treatment either.
                    Utf8ToGbkCase{"ZeroWidthSpace",
                                  "a\xE2\x80\x8B"
                                  "b",
                                  "a?b"},
                    // Converted unit by unit: a surrogate pair gives two default chars.
                    Utf8ToGbkCase{"OutsideTheBasicPlane", "\xF0\x9F\x98\x80", "??"},
                    Utf8ToGbkCase{"ZeroByteKept", std::string("a\0b", 3), std::string("a\0b", 3)},
                    Utf8ToGbkCase{"LoneContinuationByte", "a\x80z", "a?z"},
                    Utf8ToGbkCase{"InvalidLeadByte", "a\xFFz", "a?z"},
                    Utf8ToGbkCase{"HanAndAscii",
                                  "\xE4\xB8\xAD"
                                  "1",
                                  "\xD6\xD0"
                                  "1"}),
    [](const testing::TestParamInfo<Utf8ToGbkCase>& item) { return std::string(item.param.name); });

TEST(Utf8ToUtf16Units, DecodesEveryPlane) {
    EXPECT_EQ(Utf8ToUtf16Units("A\xE4\xB8\xAD\xF0\x9F\x98\x80"), u"A\u4E2D\U0001F600");
}

TEST(Utf8ToUtf16Units, ReplacesMalformedInputInsteadOfFailing) {
    EXPECT_EQ(Utf8ToUtf16Units("a\xFFz"), u"a\uFFFDz");
    EXPECT_EQ(Utf8ToUtf16Units("\x80"), u"\uFFFD");
}

TEST(Utf8ToUtf16Units, EmptyGivesEmpty) {
    EXPECT_TRUE(Utf8ToUtf16Units("").empty());
}

TEST(Utf16UnitsToGbk, ConvertsExactlyTheGivenUnits) {
    const std::u16string units = u"\u4E2D\u6587";
    EXPECT_EQ(Utf16UnitsToGbk(std::u16string_view(units).substr(0, 1)), "\xD6\xD0");
}

// The caption is kept as UTF-8 in the source and turned into the system's code page for the
// ANSI window functions; it must survive the round trip byte for byte.
TEST(CodePageRoundTrip, CaptionSurvives) {
    const std::string caption =
        "Miravue beta- (\xE7\x83\xAD\xE9\x94\xAE\xEF\xBC\x9A"
        "F9 \xE6\x92\xAD\xE6\x94\xBE\xE5\x89\xAA\xE8\xB4\xB4\xE6\x9D\xBF\xE4\xB8\xAD\xE7\x9A\x84"
        "\xE5\x9C\xB0\xE5\x9D\x80)";
    const std::string gbk = Utf16UnitsToGbk(Utf8ToUtf16Units(caption));
    EXPECT_EQ(gbk.substr(0, 15), "Miravue beta- (");
    EXPECT_EQ(gbk.substr(15, 6), "\xC8\xC8\xBC\xFC\xA3\xBA");  // 热键：
    EXPECT_EQ(GbkToUtf8(gbk), caption);
}

}  // namespace
