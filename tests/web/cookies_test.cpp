#include "web/cookies.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace miravue {
namespace {

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// ---- MergeCookies --------------------------------------------------------------------------

struct MergeCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.name; }
    Text cookies;
    Text response;
    Text mergedCookies;
    Text rewrittenResponse;
};

class MergeCookiesTest : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeCookiesTest, RewritesBothAndReturnsCopy) {
    const MergeCase& c = GetParam();
    Text cookies = c.cookies;
    Text response = c.response;
    const Text returned = MergeCookies(cookies, response);
    EXPECT_EQ(cookies, c.mergedCookies);
    EXPECT_EQ(response, c.rewrittenResponse);
    EXPECT_EQ(returned, cookies);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MergeCookiesTest,
    testing::Values(
        MergeCase{"ReceivedFirstDeletedDropped", "a=1; b=2", "b=3; c=deleted", "b=3; a=1",
                  "b=3;c=deleted"},
        MergeCase{"IntoEmpty", "", "x=1; y=2", "x=1; y=2", "x=1;y=2"},
        MergeCase{"DeletedRemovesOld", "a=1", "a=deleted", "", "a=deleted"},
        MergeCase{"FirstOfOldNameSurvives", "a=1;a=2", "", "a=1", ""},
        MergeCase{"ExactRepeatDropped", "", "a=1; a=1", "a=1", "a=1;a=1"},
        MergeCase{"SameNameDifferentValuesKept", "", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
        MergeCase{"SpacesRemovedEverywhere", "n = x y", "", "n=xy", ""},
        MergeCase{"FullWidthSpacesRemoved",
                  "a=\xA1\xA1"
                  "1",
                  "", "a=1", ""},
        MergeCase{"ItemWithoutEquals", "flag; a=1", "flag", "flag; a=1", "flag"},
        MergeCase{"TrailingSeparatorAddsNothing", "a=1;", "b=2;", "b=2; a=1", "b=2;"},
        MergeCase{"DoubleSeparatorKeepsEmptyItem", "a=1; ; b=2", "", "a=1; ; b=2", ""},
        MergeCase{"EmptyItemInResponse", "c=3", "a=1;;b=2", "a=1; ; b=2; c=3", "a=1;;b=2"},
        MergeCase{"OldKeptInOrder", "a=1; b=2; c=3", "b=9", "b=9; a=1; c=3", "b=9"},
        MergeCase{"DeletedOldItemDropped", "a=deleted; b=2", "", "b=2", ""},
        MergeCase{"MarkerNeedsEquals", "a=notdeleted; b=deleted", "", "a=notdeleted", ""},
        MergeCase{"ValueWithEquals", "a=b=c", "", "a=b=c", ""},
        MergeCase{"NamesCaseSensitive", "A=1", "a=2", "a=2; A=1", "a=2"},
        MergeCase{"BothEmpty", "", "", "", ""}, MergeCase{"OnlyEmptyItems", ";;", "", "", ""}),
    CaseName<MergeCase>);

// ---- CookieName, HasCookieName, IndexOfText, JoinUnique ------------------------------------

struct NameCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
    Text item;
    Text expected;
};

class CookieNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(CookieNameTest, IsTrimmedTextBeforeFirstEquals) {
    EXPECT_EQ(CookieName(GetParam().item), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CookieNameTest,
    testing::Values(NameCase{"Plain", "sid=abc", "sid"}, NameCase{"Trimmed", "  sid =abc", "sid"},
                    NameCase{"FirstEquals", "a=b=c", "a"}, NameCase{"NoEquals", " flag ", "flag"},
                    NameCase{"EmptyName", "=v", ""}, NameCase{"EmptyItem", "", ""},
                    NameCase{"FullWidthTrimmed", "\xA1\xA1n=1", "n"},
                    // B0 3D is one character: its "=" is no separator.
                    NameCase{"EqualsAsSecondByte", "\xB0=x=1", "\xB0=x"}),
    CaseName<NameCase>);

TEST(HasCookieName, MatchesNamesByteForByte) {
    const TextList list{"a=1", " b =2", "flag", ""};
    EXPECT_TRUE(HasCookieName(list, "a"));
    EXPECT_TRUE(HasCookieName(list, "b"));
    EXPECT_TRUE(HasCookieName(list, "flag"));
    EXPECT_TRUE(HasCookieName(list, ""));
    EXPECT_FALSE(HasCookieName(list, "A"));
    EXPECT_FALSE(HasCookieName(list, "a=1"));
    EXPECT_FALSE(HasCookieName({}, "a"));
}

TEST(IndexOfText, GivesFirstEqualMemberFromOne) {
    const TextList list{"x", "y", "x", ""};
    EXPECT_EQ(IndexOfText(list, "x"), 1);
    EXPECT_EQ(IndexOfText(list, "y"), 2);
    EXPECT_EQ(IndexOfText(list, ""), 4);
    EXPECT_EQ(IndexOfText(list, "X"), -1);
    EXPECT_EQ(IndexOfText({}, "x"), -1);
}

struct JoinCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const JoinCase& c, std::ostream* os) { *os << c.name; }
    Text text;
    Text separator;
    Text expected;
};

class JoinUniqueTest : public testing::TestWithParam<JoinCase> {};

TEST_P(JoinUniqueTest, DropsRepeatsAfterFirst) {
    EXPECT_EQ(JoinUnique(GetParam().text, GetParam().separator), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, JoinUniqueTest,
                         testing::Values(JoinCase{"Repeats", "a; b; a; c; b", "; ", "a; b; c"},
                                         JoinCase{"TrailingSeparator", "a; b; ", "; ", "a; b"},
                                         JoinCase{"EmptyPartsOnce", "; a; ; b", "; ", "; a; b"},
                                         JoinCase{"Empty", "", "; ", ""},
                                         JoinCase{"EmptySeparator", "aab", "", "aab"},
                                         JoinCase{"CaseSensitive", "a,A,a", ",", "a,A"}),
                         CaseName<JoinCase>);

}  // namespace
}  // namespace miravue
