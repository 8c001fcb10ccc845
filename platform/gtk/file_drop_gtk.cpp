// Files dropped from the desktop, taken before the web view's own drop handling (which
// would open the file as a page) and handed to the window's procedure as the drop message.

#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/file_drop.h"
#include "platform/gtk/shell_windows.h"

namespace miravue::platform {
namespace {

// The files of the drop being delivered. Only one drop is delivered at a time (on the UI
// thread), so its handle is checked against this one before it is read.
struct DroppedFiles {
    std::vector<std::string> paths;  // code page 936
    bool finished = false;
};

DroppedFiles* g_current_drop = nullptr;

DroppedFiles* FindDrop(DropHandle drop) {
    auto* files = reinterpret_cast<DroppedFiles*>(drop);
    return files != nullptr && files == g_current_drop && !files->finished ? files : nullptr;
}

std::string Utf8ToGbk(const char* utf8) {
    return Utf16UnitsToGbk(Utf8ToUtf16Units(utf8));
}

gboolean OnDropAccept(GtkDropTarget* /*target*/, GdkDrop* drop, gpointer data) {
    const gtk::WindowRecord* record =
        gtk::FindWindowRecord(gtk::HandleOf(static_cast<GtkWidget*>(data)));
    return record != nullptr && record->acceptsFiles &&
           gdk_content_formats_contain_gtype(gdk_drop_get_formats(drop), GDK_TYPE_FILE_LIST);
}

gboolean OnDrop(GtkDropTarget* /*target*/, const GValue* value, double /*x*/, double /*y*/,
                gpointer data) {
    auto* widget = static_cast<GtkWidget*>(data);
    const WindowHandle window = gtk::HandleOf(widget);
    const gtk::WindowRecord* record = gtk::FindWindowRecord(window);
    if (record == nullptr || !record->acceptsFiles || !G_VALUE_HOLDS(value, GDK_TYPE_FILE_LIST)) {
        return FALSE;
    }
    DroppedFiles files;
    auto* list = static_cast<GdkFileList*>(g_value_get_boxed(value));
    GSList* gfiles = list != nullptr ? gdk_file_list_get_files(list) : nullptr;
    for (GSList* item = gfiles; item != nullptr; item = item->next) {
        // Only files of this machine have a path; remote ones are not files to open here.
        char* path = g_file_get_path(G_FILE(item->data));
        if (path != nullptr) {
            files.paths.push_back(Utf8ToGbk(path));
            g_free(path);
        }
    }
    g_slist_free(gfiles);
    if (files.paths.empty()) {
        return FALSE;
    }
    g_current_drop = &files;
    CallWindowProcedure(record->procedure, window, kDropFilesMessage,
                        reinterpret_cast<DropHandle>(&files), 0);
    g_current_drop = nullptr;
    return TRUE;
}

}  // namespace

void AcceptFiles(WindowHandle window, bool accept) {
    if (gtk::WindowRecord* record = gtk::FindWindowRecord(window)) {
        record->acceptsFiles = accept;
    }
}

std::uint32_t QueryDroppedFile(DropHandle drop, std::uint32_t index, std::span<char> buffer) {
    const DroppedFiles* files = FindDrop(drop);
    if (files == nullptr) {
        return 0;
    }
    if (index == kDroppedFileCount) {
        return static_cast<std::uint32_t>(files->paths.size());
    }
    if (index >= files->paths.size() || buffer.empty()) {
        return 0;
    }
    const std::string& path = files->paths[index];
    const std::size_t copied = std::min(path.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), path.data(), copied);
    buffer[copied] = '\0';
    return static_cast<std::uint32_t>(copied);
}

void FinishDrop(DropHandle drop) {
    if (DroppedFiles* files = FindDrop(drop)) {
        files->finished = true;
    }
}

namespace gtk {

void AttachFileDropTarget(GtkWidget* widget) {
    GtkDropTarget* target = gtk_drop_target_new(GDK_TYPE_FILE_LIST, GDK_ACTION_COPY);
    // The capture phase runs before the web view's own drop target, so an accepted drop
    // never reaches the page.
    gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(target), GTK_PHASE_CAPTURE);
    g_signal_connect(target, "accept", G_CALLBACK(OnDropAccept), widget);
    g_signal_connect(target, "drop", G_CALLBACK(OnDrop), widget);
    gtk_widget_add_controller(widget, GTK_EVENT_CONTROLLER(target));
}

}  // namespace gtk
}  // namespace miravue::platform
