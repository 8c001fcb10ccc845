// The clipboard seam on CF_TEXT, which the system fills in the ANSI code page whatever
// format the copying program put there.

#include <windows.h>

#include <cstring>
#include <string>

#include "platform/clipboard.h"

namespace miravue::platform {

namespace {

class OpenedClipboard {
  public:
    OpenedClipboard() : open_(OpenClipboard(nullptr) != FALSE) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_)
            CloseClipboard();
    }
    bool IsOpen() const { return open_; }

  private:
    bool open_;
};

class LockedMemory {
  public:
    explicit LockedMemory(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
    LockedMemory(const LockedMemory&) = delete;
    LockedMemory& operator=(const LockedMemory&) = delete;
    ~LockedMemory() {
        if (data_ != nullptr)
            GlobalUnlock(memory_);
    }
    const char* data() const { return static_cast<const char*>(data_); }

  private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace

std::string ClipboardText() {
    const OpenedClipboard clipboard;
    if (!clipboard.IsOpen())
        return {};
    HANDLE memory = GetClipboardData(CF_TEXT);
    if (memory == nullptr)
        return {};
    const LockedMemory locked(memory);
    if (locked.data() == nullptr)
        return {};
    // The text ends at its first zero, but never read past the block another program gave,
    // should that zero be missing.
    const SIZE_T size = GlobalSize(memory);
    const void* end = std::memchr(locked.data(), '\0', size);
    const std::size_t length =
        end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - locked.data())
                       : size;
    return std::string(locked.data(), length);
}

}  // namespace miravue::platform
