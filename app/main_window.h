#pragma once
// The main window as designed, and its one event handler of its own.

#include "platform/window.h"

namespace miravue {

// The window description: caption, place, outer size, icon and the browser control.
const platform::WindowDescription& MainWindowDescription();

// Keeps the browser control covering the client area: width first, then height.
void OnMainWindowSizeChanged();

}  // namespace miravue
