#pragma once
// The clipboard seam.

#include <string>

namespace miravue::platform {

// The clipboard's plain text as code page 936 bytes, ended at the first NUL; the empty
// text when the clipboard holds no text or cannot be read in time.
std::string ClipboardText();

}  // namespace miravue::platform
