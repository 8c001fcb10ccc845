#include "platform/file_path.h"

namespace miravue::platform {

std::string FileSystemPath(std::string_view path) {
    // The narrow file functions read the name in the ANSI code page, which is our own.
    return std::string(path);
}

}  // namespace miravue::platform
