#pragma once
// File names: the program's texts are code page 936, the file system's names may not be.

#include <string>
#include <string_view>

namespace miravue::platform {

// The name to open a file by, for a path in code page 936: UTF-8 on Linux; unchanged on
// Windows, whose narrow file functions take the ANSI code page themselves.
std::string FileSystemPath(std::string_view path);

}  // namespace miravue::platform
