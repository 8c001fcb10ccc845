#pragma once
// The file-drop seam: a window that accepts files gets kDropFilesMessage through its
// window procedure when files are dropped on it, wparam being the drop handle. The files'
// full paths are code page 936 texts.

#include <cstdint>
#include <span>

#include "platform/shell_types.h"

namespace miravue::platform {

inline constexpr std::uint32_t kDropFilesMessage = 0x233;

using DropHandle = std::uintptr_t;

// The index that asks QueryDroppedFile for the number of files instead of a path.
inline constexpr std::uint32_t kDroppedFileCount = 0xFFFFFFFF;

// Whether files dropped on the window reach it (default: not accepted).
void AcceptFiles(WindowHandle window, bool accept);

// index kDroppedFileCount: the number of files of the drop. Otherwise copies the path of
// file index (from 0) into buffer, cut to buffer.size() - 1 bytes and ended by a NUL, and
// returns the number of bytes copied without the NUL; 0 for an unknown drop or index or an
// empty buffer.
std::uint32_t QueryDroppedFile(DropHandle drop, std::uint32_t index, std::span<char> buffer);

// Releases the drop; its handle is not valid afterwards.
void FinishDrop(DropHandle drop);

}  // namespace miravue::platform
