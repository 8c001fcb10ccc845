#include "play_page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace miravue::player_service {
namespace {

using testing::HasSubstr;
using testing::Not;

struct KindCase {
    std::string address;
    AddressKind kind;
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.address);
}

class ClassifyAddressTest : public testing::TestWithParam<KindCase> {};

TEST_P(ClassifyAddressTest, Classifies) {
    EXPECT_EQ(ClassifyAddress(GetParam().address), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClassifyAddressTest,
    testing::Values(KindCase{"", AddressKind::kEmpty}, KindCase{" \r\n", AddressKind::kEmpty},
                    KindCase{"http://127.0.0.1/v.mp4", AddressKind::kMedia},
                    KindCase{"HTTPS://127.0.0.1/v.webm\r\n", AddressKind::kMedia},
                    KindCase{"magnet:?xt=urn:btih:", AddressKind::kMagnet},
                    KindCase{"javascript:alert(1)", AddressKind::kText},
                    KindCase{"ftp://127.0.0.1/v.mp4", AddressKind::kText},
                    KindCase{"http:/broken", AddressKind::kText},
                    KindCase{"abc def", AddressKind::kText}));

struct HashCase {
    std::string magnet;
    std::string hash;
};

void PrintTo(const HashCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.magnet);
}

class MagnetInfoHashTest : public testing::TestWithParam<HashCase> {};

TEST_P(MagnetInfoHashTest, ReadsHash) {
    EXPECT_EQ(MagnetInfoHash(GetParam().magnet), GetParam().hash);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MagnetInfoHashTest,
    testing::Values(HashCase{"magnet:?xt=urn:btih:0123456789ABCDEF0123456789abcdef01234567",
                             "0123456789abcdef0123456789abcdef01234567"},
                    HashCase{
                        "magnet:?dn=x&xt=urn:btih:ffffffffffffffffffffffffffffffffffffffff&tr=t",
                        "ffffffffffffffffffffffffffffffffffffffff"},
                    HashCase{"magnet:?xt=urn:btih:abcdefghijklmnopqrstuvwxyz234567",
                             "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567"},
                    HashCase{"magnet:?xt=urn:btih:", ""},  // an unreadable torrent
                    HashCase{"magnet:?xt=urn:btih:0123", ""},
                    HashCase{"magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef0123456g", ""},
                    HashCase{"magnet:", ""}));

TEST(RenderPlayPageTest, MediaUrlPlaysInVideoElement) {
    const std::string page = RenderPlayPage("http://127.0.0.1:8000/a b.mp4?x=1&y=2\n");
    EXPECT_THAT(page, HasSubstr("<video id=\"player\" controls autoplay "
                                "src=\"http://127.0.0.1:8000/a b.mp4?x=1&amp;y=2\">"));
}

TEST(RenderPlayPageTest, QuoteInMediaUrlCannotLeaveTheAttribute) {
    const std::string page = RenderPlayPage("http://x/\"onerror=\"alert(1)");
    EXPECT_THAT(page, HasSubstr("src=\"http://x/&quot;onerror=&quot;alert(1)\""));
    EXPECT_THAT(page, Not(HasSubstr("\"onerror=\"")));
}

TEST(RenderPlayPageTest, MagnetShowsLabelledInfoHash) {
    const std::string page =
        RenderPlayPage("magnet:?xt=urn:btih:0123456789abcdef0123456789abcdef01234567");
    EXPECT_THAT(page, HasSubstr("<p class=\"label\">Info hash</p><p><code class=\"hash\" "
                                "id=\"info-hash\">0123456789abcdef0123456789abcdef01234567"
                                "</code>"));
    EXPECT_THAT(page, Not(HasSubstr("<video")));
}

TEST(RenderPlayPageTest, MagnetWithoutHashSaysSo) {
    const std::string page = RenderPlayPage("magnet:?xt=urn:btih:");
    EXPECT_THAT(page, HasSubstr("none: the torrent could not be read"));
    EXPECT_THAT(page, Not(HasSubstr("id=\"info-hash\"")));
}

TEST(RenderPlayPageTest, OtherAddressIsEscapedText) {
    const std::string page = RenderPlayPage("<img src=x onerror=alert(1)>");
    EXPECT_THAT(page, HasSubstr("<p class=\"address\">&lt;img src=x onerror=alert(1)&gt;</p>"));
    EXPECT_THAT(page, Not(HasSubstr("<img")));
    EXPECT_THAT(page, Not(HasSubstr("<video")));
}

TEST(RenderPlayPageTest, ScriptSchemeNeverReachesAnAttribute) {
    const std::string page = RenderPlayPage("javascript:alert(1)");
    EXPECT_THAT(page, Not(HasSubstr("src=\"javascript")));
    EXPECT_THAT(page, HasSubstr("<p class=\"address\">javascript:alert(1)</p>"));
}

TEST(RenderPlayPageTest, EmptyAddressSaysNothingToPlay) {
    EXPECT_THAT(RenderPlayPage(""), HasSubstr("<h1>Nothing to play</h1>"));
}

TEST(RenderPlayPageTest, PageAsksForModernDocumentModeAndUtf8) {
    const std::string page = RenderPlayPage("x");
    EXPECT_THAT(page, HasSubstr("<meta charset=\"utf-8\">"));
    EXPECT_THAT(page, HasSubstr("<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">"));
}

}  // namespace
}  // namespace miravue::player_service
