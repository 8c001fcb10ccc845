#pragma once
// The program's frame: start-up, the main window, the loop and the end.

#include "platform/window.h"

namespace miravue {

// The routines the frame calls at fixed points.
struct FrameRoutines {
    void (*createGlobals)() = nullptr;   // before the window exists
    void (*releaseGlobals)() = nullptr;  // once, when the program ends
    platform::WindowEvents windowEvents;
};

// Creates the globals, shows the main window and runs the loop until it is closed;
// releases the globals once on the way out. When the window cannot be created it shows an
// error message and returns 1 without entering the loop; otherwise 0.
int RunFrame(const platform::WindowDescription& description, const FrameRoutines& routines);

}  // namespace miravue
