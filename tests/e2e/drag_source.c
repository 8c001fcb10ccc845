// A window that offers the files named on its command line as one drag, the way a file
// manager does, so that the end-to-end tests can drop real files on Miravue with a mouse drag
// made by xdotool. The whole window is the drag source.
//
//   e2e_drag_source FILE...

#include <gtk/gtk.h>

// The window's caption, which the tests look it up by.
#define DRAG_SOURCE_TITLE "Miravue e2e drag source"

typedef struct {
    GSList* files;  // GFile*, in the order given
} DragSourceData;

static GdkContentProvider* OnDragPrepare(GtkDragSource* source, double x, double y,
                                         gpointer user_data) {
    (void)source;
    (void)x;
    (void)y;
    const DragSourceData* data = user_data;
    // A file list is offered as text/uri-list, the form any X drop target understands.
    GdkFileList* list = gdk_file_list_new_from_list(data->files);
    GdkContentProvider* provider = gdk_content_provider_new_typed(GDK_TYPE_FILE_LIST, list);
    g_boxed_free(GDK_TYPE_FILE_LIST, list);
    return provider;
}

static void OnDragEnd(GtkDragSource* source, GdkDrag* drag, gboolean delete_data,
                      gpointer user_data) {
    (void)source;
    (void)drag;
    (void)delete_data;
    (void)user_data;
    // The tests read this line to know that the drag is over on our side.
    g_print("drag-end\n");
}

static void OnActivate(GtkApplication* app, gpointer user_data) {
    DragSourceData* data = user_data;
    GtkWidget* window = gtk_application_window_new(app);
    gtk_window_set_title(GTK_WINDOW(window), DRAG_SOURCE_TITLE);
    gtk_window_set_default_size(GTK_WINDOW(window), 240, 160);

    GString* text = g_string_new("Drag from here:\n");
    for (GSList* item = data->files; item != NULL; item = item->next) {
        char* name = g_file_get_basename(item->data);
        g_string_append_printf(text, "%s\n", name);
        g_free(name);
    }
    GtkWidget* label = gtk_label_new(text->str);
    g_string_free(text, TRUE);
    gtk_widget_set_hexpand(label, TRUE);
    gtk_widget_set_vexpand(label, TRUE);

    GtkDragSource* source = gtk_drag_source_new();
    gtk_drag_source_set_actions(source, GDK_ACTION_COPY);
    g_signal_connect(source, "prepare", G_CALLBACK(OnDragPrepare), data);
    g_signal_connect(source, "drag-end", G_CALLBACK(OnDragEnd), NULL);
    gtk_widget_add_controller(label, GTK_EVENT_CONTROLLER(source));

    gtk_window_set_child(GTK_WINDOW(window), label);
    gtk_window_present(GTK_WINDOW(window));
    g_print("ready\n");
}

int main(int argc, char** argv) {
    if (argc < 2) {
        g_printerr("usage: %s FILE...\n", argv[0]);
        return 2;
    }
    DragSourceData data = {NULL};
    for (int i = argc - 1; i >= 1; --i) {
        data.files = g_slist_prepend(data.files, g_file_new_for_commandline_arg(argv[i]));
    }
    GtkApplication* app = gtk_application_new(NULL, G_APPLICATION_NON_UNIQUE);
    g_signal_connect(app, "activate", G_CALLBACK(OnActivate), &data);
    // The files are ours to hand out, not for GApplication to open.
    char* app_argv[] = {argv[0], NULL};
    const int status = g_application_run(G_APPLICATION(app), 1, app_argv);
    g_object_unref(app);
    g_slist_free_full(data.files, g_object_unref);
    return status;
}
