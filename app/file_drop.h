#pragma once
// FileDropRegistry makes a window accept files dropped from the desktop, takes over its
// window procedure to catch the drop message, and reports each dropped file to the
// callback registered for that window.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/file_drop.h"
#include "platform/window_procedure.h"
#include "web/text.h"

namespace miravue {

// (file count, 1-based file index, full path, extension); the result is not used. Both
// texts belong to the registry and live only during the call.
using FileDropCallback = std::int32_t (*)(std::int32_t count, std::int32_t index, const Text& path,
                                          const Text& extension);

struct DropTarget {
    platform::WindowHandle window = 0;
    FileDropCallback callback = nullptr;
};

// Room for a path of the shell's classic maximum (259 bytes) and its NUL.
inline constexpr std::size_t kDropPathBufferSize = 260;

// Every instance works on the same process-wide data: the target list and the one saved
// window procedure. So the registry serves windows that shared a window procedure before
// they were registered; the program registers one.
class FileDropRegistry {
  public:
    FileDropRegistry() = default;
    FileDropRegistry(const FileDropRegistry&) = default;
    FileDropRegistry& operator=(const FileDropRegistry&) = default;
    virtual ~FileDropRegistry() = default;

    // A second registration of a window changes nothing, its callback included.
    virtual void Register(platform::WindowHandle window, FileDropCallback callback);
    // Does nothing for a window that is not registered.
    virtual void Unregister(platform::WindowHandle window);

    // 1-based position of the window's record in the target list; 0 when it has none.
    static std::int32_t FindTarget(platform::WindowHandle window);
    static std::intptr_t MIRAVUE_CALLBACK DropWindowProc(platform::WindowHandle window,
                                                         std::uint32_t message,
                                                         std::uintptr_t wparam,
                                                         std::intptr_t lparam);
    static void HandleDroppedFiles(platform::DropHandle drop, platform::WindowHandle window);

    // The process-wide data, for the program's start and end and for inspection.
    static const std::vector<DropTarget>& Targets();
    static void ClearTargets();
    static platform::WindowProcedure SavedWindowProc();
};

}  // namespace miravue
