#pragma once
// Backend-internal: the one main window and its browser control, shared by the frame and
// the browser host operations.

#include <gtk/gtk.h>

#include <cstdint>

namespace miravue::platform::gtk {

struct MainWindowState {
    GtkWidget* window = nullptr;   // the toplevel
    GtkWidget* client = nullptr;   // fills the window; places the browser at 0,0
    GtkWidget* browser = nullptr;  // the web view; also the browser's host window
    std::int32_t clientWidth = 0;  // as last allocated
    std::int32_t clientHeight = 0;
    std::int32_t browserWidth = 0;  // as the program set them
    std::int32_t browserHeight = 0;
    bool allocating = false;  // inside the client's allocation
    bool open = false;        // from creation until the window was closed
    void (*sizeChanged)() = nullptr;
};

MainWindowState& TheMainWindow();

// Lays the browser out again after the program changed its size.
void RelayoutBrowser();

}  // namespace miravue::platform::gtk
