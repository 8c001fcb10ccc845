// Puts a picture on the clipboard and keeps it there, as an image viewer's "Copy" does: the
// clipboard then offers image formats only. (xclip would not do for this: it answers a
// request for any format with its one piece of data, so a text request would get PNG bytes.)
//
//   e2e_image_clipboard       prints "ready" once it owns the clipboard; ends on SIGTERM

#include <glib-unix.h>
#include <gtk/gtk.h>

static gboolean OnTerminate(gpointer data) {
    *(gboolean*)data = TRUE;
    g_main_context_wakeup(NULL);
    return G_SOURCE_REMOVE;
}

int main(void) {
    if (!gtk_init_check()) {
        g_printerr("e2e_image_clipboard: cannot open the display\n");
        return 1;
    }
    // A 4 x 4 picture of two colours, made here so the helper needs no image file.
    guchar pixels[4 * 4 * 4];
    for (int i = 0; i < 16; ++i) {
        const gboolean dark = ((i % 4) + (i / 4)) % 2;
        pixels[i * 4 + 0] = dark ? 0x1b : 0x3d;
        pixels[i * 4 + 1] = dark ? 0x22 : 0x7c;
        pixels[i * 4 + 2] = dark ? 0x30 : 0xf5;
        pixels[i * 4 + 3] = 0xff;
    }
    GBytes* bytes = g_bytes_new(pixels, sizeof pixels);
    GdkTexture* texture = gdk_memory_texture_new(4, 4, GDK_MEMORY_R8G8B8A8, bytes, 4 * 4);
    g_bytes_unref(bytes);

    GdkClipboard* clipboard = gdk_display_get_clipboard(gdk_display_get_default());
    gdk_clipboard_set_texture(clipboard, texture);
    g_object_unref(texture);
    g_print("ready\n");

    gboolean done = FALSE;
    g_unix_signal_add(SIGTERM, OnTerminate, &done);
    g_unix_signal_add(SIGINT, OnTerminate, &done);
    while (!done) {
        g_main_context_iteration(NULL, TRUE);
    }
    return 0;
}
