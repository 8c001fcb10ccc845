#pragma once
// The browser control's host inside the Windows backend: a child window of the main window
// that carries the system's WebBrowser control, in place, through a small OLE container.

#include <windows.h>

#include "platform/shell_types.h"

namespace miravue::platform::win32 {

// Creates the host window at `bounds` (client coordinates of `parent`) and embeds the
// control in it. The host window exists even when the control cannot be created (no
// browser engine on the system): drops still reach it, navigation does nothing.
// Null when the host window itself cannot be created.
HWND CreateBrowserHost(HWND parent, const Rect& bounds);

// Lets the control go (before the main window is destroyed).
void DestroyBrowserHost();

// Gives a key message to the active control first (Tab, arrows and shortcuts inside the
// page); true when it took the message.
bool TranslateBrowserAccelerator(MSG& message);

}  // namespace miravue::platform::win32
