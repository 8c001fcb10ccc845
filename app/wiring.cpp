#include "app/wiring.h"

#include <optional>

#include "app/file_drop.h"
#include "app/keyboard_hook.h"
#include "app/main_window.h"
#include "app/play.h"
#include "app/torrent_drop.h"
#include "platform/browser.h"

namespace miravue {
namespace {

std::optional<FileDropRegistry>& RegistryInstance() {
    static std::optional<FileDropRegistry> registry;
    return registry;
}

}  // namespace

FileDropRegistry* DropRegistry() {
    std::optional<FileDropRegistry>& registry = RegistryInstance();
    return registry ? &*registry : nullptr;
}

void CreateGlobals() {
    RegistryInstance().emplace();
    InitTorrentFileInfo(CurrentTorrent().emplace());
    FileDropRegistry::ClearTargets();
}

void OnMainWindowCreated() {
    const platform::WindowHandle browserWindow = platform::BrowserWindow();
    // Every registry instance shares the same data, so a stand-in serves as well should
    // the globals be missing.
    FileDropRegistry standIn;
    FileDropRegistry* registry = DropRegistry() != nullptr ? DropRegistry() : &standIn;
    registry->Register(browserWindow, OnFileDropped);
    InstallKeyboardHook(OnHotkey);
}

void ReleaseGlobals() {
    RegistryInstance().reset();
    if (CurrentTorrent()) {
        FreeTorrentFileInfo(*CurrentTorrent());
    }
    CurrentTorrent().reset();
    FileDropRegistry::ClearTargets();
}

FrameRoutines ProgramRoutines() {
    return FrameRoutines{
        .createGlobals = CreateGlobals,
        .releaseGlobals = ReleaseGlobals,
        .windowEvents = {.created = OnMainWindowCreated, .size_changed = OnMainWindowSizeChanged},
    };
}

}  // namespace miravue
