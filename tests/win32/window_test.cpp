// The main window as described: caption, place, size, icon, and the browser host child that
// the program subclasses; closing it ends the loop.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/browser.h"
#include "platform/window.h"

namespace {

namespace platform = miravue::platform;

constexpr char kCaption[] = "Miravue beta- (热键：F9 播放剪贴板中的地址)";

struct Observed {
    int created = 0;
    int sizeChanges = 0;
    platform::WindowHandle browserAtCreation = 0;
    RECT browserRectAtCreation{};
};

Observed& Seen() {
    static Observed seen;
    return seen;
}

void OnCreated() {
    Seen().created++;
    Seen().browserAtCreation = platform::BrowserWindow();
    GetWindowRect(reinterpret_cast<HWND>(platform::BrowserWindow()), &Seen().browserRectAtCreation);
}

void OnSizeChanged() {
    Seen().sizeChanges++;
    const platform::Rect client = platform::ClientRect(platform::MainWindow());
    platform::SetBrowserWidth(client.right - client.left);
    platform::SetBrowserHeight(client.bottom - client.top);
}

// Reads the icon group resource: the size and colour depth of each image.
std::vector<std::pair<int, int>> IconImages(const char* name) {
    std::vector<std::pair<int, int>> images;
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name, MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    if (info == nullptr)
        return images;
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, info)));
    const DWORD size = SizeofResource(module, info);
    if (data == nullptr || size < 6)
        return images;
    const unsigned count = data[4] | (data[5] << 8);
    for (unsigned i = 0; i < count && 6 + 14 * (i + 1) <= size; ++i) {
        const unsigned char* entry = data + 6 + 14 * i;
        const int width = entry[0] == 0 ? 256 : entry[0];
        const int bits = entry[6] | (entry[7] << 8);
        images.emplace_back(width, bits);
    }
    return images;
}

TEST(MainWindow, IsBuiltFromItsDescriptionAndEndsItsLoopWhenClosed) {
    const platform::WindowDescription description{
        .caption = kCaption,
        .left = 50,
        .top = 50,
        .width = 800,
        .height = 480,
        .icon_name = "miravue",
        .browser = platform::Rect{.left = 0, .top = 0, .right = 50, .bottom = 50},
    };
    ASSERT_TRUE(platform::CreateMainWindow(description,
                                           {.created = OnCreated, .size_changed = OnSizeChanged}));
    HWND window = reinterpret_cast<HWND>(platform::MainWindow());
    ASSERT_NE(window, nullptr);

    wchar_t caption[128] = {};
    GetWindowTextW(window, caption, 128);
    EXPECT_EQ(std::wstring(caption), L"Miravue beta- (热键：F9 播放剪贴板中的地址)");

    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, 50);
    EXPECT_EQ(outer.top, 50);
    EXPECT_EQ(outer.right - outer.left, 800);
    EXPECT_EQ(outer.bottom - outer.top, 480);

    // `created` ran once with the browser host in place at its designed size.
    EXPECT_EQ(Seen().created, 1);
    EXPECT_NE(Seen().browserAtCreation, 0u);
    EXPECT_EQ(Seen().browserRectAtCreation.right - Seen().browserRectAtCreation.left, 50);
    EXPECT_EQ(Seen().browserRectAtCreation.bottom - Seen().browserRectAtCreation.top, 50);

    // After the first size report the host covers the client area exactly, and follows it.
    EXPECT_GE(Seen().sizeChanges, 1);
    HWND host = reinterpret_cast<HWND>(platform::BrowserWindow());
    EXPECT_EQ(GetParent(host), window);
    RECT client{}, hostRect{};
    GetClientRect(window, &client);
    GetClientRect(host, &hostRect);
    EXPECT_EQ(hostRect.right, client.right);
    EXPECT_EQ(hostRect.bottom, client.bottom);
    SetWindowPos(window, nullptr, 0, 0, 640, 400, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(window, &client);
    GetClientRect(host, &hostRect);
    EXPECT_EQ(hostRect.right, client.right);
    EXPECT_EQ(hostRect.bottom, client.bottom);
    POINT origin{0, 0};
    MapWindowPoints(host, window, &origin, 1);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);

    // The host is an ANSI window, so subclassing it with SetWindowLongA hands back a real
    // procedure.
    EXPECT_FALSE(IsWindowUnicode(host));

    // The class carries the program's icon.
    EXPECT_NE(GetClassLongPtrW(window, GCLP_HICON), 0);

    // Navigating without a page engine, or with one, must simply return.
    platform::Navigate("http://127.0.0.1:9/play?u=abc%20def");

    PostMessageW(window, WM_CLOSE, 0, 0);
    platform::RunMessageLoop();
    EXPECT_EQ(platform::MainWindow(), 0u);
    EXPECT_FALSE(IsWindow(window));
}

TEST(ProgramIcon, HasFiveImagesOf32BitsPerPixel) {
    const auto images = IconImages("MIRAVUE");
    EXPECT_EQ(images,
              (std::vector<std::pair<int, int>>{{48, 32}, {40, 32}, {32, 32}, {24, 32}, {16, 32}}));
}

}  // namespace
