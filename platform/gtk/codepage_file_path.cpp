#include "platform/codepage.h"
#include "platform/file_path.h"

namespace miravue::platform {

std::string FileSystemPath(std::string_view path) {
    // Linux file names are UTF-8 by convention; a dropped file's name reached the program
    // converted from UTF-8, so this gives the same name back.
    return GbkToUtf8(path);
}

}  // namespace miravue::platform
