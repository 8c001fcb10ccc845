// The file-drop seam on the shell's WM_DROPFILES: a window flagged to accept files gets the
// drop handle, and the paths come out of it in the ANSI code page.

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <span>

#include "platform/file_drop.h"

namespace miravue::platform {

static_assert(kDropFilesMessage == WM_DROPFILES);

void AcceptFiles(WindowHandle window, bool accept) {
    DragAcceptFiles(reinterpret_cast<HWND>(window), accept ? TRUE : FALSE);
}

std::uint32_t QueryDroppedFile(DropHandle drop, std::uint32_t index, std::span<char> buffer) {
    HDROP handle = reinterpret_cast<HDROP>(drop);
    if (handle == nullptr)
        return 0;
    if (index == kDroppedFileCount)
        return DragQueryFileA(handle, 0xFFFFFFFF, nullptr, 0);
    // With no room the call would answer the path's length instead of copying it.
    if (buffer.empty())
        return 0;
    const auto capacity =
        static_cast<UINT>(buffer.size() > 0xFFFFFFFFu ? 0xFFFFFFFFu : buffer.size());
    const UINT copied = DragQueryFileA(handle, index, buffer.data(), capacity);
    // The shell cuts a long path to the room given and ends it with a zero; make sure of the
    // zero whatever it did.
    if (copied >= capacity) {
        buffer[capacity - 1] = '\0';
        return capacity - 1;
    }
    return copied;
}

void FinishDrop(DropHandle drop) {
    if (drop != 0)
        DragFinish(reinterpret_cast<HDROP>(drop));
}

}  // namespace miravue::platform
