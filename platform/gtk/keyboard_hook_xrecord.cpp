// The global keyboard hook on X: the RECORD extension, on connections of our own, sees the
// key events of every client. Its connection is watched by the main loop, so the hook
// procedure runs on the UI thread while it waits for events, as a low-level hook does.
// Recording only watches: the event has already gone to its client, and nothing here can
// hold it up or swallow it.

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <gdk/gdk.h>
#include <glib-unix.h>

#include "platform/gtk/x11_virtual_keys.h"
#include "platform/keyboard_hook.h"

namespace miravue::platform {
namespace {

constexpr HookHandle kRecordHook = 1;  // there is one hook per process

struct RecordHook {
    Display* control = nullptr;  // creates the context and looks up key symbols
    Display* data = nullptr;     // receives the recorded events
    XRecordContext context = 0;
    KeyboardHookProcedure procedure = nullptr;
    bool leftAltDown = false;
    bool rightAltDown = false;
};

RecordHook g_hook;

void DeliverKey(bool press, unsigned keycode, std::uint32_t time) {
    const KeySym keysym = XkbKeycodeToKeysym(g_hook.control, static_cast<KeyCode>(keycode), 0, 0);
    const gtk::VirtualKey key = gtk::VirtualKeyFromKeysym(keysym);
    if (key.vkCode == 164) {
        g_hook.leftAltDown = press;
    } else if (key.vkCode == 165) {
        g_hook.rightAltDown = press;
    }
    const bool altDown = g_hook.leftAltDown || g_hook.rightAltDown;
    KeyEvent event;
    event.vkCode = key.vkCode;
    // X key codes are the kernel's codes plus 8, and those follow the PC scan codes.
    event.scanCode = keycode >= 8 ? keycode - 8 : 0;
    event.flags = (key.extended ? kKeyFlagExtended : 0) | (altDown ? kKeyFlagAltDown : 0) |
                  (press ? 0 : kKeyFlagUp);
    event.time = time;
    std::uintptr_t message = 0;
    if (press) {
        message = altDown ? kSysKeyDownMessage : kKeyDownMessage;
    } else {
        message = altDown ? kSysKeyUpMessage : kKeyUpMessage;
    }
    if (g_hook.procedure != nullptr) {
        g_hook.procedure(kHookAction, message, &event);
    }
}

void OnRecorded(XPointer /*closure*/, XRecordInterceptData* data) {
    // A recorded device event is one 32-byte core event; anything shorter is not one.
    constexpr unsigned long kEventUnits = sizeof(xEvent) / 4;
    if (data->category == XRecordFromServer && data->data != nullptr &&
        data->data_len >= kEventUnits) {
        const auto* event = reinterpret_cast<const xEvent*>(data->data);
        const int type = event->u.u.type & 0x7F;
        if (type == KeyPress || type == KeyRelease) {
            DeliverKey(type == KeyPress, event->u.u.detail,
                       static_cast<std::uint32_t>(event->u.keyButtonPointer.time));
        }
    }
    XRecordFreeData(data);
}

gboolean OnRecordReadable(gint /*fd*/, GIOCondition condition, gpointer /*data*/) {
    if ((condition & (G_IO_HUP | G_IO_ERR)) != 0) {
        return G_SOURCE_REMOVE;  // the X server went away; no more keys to see
    }
    XRecordProcessReplies(g_hook.data);
    return G_SOURCE_CONTINUE;
}

void CloseDisplays() {
    if (g_hook.data != nullptr) {
        XCloseDisplay(g_hook.data);
    }
    if (g_hook.control != nullptr) {
        XCloseDisplay(g_hook.control);
    }
    g_hook = RecordHook{};
}

const char* DisplayName() {
    // The same X server as the window, when GDK has one open.
    GdkDisplay* display = gdk_display_get_default();
    return display != nullptr ? gdk_display_get_name(display) : nullptr;
}

}  // namespace

HookHandle SetKeyboardHook(KeyboardHookProcedure procedure) {
    if (g_hook.context != 0) {
        g_hook.procedure = procedure;
        return kRecordHook;
    }
    g_hook.control = XOpenDisplay(DisplayName());
    g_hook.data = XOpenDisplay(DisplayName());
    int major = 0;
    int minor = 0;
    int opcode = 0;
    int firstEvent = 0;
    int firstError = 0;
    // Asking the extension itself first: where it is missing, Xlib would print a complaint.
    if (g_hook.control == nullptr || g_hook.data == nullptr ||
        !XQueryExtension(g_hook.control, "RECORD", &opcode, &firstEvent, &firstError) ||
        !XRecordQueryVersion(g_hook.control, &major, &minor)) {
        CloseDisplays();
        return 0;
    }
    XRecordRange* range = XRecordAllocRange();
    if (range == nullptr) {
        CloseDisplays();
        return 0;
    }
    range->device_events.first = KeyPress;
    range->device_events.last = KeyRelease;
    XRecordClientSpec clients = XRecordAllClients;
    g_hook.context = XRecordCreateContext(g_hook.control, 0, &clients, 1, &range, 1);
    XFree(range);
    if (g_hook.context == 0) {
        CloseDisplays();
        return 0;
    }
    // The context must exist at the server before the data connection enables it.
    XSync(g_hook.control, False);
    g_hook.procedure = procedure;
    if (!XRecordEnableContextAsync(g_hook.data, g_hook.context, OnRecorded, nullptr)) {
        XRecordFreeContext(g_hook.control, g_hook.context);
        CloseDisplays();
        return 0;
    }
    g_unix_fd_add(ConnectionNumber(g_hook.data),
                  static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), OnRecordReadable,
                  nullptr);
    // Replies that arrived with the enabling request are already in Xlib's buffer.
    XRecordProcessReplies(g_hook.data);
    return kRecordHook;
}

std::intptr_t CallNextKeyboardHook(HookHandle /*hook*/, std::int32_t /*code*/,
                                   std::uintptr_t /*wparam*/, const KeyEvent* /*event*/) {
    // Recording does not chain: the event reaches its client whatever we do.
    return 0;
}

}  // namespace miravue::platform
