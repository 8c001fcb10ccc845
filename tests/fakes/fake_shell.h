#pragma once
// A fake of the shell seams (window, browser host, keyboard hook, window procedures, file
// drop, clipboard, UI loop) for unit tests: it records every call in one ordered log and
// lets a test play the platform's part (key events, drops, size changes, posted tasks).
// Link miravue_fake_shell instead of the real backend. One process-wide instance; call
// Reset() before each test.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/browser.h"
#include "platform/file_drop.h"
#include "platform/keyboard_hook.h"
#include "platform/ui_loop.h"
#include "platform/window.h"
#include "platform/window_procedure.h"

namespace miravue::fake {

inline constexpr platform::WindowHandle kMainWindow = 0x1000;
inline constexpr platform::WindowHandle kBrowserWindow = 0x2000;
inline constexpr platform::HookHandle kHookHandle = 0x77;

// A message that reached a window's own (original) procedure.
struct WindowMessage {
    platform::WindowHandle window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wparam = 0;
    std::intptr_t lparam = 0;
};

struct NextHookCall {
    platform::HookHandle hook = 0;
    std::int32_t code = 0;
    std::uintptr_t wparam = 0;
    const platform::KeyEvent* event = nullptr;
};

// One drop: its paths (GBK) and the indexes (from 0) the drop refuses to yield.
struct FakeDrop {
    std::vector<std::string> paths;
    std::vector<std::uint32_t> unreadable;
    std::uint32_t finishCalls = 0;
};

struct FakeShell {
    // --- scripted behaviour ---
    bool failCreateWindow = false;
    bool failHook = false;
    bool failPost = false;
    std::string clipboard;
    platform::Rect mainClientRect{0, 0, 784, 441};
    // Runs inside RunMessageLoop (the user's session); the loop then ends (window closed).
    std::function<void()> whileLoopRuns;
    // What the windows' own procedures answer.
    std::intptr_t originalProcedureResult = 7;

    // --- what was done, in order ---
    // "create-window", "window-created", "run-loop", "error-message", "set-width N",
    // "set-height N", "navigate URL", "set-hook", "next-hook", "accept-files H 0|1",
    // "set-procedure H", "finish-drop", "post", "clipboard"
    std::vector<std::string> log;
    std::string createdCaption;
    platform::WindowDescription description;  // as given (the program keeps its own alive)
    std::string errorMessage;
    std::vector<std::string> navigations;
    std::int32_t browserWidth = 0;
    std::int32_t browserHeight = 0;
    platform::KeyboardHookProcedure hookProcedure = nullptr;
    std::vector<NextHookCall> nextHookCalls;
    std::map<platform::WindowHandle, platform::WindowProcedure> procedures;
    std::map<platform::WindowHandle, bool> acceptsFiles;
    std::vector<WindowMessage> originalMessages;
    std::deque<std::pair<platform::UiTask, std::uintptr_t>> posted;
    platform::WindowEvents events;

    void Reset();

    // Plays the platform: a key event through the installed hook procedure (its result).
    std::intptr_t Key(std::uint32_t vkCode, std::uint32_t flags, std::int32_t code = 0);
    // Files dropped on a window, delivered through its current procedure (its result).
    std::intptr_t Drop(platform::WindowHandle window, FakeDrop drop);
    // The drop most recently delivered, as the registry left it.
    const FakeDrop& LastDrop() const { return lastDrop; }
    // The main window reports a new client size.
    void Resize(std::int32_t width, std::int32_t height);
    // Runs the posted tasks, in order, until none is left; returns how many ran.
    int RunPosted();

    FakeDrop lastDrop;
};

FakeShell& Shell();

// The procedure every fake window starts with; it records what reaches it.
std::intptr_t MIRAVUE_CALLBACK OriginalWindowProcedure(platform::WindowHandle window,
                                                       std::uint32_t message, std::uintptr_t wparam,
                                                       std::intptr_t lparam);

}  // namespace miravue::fake
