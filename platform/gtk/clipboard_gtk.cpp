// The clipboard's text, read synchronously: the program asks for it where it needs the
// text at once, so the read waits (a bounded time) for the owner's answer.

#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "platform/clipboard.h"
#include "platform/codepage.h"

namespace miravue::platform {
namespace {

// An owner that has not answered within this time is treated as holding no text; a
// local clipboard owner answers within milliseconds.
constexpr guint kClipboardWaitMs = 1000;

// Shared between the waiting caller and the read's completion, which may come after the
// caller gave up: whoever is last frees it.
struct ClipboardRead {
    bool done = false;
    std::string text;  // UTF-8
    GCancellable* cancellable = g_cancellable_new();
    ~ClipboardRead() { g_object_unref(cancellable); }
};

void OnTextRead(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<std::shared_ptr<ClipboardRead>> read(
        static_cast<std::shared_ptr<ClipboardRead>*>(data));
    char* text = gdk_clipboard_read_text_finish(GDK_CLIPBOARD(source), result, nullptr);
    if (text != nullptr) {
        (*read)->text = text;
        g_free(text);
    }
    (*read)->done = true;
    g_main_context_wakeup(nullptr);
}

gboolean OnWaitOver(gpointer data) {
    *static_cast<bool*>(data) = true;
    return G_SOURCE_REMOVE;
}

// X11 asks the owner for a text form whatever the owner offers, and an owner that ignores
// the form asked for (xclip does) answers with, say, a picture: so look at the offer first.
bool OffersText(GdkClipboard* clipboard) {
    GdkContentFormats* text = gdk_content_formats_union_deserialize_mime_types(
        gdk_content_formats_new_for_gtype(G_TYPE_STRING));
    const bool offered = gdk_content_formats_match(gdk_clipboard_get_formats(clipboard), text);
    gdk_content_formats_unref(text);
    return offered;
}

}  // namespace

std::string ClipboardText() {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr) {
        return {};
    }
    GdkClipboard* clipboard = gdk_display_get_clipboard(display);
    if (!OffersText(clipboard)) {
        return {};
    }
    auto read = std::make_shared<ClipboardRead>();
    gdk_clipboard_read_text_async(clipboard, read->cancellable, OnTextRead,
                                  new std::shared_ptr<ClipboardRead>(read));
    // The answer arrives through the main loop. While waiting, other sources run too (key
    // events are only queued by the program, so none of them waits on this read).
    bool waitOver = false;
    const guint timer = g_timeout_add(kClipboardWaitMs, OnWaitOver, &waitOver);
    while (!read->done && !waitOver) {
        g_main_context_iteration(nullptr, TRUE);
    }
    if (!waitOver) {
        g_source_remove(timer);
    }
    if (!read->done) {
        g_cancellable_cancel(read->cancellable);
        return {};
    }
    std::string gbk = Utf16UnitsToGbk(Utf8ToUtf16Units(read->text));
    // A text ends at its first NUL, as the system's text clipboard format does.
    return gbk.substr(0, gbk.find('\0'));
}

}  // namespace miravue::platform
