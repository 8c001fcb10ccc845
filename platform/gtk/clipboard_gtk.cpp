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

// The owner is asked for UTF-8 text directly rather than through the formats GDK last
// learned of: those arrive asynchronously after an owner change and may still describe
// the previous owner when F9 follows a copy closely.
const char* kTextMimeTypes[] = {"text/plain;charset=utf-8", nullptr};

// Shared between the waiting caller and the read's callbacks, which may come after the
// caller gave up: whoever is last frees it.
struct ClipboardRead {
    bool done = false;
    std::string text;  // UTF-8 as the owner sent it
    GCancellable* cancellable = g_cancellable_new();
    ClipboardRead() = default;
    ClipboardRead(const ClipboardRead&) = delete;
    ClipboardRead& operator=(const ClipboardRead&) = delete;
    ~ClipboardRead() { g_object_unref(cancellable); }
};

using ReadHandle = std::shared_ptr<ClipboardRead>;

void Finish(ReadHandle* read) {
    (*read)->done = true;
    g_main_context_wakeup(nullptr);
    delete read;
}

void OnSpliced(GObject* source, GAsyncResult* result, gpointer data) {
    auto* read = static_cast<ReadHandle*>(data);
    auto* memory = G_MEMORY_OUTPUT_STREAM(source);
    if (g_output_stream_splice_finish(G_OUTPUT_STREAM(source), result, nullptr) >= 0) {
        const auto* bytes = static_cast<const char*>(g_memory_output_stream_get_data(memory));
        const gsize size = g_memory_output_stream_get_data_size(memory);
        if (bytes != nullptr) {
            (*read)->text.assign(bytes, size);
        }
    }
    g_object_unref(source);
    Finish(read);
}

void OnStreamReady(GObject* source, GAsyncResult* result, gpointer data) {
    auto* read = static_cast<ReadHandle*>(data);
    GInputStream* stream =
        gdk_clipboard_read_finish(GDK_CLIPBOARD(source), result, nullptr, nullptr);
    if (stream == nullptr) {
        Finish(read);  // nothing on the clipboard, or no text form of it
        return;
    }
    GOutputStream* memory = g_memory_output_stream_new_resizable();
    g_output_stream_splice_async(
        memory, stream,
        static_cast<GOutputStreamSpliceFlags>(G_OUTPUT_STREAM_SPLICE_CLOSE_SOURCE |
                                              G_OUTPUT_STREAM_SPLICE_CLOSE_TARGET),
        G_PRIORITY_DEFAULT, (*read)->cancellable, OnSpliced, read);
    g_object_unref(stream);
}

gboolean OnWaitOver(gpointer data) {
    *static_cast<bool*>(data) = true;
    return G_SOURCE_REMOVE;
}

}  // namespace

std::string ClipboardText() {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr) {
        return {};
    }
    auto read = std::make_shared<ClipboardRead>();
    gdk_clipboard_read_async(gdk_display_get_clipboard(display), kTextMimeTypes, G_PRIORITY_DEFAULT,
                             read->cancellable, OnStreamReady, new ReadHandle(read));
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
    // A text ends at its first NUL, as the system's text clipboard format does.
    const std::string text = read->text.substr(0, read->text.find('\0'));
    // An owner that answers whatever it is asked with what it holds (xclip does so with a
    // picture) sends bytes that are no UTF-8 text: that is no text on the clipboard.
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        return {};
    }
    return Utf16UnitsToGbk(Utf8ToUtf16Units(text));
}

}  // namespace miravue::platform
