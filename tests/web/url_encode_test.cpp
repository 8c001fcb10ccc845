#include "web/url_encode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>

namespace miravue {
namespace {

struct EncodeCase {
    std::string name;
    // CTest and failure messages show the case's name, not its raw bytes.
    friend void PrintTo(const EncodeCase& c, std::ostream* os) { *os << c.name; }
    std::string text;
    std::string expected;
};

std::string CaseName(const testing::TestParamInfo<EncodeCase>& info) {
    return info.param.name;
}

class UrlEncodeTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(UrlEncodeTest, EncodesEveryByteOutsideTheKeptSet) {
    EXPECT_EQ(UrlEncode(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UrlEncodeTest,
    testing::Values(EncodeCase{"Empty", "", ""}, EncodeCase{"SpaceIsPercent20", "a b", "a%20b"},
                    EncodeCase{"Punctuation", "a:b/c_d~e?f=1", "a%3Ab%2Fc%5Fd%7Ee%3Ff%3D1"},
                    EncodeCase{"GbkBytesEachEncoded", "\xD6\xD0", "%D6%D0"},
                    EncodeCase{"TwoDigitsForSmallBytes", "\x0A", "%0A"},
                    EncodeCase{"KeptSetUnchanged", "AZaz09-.", "AZaz09-."},
                    EncodeCase{"PlusStarPercent", "+*%", "%2B%2A%25"},
                    EncodeCase{"MagnetLink", "magnet:?xt=urn:btih:0a",
                               "magnet%3A%3Fxt%3Durn%3Abtih%3A0a"},
                    EncodeCase{"HighestByte", "\xFF", "%FF"}),
    CaseName);

TEST(UrlEncode, KeepsExactlySixtyFourByteValues) {
    int kept = 0;
    for (int b = 0; b <= 0xFF; ++b) {
        const std::string one(1, static_cast<char>(b));
        const bool inKeptSet = b == '-' || b == '.' || (b >= '0' && b <= '9') ||
                               (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
        char percent[4];
        std::snprintf(percent, sizeof percent, "%%%02X", b);
        EXPECT_EQ(UrlEncode(one), inKeptSet ? one : std::string(percent)) << "byte " << b;
        kept += inKeptSet ? 1 : 0;
    }
    EXPECT_EQ(kept, 64);
}

}  // namespace
}  // namespace miravue
