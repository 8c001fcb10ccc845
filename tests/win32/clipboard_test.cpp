// CF_TEXT as the program reads it: the bytes up to the first zero, never past the block.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/clipboard.h"

namespace {

// Puts `bytes` on the clipboard as CF_TEXT exactly as given (no zero added).
void PutText(const std::string& bytes) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (!bytes.empty()) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size());
        std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
    }
    CloseClipboard();
}

TEST(Clipboard, GivesTheTextUpToItsZero) {
    PutText(std::string("abc def\0ignored", 15));
    EXPECT_EQ(miravue::platform::ClipboardText(), "abc def");
}

TEST(Clipboard, KeepsCodePageBytesAsTheyAre) {
    PutText(std::string("\xD6\xD0\xCE\xC4\0", 5));
    EXPECT_EQ(miravue::platform::ClipboardText(), "\xD6\xD0\xCE\xC4");
}

TEST(Clipboard, EmptyClipboardGivesEmptyText) {
    PutText("");
    EXPECT_EQ(miravue::platform::ClipboardText(), "");
}

}  // namespace
