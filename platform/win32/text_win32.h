#pragma once
// Conversions at the edge of the W entry points of the Windows backend.

#include <string>
#include <string_view>

namespace miravue::platform::win32 {

// UTF-8 (the program's literals) to UTF-16 for the W entry points.
std::wstring WideFromUtf8(std::string_view utf8);

// A text of the ANSI code page (clipboard, dropped paths, everything the A entry points
// give) to UTF-16.
std::wstring WideFromAnsi(std::string_view ansi);

}  // namespace miravue::platform::win32
