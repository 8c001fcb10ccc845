#include "percent_decode.h"

#include <gtest/gtest.h>

#include <string>

namespace miravue::player_service {
namespace {

struct DecodeCase {
    std::string encoded;
    std::string bytes;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.encoded);
}

class PercentDecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(PercentDecodeTest, DecodesBytes) {
    EXPECT_EQ(PercentDecode(GetParam().encoded), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PercentDecodeTest,
    testing::Values(DecodeCase{"", ""}, DecodeCase{"abc%20def", "abc def"},
                    DecodeCase{"%D6%D0%CE%C4", "\xD6\xD0\xCE\xC4"},
                    DecodeCase{"%d6%d0", "\xD6\xD0"},
                    DecodeCase{"magnet%3A%3Fxt%3Durn%3Abtih%3A", "magnet:?xt=urn:btih:"},
                    DecodeCase{"a+b", "a+b"}, DecodeCase{"100%", "100%"}, DecodeCase{"%4", "%4"},
                    DecodeCase{"%zz1", "%zz1"}, DecodeCase{"%%41", "%A"},
                    DecodeCase{std::string("a%00b"), std::string("a\0b", 3)}));

struct QueryCase {
    std::string target;
    std::string value;
};

void PrintTo(const QueryCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.target);
}

class QueryParameterTest : public testing::TestWithParam<QueryCase> {};

TEST_P(QueryParameterTest, FindsEncodedValue) {
    EXPECT_EQ(QueryParameter(GetParam().target, "u"), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Cases, QueryParameterTest,
                         testing::Values(QueryCase{"/play?u=abc%20def", "abc%20def"},
                                         QueryCase{"/play?u=", ""}, QueryCase{"/play", ""},
                                         QueryCase{"/play?x=1&u=a%26b&u=second", "a%26b"},
                                         QueryCase{"/play?uu=1&u=2", "2"},
                                         QueryCase{"/play?u=a#frag", "a"},
                                         QueryCase{"/play?x=u=1", ""}));

}  // namespace
}  // namespace miravue::player_service
