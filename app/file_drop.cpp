#include "app/file_drop.h"

#include <array>
#include <utility>

namespace miravue {
namespace {

struct RegistryData {
    std::vector<DropTarget> targets;
    platform::WindowProcedure savedWindowProc = nullptr;
};

RegistryData& Data() {
    static RegistryData data;
    return data;
}

}  // namespace

std::int32_t FileDropRegistry::FindTarget(platform::WindowHandle window) {
    const std::vector<DropTarget>& targets = Data().targets;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (targets[i].window == window) {
            return static_cast<std::int32_t>(i + 1);
        }
    }
    return 0;
}

void FileDropRegistry::Register(platform::WindowHandle window, FileDropCallback callback) {
    if (FindTarget(window) != 0) {
        return;
    }
    Data().targets.push_back(DropTarget{window, callback});
    platform::AcceptFiles(window, true);
    Data().savedWindowProc = platform::SetWindowProcedure(window, DropWindowProc);
}

void FileDropRegistry::Unregister(platform::WindowHandle window) {
    const std::int32_t position = FindTarget(window);
    if (position == 0) {
        return;
    }
    std::vector<DropTarget>& targets = Data().targets;
    targets.erase(targets.begin() + (position - 1));
    platform::AcceptFiles(window, false);
    platform::SetWindowProcedure(window, Data().savedWindowProc);
}

std::intptr_t MIRAVUE_CALLBACK FileDropRegistry::DropWindowProc(platform::WindowHandle window,
                                                                std::uint32_t message,
                                                                std::uintptr_t wparam,
                                                                std::intptr_t lparam) {
    if (message == platform::kDropFilesMessage) {
        HandleDroppedFiles(static_cast<platform::DropHandle>(wparam), window);
        return 1;
    }
    return platform::CallWindowProcedure(Data().savedWindowProc, window, message, wparam, lparam);
}

void FileDropRegistry::HandleDroppedFiles(platform::DropHandle drop,
                                          platform::WindowHandle window) {
    const std::int32_t position = FindTarget(window);
    if (position == 0) {
        return;
    }
    // The record found now serves the whole drop, even if a callback unregisters the
    // window on the way: a copy cannot move or vanish under the loop.
    const DropTarget target = Data().targets[static_cast<std::size_t>(position - 1)];
    const auto count = static_cast<std::int32_t>(
        platform::QueryDroppedFile(drop, platform::kDroppedFileCount, {}));
    for (std::int32_t i = 1; i <= count; ++i) {
        std::array<char, kDropPathBufferSize> buffer{};
        const auto copied = static_cast<std::int32_t>(
            platform::QueryDroppedFile(drop, static_cast<std::uint32_t>(i - 1), buffer));
        if (copied <= 0) {
            continue;
        }
        // Whatever the backend wrote, the path ends inside the buffer: at most 259 bytes.
        buffer.back() = '\0';
        const Text path(buffer.data());
        const Pos lastDot = FindLastText(path, ".");
        const Text extension = RightText(path, static_cast<Pos>(path.size()) - lastDot);
        if (target.callback != nullptr) {
            target.callback(count, i, path, extension);
        }
    }
    platform::FinishDrop(drop);
}

const std::vector<DropTarget>& FileDropRegistry::Targets() {
    return Data().targets;
}

void FileDropRegistry::ClearTargets() {
    std::vector<DropTarget>().swap(Data().targets);
}

platform::WindowProcedure FileDropRegistry::SavedWindowProc() {
    return Data().savedWindowProc;
}

}  // namespace miravue
