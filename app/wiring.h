#pragma once
// Joins the pieces: the process-wide objects and the two connections made when the main
// window exists (the browser window as drop target, then the keyboard hook).

#include "app/frame.h"

namespace miravue {

class FileDropRegistry;

// Before the main window exists: the drop registry, CurrentTorrent in its empty state and
// the registry's empty target list.
void CreateGlobals();

// Registers the browser window with the drop registry (OnFileDropped), then installs the
// keyboard hook (OnHotkey). Checks nothing: a hook that cannot be installed leaves drops
// working and F9 silent.
void OnMainWindowCreated();

// Once, at the end: the registry, CurrentTorrent, the target list. The hook and the
// browser window's procedure stay until the process ends.
void ReleaseGlobals();

// The routines the frame calls: the three above and the main window's size handler.
FrameRoutines ProgramRoutines();

// The registry instance; nullptr outside CreateGlobals .. ReleaseGlobals.
FileDropRegistry* DropRegistry();

}  // namespace miravue
