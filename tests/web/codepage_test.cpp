#include "web/codepage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>

namespace miravue {
namespace {

struct ConversionCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.name; }
    Bytes input;
    Bytes expected;
};

std::string CaseName(const testing::TestParamInfo<ConversionCase>& info) {
    return info.param.name;
}

class Utf8ToUtf16Test : public testing::TestWithParam<ConversionCase> {};

TEST_P(Utf8ToUtf16Test, GivesLittleEndianUnits) {
    EXPECT_EQ(Utf8ToUtf16(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToUtf16Test,
    testing::Values(
        ConversionCase{"Empty", {}, {}},
        ConversionCase{"Ascii", {0x61, 0x62}, {0x61, 0x00, 0x62, 0x00}},
        ConversionCase{"Chinese", {0xE4, 0xB8, 0xAD}, {0x2D, 0x4E}},
        ConversionCase{"SurrogatePair", {0xF0, 0x9F, 0x98, 0x80}, {0x3D, 0xD8, 0x00, 0xDE}},
        ConversionCase{"ZeroByteKept", {0x61, 0x00, 0x62}, {0x61, 0x00, 0x00, 0x00, 0x62, 0x00}},
        ConversionCase{"ByteOrderMarkKept", {0xEF, 0xBB, 0xBF, 0x61}, {0xFF, 0xFE, 0x61, 0x00}},
        ConversionCase{"InvalidByte", {0x61, 0xFF, 0x62}, {0x61, 0x00, 0xFD, 0xFF, 0x62, 0x00}},
        ConversionCase{"TruncatedAtEnd", {0x61, 0xE4, 0xB8}, {0x61, 0x00, 0xFD, 0xFF}},
        ConversionCase{"TruncatedBeforeAscii", {0xE4, 0xB8, 0x63}, {0xFD, 0xFF, 0x63, 0x00}},
        ConversionCase{"LoneContinuation", {0x80}, {0xFD, 0xFF}},
        // Overlong forms are malformed, byte by byte.
        ConversionCase{"Overlong", {0xC0, 0xAF}, {0xFD, 0xFF, 0xFD, 0xFF}}),
    CaseName);

// How many replacement characters an encoded surrogate gives is the converter's own choice
// (ICU gives one per byte, the system converter under Wine two); what holds for all of them is
// that it yields replacement characters only, at most one per byte.
TEST(Utf8ToUtf16, EncodedSurrogateGivesOnlyReplacementCharacters) {
    const Bytes units = Utf8ToUtf16(Bytes{0xED, 0xA0, 0x80});
    ASSERT_FALSE(units.empty());
    ASSERT_LE(units.size(), 6u);
    ASSERT_EQ(units.size() % 2, 0u);
    for (std::size_t i = 0; i < units.size(); i += 2) {
        EXPECT_EQ(units[i], 0xFD);
        EXPECT_EQ(units[i + 1], 0xFF);
    }
}

class Utf8ToGbkTest : public testing::TestWithParam<ConversionCase> {};

TEST_P(Utf8ToGbkTest, GivesCodePage936Bytes) {
    EXPECT_EQ(Utf8ToGbk(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToGbkTest,
    testing::Values(
        ConversionCase{"Empty", {}, {}},
        ConversionCase{
            "TwoChinese", {0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87}, {0xD6, 0xD0, 0xCE, 0xC4}},
        ConversionCase{"AsciiUnchanged",
                       {0x68, 0x74, 0x74, 0x70, 0x3A, 0x2F, 0x2F, 0x78, 0x3F, 0x7E},
                       {0x68, 0x74, 0x74, 0x70, 0x3A, 0x2F, 0x2F, 0x78, 0x3F, 0x7E}},
        ConversionCase{"EuroSign", {0xE2, 0x82, 0xAC}, {0x80}},
        ConversionCase{"PrecomposedEAcute", {0xC3, 0xA9}, {0xA8, 0xA6}},
        ConversionCase{"EPlusCombiningAcute", {0x65, 0xCC, 0x81}, {0xA8, 0xA6}},
        // u + diaeresis + acute: only the first mark composes with the base (into U+00FC), as
        // the system converter does; the second is left and the code page lacks it.
        ConversionCase{
            "OnlyTheFirstMarkComposes", {0x75, 0xCC, 0x88, 0xCC, 0x81}, {0xA8, 0xB9, 0x3F}},
        ConversionCase{"MarkWithoutPrecomposed", {0x78, 0xCC, 0x81}, {0x78, 0x3F}},
        ConversionCase{
            "LeftoverMarkAfterComposing", {0x65, 0xCC, 0x81, 0xCC, 0x81}, {0xA8, 0xA6, 0x3F}},
        // The code page is converted per UTF-16 unit: a surrogate pair gives two default chars.
        ConversionCase{"Emoji", {0xF0, 0x9F, 0x98, 0x80}, {0x3F, 0x3F}},
        ConversionCase{
            "EmojiBetweenText", {0x61, 0xF0, 0x9F, 0x98, 0x80, 0x62}, {0x61, 0x3F, 0x3F, 0x62}},
        ConversionCase{"ByteOrderMarkIsACharacter", {0xEF, 0xBB, 0xBF, 0x61}, {0x3F, 0x61}},
        ConversionCase{"ZeroByteKept", {0x61, 0x00, 0x62}, {0x61, 0x00, 0x62}},
        ConversionCase{"MalformedBecomesDefaultChar", {0x61, 0xFF, 0x62}, {0x61, 0x3F, 0x62}},
        ConversionCase{"TruncatedAtEnd", {0xE4, 0xB8, 0xAD, 0xE6, 0x96}, {0xD6, 0xD0, 0x3F}},
        // Best-fit, as Windows encodes unless told not to.
        ConversionCase{"SuperscriptTwoBestFit", {0xC2, 0xB2}, {0x32}},
        ConversionCase{"FullWidthSpace", {0xE3, 0x80, 0x80}, {0xA1, 0xA1}}),
    CaseName);

TEST(Utf8ToGbk, EveryLoneNonAsciiByteBecomesOneDefaultChar) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        EXPECT_EQ(Utf8ToGbk(Bytes{static_cast<std::uint8_t>(b)}), Bytes{0x3F}) << "byte " << b;
    }
}

TEST(Utf8ToGbk, EveryAsciiByteIsKept) {
    for (int b = 0x00; b < 0x80; ++b) {
        const Bytes one{static_cast<std::uint8_t>(b)};
        EXPECT_EQ(Utf8ToGbk(one), one) << "byte " << b;
    }
}

// Random bytes, mostly malformed UTF-8: every input gives a bounded, repeatable result.
TEST(Utf8ToGbk, RandomBytesGiveBoundedRepeatableResults) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> length(0, 64);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        Bytes input(static_cast<size_t>(length(random)));
        for (auto& b : input) {
            b = static_cast<std::uint8_t>(byte(random));
        }
        const Bytes wide = Utf8ToUtf16(input);
        EXPECT_EQ(wide.size() % 2, 0u);
        EXPECT_LE(wide.size(), 2 * input.size());
        const Bytes gbk = Utf8ToGbk(input);
        // A character of one to four UTF-8 bytes gives at most two GBK bytes.
        EXPECT_LE(gbk.size(), 2 * input.size());
        EXPECT_EQ(gbk.empty(), input.empty());
        EXPECT_EQ(Utf8ToGbk(input), gbk);
    }
}

}  // namespace
}  // namespace miravue
