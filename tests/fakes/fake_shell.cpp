#include "tests/fakes/fake_shell.h"

#include <algorithm>
#include <cstring>

#include "platform/clipboard.h"

namespace miravue::fake {

FakeShell& Shell() {
    static FakeShell shell;
    return shell;
}

void FakeShell::Reset() {
    *this = FakeShell{};
    procedures[kMainWindow] = OriginalWindowProcedure;
    procedures[kBrowserWindow] = OriginalWindowProcedure;
}

std::intptr_t MIRAVUE_CALLBACK OriginalWindowProcedure(platform::WindowHandle window,
                                                       std::uint32_t message, std::uintptr_t wparam,
                                                       std::intptr_t lparam) {
    Shell().originalMessages.push_back(WindowMessage{window, message, wparam, lparam});
    return Shell().originalProcedureResult;
}

std::intptr_t FakeShell::Key(std::uint32_t vkCode, std::uint32_t flags, std::int32_t code) {
    platform::KeyEvent event;
    event.vkCode = vkCode;
    event.flags = flags;
    const std::uintptr_t message =
        (flags & platform::kKeyFlagUp) != 0 ? platform::kKeyUpMessage : platform::kKeyDownMessage;
    return hookProcedure == nullptr ? 0 : hookProcedure(code, message, &event);
}

std::intptr_t FakeShell::Drop(platform::WindowHandle window, FakeDrop drop) {
    lastDrop = std::move(drop);
    auto found = procedures.find(window);
    if (found == procedures.end() || !acceptsFiles[window]) {
        return 0;
    }
    return found->second(window, platform::kDropFilesMessage,
                         reinterpret_cast<platform::DropHandle>(&lastDrop), 0);
}

void FakeShell::Resize(std::int32_t width, std::int32_t height) {
    mainClientRect = platform::Rect{0, 0, width, height};
    if (events.size_changed != nullptr) {
        events.size_changed();
    }
}

int FakeShell::RunPosted() {
    int ran = 0;
    while (!posted.empty()) {
        const auto [task, argument] = posted.front();
        posted.pop_front();
        task(argument);
        ++ran;
    }
    return ran;
}

}  // namespace miravue::fake

namespace miravue::platform {

using fake::Shell;

bool CreateMainWindow(const WindowDescription& description, const WindowEvents& events) {
    Shell().log.push_back("create-window");
    if (Shell().failCreateWindow) {
        return false;
    }
    Shell().createdCaption = std::string(description.caption);
    Shell().description = description;
    Shell().browserWidth = description.browser.right - description.browser.left;
    Shell().browserHeight = description.browser.bottom - description.browser.top;
    Shell().events = events;
    if (events.created != nullptr) {
        Shell().log.push_back("window-created");
        events.created();
    }
    return true;
}

void RunMessageLoop() {
    Shell().log.push_back("run-loop");
    if (Shell().whileLoopRuns) {
        Shell().whileLoopRuns();
    }
}

WindowHandle MainWindow() {
    return fake::kMainWindow;
}

Rect ClientRect(WindowHandle window) {
    return window == fake::kMainWindow ? Shell().mainClientRect : Rect{};
}

void ShowErrorMessage(std::string_view message) {
    Shell().log.push_back("error-message");
    Shell().errorMessage = std::string(message);
}

WindowHandle BrowserWindow() {
    return fake::kBrowserWindow;
}

void SetBrowserWidth(std::int32_t width) {
    Shell().log.push_back("set-width " + std::to_string(width));
    Shell().browserWidth = width;
}

void SetBrowserHeight(std::int32_t height) {
    Shell().log.push_back("set-height " + std::to_string(height));
    Shell().browserHeight = height;
}

void Navigate(std::string_view url) {
    Shell().log.push_back("navigate " + std::string(url));
    Shell().navigations.emplace_back(url);
}

HookHandle SetKeyboardHook(KeyboardHookProcedure procedure) {
    Shell().log.push_back("set-hook");
    if (Shell().failHook) {
        return 0;
    }
    Shell().hookProcedure = procedure;
    return fake::kHookHandle;
}

std::intptr_t CallNextKeyboardHook(HookHandle hook, std::int32_t code, std::uintptr_t wparam,
                                   const KeyEvent* event) {
    Shell().log.push_back("next-hook");
    Shell().nextHookCalls.push_back(fake::NextHookCall{hook, code, wparam, event});
    return 42;  // what the rest of the chain answered
}

WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure) {
    Shell().log.push_back("set-procedure " + std::to_string(window));
    auto found = Shell().procedures.find(window);
    if (found == Shell().procedures.end()) {
        return nullptr;
    }
    return std::exchange(found->second, procedure);
}

std::intptr_t CallWindowProcedure(WindowProcedure procedure, WindowHandle window,
                                  std::uint32_t message, std::uintptr_t wparam,
                                  std::intptr_t lparam) {
    return procedure == nullptr ? 0 : procedure(window, message, wparam, lparam);
}

void AcceptFiles(WindowHandle window, bool accept) {
    Shell().log.push_back("accept-files " + std::to_string(window) + (accept ? " 1" : " 0"));
    Shell().acceptsFiles[window] = accept;
}

std::uint32_t QueryDroppedFile(DropHandle drop, std::uint32_t index, std::span<char> buffer) {
    auto* files = reinterpret_cast<fake::FakeDrop*>(drop);
    if (files != &Shell().lastDrop) {
        return 0;
    }
    if (index == kDroppedFileCount) {
        return static_cast<std::uint32_t>(files->paths.size());
    }
    if (index >= files->paths.size() || buffer.empty() ||
        std::count(files->unreadable.begin(), files->unreadable.end(), index) != 0) {
        return 0;
    }
    const std::string& path = files->paths[index];
    const std::size_t copied = std::min(path.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), path.data(), copied);
    buffer[copied] = '\0';
    return static_cast<std::uint32_t>(copied);
}

void FinishDrop(DropHandle drop) {
    Shell().log.push_back("finish-drop");
    auto* files = reinterpret_cast<fake::FakeDrop*>(drop);
    if (files == &Shell().lastDrop) {
        ++files->finishCalls;
    }
}

std::string ClipboardText() {
    Shell().log.push_back("clipboard");
    return Shell().clipboard;
}

bool PostToUiLoop(UiTask task, std::uintptr_t argument) {
    Shell().log.push_back("post");
    if (Shell().failPost) {
        return false;
    }
    Shell().posted.emplace_back(task, argument);
    return true;
}

}  // namespace miravue::platform
