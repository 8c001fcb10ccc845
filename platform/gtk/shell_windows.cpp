#include "platform/gtk/shell_windows.h"

#include <unordered_map>

namespace miravue::platform::gtk {
namespace {

std::unordered_map<WindowHandle, WindowRecord>& Records() {
    static std::unordered_map<WindowHandle, WindowRecord> records;
    return records;
}

// What a window does with a message nobody else handled: nothing.
std::intptr_t MIRAVUE_CALLBACK DefaultWindowProcedure(WindowHandle /*window*/,
                                                      std::uint32_t /*message*/,
                                                      std::uintptr_t /*wparam*/,
                                                      std::intptr_t /*lparam*/) {
    return 0;
}

void OnWidgetDestroyed(GtkWidget* widget, gpointer /*data*/) {
    Records().erase(HandleOf(widget));
}

}  // namespace

void AddWindowRecord(GtkWidget* widget) {
    Records()[HandleOf(widget)] = WindowRecord{widget, DefaultWindowProcedure, false};
    g_signal_connect(widget, "destroy", G_CALLBACK(OnWidgetDestroyed), nullptr);
}

WindowRecord* FindWindowRecord(WindowHandle window) {
    auto found = Records().find(window);
    return found == Records().end() ? nullptr : &found->second;
}

}  // namespace miravue::platform::gtk

namespace miravue::platform {

WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure) {
    gtk::WindowRecord* record = gtk::FindWindowRecord(window);
    if (record == nullptr) {
        return nullptr;
    }
    WindowProcedure previous = record->procedure;
    record->procedure = procedure;
    return previous;
}

std::intptr_t CallWindowProcedure(WindowProcedure procedure, WindowHandle window,
                                  std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam) {
    return procedure == nullptr ? 0 : procedure(window, message, wparam, lparam);
}

}  // namespace miravue::platform
