#include "app/main_window.h"

#include "platform/browser.h"

namespace miravue {

const platform::WindowDescription& MainWindowDescription() {
    static const platform::WindowDescription description{
        .caption = "Miravue beta- (热键：F9 播放剪贴板中的地址)",
        .left = 50,
        .top = 50,
        .width = 800,
        .height = 480,
        .icon_name = "miravue",
        // The control's designed size; the first size change makes it fill the window.
        .browser = platform::Rect{.left = 0, .top = 0, .right = 50, .bottom = 50},
    };
    return description;
}

void OnMainWindowSizeChanged() {
    const platform::Rect client = platform::ClientRect(platform::MainWindow());
    platform::SetBrowserWidth(client.right - client.left);
    platform::SetBrowserHeight(client.bottom - client.top);
}

}  // namespace miravue
