#pragma once
// The frame seam: the main window built from a description, its message loop, and the
// one message box the program ever shows. One main window per process.

#include <cstdint>
#include <string_view>

#include "platform/shell_types.h"

namespace miravue::platform {

// Sizes and places in pixels. The browser control is the window's one child control.
struct WindowDescription {
    std::string_view caption;  // UTF-8 (a literal of the program, not a GBK text)
    std::int32_t left = 0;     // screen coordinates of the outer frame, where the
    std::int32_t top = 0;      // display lets a program place its windows
    std::int32_t width = 0;    // outer size
    std::int32_t height = 0;
    std::string_view icon_name;  // the program's icon (theme name / resource name)
    Rect browser;                // the browser control in client coordinates, as designed
};

// Called on the UI thread. `created` runs once, while CreateMainWindow runs, after the
// window and its browser control exist. `size_changed` runs whenever the window reports a
// new size (the first report included).
struct WindowEvents {
    void (*created)() = nullptr;
    void (*size_changed)() = nullptr;
};

// Initialises the window services, creates the main window with its browser control and
// shows it. False when the window cannot be created (no display, no browser engine).
bool CreateMainWindow(const WindowDescription& description, const WindowEvents& events);

// Runs the UI thread's loop until the main window has been closed.
void RunMessageLoop();

// The main window; 0 before CreateMainWindow succeeded and after the window closed.
WindowHandle MainWindow();

// The client rectangle of a window: left and top are 0, right and bottom its size.
// All zeros for an unknown window.
Rect ClientRect(WindowHandle window);

// Shows a modal error message (UTF-8) and returns when the user dismissed it, or at once
// when no display is available (the message then goes to the standard error stream).
void ShowErrorMessage(std::string_view message);

}  // namespace miravue::platform
