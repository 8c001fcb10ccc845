#include "app/play.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/key_endpoint.h"
#include "app/keyboard_hook.h"
#include "tests/fakes/fake_internet.h"
#include "tests/fakes/fake_shell.h"

namespace miravue {
namespace {

constexpr char kPrefix[] = "http://127.0.0.1:17380/play?u=";

void AnswerKeyRequest(const std::string& body) {
    fake::Internet().responses.push_back(
        fake::MakeResponse("HTTP/1.1 200 OK", {"Content-Type: text/plain"}, body));
}

class PlayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::Shell().Reset();
        fake::Internet().Reset();
        TheKeyboardHook() = KeyboardHookState{};
    }
};

struct PlayCase {
    const char* name;
    std::string address;
    std::string encoded;
};

class PlayAddressTest : public PlayTest, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(PlayAddressTest, NavigatesToThePrefixFollowedByTheEncodedAddress) {
    AnswerKeyRequest(kPrefix);
    PlayAddress(GetParam().address);
    EXPECT_EQ(fake::Shell().navigations,
              std::vector<std::string>{std::string(kPrefix) + GetParam().encoded});
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, PlayAddressTest,
    ::testing::Values(PlayCase{"Space", "abc def", "abc%20def"},
                      PlayCase{"UrlIsEncodedWhole", "a/b?c=1", "a%2Fb%3Fc%3D1"},
                      PlayCase{"GbkBytesOneByOne", "\xD6\xD0\xCE\xC4", "%D6%D0%CE%C4"},
                      PlayCase{"EmptyPlaysThePrefixAlone", "", ""},
                      PlayCase{"Magnet", "magnet:?xt=urn:btih:ab",
                               "magnet%3A%3Fxt%3Durn%3Abtih%3Aab"}),
    [](const ::testing::TestParamInfo<PlayCase>& param) { return param.param.name; });

TEST_F(PlayTest, AsksTheKeyEndpointWithAPlainGetEveryTime) {
    AnswerKeyRequest(kPrefix);
    AnswerKeyRequest(kPrefix);
    PlayAddress("x");
    PlayAddress("y");
    ASSERT_EQ(fake::Internet().exchanges.size(), 2u);
    for (const fake::Exchange& exchange : fake::Internet().exchanges) {
        ASSERT_TRUE(exchange.connect.has_value());
        ASSERT_TRUE(exchange.request.has_value());
        // The endpoint spells out its port, so the three parts give it back whole.
        EXPECT_EQ("http://" + exchange.connect->server + ":" +
                      std::to_string(exchange.connect->port) + exchange.request->object,
                  kKeyEndpoint);
        EXPECT_EQ(exchange.request->verb.value_or("GET"), "GET");
        ASSERT_TRUE(exchange.send.has_value());
        EXPECT_TRUE(exchange.send->body.empty());
    }
}

TEST_F(PlayTest, ThePrefixIsUsedAsItCameLineBreakIncluded) {
    AnswerKeyRequest("http://h/p?u=\r\n");
    PlayAddress("a b");
    EXPECT_EQ(fake::Shell().navigations, std::vector<std::string>{"http://h/p?u=\r\na%20b"});
}

TEST_F(PlayTest, AnUnreachableEndpointPlaysTheEncodedAddressAlone) {
    fake::Internet().failConnect = true;
    PlayAddress("x");
    EXPECT_EQ(fake::Shell().navigations, std::vector<std::string>{"x"});
}

TEST_F(PlayTest, AnEndpointThatNeverAnswersPlaysTheEncodedAddressAlone) {
    // No scripted response: the send fails.
    PlayAddress("a b");
    EXPECT_EQ(fake::Shell().navigations, std::vector<std::string>{"a%20b"});
}

struct HotkeyCase {
    std::int32_t modifier;
    std::int32_t vkCode;
    bool plays;
};

class HotkeyTest : public PlayTest, public ::testing::WithParamInterface<HotkeyCase> {};

TEST_P(HotkeyTest, OnlyF9PlaysWhateverTheModifier) {
    fake::Shell().clipboard = "abc def";
    AnswerKeyRequest(kPrefix);
    OnHotkey(GetParam().modifier, GetParam().vkCode, 0);
    fake::Shell().RunPosted();
    const std::vector<std::string> expected =
        GetParam().plays ? std::vector<std::string>{std::string(kPrefix) + "abc%20def"}
                         : std::vector<std::string>{};
    EXPECT_EQ(fake::Shell().navigations, expected);
    EXPECT_EQ(fake::Internet().exchanges.size(), GetParam().plays ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Keys, HotkeyTest,
                         ::testing::Values(HotkeyCase{0, 120, true}, HotkeyCase{16, 120, true},
                                           HotkeyCase{17, 120, true}, HotkeyCase{18, 120, true},
                                           HotkeyCase{91, 120, true}, HotkeyCase{0, 119, false},
                                           HotkeyCase{17, 121, false}, HotkeyCase{0, 0, false},
                                           HotkeyCase{120, 17, false}));

TEST_F(PlayTest, OnHotkeyHandsThePlayToTheUiLoopAndReturnsAtOnce) {
    fake::Shell().clipboard = "x";
    AnswerKeyRequest(kPrefix);
    OnHotkey(0, 120, 0);
    // Nothing of the play has happened yet: no clipboard read, request or navigation.
    EXPECT_EQ(fake::Shell().log, std::vector<std::string>{"post"});
    EXPECT_TRUE(fake::Internet().exchanges.empty());
    EXPECT_EQ(fake::Shell().RunPosted(), 1);
    EXPECT_EQ(fake::Shell().navigations, std::vector<std::string>{std::string(kPrefix) + "x"});
}

TEST_F(PlayTest, TheKeyEventIsPassedOnBeforeThePlayRuns) {
    fake::Shell().clipboard = "x";
    AnswerKeyRequest(kPrefix);
    InstallKeyboardHook(OnHotkey);
    fake::Shell().log.clear();
    fake::Shell().Key(120, 0);
    fake::Shell().RunPosted();
    EXPECT_EQ(fake::Shell().log,
              (std::vector<std::string>{"post", "next-hook", "clipboard",
                                        "navigate " + std::string(kPrefix) + "x"}));
}

TEST_F(PlayTest, EveryPressPlaysOnceInPressOrder) {
    for (int i = 0; i < 3; ++i) {
        AnswerKeyRequest("http://h/" + std::to_string(i) + "?u=");
    }
    fake::Shell().clipboard = "a";
    InstallKeyboardHook(OnHotkey);
    for (int i = 0; i < 3; ++i) {
        fake::Shell().Key(120, 0);  // F9 held: auto-repeated presses
    }
    EXPECT_EQ(fake::Shell().posted.size(), 3u);
    EXPECT_EQ(fake::Shell().RunPosted(), 3);
    EXPECT_EQ(fake::Shell().navigations,
              (std::vector<std::string>{"http://h/0?u=a", "http://h/1?u=a", "http://h/2?u=a"}));
}

TEST_F(PlayTest, WithoutAQueueThePressIsPlayedWhereItArrived) {
    fake::Shell().failPost = true;
    fake::Shell().clipboard = "x";
    AnswerKeyRequest(kPrefix);
    OnHotkey(0, 120, 0);
    EXPECT_EQ(fake::Shell().navigations, std::vector<std::string>{std::string(kPrefix) + "x"});
}

TEST_F(PlayTest, AClipboardWithoutTextPlaysThePrefixAlone) {
    fake::Shell().clipboard = "";
    AnswerKeyRequest(kPrefix);
    OnHotkey(0, 120, 0);
    fake::Shell().RunPosted();
    EXPECT_EQ(fake::Shell().navigations, std::vector<std::string>{kPrefix});
}

}  // namespace
}  // namespace miravue
