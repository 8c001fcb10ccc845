#pragma once
// The browser host seam: the operations the program uses on the main window's browser
// control. The control loads pages on its own; the program never waits for a load.

#include <cstdint>
#include <string_view>

#include "platform/shell_types.h"

namespace miravue::platform {

// The window that hosts the browser control and receives the files dropped on it;
// 0 when the control does not exist.
WindowHandle BrowserWindow();

// Resize the control's host window (pixels); the position stays where it is.
void SetBrowserWidth(std::int32_t width);
void SetBrowserHeight(std::int32_t height);

// Tells the control to load url, a code page 936 text (converted by the backend to what
// the engine takes). Does nothing when the control does not exist.
void Navigate(std::string_view url);

}  // namespace miravue::platform
