// The browser host operations on the main window's WebKit web view.

#include <webkit/webkit.h>

#include <algorithm>
#include <string>

#include "platform/browser.h"
#include "platform/codepage.h"
#include "platform/gtk/main_window_gtk.h"
#include "platform/gtk/shell_windows.h"

namespace miravue::platform {

WindowHandle BrowserWindow() {
    GtkWidget* browser = gtk::TheMainWindow().browser;
    return browser != nullptr ? gtk::HandleOf(browser) : 0;
}

void SetBrowserWidth(std::int32_t width) {
    gtk::TheMainWindow().browserWidth = std::max(width, 0);
    gtk::RelayoutBrowser();
}

void SetBrowserHeight(std::int32_t height) {
    gtk::TheMainWindow().browserHeight = std::max(height, 0);
    gtk::RelayoutBrowser();
}

void Navigate(std::string_view url) {
    GtkWidget* browser = gtk::TheMainWindow().browser;
    if (browser == nullptr) {
        return;
    }
    const std::string utf8 = GbkToUtf8(url);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(browser), utf8.c_str());
}

}  // namespace miravue::platform
