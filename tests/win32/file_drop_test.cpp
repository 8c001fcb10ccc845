// Subclassing and the shell's file drop: the replaced procedure keeps getting what the new
// one passes on, WM_DROPFILES reaches the new one, and paths come out of the drop cut to the
// room given.

#include <windows.h>
// After windows.h, whose types it uses.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "message_pump.h"
#include "platform/file_drop.h"
#include "platform/window_procedure.h"

namespace {

namespace platform = miravue::platform;

// A drop as the shell makes it: a DROPFILES header, then the ANSI paths, each ended by a
// zero, and one more zero.
HDROP MakeDrop(const std::vector<std::string>& paths) {
    std::string list;
    for (const auto& path : paths)
        list += path + '\0';
    list += '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    std::copy(list.begin(), list.end(), reinterpret_cast<char*>(header + 1));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

struct Received {
    UINT message;
    WPARAM wparam;
};

std::vector<Received>& OriginalSaw() {
    static std::vector<Received> saw;
    return saw;
}
std::vector<Received>& ReplacementSaw() {
    static std::vector<Received> saw;
    return saw;
}
platform::WindowProcedure& Saved() {
    static platform::WindowProcedure saved = nullptr;
    return saved;
}

constexpr UINT kProbe = WM_APP + 7;

LRESULT CALLBACK OriginalProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kProbe || message == WM_DROPFILES) {
        OriginalSaw().push_back({message, wparam});
        return 7;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

std::intptr_t MIRAVUE_CALLBACK ReplacementProc(platform::WindowHandle window, std::uint32_t message,
                                               std::uintptr_t wparam, std::intptr_t lparam) {
    if (message == platform::kDropFilesMessage) {
        ReplacementSaw().push_back({message, wparam});
        platform::FinishDrop(wparam);
        return 1;
    }
    return platform::CallWindowProcedure(Saved(), window, message, wparam, lparam);
}

class FileDropTest : public testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = OriginalProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "MiravueDropTestWindow";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                  100, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        OriginalSaw().clear();
        ReplacementSaw().clear();
    }
    void TearDown() override { DestroyWindow(window_); }

    platform::WindowHandle handle() const {
        return reinterpret_cast<platform::WindowHandle>(window_);
    }

    HWND window_ = nullptr;
};

TEST_F(FileDropTest, SubclassedWindowPassesOtherMessagesToTheReplacedProcedure) {
    Saved() = platform::SetWindowProcedure(handle(), ReplacementProc);
    ASSERT_NE(Saved(), nullptr);
    EXPECT_EQ(SendMessageA(window_, kProbe, 42, 0), 7);
    ASSERT_EQ(OriginalSaw().size(), 1u);
    EXPECT_EQ(OriginalSaw()[0].wparam, 42u);
}

TEST_F(FileDropTest, DropMessageReachesTheReplacementAndStopsThere) {
    Saved() = platform::SetWindowProcedure(handle(), ReplacementProc);
    platform::AcceptFiles(handle(), true);
    HDROP drop = MakeDrop({"C:\\v\\a.torrent"});
    PostMessageA(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    ASSERT_TRUE(miravue::test::PumpUntil([] { return !ReplacementSaw().empty(); }));
    EXPECT_EQ(ReplacementSaw()[0].wparam, reinterpret_cast<WPARAM>(drop));
    EXPECT_TRUE(OriginalSaw().empty());
}

TEST_F(FileDropTest, UnknownWindowKeepsItsProcedure) {
    EXPECT_EQ(platform::SetWindowProcedure(0, ReplacementProc), nullptr);
}

TEST_F(FileDropTest, AcceptFilesSetsAndClearsTheWindowFlag) {
    platform::AcceptFiles(handle(), true);
    EXPECT_NE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    platform::AcceptFiles(handle(), false);
    EXPECT_EQ(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
}

TEST(QueryDroppedFile, CountsAndCopiesPathsCutToTheRoomGiven) {
    const std::string longPath = "C:\\" + std::string(300, 'x') + ".torrent";
    HDROP drop = MakeDrop({"C:\\v\\a.torrent", longPath, "D:\\x.y\\file"});
    const auto handle = reinterpret_cast<platform::DropHandle>(drop);
    std::array<char, 260> buffer{};
    EXPECT_EQ(platform::QueryDroppedFile(handle, platform::kDroppedFileCount, {}), 3u);
    EXPECT_EQ(platform::QueryDroppedFile(handle, 0, buffer), 14u);
    EXPECT_STREQ(buffer.data(), "C:\\v\\a.torrent");
    EXPECT_EQ(platform::QueryDroppedFile(handle, 1, buffer), 259u);
    EXPECT_EQ(std::string(buffer.data()), longPath.substr(0, 259));
    EXPECT_EQ(platform::QueryDroppedFile(handle, 2, buffer), 11u);
    EXPECT_STREQ(buffer.data(), "D:\\x.y\\file");
    EXPECT_EQ(platform::QueryDroppedFile(handle, 3, buffer), 0u);
    EXPECT_EQ(platform::QueryDroppedFile(handle, 0, std::span<char>()), 0u);
    platform::FinishDrop(handle);
}

TEST(QueryDroppedFile, NoDropGivesNothing) {
    std::array<char, 16> buffer{};
    EXPECT_EQ(platform::QueryDroppedFile(0, platform::kDroppedFileCount, buffer), 0u);
    EXPECT_EQ(platform::QueryDroppedFile(0, 0, buffer), 0u);
}

}  // namespace
