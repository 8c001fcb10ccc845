#pragma once
// The code-page seam: the two conversions the web layer asks of the platform, plus the
// reverse one the Linux backend needs where it hands our GBK texts to UTF-8 APIs.
// Windows answers with MultiByteToWideChar / WideCharToMultiByte, Linux with ICU.

#include <string>
#include <string_view>

namespace miravue::platform {

// UTF-8 to UTF-16 code units. Never rejects input: each malformed sequence becomes U+FFFD.
std::u16string Utf8ToUtf16Units(std::string_view utf8);

// UTF-16 code units to code page 936 with the Windows table. A base character followed by
// a non-spacing mark is composed into the precomposed character where one exists; what the
// code page cannot hold becomes "?".
std::string Utf16UnitsToGbk(std::u16string_view units);

// Code page 936 to UTF-8, for handing our texts to UTF-8 interfaces (never fails).
std::string GbkToUtf8(std::string_view gbk);

}  // namespace miravue::platform
