#pragma once
// Backend-internal: the windows the shell seams know by handle, with the procedure their
// messages go through and whether they accept dropped files.

#include <gtk/gtk.h>

#include "platform/shell_types.h"
#include "platform/window_procedure.h"

namespace miravue::platform::gtk {

struct WindowRecord {
    GtkWidget* widget = nullptr;  // owned by GTK; the record goes when the widget does
    WindowProcedure procedure = nullptr;
    bool acceptsFiles = false;
};

inline WindowHandle HandleOf(GtkWidget* widget) {
    return reinterpret_cast<WindowHandle>(widget);
}

// Makes the widget a window of the seams, with a procedure that handles nothing. The
// record is dropped when the widget is destroyed.
void AddWindowRecord(GtkWidget* widget);
// nullptr for an unknown (or destroyed) window.
WindowRecord* FindWindowRecord(WindowHandle window);

// Files dropped on widget go, as the drop message, to its window's procedure while the
// window accepts files; otherwise the widget's own drop handling gets them.
void AttachFileDropTarget(GtkWidget* widget);

}  // namespace miravue::platform::gtk
