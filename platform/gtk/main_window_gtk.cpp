// The main window on GTK: a toplevel whose one child, the client area, places the web view
// at 0,0 with exactly the size the program gave it. The client area asks for no size of
// its own, so the window can be made as small (or large) as the user likes.

#include "platform/gtk/main_window_gtk.h"

#include <gdk/x11/gdkx.h>
#include <webkit/webkit.h>

#include <cstdio>
#include <string>

#include "platform/gtk/shell_windows.h"
#include "platform/window.h"

namespace miravue::platform {
namespace gtk {
namespace {

// Where the backend's icon resources live (compiled into the program, so the icon shows
// whether or not the program was installed).
constexpr char kIconResourcePath[] = "/org/miravue/icons";

void MeasureClient(GtkWidget* /*widget*/, GtkOrientation /*orientation*/, int /*forSize*/,
                   int* minimum, int* natural, int* minimumBaseline, int* naturalBaseline) {
    *minimum = 0;
    *natural = 0;
    *minimumBaseline = -1;
    *naturalBaseline = -1;
}

void AllocateBrowser(const MainWindowState& state) {
    if (state.browser == nullptr) {
        return;
    }
    // The web view may not go below its own minimum; the client area clips what sticks out.
    int minWidth = 0;
    int minHeight = 0;
    gtk_widget_measure(state.browser, GTK_ORIENTATION_HORIZONTAL, -1, &minWidth, nullptr,
                       nullptr, nullptr);
    gtk_widget_measure(state.browser, GTK_ORIENTATION_VERTICAL, -1, &minHeight, nullptr,
                       nullptr, nullptr);
    const GtkAllocation allocation{0, 0, std::max(state.browserWidth, minWidth),
                                   std::max(state.browserHeight, minHeight)};
    gtk_widget_size_allocate(state.browser, &allocation, -1);
}

void AllocateClient(GtkWidget* /*widget*/, int width, int height, int /*baseline*/) {
    MainWindowState& state = TheMainWindow();
    const bool changed = width != state.clientWidth || height != state.clientHeight;
    state.clientWidth = width;
    state.clientHeight = height;
    if (changed && state.sizeChanged != nullptr) {
        // The program resizes the browser from here; its new size is used just below.
        state.allocating = true;
        state.sizeChanged();
        state.allocating = false;
    }
    AllocateBrowser(state);
}

void PlaceWindow(GtkWidget* window, gpointer data) {
    const auto* description = static_cast<const WindowDescription*>(data);
    // GTK 4 cannot place a toplevel; on X11 the window can ask the server (and a window
    // manager, if any, may honour it).
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window));
    if (surface == nullptr || !GDK_IS_X11_SURFACE(surface)) {
        return;
    }
    Display* display = gdk_x11_display_get_xdisplay(gdk_surface_get_display(surface));
    XMoveWindow(display, gdk_x11_surface_get_xid(surface), description->left, description->top);
    XFlush(display);
}

void OnWindowDestroyed(GtkWidget* /*window*/, gpointer /*data*/) {
    MainWindowState& state = TheMainWindow();
    state = MainWindowState{};
}

void AddIconResources() {
    GtkIconTheme* theme = gtk_icon_theme_get_for_display(gdk_display_get_default());
    gtk_icon_theme_add_resource_path(theme, kIconResourcePath);
}

}  // namespace

MainWindowState& TheMainWindow() {
    static MainWindowState state;
    return state;
}

void RelayoutBrowser() {
    MainWindowState& state = TheMainWindow();
    if (state.client != nullptr && !state.allocating) {
        gtk_widget_queue_allocate(state.client);
    }
}

}  // namespace gtk

bool CreateMainWindow(const WindowDescription& description, const WindowEvents& events) {
    if (!gtk_init_check()) {
        return false;
    }
    gtk::AddIconResources();
    gtk::MainWindowState& state = gtk::TheMainWindow();
    state = gtk::MainWindowState{};

    const std::string caption(description.caption);
    const std::string iconName(description.icon_name);
    GtkWidget* window = gtk_window_new();
    gtk_window_set_title(GTK_WINDOW(window), caption.c_str());
    gtk_window_set_default_size(GTK_WINDOW(window), description.width, description.height);
    gtk_window_set_icon_name(GTK_WINDOW(window), iconName.c_str());
    gtk_window_set_default_icon_name(iconName.c_str());

    GtkWidget* client = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_widget_set_layout_manager(
        client, gtk_custom_layout_new(nullptr, gtk::MeasureClient, gtk::AllocateClient));
    gtk_widget_set_overflow(client, GTK_OVERFLOW_HIDDEN);
    gtk_window_set_child(GTK_WINDOW(window), client);

    GtkWidget* browser = webkit_web_view_new();
    if (browser == nullptr) {
        gtk_window_destroy(GTK_WINDOW(window));
        return false;
    }
    gtk_widget_set_parent(browser, client);

    state.window = window;
    state.client = client;
    state.browser = browser;
    state.browserWidth = description.browser.right - description.browser.left;
    state.browserHeight = description.browser.bottom - description.browser.top;
    state.open = true;
    gtk::AddWindowRecord(window);
    gtk::AddWindowRecord(browser);
    gtk::AttachFileDropTarget(browser);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk::OnWindowDestroyed), nullptr);
    // The description outlives the window: the program keeps it for its whole run.
    g_signal_connect(window, "map", G_CALLBACK(gtk::PlaceWindow),
                     const_cast<WindowDescription*>(&description));

    if (events.created != nullptr) {
        events.created();
    }
    // Size reports start once the window is shown, the first one included.
    state.sizeChanged = events.size_changed;
    gtk_window_present(GTK_WINDOW(window));
    return true;
}

void RunMessageLoop() {
    while (gtk::TheMainWindow().open) {
        g_main_context_iteration(nullptr, TRUE);
    }
}

WindowHandle MainWindow() {
    GtkWidget* window = gtk::TheMainWindow().window;
    return window != nullptr ? gtk::HandleOf(window) : 0;
}

Rect ClientRect(WindowHandle window) {
    const gtk::MainWindowState& state = gtk::TheMainWindow();
    if (window != 0 && window == MainWindow()) {
        return Rect{0, 0, state.clientWidth, state.clientHeight};
    }
    if (window != 0 && window == gtk::HandleOf(state.browser)) {
        return Rect{0, 0, gtk_widget_get_width(state.browser),
                    gtk_widget_get_height(state.browser)};
    }
    return Rect{};
}

void ShowErrorMessage(std::string_view message) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
    if (gdk_display_get_default() == nullptr) {
        return;
    }
    const std::string text(message);
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                               GTK_BUTTONS_OK, "%s", text.c_str());
    bool answered = false;
    g_signal_connect_swapped(dialog, "response", G_CALLBACK(+[](bool* flag) { *flag = true; }),
                             &answered);
    gtk_window_present(GTK_WINDOW(dialog));
    while (!answered) {
        g_main_context_iteration(nullptr, TRUE);
    }
    gtk_window_destroy(GTK_WINDOW(dialog));
}

}  // namespace miravue::platform
