#include "web/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace miravue {
namespace {

// Test names come from the first field of every case table.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// ---- FindText ------------------------------------------------------------------------------

struct FindCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const FindCase& c, std::ostream* os) { *os << c.name; }
    std::string text;
    std::string sought;
    Pos start;
    bool nocase;
    Pos expected;
};

class FindTextTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTextTest, FindsFirstMatchAtCharacterStart) {
    const FindCase& c = GetParam();
    EXPECT_EQ(FindText(c.text, c.sought, c.start, c.nocase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTextTest,
    testing::Values(
        FindCase{"Plain", "hello world", "world", 1, false, 7},
        FindCase{"AtFirstByte", "abc", "a", 1, false, 1},
        FindCase{"AtLastByte", "abc", "c", 1, false, 3},
        FindCase{"Missing", "abc", "d", 1, false, -1},
        FindCase{"SoughtLongerThanText", "ab", "abc", 1, false, -1},
        FindCase{"CaseSensitiveByDefault", "xa", "A", 1, false, -1},
        FindCase{"NocaseFoldsAscii", "xa", "A", 1, true, 2},
        FindCase{"NocaseFoldsBothWays", "XA", "xa", 1, true, 1},
        // B0 2E: the dot is the second byte of a double-byte character.
        FindCase{"NeverOnTrailByte", "\xB0.", ".", 1, false, -1},
        FindCase{"AfterDoubleByteChar", "\xB0.x.", ".", 1, false, 4},
        FindCase{"TrailByteThatLooksLikeLead", "\xB0\xB0\xB0", "\xB0\xB0", 1, false, 1},
        FindCase{"SecondCharOfPair", "\xD6\xD0\xCE\xC4", "\xCE\xC4", 1, false, 3},
        FindCase{"StraddlingPairsNotMatched", "\xD6\xD0\xCE\xC4", "\xD0\xCE", 1, false, -1},
        FindCase{"FullWidthLetterDoesNotFold", "\xA3\xC1", "\xA3\xE1", 1, true, -1},
        FindCase{"NocaseFoldsSecondByte",
                 "\xB0"
                 "a",
                 "\xB0"
                 "A",
                 1, true, 1},
        FindCase{"StartSkipsEarlierMatch", "abab", "ab", 2, false, 3},
        FindCase{"StartAtMatch", "abab", "ab", 3, false, 3},
        FindCase{"StartBelowOneCountsAsOne", "abc", "a", -5, false, 1},
        FindCase{"StartZeroCountsAsOne", "abc", "a", 0, false, 1},
        FindCase{"StartBeyondLength", "abc", "c", 4, false, -1},
        // A start inside a double-byte character steps from there, as the caller chose.
        FindCase{"StartOnSecondByte", "\xB0.", ".", 2, false, 2},
        FindCase{"EmptySoughtInText", "abc", "", 1, false, 1},
        FindCase{"EmptySoughtLaterStart", "abc", "", 3, false, 1},
        FindCase{"EmptySoughtStartBeyond", "abc", "", 4, false, -1},
        FindCase{"EmptySoughtInEmptyText", "", "", 1, false, -1},
        FindCase{"InEmptyText", "", "a", 1, false, -1},
        // A lone lead byte at the end is a one-byte character: found, and never read past.
        FindCase{"LoneLeadAtEndFound", "a\xB0", "\xB0", 1, false, 2},
        FindCase{"LoneLeadAtEndLongerSought", "a\xB0", "\xB0x", 1, false, -1},
        FindCase{"LoneLeadAtEndNocase", "ab\xC1", "B\xC1", 1, true, 2}),
    CaseName<FindCase>);

// ---- FindLastText --------------------------------------------------------------------------

struct FindLastCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const FindLastCase& c, std::ostream* os) { *os << c.name; }
    std::string text;
    std::string sought;
    bool nocase;
    Pos expected;
};

class FindLastTextTest : public testing::TestWithParam<FindLastCase> {};

TEST_P(FindLastTextTest, FindsLastMatchAtCharacterStart) {
    const FindLastCase& c = GetParam();
    EXPECT_EQ(FindLastText(c.text, c.sought, c.nocase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindLastTextTest,
                         testing::Values(FindLastCase{"OverlappingLastWins", "aaa", "aa", false, 2},
                                         FindLastCase{"Plain", "a/b/c", "/", false, 4},
                                         FindLastCase{"Missing", "abc", "x", false, -1},
                                         FindLastCase{"Nocase", "xAxa", "A", true, 4},
                                         FindLastCase{"CaseSensitive", "xAxa", "A", false, 2},
                                         FindLastCase{"NeverOnTrailByte", "a.\xB0.", ".", false, 2},
                                         FindLastCase{"LoneLeadAtEnd", "\xB0x\xB0", "\xB0", false,
                                                      3},
                                         FindLastCase{"EmptySought", "abc", "", false, 1},
                                         FindLastCase{"EmptyText", "", "a", false, -1},
                                         FindLastCase{"EmptyBoth", "", "", false, -1}),
                         CaseName<FindLastCase>);

// ---- LeftText, RightText, MidText -----------------------------------------------------------

struct CutCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }
    std::string text;
    Pos start;  // MidText only
    Pos count;
    std::string expected;
};

class LeftTextTest : public testing::TestWithParam<CutCase> {};
class RightTextTest : public testing::TestWithParam<CutCase> {};
class MidTextTest : public testing::TestWithParam<CutCase> {};

TEST_P(LeftTextTest, CutsBytes) {
    EXPECT_EQ(LeftText(GetParam().text, GetParam().count), GetParam().expected);
}
TEST_P(RightTextTest, CutsBytes) {
    EXPECT_EQ(RightText(GetParam().text, GetParam().count), GetParam().expected);
}
TEST_P(MidTextTest, CutsBytes) {
    EXPECT_EQ(MidText(GetParam().text, GetParam().start, GetParam().count), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LeftTextTest,
                         testing::Values(CutCase{"Some", "abc", 0, 2, "ab"},
                                         CutCase{"Zero", "abc", 0, 0, ""},
                                         CutCase{"Negative", "abc", 0, -1, ""},
                                         CutCase{"BeyondLength", "abc", 0, 5, "abc"},
                                         CutCase{"SplitsPair", "\xD6\xD0", 0, 1, "\xD6"},
                                         CutCase{"Empty", "", 0, 3, ""}),
                         CaseName<CutCase>);

INSTANTIATE_TEST_SUITE_P(Cases, RightTextTest,
                         testing::Values(CutCase{"Some", "abc", 0, 2, "bc"},
                                         CutCase{"Zero", "abc", 0, 0, ""},
                                         CutCase{"Negative", "abc", 0, -3, ""},
                                         CutCase{"BeyondLength", "abc", 0, 5, "abc"},
                                         CutCase{"SplitsPair", "\xD6\xD0", 0, 1, "\xD0"},
                                         CutCase{"Empty", "", 0, 3, ""}),
                         CaseName<CutCase>);

INSTANTIATE_TEST_SUITE_P(Cases, MidTextTest,
                         testing::Values(CutCase{"Middle", "abcde", 2, 3, "bcd"},
                                         CutCase{"FromFirst", "abc", 1, 2, "ab"},
                                         CutCase{"CountBeyondEnd", "abc", 2, 10, "bc"},
                                         CutCase{"StartZero", "abc", 0, 2, ""},
                                         CutCase{"StartNegative", "abc", -1, 2, ""},
                                         CutCase{"StartAtEnd", "abc", 4, 1, ""},
                                         CutCase{"StartFarBeyond", "abc", 100, 1, ""},
                                         CutCase{"CountZero", "abc", 1, 0, ""},
                                         CutCase{"CountNegative", "abc", 1, -2, ""},
                                         CutCase{"LastByte", "abc", 3, 1, "c"}),
                         CaseName<CutCase>);

// ---- TrimSpaces, RemoveSpaces ---------------------------------------------------------------

struct TextCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
    std::string text;
    std::string expected;
};

class TrimSpacesTest : public testing::TestWithParam<TextCase> {};
class RemoveSpacesTest : public testing::TestWithParam<TextCase> {};
class LowerTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(TrimSpacesTest, TrimsAsciiAndFullWidthSpaces) {
    EXPECT_EQ(TrimSpaces(GetParam().text), GetParam().expected);
}
TEST_P(RemoveSpacesTest, RemovesAsciiAndFullWidthSpaces) {
    EXPECT_EQ(RemoveSpaces(GetParam().text), GetParam().expected);
}
TEST_P(LowerTextTest, FoldsAsciiLettersOnly) {
    EXPECT_EQ(LowerText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimSpacesTest,
    testing::Values(TextCase{"TabsAreNotSpaces", "\ta\t", "\ta\t"},
                    TextCase{"AsciiBothEnds", "  a  ", "a"},
                    TextCase{"FullWidthBothEnds",
                             "\xA1\xA1"
                             "a\xA1\xA1",
                             "a"},
                    TextCase{"MixedRun", " \xA1\xA1 a \xA1\xA1 ", "a"},
                    TextCase{"InnerSpacesKept", " a b ", "a b"},
                    TextCase{"InnerFullWidthKept",
                             "a\xA1\xA1"
                             "b",
                             "a\xA1\xA1"
                             "b"},
                    TextCase{"OnlySpaces", "  \xA1\xA1 ", ""}, TextCase{"Empty", "", ""},
                    TextCase{"CrLfNotSpaces", "a\r\n", "a\r\n"},
                    // B0 20 is one character; its second byte is not a space.
                    TextCase{"SpaceAsSecondByte", "a\xB0 ", "a\xB0 "},
                    // B0 A1 is one character; the A1 after it is a lone lead byte, cut on its own.
                    TextCase{"A1A1Straddling", "\xB0\xA1\xA1", "\xB0\xA1"},
                    TextCase{"LoneLeadAtEndCut", "a \xB0", "a "},
                    TextCase{"OnlyLoneLead", "\xB0", ""}, TextCase{"LoneA1AtEnd", "a\xA1", "a"},
                    TextCase{"LeadingSpacesThenLoneLead", "  \xB0", ""}),
    CaseName<TextCase>);

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveSpacesTest,
    testing::Values(TextCase{"Ascii", " a b ", "ab"},
                    TextCase{"FullWidth",
                             "\xA1\xA1"
                             "a\xA1\xA1"
                             "b",
                             "ab"},
                    TextCase{"TabKept", "a\tb", "a\tb"},
                    TextCase{"SpaceAsSecondByteKept", "\xB0 x", "\xB0 x"},
                    TextCase{"DoubleByteKept", "\xD6\xD0 \xCE\xC4", "\xD6\xD0\xCE\xC4"},
                    TextCase{"LoneLeadAtEndDropped", "a b\xB0", "ab"}, TextCase{"Empty", "", ""}),
    CaseName<TextCase>);

INSTANTIATE_TEST_SUITE_P(Cases, LowerTextTest,
                         testing::Values(TextCase{"Ascii", "AbC-Z@[", "abc-z@["},
                                         TextCase{"SecondByteUnchanged",
                                                  "\xB0"
                                                  "A"
                                                  "B",
                                                  "\xB0"
                                                  "Ab"},
                                         TextCase{"FullWidthUnchanged", "\xA3\xC1", "\xA3\xC1"},
                                         TextCase{"HighBytesNotFolded", "\xC0\xC1", "\xC0\xC1"},
                                         TextCase{"LoneLeadAtEnd", "A\xB0", "a\xB0"},
                                         TextCase{"Empty", "", ""}),
                         CaseName<TextCase>);

// ---- ReplaceText ---------------------------------------------------------------------------

struct ReplaceCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const ReplaceCase& c, std::ostream* os) { *os << c.name; }
    std::string text;
    std::string sought;
    std::string replacement;
    std::string expected;
};

class ReplaceTextTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTextTest, ReplacesEveryMatchOnce) {
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(ReplaceText(c.text, c.sought, c.replacement), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceTextTest,
    testing::Values(ReplaceCase{"NonOverlapping", "aaa", "aa", "a", "aa"},
                    ReplaceCase{"Every", "a,b,c", ",", "; ", "a; b; c"},
                    ReplaceCase{"ReplacementNotRescanned", "ab", "a", "aa", "aab"},
                    ReplaceCase{"CaseSensitive", "Aa", "a", "x", "Ax"},
                    ReplaceCase{"ToEmpty", "a b c", " ", "", "abc"},
                    ReplaceCase{"NeverOnTrailByte", "\xB0.a.", ".", "!", "\xB0.a!"},
                    ReplaceCase{"EmptySought", "abc", "", "x", "abc"},
                    ReplaceCase{"EmptyText", "", "a", "x", ""},
                    ReplaceCase{"LoneLeadAtEndKept", "a\xB0", "a", "b", "b\xB0"},
                    ReplaceCase{"LoneLeadAtEndReplaced", "a\xB0", "\xB0", "!", "a!"},
                    ReplaceCase{"TailShorterThanSought", "xab", "abc", "!", "xab"}),
    CaseName<ReplaceCase>);

// ---- SplitText -----------------------------------------------------------------------------

struct SplitCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
    std::string text;
    std::string delimiter;
    TextList expected;
};

class SplitTextTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextTest, KeepsLeadingAndInnerEmptyPieces) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitText(c.text, c.delimiter), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTextTest,
    testing::Values(SplitCase{"TrailingDropped", "a;b;", ";", {"a", "b"}},
                    SplitCase{"LeadingKept", ";a", ";", {"", "a"}},
                    SplitCase{"InnerKept", "a;;b", ";", {"a", "", "b"}},
                    SplitCase{"EmptyText", "", ";", {}},
                    SplitCase{"EmptyDelimiter", "a;b", "", {"a;b"}},
                    SplitCase{"NoDelimiter", "ab", ";", {"ab"}},
                    SplitCase{"OnlyDelimiter", ";", ";", {""}},
                    SplitCase{"TwoDelimiters", ";;", ";", {"", ""}},
                    SplitCase{"MultiByteDelimiter", "a; b; ", "; ", {"a", "b"}},
                    SplitCase{"NeverOnTrailByte", "\xB0;a;b", ";", {"\xB0;a", "b"}},
                    SplitCase{"LoneLeadAtEnd", "a;\xB0", ";", {"a", "\xB0"}},
                    SplitCase{"DelimiterLongerThanText", "a", ";;;", {"a"}}),
    CaseName<SplitCase>);

// ---- TextToInt -----------------------------------------------------------------------------

struct IntCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const IntCase& c, std::ostream* os) { *os << c.name; }
    std::string text;
    std::int32_t expected;
};

class TextToIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(TextToIntTest, ReadsLeadingDecimal) {
    EXPECT_EQ(TextToInt(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToIntTest,
    testing::Values(IntCase{"StopsAtOtherByte", " 8080/x", 8080},
                    IntCase{"FullWidthDigits", "\xA3\xB8\xA3\xB0", 80},
                    IntCase{"NoDigits", "x1", 0}, IntCase{"Empty", "", 0},
                    IntCase{"Negative", "-42", -42}, IntCase{"Plus", "+7", 7},
                    IntCase{"SignOnly", "-", 0}, IntCase{"TwoSigns", "+-3", 0},
                    IntCase{"WhiteSpaceSkipped", "\t\r\n 12", 12},
                    IntCase{"FullWidthSpaceSkipped",
                            "\xA1\xA1"
                            "5",
                            5},
                    IntCase{"FullWidthMinus", "\xA3\xAD\xA3\xB3", -3},
                    IntCase{"FullWidthTildeStops",
                            "1\xA1\xAB"
                            "2",
                            1},
                    IntCase{"OtherDoubleByteStops",
                            "1\xD6\xD0"
                            "2",
                            1},
                    IntCase{"MixedWidthDigits",
                            "1\xA3\xB2"
                            "3",
                            123},
                    IntCase{"Max", "2147483647", std::numeric_limits<std::int32_t>::max()},
                    IntCase{"Min", "-2147483648", std::numeric_limits<std::int32_t>::min()},
                    IntCase{"OverflowSaturates", "99999999999999999999",
                            std::numeric_limits<std::int32_t>::max()},
                    IntCase{"UnderflowSaturates", "-2147483649",
                            std::numeric_limits<std::int32_t>::min()},
                    IntCase{"LoneLeadAtEnd", "\xA3", 0}),
    CaseName<IntCase>);

// ---- Bytes and small helpers ---------------------------------------------------------------

TEST(BytesToText, StopsAtFirstZeroByte) {
    EXPECT_EQ(BytesToText(Bytes{0x61, 0x00, 0x62}), "a");
    EXPECT_EQ(BytesToText(Bytes{0x00, 0x62}), "");
    EXPECT_EQ(BytesToText(Bytes{0x61, 0xD6, 0xD0}), "a\xD6\xD0");
    EXPECT_EQ(BytesToText(Bytes{}), "");
}

TEST(TextToBytes, KeepsEveryByte) {
    EXPECT_EQ(TextToBytes("a\xD6\xD0"), (Bytes{0x61, 0xD6, 0xD0}));
    EXPECT_EQ(TextToBytes(""), Bytes{});
}

struct FindBytesCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const FindBytesCase& c, std::ostream* os) { *os << c.name; }
    Bytes bytes;
    Bytes sought;
    Pos expected;
};

class FindBytesTest : public testing::TestWithParam<FindBytesCase> {};

TEST_P(FindBytesTest, FindsBytewise) {
    EXPECT_EQ(FindBytes(GetParam().bytes, GetParam().sought), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindBytesTest,
                         testing::Values(FindBytesCase{"Plain", {1, 2, 3}, {2, 3}, 2},
                                         FindBytesCase{"AcrossZero", {0x61, 0, 0x62}, {0, 0x62}, 2},
                                         // Byte-wise: a match on a second byte counts here.
                                         FindBytesCase{"OnTrailByte", {0xB0, 0x2E}, {0x2E}, 2},
                                         FindBytesCase{"CaseSensitive", {0x41}, {0x61}, -1},
                                         FindBytesCase{"EmptySought", {1, 2}, {}, -1},
                                         FindBytesCase{"EmptyBytes", {}, {1}, -1},
                                         FindBytesCase{"SoughtLonger", {1}, {1, 2}, -1}),
                         CaseName<FindBytesCase>);

TEST(BlankText, GivesCountSpaces) {
    EXPECT_EQ(BlankText(3), "   ");
    EXPECT_EQ(BlankText(0), "");
    EXPECT_EQ(BlankText(-1), "");
}

TEST(BlankBytes, GivesCountZeroBytes) {
    EXPECT_EQ(BlankBytes(2), (Bytes{0, 0}));
    EXPECT_EQ(BlankBytes(0), Bytes{});
    EXPECT_EQ(BlankBytes(-4), Bytes{});
}

TEST(CompareText, ComparesUnsignedBytes) {
    EXPECT_EQ(CompareText("abc", "abc"), 0);
    EXPECT_EQ(CompareText("", ""), 0);
    EXPECT_LT(CompareText("a", "b"), 0);
    EXPECT_GT(CompareText("b", "a"), 0);
    EXPECT_LT(CompareText("A", "a"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_GT(CompareText("a", ""), 0);
    // 0xD6 is above every ASCII byte even though char may be signed.
    EXPECT_GT(CompareText("\xD6", "z"), 0);
}

}  // namespace
}  // namespace miravue
